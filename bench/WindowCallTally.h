#pragma once
// A counting shim over the program's window-system calls: while a tally is installed, every
// call the program's own code makes to the window system (user32 through the program's import
// table) is counted and timed by kind. Under Wine each of them may be a round trip to the
// window server, which is what a form's opening pays beside its M lines.
//
// Times are each call's own: what a call spent inside calls counted here (the window
// procedures it ran) goes to their kinds, not to its own.

#include <cstddef>
#include <cstdint>
#include <string>

namespace vorlan::bench {

class WindowCallTally {
  public:
    enum Kind {
        Creation,    // CreateWindowEx, DestroyWindow
        Moves,       // SetWindowPos, MoveWindow, ShowWindow
        Fonts,       // WM_SETFONT, WM_GETFONT
        Texts,       // SetWindowText, WM_SETTEXT, reading texts back, check states
        Tooltips,    // messages to tooltip windows
        Subclassing, // window procedures and hooks set, style words changed
        Redraws,     // WM_SETREDRAW, InvalidateRect, UpdateWindow, RedrawWindow
        Focus,       // SetFocus, GetFocus
        Enabling,    // EnableWindow, IsWindowEnabled
        Lookups,     // GetDlgItem, GetWindow, rectangles, styles, class names
        Messages,    // every other message sent or posted
        Measures,    // device contexts and text extents
        Resources,   // menus, cursors, pictures and image lists
        kKinds,
        // Outside the window system, reported apart: the M lines' round trips, and the
        // benchmark's own call into the program (its own time is the program's code that ran
        // outside any counted call).
        Server = kKinds,
        Driver,
        kAll
    };

    struct Count {
        int64_t calls = 0;
        double microseconds = 0;
    };

    // Redirects the program's import table; one tally at a time.
    WindowCallTally();
    // Puts the window system's own entry points back.
    ~WindowCallTally();

    WindowCallTally(const WindowCallTally&) = delete;
    WindowCallTally& operator=(const WindowCallTally&) = delete;

    // Marks time that is not the window system's while a tally counts (Server or Driver); the
    // calls counted inside it still count.
    class Outside {
      public:
        explicit Outside(Kind k);
        ~Outside();
        Outside(const Outside&) = delete;
        Outside& operator=(const Outside&) = delete;

      private:
        void* timed_;
    };

    void Reset();
    // Calls between Suspend and Resume go uncounted.
    void Suspend();
    void Resume();
    const Count& operator[](Kind k) const;
    static const char* Name(Kind k);
    int64_t AllCalls() const;
    double AllMicroseconds() const;
    // One line per kind with calls: "kind calls time", each divided by `per`; then the time
    // outside the window system.
    std::string Table(double per) const;
    // The `most` entry points (messages by number) that took longest, each divided by `per`.
    std::string Entries(double per, size_t most) const;
    // The other calls into the window system's libraries (user32, gdi32, comctl32), counted
    // only: " name calls" for each, most first.
    std::string Uncounted(double per) const;
};

} // namespace vorlan::bench
