// Quality assurance: the documentation form of one case in the component QSMED, and the
// filter that tells per case which documentation modules it requires.
#include "app/ProtocolLog.h"
#include "framework/App.h"
#include "framework/Dispatch.h"
#include "resources/ServiceIds.h"
#include "services/Components.h"
#include "services/HubLines.h"
#include "services/NodeServices.h"
#include "services/OutsideLines.h"
#include "services/RequestHub.h"
#include "services/RequestNodes.h"

#include <map>
#include <string>

namespace vorlan {

namespace {

fw::DispValue Value(const std::string& text) {
    fw::DispValue v(text);
    v.number = LeadingInteger(text);
    return v;
}

// The user works in the component's form; its windows and ours repaint meanwhile, while
// other input to ours waits.
void WaitUntilFinished(CDispatchDriver& qsmed) {
    while (qsmed.Call(qs::kFinished).number == 0) {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE))
            ::DispatchMessageA(&msg);
        ::Sleep(100);
    }
}

void FilterCases(CRequestHub& hub, CDispatchDriver& filter, const std::string& check) {
    using namespace qs;
    hub.Execute(kQsCaseStartLine);
    while (!hub.Execute(kQsCaseNextLine).empty()) {
        std::map<std::string, std::string> fields;
        for (int f = 0; f < kQsCaseFieldCount; ++f)
            fields[kQsCaseFields[f]] = hub.Execute(QsCaseFieldLine(kQsCaseFields[f]));
        const std::string& admission = fields["AUFNNR"];
        // Its results would have no place to go.
        if (admission.empty()) continue;
        filter.Call(kNewCase);
        for (int p = 0; p < kFilterPutCount; ++p)
            filter.Call(kFilterPuts[p].member, {Value(fields[kFilterPuts[p].field])});
        hub.Execute(kQsFeeStartLine);
        while (!hub.Execute(kQsFeeNextLine).empty())
            filter.Call(kAddFee, {hub.Execute(kQsFeeValueLine)});
        filter.Call(kCheck, {check});
        // The count is asked again after each result.
        for (long i = 1, n = filter.Call(kCount).number; i <= n; ++i, n = filter.Call(kCount).number) {
            filter.Call(kSelect, {i});
            hub.Execute(QsResultSet(admission, static_cast<int>(i), "MODUL", filter.Call(kModule).text));
            hub.Execute(
                QsResultSet(admission, static_cast<int>(i), "VERPFLICHTUNG", filter.Call(kObligation).text));
            hub.Execute(QsResultSet(admission, static_cast<int>(i), "BEZ", filter.Call(kDescription).text));
        }
    }
}

void ShowFilterFailed() {
    CString text;
    text.LoadString(IDS_QSFILTER_FAILED);
    AfxMessageBox(text.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

} // namespace

void ServeQsMed(CRequestHub& hub, const RequestNode& node) {
    using namespace qs;
    TraceFunction("CChildDialog::QSMED");
    CComScope com;
    CDispatchDriver qsmed;
    if (!qsmed.CreateDispatch(kQsMedProgId)) return;
    std::map<std::string, std::string> keys;
    for (const char* key : {"USER", "ABT", "AUFNUM", "OPNR", "PNAME", "GEBDATUM", "UID", "FORMDATA"})
        keys[key] = hub.Execute(NodeKeyValueLine(node.node, key));
    try {
        qsmed.Call(kLogin, {"@@" + keys["USER"]});
        qsmed.Call(kCase,
                   {keys["ABT"], keys["AUFNUM"], keys["OPNR"], keys["PNAME"], keys["GEBDATUM"], keys["UID"]});
        if (!keys["FORMDATA"].empty()) {
            qsmed.Call(kFormData, {keys["FORMDATA"]});
        } else {
            for (int n = 1;; ++n) {
                std::string name = hub.Execute(QsMedFieldNameLine(n));
                if (name.empty()) break;
                qsmed.Call(kField, {name, hub.Execute(QsMedFieldValueLine())});
            }
        }
        qsmed.Call(kShow);
        WaitUntilFinished(qsmed);
        qsmed.Call(kClose);
        qsmed.Call(kStatus);
        qsmed.Call(kEnd1);
        qsmed.Call(kEnd2);
    } catch (const CDispatchException& e) {
        WriteProtocol("CChildDialog::QSMED - %s", kLogNote, e.what());
        AfxMessageBox(e.m_strDescription.c_str(), MB_OK | MB_ICONEXCLAMATION);
    }
}

void ServeQsFilter(CRequestHub& hub, const RequestNode& node) {
    using namespace qs;
    TraceFunction("CChildDialog::QSFILTER");
    hub.Execute(kQsFilterKillLine);
    std::string institution = hub.Execute(NodeKeyValueLine(node.node, "IKNRKH"));
    std::string check = hub.Execute(NodeKeyValueLine(node.node, "PRUEFEFALL"));
    std::string year = hub.Execute(NodeKeyValueLine(node.node, "STATISTICSYEAR"));
    CComScope com;
    CDispatchDriver filter;
    // An empty result would read as "nothing to document".
    if (!filter.CreateDispatch(kQsFilterProgId)) {
        ShowFilterFailed();
        return;
    }
    try {
        filter.Call(kOpen, {1});
        filter.Call(kInstitution, {institution});
        filter.Call(kYear, {year});
        FilterCases(hub, filter, check);
        filter.Call(kFinish);
        filter.Call(kCloseFilter, {1});
    } catch (const CDispatchException& e) {
        WriteProtocol("CChildDialog::QSFILTER - %s", kLogNote, e.what());
        ShowFilterFailed();
    }
}

} // namespace vorlan
