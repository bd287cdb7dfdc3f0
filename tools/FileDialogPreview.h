#pragma once
// The open dialog for pictures: the selected file is previewed under the file list with its
// format and size, and only a picture can be confirmed.

#include "framework/FileDialog.h"
#include "tools/ImageViewer.h"

#include <string>

class CFileDialogPreview : public CFileDialog {
  public:
    CFileDialogPreview(bool openDialog, const char* defaultExt = nullptr, const char* fileName = nullptr,
                       DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const char* filter = nullptr,
                       HWND owner = nullptr);

    // The script's path is checked as the OK button checks it.
    int RunScripted() override;
    // The text under the preview for the file last looked at.
    const std::string& GetPreviewCaption() const { return m_caption; }

  protected:
    UINT_PTR OnHookMessage(HWND hook, UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    void OnInitDialog(HWND hook);
    void OnSize(HWND hook);
    void OnSelectionChanged(HWND hook);
    // False (the dialog stays open) for anything but a picture.
    bool OnFileOK(HWND hook);
    // Loads the file into the viewer and makes the caption.
    int Preview(const char* path);

    CImageViewer m_viewer;
    std::string m_caption;
};
