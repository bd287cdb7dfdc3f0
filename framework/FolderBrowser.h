#pragma once
// The shell's folder browser as a modal dialog, with its callbacks as virtual operations.

#include "framework/CommonDialog.h"
#include "framework/FwString.h"

#include <windows.h>
#include <shlobj.h>

class CFolderBrowser : public CCommonDialog {
  public:
    // initialFolder null: the current directory.
    CFolderBrowser(const char* initialFolder, UINT flags, HWND owner, const char* title);

    // IDOK when a folder with a file-system path was chosen; the chosen folder stays the
    // initial one otherwise.
    int RunModal() override;
    // The script's "path:" step is the chosen folder.
    int RunScripted() override;
    const CString& GetFolderPath() const { return m_strFolder; }
    const CString& GetInitialFolder() const { return m_strInitial; }

  protected:
    // The browser stands: selects the initial folder.
    virtual void OnInitialized();
    virtual void OnSelChanged(LPCITEMIDLIST item);
    virtual int OnBrowseMessage(HWND browser, UINT msg, LPARAM param);

    void SetSelection(const char* path);
    void SetStatusText(const char* text);
    // The item's file-system path; false for virtual items.
    static bool PathOf(LPCITEMIDLIST item, CString& path);

    BROWSEINFOA m_bi;
    HWND m_hWndBrowser = nullptr;

  private:
    static int CALLBACK BrowseCallback(HWND browser, UINT msg, LPARAM param, LPARAM data);

    char m_displayName[MAX_PATH] = {};
    CString m_strTitle, m_strInitial, m_strFolder;
};
