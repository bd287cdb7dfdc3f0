#pragma once
// Helpers for tests that run the real program: folders, processes, windows, what was shown.

#include "framework/TestMode.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace harness {

// The build's folder of installed programs (VORLAN.exe with its libraries), ending in "\".
std::string BinFolder();
// The folder of this test program, where its libraries are copied, ending in "\".
std::string ExeFolder();
// A fresh, empty folder under C:\TEMP for this test, ending in "\".
std::string FreshFolder(const std::string& name);
// A folder below FreshFolder(name) that no earlier run left (FreshFolder keeps subfolders,
// and process ids come again), ending in "\".
std::string NewFolder(const std::string& name);
bool CopyInto(const std::string& file, const std::string& folder);
void WriteTextFile(const std::string& path, const std::string& text);
// The whole file as bytes; empty when it cannot be read.
std::string ReadTextFile(const std::string& path);
// A string of the language library the application loaded.
std::string ResourceText(UINT id);
// Loads the German language library beside the test as the resource module; null when it
// is not there.
HMODULE UseLanguageLibrary();

// The language library as the resource module for as long as the object lives.
class LanguageLibrary {
  public:
    LanguageLibrary() : m_module(UseLanguageLibrary()) {}
    ~LanguageLibrary();
    LanguageLibrary(const LanguageLibrary&) = delete;
    LanguageLibrary& operator=(const LanguageLibrary&) = delete;
    HMODULE Handle() const { return m_module; }

  private:
    HMODULE m_module;
};

// Whether a file or folder is there under the path; whether it is a folder.
bool Exists(const std::string& path);
bool IsFolder(const std::string& path);

// One argument of a command line, quoted (only when needed) so that the program's argv gets
// it back unchanged.
std::string QuoteArgument(const std::string& arg);
// The arguments from first to last (exclusive) as one command line.
std::string JoinArguments(char** first, char** last);

// The port of the dbserver the test's fixture started; 0 without one.
int DbServerPort();
// The fixture dbserver's port of the application protocol (--app-listen); 0 without one.
int AppServerPort();

// The real program in test mode with a FreshFolder: its script and record live there, its
// settings below a scratch key of their own.
std::string TestModeCommand(const std::string& program, const std::string& folder, const std::string& args);
// Removes the scratch settings of the program run with that folder.
void ClearTestModeSettings(const std::string& folder);
// A text value of the settings that program sees as root\path.
bool SetTestModeValue(const std::string& folder, HKEY root, const std::string& path, const char* name,
                      const std::string& value);
std::string TestModeValue(const std::string& folder, HKEY root, const std::string& path, const char* name);

class Process {
  public:
    // Starts the command line; the child inherits our desktop and environment.
    bool Start(const std::string& commandLine);
    ~Process();
    // Exit code, or -2 when it did not end in time (it is then killed).
    int Wait(DWORD timeoutMs);
    // True once it has ended; serves messages sent to our windows meanwhile.
    bool EndedWhilePumping(DWORD timeoutMs);
    DWORD Id() const { return m_pi.dwProcessId; }

  private:
    PROCESS_INFORMATION m_pi{};
};

// A top-level window of the class owned by the process, or null.
HWND WaitForWindow(DWORD processId, const char* className, DWORD timeoutMs);
// The first window of the class among the window's children and theirs, or null.
HWND FindDescendant(HWND parent, const char* className);
// Asks `done` every 50 ms until it answers true or the time is up; its last answer.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs);
// The same, serving this thread's windows before each question.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);
std::string ClassOf(HWND window);
// Serves the messages waiting for this thread's windows; a WM_QUIT is dropped.
void Pump();

std::vector<fw::ShownItem> ReadShown(const std::string& folder);

// The screen as a 24-bit BMP file; false when nothing but one colour was on it.
bool SaveScreen(const std::string& path);
// A top-level window of this process as it draws itself, from its own pixels: other programs'
// desktops on the same display, which may cover it on the screen, stay out of the picture.
bool SaveWindow(HWND window, const std::string& path);

} // namespace harness
