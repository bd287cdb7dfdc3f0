// Coding a diagnosis or procedure text, or a whole case, in an outside coding component;
// the codes it returns go back to the server for the request's callback.
#include "app/ProtocolLog.h"
#include "framework/App.h"
#include "framework/Dispatch.h"
#include "resources/ServiceIds.h"
#include "services/Components.h"
#include "services/DrgGrouper.h"
#include "services/HubLines.h"
#include "services/NodeServices.h"
#include "services/OutsideLines.h"
#include "services/RequestHub.h"

#include <string>
#include <vector>

namespace vorlan {

namespace {

const char kNode[] = "KODIP";

std::string AsText(const fw::DispMember& member, const fw::DispValue& v) {
    return member.result == fw::kDispText ? v.text : std::to_string(v.number);
}

// Modes 1 to 4: one text, the component's dialog, its results per index.
void CodeText(CRequestHub& hub, CDispatchDriver& c, const CodingSingle& calls, bool first) {
    c.Call(calls.input, {hub.Execute(NodeKeyValueLine(kNode, "EINGABETEXT"))});
    c.Call(first ? calls.codeFirst : calls.codeSecond);
    hub.Execute(NodeKillLine(kNode));
    long count = c.Call(calls.count).number;
    for (long i = 1; i <= count; ++i) {
        c.Call(calls.index, {i});
        for (int f = 0; f < calls.fieldCount; ++f) {
            const CodingField& field = calls.fields[f];
            hub.Execute(KodipResultSet(false, i, field.field, AsText(field.member, c.Call(field.member))));
        }
    }
}

// The diagnoses (op false) or procedures of the request, each read field by field.
template <typename Add>
void WalkInputs(CRequestHub& hub, bool op, const char* const* fields, int fieldCount, Add add) {
    for (long n = 0;;) {
        n = LeadingInteger(hub.Execute(KodipNextLine(op, n)));
        if (n == 0) break;
        std::vector<std::string> values;
        for (int f = 0; f < fieldCount; ++f)
            values.push_back(hub.Execute(KodipFieldLine(op, n, fields[f])));
        add(values);
    }
}

void WriteCaseResults(CRequestHub& hub, CDispatchDriver& c, bool op) {
    using namespace kodip;
    long count = c.Call(op ? kProcCount : kDiagCount).number;
    const CodingField* fields = op ? kProcResults : kDiagResults;
    int fieldCount = op ? kProcResultCount : kDiagResultCount;
    for (long i = 1; i <= count; ++i) {
        c.Call(op ? kProcIndex : kDiagIndex, {i});
        for (int f = 0; f < fieldCount; ++f)
            hub.Execute(KodipResultSet(op, i, fields[f].field, c.Call(fields[f].member).text));
    }
}

// Mode 5: the case's diagnoses and procedures, its DRG grouping and the coding dialog.
// False when the user cancelled.
bool CodeCase(CRequestHub& hub, CDispatchDriver& c, const KodipRequest& request) {
    using namespace kodip;
    c.Call(kNewCase);
    c.Call(kPiece3, {request.caseText});
    WalkInputs(hub, false, kDiagInputs, kDiagInputCount, [&](const std::vector<std::string>& v) {
        // TEXT, ICD, LOKALISATION, DIAGZUSATZ, HAUPTDIAGKZ, EXTERNID
        c.Call(kAddDiagnosis, {v[0], "", v[1], v[2], v[3], "", "", "", v[4], "", "", "", "", "", v[5]});
    });
    WalkInputs(hub, true, kProcInputs, kProcInputCount, [&](const std::vector<std::string>& v) {
        // TEXT, OPS, LOKALISATION, HAUPTPROZKZ, EXTERNID
        c.Call(kAddProcedure, {v[0], v[1], v[1], v[2], "", "", v[3], "", v[4]});
    });
    DRGGrouper(hub, &c);
    hub.Execute(NodeKillLine(kNode));
    c.Call(kCatalogue, {"ICD"});
    c.Call(kDialog);
    if (c.Call(kCancelled).text == "1") return false;
    WriteCaseResults(hub, c, false);
    WriteCaseResults(hub, c, true);
    return true;
}

// Modes 6 and 7: the facade takes a context document and answers one.
void CodeThroughFacade(CRequestHub& hub, CDispatchDriver& c, bool procedures) {
    using namespace kodip;
    std::string document = FacadeContext(hub.Execute(NodeKeyValueLine(kNode, "WJ")), procedures,
                                         hub.Execute(NodeKeyValueLine(kNode, "ICDKEY")));
    long client = c.Call(kFacadeClient, {"KodipClient"}).number;
    std::string answer = c.Call(kFacadeCoding, {client, "Coding", document}).text;
    c.ReleaseDispatch();
    std::string code;
    if (!FindCode(answer, code)) return;
    for (const std::string& line : FacadeStoreLines(code))
        hub.Execute(line);
}

} // namespace

void ServeKodip(CRequestHub& hub, const RequestNode&) {
    TraceFunction("CChildDialog::Kodip");
    KodipRequest request = ParseKodipRequest(hub.Execute(NodeValueLine(kNode)));
    if (request.mode < 1 || request.mode > 7) return;
    const char* progIds[] = {kCodingDiagnosis, kCodingDiagnosis, kCodingProcedure, kCodingProcedure,
                             kCodingCase,      kCodingFacade,    kCodingFacade};
    CComScope com;
    CDispatchDriver component;
    if (!component.CreateDispatch(progIds[request.mode - 1])) {
        CString missing;
        missing.LoadString(IDS_CODING_MISSING);
        AfxMessageBox(missing.c_str(), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    try {
        switch (request.mode) {
        case 1:
        case 2: CodeText(hub, component, kCodingDiagnosisCalls, request.mode == 1); break;
        case 3:
        case 4: CodeText(hub, component, kCodingProcedureCalls, request.mode == 3); break;
        case 5:
            if (!CodeCase(hub, component, request)) return;
            break;
        default: CodeThroughFacade(hub, component, request.mode == 7); break;
        }
    } catch (const CDispatchException& e) {
        // What was written stays; the callback would read an unfinished answer.
        WriteProtocol("CChildDialog::Kodip - %s", kLogNote, e.what());
        AfxMessageBox(e.m_strDescription.c_str(), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    component.ReleaseDispatch();
    if (!request.callback.empty()) hub.Execute(DoLine(request.callback));
}

} // namespace vorlan
