#include "app/VORLANApp.h"
#include "framework/TestMode.h"
#include "framework/Wnd.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct CommandSink : CWnd {
    std::vector<UINT> commands;
    LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override {
        if (msg == WM_COMMAND) commands.push_back(LOWORD(w));
        return CWnd::WindowProc(msg, w, l);
    }
};

} // namespace

TEST(AppObject, AcceleratorsOnlyWhileTheMainWindowIsActive) {
    fw::TestMode::Enable("", "AppObject");
    ASSERT_TRUE(theApp.LoadLanguageDll());
    theApp.LoadAccelerators();
    ASSERT_NE(theApp.Accelerators(), nullptr);
    CWnd::RegisterWindowClass("AppObject.Main", 0, nullptr, nullptr, nullptr);
    CommandSink main, other;
    ASSERT_TRUE(main.CreateEx(0, "AppObject.Main", "m", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                              CRect(0, 0, 200, 200), nullptr, 0));
    ASSERT_TRUE(other.CreateEx(0, "AppObject.Main", "o", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                               CRect(300, 0, 500, 200), nullptr, 0));
    theApp.m_pMainWnd = &main;
    SetActiveWindow(main.m_hWnd);
    PostMessageA(main.m_hWnd, WM_KEYDOWN, VK_F1, 0);
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE) && theApp.PumpMessage() && main.commands.empty()) {
    }
    EXPECT_EQ(main.commands, (std::vector<UINT>{57670}));
    SetActiveWindow(other.m_hWnd);
    main.commands.clear();
    PostMessageA(main.m_hWnd, WM_KEYDOWN, VK_F1, 0);
    while (PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE) && theApp.PumpMessage()) {
    }
    EXPECT_TRUE(main.commands.empty()) << "another window is active";
    theApp.m_pMainWnd = nullptr;
    main.DestroyWindow();
    other.DestroyWindow();
    fw::TestMode::Disable();
}

TEST(AppObject, WaitCursorStartsWithTheStartingCursor) {
    theApp.LoadCursors();
    HCURSOR arrow = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    SetCursor(arrow);
    theApp.DoWaitCursor(1);
    EXPECT_EQ(GetCursor(), theApp.AppStartingCursor());
    theApp.DoWaitCursor(1);
    EXPECT_EQ(GetCursor(), theApp.WaitCursor());
    theApp.DoWaitCursor(-1);
    theApp.DoWaitCursor(-1);
    EXPECT_EQ(GetCursor(), arrow);
    theApp.DoWaitCursor(-1); // below zero stays at zero
    theApp.DoWaitCursor(1);
    EXPECT_EQ(GetCursor(), theApp.AppStartingCursor());
    theApp.DoWaitCursor(-1);
    EXPECT_EQ(GetCursor(), arrow);
}

TEST(AppObject, ClassicImageListsAreMaskedStripsOfSquares) {
    theApp.m_hImageResources = GetModuleHandleA(nullptr);
    EXPECT_EQ(theApp.LoadImageList(4999, false), nullptr);
    HIMAGELIST list = theApp.LoadImageList(5000, false); // not themed: 24-bit masked
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(ImageList_GetImageCount(list), 2);
    int cx = 0, cy = 0;
    ImageList_GetIconSize(list, &cx, &cy);
    EXPECT_EQ(cx, 8);
    EXPECT_EQ(cy, 8);
    IMAGEINFO info;
    ASSERT_TRUE(ImageList_GetImageInfo(list, 0, &info));
    EXPECT_NE(info.hbmMask, nullptr);
    ImageList_Destroy(list);
}

TEST(AppObject, PaletteFromTheColourTableInPaletteOrder) {
    struct {
        BITMAPINFOHEADER h;
        RGBQUAD colours[256];
    } bi{};
    bi.h.biSize = sizeof bi.h;
    bi.h.biWidth = 4;
    bi.h.biHeight = 4;
    bi.h.biPlanes = 1;
    bi.h.biBitCount = 8;
    bi.h.biClrUsed = 3;
    bi.colours[1] = {0x30, 0x20, 0x10, 0}; // blue, green, red
    void* bits = nullptr;
    HBITMAP dib =
        CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(dib, nullptr);
    HPALETTE pal = CVORLANApp::CreatePaletteFromDIB(dib);
    ASSERT_NE(pal, nullptr);
    PALETTEENTRY e[4] = {};
    ASSERT_GE(GetPaletteEntries(pal, 0, 4, e), 3u);
    EXPECT_EQ(e[1].peRed, 0x10);
    EXPECT_EQ(e[1].peBlue, 0x30);
    DeleteObject(pal);
    DeleteObject(dib);
    bi.h.biBitCount = 24;
    bi.h.biClrUsed = 0;
    HBITMAP truecolour =
        CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS, &bits, nullptr, 0);
    EXPECT_EQ(CVORLANApp::CreatePaletteFromDIB(truecolour), nullptr) << "no colour table";
    DeleteObject(truecolour);
}
