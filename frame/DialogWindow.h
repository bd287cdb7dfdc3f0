#pragma once
// "Weitere Fenster": every open MDI child window in a list, for when the window menu cannot
// show them all. On OK the chosen child's window command (65280 + its place) is kept for the
// main frame, which activates that child.

#include "framework/Dialog.h"

class CDialogWindow : public CDialog {
  public:
    // mdiClient: the window whose children are listed.
    CDialogWindow(CWnd* parent, HWND mdiClient);
    bool OnInitDialog() override;
    void OnOK() override;

    // 0 until OK.
    UINT m_nChosenId = 0;

  private:
    HWND m_hClient;
};
