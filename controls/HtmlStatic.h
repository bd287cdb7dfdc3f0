#pragma once
// The label of a form. For now a plain static control with the label's interface; the
// HTML label comes behind the same interface.

#include "framework/Wnd.h"

#include <windows.h>

// wParam points to a SIZE that receives the label's natural size; answers 0 when it cannot
// tell (the SIZE then stays as it was).
constexpr UINT WM_HTML_GETSIZE = 0x465;

class CHtmlStatic : public CWnd {
  public:
    // A child of parent with the given style; the object deletes itself with its window.
    bool Create(const char* text, DWORD style, const RECT& rect, HWND parent, UINT id);
    // Link clicks go to the parent as message (wParam the link text, lParam value).
    void SetCallbackHyperlink(UINT message, LPARAM value) {
        m_nHyperlinkMessage = message;
        m_lHyperlinkValue = value;
    }

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override { delete this; }

  private:
    UINT m_nHyperlinkMessage = 0;
    LPARAM m_lHyperlinkValue = 0;
};
