// Glossery.dll: visual-style drawing for the program and its 32-bit image strips. Linked
// without a C runtime: it imports UxTheme and the kernel only.
#include "theme/ThemeInterface.h"

#include <uxtheme.h>

namespace {

HINSTANCE g_module;
ThemeInterface g_table;

template <typename Fn> bool Find(const char* name, Fn& slot) {
    FARPROC entry = ::GetProcAddress(g_module, name);
    slot = reinterpret_cast<Fn>(reinterpret_cast<void*>(entry));
    return entry != nullptr;
}

} // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) g_module = module;
    return TRUE;
}

BOOL WINAPI CanUseTheme() {
    return ::IsAppThemed();
}

BOOL WINAPI DrawTheme(ThemeDrawParams* p) {
    if (!p) return FALSE;
    HTHEME theme = ::OpenThemeData(p->window, p->classList);
    if (!theme) return FALSE;
    if (p->flags & kThemeDrawBackground)
        ::DrawThemeBackground(theme, p->dc, p->part, p->state, p->rect, p->secondRect);
    if (p->flags & kThemeDrawEdge)
        ::DrawThemeEdge(theme, p->dc, p->part, p->state, p->rect, p->edge, p->edgeFlags, p->secondRect);
    ::CloseThemeData(theme);
    return TRUE;
}

// Looked up by name like any caller would, so that the table holds what the export table says.
ThemeInterface* WINAPI InitInterface() {
    if (!g_module) return nullptr;
    if (!Find("DrawTheme", g_table.DrawTheme)) return nullptr;
    if (!Find("SetTheme", g_table.SetTheme)) return nullptr;
    if (!Find("CanUseTheme", g_table.CanUseTheme)) return nullptr;
    return &g_table;
}

// The answer of SetWindowTheme does not matter to the caller.
BOOL WINAPI SetTheme(HWND window, LPCWSTR subAppList) {
    ::SetWindowTheme(window, nullptr, subAppList);
    return TRUE;
}

} // extern "C"
