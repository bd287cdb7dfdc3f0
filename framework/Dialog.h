#pragma once
// Dialogs from templates in the resource module, modal (through the application object)
// or modeless, on any thread.

#include "framework/Wnd.h"

class CDialog : public CWnd {
  public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr)
        : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

    virtual int DoModal();
    // Modeless; the dialog lives until DestroyWindow.
    bool Create(UINT templateId, CWnd* parent = nullptr);
    void EndDialog(int result);

    virtual bool OnInitDialog() { return true; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // WM_COMMAND; return true when handled. The base handles IDOK and IDCANCEL.
    virtual bool OnCommand(WPARAM wParam, LPARAM lParam);

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool PreTranslateMessage(MSG* msg) override;

    // Called by the application object: the real modal loop, or test mode's script.
    virtual int RunModal();
    virtual int RunScripted();

  private:
    HWND OwnerWindow() const;
    bool m_bModal = false;
    bool m_bScripted = false;
    bool m_bEnded = false;
    int m_nResult = IDCANCEL;
};
