#pragma once
// A modal dialog that sees what the dialog manager hides: the moments its loop's queue runs
// empty (the idle hook) and every message for any of its windows before it is dispatched. It
// can take every typed character for itself, wherever the focus is in it.

#include "framework/Dialog.h"

class CIdleDialog : public CDialog {
  public:
    using CDialog::CDialog;

    // Test mode: the dialog always runs as for a person. The script's steps for it run at its
    // first idle moment, after OnEnterIdle; a step "wait:" leaves it waiting for its own end
    // (or for whatever the test sends it), otherwise it is cancelled after the steps. The
    // record gets its control texts as they stood at the end.
    int RunScripted() override;
    bool PreTranslateMessage(MSG* msg) override;

  protected:
    // While on, every character typed in the dialog goes to OnCapturedChar instead of the
    // window with the focus.
    void CaptureCharacters(bool on) { m_bCapture = on; }
    virtual void OnCapturedChar(unsigned char c) { (void)c; }

  private:
    bool m_bCapture = false;
};
