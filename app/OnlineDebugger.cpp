#include "app/OnlineDebugger.h"
#include "app/AppLogic.h"
#include "app/ProtocolLog.h"
#include "app/Session.h"

#include <windows.h>

#include <vector>

CWin32Console::CWin32Console(const char* title) {
    m_allocated = ::AllocConsole() != 0;
    ::SetConsoleTitleA(title);
    m_in = ::GetStdHandle(STD_INPUT_HANDLE);
    m_out = ::GetStdHandle(STD_OUTPUT_HANDLE);
}

CWin32Console::~CWin32Console() {
    if (m_allocated) ::FreeConsole();
}

void CWin32Console::Write(const std::string& text, unsigned short colour) {
    ::SetConsoleTextAttribute(m_out, colour);
    DWORD written = 0;
    if (!::WriteConsoleA(m_out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr))
        ::WriteFile(m_out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

bool CWin32Console::ReadLine(std::string& line, size_t maxLength) {
    std::vector<char> buf(maxLength + 2);
    DWORD got = 0;
    if (!::ReadConsoleA(m_in, buf.data(), static_cast<DWORD>(maxLength), &got, nullptr) &&
        !::ReadFile(m_in, buf.data(), static_cast<DWORD>(maxLength), &got, nullptr))
        return false;
    if (got == 0) return false;
    line.assign(buf.data(), got);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.pop_back();
    return true;
}

void OnlineDebugger(IDebugConsole& con, CSession& session, const char* error, const char* line) {
    vorlan::TraceFunction("OnlineDebugger");
    con.Write("VORLAN Onlinedebugger\n\n", kConsoleWhite);
    con.Write("   You are in this UCI: ", kConsoleGrey);
    CString version = session.Execute(vorlan::kSystemVersionLine, 1);
    con.Write(session.Execute(vorlan::DebuggerPlaceLine(version.str()), 1).str() + "\n", kConsoleWhite);
    if (error) {
        con.Write("   Stopped by error:\n", kConsoleGrey);
        con.Write(std::string("   ") + error + "\n", kConsoleRed);
    }
    if (line) {
        con.Write("   Caused by line:\n", kConsoleGrey);
        con.Write(std::string("   ") + line + "\n", kConsoleRed);
    }
    con.Write("   Current Job: ", kConsoleGrey);
    con.Write(session.Execute(vorlan::VariableLine("%JOB"), 1).str(), kConsoleWhite);
    con.Write(" Current %DN: ", kConsoleGrey);
    con.Write(session.Execute(vorlan::VariableLine("%DN"), 1).str(), kConsoleWhite);
    con.Write("\n   Please do not call any programs.\n   Enter 'q' to quit debugger...\n\n", kConsoleGrey);
    for (;;) {
        con.Write(">", kConsoleNormal);
        std::string input;
        if (!con.ReadLine(input, 4096)) break;
        if (!input.empty() && input[0] == 'q') break;
        CString output = session.Execute(input.c_str(), 1);
        if (session.LastError()) output = session.LastErrorText();
        con.Write(output.str() + "\n", kConsoleWhite);
    }
}
