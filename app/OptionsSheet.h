#pragma once
// The user's options: a property sheet with the general, font and connection pages, shown
// in the system's message font.

#include "framework/Gdi.h"
#include "framework/PropertySheet.h"

class CMySheet : public CPropertySheet {
  public:
    // The private message that puts the active page back into the page rectangle.
    static constexpr UINT WM_RESIZEPAGE = WM_APP + 1;

    CMySheet(UINT captionId, CWnd* parent, UINT firstPage = 0);

    bool BuildPropPageArray() override;
    bool OnInitDialog() override;
    bool OnCommand(WPARAM wParam, LPARAM lParam) override;
    bool OnNotify(NMHDR* header, LRESULT& result) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    const RECT& PageRect() const { return m_rcPage; }

  private:
    void OnResizePage();

    CFont m_font;
    RECT m_rcPage{};
};

// Lays a window and its children out again for a new font: mode 0 keeps the window centred
// on its old place, 1 keeps its top-left corner, 2 changes only the fonts and the children.
void ChangeDialogFont(HWND window, HFONT font, int mode);

struct DialogScale {
    int oldCharWidth = 0, newCharWidth = 0;
    int oldLineHeight = 0, newLineHeight = 0;
    // A metric of 0 (a font that could not be measured) leaves the layout as it is.
    bool Valid() const {
        return oldCharWidth > 0 && newCharWidth > 0 && oldLineHeight > 0 && newLineHeight > 0;
    }
    int X(int x) const { return x * newCharWidth / oldCharWidth; }
    int Y(int y) const { return y * newLineHeight / oldLineHeight; }
};

// Runs the options sheet for the main frame's options command.
void RunOptionsSheet(CWnd* parent);
