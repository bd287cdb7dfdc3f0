#include "services/LocalFile.h"
#include "app/ProtocolLog.h"
#include "framework/App.h"
#include "framework/FileHandle.h"
#include "framework/FolderFiles.h"
#include "framework/PathParts.h"
#include "framework/ShellLink.h"
#include "services/HubLines.h"
#include "services/NodeServices.h"
#include "services/RequestHub.h"
#include "tools/FileDropTarget.h"

#include <cstdlib>

using namespace vorlan;

namespace {

bool Fits(const std::string& path) {
    return path.size() < kFilePathLimit;
}

bool IsOperationOnOneFile(int operation) {
    return operation >= kWriteBytes && operation <= kRead16;
}

void MakeFolderFor(const std::string& file) {
    std::string folder = fw::FolderOf(file);
    if (!folder.empty()) CFileDropTarget::MakeDirectory(folder.c_str());
}

} // namespace

std::string CLocalFile::M(const std::string& line) {
    return m_hub.Execute(line);
}

void CLocalFile::Run() {
    TraceFunction("CChildDialog::LocalFile");
    for (std::string key = M(FileNextJobLine("")); !key.empty(); key = M(FileNextJobLine(key))) {
        std::string path = M(FileJobPathLine(key));
        M(FileJobKillLine(key));
        FileJob job = ParseFileJob(M(FileJobParamsLine(path)));
        RunJob(path, job);
    }
    // Once its jobs are done the request goes, or every later pass would serve it again.
    M(FileRequestKillLine());
}

void CLocalFile::RunJob(const std::string& path, const FileJob& job) {
    WriteProtocol("CChildDialog::LocalFile - %d %s", kLogNote, job.operation, path.c_str());
    if (!Fits(path) || !Fits(job.target)) {
        WriteProtocol("CChildDialog::LocalFile - path too long", kLogNote);
        if (IsOperationOnOneFile(job.operation)) Report(path, false, job.target);
        return;
    }
    // Without a block size the server's data has no measure, and one beyond what a node holds
    // would only exhaust the memory: nothing is written or read.
    if (IsOperationOnOneFile(job.operation) && (job.blockSize <= 0 || job.blockSize > kBlockSizeLimit)) {
        Report(path, false, job.target);
        return;
    }
    switch (job.operation) {
    case kWriteBytes:
    case kWrite16: Report(path, WriteFile(path, job), job.target); break;
    case kReadBytes:
    case kRead16: Report(path, ReadFile(path, job), job.target); break;
    case kCopyFile: Copy(path, job); break;
    case kShortcut: Shortcut(path, job); break;
    case kMoveFile: Move(path, job); break;
    case kListFolder: List(path, job); break;
    case kCollect: Collect(path, job); break;
    case kImportArchive: ImportArchive(path, job); break;
    case kImportAll: ImportAll(path, job); break;
    default: break;
    }
}

// A node that decodes to more than its share is written whole: nothing of it is lost.
bool CLocalFile::WriteFile(const std::string& path, const FileJob& job) {
    MakeFolderFor(path);
    CFileHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen()) return false;
    auto write = [&](const std::string& bytes) {
        DWORD written = 0;
        return bytes.empty() ||
               (::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                written == bytes.size());
    };
    bool wide = job.operation == kWrite16;
    bool bigEndian = wide && IsBigEndian(job.option);
    bool ok = !wide || write(ByteOrderMark(job.option));
    DataNodeDecoder decoder;
    long node = 0;
    for (std::string n; ok && !(n = M(FileNextDataLine(path, node))).empty();) {
        node = std::atol(n.c_str());
        if (std::to_string(node) != n) break; // only the numbered data nodes
        std::string decoded = decoder.Decode(M(FileDataLine(path, node)));
        ok = write(wide ? WideUnits(decoded, bigEndian) : decoded);
    }
    return ok;
}

bool CLocalFile::ReadFile(const std::string& path, const FileJob& job) {
    CFileHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen()) return false;
    std::string block(static_cast<size_t>(job.blockSize), '\0');
    FirstByteReader firstBytes;
    long n = 0;
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file, &block[0], static_cast<DWORD>(block.size()), &got, nullptr) || got == 0) break;
        std::string bytes = block.substr(0, got);
        if (job.operation == kRead16) bytes = firstBytes.Take(bytes);
        if (bytes.empty()) continue;
        for (const std::string& line : FileReadLines(path, ++n, bytes))
            M(line);
    }
    return true;
}

void CLocalFile::Report(const std::string& path, bool ok, const std::string& routine) {
    M(FileDoneLine(path, ok, routine));
    ReportMessage message = ChooseReportMessage(ParseReport(M(ReportLine())));
    if (message.icon) AfxMessageBox(message.text.c_str(), MB_OK | message.icon);
}

void CLocalFile::Copy(const std::string& path, const FileJob& job) {
    MakeFolderFor(job.target);
    if (!fw::CopyOneFile(path, job.target, true))
        WriteProtocol("CChildDialog::LocalFile - copy failed (%lu)", kLogNote, ::GetLastError());
}

void CLocalFile::Shortcut(const std::string& path, const FileJob& job) {
    std::string link = job.target + ".lnk";
    if (!Fits(link)) return;
    MakeFolderFor(link);
    HRESULT hr = fw::CreateShellLink(link, path);
    if (FAILED(hr)) WriteProtocol("CChildDialog::LocalFile - shortcut failed (%08lx)", kLogNote, hr);
}

void CLocalFile::Move(const std::string& path, const FileJob& job) {
    std::string target = job.target;
    if (job.option.empty()) {
        if (!target.empty() && target.back() != '\\') target += '\\';
        target += fw::FileNameOf(path);
    } else {
        target += job.option;
    }
    if (!Fits(target)) return;
    if (fw::CopyOneFile(path, target, true))
        ::DeleteFileA(path.c_str());
    else
        WriteProtocol("CChildDialog::LocalFile - move failed (%lu)", kLogNote, ::GetLastError());
}

void CLocalFile::List(const std::string& path, const FileJob& job) {
    M(ListStartLine());
    for (const fw::FolderEntry& entry : fw::ListFolder(path)) {
        std::string name = UpperName(entry.name);
        if (!NameMatches(name, job.option)) continue;
        SYSTEMTIME t = fw::LocalTimeOf(entry.lastWrite);
        M(ListEntryLine(job.resultRef, name,
                        FileTimeText(t.wDay, t.wMonth, t.wYear, t.wHour, t.wMinute, t.wSecond)));
    }
    M(CountEndLine());
}

namespace vorlan {

void ServeLocalFile(CRequestHub& hub, const RequestNode&) {
    CLocalFile(hub).Run();
}

} // namespace vorlan
