// The eGK documents pass through files under C:\TEMP that other programs of the workstation
// read too, so their names are fixed and shared by every session on the machine; a named lock
// keeps one session's documents from mixing with another's between writing and sending.
#include "cards/CardResults.h"

#include "app/ProtocolLog.h"
#include "app/Session.h"
#include "cards/KvkRecords.h"
#include "framework/App.h"
#include "framework/FileHandle.h"
#include "framework/LoadedLibrary.h"

#include <windows.h>

#include <string>

namespace vorlan {

namespace {

constexpr const char* kDocumentLockName = "Global\\VORLAN.CardDocuments";

// The zlib library of that name is built with the system's calling convention.
using GzOpen = void*(WINAPI*)(const char* path, const char* mode);
using GzRead = int(WINAPI*)(void* file, void* buffer, unsigned length);
using GzClose = int(WINAPI*)(void* file);

class CNamedLock {
  public:
    explicit CNamedLock(const char* name) : m_h(::CreateMutexA(nullptr, FALSE, name)) {
        if (!m_h) {
            WriteProtocol("CardResults - lock %s not created (%lu)", kLogNote, name, ::GetLastError());
            return;
        }
        // An abandoned lock is ours too: its owner ended without sending.
        DWORD result = ::WaitForSingleObject(m_h, INFINITE);
        m_owned = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
    }
    ~CNamedLock() {
        if (m_owned) ::ReleaseMutex(m_h);
        if (m_h) ::CloseHandle(m_h);
    }
    CNamedLock(const CNamedLock&) = delete;
    CNamedLock& operator=(const CNamedLock&) = delete;

  private:
    HANDLE m_h;
    bool m_owned = false;
};

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
    CFileHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen()) return false;
    DWORD written = 0;
    return bytes.empty() ||
           (::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
            written == bytes.size());
}

class CGzFile {
  public:
    CGzFile(GzOpen open, GzClose close, const std::string& path)
        : m_close(close), m_file(open(path.c_str(), "rb")) {}
    ~CGzFile() {
        if (m_file) m_close(m_file);
    }
    CGzFile(const CGzFile&) = delete;
    CGzFile& operator=(const CGzFile&) = delete;
    void* Get() const { return m_file; }

  private:
    GzClose m_close;
    void* m_file;
};

void SendDocument(CSession& session, EgkDocument document, GzOpen gzopen, GzRead gzread, GzClose gzclose) {
    CGzFile packed(gzopen, gzclose, EgkPackedPath(document));
    CFileHandle plain(::CreateFileA(EgkPlainPath(document).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!packed.Get() || !plain.IsOpen()) return;
    char piece[kEgkPieceSize];
    int n = 0;
    for (int got; (got = gzread(packed.Get(), piece, sizeof piece)) > 0;) {
        DWORD written = 0;
        ::WriteFile(plain, piece, static_cast<DWORD>(got), &written, nullptr);
        session.Execute(EgkPieceLine(document, ++n, std::string_view(piece, static_cast<size_t>(got))));
    }
}

} // namespace

void SendCardKind(CSession& session, const char* kind) {
    TraceFunction("CardResults::SendCardKind");
    session.Execute(CardKindLine(kind));
}

void SendKvkFields(CSession& session, const uint8_t* answer, size_t length) {
    TraceFunction("CardResults::SendKvkFields");
    for (const KvkField& field : WalkKvk(answer, length))
        session.Execute(KvkFieldLine(field.number, field.text));
}

void SendCardPort(CSession& session, int port) {
    TraceFunction("CardResults::SendCardPort");
    session.Execute(CardPortLine(port));
}

void DeliverEgkDocuments(CSession& session, const EgkDocuments& documents) {
    TraceFunction("CardResults::DeliverEgkDocuments");
    CNamedLock lock(kDocumentLockName);
    ::CreateDirectoryA(kEgkFolder, nullptr);
    const std::string* packed[] = {&documents.pd, &documents.vd, &documents.gvd};
    bool written[3] = {};
    for (size_t i = 0; i < 3; ++i) {
        EgkDocument document = kEgkDocuments[i];
        written[i] = WriteWholeFile(EgkPackedPath(document), *packed[i]);
        // A file left from an earlier card must not be taken for this one.
        if (!written[i]) ::DeleteFileA(EgkPackedPath(document).c_str());
    }
    CLoadedLibrary zlib("zlibwapi.dll");
    auto gzopen = zlib.Entry<GzOpen>("gzopen");
    auto gzread = zlib.Entry<GzRead>("gzread");
    auto gzclose = zlib.Entry<GzClose>("gzclose");
    if (!gzopen || !gzread || !gzclose) {
        ShowCardMessage(CardMessage::ZlibMissing);
        return;
    }
    session.Execute(kEgkKillLine);
    for (size_t i = 0; i < 3; ++i)
        if (written[i]) SendDocument(session, kEgkDocuments[i], gzopen, gzread, gzclose);
}

void ShowCardMessage(CardMessage message) {
    TraceFunction("CardResults::ShowCardMessage");
    AfxMessageBox(CardMessageText(message), MB_OK);
}

int AskCardQuestion(CardMessage message) {
    TraceFunction("CardResults::AskCardQuestion");
    return AfxMessageBox(CardMessageText(message), MB_OKCANCEL);
}

} // namespace vorlan
