#include "frame/ToolBarExTool.h"

#include "app/VORLANApp.h"
#include "framework/App.h"
#include "framework/Frame.h"
#include "framework/Gdi.h"
#include "framework/TestMode.h"
#include "resources/resource.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr int kTextLimit = 127;

CToolBarCustomizeDlg* g_customizeDlg = nullptr;

CString RowText(UINT textId) {
    CString text;
    if (textId) text.LoadString(textId);
    // A command's prompt string holds the short text after its line feed.
    int feed = text.Find('\n');
    if (feed >= 0) text = text.Mid(feed + 1);
    if (text.GetLength() > kTextLimit) text = text.Left(kTextLimit);
    return text;
}

} // namespace

bool CToolBarExTool::Create(HWND parent, DWORD, UINT id) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&icc);
    if (!CWnd::CreateEx(WS_EX_TOOLWINDOW, TOOLBARCLASSNAMEA, "", 0x5600896D, CRect(0, 0, 0, 0), parent, id))
        return false;
    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    if (theApp.IsThemed()) SendMessage(TB_SETPADDING, 0, MAKELPARAM(10, 14));
    SendMessage(TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS | TBSTYLE_EX_HIDECLIPPEDBUTTONS);
    return true;
}

HWND CToolBarExTool::Owner() const {
    return m_hOwner ? m_hOwner : ::GetParent(m_hWnd);
}

void CToolBarExTool::LoadToolBar(const UINT* images, int rowCount, const ToolButtonRow* rows,
                                 const vorlan::ToolBarRecord& defaults, const char* entry) {
    m_pImages = images;
    m_nRows = rowCount;
    m_pRows = rows;
    m_default = defaults;
    m_strEntry = entry ? entry : "";
    for (int i = 0; i < rowCount; ++i) {
        if (!rows[i].textId) continue;
        CString text = RowText(rows[i].textId);
        std::vector<char> both(text.c_str(), text.c_str() + text.GetLength());
        both.push_back('\0');
        both.push_back('\0');
        SendMessage(TB_ADDSTRINGA, 0, reinterpret_cast<LPARAM>(both.data()));
    }
    vorlan::ToolBarRecord saved;
    if (RestoreToolBar(m_strEntry.c_str(), saved))
        AddButtons(&saved);
    else
        AddButtons(nullptr);
}

void CToolBarExTool::SetImages(bool large) {
    m_bLargeIcons = large;
    if (!m_pImages) return;
    int half = large ? 0 : 3;
    HIMAGELIST normal = theApp.LoadImageList(m_pImages[half], false);
    HIMAGELIST hot = theApp.LoadImageList(m_pImages[half + 1], false);
    HIMAGELIST disabled = theApp.LoadImageList(m_pImages[half + 2], false);
    if (normal) {
        int cx = 0, cy = 0;
        ImageList_GetIconSize(normal, &cx, &cy);
        SendMessage(TB_SETBITMAPSIZE, 0, MAKELPARAM(cx, cy));
    }
    theApp.SetToolbarImages(m_hWnd, normal, hot, disabled);
    // The toolbar object keeps them and gives them back with the next ones.
    SetImageLists(normal, theApp.IsThemeActive() ? hot : nullptr, disabled);
    if (hot && !theApp.IsThemeActive()) ImageList_Destroy(hot);
}

void CToolBarExTool::AddButtons(const vorlan::ToolBarRecord* record) {
    const vorlan::ToolBarRecord& r = record ? *record : m_default;
    SetImages(r.largeIcons != 0);
    for (std::uint8_t row : r.rows) {
        if (row >= m_nRows) continue;
        const ToolButtonRow& t = m_pRows[row];
        TBBUTTON b{};
        b.iBitmap = t.image;
        b.idCommand = static_cast<int>(t.command);
        b.fsState = t.state;
        b.fsStyle = t.style;
        b.dwData = row;
        b.iString = static_cast<INT_PTR>(row) - 1;
        CToolBarCtrl::AddButtons(&b, 1);
    }
    SetTextMode(r.textMode);
    AutoButtonWidth();
}

void CToolBarExTool::SetTextMode(int mode) {
    LONG_PTR style = ::GetWindowLongPtrA(m_hWnd, GWL_STYLE);
    DWORD ex = static_cast<DWORD>(SendMessage(TB_GETEXTENDEDSTYLE));
    if (mode == 1 || mode == 2) {
        style |= TBSTYLE_LIST;
        ex |= TBSTYLE_EX_MIXEDBUTTONS;
    } else if (mode == 0) {
        style &= ~static_cast<LONG_PTR>(TBSTYLE_LIST);
        ex &= ~static_cast<DWORD>(TBSTYLE_EX_MIXEDBUTTONS);
    }
    if (mode >= 0) {
        ::SetWindowLongPtrA(m_hWnd, GWL_STYLE, style);
        SendMessage(TB_SETEXTENDEDSTYLE, 0, ex);
    }
    SendMessage(TB_SETMAXTEXTROWS, mode == 2 ? 0 : 1);
    SendMessage(TB_AUTOSIZE);
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CToolBarExTool::AutoButtonWidth() {
    LOGFONTA lf{};
    ::SystemParametersInfoA(SPI_GETICONTITLELOGFONT, sizeof lf, &lf, 0);
    CFont font;
    font.CreateFontIndirect(lf);
    int widest = 0;
    int count = GetButtonCount();
    for (int i = 0; i < count; ++i) {
        TBBUTTON b{};
        if (!GetButton(i, b) || (b.fsStyle & BTNS_SEP)) continue;
        CString text = GetButtonText(static_cast<UINT>(b.idCommand));
        SIZE size = TextExtent(m_hWnd, font, text, text.GetLength());
        widest = std::max<int>(widest, size.cx);
    }
    DWORD padding = static_cast<DWORD>(SendMessage(TB_GETPADDING));
    int width = widest + 2 * LOWORD(padding);
    width = std::min(width, kMaxButtonWidth);
    SetButtonWidth(0, std::max(width, 0));
}

vorlan::ToolBarRecord CToolBarExTool::GetToolBar() const {
    vorlan::ToolBarRecord r;
    int count = std::min(GetButtonCount(), vorlan::kToolBarMaxButtons);
    for (int i = 0; i < count; ++i) {
        TBBUTTON b{};
        if (GetButton(i, b)) r.rows.push_back(static_cast<std::uint8_t>(b.dwData));
    }
    r.largeIcons = m_bLargeIcons ? 1 : 0;
    int rows = static_cast<int>(::SendMessageA(m_hWnd, TB_GETTEXTROWS, 0, 0));
    if (rows == 0)
        r.textMode = 2;
    else
        r.textMode = (::GetWindowLongPtrA(m_hWnd, GWL_STYLE) & TBSTYLE_LIST) ? 1 : 0;
    return r;
}

void CToolBarExTool::SaveToolBar(const char* entry) {
    std::string bytes = vorlan::BuildToolBarRecord(GetToolBar());
    AfxGetApp()->WriteProfileBinary(kSection, entry, &bytes);
}

bool CToolBarExTool::RestoreToolBar(const char* entry, vorlan::ToolBarRecord& out) const {
    std::string bytes;
    if (!entry || !*entry || !AfxGetApp()->GetProfileBinary(kSection, entry, bytes)) return false;
    return vorlan::ParseToolBarRecord(bytes, m_nRows, out);
}

void CToolBarExTool::DefaultView() {
    for (int i = GetButtonCount() - 1; i >= 0; --i)
        DeleteButton(i);
    AddButtons(nullptr);
}

void CToolBarExTool::OnToolBarChange() {
    int count = GetButtonCount();
    CRect last = count > 0 ? GetItemRect(count - 1) : CRect();
    HWND rebar = ::GetParent(m_hWnd);
    int band = static_cast<int>(::SendMessageA(rebar, RB_IDTOINDEX, ::GetDlgCtrlID(m_hWnd), 0));
    if (band >= 0) {
        REBARBANDINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = RBBIM_IDEALSIZE | RBBIM_CHILDSIZE;
        ::SendMessageA(rebar, RB_GETBANDINFOA, static_cast<WPARAM>(band), reinterpret_cast<LPARAM>(&info));
        info.cxIdeal = static_cast<UINT>(last.right);
        info.cyMinChild = static_cast<UINT>(last.bottom);
        ::SendMessageA(rebar, RB_SETBANDINFOA, static_cast<WPARAM>(band), reinterpret_cast<LPARAM>(&info));
    }
    SaveToolBar(m_strEntry.c_str());
}

bool CToolBarExTool::OnGetButtonInfo(NMTOOLBARA* info) {
    if (info->iItem < 0 || info->iItem >= m_nRows) return false;
    const ToolButtonRow& t = m_pRows[info->iItem];
    info->tbButton.iBitmap = t.image;
    info->tbButton.idCommand = static_cast<int>(t.command);
    info->tbButton.fsState = t.state;
    info->tbButton.fsStyle = t.style;
    info->tbButton.dwData = static_cast<DWORD_PTR>(info->iItem);
    info->tbButton.iString = info->iItem - 1;
    CString text = RowText(t.textId);
    if (info->pszText && info->cchText > 0) {
        std::strncpy(info->pszText, text.c_str(), static_cast<size_t>(info->cchText) - 1);
        info->pszText[info->cchText - 1] = '\0';
    }
    return true;
}

LRESULT CToolBarExTool::OnNotify(NMHDR* header) {
    switch (header->code) {
    case TBN_QUERYINSERT:
    case TBN_QUERYDELETE: return TRUE;
    case TBN_GETBUTTONINFOA: return OnGetButtonInfo(reinterpret_cast<NMTOOLBARA*>(header)) ? TRUE : FALSE;
    case TBN_BEGINADJUST:
        if (HWND main = theApp.MainWindow())
            ::SendMessageA(main, WM_CUSTOMIZE_TOOLBAR, reinterpret_cast<WPARAM>(m_hWnd), 0);
        return 1;
    case TBN_ENDADJUST: AutoButtonWidth(); return 0;
    case TBN_RESET:
        DefaultView();
        if (CToolBarCustomizeDlg* dlg = CToolBarCustomizeDlg::Current()) dlg->UpdateOptions();
        OnToolBarChange();
        return 1;
    case TBN_TOOLBARCHANGE: OnToolBarChange(); return 0;
    case TBN_DROPDOWN: {
        auto* info = reinterpret_cast<NMTOOLBARA*>(header);
        ::SendMessageA(Owner(), WM_COMMAND, static_cast<WPARAM>(info->iItem), 0);
        return TBDDRET_DEFAULT;
    }
    default: return 0;
    }
}

void CToolBarExTool::OnSetLargeIcons(bool large, bool rebuild) {
    if (!rebuild) {
        SetImages(large);
        return;
    }
    vorlan::ToolBarRecord r = GetToolBar();
    r.largeIcons = large ? 1 : 0;
    for (int i = GetButtonCount() - 1; i >= 0; --i)
        DeleteButton(i);
    AddButtons(&r);
}

void CToolBarExTool::OnIdleUpdate() {
    auto* frame = dynamic_cast<CFrameWnd*>(CWnd::FromHandlePermanent(Owner()));
    if (!frame) frame = dynamic_cast<CFrameWnd*>(AfxGetApp()->m_pMainWnd);
    if (!frame) return;
    int count = GetButtonCount();
    for (int i = 0; i < count; ++i) {
        TBBUTTON b{};
        if (!GetButton(i, b) || (b.fsStyle & BTNS_SEP)) continue;
        CToolExCmdUI ui(m_hWnd, static_cast<UINT>(b.idCommand));
        frame->UpdateCmdUI(ui);
    }
}

LRESULT CToolBarExTool::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case kReflectBase + WM_NOTIFY:
        if (lParam) return OnNotify(reinterpret_cast<NMHDR*>(lParam));
        return 0;
    case WM_CUSTOMIZE_TOOLBAR: CToolBarCustomizeDlg::Open(this, reinterpret_cast<HWND>(lParam)); return 0;
    case kSetLargeIcons: OnSetLargeIcons(wParam != 0, lParam != 0); return 0;
    case kGetLargeIcons: return m_bLargeIcons ? 1 : 0;
    case WM_IDLEUPDATECMDUI: OnIdleUpdate(); return 0;
    case TB_CUSTOMIZE:
        // The common customise dialog is modal and no script answers it: in test mode it is
        // only recorded as cancelled.
        if (fw::TestMode::IsOn()) {
            fw::TestMode::RecordItem(fw::ShownItem{"customize", 0, "", "", IDCANCEL});
            return 0;
        }
        break;
    default: break;
    }
    return CToolBarCtrl::WindowProc(msg, wParam, lParam);
}

// ---- the choices below the customise dialog

CToolBarCustomizeDlg* CToolBarCustomizeDlg::Current() {
    return g_customizeDlg;
}

bool CToolBarCustomizeDlg::Open(CToolBarExTool* toolbar, HWND customizeWindow) {
    if (g_customizeDlg || !toolbar || !::IsWindow(customizeWindow)) return false;
    auto* dlg = new CToolBarCustomizeDlg;
    dlg->m_pToolBar = toolbar;
    g_customizeDlg = dlg;
    // The common dialog is no window of ours: it is looked at through a stand-in for the call.
    CWnd* known = CWnd::FromHandlePermanent(customizeWindow);
    CWnd standIn;
    if (!known) standIn.Attach(customizeWindow);
    bool ok = dlg->Create(kTemplate, known ? known : &standIn);
    if (!known) standIn.Detach();
    if (!ok) {
        g_customizeDlg = nullptr;
        delete dlg;
    }
    return ok;
}

namespace {
// The entries of a combo box from one string, separated by "|".
void FillCombo(HWND dialog, int id, UINT textId) {
    CString all;
    all.LoadString(textId);
    std::string text = all.str();
    size_t at = 0;
    while (at <= text.size()) {
        size_t bar = text.find('|', at);
        std::string entry = text.substr(at, bar == std::string::npos ? std::string::npos : bar - at);
        ::SendDlgItemMessageA(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
        if (bar == std::string::npos) break;
        at = bar + 1;
    }
}
} // namespace

bool CToolBarCustomizeDlg::OnInitDialog() {
    FillCombo(m_hWnd, kTextMode, kTextMode);
    FillCombo(m_hWnd, kIconSize, kIconSize);
    // Placed from the parent's client area as it is: the common dialog's size differs between
    // systems.
    HWND parent = ::GetParent(m_hWnd);
    CRect client, own = GetWindowRect();
    ::GetClientRect(parent, &client);
    SetWindowPos(nullptr, 0, client.bottom, client.Width(), own.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    CRect outer;
    ::GetWindowRect(parent, &outer);
    ::SetWindowPos(parent, nullptr, 0, 0, outer.Width(), outer.Height() + own.Height(),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    UpdateOptions();
    return true;
}

void CToolBarCustomizeDlg::UpdateOptions() {
    if (!m_pToolBar) return;
    vorlan::ToolBarRecord r = m_pToolBar->GetToolBar();
    ::SendDlgItemMessageA(m_hWnd, kTextMode, CB_SETCURSEL, static_cast<WPARAM>(r.textMode), 0);
    m_bLargeIcons = m_pToolBar->IsLargeIcons();
    ::SendDlgItemMessageA(m_hWnd, kIconSize, CB_SETCURSEL, m_bLargeIcons ? 1 : 0, 0);
}

bool CToolBarCustomizeDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) == kTextMode && HIWORD(wParam) == CBN_SELCHANGE && m_pToolBar) {
        int mode = static_cast<int>(::SendDlgItemMessageA(m_hWnd, kTextMode, CB_GETCURSEL, 0, 0));
        m_pToolBar->SetTextMode(mode >= 0 && mode <= 2 ? mode : -1);
        NMHDR hdr{m_pToolBar->m_hWnd, static_cast<UINT_PTR>(::GetDlgCtrlID(m_pToolBar->m_hWnd)),
                  static_cast<UINT>(TBN_TOOLBARCHANGE)};
        ::SendMessageA(::GetParent(m_pToolBar->m_hWnd), WM_NOTIFY, hdr.idFrom,
                       reinterpret_cast<LPARAM>(&hdr));
        return true;
    }
    return CDialog::OnCommand(wParam, lParam);
}

LRESULT CToolBarCustomizeDlg::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY && m_pToolBar && ::IsWindow(m_pToolBar->m_hWnd)) {
        int choice = static_cast<int>(::SendDlgItemMessageA(m_hWnd, kIconSize, CB_GETCURSEL, 0, 0));
        bool large = choice == 1;
        if (choice >= 0 && large != m_bLargeIcons) {
            m_pToolBar->SendMessage(CToolBarExTool::kSetLargeIcons, large ? 1 : 0, 1);
            NMHDR hdr{m_pToolBar->m_hWnd, static_cast<UINT_PTR>(::GetDlgCtrlID(m_pToolBar->m_hWnd)),
                      static_cast<UINT>(TBN_TOOLBARCHANGE)};
            ::SendMessageA(::GetParent(m_pToolBar->m_hWnd), WM_NOTIFY, hdr.idFrom,
                           reinterpret_cast<LPARAM>(&hdr));
        }
    }
    return CDialog::WindowProc(msg, wParam, lParam);
}

void CToolBarCustomizeDlg::PostNcDestroy() {
    if (g_customizeDlg == this) g_customizeDlg = nullptr;
    delete this;
}
