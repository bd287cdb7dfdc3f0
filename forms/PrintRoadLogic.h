#pragma once
// What a form does after its save step: the print road (output device codes and the lines
// around them), the server's chain of sub-dialogs and the screen's repetition.

#include <functional>
#include <string>
#include <string_view>

namespace vorlan {

// The output device codes of the printer choice; every code not named here asks for the
// screen's print routine.
enum DeviceCode : int {
    kDeviceCancel = 2,
    kDeviceListPrint = 3, // the screen's own list print
    kDeviceTextFile = 4,
    kDevicePrinterSetUp = 116,
    kDeviceListPrinter = 117,
    kDeviceFormPrinter = 118,
    kDeviceExcel = 119,
};
// The printer set-up dialog's OK.
constexpr int kSetUpOk = 1;
// The code of a device text, or 0 when the text names a printer that the set-up dialog
// chooses.
int DeviceCodeOf(std::string_view device);
// The choice of a device text: the server is told the device (%DEV), a text that names no
// device of its own goes through the printer set-up dialog (IDOK, landscape or not, or what
// else it answered), and the server sets up the chosen device, except a text file and a
// set-up left without OK. Returns the device code.
int ChooseDevice(const std::function<void(const std::string&)>& execute, const std::string& device,
                 const std::function<int(bool& landscape)>& printerSetUp);

enum class PrintStep { None, ListPrint, TextFile, ListPrinter, FormPrinter, Excel, Routine };
PrintStep PrintStepOf(int code);

// A failing grid cell as $$PRUEFS^QCC() names it: row§column§message, both 1-based.
struct GridCheck {
    bool failed = false;
    int row = 0, column = 0;
    std::string message;
};
GridCheck ParseGridCheck(std::string_view answer);

// What the main screen's "KARTEI" node says for the end of its last page.
struct CardIndexEnd {
    bool repeatFirst = false; // piece 2 "J"
    std::string routine;      // piece 3
};
CardIndexEnd ParseCardIndexEnd(std::string_view node);

std::string SetDeviceLine(std::string_view device);
std::string PaperFormLine(bool landscape);
std::string FormPrintLine(std::string_view description);

namespace line {
constexpr const char* kSetUpDevice = "D SET^WQDA";
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
