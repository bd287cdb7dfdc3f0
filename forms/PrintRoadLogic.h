#pragma once
// What a form does after its save step: the print road (output device codes and the lines
// around them), the server's chain of sub-dialogs and the screen's repetition.

#include "services/PrinterChoiceLogic.h"

#include <functional>
#include <string>
#include <string_view>

namespace vorlan {

enum class PrintStep { None, ListPrint, TextFile, ListPrinter, FormPrinter, Excel, Routine };
PrintStep PrintStepOf(int code);

// What the main screen's "KARTEI" node says for the end of its last page.
struct CardIndexEnd {
    bool repeatFirst = false; // piece 2 "J"
    std::string routine;      // piece 3
};
CardIndexEnd ParseCardIndexEnd(std::string_view node);

std::string FormPrintLine(std::string_view description);

namespace line {
constexpr const char* kSavedDevice = "W $G(^ZDR(%JOB,\"SAVE\",\"WORD\"))";
constexpr const char* kPrintBreak = "W:$D(^ZDR(%JOB,\"SAVE\",\"BREAK\")) 1";
constexpr const char* kKillPrintBreak = "K ^ZDR(%JOB,\"SAVE\",\"BREAK\"),^ZDR(%JOB)";
constexpr const char* kListPrintRoutine = "W $G(%WIN(\"DRUCK\"))";
constexpr const char* kListPrintText = "W $$DRUCKS^QCC(65535)";
constexpr const char* kOwnPrintRoutine = "W:'$D(%BJ) 1";
constexpr const char* kRunPrintRoutine = "D @%RTN";
constexpr const char* kRunBatchPrint = "D ^QDRS";
constexpr const char* kExcelDataExists = "W:$D(^QTEMP(%JOB,\"EXCEL\")) 1";
constexpr const char* kPendingSubDialog = "W $G(%DDN)";
constexpr const char* kSubDialogWord = "W $G(%DDN(\"WORD\"))";
constexpr const char* kTakeSubDialogPath = "W $G(%DDN(\"PATH\")) K %DDN";
} // namespace line

} // namespace vorlan
