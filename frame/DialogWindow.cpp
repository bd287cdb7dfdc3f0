#include "frame/DialogWindow.h"

#include "app/ProtocolLog.h"
#include "framework/ListBox.h"
#include "resources/MainFrameIds.h"

CDialogWindow::CDialogWindow(CWnd* parent, HWND mdiClient)
    : CDialog(IDD_WINDOW_LIST, parent), m_hClient(mdiClient) {}

bool CDialogWindow::OnInitDialog() {
    vorlan::TraceFunction("CDialogWindow::OnInitDialog");
    CDialog::OnInitDialog();
    CTabListBox list(GetDlgItem(IDC_WINDOW_LIST));
    // The children's ids run on from the first without a gap.
    for (UINT id = ID_MDI_FIRST;; ++id) {
        HWND child = m_hClient ? ::GetDlgItem(m_hClient, static_cast<int>(id)) : nullptr;
        if (!child) break;
        char title[260] = {};
        ::GetWindowTextA(child, title, sizeof title);
        list.AddString(title);
    }
    return true;
}

void CDialogWindow::OnOK() {
    int chosen = CTabListBox(GetDlgItem(IDC_WINDOW_LIST)).GetCurSel();
    if (chosen < 0) {
        EndDialog(IDCANCEL);
        return;
    }
    m_nChosenId = ID_MDI_FIRST + static_cast<UINT>(chosen);
    EndDialog(IDOK);
}
