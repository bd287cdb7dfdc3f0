#include "services/PrintPreview.h"

#include "framework/App.h"
#include "framework/ToolBarControls.h"
#include "resources/PrintIds.h"

#include <cstdio>

namespace {

constexpr int kEditWidth = 36;
constexpr int kComboWidth = 100;
constexpr UINT kZoomComboId = 34015;
constexpr COLORREF kImageKey = RGB(255, 0, 255);

bool Themed() {
    CWinApp* app = AfxGetApp();
    return app && app->IsThemeActive();
}

std::string ZoomLabel(int zoom) {
    char text[16];
    std::snprintf(text, sizeof text, "%d%%", zoom);
    return text;
}

HIMAGELIST LoadStrip(UINT id) {
    CBitmap bitmap;
    if (!bitmap.LoadDIB(AfxGetResourceHandle(), id)) return nullptr;
    CImageList list;
    if (!list.Create(16, 16, ILC_COLOR24 | ILC_MASK, 9, 0)) return nullptr;
    list.AddMasked(bitmap, kImageKey);
    return list.Detach();
}

} // namespace

bool CTransparentStatic::Create(const char* text, HWND parent, int width, UINT id) {
    return CreateEx(0, "STATIC", text, WS_CHILD | WS_VISIBLE | SS_CENTERIMAGE | SS_NOPREFIX,
                    CRect(0, 0, width, 20), parent, id);
}

LRESULT CTransparentStatic::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!Themed()) return CWnd::WindowProc(msg, wParam, lParam);
    switch (msg) {
    case WM_SETTEXT: {
        LRESULT r = CWnd::WindowProc(msg, wParam, lParam);
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
        return r;
    }
    case WM_ERASEBKGND: return OnEraseBackground(reinterpret_cast<HDC>(wParam));
    default: return CWnd::WindowProc(msg, wParam, lParam);
    }
}

// The parent's background, painted into this label's context at the label's place.
LRESULT CTransparentStatic::OnEraseBackground(HDC dc) {
    HWND parent = ::GetParent(m_hWnd);
    RECT own{};
    ::GetWindowRect(m_hWnd, &own);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&own), 2);
    CRect client = GetClientRect();
    int saved = ::SaveDC(dc);
    ::IntersectClipRect(dc, client.left, client.top, client.right, client.bottom);
    POINT old{};
    ::OffsetWindowOrgEx(dc, own.left + 4, own.top, &old);
    ::SendMessageA(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    ::RestoreDC(dc, saved);
    return 1;
}

bool CPrintPreviewTool::Create(CPrintPreview& preview) {
    m_hPreview = preview.m_hWnd;
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NORESIZE |
                  CCS_NODIVIDER | CCS_NOPARENTALIGN;
    if (!CreateEx(0, style, 0, CRect(0, 0, 600, 26), m_hPreview, 0xE800)) return false;
    LOGFONTA lf{};
    ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    m_font.CreateFontIndirect(lf);
    SetImageLists(LoadStrip(IDB_PREVIEW_BAR), nullptr, LoadStrip(IDB_PREVIEW_BAR_DISABLED));
    CString text;

    AddButton(0, ID_PREVIEW_PRINT);
    AddButton(1, ID_PREVIEW_PRINTER);
    AddSeparator();
    AddButton(2, ID_PREVIEW_FIRST);
    AddButton(3, ID_PREVIEW_PREVIOUS);
    text.LoadString(IDS_PREVIEW_PAGE);
    AddLabel(m_pageLabel, text, 40);
    AddEdit(m_pageEdit, ID_PREVIEW_PAGE_EDIT);
    text.FormatId(IDS_PREVIEW_PAGE_COUNT, 1);
    AddLabel(m_countLabel, text, 56);
    AddButton(4, ID_PREVIEW_NEXT);
    AddButton(5, ID_PREVIEW_LAST);
    AddSeparator();
    AddButton(6, ID_PREVIEW_ZOOM_IN);
    AddButton(7, ID_PREVIEW_ZOOM_OUT);
    m_zoom.Create(CBS_DROPDOWN | WS_VSCROLL | WS_VISIBLE, CRect(0, 0, kComboWidth, 240), m_hWnd,
                  kZoomComboId);
    m_zoom.SetFont(m_font);
    for (int mode : preview::kZoomTable) {
        CString entry(ZoomLabel(mode).c_str());
        if (mode == preview::kZoomFitWidth) entry.LoadString(IDS_PREVIEW_FIT_WIDTH);
        if (mode == preview::kZoomWholePage) entry.LoadString(IDS_PREVIEW_WHOLE_PAGE);
        m_zoom.SetItemData(m_zoom.AddString(entry), mode);
    }
    fw::AddToolBarControl(*this, m_zoom, kComboWidth, 0);
    AddSeparator();
    text.LoadString(IDS_PREVIEW_USER_VALUE);
    AddLabel(m_userLabel, text, 72);
    AddEdit(m_userEdit, ID_PREVIEW_USER_EDIT);
    AddButton(8, ID_PREVIEW_CLOSE);
    CSize need = GetNeededSize();
    SetWindowPos(nullptr, 0, 0, need.cx, need.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

void CPrintPreviewTool::AddButton(int image, UINT id) {
    TBBUTTON b{};
    b.iBitmap = image;
    b.idCommand = static_cast<int>(id);
    b.fsState = TBSTATE_ENABLED;
    b.fsStyle = BTNS_BUTTON;
    AddButtons(&b, 1);
}

void CPrintPreviewTool::AddSeparator() {
    TBBUTTON b{};
    b.iBitmap = 8;
    b.fsStyle = BTNS_SEP;
    AddButtons(&b, 1);
}

void CPrintPreviewTool::AddLabel(CTransparentStatic& label, const char* text, int width) {
    label.Create(text, m_hWnd, width, 0xFFFF);
    label.SetFont(m_font);
    fw::AddToolBarControl(*this, label, width, 0);
}

void CPrintPreviewTool::AddEdit(CWnd& edit, UINT id) {
    edit.CreateEx(WS_EX_CLIENTEDGE, "EDIT", "1",
                  WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | ES_RIGHT, CRect(0, 0, kEditWidth, 20),
                  m_hWnd, id);
    edit.SetFont(m_font);
    fw::AddToolBarControl(*this, edit, kEditWidth, 0);
}

void CPrintPreviewTool::Update(int page, int minPage, int maxPage, int userValue, int zoom) {
    EnableButton(ID_PREVIEW_ZOOM_IN, zoom < preview::kZoomMax);
    EnableButton(ID_PREVIEW_ZOOM_OUT, zoom > preview::kZoomMin);
    EnableButton(ID_PREVIEW_FIRST, page > minPage);
    EnableButton(ID_PREVIEW_PREVIOUS, page > minPage);
    EnableButton(ID_PREVIEW_NEXT, page < maxPage);
    EnableButton(ID_PREVIEW_LAST, page < maxPage);
    char number[16];
    std::snprintf(number, sizeof number, "%d", page);
    m_pageEdit.SetWindowText(number);
    CString count;
    count.FormatId(IDS_PREVIEW_PAGE_COUNT, maxPage);
    m_countLabel.SetWindowText(count);
    std::snprintf(number, sizeof number, "%d", userValue);
    m_userEdit.SetWindowText(number);
    m_nShownZoom = zoom;
}

void CPrintPreviewTool::ShowZoomMode(int mode, int zoom) {
    for (int i = 0; i < m_zoom.GetCount(); ++i) {
        if (static_cast<int>(m_zoom.GetItemData(i)) == mode) {
            m_zoom.SetCurSel(i);
            m_nShownZoom = zoom;
            return;
        }
    }
    ShowZoom(zoom);
}

void CPrintPreviewTool::ShowZoom(int zoom) {
    m_nShownZoom = zoom;
    m_zoom.SetCurSel(-1);
    m_zoom.SetWindowText(ZoomLabel(zoom).c_str());
}

std::string CPrintPreviewTool::PageText() const {
    return fw::WindowText(m_pageEdit);
}

std::string CPrintPreviewTool::UserText() const {
    return fw::WindowText(m_userEdit);
}

std::string CPrintPreviewTool::ZoomText() const {
    return fw::WindowText(m_zoom);
}

void CPrintPreviewTool::FocusPage() {
    ::SetFocus(m_pageEdit);
    m_pageEdit.SendMessage(EM_SETSEL, 0, -1);
}

void CPrintPreviewTool::FocusUser() {
    ::SetFocus(m_userEdit);
    m_userEdit.SendMessage(EM_SETSEL, 0, -1);
}

LRESULT CPrintPreviewTool::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_COMMAND:
        // The bar would pass its controls' notifications on to the preview, where the edits'
        // ids would read as the commands that focus them.
        if (reinterpret_cast<HWND>(lParam) == m_zoom.m_hWnd) return OnChildCommand(wParam, lParam);
        if (lParam) return 0;
        break;
    case WM_CTLCOLORSTATIC:
        if (Themed()) return OnCtlColorStatic(reinterpret_cast<HDC>(wParam));
        break;
    default: break;
    }
    return CToolBarCtrl::WindowProc(msg, wParam, lParam);
}

LRESULT CPrintPreviewTool::OnChildCommand(WPARAM wParam, LPARAM) {
    switch (HIWORD(wParam)) {
    case CBN_SELCHANGE: {
        int sel = m_zoom.GetCurSel();
        if (sel >= 0)
            ::PostMessageA(m_hPreview, WM_PREVIEW_ZOOM, static_cast<WPARAM>(m_zoom.GetItemData(sel)), 0);
        break;
    }
    case CBN_SETFOCUS: m_bZoomFocus = true; break;
    case CBN_KILLFOCUS:
        m_bZoomFocus = false;
        // A typed text that was not taken gives way to the zoom in use.
        ShowZoom(m_nShownZoom);
        break;
    default: break;
    }
    return 0;
}

LRESULT CPrintPreviewTool::OnCtlColorStatic(HDC dc) {
    ::SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
}
