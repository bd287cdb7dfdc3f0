#pragma once
// Dialogs from templates in the resource module, modal (through the application object)
// or modeless, on any thread.

#include "framework/Modal.h"
#include "framework/Wnd.h"

#include <string>

class CDialog : public CWnd, public CModal {
  public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr)
        : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

    // Modeless; the dialog lives until DestroyWindow.
    bool Create(UINT templateId, CWnd* parent = nullptr);
    virtual void EndDialog(int result);

    virtual bool OnInitDialog() { return true; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // WM_COMMAND; return true when handled. The base handles IDOK and IDCANCEL.
    virtual bool OnCommand(WPARAM wParam, LPARAM lParam);

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool PreTranslateMessage(MSG* msg) override;

    // The real modal loop; in test mode the dialog stands modeless while the script's steps run.
    int RunModal() override;
    int RunScripted() override;

  private:
    HWND OwnerWindow() const;
    // A script's "sel:ID=INDEX": the list box, combo box or list view ID selects its entry INDEX.
    void SelectListEntry(const std::string& step);
    bool m_bModal = false;
    bool m_bScripted = false;
    bool m_bEnded = false;
    int m_nResult = IDCANCEL;
};
