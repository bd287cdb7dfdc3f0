#include "framework/CmdUI.h"

#include <commctrl.h>

CCmdUI CCmdUI::ForMenuItem(HMENU menu, UINT index) {
    CCmdUI ui(::GetMenuItemID(menu, static_cast<int>(index)));
    ui.m_hMenu = menu;
    ui.m_nIndex = index;
    return ui;
}

CCmdUI CCmdUI::ForToolBarButton(HWND toolbar, UINT id) {
    CCmdUI ui(id);
    ui.m_hToolBar = toolbar;
    return ui;
}

void CCmdUI::Enable(bool on) {
    m_bEnabled = on;
    if (m_hMenu)
        ::EnableMenuItem(m_hMenu, m_nIndex, MF_BYPOSITION | (on ? MF_ENABLED : (MF_DISABLED | MF_GRAYED)));
    else if (m_hToolBar)
        ::SendMessageA(m_hToolBar, TB_ENABLEBUTTON, m_nID, MAKELPARAM(on ? TRUE : FALSE, 0));
}

void CCmdUI::SetCheck(int state) {
    m_nCheck = state;
    if (m_hMenu) {
        ::CheckMenuItem(m_hMenu, m_nIndex, MF_BYPOSITION | (state ? MF_CHECKED : MF_UNCHECKED));
    } else if (m_hToolBar) {
        ::SendMessageA(m_hToolBar, TB_CHECKBUTTON, m_nID, MAKELPARAM(state ? TRUE : FALSE, 0));
    }
}

void CCmdUI::SetRadio(bool on) {
    if (m_hMenu) {
        MENUITEMINFOA mii{};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_FTYPE;
        if (::GetMenuItemInfoA(m_hMenu, m_nIndex, TRUE, &mii)) {
            mii.fType |= MFT_RADIOCHECK;
            ::SetMenuItemInfoA(m_hMenu, m_nIndex, TRUE, &mii);
        }
    }
    SetCheck(on ? 1 : 0);
}

void CCmdUI::SetText(const char* text) {
    if (!m_hMenu || !text) return;
    MENUITEMINFOA mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_STRING;
    mii.dwTypeData = const_cast<char*>(text);
    ::SetMenuItemInfoA(m_hMenu, m_nIndex, TRUE, &mii);
}
