#include "services/HubLines.h"
#include "app/ReplyFields.h"
#include "common/MQuote.h"

#include <cstdlib>

namespace vorlan {

namespace {

std::string NodeReference(std::string_view node) {
    return "^QTEMP(%JOB," + MQuote(node) + ")";
}

std::string KeyReference(std::string_view node, std::string_view key) {
    return "^QTEMP(%JOB," + MQuote(node) + "," + MQuote(key) + ")";
}

} // namespace

std::string PasteReadLine() {
    return "W $G(%WIN(\"%EDITPASTE\")) K %WIN(\"%EDITPASTE\")";
}

std::string NodeTestLine(std::string_view node) {
    return "W:$D(" + NodeReference(node) + ") 1";
}

std::string NodeKillLine(std::string_view node, std::string_view alsoNode) {
    std::string line = "K " + NodeReference(node);
    if (!alsoNode.empty()) line += "," + NodeReference(alsoNode);
    return line;
}

std::string NodeValueLine(std::string_view node) {
    return "W $G(" + NodeReference(node) + ")";
}

std::string NodeKeyValueLine(std::string_view node, std::string_view key) {
    return "W $G(" + KeyReference(node, key) + ")";
}

std::string NextKeyLine(std::string_view node, std::string_view key) {
    return "W $O(" + KeyReference(node, key) + ")";
}

std::string DoLine(std::string_view routine) {
    return routine.empty() ? std::string() : "D " + std::string(routine);
}

std::string PackResultLine(std::string_view result, std::string_view routine) {
    std::string line = "S %F=" + MQuote(result);
    if (!routine.empty()) line += " " + DoLine(routine);
    return line + " W $G(%F) K %F";
}

PackRequest ParsePackValue(std::string_view value) {
    PackRequest request;
    request.routine = PieceOf(value, 1);
    request.unpack = std::atoi(PieceOf(value, 2).c_str()) != 0;
    return request;
}

std::string MessageReadLine() {
    return "W $G(%MESSAGE)";
}

std::string MessageKillLine() {
    return "K %MESSAGE";
}

HubQuestion ParseQuestion(std::string_view value) {
    return HubQuestion{PieceOf(value, 1), PieceOf(value, 2), PieceOf(value, 3), PieceOf(value, 4)};
}

std::string QuestionRoutine(const HubQuestion& question, int answer) {
    switch (answer) {
    case kAnswerYes: return question.yes;
    case kAnswerNo: return question.no;
    case kAnswerCancel: return question.HasCancel() ? question.cancel : std::string();
    default: return std::string();
    }
}

// The length of %INF comes first: a "§" inside either text must not split them.
std::string ReportLine() {
    return "W $D(%F),$C(167),$L($G(%INF)),$C(167),$G(%INF),$G(%F) K %F,%INF";
}

HubReport ParseReport(std::string_view output) {
    HubReport report;
    size_t first = output.find(kPieceDelimiter);
    if (first == std::string_view::npos) return report;
    size_t second = output.find(kPieceDelimiter, first + 1);
    if (second == std::string_view::npos) return report;
    report.fDefined = output.substr(0, 1) == "1";
    size_t infLength =
        std::strtoul(std::string(output.substr(first + 1, second - first - 1)).c_str(), nullptr, 10);
    std::string_view texts = output.substr(second + 1);
    report.inf = std::string(texts.substr(0, infLength));
    if (infLength < texts.size()) report.f = std::string(texts.substr(infLength));
    return report;
}

ReportMessage ChooseReportMessage(const HubReport& report) {
    if (!report.fDefined) return {};
    if (!report.inf.empty()) return {report.inf, kIconInformation};
    if (!report.f.empty()) return {report.f, kIconExclamation};
    return {};
}

std::string AllFilesFilter(std::string_view label) {
    return std::string(label) + " (*.*)|*.*||";
}

} // namespace vorlan
