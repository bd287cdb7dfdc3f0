#pragma once
// The generic MDI frame of a server screen: it hosts the screen's first form and one form
// per visible tab, fits its size to them, runs the screen's init code, decides whether it
// may close and relays the private messages between its forms and the main frame.

#include "frame/FormFrame.h"
#include "frame/FrameTimerLogic.h"
#include "frame/VORLANMDIChild.h"

class CBaseMDI : public CVORLANMDIChild, public CFormFrame {
  public:
    CBaseMDI();

    // Returns 1 when the frame stands, 0 when it was refused or closed by its forms' first
    // step (window and object are gone then).
    // position: left and top in MDI-client coordinates, or null.
    int Create(HFONT font1, HFONT font2, HFONT font3, const char* dialogText, UINT dialogId, DWORD style,
               DWORD reserved, const POINT* position, bool menuEdit, const char* keepList);
    // mode bit 0: run the form's init and enable it by the answer; bit 7: passed on.
    void ActivateWindow(UINT formId, int mode) override;
    void Show(int showCommand);
    void SetAppTitle() const { SetMainWindowTitle(); }

    bool IsMenuEdit() const { return m_bMenuEdit; }

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
    // The menu bar's mnemonics first, then the main frame's.
    LRESULT OnMenuChar(WPARAM wParam, LPARAM lParam) override;
    void OnIdleUpdateCmdUI() override;
    void PostNcDestroy() override {
        if (m_bAutoDelete) delete this;
    }

  protected:
    CString TitleScreenName() const override;
    UINT TabFormId(int n) const override { return 0x8000 + static_cast<UINT>(n); }
    bool KeysAllowed() const override { return !m_bMenuEdit; }

  private:
    int OnDialogInit(int tab, char* answer);
    LRESULT OnClose();
    LRESULT OnDialogStop();
    LRESULT OnSetMemo();
    LRESULT OnMDIActivate(HWND deactivated, HWND activated);
    // F1: the server's help for the screen, by the user's group.
    LRESULT OnHelpInfo();
    void OnHelpKey(UINT id);
    void OnDestroy();
    void OnF4Up(UINT id);
    void OnFormMenu(UINT id);
    void OnUpdateFormMenu(CCmdUI* ui);
    void OnUpdateSave(CCmdUI* ui);
    void OnUpdatePrint(CCmdUI* ui);
    void OnUpdateNotMenuEdit(CCmdUI* ui);
    void OnUpdateGridUndo(CCmdUI* ui);
    void OnUpdateGridPrint(CCmdUI* ui);
    void OnUpdateExplorer(CCmdUI* ui);
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

    UINT m_nDialogId = 0;
    bool m_bMenuEdit = false;
    bool m_bNewFrame = true;
    bool m_bSave = false, m_bPrint = false;
    LPARAM m_lHandOver = 0;
    int m_nShownWidth = 0, m_nShownHeight = 0;
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
