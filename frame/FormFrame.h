#pragma once
// What the two form frames (the MDI child CBaseMDI and the modal popup CBaseModal) do alike:
// the tab list and its buttons, the form registry, the screen's init code and timer list,
// fitting the frame to a form, the layout below the toolbar band, titles and the close rule.
// Each frame derives from its own window class and from this.

#include "forms/FormLogic.h"
#include "forms/FormMessages.h"
#include "frame/FormBars.h"
#include "frame/TabWnd.h"
#include "framework/Controls.h"

class CChildDialog;

class CFormFrame {
  public:
    CFormFrame(const CFormFrame&) = delete;
    CFormFrame& operator=(const CFormFrame&) = delete;

    // mode bit 0: run the form's init and enable it by the answer; bit 7: passed on.
    virtual void ActivateWindow(UINT formId, int mode) = 0;
    void AdjustWindow(HWND outer, HWND inner, int extraHeight);
    void CalcWinSize(int width, int height);

    CChildDialog* GetForm(UINT id) const;
    CChildDialog* GetTopForm() const;
    // Piece 1 of the dialog text: the screen the frame was opened for.
    const CString& GetScreenName() const { return m_strScreen; }
    int GetFormCount() const { return m_nForms; }
    bool HasTabs() const { return m_wndTabs.m_hWnd != nullptr; }
    // The title menu, the toolbars and the enable and check tables of the keys.
    CFormBars& GetBars() { return m_bars; }

  protected:
    static constexpr int kTimer = 1;
    static constexpr UINT kUninitialised = vorlan::kTabUninitialised;
    static constexpr int kAnswerSize = 128;

    explicit CFormFrame(CWnd& window);
    virtual ~CFormFrame() = default;

    // The control id a tab page's form is created with.
    virtual UINT TabFormId(int n) const = 0;
    // The height of the toolbar band above the forms at the given width of the frame's client
    // (0 without title menu and toolbars): the band wraps where its bars do not fit beside
    // each other.
    int BandHeight(int width) const { return m_bars.GetHeight(width); }

    // The start of a frame's Create: its fonts, no forms yet, the memo of the screen's entry.
    void BeginCreate(HFONT font1, HFONT font2, HFONT font3);
    // The screen's first form (refused or closed by its first step: null, and the form is
    // gone); the frame's screen name is taken from the dialog text.
    CChildDialog* CreateFirstForm(const char* dialogText, UINT dialogId, int killFlag, const char* keepList);
    // Creates the tab control and a form per visible tab; false when no tab is visible. The
    // job's hidden tabs are forgotten then: they hold for one frame.
    bool CreateTabs(CChildDialog* first);
    // The tab that shows the form, or -1.
    int TabIndexOf(UINT formId) const;
    // WM_DIALOGINIT: 1 when the init code accepted the page (never in menu-edit mode).
    int RunInit(int tab, char* answer, bool menuEdit);
    // The screen's stored position record: the user's, else the one shared by all users.
    CString StoredPosition(const std::string& screen) const;
    // The init's answer: an accepted page's status text, a refused one's message.
    void ShowInitAnswer(bool accepted, const char* answer);
    // %NOKILL: the server refuses the close (and says why unless it answered "1").
    bool CloseRefused();
    // After a form's activation the field the server names (%NE) takes the focus; otherwise an
    // enabled form whose grid was to be reset forgets the grid's selection. positiveOnly: only
    // a positive number names a field.
    void TakeFocusField(CChildDialog* form, bool enabled, bool positiveOnly);
    // Puts the form on top of the frame's children and hides the one that was.
    void BringFormToTop(CChildDialog* form);
    // The messages both frames answer alike (the forms' private ones, the key table's and the
    // reflected notifications); false for any other, which the frame's own procedure serves.
    bool OnFormFrameMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    LRESULT OnChildMessage(const void* record);
    void OnGetMinMaxInfo(MINMAXINFO* info);
    void FitToForm(HWND form);
    // The commands both frames route alike: the keys, the grid's column widths and the edit
    // commands; false for any other, which the frame's own table serves.
    bool OnFormFrameCommand(UINT id, int code, CCmdUI* ui);
    virtual bool KeysAllowed() const { return true; }
    // Passes the command to the form on top.
    void OnFormCommand(UINT id);

    HWND FrameWindow() const { return m_window.m_hWnd; }

    HFONT m_hFonts[3] = {};
    bool m_bCreating = false;
    int m_nForms = 0;
    int m_nLastFormId = 0;
    CTabWnd m_wndTabs;
    bool m_bTabButtons = false;
    CButton m_btnLeft, m_btnRight;
    CString m_strTimerList;
    // Its key toolbar's tables are the frame's enable and check tables.
    CFormBars m_bars;
    bool m_bMaximize = false;
    CString m_strMemo;
    CString m_strScreen;
    HWND m_hTop = nullptr;

  private:
    bool MakeTabs(CChildDialog* first);
    LRESULT OnDiagSelected(WPARAM wParam, LPARAM lParam);
    LRESULT OnTabEraseBackground(HDC dc, HWND child);
    LRESULT OnTestFKey(WPARAM index) const;
    // Keeps F-keys and X-keys in the enable table; the main frame hears of every key.
    LRESULT OnSetFKey(WPARAM index, LPARAM enable);
    // F-keys, X-keys and M-entries by the enable table, while KeysAllowed.
    void OnUpdateKey(CCmdUI* ui);
    // The edit commands and their enabling, by the focus kind the forms record.
    void OnEdit(UINT id);
    void OnUpdateEdit(CCmdUI* ui);

    CWnd& m_window;
};
