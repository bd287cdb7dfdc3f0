// The main frame's small dialogs: the help window, the list of all windows and the support
// request.
#include "frame/MainFrame.h"

#include "app/Session.h"
#include "frame/DialogWindow.h"
#include "frame/DlgSupportRequest.h"
#include "frame/HelpDlg.h"

void CMainFrame::ShowHelpWindow() {
    if (m_pHelpDlg)
        m_pHelpDlg->LoadHelp();
    else
        m_pHelpDlg = CHelpDlg::Open(this);
}

void CMainFrame::OnWindowMore(UINT) {
    CDialogWindow dialog(this, m_hWndMDIClient);
    if (dialog.DoModal() == IDOK) OnMDICall(dialog.m_nChosenId);
}

void CMainFrame::OnSupportRequest(UINT) {
    CDlgSupportRequest dialog(this, TheSession());
    dialog.DoModal();
}
