#pragma once
// The folder chooser of the options page, the form and the archive export: the shell's
// folder browser with the chosen folder shortened in its status line.

#include "framework/FolderBrowser.h"

#include <string>

class CFolderDialog : public CFolderBrowser {
  public:
    // initialFolder null: the current directory; titleId 0: the standard title (string 20).
    // DoModal answers 1 when a folder was chosen, 2 otherwise.
    CFolderDialog(const char* initialFolder, UINT flags, HWND owner, UINT titleId);

    // Status texts longer than 35 characters: their first 35 and "...".
    static std::string ShortenPath(const char* path);

  protected:
    void OnInitialized() override;
    void OnSelChanged(LPCITEMIDLIST item) override;

  private:
    static CString Title(UINT titleId);
};
