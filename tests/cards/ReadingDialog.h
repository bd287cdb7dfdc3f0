#pragma once
// The card-reading dialog as tests reach it while its loop holds their call: steps run from a
// thread timer, which whichever loop pumps serves; the dialog is found among this thread's
// windows, and a keyboard card reader's characters are posted to it.

#include "framework/Wnd.h"
#include "resources/CardIds.h"

#include <windows.h>

#include <functional>
#include <string>

namespace readingdialog {

HWND Find();

// Runs the step every 50 ms until it answers true; one at a time. After the number of tries
// it cancels the dialog, so that a test waiting for what never shows fails instead of hanging.
class WhileShown {
  public:
    explicit WhileShown(std::function<bool()> step, int tries = 400) {
        Step() = std::move(step);
        Tries() = tries;
        m_timer = ::SetTimer(nullptr, 0, 50, Tick);
    }
    ~WhileShown() {
        ::KillTimer(nullptr, m_timer);
        Step() = nullptr;
    }
    WhileShown(const WhileShown&) = delete;
    WhileShown& operator=(const WhileShown&) = delete;

  private:
    static std::function<bool()>& Step() {
        static std::function<bool()> step;
        return step;
    }
    static int& Tries() {
        static int tries = 0;
        return tries;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
        if (!Step()) return;
        bool done = Step()();
        if (!done && --Tries() <= 0) {
            if (HWND dialog = Find()) ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            done = true;
        }
        if (done) {
            ::KillTimer(nullptr, id);
            Step() = nullptr;
        }
    }
    UINT_PTR m_timer;
};

inline BOOL CALLBACK FindOne(HWND window, LPARAM found) {
    char name[16] = {};
    ::GetClassNameA(window, name, sizeof name);
    if (std::string(name) != "#32770" || !::IsWindowVisible(window) ||
        !::GetDlgItem(window, IDC_READCARD_STATUS))
        return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// The reading dialog this thread shows, or null.
inline HWND Find() {
    HWND dialog = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), FindOne, reinterpret_cast<LPARAM>(&dialog));
    return dialog;
}

inline std::string StatusText(HWND dialog) {
    return fw::WindowText(::GetDlgItem(dialog, IDC_READCARD_STATUS));
}

// What a keyboard card reader types, wherever the dialog's focus is: its Cancel button.
inline void Type(HWND dialog, const std::string& text) {
    HWND button = ::GetDlgItem(dialog, IDCANCEL);
    for (char c : text)
        ::PostMessageA(button, WM_CHAR, static_cast<unsigned char>(c), 1);
}

// Cancels the dialog, as the user would, once it shows the text.
inline std::function<bool()> CancelWhenShown(const std::string& text) {
    return [text] {
        HWND dialog = Find();
        if (!dialog || StatusText(dialog) != text) return false;
        ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        return true;
    };
}

} // namespace readingdialog
