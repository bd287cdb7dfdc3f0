#pragma once
// The frame's menu drawn as a row of buttons in a rebar band: each button drops its popup,
// and the keyboard moves from one popup to the next as in a window's own menu bar (Left and
// Right wrap round, Escape leaves, the menu key enters).

#include "framework/Controls.h"
#include "framework/Menu.h"

class CToolBarExMenu : public CToolBarCtrl {
  public:
    // Buttons carry the command id 65520 + their position. The bar's own messages share their
    // numbers with toolbar messages (0x414 is TB_ADDBUTTONSA): the bar does not use those.
    static constexpr UINT kFirstButton = 65520;
    static constexpr UINT kMenuShow = 0x40B;
    static constexpr UINT kGetMenu = 0x40C;
    static constexpr UINT kDropMenu = 0x414;

    ~CToolBarExMenu() override;
    // The bar in parent (the rebar that holds it); the popups' commands go to frame.
    bool Create(HWND frame, HWND parent, UINT id);
    // Replaces the menu (the old one destroyed) and rebuilds the buttons; the bar owns the new
    // menu. From the language library by id, or a menu handle.
    bool SetMenu(UINT menuId);
    bool SetMenu(HMENU menu);
    HMENU GetMenu() const { return m_menu.m_hMenu; }
    // The menu of the bar's window, detached: the caller owns it (the bar has none then).
    HMENU DetachMenu();

    // Opens the button's popup; loops while the keyboard or the pointer asks for another one.
    void DropMenu(int button, bool byMouse);
    // The frame's active state: an inactive frame shows no hot item and no prefixes.
    void OnNcActivate(bool active);
    bool IsTracking() const { return m_bTracking; }
    int OpenMenu() const { return m_nOpen; }

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    // Escape reaches the bar itself, before any window above it takes it as its own key.
    bool PreTranslateMessage(MSG* msg) override;

    // The button the keyboard goes to from `from` (wrapping round).
    static int NextButton(int from, int count, bool forward);

  protected:
    LRESULT OnDropDown(const NMTOOLBARA* info) override;

  private:
    void EnterTracking();
    void LeaveTracking();
    bool OnKeyDown(UINT key);
    LRESULT OnMenuChar(WPARAM wParam, LPARAM lParam);
    void OnHotItemChange(const NMTBHOTITEM* info, LRESULT& result);
    LRESULT OnCustomDraw(NMTBCUSTOMDRAW* draw);
    void OnIdleUpdate();
    bool IsWhollyVisible(int button) const;
    void PushChevron();
    void SetPrefixesShown(bool shown);
    static LRESULT CALLBACK MessageFilter(int code, WPARAM wParam, LPARAM lParam);

    bool m_bTracking = false;
    bool m_bByMouse = false;
    int m_nOpen = -1;
    bool m_bRequest = false;
    int m_nRequest = -1;
    CMenu m_menu;
    HWND m_hPrevFocus = nullptr;
    bool m_bFrameActive = true;
    HWND m_hFrame = nullptr;
    bool m_bPrefixesShown = false;
};
