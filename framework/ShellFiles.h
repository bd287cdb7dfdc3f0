#pragma once
// Files through the shell: moves with its progress and questions, opening with the program
// that the file's type names.

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

namespace fw {

// The paths as SHFileOperation takes them: each ended by a NUL, the list by one more.
std::string ShellPathList(const std::vector<std::string>& paths);
// Moves the files into the folder; true when the shell reports success and the user
// cancelled nothing.
bool ShellMoveFiles(HWND owner, const std::vector<std::string>& paths, const std::string& folder,
                    FILEOP_FLAGS flags = 0);
// Opens the file with its program, the file's folder as working directory.
bool ShellOpenFile(HWND owner, const std::string& path);

// The process a shell launch started, closed with its owner. Empty when the shell handed the
// file to a program that was running already (or to none).
class CShellProcess {
  public:
    CShellProcess() = default;
    ~CShellProcess() { Close(); }
    CShellProcess(const CShellProcess&) = delete;
    CShellProcess& operator=(const CShellProcess&) = delete;

    HANDLE Handle() const { return m_hProcess; }
    // Waits until the process ends or the time is up; true when it ended (or there is none).
    bool Wait(DWORD timeoutMs) const;
    void Attach(HANDLE process);
    HANDLE Detach();
    void Close();

  private:
    HANDLE m_hProcess = nullptr;
};

// ShellExecuteEx of the verb on the file (parameters and folder may be empty), the process
// it started into process; false when the shell could not launch it.
bool ShellExecuteProcess(HWND owner, const char* verb, const std::string& file, const std::string& parameters,
                         const std::string& folder, int show, CShellProcess& process);

} // namespace fw
