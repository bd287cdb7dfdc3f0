#include "services/RequestHub.h"
#include "app/ProtocolLog.h"
#include "app/Session.h"
#include "framework/App.h"
#include "services/HubLines.h"
#include "services/NodeServices.h"
#include "services/RequestNodes.h"

using namespace vorlan;

namespace {

#define VORLAN_NODE_SERVICE(step, node, also, kill, report, service) service,
const NodeService kNodeServices[] = {VORLAN_REQUEST_NODES(VORLAN_NODE_SERVICE)};
#undef VORLAN_NODE_SERVICE

// Sent to the paste target around its text change (wParam 1; lParam 1 before, 0 after).
constexpr UINT kPasteBracket = WM_USER + 0x100;

} // namespace

CRequestHub::CRequestHub(CSession& session, IRequestHubForm& form) : m_session(session), m_form(form) {}

std::string CRequestHub::Execute(const std::string& line) {
    return m_session.Execute(line).str();
}

void CRequestHub::Run() {
    TraceFunction("CChildDialog::TestAbl");
    m_bReport = false;
    PasteText();
    bool reported = false;
    for (int i = 0; i < kRequestNodeCount; ++i) {
        if (!reported && kRequestNodes[i].step > kReportStep) {
            Report();
            m_form.ExecuteDDN(nullptr);
            reported = true;
        }
        ServeNode(kRequestNodes[i], kNodeServices[i]);
    }
}

void CRequestHub::PasteText() {
    std::string text = Execute(PasteReadLine());
    if (text.empty()) return;
    if (HWND target = m_form.PasteTarget()) {
        HWND focus = ::GetFocus();
        ::SetFocus(target);
        ::SendMessageA(target, kPasteBracket, 1, 1);
        ::SetWindowTextA(target, text.c_str());
        ::SendMessageA(target, kPasteBracket, 1, 0);
        if (focus) ::SetFocus(focus);
    }
    Execute(NodeKillLine("%EDITPASTE"));
}

void CRequestHub::ServeNode(const RequestNode& node, NodeService service) {
    if (Execute(NodeTestLine(node.node)) != "1") return;
    if (!service) {
        WriteProtocol("CChildDialog::TestAbl - \"%s\" not served", kLogNote, node.node);
    } else {
        try {
            service(*this, node);
        } catch (...) {
            // A failed service has reported what it could; the pass goes on.
        }
    }
    if (!service || node.kill == NodeKill::ByHub)
        Execute(NodeKillLine(node.node, node.alsoKilled ? node.alsoKilled : ""));
    if (node.setsReport) m_bReport = true;
}

void CRequestHub::Report() {
    if (!m_bReport) return;
    ReportMessage message = ChooseReportMessage(ParseReport(Execute(ReportLine())));
    if (message.icon) AfxMessageBox(message.text.c_str(), MB_OK | message.icon);
}
