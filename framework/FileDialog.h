#pragma once
// The open and save dialogs, explorer style, with a hook that derived dialogs use for their
// own controls (a custom template from the resource module) and messages.

#include "framework/CommonDialog.h"
#include "framework/FwString.h"

#include <windows.h>
#include <commdlg.h>

#include <string>
#include <vector>

class CFileDialog : public CCommonDialog {
  public:
    // filter: "text|pattern|text|pattern||", may be null.
    CFileDialog(bool openDialog, const char* defaultExt = nullptr, const char* fileName = nullptr,
                DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const char* filter = nullptr,
                HWND owner = nullptr);

    // Set up by the constructor; callers may change the title, folder and flags before DoModal.
    OPENFILENAMEA m_ofn;

    CString GetPathName() const { return CString(m_file.data()); }
    void SetTitle(const char* title);
    const std::string& GetTitle() const { return m_title; }
    void SetInitialFolder(const char* folder);
    // Room for the chosen names (characters); several files need more than one path's room.
    void SetFileBufferSize(size_t chars);
    // The chosen files as full paths: one, or with OFN_ALLOWMULTISELECT the folder's files.
    std::vector<std::string> GetSelectedPaths() const;

    // The current folder is the same after it as before.
    int RunModal() override;
    // The path of the script's "path:" step is chosen (IDOK); without one, IDCANCEL.
    int RunScripted() override;

  protected:
    // Messages of the explorer-style child dialog (the custom template's, or an empty one);
    // answers as a dialog procedure does.
    virtual UINT_PTR OnHookMessage(HWND hook, UINT msg, WPARAM wParam, LPARAM lParam);
    // The name that test scripts and records use for this dialog.
    virtual const char* ScriptName() const { return m_bOpenFileDialog ? "open" : "save"; }
    // The child dialog while the dialog is open; its parent is the dialog itself.
    HWND m_hHook = nullptr;
    HWND DialogWindow() const { return m_hHook ? ::GetParent(m_hHook) : nullptr; }

  private:
    static UINT_PTR CALLBACK HookProc(HWND hook, UINT msg, WPARAM wParam, LPARAM lParam);

    bool m_bOpenFileDialog;
    std::string m_filter, m_defaultExt, m_title, m_folder;
    std::vector<char> m_file;
};

namespace fw {
// A filter list "text|pattern||" as the dialog takes it: NUL-separated, ending in two NULs.
std::string FileDialogFilter(const char* filter);
} // namespace fw
