#pragma once
// A person at the keyboard and the mouse. Keys, text and clicks go into the window system's
// input queue (SendInput), so they take a person's road into the program: its message loop
// and modal loops, pre-translation, the dialog manager, the focus. Each action returns once
// the program has taken it and whatever it caused has been handled and painted, so tests wait
// for nothing by the clock.
//
// The program is either another process in test mode (its settle probe answers, see
// framework/TestProbe.h), or this thread, whose windows are then pumped here through the
// application's own pre-translation. Mouse actions move the one pointer of the display: tests
// that use them take the "pointer" lock.

#include <windows.h>

#include <string>

namespace harness {

class Person {
  public:
    // The program of that process; 0 is this thread.
    explicit Person(DWORD processId = 0);

    // Text (code page 1252) as a keyboard types it: characters that have a key on the
    // display's layout are typed with it (and Shift), the others (umlauts on an English layout)
    // arrive as the characters themselves. '\t' and '\n' press Tab and Return.
    void Type(const std::string& text);
    // One key or chord: "Tab", "Return", "Esc", "Space", "Back", "Del", "Home", "End", "Up",
    // "Down", "Left", "Right", "PgUp", "PgDn", "F1".."F24", a letter or digit, "Plus",
    // "Minus", each after any of "Ctrl+", "Shift+", "Alt+"; "Alt" alone.
    void Press(const std::string& chord);

    // Points are in the window's client coordinates; without one, its client centre.
    void Click(HWND window, POINT client);
    void Click(HWND window);
    void DoubleClick(HWND window, POINT client);
    void DoubleClick(HWND window);
    void RightClick(HWND window, POINT client);
    void RightClick(HWND window);
    // The left button pressed at from, moved in steps and let go at to.
    void Drag(HWND window, POINT from, POINT to);
    // Opens the combo box's drop-down list with a click and clicks its entry.
    void Choose(HWND combo, int index);

    // Waits until the program has handled everything queued for it and painted; false when it
    // is still busy after the time.
    bool Settle(DWORD timeoutMs = 60000);

    // What the person sees.
    HWND Focus() const;
    HWND ActiveWindow() const;
    DWORD ThreadId() const { return m_thread; }

  private:
    void Keys(const std::string& chord, bool settle);
    void MoveTo(HWND window, POINT client);
    void Buttons(DWORD down, DWORD up, int times);
    bool SettleThisThread(DWORD timeoutMs);
    void SeparateFromLastClick();

    DWORD m_process = 0;
    DWORD m_thread = 0;
    HWND m_probe = nullptr;
    UINT m_request = 0;
    UINT_PTR m_next = 0;
    // Where and when the buttons were last released: a click there within the double-click
    // time would be taken as the second half of a double click.
    POINT m_lastClick{};
    DWORD m_lastClickTime = 0;
    bool m_clicked = false;
};

// A window's text as the window itself answers it (WM_GETTEXT, also from another process).
std::string TextOf(HWND window);
// The colour on the screen at a point of the window's client area.
COLORREF ColourAt(HWND window, POINT client);
// Whether the window is the focus or holds it.
bool HoldsFocus(HWND window, HWND focus);
// Adds an answer to the script of the program that runs in test mode with that folder; the
// program takes it for the next box or dialog it fits.
void AddAnswer(const std::string& folder, const std::string& line);

} // namespace harness
