#pragma once
// The tab control of a form frame. Each item's value is the control id of its form, plus
// 32768 while that form has not been initialised. It asks the top form whether the page
// may change and reports the new page to the frame (WM_DIAGSELECTED).

#include "framework/Controls.h"

class CTabWnd : public CTabCtrl {
  public:
    static constexpr UINT kId = 49152;
    bool Create(const RECT& rect, HWND frame);
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    LRESULT OnSelchanging();
    LRESULT OnSelchange();
};
