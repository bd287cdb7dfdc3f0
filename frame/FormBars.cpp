#include "frame/FormBars.h"

#include "forms/FormLogic.h"
#include "frame/MainFrame.h"
#include "resources/MainFrameIds.h"

namespace {

constexpr UINT kBandId = 0xE81A;

} // namespace

// ---- the title menu's stand-in bar

bool CTitleMenuBar::Create(HWND parent, HWND owner, CBaseMDITitleMenu* menu) {
    m_hOwner = owner;
    m_pMenu = menu;
    if (!CreateEx(0, fwbars::kToolStyle | TBSTYLE_LIST, fwbars::kToolExStyle, CRect(0, 0, 0, 0), parent, kId))
        return false;
    std::vector<CString> titles;
    for (int i = 0; i < menu->GetCount(); ++i)
        titles.push_back(CMenu::ItemText(*menu, i));
    std::vector<TBBUTTON> buttons;
    for (size_t i = 0; i < titles.size(); ++i) {
        TBBUTTON b{};
        b.iBitmap = I_IMAGENONE;
        b.idCommand = static_cast<int>(i + 1);
        b.fsState = TBSTATE_ENABLED;
        b.fsStyle = BTNS_WHOLEDROPDOWN | BTNS_SHOWTEXT | BTNS_AUTOSIZE;
        b.iString = reinterpret_cast<INT_PTR>(titles[i].c_str());
        buttons.push_back(b);
    }
    if (!buttons.empty()) AddButtons(buttons.data(), static_cast<int>(buttons.size()));
    SendMessage(TB_AUTOSIZE);
    return true;
}

void CTitleMenuBar::OpenPopup(int position) {
    CBaseMDIMenu* popup = m_pMenu ? m_pMenu->GetPopup(position) : nullptr;
    if (!popup) return;
    RECT r;
    if (!::SendMessageA(m_hWnd, TB_GETITEMRECT, static_cast<WPARAM>(position), reinterpret_cast<LPARAM>(&r)))
        return;
    ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
    SendMessage(TB_PRESSBUTTON, static_cast<WPARAM>(position + 1), TRUE);
    popup->TrackPopupMenuEx(r, m_hOwner);
    if (m_hWnd) SendMessage(TB_PRESSBUTTON, static_cast<WPARAM>(position + 1), FALSE);
}

LRESULT CTitleMenuBar::OnDropDown(const NMTOOLBARA* info) {
    if (info) OpenPopup(info->iItem - 1);
    return TBDDRET_DEFAULT;
}

// ---- the band holder

LRESULT CFormBand::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NOTIFY) {
        auto* hdr = reinterpret_cast<NMHDR*>(lParam);
        if (hdr && hdr->code == TTN_GETDISPINFOA) {
            if (CMainFrame* main = CMainFrame::Get())
                main->OnToolTipText(reinterpret_cast<NMTTDISPINFOA*>(hdr));
            return 0;
        }
    }
    return CSizableReBarTool::WindowProc(msg, wParam, lParam);
}

// ---- the bars of a frame

bool CFormBars::Create(HWND frame, const std::vector<std::string>& keys, bool grid) {
    return Build(frame, keys, false, false, grid);
}

bool CFormBars::CreateModal(HWND frame, const std::vector<std::string>& keys, bool noWindow) {
    return Build(frame, keys, true, noWindow, false);
}

bool CFormBars::Build(HWND frame, const std::vector<std::string>& keys, bool modal, bool noWindow,
                      bool grid) {
    m_bTitleMenu = m_titleMenu.Create(keys, vorlan::kKeyCount) > 0;
    if (!modal && !m_bTitleMenu && !vorlan::AnyKeyImage(keys, 40) && !grid) return false;
    if (!m_band.Create(frame, kBandId, CSizableReBar::kToolBar, true)) return false;
    HWND holder = m_band.GetReBar();
    // (The frame is not shown yet: the toolbar's own style says whether no-window mode hid it.)
    if (modal && m_modalTool.Create(holder, frame, noWindow) &&
        (::GetWindowLongPtrA(m_modalTool.m_hWnd, GWL_STYLE) & WS_VISIBLE))
        Add(m_modalTool);
    if (m_bTitleMenu && m_menuBar.Create(holder, frame, &m_titleMenu)) Add(m_menuBar);
    m_bKeyTool = m_keyTool.Create(holder, keys, 40, 0) != 0;
    if (m_bKeyTool) Add(m_keyTool);
    if (!modal && grid && m_printBar.Create(holder)) Add(m_printBar);
    return true;
}

void CFormBars::Add(CToolBarCtrl& bar) {
    CSize size = bar.GetNeededSize();
    bar.SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    m_band.AddToolBar(bar.m_hWnd, static_cast<UINT>(::GetDlgCtrlID(bar.m_hWnd)));
}

int CFormBars::GetHeight(int width) const {
    if (!m_band.m_hWnd) return 0;
    if (width <= 0) return m_band.GetHeight();
    // The rows the bands take at that width: the rebar lays them out as it is sized.
    CRect now = m_band.GetWindowRect();
    ::SetWindowPos(m_band.GetReBar(), nullptr, 0, 0, width, now.Height(),
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    int height = static_cast<int>(::SendMessageA(m_band.GetReBar(), RB_GETBARHEIGHT, 0, 0));
    ::SetWindowPos(m_band.GetReBar(), nullptr, 0, 0, now.Width(), now.Height(),
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    return height;
}

int CFormBars::Layout(int width) {
    if (!m_band.m_hWnd) return 0;
    int height = GetHeight(width);
    ::SetWindowPos(m_band.m_hWnd, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    return height;
}

bool CFormBars::GetButtonRect(UINT id, RECT& out) const {
    const CToolBarCtrl* bars[] = {&m_modalTool, &m_keyTool};
    for (const CToolBarCtrl* bar : bars) {
        if (!bar->m_hWnd || !::IsWindowVisible(bar->m_hWnd)) continue;
        int index = bar->CommandToIndex(id);
        if (index < 0) continue;
        out = bar->GetItemRect(index);
        ::MapWindowPoints(bar->m_hWnd, nullptr, reinterpret_cast<POINT*>(&out), 2);
        return true;
    }
    return false;
}

bool CFormBars::AnyKeyEnabled() const {
    for (int i = 0; i < 40; ++i)
        if (m_keyTool.GetEnable(i) != 0) return true;
    return false;
}

void CFormBars::OpenFormMenu(HWND form) const {
    RECT r{};
    if (!GetButtonRect(ID_FORM_MENU, r)) {
        if (m_band.m_hWnd) {
            ::GetWindowRect(m_band.m_hWnd, &r);
        } else {
            ::GetWindowRect(form, &r);
            r.bottom = r.top;
        }
        r.right = r.left;
    }
    ::SendMessageA(form, WM_CONTEXTMENU, 0, reinterpret_cast<LPARAM>(&r));
}

void CFormBars::EnableModalButtons(bool formMenu, bool gridPrint) {
    if (!m_modalTool.m_hWnd) return;
    m_modalTool.EnableButton(ID_FORM_MENU, formMenu);
    m_modalTool.EnableButton(ID_GRID_PRINT, gridPrint);
}

void CFormBars::SetKeyEnable(int index, int value) {
    m_keyTool.SetEnable(index, value);
    UINT command = vorlan::CommandOfKeyIndex(index);
    if (m_keyTool.m_hWnd && command && m_keyTool.CommandToIndex(command) >= 0)
        m_keyTool.EnableButton(command, value != 0);
}

void CFormBars::UpdatePopup(HMENU popup) const {
    int n = ::GetMenuItemCount(popup);
    for (int i = 0; i < n; ++i) {
        int index = vorlan::KeyIndexOfCommand(::GetMenuItemID(popup, i));
        if (index < 0) continue;
        UINT at = static_cast<UINT>(i);
        ::EnableMenuItem(popup, at, MF_BYPOSITION | (m_keyTool.GetEnable(index) ? MF_ENABLED : MF_GRAYED));
        ::CheckMenuItem(popup, at, MF_BYPOSITION | (m_keyTool.GetCheck(index) ? MF_CHECKED : MF_UNCHECKED));
    }
}
