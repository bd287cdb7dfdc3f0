#pragma once
// The database vendor's automation object "M.Command", through which the program reaches a
// database on this machine instead of a server: one line of M code per call of its execute
// method, and what the line writes comes back.

#include "framework/Dispatch.h"
#include "framework/FwString.h"

#include <functional>

class CMCommandDriver : public CDispatchDriver {
  public:
    enum : DISPID {
        kAccessMode = 101, // property put: "LOCALOLE"
        kEnginePath = 102, // property put: the engine program
        kState = 115,      // property get: non-zero while a connection is open
        kOpen = 3,         // method: 16-bit status, 512-1023 failure
        kClose = 4,        // method: 16-bit status
        kExecute = 2,      // method: the line's output
    };
    // How long the state may read non-zero after the close before it is given up on.
    static constexpr DWORD kCloseWait = 5000;

    // Reports a failed line that is not silent (the error dialog or the debugger).
    using ErrorHandler = std::function<void(const CString& description, const char* code)>;

    CMCommandDriver() = default;
    ~CMCommandDriver() { Close(); }

    // True when the ProgID names a class and its object was made.
    bool Create();
    // Sets the engine and access mode, closes a connection left open and opens one: its
    // status. Throws CDispatchException.
    int Open(const char* enginePath);
    bool IsOpen() const { return m_bOpen; }
    // Closes an open connection and waits, bounded, for the state to read 0.
    void Close();

    // The line's output. A failing line returns ""; its description is left in `error`, and
    // when the line is not silent it goes to the error handler as well. Nothing is sent
    // while no connection is open.
    CString Execute(const char* code, bool silent, CString& error);
    void SetErrorHandler(ErrorHandler handler) { m_onError = std::move(handler); }

  private:
    bool m_bOpen = false;
    ErrorHandler m_onError;
};

// The engine program beside the running program.
CString LocalEnginePath();
