#pragma once
// The server session: the program's one conversation with the M server. Every M line of
// every window goes through Execute, which serialises the calls, runs them through the
// transport into one result buffer and handles server errors centrally. The session also
// runs the wait thread, which shows the wait dialog while a call takes long and asks the
// server about it over a second connection of its own.

#include "app/SessionTransport.h"
#include "framework/FwString.h"
#include "framework/Sync.h"

#include <windows.h>

#include <functional>
#include <memory>

namespace vorlan {
struct SettingsBlock;
}
class CDlgWaitExecute;
class CMCommandDriver;
class CVORLANSocket;
class IDebugConsole;

class CSession {
  public:
    // The settings are read on every call: the command line and the options change them.
    explicit CSession(const vorlan::SettingsBlock& settings);
    ~CSession();
    CSession(const CSession&) = delete;
    CSession& operator=(const CSession&) = delete;

    // What the program plugs in at start and test programs replace.
    using ConsoleFactory = std::function<std::unique_ptr<IDebugConsole>(const char* title)>;
    void SetTransport(std::unique_ptr<ISessionTransport> transport);
    // Without one the debugger opens the process's own console.
    void SetConsoleFactory(ConsoleFactory factory) { m_makeConsole = std::move(factory); }

    bool Connect();
    int Login(const char* host, int port, const char* password, const char* uci, const char* volume,
              bool setPartitionSize);
    // What the line writes. A failing line returns an empty text; its error number and text
    // stay readable until the next line (a silent line shows nothing of it).
    CString Execute(const char* code, int silent = 0);
    CString Execute(const std::string& code, int silent = 0) { return Execute(code.c_str(), silent); }
    // On a connection of its own, without the lock: for the wait dialog.
    bool ExecuteOnce(const char* code, char* out, int capacity);
    void Disconnect();

    // A server connection with its handle, or the local database open.
    bool IsLoggedIn() const;
    // The local database's volume group that the log-in mounted ("" for none); unmounted at
    // close.
    const CString& MountedDatabase() const { return m_strMounted; }
    void SetMountedDatabase(const char* name) { m_strMounted = name; }
    // The program's settings (switches such as pics, ring, com, lpt and the protocol).
    const vorlan::SettingsBlock& Settings() const { return m_settings; }
    int Handle() const { return m_hConnection; }
    // A line is running: closing the program now would cut it off.
    bool IsBusy() const { return m_nBusy != 0; }
    // Lines running on this thread, the error handling's own line included.
    int BusyDepth() const { return static_cast<int>(m_nBusy); }
    const CString& Job() const { return m_strJob; }
    int LastError() const { return m_nLastError; }
    const CString& LastErrorText() const { return m_strLastError; }

    // The online debugger in a console of its own; one at a time.
    void RunOnlineDebugger(const char* error, const char* line);
    bool IsConsoleOpen() const { return m_bConsoleOpen; }

    // The wait thread. Other long operations of the main thread are counted like a running
    // line (they also start the clock).
    void InitWaitThread();
    void UninitWaitThread();
    void BeginLongOperation();
    void EndLongOperation();
    bool IsWaitThreadRunning() const { return m_hWaitThread != nullptr; }
    bool IsWaitDialogShown() const { return m_pWaitDlg != nullptr; }
    // How long the main thread waits at most for the wait dialog to go.
    void SetWaitDialogLimit(DWORD ms) { m_dwWaitDialogLimit = ms; }

  private:
    void LoginClientLibrary(const char* host, int port, const char* password, const char* uci,
                            const char* volume, bool setPartitionSize);
    static void ShowNoServerMessage();
    int CallTransport(const char* code, char* buffer, int capacity);
    void HandleServerError(int rc, const CString& text, const char* code);
    void WriteTimeLine();
    static DWORD WINAPI ThreadWaitExecute(void* param);
    void WaitThreadLoop();
    void WaitForWaitDialog();
    // The application server's own protocol (transport kind 1).
    bool UsesSocket() const;
    bool LoginSocket(const char* host, int port, const char* uci, const char* volume);
    bool ExecuteOnceSocket(const char* code, char* out, int capacity);
    void CloseSocket();
    // The local database's automation object (remote flag 0).
    bool ConnectLocal();
    CString ExecuteLocal(const char* code, int silent);
    void DisconnectLocal();

    const vorlan::SettingsBlock& m_settings;
    std::unique_ptr<ISessionTransport> m_pTransport;
    std::unique_ptr<CVORLANSocket> m_pSocket;   // only while logged in through it
    std::unique_ptr<CMCommandDriver> m_pDriver; // only while the local database is open
    CString m_strMounted;
    std::unique_ptr<char[]> m_pResult;
    ConsoleFactory m_makeConsole;
    bool m_bConsoleOpen = false;

    int m_hConnection = 0;
    int m_nLastError = 0;
    CString m_strLastError;
    CString m_strJob, m_strUCI, m_strVolume;
    CCriticalSection m_csExecute;
    volatile LONG m_nBusy = 0;

    // Shared with the wait thread
    volatile LONG m_nExecuting = 0;
    volatile LONG m_nLongOperations = 0;
    volatile DWORD m_dwStartTick = 0;
    HANDLE m_hWaitEvent = nullptr;
    CDlgWaitExecute* volatile m_pWaitDlg = nullptr;
    HANDLE m_hWaitThread = nullptr;
    volatile LONG m_bStopWait = 0;
    DWORD m_dwWaitDialogLimit = 10000;
};

// A long operation of the main thread for as long as the object lives.
class CLongOperation {
  public:
    explicit CLongOperation(CSession& session) : m_session(session) { m_session.BeginLongOperation(); }
    ~CLongOperation() { m_session.EndLongOperation(); }
    CLongOperation(const CLongOperation&) = delete;
    CLongOperation& operator=(const CLongOperation&) = delete;

  private:
    CSession& m_session;
};

// The program's one session (the application object owns it).
CSession& TheSession();

constexpr int kResultBufferSize = 0x10000;
