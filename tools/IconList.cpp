#include "tools/IconList.h"

#include "app/ProtocolLog.h"
#include "app/Session.h"
#include "framework/Gdi.h"
#include "tools/IconListLogic.h"

#include <commctrl.h>

namespace {

// String resource of the first built-in background picture.
constexpr UINT kFirstBackgroundName = 32000;

} // namespace

CIconList::~CIconList() {
    if (m_hFont) ::DeleteObject(m_hFont);
}

bool CIconList::Create(DWORD style, const RECT& rect, HWND frame, UINT id, UINT firstChildId) {
    vorlan::TraceFunction("CIconList::Create");
    if (!CreateClient(WS_EX_CLIENTEDGE, WC_LISTVIEWA, style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | LVS_ICON,
                      rect, frame, id, firstChildId))
        return false;
    m_bAutoDelete = true;
    const char* headings[3] = {"Beschreibung", "Memo", "Parameter"};
    for (int i = 0; i < 3; ++i) {
        LVCOLUMNA col{};
        col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        col.pszText = const_cast<char*>(headings[i]);
        col.cx = 120;
        col.iSubItem = i;
        SendMessage(LVM_INSERTCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&col));
    }
    SetStandard();
    return true;
}

void CIconList::SetStandard() {
    vorlan::TraceFunction("CIconList::SetStandard");
    SendMessage(LVM_DELETEALLITEMS);
    m_crText = RGB(255, 255, 255);
    m_strFontFace = "Tahoma";
    m_nTextSize = 9;
    SendMessage(LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(CLR_NONE));
    m_strPicture.LoadString(kFirstBackgroundName);
    m_nPictureKind = 3;
    Set(1);
}

void CIconList::Set(int resetColour) {
    vorlan::TraceFunction("CIconList::Set");
    LOGFONTA lf{};
    lf.lfHeight = -::MulDiv(m_nTextSize, ::GetDeviceCaps(CClientDC(m_hWnd), LOGPIXELSY), 72);
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(lf.lfFaceName, m_strFontFace, LF_FACESIZE);
    HFONT font = ::CreateFontIndirectA(&lf);
    if (font) {
        SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (m_hFont) ::DeleteObject(m_hFont);
        m_hFont = font;
    }
    // Background pictures are drawn by the workplace tools; until then the desktop is plain.
    if (resetColour) m_crBackground = ::GetSysColor(COLOR_APPWORKSPACE);
    SendMessage(LVM_SETBKCOLOR, 0, static_cast<LPARAM>(m_crBackground));
    SendMessage(LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(m_crText));
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CIconList::SetSizesToKVX() {
    if (!m_bReportSizes) return;
    CRect client = GetClientRect();
    TheSession().Execute(vorlan::ClientSizeLine(client.Width(), client.Height()));
    TheSession().Execute(
        vorlan::ScreenSizeLine(::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)));
}

void CIconList::OnSize(UINT type) {
    if (type == SIZE_MINIMIZED) return;
    SetSizesToKVX();
    ::ArrangeIconicWindows(m_hWnd);
}

LRESULT CIconList::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_SIZE: {
        LRESULT r = CMDIClientWnd::WindowProc(msg, wParam, lParam);
        OnSize(static_cast<UINT>(wParam));
        return r;
    }
    case WM_MOUSEWHEEL: return 0;
    default: return CMDIClientWnd::WindowProc(msg, wParam, lParam);
    }
}
