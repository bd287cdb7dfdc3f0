#pragma once
// The system's open and save dialogs. Like every modal dialog they run through the
// application object, so test mode answers them from its script: under the id kScriptId,
// with the file name set into control kFileNameEdit ("dialog 1536 set:1152=C:/a.bmp cmd:1").

#include "framework/Dialog.h"

#include <windows.h>
#include <commdlg.h> // the OFN_ flags

#include <string>

class CFileDialog : public CDialog {
  public:
    // The ids of the system's own open dialog and its file name field.
    static constexpr UINT kScriptId = 1536;
    static constexpr int kFileNameEdit = 1152;

    // filter: pairs of description and patterns, every part ended by "|" ("Bilder|*.bmp||").
    CFileDialog(bool open, const char* defaultExtension, const char* fileName, DWORD flags,
                const char* filter, HWND owner);

    CString GetPathName() const { return m_strFileName; }

    int RunModal() override;
    int RunScripted() override;

  private:
    bool m_bOpen;
    CString m_strDefaultExtension;
    CString m_strFileName;
    DWORD m_dwFlags;
    std::string m_filter; // NUL-separated, as the system reads it
    HWND m_hOwner;
};

namespace fw {
// "A|*.a|B|*.b||" into the system's form "A\0*.a\0B\0*.b\0\0".
std::string FileFilterFromBars(const char* filter);
} // namespace fw
