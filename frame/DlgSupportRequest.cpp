#include "frame/DlgSupportRequest.h"

#include "app/MailLink.h"
#include "app/ProtocolLog.h"
#include "app/Session.h"
#include "controls/HtmlDrawer.h"
#include "frame/FrameDialogsLogic.h"
#include "resources/MainFrameIds.h"

CDlgSupportRequest::CDlgSupportRequest(CWnd* parent, CSession& session, IHtmlShell* shell)
    : CDialog(IDD_SUPPORT_REQUEST, parent), m_session(session), m_pShell(shell) {}

CDlgSupportRequest::~CDlgSupportRequest() = default;

std::string CDlgSupportRequest::DumpLocals() {
    std::string dump;
    std::string name = vorlan::kDumpFirstName;
    while (vorlan::IsLocalName(name)) {
        std::string node = name;
        // Only what the server answered as a node of this name is pasted back into a line.
        while (vorlan::IsNodeOf(node, name)) {
            if (!m_session.Execute(vorlan::DumpHasValueLine(node)).IsEmpty())
                dump += vorlan::DumpLine(node, m_session.Execute(vorlan::DumpValueLine(node)).str());
            std::string next = m_session.Execute(vorlan::DumpNextNodeLine(node)).str();
            if (next == node) break;
            node = next;
        }
        std::string next = m_session.Execute(vorlan::DumpNextNameLine(name)).str();
        if (next <= name) break; // names come in ascending order: anything else would never end
        name = next;
    }
    return dump;
}

bool CDlgSupportRequest::OnInitDialog() {
    vorlan::TraceFunction("CDlgSupportRequest::OnInitDialog");
    CDialog::OnInitDialog();
    std::string dump = DumpLocals();
    std::string report = vorlan::SupportReport(m_session.Execute(vorlan::kSupportUserLine).str(),
                                               m_session.Execute(vorlan::kSupportMemoLine).str(), dump);
    SetDlgItemText(IDC_SUPPORT_REPORT, vorlan::SupportReportShown(report).c_str());
    m_strReport = vorlan::MailBodyEncode(report);
    return true;
}

void CDlgSupportRequest::OnOK() {
    vorlan::TraceFunction("CDlgSupportRequest::OnOK");
    CString description = GetDlgItemText(IDC_SUPPORT_DESCRIPTION);
    std::string link =
        vorlan::BuildSupportRequestLink(vorlan::kSupportAddress, vorlan::kSupportSubject,
                                        vorlan::MailBodyEncode(description.str()), m_strReport);
    IHtmlShell* shell = m_pShell;
    if (!shell) {
        m_pSystemShell = MakeSystemShell(m_hWnd);
        shell = m_pSystemShell.get();
    }
    if (shell->Open(link.c_str(), SW_SHOWNORMAL) <= 32) {
        std::string line = RegisteredBrowserCommand(link);
        if (!line.empty()) shell->Start(line.c_str(), SW_SHOWNORMAL);
    }
    EndDialog(IDOK);
}
