// The main frame's children without server forms: the terminal, the web browser and the
// list of the print output.
#include "frame/MainFrame.h"

#include "app/VORLANApp.h"
#include "forms/FormOutput.h"
#include "frame/ChildList.h"
#include "frame/ChildTerminal.h"
#include "frame/ChildWebBrowser.h"
#include "resources/ChildrenIds.h"

CChildTerminal* CMainFrame::Telnet(bool ssh) {
    for (HWND h : MDIChildren()) {
        auto* open = dynamic_cast<CChildTerminal*>(CWnd::FromHandlePermanent(h));
        if (!open) continue;
        if (::IsIconic(h)) MDIRestore(h);
        MDIActivate(h);
        if (HWND first = open->TerminalWindow()) ::SetFocus(first);
        return open;
    }
    const vorlan::SettingsBlock& settings = theApp.Settings();
    return CChildTerminal::Open(this, GetMDIDefaultRect(),
                                CChildTerminal::CommandLine(ssh, settings.address, settings.telnetPort));
}

CChildWebBrowser* CMainFrame::WebBrowser(const char* address, bool newWindow, const char* title) {
    if (!theApp.IsDefaultAppTitle() || m_wndMenuTree.IsMenuEditMode()) return nullptr;
    auto* active = dynamic_cast<CChildWebBrowser*>(MDIGetActiveFrame());
    bool reuse = !newWindow && address && active && active->GetStaticWindowText().IsEmpty();
    CChildWebBrowser* child = reuse ? active : CChildWebBrowser::Open(this, GetMDIDefaultRect());
    if (!child) {
        AfxMessageBox(IDS_WEB_CONTROL_MISSING, MB_OK | MB_ICONINFORMATION);
        return nullptr;
    }
    if (title) child->SetStaticWindowText(title);
    if (address) child->Navigate(address);
    return child;
}

CChildList* CMainFrame::ShowListOutput() {
    return CChildList::Open(this, GetMDIDefaultRect(), true);
}

void CMainFrame::ConnectListWindow(bool on) {
    if (on)
        vorlan::SetListWindowOpener([this] { ShowListOutput(); });
    else
        vorlan::SetListWindowOpener(nullptr);
}
