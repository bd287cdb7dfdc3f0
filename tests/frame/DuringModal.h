#pragma once
// Steps of a test that must run inside the modal loop of a window it opens.

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
