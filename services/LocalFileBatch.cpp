// The batch operations of the local file service: collecting files into archive folders and
// importing text files into the server.
#include "app/ProtocolLog.h"
#include "framework/App.h"
#include "framework/FolderFiles.h"
#include "framework/PathParts.h"
#include "services/LocalFile.h"
#include "services/RequestHub.h"
#include "tools/FileDropTarget.h"

using namespace vorlan;

namespace {

// A file that is still being written elsewhere gets a few more chances.
constexpr int kCopyTries = 10;
constexpr size_t kImportLineBytes = 1023;
constexpr size_t kImportAllLineBytes = 511;

bool Fits(const std::string& path) {
    return path.size() < kFilePathLimit;
}

bool CopyInto(const std::string& from, const std::string& to) {
    if (!Fits(to)) return false;
    std::string folder = fw::FolderOf(to);
    if (!folder.empty()) CFileDropTarget::MakeDirectory(folder.c_str());
    return fw::CopyOneFile(from, to, false);
}

bool CopyIntoRetrying(const std::string& from, const std::string& to) {
    if (!Fits(to)) return false;
    std::string folder = fw::FolderOf(to);
    if (!folder.empty()) CFileDropTarget::MakeDirectory(folder.c_str());
    return fw::CopyFileRetrying(from, to, kCopyTries);
}

// Through the command processor, waiting for it: the next file may depend on this one.
void RunCommand(const std::string& commandLine) {
    std::string line = "cmd.exe /s /c \"" + commandLine + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si,
                          &pi)) {
        WriteProtocol("CChildDialog::LocalFile - command failed (%lu)", kLogNote, ::GetLastError());
        return;
    }
    ::WaitForSingleObject(pi.hProcess, INFINITE);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
}

} // namespace

void CLocalFile::Collect(const std::string& path, const FileJob& job) {
    std::string source = SourceFolderOf(path);
    int number = 0;
    for (const fw::FolderEntry& entry : fw::ListFolder(path)) {
        std::string name = UpperName(entry.name);
        if (entry.folder || ExtensionOf(name) == ".JPG") continue;
        ++number;
        std::string from = source + entry.name;
        std::string to = CollectTarget(job.target, job.option, number, name);
        if (!CopyInto(from, to)) {
            AfxMessageBox(DriveFailureText(job.target, false).c_str(), MB_OK | MB_ICONEXCLAMATION);
            continue;
        }
        if (!job.secondTarget.empty() && !job.secondPrefix.empty()) {
            std::string second =
                job.secondTarget + job.secondPrefix + std::to_string(number) + ExtensionOf(name);
            if (!CopyInto(from, second)) {
                AfxMessageBox(DriveFailureText(job.secondTarget, true).c_str(), MB_OK | MB_ICONEXCLAMATION);
                continue; // the source stays while a copy is missing
            }
        }
        SubName parts = SplitSubName(name);
        M(CollectNameLine(job.resultRef, parts.name, parts.sub));
        if (job.deleteSource) ::DeleteFileA(from.c_str());
        if (!job.command.empty()) RunCommand(CollectCommand(job.command, job.commandMiddle, to));
    }
}

void CLocalFile::ImportLines(const std::string& file, const std::string& name, const std::string& resultRef,
                             size_t limit, bool keepWide) {
    std::string content;
    if (!fw::ReadWholeFile(file, content)) {
        WriteProtocol("CChildDialog::LocalFile - %s not read", kLogNote, file.c_str());
        return;
    }
    bool wide = keepWide && content.compare(0, 2, "\xFE\xFF") == 0;
    M(CountEndLine());
    for (const std::string& line : SplitLines(content, limit))
        M(ImportLine(resultRef, name, MapImportLine(line, wide)));
}

void CLocalFile::ImportArchive(const std::string& path, const FileJob& job) {
    std::string source = SourceFolderOf(path);
    for (const fw::FolderEntry& entry : fw::ListFolder(path)) {
        if (entry.folder) continue;
        std::string name = UpperName(entry.name);
        std::string from = source + entry.name;
        bool taken = IsImportedKind(name) && (name.find("DAD-ADUDIRU") == std::string::npos ||
                                              M(ImportedTestLine(job.resultRef, name)) == "0");
        if (!taken) {
            if (ExtensionOf(name) == ".JPG") ::DeleteFileA(from.c_str());
            continue;
        }
        if (NameMatches(name, job.option)) ImportLines(from, name, job.resultRef, kImportLineBytes, true);
        if (job.target.empty()) continue;
        SubName parts = SplitSubName(name);
        std::string to = job.target + (parts.sub.empty() ? "" : parts.sub + "\\") + parts.name;
        if (!CopyIntoRetrying(from, to)) {
            WriteProtocol("CChildDialog::LocalFile - %s not archived", kLogNote, from.c_str());
            continue;
        }
        M(ArchiveNameLine(job.resultRef, parts.sub, parts.name));
        ::DeleteFileA(from.c_str());
    }
}

void CLocalFile::ImportAll(const std::string& path, const FileJob& job) {
    std::string source = SourceFolderOf(path);
    for (const fw::FolderEntry& entry : fw::ListFolder(path)) {
        if (entry.folder || IsSkippedKind(entry.name)) continue;
        std::string from = source + entry.name;
        ImportLines(from, entry.name, job.resultRef, kImportAllLineBytes, false);
        if (job.target.empty()) continue;
        if (CopyIntoRetrying(from, job.target + entry.name))
            ::DeleteFileA(from.c_str());
        else
            WriteProtocol("CChildDialog::LocalFile - %s not moved", kLogNote, from.c_str());
    }
}
