#include "forms/PrintFormLogic.h"

#include <cctype>
#include <cstdlib>

namespace vorlan::printform {

Kind KindOf(std::string_view command) {
    if (command.size() < 2) return Kind::None;
    switch (command[1]) {
    case 'A': return Kind::View;
    case 'B': return Kind::Open;
    case 'S': return Kind::Pdf;
    case 'D': return Kind::Print;
    case 'F': return Kind::Fax;
    case 'Z': return Kind::MergeOnly;
    case 'E': return Kind::Refused;
    default: return Kind::None;
    }
}

bool Exists(std::string_view answer) {
    return !answer.empty() && answer != "0";
}

JobOptions ReadJobOptions(const Execute& execute) {
    JobOptions options;
    options.onePerPart = !execute(line::kMulti).empty();
    options.print = execute(line::kPrint);
    options.local = Exists(execute(line::kLocal));
    options.dir = WithBackslash(execute(line::kDir));
    options.name = WithRtf(execute(line::kName));
    options.filter = execute(line::kFilter);
    options.loadDir = execute(line::kLoadDir);
    int sleep = std::atoi(execute(line::kSleep).c_str());
    options.sleepMs = sleep > 0 ? sleep : 1000;
    options.layoutOnly = execute(line::kLayout) == "1";
    return options;
}

std::string WithBackslash(std::string folder) {
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    return folder;
}

namespace {

bool EndsWithNoCase(std::string_view text, std::string_view end) {
    if (text.size() < end.size()) return false;
    for (size_t i = 0; i < end.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[text.size() - end.size() + i])) !=
            std::tolower(static_cast<unsigned char>(end[i])))
            return false;
    return true;
}

} // namespace

std::string WithRtf(std::string name) {
    if (!name.empty() && !EndsWithNoCase(name, ".rtf")) name += ".rtf";
    return name;
}

OutputFolder OutputFolderOf(const std::string& dir, bool local, bool onePerPart) {
    if (!dir.empty() && !local) return OutputFolder::Given;
    if (!onePerPart) return OutputFolder::ProgramFolder;
    if (local) return OutputFolder::Temporary;
    return OutputFolder::AsGiven;
}

std::string TemplateFolderOf(const std::string& loadDir, const std::string& userFolder,
                             const std::string& profileFolder) {
    if (!loadDir.empty()) return loadDir;
    if (!userFolder.empty()) return userFolder;
    return profileFolder;
}

std::string OutputPathOf(const std::string& folder, const std::string& name, bool onePerPart) {
    if (!name.empty()) return folder + name;
    if (onePerPart) return folder;
    return std::string();
}

std::string ProbeName(int n) {
    return "VORLAN-Beleg#" + std::to_string(n) + ".rtf";
}

int RoundsOf(std::string_view print) {
    if (print.empty()) return 1;
    int rounds = std::atoi(std::string(print).c_str());
    return rounds < 1 ? 0 : rounds;
}

std::string FileNameOf(std::string_view path) {
    size_t slash = path.find_last_of('\\');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

namespace {

// The path without the extension of its file name.
std::string_view StemOf(std::string_view path) {
    size_t dot = path.find_last_of('.');
    size_t slash = path.find_last_of('\\');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return path;
    return path.substr(0, dot);
}

} // namespace

std::string PdfPathOf(std::string_view path) {
    return std::string(StemOf(path)) + ".pdf";
}

std::string FaxNumberOf(std::string_view path) {
    std::string_view stem = StemOf(path);
    size_t under = stem.find_last_of('_');
    size_t slash = stem.find_last_of('\\');
    if (under == std::string_view::npos || (slash != std::string_view::npos && under < slash)) return std::string();
    return std::string(stem.substr(under + 1));
}

bool HasDigit(std::string_view text) {
    for (char c : text)
        if (c >= '0' && c <= '9') return true;
    return false;
}

std::string FaxTitleOf(const std::string& fileName, bool throughWord) {
    return throughWord ? "Microsoft Word - " + fileName : fileName;
}

std::string FilePrinterLine(int n) {
    return "W $G(^ZDR(%JOB,\"SAVE\",\"PRINTER\"," + std::to_string(n) + "))";
}

std::string PrinterRefusedText(const std::string& printer) {
    return "Der Drucker \"" + printer + "\" ist nicht verfügbar.\nDas Dokument wurde nicht gedruckt.";
}

std::string NoViewerWindowText(const std::string& path) {
    return "Das Word-Anzeigeprogramm hat sich nicht gemeldet.\nDas Dokument wurde nicht gedruckt.\nPfad: " +
           path;
}

std::string NoFaxNumberText(const std::string& path) {
    return "Im Namen des Belegs steht keine Faxnummer.\nDer Beleg wurde nicht gefaxt.\nPfad: " + path;
}

std::string PathTooLongText(const std::string& path) {
    return "Der Pfad ist zu lang:\n" + path;
}

} // namespace vorlan::printform
