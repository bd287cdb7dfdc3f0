// Where the session changes meet the frame's bars and its saved state: the menu the frame
// shows, the menu tree's bar in menu edit mode and the state kept on the server before a
// change of login. Kept in one place: the sizable bars take these over.
#include "frame/MainFrame.h"

#include "app/ProtocolLog.h"

void CMainFrame::ShowFrameMenu(UINT menuId) {
    CMenu menu;
    if (!menu.LoadMenu(menuId)) return;
    ::SetMenu(m_hWnd, menu.m_hMenu);
    m_menu.Attach(menu.Detach());
    // The memo groups lived in the menu just replaced.
    for (HMENU& group : m_hMemoGroups)
        group = nullptr;
    ::DrawMenuBar(m_hWnd);
}

HMENU CMainFrame::FrameMenu() const {
    return m_menu.m_hMenu;
}

void CMainFrame::ShowMenuRebarForEdit(bool editing) {
    if (editing) {
        m_bSideBarBeforeEdit = m_wndSideBar.IsWindowVisible();
        m_wndSideBar.ShowWindow(SW_SHOW);
    } else {
        m_wndSideBar.ShowWindow(m_bSideBarBeforeEdit ? SW_SHOW : SW_HIDE);
    }
    SizeContents();
}

void CMainFrame::SaveSessionInfos() {
    // The desktop's look and icons are kept on the server once the frame keeps them.
    vorlan::TraceFunction("CMainFrame::SaveSessionInfos");
}

bool CMainFrame::FindCommandButton(UINT, RECT&, HWND&) const {
    // No button bar carries the frame's commands yet.
    return false;
}
