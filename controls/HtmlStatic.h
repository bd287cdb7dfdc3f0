#pragma once
// The label of a form: a static control whose text is markup, drawn by its own drawer over the
// form's background, embossed while disabled, with links that follow the mouse and report
// their clicks to the form.

#include "controls/HtmlDrawer.h"
#include "framework/Controls.h"
#include "framework/DibSection.h"
#include "framework/Gdi.h"

#include <windows.h>

#include <string>

// wParam points to a SIZE that receives the label's natural size; answers 1.
constexpr UINT WM_HTML_GETSIZE = 0x465;
// The drawer tells its label that the link under the mouse changed.
constexpr UINT WM_HTML_HOVER = 0x8064;

class CHtmlStatic : public CStatic {
  public:
    static constexpr UINT_PTR kHoverTimer = 512;
    static constexpr UINT_PTR kOtherTimer = 260;

    CHtmlStatic() = default;
    ~CHtmlStatic() override;

    // A child of parent with the given style; the object deletes itself with its window. When
    // creation fails the object stays for the caller to delete.
    bool Create(const char* text, DWORD style, const RECT& rect, HWND parent, UINT id);
    // The font it draws with, given before its window exists as WM_SETFONT would give it.
    void UseFont(HFONT font);
    // The markup it shows, set without painting: the caller sizes and paints the label. Also
    // before the window exists, which then starts with it.
    void SetMarkup(const char* text);
    // The size its markup takes in its font (laid out once, for the next paint as well).
    SIZE NaturalSize();
    // Nothing of its creation messages is needed: the text it is created with is read when it
    // is subclassed.
    bool SubclassesAfterCreation() const override { return true; }
    // Link clicks go to the parent as message (wParam the link text, lParam value).
    void SetCallbackHyperlink(UINT message, LPARAM value);
    // The markup the label shows: what the program reads instead of the window text.
    const std::string& GetMarkup() const { return m_strMarkup; }
    // The label object of a window, or null when it is none.
    static CHtmlStatic* FromHandle(HWND window);
    // The drawer's "body" entry that makes the label's text look like the font (null: the
    // system font).
    static std::string BodyStyle(HFONT font);

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  protected:
    void PreSubclassWindow() override;
    void PostNcDestroy() override;

  private:
    LRESULT OnNcCreate(const CREATESTRUCTA* cs, WPARAM wParam, LPARAM lParam);
    LRESULT OnPaint();
    LRESULT OnSetText(const char* text);
    LRESULT OnGetText(size_t room, char* buffer) const;
    LRESULT OnSetFont(HFONT font, bool redraw);
    LRESULT OnEnable(bool enabled);
    LRESULT OnSize(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetCursor(WPARAM wParam, LPARAM lParam);
    LRESULT OnTimer(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseMove(WPARAM wParam, LPARAM lParam);
    LRESULT OnLButtonDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetSize(SIZE* size);

    // What lies behind the label, asked of the parent (or its own colour).
    void PaintBackground(HDC composed, const CRect& client);
    // Lays the text out unless the drawer holds its layout already.
    void PrepareText(HDC dc);
    // The label's whole picture into `composed`: background, then the text, embossed while
    // disabled.
    void Compose(HDC dc, HDC composed, const CRect& client);
    // The text as drawn: the markup, in the override colour when one is set.
    std::string ShownText() const;
    void PlaceOutput(const CRect& client);
    // Mouse-over at the pointer; true when it is on a link with a target.
    bool HoverAtCursor();
    // After a change of what the label shows: laid out and drawn again (now, or at the next
    // paint).
    void Redraw(bool now);

    CHtmlDrawer m_drawer;
    CRect m_rcOutput;
    CDibSection m_background; // what lies behind the label, kept until its size or text changes
    // A repaint copies the finished picture; the drawer lays out and draws again only after
    // a change of text, font, state, hover or size.
    CDibSection m_picture;
    bool m_bPrepared = false;
    int m_nWidth = 0, m_nHeight = 0;
    // 0: from the window style; else bits 0-1 left 1, right 2, centre 3; bits 2-3 top 4,
    // bottom 8, centre 12.
    UINT m_nAlign = 0;
    std::string m_strMarkup;
    bool m_bEnabled = true;
    HFONT m_hFont = nullptr;
    COLORREF m_crText = CLR_INVALID; // none
    COLORREF m_crBackground = RGB(255, 255, 255);
    int m_nBackgroundMode = 1; // 1: the parent paints behind the label

    // A link's handler may destroy the label while its click is still running: the object
    // then outlives its window until the click returns.
    int m_nBusy = 0;
    bool m_bWindowGone = false;
};
