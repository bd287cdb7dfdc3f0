#include "frame/VORLANMDIChild.h"

#include "app/ProtocolLog.h"
#include "app/VORLANApp.h"
#include "frame/MainFrame.h"
#include "resources/MainFrameIds.h"
#include "resources/resource.h"

void CVORLANMDIChild::SetMainWindowTitle() const {
    CMainFrame* frame = CMainFrame::Get();
    if (!frame) return;
    CString title;
    theApp.GetAppTitle(title);
    title += " - ";
    title += GetWindowText();
    CString screen = TitleScreenName();
    if (frame->IsScreenNameShown() && !screen.IsEmpty()) title += " [" + screen + "]";
    // Activation tells the title twice over; the caption is redrawn only when it changes.
    if (fw::WindowText(frame->m_hWnd) != title.str()) frame->SetWindowText(title);
}

void CVORLANMDIChild::FocusFirstChild() const {
    if (HWND first = ::GetWindow(m_hWnd, GW_CHILD)) ::SetFocus(first);
}

void CVORLANMDIChild::RebuildSystemMenu() {
    ::GetSystemMenu(m_hWnd, TRUE);
    HMENU menu = ::GetSystemMenu(m_hWnd, FALSE);
    if (!menu) return;
    int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        if (::GetMenuItemID(menu, i) != SC_CLOSE) continue;
        char text[128] = {};
        ::GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        CString close(text);
        int tab = close.Find('\t');
        close = (tab >= 0 ? close.Left(tab) : close) + "\tEsc";
        ::ModifyMenuA(menu, static_cast<UINT>(i), MF_BYPOSITION | MF_STRING, SC_CLOSE, close);
        CString next;
        next.LoadString(IDS_NEXT_WINDOW);
        ::InsertMenuA(menu, static_cast<UINT>(i), MF_BYPOSITION | MF_STRING, ID_NEXT_WINDOW, next);
        ::InsertMenuA(menu, static_cast<UINT>(i + 1), MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
        return;
    }
}

LRESULT CVORLANMDIChild::OnMenuChar(WPARAM wParam, LPARAM lParam) {
    CMainFrame* frame = CMainFrame::Get();
    return frame ? frame->SendMessage(WM_MENUCHAR, wParam, lParam) : 0;
}

LRESULT CVORLANMDIChild::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_ACTIVATE:
        if (wParam && lParam) FocusFirstChild();
        return 1;
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        HWND client = GetMDIClient();
        if (!info || !client) break;
        RECT r;
        ::GetClientRect(client, &r);
        int dx = ::GetSystemMetrics(SM_CXDLGFRAME) + ::GetSystemMetrics(SM_CXEDGE) + 1;
        int dy = ::GetSystemMetrics(SM_CYDLGFRAME) + ::GetSystemMetrics(SM_CYEDGE) + 1;
        info->ptMaxPosition = POINT{r.left - dx, r.top - dy};
        info->ptMaxSize = POINT{r.right - r.left + 2 * dx, r.bottom - r.top + 2 * dy};
        return 0;
    }
    case WM_SYSCOMMAND:
        if (wParam == ID_NEXT_WINDOW) {
            if (CMainFrame* frame = CMainFrame::Get()) frame->SendMessage(WM_COMMAND, ID_NEXT_WINDOW);
            return 0;
        }
        if ((wParam & 0xFFF0) == SC_MOUSEMENU) RebuildSystemMenu();
        break;
    case WM_MENUCHAR: return OnMenuChar(wParam, lParam);
    case WM_MDIACTIVATE:
        if (reinterpret_cast<HWND>(lParam) == m_hWnd) {
            SetMainWindowTitle();
            FocusFirstChild();
        }
        break;
    default: break;
    }
    return CMDIChildWnd::WindowProc(msg, wParam, lParam);
}
