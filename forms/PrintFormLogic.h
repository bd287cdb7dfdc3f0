#pragma once
// The form printer's rules without a window: the job options the server leaves in ^ZDR, the
// kind of output, where documents go, how often Word handles each of them and the fax number
// in a document's name.

#include <functional>
#include <string>
#include <string_view>

namespace vorlan::printform {

// The second character of the device text; a shorter text is none of them.
enum class Kind { None, View, Open, Pdf, Print, Fax, MergeOnly, Refused };
Kind KindOf(std::string_view command);

using Execute = std::function<std::string(const std::string&)>;

// What the server said about the job when it began. MULTI, PRINT and LOCAL are read once:
// the server's nodes are gone afterwards.
struct JobOptions {
    bool onePerPart = false;
    std::string print; // rounds through Word, as the server wrote it
    bool local = false;
    std::string dir, name, filter, loadDir;
    int sleepMs = 1000;
    bool layoutOnly = false;
};
JobOptions ReadJobOptions(const Execute& execute);

// "\" appended to a folder that is given and does not end in one.
std::string WithBackslash(std::string folder);
// ".rtf" appended to a name that is given and does not end in it.
std::string WithRtf(std::string name);

enum class OutputFolder { Given, ProgramFolder, Temporary, AsGiven };
// The first rule that applies, in this order: a folder given and not local, the program's
// folder for a single document, the temporary folder when local, the folder as it stands.
OutputFolder OutputFolderOf(const std::string& dir, bool local, bool onePerPart);

// The job's template folder, else the user's Word forms folder, else the workstation's.
std::string TemplateFolderOf(const std::string& loadDir, const std::string& userFolder,
                             const std::string& profileFolder);

// The output path for a name given or for documents named by part; empty when a single
// document without a name needs a free name in the temporary folder.
std::string OutputPathOf(const std::string& folder, const std::string& name, bool onePerPart);
// A free name for a single document: the first of 1..99 that can be taken, else 99.
std::string ProbeName(int n);
constexpr int kProbeNames = 99;
// The longest path Windows takes.
constexpr size_t kMaxPath = 259;

// Rounds per document through Word: empty is 1, a value below 1 none.
int RoundsOf(std::string_view print);

std::string FileNameOf(std::string_view path);
std::string PdfPathOf(std::string_view path);
// The text after the last "_" of the document's name, up to its extension.
std::string FaxNumberOf(std::string_view path);
bool HasDigit(std::string_view text);
// What the fax software sees as the job's title.
std::string FaxTitleOf(const std::string& fileName, bool throughWord);

// ---- the server lines
namespace line {
inline constexpr char kMulti[] = "W $G(^ZDR(%JOB,\"SAVE\",\"MULTI\")) K ^ZDR(%JOB,\"SAVE\",\"MULTI\")";
inline constexpr char kPrint[] = "W $G(^ZDR(%JOB,\"SAVE\",\"PRINT\")) K ^ZDR(%JOB,\"SAVE\",\"PRINT\")";
inline constexpr char kLocal[] = "W $D(^ZDR(%JOB,\"SAVE\",\"LOCAL\")) K ^ZDR(%JOB,\"SAVE\",\"LOCAL\")";
inline constexpr char kDir[] = "W $G(^ZDR(%JOB,\"SAVE\",\"DIR\"))";
inline constexpr char kName[] = "W $G(^ZDR(%JOB,\"SAVE\",\"NAME\"))";
inline constexpr char kFilter[] = "W $G(^ZDR(%JOB,\"SAVE\",\"FORM\"))";
inline constexpr char kLoadDir[] = "W $G(^ZDR(%JOB,\"LOAD\",\"DIR\"))";
inline constexpr char kSleep[] = "W +$G(^ZDR(%JOB,\"LOAD\",\"SLEEP\"))";
inline constexpr char kLayout[] = "W $G(^ZDR(%JOB,\"SAVE\",\"TYP\"))";
inline constexpr char kFaxDirExists[] = "W $D(^ZDR(%JOB,\"SAVE\",\"FAXDIR\"))";
inline constexpr char kFaxDir[] = "W $G(^ZDR(%JOB,\"SAVE\",\"FAXDIR\"))";
inline constexpr char kFormPrefix[] = "W $G(%FORM)_\"_\"";
inline constexpr char kFormName[] = "W $G(%FORM)";
inline constexpr char kRunPrintRoutine[] = "D @%RTN";
// Not "0" when the form is delivered as PDF; a form or module not named is not.
inline constexpr char kPdfForm[] = "W $S($G(%MI)=\"\"!($G(%FORM)=\"\"):0,1:$D(^ZFOPDF(%MI,\"PDF\",%FORM)))";
inline constexpr char kWait[] = "W $G(^ZDR(%JOB,\"SAVE\",\"WAIT\"))";
inline constexpr char kPrintWord[] = "W $D(^ZDR(%JOB,\"SAVE\",\"PRINTWORD\"))";
inline constexpr char kPrinter[] = "W $G(^ZDR(%JOB,\"SAVE\",\"PRINTER\"))";
inline constexpr char kFaxNoCheck[] = "W $G(^ZDR(%JOB,\"SAVE\",\"FAXNOCHECK\"))";
inline constexpr char kFaxWord[] = "W $G(^ZDR(%JOB,\"SAVE\",\"FAXWORD\"))";
inline constexpr char kFaxPrinter[] = "W $G(^ZDR(%JOB,\"SAVE\",\"FAXPRINTER\"))";
} // namespace line
// The printer of the n-th document (n from 1).
std::string FilePrinterLine(int n);
// $D's answer: the node is there.
bool Exists(std::string_view answer);

// ---- the messages
namespace text {
inline constexpr char kFaxNotAllowed[] =
    "Belege aus diesem Programm können nicht gefaxt werden.\nWenden Sie sich bitte an den VORLAN-Support.";
inline constexpr char kNoFaxFolder[] =
    "Es wurde kein Pfad zur Ablage der Fax-Belege hinterlegt.\nDazu bitte das Programm [ZOZE] verwenden.";
inline constexpr char kNotEnabled[] = "Zum aktuellen Zeitpunkt sind diese beiden Optionen noch nicht freigeschaltet!";
inline constexpr char kContinue[] = "Mit dem Drucken fortfahren!";
inline constexpr char kNoWord[] = "Word konnte nicht gefunden werden.";
inline constexpr char kNotOpened[] = "Das Dokument konnte nicht geöffnet werden! \nPfad: ";
inline constexpr char kNotSaved[] = "Das Dokument konnte nicht gespeichert werden!";
inline constexpr char kNotPrinted[] = "Das Dokument konnte nicht gedruckt werden!";
} // namespace text
std::string PrinterRefusedText(const std::string& printer);
std::string NoViewerWindowText(const std::string& path);
std::string NoFaxNumberText(const std::string& path);
std::string PathTooLongText(const std::string& path);

} // namespace vorlan::printform
