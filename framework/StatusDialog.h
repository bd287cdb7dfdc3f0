#pragma once
// A modeless status box from a template, shown while a long job runs and destroyed with its
// object on every way out.

#include "framework/Dialog.h"

#include <windows.h>

class CStatusDialog {
  public:
    // The owner may be any window; one without an object of its own is lent for creation.
    CStatusDialog(UINT templateId, HWND owner);
    ~CStatusDialog();
    CStatusDialog(const CStatusDialog&) = delete;
    CStatusDialog& operator=(const CStatusDialog&) = delete;

    bool IsShown() const { return m_dialog.m_hWnd != nullptr; }
    HWND Window() const { return m_dialog.m_hWnd; }
    // The text of one control, drawn at once: the job runs without pumping messages.
    void SetText(UINT control, const char* text);

  private:
    CDialog m_dialog;
};
