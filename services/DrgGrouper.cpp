// The DRG grouping: the case the server prepared under ^QTEMP(%JOB,"%DRG",1) goes to an
// outside grouper, and its answer comes back there. Three groupers take the case each in
// its own way (kinds A, S and I); the coding component's own grouping is kind K.
#include "services/DrgGrouper.h"
#include "app/ProtocolLog.h"
#include "framework/App.h"
#include "framework/Dispatch.h"
#include "resources/ServiceIds.h"
#include "services/Components.h"
#include "services/HubLines.h"
#include "services/NodeServices.h"
#include "services/OutsideLines.h"
#include "services/RequestHub.h"

#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace vorlan {

namespace {

enum class Kind { A, S, I, K };

const char kCancelled[] = "Der externe DRG-Grouper wurde abgebrochen.";

// The case row of kinds S and K: slots 1 to 8, slot 8 always empty.
constexpr int kCaseSlots = 8;

bool IsList(const char* field) {
    return !std::strcmp(field, "ICD") || !std::strcmp(field, "OPS") || !std::strcmp(field, "OPSDATUM");
}

// Whether the kind takes the field as a list of parts.
bool ReadsParts(Kind kind, const char* field) {
    if (!IsList(field) || kind == Kind::K) return false;
    if (kind == Kind::A) return !std::strcmp(field, "OPS");
    if (kind == Kind::I) return std::strcmp(field, "OPSDATUM") != 0;
    return true;
}

fw::DispValue Value(const std::string& text) {
    fw::DispValue v(text);
    v.number = LeadingInteger(text);
    v.real = LeadingReal(text);
    return v;
}

class CGrouping {
  public:
    CGrouping(CRequestHub& hub, CDispatchDriver& grouper, Kind kind, const DrgRequest& request)
        : m_hub(hub), m_g(grouper), m_kind(kind), m_request(request) {}

    void Prepare();
    void PassCase();
    void Group();
    void WriteResults();

  private:
    std::string Joined(const char* field);
    void Pass(const char* field, const std::string& value);
    void PassList(const char* field, const std::string& joined);
    std::string Own(const char* field) { return m_own[field]; }
    std::string ResultText(const DrgResultRead& read);

    CRequestHub& m_hub;
    CDispatchDriver& m_g;
    Kind m_kind;
    const DrgRequest& m_request;
    std::string m_slots[kCaseSlots];
    std::map<std::string, std::string> m_own; // the fields that S and K pass by their own members
    std::string m_opsDates;
};

void CGrouping::Prepare() {
    using namespace drg;
    switch (m_kind) {
    case Kind::A:
        m_g.Call(kAOption9, {1});
        m_g.Call(kAOption14, {1});
        m_g.Call(kAOption34, {1});
        m_g.Call(kANewCase);
        m_g.Call(kAPiece3, {Value(m_request.value)});
        break;
    case Kind::S: {
        m_g.Call(kSNewCase);
        m_g.Call(kSFlag, {1});
        m_g.Call(kSPiece3, {m_request.value});
        break;
    }
    case Kind::I:
        m_g.Call(kINewCase);
        m_g.Call(kIPiece4, {m_request.idText});
        break;
    case Kind::K: break;
    }
}

std::string CGrouping::Joined(const char* field) {
    std::string joined;
    for (int n = 1;; ++n) {
        std::string part = m_hub.Execute(DrgFieldPartLine(field, n));
        if (part.empty()) break;
        joined += part;
    }
    return joined;
}

void CGrouping::PassCase() {
    for (int f = 0; f < kDrgFieldCount; ++f) {
        const char* field = kDrgFields[f];
        std::string value = m_hub.Execute(DrgFieldLine(field));
        if (ReadsParts(m_kind, field))
            PassList(field, Joined(field));
        else
            Pass(field, value);
    }
}

void CGrouping::Pass(const char* field, const std::string& value) {
    if (m_kind == Kind::A || m_kind == Kind::I) {
        if (m_kind == Kind::A && !std::strcmp(field, "ICD")) {
            m_g.Call(drg::kAIcdOwn, {value});
            return;
        }
        const DrgPut* puts = m_kind == Kind::A ? kDrgPutsA : kDrgPutsI;
        int count = m_kind == Kind::A ? kDrgPutsACount : kDrgPutsICount;
        for (int i = 0; i < count; ++i)
            if (!std::strcmp(puts[i].field, field)) m_g.Call(puts[i].member, {Value(value)});
        return;
    }
    for (int i = 0; i < kDrgSlotCount; ++i)
        if (!std::strcmp(kDrgSlots[i].field, field)) m_slots[kDrgSlots[i].slot - 1] = value;
    m_own[field] = value;
}

void CGrouping::PassList(const char* field, const std::string& joined) {
    using namespace drg;
    if (m_kind == Kind::A) { // only OPS, whole
        m_g.Call(kAOpsJoined, {joined});
        return;
    }
    if (m_kind == Kind::S && !std::strcmp(field, "OPSDATUM")) {
        m_opsDates = joined;
        return;
    }
    std::vector<std::string> items = SplitDrgItems(joined);
    if (!std::strcmp(field, "ICD")) {
        for (size_t i = 0; i < items.size(); ++i) {
            if (m_kind == Kind::S)
                m_g.Call(kSIcdItem, {items[i]});
            else
                m_g.Call(i == 0 ? kIIcdFirst : kIIcdMore, {items[i]});
        }
        return;
    }
    // OPS: kind S with the date of the same position, empty when there are fewer dates.
    std::vector<std::string> dates = SplitDrgItems(m_opsDates);
    for (size_t i = 0; i < items.size(); ++i) {
        if (m_kind == Kind::S)
            m_g.Call(kSOpsItem, {items[i], i < dates.size() ? dates[i] : std::string()});
        else
            m_g.Call(kIOpsItem, {items[i]});
    }
}

void CGrouping::Group() {
    using namespace drg;
    switch (m_kind) {
    case Kind::A: m_g.Call(m_request.variant ? kAGroupVariant : kAGroup); break;
    case Kind::S: {
        m_g.Call(kSAufnGrund, {Own("AUFNGRUND")});
        m_g.Call(kSNachname, {Own("NACHNAME")});
        m_g.Call(kSVorname, {Own("VORNAME")});
        m_g.Call(kSFallNr, {Own("FALLNR")});
        std::vector<fw::DispValue> row(m_slots, m_slots + kCaseSlots);
        m_g.Call(kSCase, row);
        m_g.Call(kSAufnAnlass, {Own("AUFNANLASS")});
        m_g.Call(kSAbtTyp, {Value(Own("ABTTYP"))});
        m_g.Call(kSVariant, {m_request.variant ? 5 : 0});
        m_g.Call(kSGroup);
        break;
    }
    case Kind::I:
        m_g.Call(kIGroup);
        m_g.Call(kIAfterGroup, {0});
        break;
    case Kind::K: {
        m_hub.Execute(NodeKillLine("%DRG"));
        m_g.Call(kKAufnGrund, {Own("AUFNGRUND")});
        m_g.Call(kKNachname, {Own("NACHNAME")});
        m_g.Call(kKVorname, {Own("VORNAME")});
        m_g.Call(kKFallNr, {Own("FALLNR")});
        m_g.Call(kKAbtTyp, {Own("ABTTYP")});
        std::vector<fw::DispValue> row(m_slots, m_slots + kCaseSlots);
        row.emplace_back(Own("ENTLART"));
        row.emplace_back("");
        row.emplace_back("");
        m_g.Call(kKGroup, row);
        m_g.Call(kKAufnAnlass, {Own("AUFNANLASS")});
        break;
    }
    }
}

std::string CGrouping::ResultText(const DrgResultRead& read) {
    if (read.fixed) return read.fixed;
    fw::DispValue v = m_g.Call(read.member);
    switch (read.member.result) {
    case fw::kDispText: return read.numberFromText ? FormatDrgNumber(LeadingReal(v.text)) : v.text;
    case fw::kDispReal: return FormatDrgNumber(v.real);
    default: return FormatDrgNumber(static_cast<double>(v.number));
    }
}

void CGrouping::WriteResults() {
    const DrgResultRead* reads = m_kind == Kind::A   ? kDrgResultsA
                                 : m_kind == Kind::S ? kDrgResultsS
                                                     : kDrgResultsI;
    for (int r = 0; r < kDrgResultCount; ++r) {
        if (m_kind == Kind::I) {
            m_g.Call(drg::kIBefore1);
            m_g.Call(drg::kIBefore2);
        }
        m_hub.Execute(DrgResultSet(kDrgResults[r], ResultText(reads[r])));
    }
}

// The grouper the request names, else the first installed of the fallback order.
bool CreateGrouper(int wanted, CDispatchDriver& grouper, Kind& kind) {
    struct Choice {
        const char* progId;
        Kind kind;
    };
    const Choice byNumber[] = {{kGrouperScout, Kind::S}, {kGrouperId, Kind::I}, {kGrouperAr, Kind::A}};
    if (wanted >= 1 && wanted <= 3 && grouper.CreateDispatch(byNumber[wanted - 1].progId)) {
        kind = byNumber[wanted - 1].kind;
        return true;
    }
    for (const Choice& c : {byNumber[1], byNumber[2], byNumber[0]}) {
        if (grouper.CreateDispatch(c.progId)) {
            kind = c.kind;
            return true;
        }
    }
    return false;
}

} // namespace

void DRGGrouper(CRequestHub& hub, CDispatchDriver* given) {
    TraceFunction("CChildDialog::DRGGrouper");
    DrgRequest request = ParseDrgRequest(hub.Execute(NodeValueLine("%DRG")));
    CComScope com;
    CDispatchDriver own;
    Kind kind = Kind::K;
    if (!given && !CreateGrouper(request.grouper, own, kind)) {
        CString missing;
        missing.LoadString(IDS_GROUPER_MISSING);
        AfxMessageBox(missing.c_str(), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    CDispatchDriver& grouper = given ? *given : own;
    CGrouping grouping(hub, grouper, kind, request);
    try {
        grouping.Prepare();
        grouping.PassCase();
        grouping.Group();
        if (kind == Kind::K) return; // the coding component's caller reads its results
        grouping.WriteResults();
    } catch (const CDispatchException& e) {
        WriteProtocol("CChildDialog::DRGGrouper - %s", kLogNote, e.what());
        own.ReleaseDispatch();
        if (kind == Kind::K) hub.Execute(NodeKillLine("%DRG"));
        AfxMessageBox(kCancelled, MB_OK);
        return;
    }
    own.ReleaseDispatch();
    if (!request.callback.empty()) hub.Execute(DoLine(request.callback));
}

void ServeDrg(CRequestHub& hub, const RequestNode&) {
    DRGGrouper(hub, nullptr);
}

} // namespace vorlan
