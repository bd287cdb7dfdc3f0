#pragma once
// Draws a label's markup with GDI: measures it, paints it, and answers the mouse over its
// links. The layout itself is the markup side's; this class supplies Windows to it.

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>

class CHtmlDrawerState;

// Opens link targets for the drawer; tests replace it.
class IHtmlShell {
  public:
    virtual ~IHtmlShell() = default;
    // ShellExecute(owner, "open", target, ..., show): > 32 on success.
    virtual INT_PTR Open(const char* target, int show) = 0;
    // Starts a command line as a process with that show command.
    virtual bool Start(const char* commandLine, int show) = 0;
};

// The command line that opens target with the program registered for HTML files (".htm"),
// target as one quoted argument; empty when the registry names none.
std::string RegisteredBrowserCommand(const std::string& target);
// The real shell, for windows that open links through the seam.
std::unique_ptr<IHtmlShell> MakeSystemShell(HWND owner);

class CHtmlDrawer {
  public:
    CHtmlDrawer();
    virtual ~CHtmlDrawer();
    CHtmlDrawer(const CHtmlDrawer&) = delete;
    CHtmlDrawer& operator=(const CHtmlDrawer&) = delete;

    void SetStyleSheet(const char* text); // null or empty: the default style sheet
    void SetStyleEntry(const char* selector, const char* properties);
    void SetEnabled(bool enabled);
    void SetDisabledColor(COLORREF colour);
    void SetCallbackHover(HWND window, UINT message, LPARAM value);
    void SetCallbackHyperlink(HWND window, UINT message, LPARAM value);
    void SetCallbackHoverText(HWND window, UINT message, LPARAM value);
    // Default value of the key into out (room for 260 bytes with the terminator); 0, or the
    // registry error with out untouched when the key does not open and emptied otherwise.
    static LONG GetRegKey(HKEY root, const char* path, char* out);
    // Measures text; size gets width + 1 and height + 1 (0 x 0 for an empty text, 1 x 1 for
    // one that takes no room).
    void Prepare(HDC dc, const char* text, SIZE* size);
    void DrawPrepared(HDC dc, const RECT& rect);
    int HitTest(POINT point) const; // relative to the drawing origin; -1 none
    BOOL MouseOver(POINT point);    // 1 when it set the hand cursor
    void Click(POINT point);
    void DrawBackgroundPicture(HDC dc, const RECT& rect, const char* description);
    void SetShell(IHtmlShell* shell); // null: the real shell
    // Strips without a source of their own draw from this list (not owned); null: none.
    void SetImageList(HIMAGELIST list);

  private:
    std::unique_ptr<CHtmlDrawerState> m_state;
};
