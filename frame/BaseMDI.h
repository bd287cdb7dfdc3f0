#pragma once
// The generic MDI frame of a server screen: it hosts the screen's first form and one form
// per visible tab, fits its size to them, runs the screen's init code, decides whether it
// may close and relays the private messages between its forms and the main frame.

#include "forms/FormLogic.h"
#include "frame/FrameTimerLogic.h"
#include "frame/FormBars.h"
#include "frame/TabWnd.h"
#include "frame/VORLANMDIChild.h"
#include "framework/Controls.h"

class CChildDialog;

class CBaseMDI : public CVORLANMDIChild {
  public:
    CBaseMDI();

    // Returns 1 when the frame stands, 0 when it was refused or closed by its forms' first
    // step (window and object are gone then).
    // position: left and top in MDI-client coordinates, or null.
    int Create(HFONT font1, HFONT font2, HFONT font3, const char* dialogText, UINT dialogId, DWORD style,
               DWORD reserved, const POINT* position, bool menuEdit, const char* keepList);
    // mode bit 0: run the form's init and enable it by the answer; bit 7: passed on.
    void ActivateWindow(UINT formId, int mode);
    void AdjustWindow(HWND outer, HWND inner, int extraHeight);
    void CalcWinSize(int width, int height);
    void Show(int showCommand);
    void SetAppTitle() const { SetMainWindowTitle(); }

    CChildDialog* GetForm(UINT id) const;
    CChildDialog* GetTopForm() const;
    // Piece 1 of the dialog text: the screen the frame was opened for.
    const CString& GetScreenName() const { return m_strScreen; }
    int GetFormCount() const { return m_nForms; }
    bool HasTabs() const { return m_wndTabs.m_hWnd != nullptr; }
    bool IsMenuEdit() const { return m_bMenuEdit; }
    // The title menu, the toolbars and the enable and check tables of the keys.
    CFormBars& GetBars() { return m_bars; }

    // ---- timer road, stored position and sticking (BaseMDITimer.cpp, BaseMDIStick.cpp)
    // Runs the timer list (list null: the frame's own) or one event's entry; returns the frame
    // that served it, also one it created, or null.
    CBaseMDI* Timer(const char* list, const char* answer, int create, int run, int command,
                    const char* value);
    void SetWinPos();
    void OnSaveWinPos(UINT id);
    void StickWindows(bool bringToTop);
    // The frame this one is stuck to, while that window stands.
    HWND StuckHost() const;
    const vorlan::StickTable& GetStickTable() const { return m_stick; }

    bool OnOwnCmdMsg(UINT id, int code, CCmdUI* ui) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool PreCreateWindow(CREATESTRUCTA& cs) override;
    void PostNcDestroy() override {
        if (m_bAutoDelete) delete this;
    }

  protected:
    CString TitleScreenName() const override;

  private:
    bool CreateTabs(CChildDialog* first);
    // The tab that shows the form, or -1.
    int TabIndexOf(UINT formId) const;
    int OnDialogInit(int tab, char* answer);
    // %NOKILL: the server refuses the close (and says why unless it answered "1").
    bool CloseRefused();
    LRESULT OnClose();
    LRESULT OnDialogStop();
    LRESULT OnChildMessage(const void* record);
    LRESULT OnDiagSelected(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetMemo();
    LRESULT OnMDIActivate(HWND deactivated, HWND activated);
    LRESULT OnTabEraseBackground(HDC dc, HWND child);
    void OnGetMinMaxInfo(MINMAXINFO* info);
    void OnDestroy();
    void FitToForm(HWND form);
    // The tab control and its pages move down below the bars, which take the top.
    void MovePagesBelow(int top);
    void OnFormCommand(UINT id);
    void OnEdit(UINT id);
    void OnF4Up(UINT id);
    void OnFormMenu(UINT id);
    void OnUpdateFormMenu(CCmdUI* ui);
    void OnUpdateKey(CCmdUI* ui);
    void OnUpdateSave(CCmdUI* ui);
    void OnUpdatePrint(CCmdUI* ui);
    void OnUpdateNotMenuEdit(CCmdUI* ui);
    void OnUpdateGridUndo(CCmdUI* ui);
    void OnUpdateGridPrint(CCmdUI* ui);
    void OnUpdateExplorer(CCmdUI* ui);
    void OnUpdateEdit(CCmdUI* ui);
    // timer road
    void OnFrameTimer();
    LRESULT OnTimerEvent(const void* record);
    void TimerTick(HWND frame, const vorlan::TimerEntry& entry, const std::string& answer, bool run,
                   int command);
    HWND TimerOpen(HWND frame, const vorlan::TimerEntry& entry, const std::string& answer, const char* value);
    HWND TimerCreate(const char* list, const std::string& answer, const char* value, bool run, HWND previous);
    // sticking
    LRESULT OnStickWindow(unsigned flags, HWND window);
    LRESULT OnUpdateStick(bool bringToTop, HWND window);
    void OnStartMoving();
    void OnFrameMoved();
    void OnFrameSized(WPARAM type, int width, int height);
    void ShowStuckWindows(bool show);
    CRect WindowRectInClient(HWND window) const;
    CString PositionScreen() const;

    HFONT m_hFonts[3] = {};
    UINT m_nDialogId = 0;
    bool m_bMenuEdit = false;
    bool m_bCreating = false;
    bool m_bNewFrame = true;
    int m_nForms = 0;
    int m_nLastFormId = 0;
    CTabWnd m_wndTabs;
    bool m_bTabButtons = false;
    CButton m_btnLeft, m_btnRight;
    CString m_strTimerList;
    CFormBars m_bars;
    bool m_bSave = false, m_bPrint = false;
    LPARAM m_lHandOver = 0;
    bool m_bMaximize = false;
    int m_nShownWidth = 0, m_nShownHeight = 0;
    CString m_strMemo;
    CString m_strScreen;
    HWND m_hTop = nullptr;
    bool m_bTimerRunning = false;
    bool m_bStoredPosition = false;
    vorlan::StickTable m_stick;
    unsigned m_nStuckFlags = 0;
    HWND m_hStuckHost = nullptr;
    bool m_bMoving = false;
    CRect m_rcMoving;
    // Placing stuck windows and following the host each cause moves that come back here.
    bool m_bPlacing = false, m_bFollowing = false;
    // Set when Create is done: from then on the window's end deletes the object.
    bool m_bAutoDelete = false;
};
