#pragma once
// The error dialog of a failed server line: message, line, details and a support mail.

#include "framework/Dialog.h"

class CSession;

class COLEErrorDialog : public CDialog {
  public:
    // The support mail reads the job's standing values through the session.
    COLEErrorDialog(CSession& session, const char* message, const char* line, CWnd* parent);
    bool OnInitDialog() override;
    bool OnCommand(WPARAM wParam, LPARAM lParam) override;

    CString m_strMessage, m_strLine;

  private:
    void Collapse();
    void Expand();
    void SendSupportMail();
    CSession& m_session;
    int m_nFullHeight = 0;
    bool m_bExpanded = false;
};
