#include "app/OptionsSheet.h"

#include "app/OptionsPages.h"
#include "app/ProtocolLog.h"
#include "resources/SessionIds.h"

#include <cstring>

namespace {

DialogScale ScaleBetween(HWND window, HFONT oldFont, HFONT newFont) {
    TEXTMETRICA before = TextMetrics(window, oldFont), after = TextMetrics(window, newFont);
    DialogScale s;
    s.oldCharWidth = before.tmAveCharWidth;
    s.newCharWidth = after.tmAveCharWidth;
    s.oldLineHeight = before.tmHeight + before.tmExternalLeading;
    s.newLineHeight = after.tmHeight + after.tmExternalLeading;
    return s;
}

BOOL CALLBACK RescaleChild(HWND child, LPARAM param) {
    auto* args = reinterpret_cast<std::pair<const DialogScale*, HFONT>*>(param);
    HWND parent = ::GetParent(child);
    ::SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(args->second), FALSE);
    if (!args->first) return TRUE;
    RECT r;
    ::GetWindowRect(child, &r);
    char cls[16] = {};
    ::GetClassNameA(child, cls, sizeof cls);
    if (_stricmp(cls, "COMBOBOX") == 0) {
        RECT dropped;
        if (::SendMessageA(child, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped))) {
            r.right = dropped.right;
            r.bottom = dropped.bottom;
        }
    }
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    const DialogScale& s = *args->first;
    ::MoveWindow(child, s.X(r.left), s.Y(r.top), s.X(r.right) - s.X(r.left), s.Y(r.bottom) - s.Y(r.top),
                 TRUE);
    return TRUE;
}

} // namespace

void ChangeDialogFont(HWND window, HFONT font, int mode) {
    if (!window || !font) return;
    HFONT oldFont = reinterpret_cast<HFONT>(::SendMessageA(window, WM_GETFONT, 0, 0));
    DialogScale scale = ScaleBetween(window, oldFont, font);
    bool relayout = scale.Valid();
    if (relayout && mode != 2) {
        RECT win, client;
        ::GetWindowRect(window, &win);
        ::GetClientRect(window, &client);
        int frameW = (win.right - win.left) - client.right, frameH = (win.bottom - win.top) - client.bottom;
        int width = scale.X(client.right) + frameW, height = scale.Y(client.bottom) + frameH;
        POINT at{win.left, win.top};
        if (mode == 0) {
            at.x -= (width - (win.right - win.left)) / 2;
            at.y -= (height - (win.bottom - win.top)) / 2;
        }
        if (HWND parent = ::GetParent(window); parent && (::GetWindowLongA(window, GWL_STYLE) & WS_CHILD))
            ::ScreenToClient(parent, &at);
        ::MoveWindow(window, at.x, at.y, width, height, TRUE);
    }
    ::SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    std::pair<const DialogScale*, HFONT> args{relayout ? &scale : nullptr, font};
    for (HWND child = ::GetWindow(window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        RescaleChild(child, reinterpret_cast<LPARAM>(&args));
}

CMySheet::CMySheet(UINT captionId, CWnd* parent, UINT firstPage)
    : CPropertySheet(captionId, parent, firstPage) {}

bool CMySheet::BuildPropPageArray() {
    if (!CPropertySheet::BuildPropPageArray()) return false;
    m_font.DeleteObject();
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    if (::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        m_font.CreateFontIndirect(metrics.lfMessageFont);
    return true;
}

bool CMySheet::OnInitDialog() {
    vorlan::TraceFunction("CMySheet::OnInitDialog");
    int remembered = GetActiveIndex();
    if (m_font.m_hObject) {
        ChangeDialogFont(m_hWnd, m_font, 0);
        for (int n = 0; n < GetPageCount(); ++n) {
            SetActivePage(n);
            if (CPropertyPage* page = GetPage(n); page && page->m_hWnd)
                ChangeDialogFont(page->m_hWnd, m_font, 0);
        }
        SetActivePage(remembered >= 0 ? remembered : 0);
    }
    if (IsWizard()) {
        if (HWND tab = GetTabControl()) ::ShowWindow(tab, SW_HIDE);
        RECT client = GetClientRect(), back{};
        if (HWND button = GetDlgItem(12323)) {
            ::GetWindowRect(button, &back);
            ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&back), 2);
        }
        m_rcPage = RECT{client.left, client.top, client.right, back.top - 2};
    } else if (HWND tab = GetTabControl()) {
        ::GetWindowRect(tab, &m_rcPage);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&m_rcPage), 2);
        ::SendMessageA(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&m_rcPage));
    }
    OnResizePage();
    return true;
}

void CMySheet::OnResizePage() {
    CPropertyPage* page = GetActivePage();
    if (!page || !page->m_hWnd || m_rcPage.right <= m_rcPage.left) return;
    ::MoveWindow(page->m_hWnd, m_rcPage.left, m_rcPage.top, m_rcPage.right - m_rcPage.left,
                 m_rcPage.bottom - m_rcPage.top, TRUE);
}

bool CMySheet::OnCommand(WPARAM wParam, LPARAM) {
    switch (LOWORD(wParam)) {
    case 12321: // Apply
    case 12323: // Back
    case 12324: // Next
        PostMessage(WM_RESIZEPAGE);
        break;
    default: break;
    }
    return false; // handled as usual
}

bool CMySheet::OnNotify(NMHDR* header, LRESULT&) {
    if (header && header->code == TCN_SELCHANGE) PostMessage(WM_RESIZEPAGE);
    return false;
}

LRESULT CMySheet::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_RESIZEPAGE) {
        OnResizePage();
        return 0;
    }
    return CPropertySheet::WindowProc(msg, wParam, lParam);
}

void RunOptionsSheet(CWnd* parent) {
    RegisterOptionsPages();
    CMySheet sheet(IDS_OPTIONS_CAPTION, parent);
    for (const char* page : {"CAllgemeinOptions", "CFontOptions", "CServerOptions"})
        sheet.AddPageByName(page);
    sheet.DoModal();
}
