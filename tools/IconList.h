#pragma once
// The icon desktop: a large-icon list control on the main frame's client area that also
// serves as its MDI client, so that the user's icons lie under the form frames. This is the
// desktop's role as MDI client and its look; icons, their drag and drop, the background
// picture and the desktop's dialogs come with the workplace tools.

#include "framework/MDIClient.h"

#include <windows.h>

class CIconList : public CMDIClientWnd {
  public:
    CIconList() = default;
    ~CIconList() override;

    // A list control in icon view on the frame (style plus clip-siblings and clip-children),
    // with the columns "Beschreibung", "Memo" and "Parameter". Once it stands, the object
    // goes with its window.
    bool Create(DWORD style, const RECT& rect, HWND frame, UINT id, UINT firstChildId);

    // Removes all icons and resets the look: white text in "Tahoma" 9, transparent item
    // backgrounds, the first built-in background, placement 3; then applies it.
    void SetStandard();
    // Applies the look: font, text colour, background (the workspace colour when there is
    // no picture and resetColour is set).
    void Set(int resetColour);
    // Tells the server the desktop's and the screen's sizes (when the frame wants them).
    void SetSizesToKVX();
    void SetMemoBoxHandle(HWND memoBox) { m_hMemoBox = memoBox; }

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    COLORREF m_crBackground = 0;
    COLORREF m_crText = RGB(255, 255, 255);
    int m_nTextSize = 9;
    CString m_strFontFace = "Tahoma";
    CString m_strPicture;
    int m_nPictureKind = 3;
    int m_bPerClient = 0;
    // Set by the main frame while a user is logged in: size changes are then reported.
    bool m_bReportSizes = false;

  private:
    void OnSize(UINT type);

    HFONT m_hFont = nullptr;
    HWND m_hMemoBox = nullptr;
};
