#pragma once
// The system's colour and font choosers. Test scripts answer them by name:
//   dialog color rgb:255,0,0          (the colour chosen; without the step: cancelled)
//   dialog font face:Arial size:12    (face and points; without a face: cancelled)

#include "framework/CommonDialog.h"
#include "framework/FwString.h"

#include <windows.h>
#include <commdlg.h>

class CColorDialog : public CCommonDialog {
  public:
    // flags: CC_ flags besides CC_RGBINIT, which the preset colour always brings.
    CColorDialog(COLORREF initial, DWORD flags, HWND owner);
    COLORREF GetColor() const { return m_cc.rgbResult; }

    int RunModal() override;
    int RunScripted() override;

    CHOOSECOLORA m_cc;

  private:
    COLORREF m_custom[16];
};

class CFontDialog : public CCommonDialog {
  public:
    // Preset with face and size in points; flags: CF_ flags besides CF_INITTOLOGFONTSTRUCT.
    CFontDialog(const char* face, int points, DWORD flags, HWND owner);
    CString GetFaceName() const { return CString(m_lf.lfFaceName); }
    // In tenths of a point, as the system reports it.
    int GetSize() const { return m_cf.iPointSize; }

    int RunModal() override;
    int RunScripted() override;

    LOGFONTA m_lf;
    CHOOSEFONTA m_cf;
};
