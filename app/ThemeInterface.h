#pragma once
// The entry table the theme library hands out from InitInterface.

#include <windows.h>

struct ThemeApi {
    void* DrawTheme; // drawing entry; its callers cast it to their signature
    HRESULT(WINAPI* SetTheme)(HWND window, LPCWSTR className);
    BOOL(WINAPI* CanUseTheme)();
};

using InitInterfaceFn = const ThemeApi*(WINAPI*)();

constexpr const char* kThemeLibrary = "Glossery.dll";
