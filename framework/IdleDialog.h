#pragma once
// A modal dialog that pumps its own message loop instead of the system's dialog loop, so that
// it sees what that loop hides: the moments the queue runs empty (the idle hook) and every
// message for any of its windows before it is dispatched. It can take every typed character
// for itself, wherever the focus is in it.

#include "framework/Dialog.h"
#include "framework/TestMode.h"

class CModalLoop;

#include <string>
#include <vector>

class CIdleDialog : public CDialog {
  public:
    using CDialog::CDialog;

    void EndDialog(int result) override;
    // The dialog shows and its loop runs until EndDialog or until the window is gone (-1).
    int RunModal() override;
    // Test mode: the dialog runs as for a person. The script's steps for it run at its first
    // idle moment, after OnEnterIdle; a step "wait:" leaves it waiting for its own end (or for
    // whatever the test sends it), otherwise it is cancelled after the steps. The record gets
    // its control texts as they stood at the end.
    int RunScripted() override;
    bool PreTranslateMessage(MSG* msg) override;

  protected:
    // Each time the queue has run empty after a message other than painting or a timer;
    // count 0 is the first idle moment of the dialog.
    virtual void OnEnterIdle(int count) { (void)count; }
    // While on, every character typed in the dialog goes to OnCapturedChar instead of the
    // window with the focus.
    void CaptureCharacters(bool on) { m_bCapture = on; }
    virtual void OnCapturedChar(unsigned char c) { (void)c; }

  private:
    int RunLoop();
    void RunScriptSteps();

    bool m_bRunning = false;
    bool m_bCreated = false;
    bool m_bEnded = false;
    bool m_bCapture = false;
    int m_nResult = IDCANCEL;
    bool m_bScriptRun = false;
    CModalLoop* m_pLoop = nullptr;
    std::vector<fw::DialogStep> m_steps;
    std::string m_lastTexts;
    std::string m_title;
};
