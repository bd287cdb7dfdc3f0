#pragma once
// Test steps for the inside of a modal loop: a sub-dialog holds the test's call until it
// ends, so what the test does in it runs from a thread timer, which whichever loop pumps.

#include <windows.h>

#include <functional>
#include <vector>

// Steps that run one after another from inside a modal loop (a thread timer is served by
// whichever loop pumps), each some time after the last.
class DuringModal {
  public:
    static void Run(std::vector<std::function<void()>> steps, UINT ms = 400) {
        Steps() = std::move(steps);
        Next() = 0;
        ::SetTimer(nullptr, 0, ms, Tick);
    }
    static bool Done() { return Next() >= Steps().size(); }

  private:
    static std::vector<std::function<void()>>& Steps() {
        static std::vector<std::function<void()>> steps;
        return steps;
    }
    static size_t& Next() {
        static size_t next = 0;
        return next;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
        if (Done()) {
            ::KillTimer(nullptr, id);
            return;
        }
        auto step = Steps()[Next()++];
        if (Done()) ::KillTimer(nullptr, id);
        step();
    }
};
