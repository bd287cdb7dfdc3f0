#pragma once
// The online debugger: a console in which a developer runs M lines in the program's own
// server job. Console input and output sit behind a small interface.

#include <string>

class IDebugConsole {
  public:
    virtual ~IDebugConsole() = default;
    virtual void Write(const std::string& text, unsigned short colour) = 0;
    // One line without its line end; false when the input has ended.
    virtual bool ReadLine(std::string& line, size_t maxLength) = 0;
};

// The process's console, opened with the title and freed again on destruction.
class CWin32Console : public IDebugConsole {
  public:
    explicit CWin32Console(const char* title);
    ~CWin32Console() override;
    void Write(const std::string& text, unsigned short colour) override;
    bool ReadLine(std::string& line, size_t maxLength) override;

  private:
    void* m_in = nullptr;
    void* m_out = nullptr;
    bool m_allocated = false;
};

constexpr unsigned short kConsoleWhite = 15, kConsoleGrey = 8, kConsoleRed = 12, kConsoleNormal = 7;

class CSession;
// Runs the developer's lines silently in the session's job. error and line may be null.
// Returns when the user enters "q".
void OnlineDebugger(IDebugConsole& console, CSession& session, const char* error, const char* line);
