#pragma once
// The about box: program and server versions.

#include "framework/Dialog.h"
#include "framework/Gdi.h"

class CAboutDlg : public CDialog {
  public:
    CAboutDlg();
    bool OnInitDialog() override;
    bool OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    CBitmap m_picture;
    CFont m_smallFont, m_boldFont;
};
