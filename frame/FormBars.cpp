#include "frame/FormBars.h"

#include "forms/FormLogic.h"
#include "frame/MainFrame.h"
#include "framework/App.h"
#include "resources/MainFrameIds.h"

namespace {

constexpr UINT kBandId = 0xE81A;

} // namespace

// ---- the band holder

LRESULT CFormBand::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITMENUPOPUP) {
        // The chevron's popups are tracked with the band as owner: the frame enables their keys.
        ::SendMessageA(::GetParent(m_hWnd), msg, wParam, lParam);
        return 0;
    }
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

CFormBars::~CFormBars() {
    m_menuBar.DetachMenu();
}

bool CFormBars::Create(HWND frame, const std::vector<std::string>& keys) {
    return Build(frame, keys, false, false);
}

bool CFormBars::CreateModal(HWND frame, const std::vector<std::string>& keys, bool noWindow) {
    return Build(frame, keys, true, noWindow);
}

bool CFormBars::Build(HWND frame, const std::vector<std::string>& keys, bool modal, bool noWindow) {
    m_bTitleMenu = m_titleMenu.Create(keys, vorlan::kKeyCount) > 0;
    if (!modal && !m_bTitleMenu && !vorlan::AnyKeyImage(keys, 40)) return false;
    if (!m_band.Create(frame, kBandId, CSizableReBar::kToolBar, true)) return false;
    HWND holder = m_band.GetReBar();
    // (The frame is not shown yet: the toolbar's own style says whether no-window mode hid it.)
    if (modal && m_modalTool.Create(holder, frame, noWindow) &&
        (::GetWindowLongPtrA(m_modalTool.m_hWnd, GWL_STYLE) & WS_VISIBLE))
        Add(m_modalTool);
    if (m_bTitleMenu && CreateMenuBar(frame, holder)) Add(m_menuBar, 0);
    m_bKeyTool = m_keyTool.Create(holder, keys, 40, 0) != 0;
    if (m_bKeyTool) Add(m_keyTool);
    return true;
}

bool CFormBars::CreateMenuBar(HWND frame, HWND holder) {
    if (!m_menuBar.Create(frame, holder, kMenuBarId)) return false;
    if (m_menuBar.SetMenu(m_titleMenu.m_hMenu)) return true;
    m_menuBar.DetachMenu();
    m_menuBar.DestroyWindow();
    return false;
}

void CFormBars::Add(CToolBarCtrl& bar, LPARAM param) {
    CSize size = bar.GetNeededSize();
    bar.SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    m_band.AddToolBar(bar.m_hWnd, static_cast<UINT>(::GetDlgCtrlID(bar.m_hWnd)), nullptr, 0, param);
}

void CFormBars::OnMenuSelect(WPARAM wParam, LPARAM lParam) {
    if (m_menuBar.m_hWnd) m_menuBar.SendMessage(WM_MENUSELECT, wParam, lParam);
}

void CFormBars::OnNcActivate(bool active) {
    if (m_menuBar.m_hWnd) m_menuBar.OnNcActivate(active);
}

void CFormBars::OnIdleUpdate() {
    if (m_menuBar.m_hWnd) m_menuBar.SendMessage(WM_IDLEUPDATECMDUI);
}

LRESULT CFormBars::OnMenuChar(WPARAM wParam, LPARAM lParam) {
    return m_menuBar.m_hWnd ? m_menuBar.SendMessage(WM_MENUCHAR, wParam, lParam) : 0;
}

LRESULT CFormBars::OnMenuShow() {
    return m_menuBar.m_hWnd ? m_band.SendMessage(CSizableReBar::kMenuShowMessage) : 0;
}

int CFormBars::GetHeight(int width) const {
    if (!m_band.m_hWnd) return 0;
    if (width <= 0) return m_band.GetHeight();
    // The rows the bands take at that width: the rebar lays them out as it is sized (and has
    // them laid out already when it is that wide; its height is its own).
    CRect now = m_band.GetWindowRect();
    CRect rebar;
    ::GetWindowRect(m_band.GetReBar(), &rebar);
    bool probe = rebar.Width() != width;
    if (probe)
        ::SetWindowPos(m_band.GetReBar(), nullptr, 0, 0, width, now.Height(),
                       SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    int height = static_cast<int>(::SendMessageA(m_band.GetReBar(), RB_GETBARHEIGHT, 0, 0));
    if (probe)
        ::SetWindowPos(m_band.GetReBar(), nullptr, 0, 0, rebar.Width(), now.Height(),
                       SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    return height;
}

int CFormBars::Layout(int width) {
    if (!m_band.m_hWnd) return 0;
    // The rebar keeps the width it is measured at: the band's sizing would give it that again.
    HWND rebar = m_band.GetReBar();
    CRect bar;
    ::GetWindowRect(rebar, &bar);
    if (width > 0 && bar.Width() != width)
        ::SetWindowPos(rebar, nullptr, 0, 0, width, bar.Height(), SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    int height = width > 0 ? static_cast<int>(::SendMessageA(rebar, RB_GETBARHEIGHT, 0, 0)) : m_band.GetHeight();
    fw::PlaceChild(m_band.m_hWnd, 0, 0, width, height, SWP_NOACTIVATE);
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
