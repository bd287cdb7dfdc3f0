#include "app/AppLogic.h"
#include "app/ErrorDialog.h"
#include "app/MCommandDriver.h"
#include "app/ProtocolLog.h"
#include "app/OnlineDebugger.h"
#include "app/Session.h"
#include "app/SettingsBlock.h"
#include "app/VORLANSocket.h"
#include "framework/App.h"
#include "common/MQuote.h"
#include "resources/resource.h"

#include <cstdlib>
#include <memory>
#include <cstring>
#include <ctime>

using namespace vorlan;

namespace {

constexpr int kConnectionLost = 10006;
constexpr int kServerModeError = 10070; // <MODER>
constexpr int kServerDiskFull = 10067;  // <DKFUL>
constexpr int kNoConnection = 10001;
constexpr int kSecondConnectionTimeout = 5; // seconds; the wait dialog must not hang on it

const char* const kNoServerText = "VORLAN konnte keine Verbindung mit dem Server herstellen.\n\n"
                                  "  Bitte stellen Sie sicher, dass das Netzwerk funktioniert\n"
                                  "  und die Datenbank betriebsbereit ist.";

} // namespace

CSession::CSession(const vorlan::SettingsBlock& settings)
    : m_settings(settings), m_pResult(new char[kResultBufferSize]) {
    m_pResult[0] = '\0';
}

CSession::~CSession() = default;

void CSession::SetTransport(std::unique_ptr<ISessionTransport> transport) {
    m_pTransport = std::move(transport);
}

bool CSession::Connect() {
    TraceFunction("CSession::Connect");
    if (!m_settings.remote) {
        if (!ConnectLocal()) return false;
        InitWaitThread();
        return true;
    }
    if (UsesSocket()) { // the socket connects at log-in
        InitWaitThread();
        return true;
    }
    if (!m_pTransport) return false;
    int rc = m_pTransport->Initialize();
    if (rc == 10010 || rc == 10011) {
        const char* text = rc == 10010 ? "Cannot load Winsock" : "Winsock v1.1 or later required";
        COLEErrorDialog dlg(*this, "General error:", text, nullptr);
        dlg.DoModal();
        return false;
    }
    InitWaitThread();
    return true;
}

int CSession::Login(const char* host, int port, const char* password, const char* uci, const char* volume,
                    bool setPartitionSize) {
    TraceFunction("CSession::Login");
    if (!m_settings.remote) return 0;
    if (UsesSocket()) {
        if (!LoginSocket(host, port, uci, volume)) return 0;
    } else {
        if (!m_pTransport) return 0;
        LoginClientLibrary(host, port, password, uci, volume, setPartitionSize);
    }
    m_strUCI = uci ? uci : "";
    m_strVolume = volume ? volume : "";
    m_strJob = m_hConnection ? Execute(kJobLine) : CString();
    if (m_settings.AnyProtocol() && ProtocolFileName().empty() && !m_strJob.IsEmpty())
        WriteProtocol(m_strJob, kLogName);
    return m_hConnection;
}

void CSession::LoginClientLibrary(const char* host, int port, const char* password, const char* uci,
                                  const char* volume, bool setPartitionSize) {
    if (m_pSocket) CloseSocket(); // the settings changed the transport
    if (m_hConnection) m_pTransport->Logout(m_hConnection);
    m_hConnection = 0;
    int handle = m_pTransport->Login(host, port, uci, volume, password);
    if (!IsConnectionHandle(handle)) {
        if (handle == kNoConnection) {
            ShowNoServerMessage();
        } else {
            CString text;
            text.Format("VORLAN konnte sich nicht am Server anmelden (Fehler %d).\n\n"
                        "  Bitte stellen Sie sicher, dass die Einstellungen korrekt sind.",
                        handle);
            AfxMessageBox(text, MB_OK | MB_ICONSTOP);
        }
    } else {
        m_hConnection = handle;
        m_pTransport->Timeout(handle, 32767);
        if (setPartitionSize) m_pTransport->PartSize(handle, 1024);
    }
}

void CSession::ShowNoServerMessage() {
    AfxMessageBox(kNoServerText, MB_OK | MB_ICONSTOP);
}

void CSession::WriteTimeLine() {
    SYSTEMTIME st;
    ::GetLocalTime(&st);
    std::time_t now = std::time(nullptr);
    char text[64] = {};
    std::strftime(text, sizeof text, "%a %b %d %H:%M:%S", std::localtime(&now));
    WriteProtocol("The time is %.19s.%hu", kLogTiming, text, st.wMilliseconds);
}

int CSession::CallTransport(const char* code, char* buffer, int capacity) {
    if (::InterlockedIncrement(&m_nExecuting) == 1 && m_nLongOperations == 0)
        m_dwStartTick = ::GetTickCount();
    bool timed = m_settings.protocolTime != 0;
    DWORD before = 0;
    if (timed) {
        WriteTimeLine();
        before = ::GetTickCount();
    }
    buffer[0] = '\0';
    int rc = m_pSocket ? m_pSocket->Execute(code, buffer, capacity)
                       : m_pTransport->Xecute(m_hConnection, code, buffer, capacity);
    buffer[capacity - 1] = '\0';
    if (timed) {
        WriteTimeLine();
        // Elapsed ticks: the millisecond fields alone are wrong for calls over a second.
        DWORD elapsed = ::GetTickCount() - before;
        if (elapsed) WriteProtocol("Millisekunden: %d", kLogTiming, static_cast<int>(elapsed));
    }
    if (::InterlockedDecrement(&m_nExecuting) == 0 && m_nLongOperations == 0 && m_pWaitDlg)
        WaitForWaitDialog();
    return rc;
}

CString CSession::Execute(const char* code, int silent) {
    TraceFunction("CSession::Execute");
    if (m_settings.AnyProtocol()) WriteProtocol(code ? code : "", kLogCode);
    if (!code || !*code) return CString();
    CSingleLock lock(m_csExecute);
    ::InterlockedIncrement(&m_nBusy);
    CString result;
    m_nLastError = 0;
    m_strLastError.Empty();
    if (m_settings.remote && m_hConnection && (m_pSocket || m_pTransport)) {
        int rc = CallTransport(code, m_pResult.get(), kResultBufferSize);
        result = m_pResult.get();
        if (rc != 0) {
            // An error text is no answer: callers that test for one must not take it as one.
            CString text = result;
            result.Empty();
            if (!silent) HandleServerError(rc, text, code); // runs lines of its own
            m_nLastError = rc;
            m_strLastError = text;
        }
    } else if (!m_settings.remote && m_pDriver) {
        result = ExecuteLocal(code, silent);
    }
    if (m_settings.AnyProtocol()) WriteProtocol(result, kLogOutput);
    ::InterlockedDecrement(&m_nBusy);
    return result;
}

void CSession::HandleServerError(int rc, const CString& text, const char* code) {
    TraceFunction("CSession::HandleServerError");
    switch (rc) {
    case kConnectionLost:
        AfxMessageBox("Verbindung zur Datenbank wurde unterbrochen.\nVORLAN wird beendet.",
                      MB_OK | MB_ICONSTOP);
        Disconnect();
        ::ExitProcess(static_cast<UINT>(-1));
    case kServerModeError: AfxMessageBox(IDS_SERVER_MODE_ERROR); return;
    case kServerDiskFull: AfxMessageBox(IDS_SERVER_DISK_FULL); return;
    default: break;
    }
    // The server may know better what to do with its own error.
    std::string line = ServerErrorLine(text.str());
    if (std::atoi(Execute(line.c_str(), 1)) != 0) return;
    CString message;
    message.Format("(#%d)%s", rc, text.c_str());
    if (!m_settings.debug) {
        COLEErrorDialog dlg(*this, message, code, nullptr);
        dlg.DoModal();
    } else {
        RunOnlineDebugger(text, code);
    }
}

bool CSession::ExecuteOnce(const char* code, char* out, int capacity) {
    TraceFunction("CSession::ExecuteOnce");
    if (!m_settings.remote || !out || capacity <= 0) return false;
    if (UsesSocket()) return ExecuteOnceSocket(code, out, capacity);
    if (!m_pTransport) return false;
    int handle = m_pTransport->Login(m_settings.address, std::atoi(m_settings.apiPort), m_strUCI, m_strVolume,
                                     m_settings.apiPassword);
    if (!IsConnectionHandle(handle)) return false;
    m_pTransport->Timeout(handle, kSecondConnectionTimeout);
    out[0] = '\0';
    int rc = m_pTransport->Xecute(handle, code, out, capacity);
    out[capacity - 1] = '\0';
    m_pTransport->Logout(handle);
    if (rc != 0) {
        out[0] = '\0';
        return false;
    }
    return true;
}

void CSession::Disconnect() {
    TraceFunction("CSession::Disconnect");
    UninitWaitThread();
    if (m_pSocket) {
        CloseSocket();
    } else if (m_settings.remote && m_hConnection && m_pTransport) {
        m_pTransport->Logout(m_hConnection);
        m_pTransport->Rundown();
    } else if (!m_settings.remote) {
        DisconnectLocal();
    }
    m_hConnection = 0;
}

void CSession::RunOnlineDebugger(const char* error, const char* line) {
    if (m_bConsoleOpen) return; // one console at a time
    const char* title = "VORLAN Debug Window";
    std::unique_ptr<IDebugConsole> console =
        m_makeConsole ? m_makeConsole(title) : std::make_unique<CWin32Console>(title);
    m_bConsoleOpen = true;
    OnlineDebugger(*console, *this, error, line);
    m_bConsoleOpen = false;
}
