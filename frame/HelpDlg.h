#pragma once
// The help window of the main frame: a modeless dialog at the right edge of the screen that
// shows the server's help text of the current screen in a rich edit. The main frame owns the
// one help window; the object deletes itself when its window goes.

#include "framework/Dialog.h"

class CHelpDlg : public CDialog {
  public:
    explicit CHelpDlg(CWnd* parent);
    // Creates the window, modeless; false (the object deleted) when it cannot stand.
    static CHelpDlg* Open(CWnd* parent);
    // Re-reads and shows the help text of the current screen.
    void LoadHelp();

    bool OnInitDialog() override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override { delete this; }

  private:
    static DWORD CALLBACK EditStreamIn(DWORD_PTR cookie, BYTE* buffer, LONG wanted, LONG* copied);
    void OnSize(int width, int height);
    void OnDestroy();
};
