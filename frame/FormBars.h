#pragma once
// The bars above the forms of a frame: one band holder (a sizable rebar of the frame's width)
// with the title menu in a menu bar, the modal window's own toolbar and the function-key
// toolbar as bands. The MDI frame and the modal window both carry one; the holder passes the
// toolbars' commands on to the frame.

#include "forms/BaseMDIMenu.h"
#include "frame/BaseMDITool.h"
#include "frame/ToolBarExMenu.h"
#include "framework/Controls.h"
#include "framework/SizableReBar.h"

#include <string>
#include <vector>

// The buttons' tips are the main frame's: key texts by the key, others by the string. The
// title menu's popups that its chevron shows are brought up to date by the frame.
class CFormBand : public CSizableReBarTool {
  public:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

class CFormBars {
  public:
    // The menu bar's control-bar id.
    static constexpr UINT kMenuBarId = 59392;

    CFormBars() = default;
    CFormBars(const CFormBars&) = delete;
    CFormBars& operator=(const CFormBars&) = delete;
    // The menu bar shows the title menu, whose popups are the title menu's own to destroy.
    ~CFormBars();

    // The MDI frame's: the title menu from the 72 key texts and the function-key toolbar from
    // the first 40; the strip only when either has entries. True when there is a strip.
    bool Create(HWND frame, const std::vector<std::string>& keys);
    // The modal window's: its own toolbar always, the title menu and the function-key toolbar
    // when they have entries. noWindow: the application's no-window switch.
    bool CreateModal(HWND frame, const std::vector<std::string>& keys, bool noWindow);

    // The bands' height (0 without them), with a width the height they take wrapped to it, and
    // their place across the top of the frame, which returns that height.
    int GetHeight(int width = 0) const;
    int Layout(int width);
    HWND GetBand() const { return m_band.m_hWnd; }
    CSizableReBarTool& Band() { return m_band; }
    bool HasTitleMenu() const { return m_bTitleMenu; }
    bool HasMenuBar() const { return m_menuBar.m_hWnd != nullptr; }
    bool HasKeyTool() const { return m_bKeyTool; }
    // A toolbar button's rectangle in screen coordinates; false when no toolbar has it.
    bool GetButtonRect(UINT id, RECT& out) const;
    // Any of the F- and X-keys enabled (the form's menu has something to offer).
    bool AnyKeyEnabled() const;
    // The form's context menu below the menu button (32799), else below the strip's corner.
    void OpenFormMenu(HWND form) const;
    // The modal toolbar's form-menu and grid-print buttons, enabled by the frame's rules.
    void EnableModalButtons(bool formMenu, bool gridPrint);
    // A key's entry in the enable table (WM_SETFKEY), its toolbar button with it.
    void SetKeyEnable(int index, int value);
    // The key items of a popup about to open, enabled and checked by the tables (for a frame
    // that routes no command updates of its own).
    void UpdatePopup(HMENU popup) const;

    // What the frame passes on to its menu bar: the selections in the open popup (the bar's
    // keyboard follows them), the frame's active state, the idle update of the keyboard cues,
    // mnemonics (0: not the bar's) and the menu key (0 without a menu bar).
    void OnMenuSelect(WPARAM wParam, LPARAM lParam);
    void OnNcActivate(bool active);
    void OnIdleUpdate();
    LRESULT OnMenuChar(WPARAM wParam, LPARAM lParam);
    LRESULT OnMenuShow();

    CBaseMDITitleMenu& TitleMenu() { return m_titleMenu; }
    CToolBarExMenu& MenuBar() { return m_menuBar; }
    // Also without a window: its tables are the frame's enable and check tables.
    CBaseMDITool& KeyTool() { return m_keyTool; }
    const CBaseMDITool& KeyTool() const { return m_keyTool; }
    CBaseModalTool& ModalTool() { return m_modalTool; }

  private:
    bool Build(HWND frame, const std::vector<std::string>& keys, bool modal, bool noWindow);
    // param 0 marks the menu bar's band: its chevron offers the popups.
    void Add(CToolBarCtrl& bar, LPARAM param = 1);
    bool CreateMenuBar(HWND frame, HWND holder);

    CFormBand m_band;
    CBaseMDITitleMenu m_titleMenu;
    CToolBarExMenu m_menuBar;
    CBaseModalTool m_modalTool;
    CBaseMDITool m_keyTool;
    bool m_bTitleMenu = false;
    bool m_bKeyTool = false;
};
