#include "tools/DlgBigImage.h"

#include "app/ProtocolLog.h"
#include "framework/App.h"
#include "resources/ToolsIds.h"

namespace {

// The DICOM viewer control and the two members the window uses.
const CLSID kDicomControl = {0x9A2C58CF, 0x4A4B, 0x48BF, {0xB3, 0xC9, 0x07, 0x56, 0xF0, 0xF2, 0xFA, 0x9B}};
constexpr DISPID kDispCanShow = 260; // get with the path: 0 = the file can be shown
constexpr DISPID kDispShow = 259;    // put the path: the control shows it

constexpr UINT kDicomId = 1;
constexpr UINT kViewerId = 2;

} // namespace

bool CWndDICOMX::Create(HWND parent, const RECT& rect, UINT id) {
    if (!CreateControl(kDicomControl, nullptr, WS_VISIBLE, rect, parent, id)) return false;
    ::SetWindowTextA(m_hWnd, "DICOM");
    if (GetControlDispatch()) return true;
    DestroyWindow(); // a control without dispatch cannot be asked anything
    return false;
}

bool CWndDICOMX::ShowFile(const char* path) {
    VARIANT answer;
    ::VariantInit(&answer);
    bool asked = GetProperty(kDispCanShow, path, &answer) &&
                 SUCCEEDED(::VariantChangeType(&answer, &answer, 0, VT_I4));
    bool canShow = asked && answer.lVal == 0;
    ::VariantClear(&answer);
    return canShow && PutProperty(kDispShow, path);
}

CDlgBigImage::CDlgBigImage(CWnd* parent) : CDialog(IDD_BIG_IMAGE, parent) {}

bool CDlgBigImage::OnInitDialog() {
    vorlan::TraceFunction("CDlgBigImage::OnInitDialog");
    HICON icon = ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDI_BIG_IMAGE));
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    ::MoveWindow(m_hWnd, 0, 0, ::GetSystemMetrics(SM_CXSCREEN) / 2, ::GetSystemMetrics(SM_CYSCREEN) / 2,
                 TRUE);

    CRect client = GetClientRect();
    if (m_viewer.Create(client, WS_CHILD | WS_VISIBLE, 0, m_hWnd, kViewerId) &&
        m_viewer.LoadImage(m_strPath.c_str()))
        return true;
    if (m_viewer.m_hWnd) ::ShowWindow(m_viewer.m_hWnd, SW_HIDE);
    if (!m_dicom.Create(m_hWnd, client, kDicomId) || !m_dicom.ShowFile(m_strPath.c_str())) {
        EndDialog(kNotShown);
        return true;
    }
    CenterWindow();
    return true;
}

LRESULT CDlgBigImage::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_SIZE) OnSize();
    return CDialog::WindowProc(msg, wParam, lParam);
}

void CDlgBigImage::OnSize() {
    CRect client = GetClientRect();
    if (m_dicom.m_hWnd) m_dicom.MoveWindow(client);
    if (m_viewer.m_hWnd) m_viewer.MoveWindow(client);
}
