#pragma once
// The wait dialog: shown by the wait thread during a long server call; asks the server
// about the busy job over a second connection and shows its progress texts.

#include "framework/Dialog.h"

#include <memory>

class CSession;

class CDlgWaitExecute : public CDialog {
  public:
    explicit CDlgWaitExecute(CSession& session);
    bool OnInitDialog() override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void Refresh();
    void OnCancel() override {} // Escape does not end a server call

    bool m_bKeepPolling = true;
    DWORD m_dwLastPoll = 0;

  private:
    void OnTimer();
    CSession& m_session;
    std::unique_ptr<char[]> m_pReply;
};
