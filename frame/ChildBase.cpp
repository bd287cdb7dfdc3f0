#include "frame/ChildBase.h"

#include "frame/MainFrame.h"
#include "framework/App.h"
#include "resources/resource.h"

bool CChildBase::CreateChild(CMDIFrameWnd* frame, DWORD style, const RECT& rect) {
    if (!Create(kClassName, "", style, rect, frame)) {
        delete this;
        return false;
    }
    m_bAutoDelete = true;
    return true;
}

void CChildBase::SetIconOf(UINT icon) {
    HICON big = static_cast<HICON>(::LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(icon), IMAGE_ICON, 0,
                                                0, LR_DEFAULTSIZE | LR_SHARED));
    HICON small = static_cast<HICON>(
        ::LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(icon), IMAGE_ICON, 16, 16, LR_SHARED));
    if (big) SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    if (small) SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

bool CChildBase::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE) {
        MDIDestroy();
        return true;
    }
    return CVORLANMDIChild::PreTranslateMessage(msg);
}

LRESULT CChildBase::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_KEYDOWN:
        if (wParam != VK_ESCAPE) break;
        MDIDestroy();
        return 0;
    case WM_CLOSE: MDIDestroy(); return 0;
    case WM_DESTROY: {
        LRESULT r = CVORLANMDIChild::WindowProc(msg, wParam, lParam);
        if (CMainFrame* main = CMainFrame::Get()) main->SendMessage(WM_CLOSEDIALOG, 0, 0);
        return r;
    }
    default: break;
    }
    return CVORLANMDIChild::WindowProc(msg, wParam, lParam);
}
