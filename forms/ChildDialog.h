#pragma once
// The server-described form as far as the form frames need it: it registers with its frame,
// tells the server which form it is, asks the frame to run the screen's init code, takes its
// title from the screen description and reports title and size to the frame. Fields and
// controls from the description come with the form window itself.

#include "framework/Wnd.h"

#include <windows.h>

class CChildDialog : public CWnd {
  public:
    static constexpr int kKeyCount = 72;
    static constexpr const char* kClassName = "VORLAN Form";

    CChildDialog() = default;

    void SetFonts(HFONT normal, HFONT bold, HFONT fixed);
    void SetTabIndex(int n) { m_nTabIndex = n; }
    int GetTabIndex() const { return m_nTabIndex; }

    // opening: the form name, "§" and the description name. Returns 1 when the form stands,
    // 0 when it was refused (its window is gone then).
    virtual int Create(const char* opening, UINT formId, int killFlag, CWnd* parent, int x, int y,
                       int createControls, const char* keepList);

    const CString& GetFormName() const { return m_strFormName; }
    const CString& GetDescriptionName() const { return m_strDescription; }
    const CString& GetTitle() const { return m_strTitle; }
    // A caption that the frame shows instead of the title; empty when none.
    const CString& GetFrameCaption() const { return m_strFrameCaption; }
    UINT GetFormId() const { return m_nFormId; }
    bool IsSizable() const { return m_bSizable; }
    CSize GetMinSize() const;
    // The size the form wants for the frame rectangle; false when the rectangle suits it.
    bool ChangingSize(CRect& rect) const {
        (void)rect;
        return false;
    }
    const CString& GetKeyText(int index) const;
    bool HasGrid() const { return GetDlgItem(0x1800) != nullptr; }

    // Set by the form when its grid should forget its selection on the next activation.
    bool m_bGridReset = false;

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override { delete this; }

  private:
    void ReadTitle();
    void ReportTitle();

    HFONT m_hFonts[3] = {};
    int m_nTabIndex = 1;
    UINT m_nFormId = 0;
    bool m_bSizable = false;
    CString m_strFormName;
    CString m_strDescription;
    CString m_strTitle;
    CString m_strFrameCaption;
    CString m_strKeys[kKeyCount];
};
