#pragma once
// What the main frame's children without a server form share: Escape closes them through the
// MDI client, their end tells the main frame (WM_CLOSEDIALOG) so that it restores its title
// and keys, and each object goes with its window.

#include "frame/VORLANMDIChild.h"

class CChildBase : public CVORLANMDIChild {
  public:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool PreTranslateMessage(MSG* msg) override;
    void PostNcDestroy() override {
        if (m_bAutoDelete) delete this;
    }

  protected:
    // Sets the class icon of the language library once the window stands.
    void SetIconOf(UINT icon);
    // Creates the window in the frame's MDI client; the object is deleted when that fails,
    // else it goes with its window.
    bool CreateChild(CMDIFrameWnd* frame, DWORD style, const RECT& rect);

  private:
    bool m_bAutoDelete = false;
};
