// What the user does on the desktop: keys, clicks, the context menu and its commands.
#include "tools/IconList.h"

#include "app/ProtocolLog.h"
#include "app/Session.h"
#include "framework/App.h"
#include "framework/Menu.h"
#include "framework/OleControl.h"
#include "resources/ChildrenIds.h"
#include "resources/DesktopIds.h"
#include "resources/resource.h"
#include "tools/IconDialogs.h"
#include "tools/IconListLogic.h"

#include <commctrl.h>
#include <windowsx.h>

#include <vector>

namespace {

std::vector<int> SelectedItems(HWND list) {
    std::vector<int> items;
    for (int i = -1; (i = static_cast<int>(::SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(i),
                                                          LVNI_SELECTED))) >= 0;)
        items.push_back(i);
    return items;
}

void SetItemState(HWND list, int item, UINT state, UINT mask) {
    LVITEMA lv{};
    lv.state = state;
    lv.stateMask = mask;
    ::SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lv));
}

// A child with the web browser's control in it.
bool IsBrowserChild(HWND child) {
    return fw::IsOleControlHost(::GetDlgItem(child, IDC_WEB_CONTROL));
}

} // namespace

LRESULT CIconList::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_SIZE: {
        LRESULT r = CMDIClientWnd::WindowProc(msg, wParam, lParam);
        OnSize(static_cast<UINT>(wParam));
        return r;
    }
    case WM_ERASEBKGND: return OnEraseBackground(reinterpret_cast<HDC>(wParam));
    case WM_PAINT: return OnPaint(msg, wParam, lParam);
    case WM_MOUSEWHEEL: return 0;
    case WM_CONTEXTMENU: OnContextMenu(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}); return 0;
    case WM_COMMAND:
        if (lParam == 0 && OnCommand(LOWORD(wParam))) return 0;
        break;
    case WM_KEYDOWN:
        if (OnKeyDown(static_cast<UINT>(wParam))) return 0;
        break;
    case WM_CHAR: OnChar(static_cast<UINT>(wParam)); return 0;
    case WM_LBUTTONDBLCLK: {
        if (wParam & MK_CONTROL) {
            ToggleBrowserChildren();
            return 0;
        }
        LRESULT r = CMDIClientWnd::WindowProc(msg, wParam, lParam);
        OnDoubleClick(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return r;
    }
    default: break;
    }
    return CMDIClientWnd::WindowProc(msg, wParam, lParam);
}

LRESULT CIconList::OnNotifyReflect(NMHDR* header) {
    switch (header->code) {
    case LVN_BEGINDRAG: OnBeginDrag(reinterpret_cast<NMLISTVIEW*>(header)); return 0;
    case LVN_ENDLABELEDITA: return OnEndLabelEdit(reinterpret_cast<NMLVDISPINFOA*>(header)) ? TRUE : FALSE;
    case LVN_ENDLABELEDITW: return reinterpret_cast<NMLVDISPINFOW*>(header)->item.pszText != nullptr;
    default: return 0;
    }
}

bool CIconList::OnEndLabelEdit(const NMLVDISPINFOA* info) {
    // Any text is taken; a cancelled edit brings none.
    return info->item.pszText != nullptr;
}

bool CIconList::OnKeyDown(UINT key) {
    switch (key) {
    case VK_TAB:
    case VK_ESCAPE: FocusMemoBox(); return true;
    case VK_RETURN: StartSelected(); return true;
    case VK_DELETE: OnDeleteSelected(); return true;
    default: return false;
    }
}

void CIconList::OnChar(UINT ch) {
    // Control characters were keys of their own (Tab, Escape, Enter) or mean nothing here.
    if (ch < 0x20 || ch == 0x7F || !m_hMemoBox) return;
    FocusMemoBox();
    // The very character typed: a replayed key press would depend on the keyboard layout
    // and the state of Shift.
    ::SendMessageA(m_hMemoBox, WM_CHAR, ch, 1);
}

void CIconList::FocusMemoBox() {
    if (m_hMemoBox) ::SetFocus(m_hMemoBox);
}

void CIconList::OnDoubleClick(POINT at) {
    LVHITTESTINFO hit{};
    hit.pt = at;
    if (SendMessage(LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)) < 0) return;
    StartSelected();
}

void CIconList::StartSelected() {
    vorlan::TraceFunction("CIconList::StartSelected");
    HWND frame = ::GetParent(m_hWnd);
    for (int item : SelectedItems(m_hWnd)) {
        std::string memo = GetIconText(item, 1);
        TheSession().Execute(vorlan::ParameterLine(GetIconText(item, 2)));
        ::SendMessageA(frame, WM_STARTMEMO, reinterpret_cast<WPARAM>(memo.c_str()), 1);
        if (!::IsWindow(m_hWnd)) return;
    }
}

void CIconList::ToggleBrowserChildren() {
    bool any = false;
    for (HWND child : Children()) {
        if (!IsBrowserChild(child)) continue;
        any = true;
        ::ShowWindow(child, ::IsWindowVisible(child) ? SW_HIDE : SW_SHOW);
    }
    if (!any) return;
    // The active child may just have gone out of sight: another visible one takes over.
    HWND active = GetActive();
    if (active && ::IsWindowVisible(active)) return;
    for (HWND child : Children())
        if (child != active && ::IsWindowVisible(child)) {
            SendMessage(WM_MDIACTIVATE, reinterpret_cast<WPARAM>(child));
            return;
        }
}

void CIconList::OnContextMenu(POINT screen) {
    if (screen.x == -1 && screen.y == -1) {
        // From the keyboard: at the focused icon, or at the desktop's corner.
        RECT r{};
        int focused = static_cast<int>(SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
        r.left = LVIR_ICON;
        if (focused < 0 ||
            !SendMessage(LVM_GETITEMRECT, static_cast<WPARAM>(focused), reinterpret_cast<LPARAM>(&r)))
            r = RECT{20, 20, 20, 20};
        screen = POINT{r.left, r.top};
        ::ClientToScreen(m_hWnd, &screen);
    }
    m_ptContext = screen;
    ::ScreenToClient(m_hWnd, &m_ptContext);

    CMenu menu;
    if (!menu.LoadMenu(IDR_DESKTOP_MENU)) return;
    HMENU popup = ::GetSubMenu(menu, 0);
    if (!popup) return;
    if (HMENU arrange = ::GetSubMenu(popup, 0)) {
        bool on = (::GetWindowLongA(m_hWnd, GWL_STYLE) & LVS_AUTOARRANGE) != 0;
        ::CheckMenuItem(arrange, ID_ICON_AUTOARRANGE, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
    }
    int options = CMenu::FindItem(popup, ID_ICON_OPTIONS);
    if (!SelectedItems(m_hWnd).empty() && options >= 0) {
        UINT at = static_cast<UINT>(options);
        ::InsertMenuA(popup, at, MF_BYPOSITION | MF_STRING, ID_ICON_DELETE, "&L\xF6schen");
        ::InsertMenuA(popup, at + 1, MF_BYPOSITION | MF_STRING, ID_ICON_RENAME, "&Umbenennen");
        ::InsertMenuA(popup, at + 2, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
    }
    CMenu shown;
    shown.Attach(popup);
    shown.TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, m_hWnd);
    shown.Detach(); // it belongs to the whole menu
}

bool CIconList::OnCommand(UINT id) {
    switch (id) {
    case ID_ICON_NEW: OnNewIcon(); return true;
    case ID_ICON_OPTIONS: OnOptions(); return true;
    case ID_ICON_DELETE: OnDeleteSelected(); return true;
    case ID_ICON_RENAME: OnRename(); return true;
    case ID_ICON_AUTOARRANGE: OnAutoArrange(); return true;
    case ID_ICON_SNAP: OnSnapToGrid(); return true;
    default: return false;
    }
}

void CIconList::OnNewIcon() {
    vorlan::TraceFunction("CIconList::OnNewIcon");
    SetItemState(m_hWnd, -1, 0, LVIS_SELECTED);
    int item = AddIcon("Neu", "", "", vorlan::kDefaultIconImage, m_ptContext);
    if (item < 0) return;
    SetItemState(m_hWnd, item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    OpenProperties(item);
}

bool CIconList::OpenProperties(int item) {
    CIconProperty dialog(this, m_hImages);
    dialog.m_strCaption = GetIconText(item, 0).c_str();
    dialog.m_strFunction = GetIconText(item, 1).c_str();
    dialog.m_strParameter = GetIconText(item, 2).c_str();
    dialog.m_nImage = GetIconImage(item);
    if (dialog.DoModal() != IDOK || !::IsWindow(m_hWnd) || item >= GetIconCount()) return false;
    SetIcon(item, dialog.m_strCaption, dialog.m_strFunction, dialog.m_strParameter, dialog.m_nImage);
    return true;
}

void CIconList::OnOptions() {
    vorlan::TraceFunction("CIconList::OnOptions");
    std::vector<int> selected = SelectedItems(m_hWnd);
    if (!selected.empty()) {
        OpenProperties(selected.front());
        return;
    }
    if (m_optionsAllowed && !m_optionsAllowed()) {
        AfxMessageBox(IDS_DESKTOP_OPTIONS_LOCKED, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    CIconOptions dialog(this);
    if (dialog.DoModal() == IDOK && m_save) m_save();
}

void CIconList::OnDeleteSelected() {
    std::vector<int> selected = SelectedItems(m_hWnd);
    for (auto it = selected.rbegin(); it != selected.rend(); ++it)
        SendMessage(LVM_DELETEITEM, static_cast<WPARAM>(*it));
}

void CIconList::OnRename() {
    std::vector<int> selected = SelectedItems(m_hWnd);
    if (selected.empty()) return;
    ::SetFocus(m_hWnd);
    SendMessage(LVM_EDITLABELA, static_cast<WPARAM>(selected.front()));
}

void CIconList::OnAutoArrange() {
    LONG style = ::GetWindowLongA(m_hWnd, GWL_STYLE) ^ LVS_AUTOARRANGE;
    ::SetWindowLongA(m_hWnd, GWL_STYLE, style);
    if (style & LVS_AUTOARRANGE) SendMessage(LVM_ARRANGE, LVA_DEFAULT);
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CIconList::OnSnapToGrid() {
    SendMessage(LVM_ARRANGE, LVA_SNAPTOGRID);
}
