#pragma once
// The toolbars of the form frames: CBaseMDITool shows a screen's F- and X-keys that have an
// image and keeps the frame's enable and check tables, which the server's %FUNK updates;
// CBaseModalTool is the fixed toolbar of every modal form window.

#include "forms/FormLogic.h"
#include "framework/Controls.h"

#include <string>
#include <vector>

class CBaseMDITool : public CToolBarCtrl {
  public:
    static constexpr UINT kId = 0xE81E;
    static constexpr int kMaxButtonWidth = 76;

    CBaseMDITool();
    // 1 when the toolbar stands, 0 when no entry among the first `count` has an image (then
    // there is no toolbar window). The buttons' commands go to the parent.
    int Create(HWND parent, const std::vector<std::string>& keys, int count = 40, int reserved = 0);
    // Re-reads the server's %FUNK and updates the tables and the buttons.
    void CheckFKeys();

    // The 72 entries as the key texts (0-7 F5-F12, 8-39 X1-X32, 40-71 M1-M32).
    int GetEnable(int index) const;
    void SetEnable(int index, int value);
    int GetCheck(int index) const;

  private:
    int m_enable[vorlan::kKeyCount];
    int m_check[vorlan::kKeyCount] = {};
};

class CBaseModalTool : public CToolBarCtrl {
  public:
    static constexpr UINT kId = 0xE81F;

    // 1, or 0 when the window cannot be created. Commands and the drop-down button's command
    // go to the frame. noWindow: the application's no-window switch.
    int Create(HWND parent, HWND frame, bool noWindow);
    LRESULT ButtonDropDown(const NMTOOLBARA* info);

  protected:
    LRESULT OnDropDown(const NMTOOLBARA* info) override { return ButtonDropDown(info); }

  private:
    HWND m_hFrame = nullptr;
};

namespace fwbars {
// The toolbars' styles (both kinds) and the toolbar extended styles.
constexpr DWORD kToolStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | TBSTYLE_TRANSPARENT |
                             TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NODIVIDER | CCS_NOPARENTALIGN |
                             CCS_NORESIZE | CCS_TOP;
constexpr DWORD kToolExStyle = TBSTYLE_EX_MIXEDBUTTONS | TBSTYLE_EX_HIDECLIPPEDBUTTONS;
} // namespace fwbars
