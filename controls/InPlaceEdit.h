#pragma once
// The edit that a grid opens over one cell. It ends itself when it loses the focus and
// reports the text and the key that ended it to the grid as notification 12 from id 8.

#include "controls/GridCtrl.h"
#include "framework/Wnd.h"

#include <windows.h>

#include <string>

constexpr UINT kInPlaceEditEnded = GVN_ENDEDIT;

// What the edit reports when it ends.
struct InPlaceEditEnd {
    NMHDR hdr;
    int row;
    int column;
    const char* text; // valid during the notification
    UINT key;         // 0x8000 added for Ctrl, 0x4000 for Shift; 27 for Escape
    BOOL modified;
    int selStart;
    int selEnd;
    POINT caret; // in grid coordinates
};

// The form's tab-edit procedure, which draws and serves a drop button: true when it handled
// the message (result set). Controls cannot reach the form, so the form hands it over.
using TabEditProc = bool (*)(HWND, UINT, WPARAM, LPARAM, LRESULT* result, WNDPROC oldProc);

class CInPlaceEdit : public CWnd {
  public:
    static void SetTabEditProc(TabEditProc proc);
    static TabEditProc GetTabEditProc();

    // How the edit is opened: the character that started it (0 or 1: none, 13: Enter), the
    // click point in grid coordinates (none: null) and an explicit selection (start in the low
    // word, end in the high word; -1: none).
    struct Start {
        UINT firstChar = 0;
        const POINT* click = nullptr;
        LONG selection = -1;
    };

    // Creates the edit over rect (grid coordinates) as a child of grid, focused. The object
    // deletes itself with its window; when no window could be made the caller deletes it.
    CInPlaceEdit(bool plain, CWnd* grid, const RECT& rect, DWORD style, int row, int column,
                 const std::string& text, const Start& start, HFONT font, int marginX, int marginY);

    bool IsPlain() const { return m_bPlain; }
    int GetRow() const { return m_nRow; }
    int GetColumn() const { return m_nColumn; }
    // Ends the edit as the key would (the grid takes the focus back).
    void EndEdit(UINT key);

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override { delete this; }

  private:
    LRESULT OnKeyDown(WPARAM key, LPARAM lParam);
    LRESULT OnChar(WPARAM ch, LPARAM lParam);
    LRESULT OnKeyUp(WPARAM key, LPARAM lParam);
    void OnKillFocus();
    bool EndsEdit(UINT key, bool ctrl, bool shift) const;
    bool IsSingleLine() const;
    void PlaceCaret(const Start& start);
    void SetFormattingRect();
    void FitToText();
    void Finish();

    CWnd* m_pGrid;
    bool m_bPlain;
    bool m_bStartedByTyping;
    bool m_bFinished = false;
    int m_nRow;
    int m_nColumn;
    std::string m_sInitialText;
    int m_nMarginX;
    int m_nMarginY;
    UINT m_nLastChar = 0;
    CRect m_rect;
};
