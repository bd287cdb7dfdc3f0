#pragma once
// Test mode: settings live under a scratch registry key, and every message box and modal
// dialog is answered from a script instead of waiting for a person; what was shown is
// recorded for the test to check.
//
// Switched on by the command-line switch "-testmode DIR" or the environment variable
// FWTEST_DIR=DIR (test programs), or in-process with Enable(). DIR\script.txt holds the
// answers, one a line, taken in order by the first box or dialog they fit:
//   box IDYES                      (IDOK IDCANCEL IDYES IDNO IDABORT IDRETRY IDIGNORE or a number)
//   dialog 195 cmd:1048 cmd:1      (dialog id or *; steps run in turn)
//   dialog 348 set:1010=ADMIN cmd:1   (\s in a text stands for a blank)
//   dialog 329 sel:1024=2 cmd:1       (list, combo box or list view 1024 selects entry 2)
//   dialog open path:C:\TEMP\a.txt     (common dialogs by name: open, save, folder, filecopy;
//   dialog filecopy drop:C:\TEMP\a.txt cmd:1105   any other word:text step is the dialog's own)
//   dialog 161 wait:                 (the dialog runs as for a person: shown in its modal loop,
//                                     the test types into it; steps before wait: run first)
// Lines the test adds to the file while the program runs are taken too, once whole.
// Without a fitting answer a box takes its default button and a dialog is cancelled.
// DIR\shown.txt receives one line per box or dialog (tab-separated, \n \t \\ escaped):
//   box <type> <caption> <text> <answer>
//   dialog <id> <title> <control texts "id=text|..."> <result>
//   <name> 0 <title> <what was chosen or listed> <result>      (common dialogs)

#include <windows.h>

#include <string>
#include <vector>

namespace fw {

struct ShownItem {
    std::string kind; // "box" or "dialog"
    int id = 0;       // message box type, or dialog template id
    std::string caption;
    std::string text; // box text, or the dialog's control texts
    int answer = 0;
};

struct DialogStep {
    // Verb: a step of the dialog's own ("path:...", "drop:..."), named by verb.
    enum Kind { SetText, Command, Verb } kind = Command;
    int control = 0;
    std::string text;
    std::string verb;
};

class TestMode {
  public:
    static bool IsOn();
    // dir may be empty: answers then come only from PushAnswer and nothing is written.
    static void Enable(const std::string& dir, const std::string& scratchName);
    // Looks at FWTEST_DIR and the "-testmode DIR" switch; returns whether test mode is on.
    static bool EnableFromEnvironment(int argc, char** argv);
    static void Disable();

    static void PushAnswer(const std::string& scriptLine);
    static std::vector<ShownItem> Shown();
    static void ClearShown();
    // "Software\FwTest\<name>" under HKEY_CURRENT_USER.
    static std::string ScratchKey();
    // The scratch key a program run with "-testmode dir" uses.
    static std::string ScratchKeyFor(const std::string& dir);
    static std::string Dir();

    static int AnswerMessageBox(const char* text, const char* caption, UINT type);
    static std::vector<DialogStep> DialogScript(int templateId);
    // The steps of a common dialog, scripted by its name.
    static std::vector<DialogStep> DialogScript(const std::string& name);
    static void RecordDialog(int templateId, const std::string& title, const std::string& texts, int result);
    // Records anything else a program shows or opens (kind other than "box" and "dialog").
    static void RecordItem(const ShownItem& item);
    // While switched on, every command of a menu or an accelerator is recorded as
    // "command <id>" with answer 1 when a handler ran it and 0 when none took it.
    static void RecordCommands(bool on);
    static void RecordCommand(unsigned id, bool ran);
    // Removes the scratch key with everything in it.
    static void ClearScratchKey();
};

// "-testmode" or "/testmode", in any case (the word before the test folder).
bool IsTestModeSwitch(const char* word);
// The default button of a message box type (what an unattended box answers).
int DefaultMessageBoxAnswer(UINT type);
// Tab-separated record line escaping, shared by writer and readers.
std::string EscapeRecordField(const std::string& s);
std::string UnescapeRecordField(const std::string& s);
// Parses one line of shown.txt; false when it is not one.
bool ParseShownLine(const std::string& line, ShownItem& out);

} // namespace fw
