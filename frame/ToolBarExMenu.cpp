#include "frame/ToolBarExMenu.h"

#include "app/VORLANApp.h"
#include "framework/App.h"
#include "framework/Gdi.h"

#include <windowsx.h>

#include <cstring>
#include <vector>

namespace {

// The one menu bar whose popup is open: the thread's message filter serves it.
HHOOK g_hook = nullptr;
CToolBarExMenu* g_hookBar = nullptr;
POINT g_lastPoint{-1, -1};
UINT g_menuFlags = 0;
HMENU g_currentPopup = nullptr;
HMENU g_topPopup = nullptr;

} // namespace

CToolBarExMenu::~CToolBarExMenu() {
    if (g_hookBar == this) g_hookBar = nullptr;
}

bool CToolBarExMenu::Create(HWND frame, HWND parent, UINT id) {
    m_hFrame = frame;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&icc);
    if (!CWnd::CreateEx(WS_EX_TOOLWINDOW, TOOLBARCLASSNAMEA, "", 0x5600994D, CRect(0, 0, 0, 0), parent, id))
        return false;
    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    SendMessage(TB_SETDRAWTEXTFLAGS, DT_HIDEPREFIX, DT_HIDEPREFIX);
    if (theApp.IsThemeActive() && theApp.m_pThemeApi && theApp.m_pThemeApi->SetTheme)
        theApp.m_pThemeApi->SetTheme(m_hWnd, L"menu");
    return true;
}

bool CToolBarExMenu::SetMenu(UINT menuId) {
    CMenu menu;
    if (!menu.LoadMenu(menuId)) return false;
    return SetMenu(menu.Detach());
}

bool CToolBarExMenu::SetMenu(HMENU menu) {
    if (!menu) return false;
    if (m_menu.m_hMenu != menu) {
        m_menu.DestroyMenu();
        m_menu.Attach(menu);
    }
    for (int i = GetButtonCount() - 1; i >= 0; --i)
        DeleteButton(i);
    CImageList images;
    CBitmap strip;
    if (strip.LoadDIB(::GetModuleHandleA(nullptr), 514)) {
        BITMAP bm{};
        strip.GetBitmap(bm);
        if (images.Create(bm.bmHeight, bm.bmHeight, ILC_COLOR24 | ILC_MASK, 0, 4))
            images.AddMasked(strip, CLR_DEFAULT);
    }
    HIMAGELIST list = images.m_hImageList;
    images.m_hImageList = nullptr;
    SetImageLists(list, nullptr, nullptr);
    bool anyImage = false;
    int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        char text[128] = {};
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STRING | MIIM_CHECKMARKS;
        info.dwTypeData = text;
        info.cch = sizeof text - 1;
        ::GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info);
        // A top-level item's checked-state bitmap carries its image number.
        int image =
            info.hbmpChecked ? static_cast<int>(reinterpret_cast<INT_PTR>(info.hbmpChecked)) : I_IMAGENONE;
        if (info.hbmpChecked) anyImage = true;
        std::vector<char> str(text, text + std::strlen(text) + 1);
        str.push_back('\0');
        int textIndex = static_cast<int>(SendMessage(TB_ADDSTRINGA, 0, reinterpret_cast<LPARAM>(str.data())));
        TBBUTTON b{};
        b.iBitmap = image;
        b.idCommand = static_cast<int>(kFirstButton + i);
        b.fsState = TBSTATE_ENABLED;
        b.fsStyle = BTNS_DROPDOWN | BTNS_AUTOSIZE;
        b.iString = textIndex;
        // Inserted, not added: TB_ADDBUTTONSA shares its number with the bar's drop request.
        SendMessage(TB_INSERTBUTTONA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&b));
    }
    if (!anyImage) SendMessage(TB_SETBITMAPSIZE, 0, MAKELPARAM(0, 0));
    SendMessage(TB_AUTOSIZE);
    return true;
}

HMENU CToolBarExMenu::DetachMenu() {
    for (int i = GetButtonCount() - 1; i >= 0; --i)
        DeleteButton(i);
    return m_menu.Detach();
}

int CToolBarExMenu::NextButton(int from, int count, bool forward) {
    if (count <= 0) return -1;
    if (from < 0) return forward ? 0 : count - 1;
    return forward ? (from + 1) % count : (from + count - 1) % count;
}

void CToolBarExMenu::EnterTracking() {
    if (m_bTracking) return;
    m_bTracking = true;
    SendMessage(TB_SETANCHORHIGHLIGHT, TRUE);
    HWND focus = ::GetFocus();
    if (focus != m_hWnd) m_hPrevFocus = focus;
    ::SetFocus(m_hWnd);
    SetPrefixesShown(true);
    SendMessage(TB_SETHOTITEM, 0);
}

void CToolBarExMenu::LeaveTracking() {
    if (!m_bTracking) return;
    m_bTracking = false;
    SendMessage(TB_SETANCHORHIGHLIGHT, FALSE);
    SendMessage(TB_SETHOTITEM, static_cast<WPARAM>(-1));
    HWND back = m_hPrevFocus;
    m_hPrevFocus = nullptr;
    if (::GetFocus() == m_hWnd && back && ::IsWindow(back)) ::SetFocus(back);
}

bool CToolBarExMenu::IsWhollyVisible(int button) const {
    CRect item = GetItemRect(button);
    CRect client = GetClientRect();
    return item.left >= client.left && item.right <= client.right && item.top >= client.top &&
           item.bottom <= client.bottom;
}

void CToolBarExMenu::PushChevron() {
    HWND rebar = ::GetParent(m_hWnd);
    int band = static_cast<int>(::SendMessageA(rebar, RB_IDTOINDEX, ::GetDlgCtrlID(m_hWnd), 0));
    if (band >= 0) ::SendMessageA(rebar, RB_PUSHCHEVRON, static_cast<WPARAM>(band), 0);
}

void CToolBarExMenu::SetPrefixesShown(bool shown) {
    if (shown == m_bPrefixesShown) return;
    m_bPrefixesShown = shown;
    SendMessage(TB_SETDRAWTEXTFLAGS, DT_HIDEPREFIX, shown ? 0 : DT_HIDEPREFIX);
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CToolBarExMenu::DropMenu(int button, bool byMouse) {
    EnterTracking();
    m_bByMouse = byMouse;
    int next = button;
    bool first = true;
    do {
        m_bRequest = false;
        int count = GetButtonCount();
        if (next < 0 || next >= count) break;
        m_nOpen = next;
        HMENU popup = ::GetSubMenu(m_menu, next);
        g_topPopup = g_currentPopup = popup;
        CRect r = GetItemRect(next);
        ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
        if (r.left < 0) r.left = 0;
        if (r.bottom < 0) r.bottom = 0;
        SendMessage(TB_PRESSBUTTON, kFirstButton + next, TRUE);
        g_hookBar = this;
        g_hook = ::SetWindowsHookExA(WH_MSGFILTER, MessageFilter, nullptr, ::GetCurrentThreadId());
        if (!m_bByMouse) {
            INPUT keys[2]{};
            for (int k = 0; k < 2; ++k) {
                keys[k].type = INPUT_KEYBOARD;
                keys[k].ki.wVk = VK_DOWN;
                keys[k].ki.dwFlags = k ? KEYEVENTF_KEYUP : 0;
            }
            ::SendInput(2, keys, sizeof(INPUT));
        }
        if (popup) {
            fw::MenuTrackingScope scope(m_hFrame, popup);
            TPMPARAMS exclude{sizeof exclude, r};
            ::TrackPopupMenuEx(popup, TPM_VERTICAL | TPM_LEFTALIGN | (first ? 0 : TPM_NOANIMATION), r.left,
                               r.bottom, m_hFrame, &exclude);
        }
        if (g_hook) ::UnhookWindowsHookEx(g_hook);
        g_hook = nullptr;
        g_hookBar = nullptr;
        SendMessage(TB_PRESSBUTTON, kFirstButton + next, FALSE);
        first = false;
        if (m_bRequest) {
            if (m_nRequest == -1) {
                m_bRequest = false;
                PushChevron();
                break;
            }
            next = m_nRequest;
        }
    } while (m_bRequest);
    LeaveTracking();
    m_nOpen = -1;
}

LRESULT CALLBACK CToolBarExMenu::MessageFilter(int code, WPARAM wParam, LPARAM lParam) {
    auto* msg = reinterpret_cast<MSG*>(lParam);
    CToolBarExMenu* bar = g_hookBar;
    if (code != MSGF_MENU || !msg || !bar) return ::CallNextHookEx(g_hook, code, wParam, lParam);
    switch (msg->message) {
    case WM_KEYDOWN:
        if ((msg->wParam == VK_RIGHT && !(g_menuFlags & MF_POPUP)) ||
            (msg->wParam == VK_LEFT && g_currentPopup == g_topPopup)) {
            bar->SendMessage(WM_KEYDOWN, msg->wParam, msg->lParam);
            return 1;
        }
        break;
    case WM_SYSKEYDOWN: bar->SendMessage(msg->message, msg->wParam, msg->lParam); break;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN: {
        POINT p{GET_X_LPARAM(msg->lParam), GET_Y_LPARAM(msg->lParam)};
        if (p.x == g_lastPoint.x && p.y == g_lastPoint.y) break;
        g_lastPoint = p;
        ::ScreenToClient(bar->m_hWnd, &p);
        bar->SendMessage(msg->message, msg->wParam, MAKELPARAM(p.x, p.y));
        break;
    }
    default: break;
    }
    return ::CallNextHookEx(g_hook, code, wParam, lParam);
}

bool CToolBarExMenu::OnKeyDown(UINT key) {
    int count = GetButtonCount();
    switch (key) {
    case VK_RIGHT:
    case VK_LEFT: {
        int from = m_nOpen >= 0 ? m_nOpen : static_cast<int>(SendMessage(TB_GETHOTITEM));
        int to = NextButton(from, count, key == VK_RIGHT);
        if (to < 0) return true;
        bool visible = IsWhollyVisible(to);
        if (m_nOpen >= 0) {
            m_bRequest = true;
            m_nRequest = visible ? to : -1;
            m_bByMouse = false;
            ::EndMenu();
        } else if (!visible) {
            PushChevron();
        } else {
            SendMessage(TB_SETHOTITEM, static_cast<WPARAM>(to));
        }
        return true;
    }
    case VK_DOWN:
    case VK_UP:
        if (m_nOpen < 0) {
            int hot = static_cast<int>(SendMessage(TB_GETHOTITEM));
            if (hot >= 0) PostMessage(kDropMenu, static_cast<WPARAM>(hot), FALSE);
        }
        return true;
    case VK_ESCAPE: LeaveTracking(); return true;
    case VK_SPACE:
        LeaveTracking();
        ::PostMessageA(m_hFrame, WM_SYSCOMMAND, SC_KEYMENU, ' ');
        return true;
    default: return false;
    }
}

LRESULT CToolBarExMenu::OnMenuChar(WPARAM wParam, LPARAM lParam) {
    bool systemMenu = (HIWORD(wParam) & MF_SYSMENU) != 0;
    (void)lParam;
    if (IsWindowVisible() && systemMenu) {
        UINT id = 0;
        if (SendMessage(TB_MAPACCELERATORA, LOWORD(wParam), reinterpret_cast<LPARAM>(&id)) &&
            id >= kFirstButton) {
            PostMessage(kDropMenu, id - kFirstButton, FALSE);
            return MAKELRESULT(0, MNC_CLOSE);
        }
    }
    return 0;
}

LRESULT CToolBarExMenu::OnDropDown(const NMTOOLBARA* info) {
    if (m_nOpen < 0 && info->iItem >= static_cast<int>(kFirstButton))
        PostMessage(kDropMenu, static_cast<WPARAM>(info->iItem - static_cast<int>(kFirstButton)), TRUE);
    return TBDDRET_DEFAULT;
}

void CToolBarExMenu::OnHotItemChange(const NMTBHOTITEM* info, LRESULT& result) {
    result = 0;
    if (m_nOpen < 0 || (info->dwFlags & HICF_LEAVING) || info->idNew < static_cast<int>(kFirstButton)) return;
    int to = info->idNew - static_cast<int>(kFirstButton);
    if (to == m_nOpen) return;
    m_bRequest = true;
    m_nRequest = IsWhollyVisible(to) ? to : -1;
    ::EndMenu();
}

LRESULT CToolBarExMenu::OnCustomDraw(NMTBCUSTOMDRAW* draw) {
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT: return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
        int kind = theApp.OSKind();
        if (kind == 1 || kind == 3 || kind == 4)
            draw->clrText = ::GetSysColor(m_bFrameActive ? COLOR_MENUTEXT : COLOR_BTNSHADOW);
        return CDRF_DODEFAULT;
    }
    default: return CDRF_DODEFAULT;
    }
}

void CToolBarExMenu::OnIdleUpdate() {
    if (!theApp.IsWin2000OrLater() || m_bTracking) return;
    BOOL effects = FALSE, cues = FALSE;
    ::SystemParametersInfoA(SPI_GETUIEFFECTS, 0, &effects, 0);
    ::SystemParametersInfoA(SPI_GETKEYBOARDCUES, 0, &cues, 0);
    bool held = (::GetKeyState(VK_MENU) < 0 || ::GetKeyState(VK_F10) < 0) && m_bFrameActive;
    SetPrefixesShown((effects && cues) || held);
}

void CToolBarExMenu::OnNcActivate(bool active) {
    m_bFrameActive = active;
    if (!active) {
        SetPrefixesShown(false);
        SendMessage(TB_SETHOTITEM, static_cast<WPARAM>(-1));
    }
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

bool CToolBarExMenu::PreTranslateMessage(MSG* msg) {
    if (msg->hwnd != m_hWnd || msg->message != WM_KEYDOWN || msg->wParam != VK_ESCAPE) return false;
    ::DispatchMessageA(msg);
    return true;
}

LRESULT CToolBarExMenu::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case kMenuShow: EnterTracking(); return 1;
    case kGetMenu: return reinterpret_cast<LRESULT>(m_menu.m_hMenu);
    case kDropMenu: DropMenu(static_cast<int>(wParam), lParam != 0); return 0;
    case WM_KEYDOWN:
        if (m_bTracking && OnKeyDown(static_cast<UINT>(wParam))) return 0;
        break;
    case WM_SYSKEYDOWN:
    case WM_KILLFOCUS:
        if (m_nOpen < 0) LeaveTracking();
        break;
    case WM_MENUSELECT:
        g_menuFlags = HIWORD(wParam);
        g_currentPopup = reinterpret_cast<HMENU>(lParam);
        return 0;
    case WM_MENUCHAR: return OnMenuChar(wParam, lParam);
    case WM_IDLEUPDATECMDUI: OnIdleUpdate(); return 0;
    case kReflectBase + WM_NOTIFY: {
        auto* hdr = reinterpret_cast<NMHDR*>(lParam);
        if (!hdr) return 0;
        if (hdr->code == static_cast<UINT>(TBN_HOTITEMCHANGE)) {
            LRESULT result = 0;
            OnHotItemChange(reinterpret_cast<const NMTBHOTITEM*>(hdr), result);
            return result;
        }
        if (hdr->code == static_cast<UINT>(NM_CUSTOMDRAW))
            return OnCustomDraw(reinterpret_cast<NMTBCUSTOMDRAW*>(hdr));
        break;
    }
    default: break;
    }
    return CToolBarCtrl::WindowProc(msg, wParam, lParam);
}
