#pragma once
// The main frame's button bar: a toolbar the user customises (which buttons, text position,
// icon size), its layout kept in the profile as a 44-byte record; the choices for text and
// icons sit in a dialog of our own below the common customise dialog.

#include "frame/BarLogic.h"
#include "framework/CmdUI.h"
#include "framework/Controls.h"
#include "framework/Dialog.h"

#include <string>

// One row of a button table: the buttons the bar can show. Row 0 is the separator.
struct ToolButtonRow {
    int image;
    UINT command;
    BYTE state;
    BYTE style;
    UINT textId; // 0: none
};

class CToolBarExTool : public CToolBarCtrl {
  public:
    static constexpr const char* kSection = "Settings\\Windows\\";
    static constexpr UINT kSetLargeIcons = 0x465;
    static constexpr UINT kGetLargeIcons = 0x466;
    static constexpr int kMaxButtonWidth = 76;

    bool Create(HWND parent, DWORD unused, UINT id);
    // The window that gets the buttons' commands and runs their update handlers (default: parent).
    void SetOwner(HWND owner) { m_hOwner = owner; }
    // images: large normal, hot, disabled, then small normal, hot, disabled.
    void LoadToolBar(const UINT* images, int rowCount, const ToolButtonRow* rows,
                     const vorlan::ToolBarRecord& defaults, const char* entry);
    // The record's buttons (null: the default record).
    void AddButtons(const vorlan::ToolBarRecord* record);
    void AutoButtonWidth();
    vorlan::ToolBarRecord GetToolBar() const;
    void SaveToolBar(const char* entry);
    bool RestoreToolBar(const char* entry, vorlan::ToolBarRecord& out) const;
    void DefaultView();
    // 0 text below, 1 text right, 2 no text; -1 keeps the styles and shows one text row.
    void SetTextMode(int mode);
    bool IsLargeIcons() const { return m_bLargeIcons; }
    // The steps after a change of the buttons: band re-sized, record saved.
    void OnToolBarChange();
    const std::string& EntryName() const { return m_strEntry; }

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    void SetImages(bool large);
    LRESULT OnNotify(NMHDR* header);
    bool OnGetButtonInfo(NMTOOLBARA* info);
    void OnSetLargeIcons(bool large, bool rebuild);
    void OnIdleUpdate();
    HWND Owner() const;

    vorlan::ToolBarRecord m_default;
    bool m_bLargeIcons = true;
    const ToolButtonRow* m_pRows = nullptr;
    int m_nRows = 0;
    const UINT* m_pImages = nullptr;
    HWND m_hOwner = nullptr;
    std::string m_strEntry;
};

// The command update of a toolbar-control button.
// Enabling and checking act on the button; a button has no text to change.
class CToolExCmdUI : public CCmdUI {
  public:
    CToolExCmdUI(HWND toolbar, UINT id) : CCmdUI(ForToolBarButton(toolbar, id)) {}
    void SetText(const char*) override {}
};

// Text position (1139) and icon size (1140) below the common customise dialog, as its child;
// each combo box takes its entries from the string of its own number ("|" between them).
class CToolBarCustomizeDlg : public CDialog {
  public:
    static constexpr UINT kTemplate = 429;
    static constexpr int kTextMode = 1139;
    static constexpr int kIconSize = 1140;

    CToolBarCustomizeDlg() : CDialog(kTemplate) {}
    // The one dialog of the process, made for the toolbar inside the customise window.
    static bool Open(CToolBarExTool* toolbar, HWND customizeWindow);
    static CToolBarCustomizeDlg* Current();
    void UpdateOptions();

    bool OnInitDialog() override;
    bool OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override;

  private:
    CToolBarExTool* m_pToolBar = nullptr;
    bool m_bLargeIcons = false;
};
