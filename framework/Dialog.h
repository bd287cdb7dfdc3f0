#pragma once
// Dialogs from templates in the resource module, modal (through the application object)
// or modeless, on any thread. A modal dialog runs in a loop of our own, as the class
// library's does: every message goes through the application's pre-translation first, so the
// dialog's own PreTranslateMessage (and its controls') sees the keys before the dialog manager.

#include "framework/Modal.h"
#include "framework/TestMode.h"
#include "framework/Wnd.h"

#include <string>
#include <vector>

class CModalLoop;

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

    // The real modal loop (-1 when the template is missing or the window went first). In
    // test mode the dialog stands modeless while the script's steps run; a script with the step
    // "wait:" runs it as for a person instead: it shows, its steps run at its first idle moment
    // and its loop then waits for the keys and clicks the test sends.
    int RunModal() override;
    int RunScripted() override;

  protected:
    // The modal loop; with scripted, the script's steps run at the first idle moment and the
    // record gets the control texts as they stood at the end.
    int RunLoop(bool scripted);
    // Each time the modal loop's queue has run empty after a message other than painting or a
    // timer; count 0 is the first idle moment of the dialog.
    virtual void OnEnterIdle(int count) { (void)count; }
    // The steps of a scripted loop, run at its first idle moment. Without a step "wait:" the
    // dialog is then cancelled, as an unattended one would be.
    void RunLoopSteps();
    void SetLoopSteps(std::vector<fw::DialogStep> steps) { m_loopSteps = std::move(steps); }

  private:
    HWND OwnerWindow() const;
    // A script's "sel:ID=INDEX": the list box, combo box or list view ID selects its entry INDEX.
    void SelectListEntry(const std::string& step);
    void RunStep(const fw::DialogStep& step);
    bool m_bScripted = false;
    bool m_bEnded = false;
    // From the start of the modal loop's creation to its end: EndDialog only ends the loop.
    bool m_bInLoop = false;
    int m_nResult = IDCANCEL;
    CModalLoop* m_pLoop = nullptr;
    std::vector<fw::DialogStep> m_loopSteps;
};
