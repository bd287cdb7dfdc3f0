#include "services/OutsideLines.h"
#include "app/ReplyFields.h"
#include "common/MQuote.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace vorlan {

namespace {

std::string Number(long n) {
    return std::to_string(n);
}

} // namespace

SymbolRequest ParseSymbolRequest(std::string_view value) {
    return {PieceOf(value, 1), PieceOf(value, 2)};
}

std::vector<std::string> SymbolLines(std::string_view result) {
    std::vector<std::string> lines;
    if (result.size() <= 1) return lines;
    for (int i = 1; static_cast<size_t>(i) < result.size(); ++i) {
        std::string line = PieceOf(result, i, '\r');
        if (i > 1 && !line.empty() && line[0] == '\n') line.erase(0, 1);
        if (line.empty()) break;
        lines.push_back(line);
    }
    return lines;
}

std::string SymbolLineSet(std::string_view target, int line, std::string_view text) {
    return "S " + std::string(target) + Number(line) + ")=" + MQuote(text);
}

DrgRequest ParseDrgRequest(std::string_view value) {
    DrgRequest r;
    r.variant = PieceOf(value, 1) == "1";
    r.callback = PieceOf(value, 2);
    r.value = PieceOf(value, 3);
    r.idText = PieceOf(value, 4);
    r.grouper = static_cast<int>(LeadingInteger(PieceOf(value, 5)));
    return r;
}

std::string DrgFieldLine(std::string_view field) {
    return "W $G(^QTEMP(%JOB,\"%DRG\",1," + MQuote(field) + "))";
}

std::string DrgFieldPartLine(std::string_view field, int part) {
    return "W $G(^QTEMP(%JOB,\"%DRG\",1," + MQuote(field) + "," + Number(part) + "))";
}

std::vector<std::string> SplitDrgItems(std::string_view joined) {
    std::vector<std::string> items;
    for (int i = 1;; ++i) {
        std::string item = PieceOf(joined, i, ';');
        if (item.empty()) break;
        items.push_back(item.substr(0, 255));
    }
    return items;
}

std::string DrgResultSet(std::string_view result, std::string_view value) {
    return "S ^QTEMP(%JOB,\"%DRG\",1," + MQuote(result) + ")=" + MQuote(value);
}

std::string FormatDrgNumber(double value) {
    char text[400];
    std::snprintf(text, sizeof text, "%f", value);
    std::string s = text;
    for (char& c : s)
        if (c == ',') c = '.';
    return s;
}

long LeadingInteger(std::string_view text) {
    return std::strtol(std::string(text).c_str(), nullptr, 10);
}

double LeadingReal(std::string_view text) {
    return std::strtod(std::string(text).c_str(), nullptr);
}

KodipRequest ParseKodipRequest(std::string_view value) {
    KodipRequest r;
    r.mode = static_cast<int>(LeadingInteger(PieceOf(value, 1)));
    r.callback = PieceOf(value, 2);
    r.caseText = PieceOf(value, 3);
    return r;
}

namespace {
std::string KodipBase(bool op) {
    return op ? "^QTEMP(%JOB,\"KODIP\",\"OP\"," : "^QTEMP(%JOB,\"KODIP\",";
}
} // namespace

std::string KodipNextLine(bool op, long n) {
    return "W $O(" + KodipBase(op) + Number(n) + "))";
}

std::string KodipFieldLine(bool op, long n, std::string_view field) {
    return "W $G(" + KodipBase(op) + Number(n) + "," + MQuote(field) + "))";
}

std::string KodipResultSet(bool op, long n, std::string_view field, std::string_view value) {
    return "S " + KodipBase(op) + Number(n) + "," + MQuote(field) + ")=" + MQuote(value);
}

std::string XmlAttributeEscape(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string FacadeContext(std::string_view catalogue, bool procedures, std::string_view text) {
    return "<?xml version=\"1.0\" encoding=\"utf-16\"?><PrCtxContainer "
           "xmlns=\"http://vorlan.example/de/his/BusinessObjects/KodipDataModel\" dataModel "
           "=\"KodipDataModel\" "
           "version =\"1.1.2.3\" ><PrCtx IsStandalone=\"False\" ><CCtxA><CCtx CodingCatVer=\"" +
           XmlAttributeEscape(catalogue) + "\" Mode =\"" + (procedures ? "KP" : "KD") + "\" CodingText =\"" +
           XmlAttributeEscape(text) +
           "\" CodingCanceled =\"False\" UseLastState =\"False\" /></CCtxA></PrCtx></PrCtxContainer>";
}

namespace {
bool IsNameChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-' || c == '.' || c == ':';
}
} // namespace

bool FindCode(std::string_view answer, std::string& code) {
    const std::string_view key = "Code=\"";
    for (size_t at = answer.find(key); at != std::string_view::npos; at = answer.find(key, at + 1)) {
        // An attribute of that name, not the end of a longer one such as ErrorCode.
        if (at > 0 && IsNameChar(answer[at - 1])) continue;
        size_t start = at + key.size();
        size_t end = answer.find('"', start);
        if (end == std::string_view::npos) return false;
        code = std::string(answer.substr(start, end - start));
        return true;
    }
    return false;
}

std::vector<std::string> FacadeStoreLines(std::string_view code) {
    return {"S @%GBL@(%ZZ,%PP)=" + MQuote(code), "S @%GBL@(%ZZ,%PP,\"ICD\")=" + MQuote(code)};
}

std::string QsMedFieldNameLine(int n) {
    return "S FIELD=" + Number(n) + " W $G(^QTEMP(%JOB,\"QSMED\",\"FELD\",FIELD,\"FELDNAME\"))";
}

std::string QsMedFieldValueLine() {
    return "W $G(^QTEMP(%JOB,\"QSMED\",\"FELD\",FIELD,\"FELDWERT\"))";
}

const char* const kQsFilterKillLine = "K ^TEMPQSF(%JOB)";
const char* const kQsCaseStartLine = "S %QCC=\"\"";
const char* const kQsCaseNextLine = "S %QCC=$O(^QTEMP(%JOB,\"QS-FILTER\",\"FALL\",%QCC)) W %QCC";
const char* const kQsFeeStartLine = "S %QCC2=\"\"";
const char* const kQsFeeNextLine = "S %QCC2=$O(^QTEMP(%JOB,\"QS-FILTER\",%QCC,\"ENTGELT\",%QCC2)) W %QCC2";
const char* const kQsFeeValueLine = "W $G(^QTEMP(%JOB,\"QS-FILTER\",%QCC,\"ENTGELT\",%QCC2))";

std::string QsCaseFieldLine(std::string_view field) {
    return "W $G(^QTEMP(%JOB,\"QS-FILTER\",\"FALL\",%QCC," + MQuote(field) + "))";
}

std::string QsResultSet(std::string_view admission, int i, std::string_view which, std::string_view value) {
    return "S ^TEMPQSF(%JOB,\"QS-FILTER\"," + MQuote(admission) + "," + Number(i) + "," + MQuote(which) +
           ")=" + MQuote(value);
}

const char* const kQsCaseFields[] = {"AUFNNR",     "AUFNDATUM", "AUFNGRUND", "ENTLDATUM", "ENTLGRUND",
                                     "ICD",        "OPS",       "ALTERJ",    "ALTERT",    "SUMANZBEATMUNGSTD",
                                     "AUFNGEWICHT"};
const int kQsCaseFieldCount = 11;

DeviceRequest ParseDeviceRequest(std::string_view value) {
    DeviceRequest r;
    r.line = fw::ParsePortRecord(value);
    r.line.name = PieceOf(value, 1);
    r.countdown = static_cast<int>(LeadingInteger(PieceOf(value, 6)));
    r.blocks = static_cast<int>(LeadingInteger(PieceOf(value, 7)));
    return r;
}

size_t DeviceReadLength(int blocks) {
    if (blocks <= 0) return 0;
    // Above 11 whole blocks the buffer cuts the read.
    if (blocks > static_cast<int>(kDeviceBuffer / kDeviceBlock)) return kDeviceBuffer;
    return static_cast<size_t>(blocks) * kDeviceBlock;
}

bool CountdownBeeps(int i, int countdown) {
    return i > countdown - 4;
}

DeviceAnswer SplitDeviceAnswer(std::string_view bytes) {
    DeviceAnswer answer;
    for (size_t i = 0; i < bytes.size(); ++i) {
        char c = bytes[i];
        if (c == '\r' || c == '\n') continue;
        (i < kDeviceSplit ? answer.a : answer.b) += c;
    }
    return answer;
}

std::string DeviceAnswerSet(std::string_view which, std::string_view text) {
    return "S ^TEMPPORT(%JOB,\"PORT\"," + MQuote(which) + ")=" + MQuote(text);
}

unsigned SoundFlags(std::string_view para) {
    if (para == "SND_FILENAME") return kSoundFileName;
    if (para == "SND_ASYNC") return kSoundAsync;
    return 0;
}

const char* const kPocketRequestKindLine = "W $G(^Z(\"POCKET\",\"ART\"))";

} // namespace vorlan
