#include "frame/WebBrowser.h"

#include "framework/Dispatch.h"

namespace {

// The control's standard dispatch ids.
constexpr DISPID kGoBack = 100;
constexpr DISPID kGoForward = 101;
constexpr DISPID kNavigate = 104;
constexpr DISPID kStop = 106;
constexpr DISPID kLocationName = 210;
constexpr DISPID kLocationURL = 211;
constexpr DISPID kBusy = 212;
constexpr DISPID kExecWB = 502;

// The events interface of the control (DWebBrowserEvents2).
const IID kBrowserEvents = {0x34A715A0, 0x6587, 0x11D0, {0x92, 0x4A, 0x00, 0x20, 0xAF, 0xC7, 0xAC, 0x4D}};

} // namespace

const CLSID CWebBrowser::kClassId = {
    0x8856F961, 0x340A, 0x11D0, {0xA9, 0x6B, 0x00, 0xC0, 0x4F, 0xD7, 0x05, 0xA2}};

bool CWebBrowser::Create(DWORD style, const RECT& rect, HWND parent, UINT id) {
    return CreateControl(kClassId, &kBrowserEvents, style, rect, parent, id);
}

CVariant CWebBrowser::Call(DISPID id, WORD flags, const CVariant* args, int count) {
    IDispatch* dispatch = GetControlDispatch();
    if (!dispatch) return CVariant();
    CDispatchDriver driver;
    driver.AttachDispatch(dispatch, false);
    try {
        return driver.Invoke(id, flags, args, count);
    } catch (const CDispatchException&) {
        return CVariant();
    }
}

void CWebBrowser::Navigate(const char* url) {
    CVariant args[5] = {CVariant(url), CVariant(), CVariant(), CVariant(), CVariant()};
    Call(kNavigate, DISPATCH_METHOD, args, 5);
}

void CWebBrowser::GoBack() {
    Call(kGoBack, DISPATCH_METHOD);
}

void CWebBrowser::GoForward() {
    Call(kGoForward, DISPATCH_METHOD);
}

void CWebBrowser::Stop() {
    Call(kStop, DISPATCH_METHOD);
}

void CWebBrowser::ExecWB(long command, long options) {
    CVariant args[4] = {CVariant(command), CVariant(options), CVariant(), CVariant()};
    Call(kExecWB, DISPATCH_METHOD, args, 4);
}

bool CWebBrowser::GetBusy() {
    return Call(kBusy, DISPATCH_PROPERTYGET).ToLong() != 0;
}

CString CWebBrowser::GetLocationName() {
    return Call(kLocationName, DISPATCH_PROPERTYGET).ToString();
}

CString CWebBrowser::GetLocationURL() {
    return Call(kLocationURL, DISPATCH_PROPERTYGET).ToString();
}

void CWebBrowser::OnControlEvent(DISPID id, DISPPARAMS* params) {
    if (auto* owner = dynamic_cast<CWebBrowserEvents*>(CWnd::FromHandlePermanent(::GetParent(m_hWnd))))
        owner->OnBrowserEvent(id, params);
}
