#pragma once
// The large picture window of the record explorer: the file in a picture viewer, or, when it
// is no picture, in the installed DICOM viewer control. Ends with 3 when neither can show it,
// and the caller hands the file to its associated program.

#include "framework/Dialog.h"
#include "framework/OleControl.h"
#include "tools/ImageViewer.h"

#include <string>

// The window that hosts the DICOM viewer control.
class CWndDICOMX : public COleControlWnd {
  public:
    // Creates the control in a visible child named "DICOM" over rect; false when the control
    // cannot be created or hosted.
    bool Create(HWND parent, const RECT& rect, UINT id);
    // Whether the control can show the file (it answers 0), and then shows it.
    bool ShowFile(const char* path);
};

class CDlgBigImage : public CDialog {
  public:
    // Ends with 3 when nothing can show the file.
    static constexpr int kNotShown = 3;

    explicit CDlgBigImage(CWnd* parent = nullptr);

    std::string m_strPath;

    bool OnInitDialog() override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  protected:
    CWndDICOMX m_dicom;
    CImageViewer m_viewer;

  private:
    void OnSize();
};
