#pragma once
// Commands and their enabling. A command id travels along a routing chain (the main frame
// passes it to the active child frame first, then its own table, then the application)
// until a command table has an entry for it. The same chain answers whether a menu item
// or toolbar button is enabled, checked or renamed.

#include <windows.h>

#include <cstddef>

enum CommandCode {
    kCommand = 0,          // run the command
    kUpdateCommandUI = -1, // let the update handler set the item's state
    kProbeCommand = -2,    // only ask whether some table runs the command
};

// The state of one command's user-interface item: a menu item (by position), a toolbar
// button (by id) or nothing (the state is only recorded, for callers that just ask).
class CCmdUI {
  public:
    CCmdUI() = default;
    explicit CCmdUI(UINT id) : m_nID(id) {}
    static CCmdUI ForMenuItem(HMENU menu, UINT index);
    static CCmdUI ForToolBarButton(HWND toolbar, UINT id);
    virtual ~CCmdUI() = default;

    UINT m_nID = 0;
    HMENU m_hMenu = nullptr;
    UINT m_nIndex = 0;
    HWND m_hToolBar = nullptr;

    // What the handlers set (also applied to the menu item or button).
    bool m_bEnabled = true;
    int m_nCheck = 0;
    // An update handler that sets this lets the routing go on to the next table.
    bool m_bContinueRouting = false;

    virtual void Enable(bool on = true);
    virtual void SetCheck(int state = 1);
    virtual void SetRadio(bool on = true);
    virtual void SetText(const char* text);
};

// One line of a command table: the id range, the handler run for the command (null: the
// table only updates it) and the update handler (null: enabled whenever a handler exists).
template <class T> struct CommandEntry {
    UINT first;
    UINT last;
    void (T::*onCommand)(UINT id);
    void (T::*onUpdate)(CCmdUI* ui);
};

namespace fw {

// Looks the id up in the table and runs what the code asks for; true when the table took it.
template <class T, size_t N>
bool RouteCommand(T* self, const CommandEntry<T> (&table)[N], UINT id, int code, CCmdUI* ui) {
    for (const CommandEntry<T>& e : table) {
        if (id < e.first || id > e.last) continue;
        switch (code) {
        case kCommand:
            if (!e.onCommand) continue;
            (self->*e.onCommand)(id);
            return true;
        case kProbeCommand:
            if (e.onCommand) return true;
            continue;
        case kUpdateCommandUI:
            if (e.onUpdate && ui) {
                ui->m_bContinueRouting = false;
                (self->*e.onUpdate)(ui);
                if (ui->m_bContinueRouting) continue;
                return true;
            }
            if (e.onCommand && ui) {
                ui->Enable(true);
                return true;
            }
            continue;
        default: return false;
        }
    }
    return false;
}

} // namespace fw
