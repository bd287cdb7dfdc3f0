#pragma once
// The M lines of the request hub and the reading of what the server answers them, apart
// from any window. Every value goes into a line through MQuote; routine names that the
// server wrote follow "D " as they are.

#include <string>
#include <string_view>

namespace vorlan {

// The text the server left to paste, read and removed in one line.
std::string PasteReadLine();
// Writes 1 when ^QTEMP(%JOB,node) exists.
std::string NodeTestLine(std::string_view node);
// Removes ^QTEMP(%JOB,node) and, when given, a second node with it.
std::string NodeKillLine(std::string_view node, std::string_view alsoNode = {});
std::string NodeValueLine(std::string_view node);
std::string NodeKeyValueLine(std::string_view node, std::string_view key);
// The key after `key` below the node (the first one after the empty key).
std::string NextKeyLine(std::string_view node, std::string_view key);
// Runs the routine; empty (no line) when there is none.
std::string DoLine(std::string_view routine);

// The packing library's result into %F, then the routine, then what %F holds.
std::string PackResultLine(std::string_view result, std::string_view routine);
// The node value of a packing request: routine and mode.
struct PackRequest {
    std::string routine;
    bool unpack = false;
};
PackRequest ParsePackValue(std::string_view value);

std::string MessageReadLine();
std::string MessageKillLine();

// The question of a KLICKBUTTON request and the routine of each answer.
struct HubQuestion {
    std::string text, yes, no, cancel;
    bool HasCancel() const { return !cancel.empty(); }
};
HubQuestion ParseQuestion(std::string_view value);
// Message box answers (the system's numbers).
constexpr int kAnswerCancel = 2, kAnswerYes = 6, kAnswerNo = 7;
// The routine the answer runs; empty for answers that run none.
std::string QuestionRoutine(const HubQuestion& question, int answer);

// Reads %F and %INF whole, whatever they hold, and removes both.
std::string ReportLine();
struct HubReport {
    bool fDefined = false;
    std::string inf, f;
};
HubReport ParseReport(std::string_view output);
// What the report shows: %INF with the information icon, else %F with the exclamation icon;
// nothing (icon 0) while %F does not exist or both are empty.
constexpr unsigned kIconInformation = 0x40, kIconExclamation = 0x30;
struct ReportMessage {
    std::string text;
    unsigned icon = 0;
};
ReportMessage ChooseReportMessage(const HubReport& report);

// The file dialog filter for every file, after the label.
std::string AllFilesFilter(std::string_view label);

} // namespace vorlan
