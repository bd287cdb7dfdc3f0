#pragma once
// A support request by mail: the user, the current memo and every local variable of the
// user's server job, with the user's own description in front.

#include "framework/Dialog.h"

#include <memory>
#include <string>

class CSession;
class IHtmlShell;

class CDlgSupportRequest : public CDialog {
  public:
    // shell: opens the mail link (null: the system's shell).
    CDlgSupportRequest(CWnd* parent, CSession& session, IHtmlShell* shell = nullptr);
    ~CDlgSupportRequest() override;
    bool OnInitDialog() override;
    void OnOK() override;

    // The report in mail-body encoding.
    std::string m_strReport;

  private:
    // Every local of the job, node by node, as name="value" lines.
    std::string DumpLocals();

    CSession& m_session;
    IHtmlShell* m_pShell;
    std::unique_ptr<IHtmlShell> m_pSystemShell;
};
