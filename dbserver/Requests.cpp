#include "dbserver/Requests.h"

#include "common/Nonce.h"
#include "common/WireFormat.h"
#include "dbserver/ErrorText.h"
#include "dbserver/RoutineCall.h"

namespace vorlan::dbserver {

namespace {

using Outcome = RequestHandler::Outcome;
using Action = RequestHandler::Action;

class ReplyBuilder : public wire::ByteSink {
  public:
    ReplyBuilder() : m_writer(*this, m_buffer, sizeof m_buffer, m_position) {}
    wire::RequestWriter& Writer() { return m_writer; }
    ReplyBuilder& Raw(const std::string& bytes) {
        m_writer.Bytes(bytes.data(), bytes.size());
        return *this;
    }
    std::string Take() {
        m_writer.Flush();
        return std::move(m_out);
    }

  private:
    int Send(const uint8_t* data, int32_t length) override {
        m_out.append(reinterpret_cast<const char*>(data), static_cast<size_t>(length));
        return 0;
    }

    uint8_t m_buffer[wire::kRequestBufferSize];
    int32_t m_position = 0;
    std::string m_out;
    wire::RequestWriter m_writer;
};

Outcome Result(const std::vector<std::string>& fields = {}) {
    ReplyBuilder b;
    b.Writer().ReplyHeader('R', static_cast<int32_t>(fields.size()));
    for (const auto& f : fields)
        b.Writer().Field(f.data(), f.size());
    return {Action::Reply, b.Take()};
}

Outcome Error(const std::string& text) {
    ReplyBuilder b;
    b.Writer().ReplyHeader('E', 1).Field(text.data(), text.size());
    return {Action::Reply, b.Take()};
}

Outcome Malformed(const std::string& why) {
    return {Action::Malformed, why};
}

// Fields each request code takes; -1: the routine and any number of parameters.
int ExpectedCount(const std::string& code) {
    static const std::pair<const char*, int> kCounts[] = {
        {"X", 2},  {"1", 2},  {"2", 1},  {"8", 1},  {"3", 2}, {"4", 1},  {"5", 1},
        {"6", 1},  {"17", 1}, {"7", 1},  {"12", 1}, {"9", 2}, {"10", 2}, {"11", 2},
        {"13", 0}, {"14", 1}, {"15", 1}, {"D", -1}, {"K", 0}, {"Q", 0},
    };
    for (auto [c, n] : kCounts)
        if (code == c) return n;
    return -2;
}

// kvx_partsize's line: GT.M has neither %PARTSIZ nor that $VIEW, and needs no partition size.
bool IsPartitionSizeLine(const std::string& code, std::string& size) {
    static const std::string kHead = "N %K S %K=";
    static const std::string kTail = " D INT^%PARTSIZ K %K W $V(108,$J,4)/1024";
    if (code.size() <= kHead.size() + kTail.size() || code.compare(0, kHead.size(), kHead) != 0 ||
        code.compare(code.size() - kTail.size(), kTail.size(), kTail) != 0)
        return false;
    size = code.substr(kHead.size(), code.size() - kHead.size() - kTail.size());
    size_t digits = size[0] == '-' ? 1 : 0;
    if (digits == size.size()) return false;
    for (size_t i = digits; i < size.size(); ++i)
        if (size[i] < '0' || size[i] > '9') return false;
    return true;
}

// The error text of a step that failed: the job's own, or the overflow of its output.
std::string StepError(MEngine& engine, int status) {
    if (status == kOutputOverflow)
        return ErrorText("MXMEM", "output beyond " + std::to_string(kMaxJobOutput) + " bytes");
    return TranslateZStatus(engine.ZStatus());
}

} // namespace

std::string RunLine(MEngine& engine, const std::string& code, std::string& errorText) {
    JobInput input;
    std::string line = LiftLongLiterals(code, input);
    int status = engine.Put(input.Blob(line));
    if (status == 0) status = engine.Xecute();
    std::string output = engine.TakeOutput();
    errorText.clear();
    if (status != 0) {
        errorText = StepError(engine, status);
        engine.Reset();
        output += engine.TakeOutput();
    }
    return output;
}

wire::DecodeLimits ServerLimits() {
    wire::DecodeLimits limits;
    limits.maxFieldLength = 2 << 20;
    limits.maxFields = 20001;
    limits.maxRequestBytes = int64_t{64} << 20;
    return limits;
}

wire::DecodeLimits LoginLimits() {
    wire::DecodeLimits limits;
    limits.maxFieldLength = 1024;
    limits.maxFields = 10;
    limits.maxRequestBytes = 10 * 1024;
    return limits;
}

std::string LoginReply(uint32_t nonce, const std::string& refusal) {
    ReplyBuilder b;
    b.Writer()
        .ReplyHeader('V', 5)
        .Number(static_cast<int32_t>(nonce::Answer(nonce)))
        .Number(refusal.empty() ? 0 : 1)
        .Text(refusal.c_str())
        .Text(kServerVersion)
        .Number(0);
    return b.Take();
}

LoginOutcome CheckLogin(const wire::Request& request, const Database& db, const std::string* password) {
    LoginOutcome out;
    if (request.code != "L" || request.fields.size() != 10) {
        out.wellFormed = false;
        return out;
    }
    const auto& f = request.fields;
    out.nonce = static_cast<uint32_t>(wire::ParseNumber(f[9].data(), f[9].size()));
    std::string refusal;
    if (f[1].rfind("API4.", 0) != 0)
        refusal = "<VER>";
    else if (password && f[5] != *password)
        refusal = "<PASSWD>";
    else if (!(out.ns = db.Find(f[6], f[7])))
        refusal = "<NOUCI>";
    out.reply = LoginReply(out.nonce, refusal);
    return out;
}

RequestHandler::Outcome RequestHandler::Handle(const wire::Request& request) {
    const std::string& code = request.code;
    int expected = ExpectedCount(code);
    if (expected == -2) return Error(ErrorText("CMMND", "request " + code));
    if (expected >= 0 ? request.count != expected : request.count < 1)
        return Malformed("request " + code + " with " + std::to_string(request.count) + " fields");
    const auto& f = request.fields;
    if (code == "X") return Execute(f[0], f[1]);
    if (code == "K") return {Action::Silent, {}};
    if (code == "Q") return {Action::End, {}};
    if (code == "1" || code == "2" || code == "8") return Local(request);
    if (code == "9" || code == "10" || code == "11") return Lock(request);
    if (code == "13" || code == "14" || code == "15") return Unlock(request);
    if (code == "D") return Call(request);
    return Global(request);
}

bool RequestHandler::RunsM(const wire::Request& request) {
    return request.code != "K" && request.code != "Q";
}

bool RequestHandler::Run(JobInput& input, const std::string& code, std::string* value, Outcome& error) {
    int status = m_engine.Put(input.Blob(code));
    if (status == 0) status = value ? m_engine.Eval(*value) : m_engine.Xecute();
    m_engine.TakeOutput(); // only "X" passes output on
    if (status == 0) return true;
    error = Error(StepError(m_engine, status));
    m_engine.Reset();
    m_engine.TakeOutput();
    return false;
}

RequestHandler::Outcome RequestHandler::Execute(const std::string& code, const std::string& marker) {
    if (marker.empty()) return Malformed("execution without an end marker");
    std::string output, trailerText;
    std::string size;
    if (IsPartitionSizeLine(code, size)) {
        output = size;
    } else {
        output = RunLine(m_engine, code, trailerText);
    }
    // The client would end the output at the marker and take the rest for the trailer.
    if (output.find(marker) != std::string::npos) {
        output.clear();
        trailerText = ErrorText("SYSTM", "output contains the end marker");
    }
    ReplyBuilder b;
    b.Raw(output).Raw(marker);
    if (trailerText.empty())
        b.Writer().ReplyHeader('O', 0);
    else
        b.Writer().ReplyHeader('E', 1).Field(trailerText.data(), trailerText.size());
    return {Action::Reply, b.Take()};
}

RequestHandler::Outcome RequestHandler::Local(const wire::Request& request) {
    const std::string& name = request.fields[0];
    if (!IsMName(name)) return Error(ErrorText("SYNTX", "local name"));
    JobInput input;
    Outcome error;
    std::string value;
    if (request.code == "1") {
        if (!Run(input, "S " + name + "=" + input.Ref(request.fields[1]), nullptr, error)) return error;
        return Result();
    }
    if (request.code == "8") {
        if (!Run(input, "K " + name, nullptr, error)) return error;
        return Result();
    }
    if (!Run(input, "S $ZSO=" + name, &value, error)) return error;
    return Result({value});
}

bool RequestHandler::Reference(const std::string& text, JobInput& input, GlobalRef& parsed, std::string& code,
                               Outcome& error) {
    if (text.empty()) {
        error = Error(ErrorText("NAKED", "no global reference"));
        return false;
    }
    auto ref = ParseGlobalRef(text);
    if (!ref) {
        error = Error(ErrorText("SYNTX", "global reference"));
        return false;
    }
    std::string gld;
    if (ref->extended) {
        const Namespace* ns = m_db.Find(ref->uci, ref->vol);
        if (!ns) {
            error = Error(ErrorText("NOUCI", ref->uci));
            return false;
        }
        gld = ns->gld;
    }
    code = GlobalCode(*ref, gld, input);
    parsed = std::move(*ref);
    return true;
}

RequestHandler::Outcome RequestHandler::Global(const wire::Request& request) {
    const std::string& c = request.code;
    JobInput input;
    GlobalRef ref;
    std::string gvn, value;
    Outcome error;
    if (!Reference(request.fields[0], input, ref, gvn, error)) return error;
    if (c == "3" || c == "7") {
        std::string line = c == "3" ? "S " + gvn + "=" + input.Ref(request.fields[1]) : "K " + gvn;
        if (!Run(input, line, nullptr, error)) return error;
        return Result();
    }
    std::string expr = c == "4"    ? gvn
                       : c == "5"  ? "$D(" + gvn + ")"
                       : c == "6"  ? "$O(" + gvn + ")"
                       : c == "17" ? "$O(" + gvn + ",-1)"
                                   : "$$QUERY^%DBSRV($Q(" + gvn + "))";
    if (!Run(input, "S $ZSO=" + expr, &value, error)) return error;
    if (c != "12") return Result({value});
    std::vector<std::string> items;
    if (!UnpackList(value, items)) return Error(ErrorText("SYSTM", "$QUERY result"));
    if (items.empty()) return Result({""});
    return Result({FormatQueryReply(ref, items[0], {items.begin() + 1, items.end()})});
}

RequestHandler::Outcome RequestHandler::Lock(const wire::Request& request) {
    static const std::pair<const char*, const char*> kCommands[] = {
        {"9", "L "}, {"10", "L +"}, {"11", "ZA "}};
    JobInput input;
    GlobalRef ref;
    std::string gvn, value;
    Outcome error;
    if (!Reference(request.fields[0], input, ref, gvn, error)) return error;
    const std::string& t = request.fields[1];
    int32_t timeout = wire::ParseNumber(t.data(), t.size());
    std::string command;
    for (auto [code, cmd] : kCommands)
        if (request.code == code) command = cmd;
    if (!Run(input, command + gvn + ":" + std::to_string(timeout) + " S $ZSO=$T", &value, error))
        return error;
    return Result({value});
}

RequestHandler::Outcome RequestHandler::Unlock(const wire::Request& request) {
    // LOCK and ZALLOCATE keep apart in GT.M: neither one's release touches the other's names.
    // The client's unlocks give up all of the job's locks, or one node's however it was taken.
    const std::string& c = request.code;
    JobInput input;
    std::string line = c == "13" ? "L  ZD" : c == "14" ? "L" : "ZD";
    Outcome error;
    if (c != "13" && !request.fields[0].empty()) {
        GlobalRef ref;
        std::string gvn;
        if (!Reference(request.fields[0], input, ref, gvn, error)) return error;
        line = "L -" + gvn + " ZD " + gvn;
    }
    if (!Run(input, line, nullptr, error)) return error;
    return Result();
}

RequestHandler::Outcome RequestHandler::Call(const wire::Request& request) {
    auto routine = CheckRoutine(request.fields[0]);
    if (!routine) return Error(ErrorText("SYNTX", "routine " + request.fields[0].substr(0, 100)));
    auto params = PairParameters({request.fields.begin() + 1, request.fields.end()});
    if (!params) return Error(ErrorText("SYNTX", "parameters of " + *routine));
    JobInput input;
    std::string value;
    Outcome error;
    if (!Run(input, RoutineCallCode(*routine, *params, input), &value, error)) return error;
    std::vector<std::string> items;
    if (!UnpackList(value, items)) return Error(ErrorText("SYSTM", "routine call result"));
    return Result(items);
}

} // namespace vorlan::dbserver
