#pragma once
// The modal form window: a server screen that opens as a top-level popup owned by another
// window and holds the caller until it ends. It hosts the same forms, tabs, init code and
// timer list as the MDI frame; its owner stays disabled while its loop runs.

#include "forms/FormMessages.h"
#include "frame/FormFrame.h"
#include "frame/VORLANMDIChild.h"
#include "framework/Frame.h"
#include "framework/ModalLoop.h"

class CBaseModal : public CFrameWnd, public CFormFrame {
  public:
    CBaseModal();

    // Builds the popup and its forms. False when it does not stand: the window and the
    // object are gone then, and DoModal must not run.
    virtual bool Create(HWND owner, HFONT font1, HFONT font2, HFONT font3, const char* dialogName,
                        const vorlan::OwnDialogRecord& record);
    // Places and shows the popup and runs its loop; the code that ended it (32780 or 32783).
    // The window stays (hidden) for the caller to destroy.
    int DoModal();
    void ActivateWindow(UINT formId, int mode) override;
    void Show();
    // Timer 1: the timer list's entries for this window's own top form.
    void Timer();

    bool PreTranslateMessage(MSG* msg) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool OnOwnCmdMsg(UINT id, int code, CCmdUI* ui) override;
    bool OnToolTipText(NMTTDISPINFOA* info) override;
    void OnIdleUpdateCmdUI() override;
    void PostNcDestroy() override;

  protected:
    UINT TabFormId(int) const override { return m_nDialogId; }
    // The title menu, the window's own toolbar and the function-key toolbar in their band,
    // made first thing in DoModal; the band's height then counts in BandHeight.
    void CreateBars();

  private:
    bool CreatePopup(HWND owner);
    void WriteCustomerDisplay();
    void ApplyStoredSize(bool sizable);
    void Place();
    bool IsSizable() const;
    int OnDialogInit(int tab, char* answer);
    LRESULT OnActivate(WPARAM wParam);
    LRESULT OnClose();
    LRESULT OnDialogStop(WPARAM wParam);
    LRESULT OnActivateDialog(HWND form, LPARAM lParam);
    void OnFormMenu(UINT id);
    // F1: the screen information is asked of the window itself, and nothing answers it.
    LRESULT OnHelpInfo();
    void OnHelpKey(UINT id);

    HWND m_hOwner = nullptr;
    UINT m_nDialogId = 0;
    bool m_bDocked = false;
    bool m_bInitialised = false;
    bool m_bInitAccepted = false;
    bool m_bInTimer = false;
    CModalLoop m_loop{*this};
    // Set once Create stands: from then on the window's end deletes the object, unless DoModal
    // still runs on it (it deletes the object on its way out then).
    bool m_bAutoDelete = false;
    bool m_bInDoModal = false;
    bool m_bDeletePending = false;
};
