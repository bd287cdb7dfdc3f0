#pragma once
// A window around one rebar control that adds what the plain control lacks: the user drags its
// edge to resize it, it slides away to a strip at its parent's left edge and back when the
// pointer comes near (automatic hiding), bands keep their set-up so that they can be added
// again, their grippers switch on and off together, and the chevron shows the buttons that do
// not fit as a popup menu with images and function-key labels.
// Mode 1 is a tool bar across the top of its parent, mode 2 the side bar at its left edge.

#include "framework/ReBarSlide.h"
#include "framework/Wnd.h"

#include <commctrl.h>

class CSizableReBar : public CWnd {
  public:
    static constexpr const char* kClassName = "SizableReBar";
    static constexpr UINT kReBarId = 1;
    static constexpr int kSlots = 10;
    enum Mode { kToolBar = 1, kSideBar = 2 };
    // Resources: the bands' background (the program's), the context menus and the chevron
    // menu's customise item (the language library's).
    static constexpr UINT kBandBitmap = 422;
    static constexpr UINT kToolBarMenu = 523;
    static constexpr UINT kSideBarMenu = 524;
    static constexpr UINT kCustomizeText = 45;
    // The private messages the bar passes on to the bands' windows.
    static constexpr UINT kMenuShowMessage = 0x40B;
    static constexpr UINT kGetMenuMessage = 0x40C;

    CSizableReBar();
    ~CSizableReBar() override;

    virtual bool Create(HWND parent, UINT id, int mode, bool fixed);
    // A band at the end for the child; a style with RBBS_HIDDEN adds the band hidden.
    virtual int AddBar(HWND child, UINT id, int idealWidth, int minHeight, int width, const char* text,
                       UINT style, LPARAM param);

    // Band set-ups kept in slots 0 to 9 and added again from there.
    void SetSizeBandInfo(int slot, HWND child, int idealWidth, int minHeight, UINT style, UINT textId,
                         LPARAM param);
    // 0 (nothing added) for a slot past 9 or an empty one; width 0 is the ideal width.
    int AddSizeBand(int slot, UINT extraStyle, int width);
    void DeleteBands();
    HWND GetReBar() const { return m_hReBar; }
    int GetBandCount() const;
    int IdToIndex(UINT id) const;

    // With toggle the automatic hiding is switched first (sliding the bar in or out).
    bool IsAutohide(bool toggle);
    // The band's visibility before a toggle flips it.
    bool IsBandVisible(UINT id, bool toggle);
    // The grippers off; with toggle every band's gripper is switched.
    bool IsFixedSize(bool toggle);
    // Around a look at the whole frame (saving its layout, editing the menu): the bar out and
    // kept out until RestoreState gives back the automatic hiding it had.
    void SaveStateAndShow();
    void RestoreState();
    // The automatic hiding as stored in a profile: no slide now, the next idle update decides.
    void SetAutohide(bool on) { m_bAutohide = on; }
    bool IsHidden() const { return m_bHidden; }
    bool IsSliding() const { return m_bAnimating; }
    bool IsFocusInside() const { return m_bFocusInside; }

    // Side bar: placed at the rectangle's top and height with its own width, its right edge
    // where the slide has it; the rectangle's width becomes what the bar takes from it.
    void SetBarPos(RECT& r);
    void Minimize(bool hide, bool forced);

    // The chevron's popup of a band: the buttons from the first one that does not fit wholly
    // (null when all fit). Given back with ReleaseChevronMenu.
    HMENU CreateChevronMenu(int bandIndex);
    static void ReleaseChevronMenu(HMENU menu);

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    // The program's windows kind with flat menus: the chevron items are then drawn in the
    // menu colours.
    static void SetFlatMenuQuery(bool (*query)());

  protected:
    struct Slot {
        int idealWidth = 0;
        int minHeight = 0;
        UINT textId = 0;
        LPARAM param = 0;
        UINT style = 0;
        HWND child = nullptr;
    };

    int OnCreate();
    void OnSize();
    bool OnEraseBkgnd(HDC dc);
    bool OnSetCursor();
    void OnLButtonDown(LPARAM lParam);
    void OnMouseMove(LPARAM lParam);
    void OnLButtonUp();
    void OnSlideStep();
    void OnIdleUpdate();
    void OnContextMenu(LPARAM lParam);
    LRESULT OnNotify(WPARAM wParam, NMHDR* header);
    void OnFocusNotify(UINT code);
    void OnCommand(WPARAM wParam, LPARAM lParam);
    void OnHeightChange();
    void OnChildSize(NMREBARCHILDSIZE* info);
    void OnChevronPushed(const NMREBARCHEVRON* info);
    void MeasureChevronItem(MEASUREITEMSTRUCT* mis);
    void DrawChevronItem(const DRAWITEMSTRUCT* dis);
    bool OverDividingArea() const;
    void NotifyParentHeight();
    void SendToBands(UINT msg, WPARAM wParam, LPARAM lParam);

    bool m_bFocusInside = false;
    bool m_bGripperOff = false;
    int m_nStep = fw::kSlideSteps;
    fw::SlidePositions m_positions{};
    bool m_bAnimating = false;
    bool m_bAutohide = false;
    bool m_bSavedAutohide = false;
    bool m_bHidden = false;
    bool m_bForced = false;
    HWND m_hChevronToolBar = nullptr;
    Slot m_slots[kSlots];
    POINT m_dragStart{};
    int m_nSizeOffset = 0;
    bool m_bDragging = false;
    bool m_bFixed = false;
    int m_nMode = kToolBar;
    HWND m_hReBar = nullptr;
    HBITMAP m_hBackground = nullptr;
};

// The band holder of windows with toolbars at their top: mode 1, fixed, no grippers. Its
// parent passes its WM_SIZE on (OnParentSize) so the bands follow its width.
class CSizableReBarTool : public CSizableReBar {
  public:
    CSizableReBarTool() { m_bGripperOff = true; }
    using CSizableReBar::Create;
    bool Create(HWND parent);
    // The toolbar as a band sized to its buttons, with chevron and no gripper.
    int AddToolBar(HWND toolbar, UINT id, const char* text = nullptr, UINT style = 0, LPARAM param = 1,
                   UINT removeStyle = 0);
    // A visible band without a break before it, as wide and high as the bar needs.
    bool AddBar(HWND bar) { return AddToolBar(bar, 0) != 0; }
    using CSizableReBar::AddBar;
    int GetHeight() const;
    void OnParentSize();
};
