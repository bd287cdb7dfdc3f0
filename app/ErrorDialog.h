#pragma once
// The error dialog of a failed server line: message, line, details and a support mail.

#include "framework/Dialog.h"

class COLEErrorDialog : public CDialog {
  public:
    COLEErrorDialog(const char* message, const char* line, CWnd* parent);
    bool OnInitDialog() override;
    bool OnCommand(WPARAM wParam, LPARAM lParam) override;

    CString m_strMessage, m_strLine;

  private:
    void Collapse();
    void Expand();
    void SendSupportMail();
    int m_nFullHeight = 0;
    bool m_bExpanded = false;
};
