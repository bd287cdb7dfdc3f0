// OLE control containment: a control that is not there leaves nothing behind, and event
// arguments are read in their declared order through by-reference VARIANTs.
#include "framework/OleControl.h"

#include <gtest/gtest.h>

namespace {

const CLSID kNoSuchControl = {0x1d2c3b4a, 0x5e6f, 0x4a7b, {0x8c, 0x9d, 0x0e, 0x1f, 0x2a, 0x3b, 0x4c, 0x5d}};

struct Parent {
    HWND hwnd = CreateWindowExA(0, "Static", "", WS_OVERLAPPEDWINDOW, 0, 0, 200, 200, nullptr, nullptr, nullptr,
                                nullptr);
    ~Parent() { DestroyWindow(hwnd); }
};

} // namespace

TEST(OleControl, AMissingControlLeavesNoWindow) {
    Parent parent;
    COleControlWnd control;
    EXPECT_FALSE(control.CreateControl(kNoSuchControl, nullptr, WS_VISIBLE, CRect(0, 0, 50, 50), parent.hwnd, 1));
    EXPECT_EQ(control.m_hWnd, nullptr);
    EXPECT_EQ(GetWindow(parent.hwnd, GW_CHILD), nullptr);
    EXPECT_EQ(control.GetControlDispatch(), nullptr);
}

TEST(OleControl, EventArgumentsComeInDeclaredOrder) {
    VARIANT url;
    VariantInit(&url);
    url.vt = VT_BSTR;
    url.bstrVal = SysAllocString(L"http://server/x?y=1");
    VARIANT_BOOL cancel = VARIANT_FALSE;
    long width = 120;
    IDispatch* window = nullptr;
    // DISPPARAMS hold the last argument first.
    VARIANT args[5];
    for (VARIANT& v : args)
        VariantInit(&v);
    args[4].vt = VT_BYREF | VT_VARIANT; // 0: the URL by reference
    args[4].pvarVal = &url;
    args[3].vt = VT_BOOL; // 1
    args[3].boolVal = VARIANT_TRUE;
    args[2].vt = VT_BYREF | VT_I4; // 2
    args[2].plVal = reinterpret_cast<LONG*>(&width);
    args[1].vt = VT_BYREF | VT_DISPATCH; // 3
    args[1].ppdispVal = &window;
    args[0].vt = VT_BYREF | VT_BOOL; // 4: Cancel
    args[0].pboolVal = &cancel;
    DISPPARAMS params{args, nullptr, 5, 0};

    EXPECT_TRUE(fw::EventArgIsText(&params, 0));
    EXPECT_EQ(fw::EventArgText(&params, 0), "http://server/x?y=1");
    EXPECT_FALSE(fw::EventArgIsText(&params, 1));
    EXPECT_EQ(fw::EventArgText(&params, 1), "");
    EXPECT_EQ(fw::EventArgLong(&params, 1), -1) << "VARIANT_TRUE";
    EXPECT_EQ(fw::EventArgLong(&params, 2), 120);
    EXPECT_EQ(fw::EventArgLong(&params, 7, 42), 42) << "an argument the event does not have";
    EXPECT_EQ(fw::EventArg(&params, 5), nullptr);
    EXPECT_EQ(fw::EventArg(nullptr, 0), nullptr);

    *fw::EventArgLongRef(&params, 2) = 300;
    EXPECT_EQ(width, 300);
    EXPECT_EQ(fw::EventArgDispatchRef(&params, 3), &window);
    *fw::EventArgBoolRef(&params, 4) = VARIANT_TRUE;
    EXPECT_EQ(cancel, VARIANT_TRUE) << "the by-reference Cancel reaches the control";
    EXPECT_EQ(fw::EventArgBoolRef(&params, 1), nullptr) << "a value is no reference";
    EXPECT_EQ(fw::EventArgLongRef(&params, 4), nullptr);
    VariantClear(&url);
}
