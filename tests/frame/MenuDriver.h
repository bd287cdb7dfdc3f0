#pragma once
// A person's keys in open popup menus: a menu's loop holds the test's call until the menu
// closes, so the keys come from a thread timer that the loop serves. Each tick looks at the
// menus the thread shows and lets the test press at most one key; the next tick sees its
// effect.

#include "framework/Menu.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

class MenuDriver {
  public:
    // What the test sees: the open menus, outermost first.
    using Step = std::function<UINT(const std::vector<HMENU>& open)>;

    // Keys go to target's queue, which the menu's loop reads as a user's keys. A script that
    // has not finished after `ticks` looks gives up: Escape closes whatever is open then.
    static void Start(HWND target, Step step, int ticks = 60, UINT ms = 120) {
        State().target = target;
        State().typed = false;
        State().step = std::move(step);
        State().left = ticks;
        State().timedOut = false;
        State().timer = ::SetTimer(nullptr, 0, ms, Tick);
    }
    // The same with the keys typed as a person types them (SendInput): the menu's loop takes
    // them from the input queue of whichever window has the keyboard.
    static void StartTyping(Step step, int ticks = 60, UINT ms = 120) {
        Start(nullptr, std::move(step), ticks, ms);
        State().typed = true;
    }
    static bool TimedOut() { return State().timedOut; }
    static void Stop() {
        if (State().timer) ::KillTimer(nullptr, State().timer);
        State().timer = 0;
        State().step = nullptr;
    }

    // The item shown selected, or -1.
    static int Hilited(HMENU menu) {
        for (int i = 0; i < ::GetMenuItemCount(menu); ++i)
            if (::GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_HILITE) return i;
        return -1;
    }
    static std::string Text(HMENU menu, int position) { return CMenu::ItemText(menu, position).str(); }
    // The key that moves the selection onto the item, or Return once it is there.
    static UINT Choose(HMENU menu, int position) { return Hilited(menu) == position ? VK_RETURN : VK_DOWN; }

  private:
    struct Data {
        HWND target = nullptr;
        Step step;
        UINT_PTR timer = 0;
        int left = 0;
        bool timedOut = false;
        bool typed = false;
    };
    static Data& State() {
        static Data data;
        return data;
    }
    static bool IsSubmenuOf(HMENU inner, HMENU outer) {
        for (int i = 0; i < ::GetMenuItemCount(outer); ++i)
            if (::GetSubMenu(outer, i) == inner) return true;
        return false;
    }
    // Outermost first: each next one is a submenu of the one before.
    static std::vector<HMENU> Outermost(std::vector<HMENU> menus) {
        std::vector<HMENU> chain;
        while (!menus.empty()) {
            auto next = menus.begin();
            for (auto it = menus.begin(); it != menus.end(); ++it) {
                bool inner = false;
                for (HMENU other : menus)
                    if (other != *it && IsSubmenuOf(*it, other)) inner = true;
                if (!inner) {
                    next = it;
                    break;
                }
            }
            chain.push_back(*next);
            menus.erase(next);
        }
        return chain;
    }
    static BOOL CALLBACK Collect(HWND window, LPARAM out) {
        char name[16] = {};
        ::GetClassNameA(window, name, sizeof name);
        if (std::string(name) == "#32768" && ::IsWindowVisible(window))
            if (HMENU menu = reinterpret_cast<HMENU>(::SendMessageA(window, MN_GETHMENU, 0, 0)))
                reinterpret_cast<std::vector<std::pair<HWND, HMENU>>*>(out)->push_back({window, menu});
        return TRUE;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        if (!State().step) return;
        std::vector<std::pair<HWND, HMENU>> found;
        ::EnumThreadWindows(::GetCurrentThreadId(), Collect, reinterpret_cast<LPARAM>(&found));
        std::vector<HMENU> menus;
        for (const auto& f : found)
            menus.push_back(f.second);
        UINT key = 0;
        if (--State().left < 0) {
            State().timedOut = true;
            key = menus.empty() ? 0 : VK_ESCAPE;
        } else {
            key = State().step(Outermost(menus));
        }
        if (!key) return;
        if (State().typed) {
            Type(key);
            return;
        }
        ::PostMessageA(State().target, WM_KEYDOWN, key, 0);
        ::PostMessageA(State().target, WM_KEYUP, key, 0xC0000000);
    }
    static void Type(UINT key) {
        const bool extended = key == VK_UP || key == VK_DOWN || key == VK_LEFT || key == VK_RIGHT;
        INPUT in[2] = {};
        for (int i = 0; i < 2; ++i) {
            in[i].type = INPUT_KEYBOARD;
            in[i].ki.wVk = static_cast<WORD>(key);
            in[i].ki.wScan = static_cast<WORD>(::MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
            in[i].ki.dwFlags = (i ? KEYEVENTF_KEYUP : 0) | (extended ? KEYEVENTF_EXTENDEDKEY : 0);
        }
        ::SendInput(2, in, sizeof(INPUT));
    }
};
