#pragma once
// The theme library's drawing record and entry table: one definition for the library and the
// program that loads it.

#include <windows.h>

#include <cstddef>

// ThemeDrawParams::flags
constexpr INT kThemeDrawBackground = 1;
constexpr INT kThemeDrawEdge = 2;

struct ThemeDrawParams {
    INT flags;
    HWND window; // whose theme data is opened
    HDC dc;
    INT part;
    INT state;
    const RECT* rect;
    // The background's clip rectangle; the content rectangle the edge call fills in.
    RECT* secondRect;
    LPCWSTR classList; // e.g. L"ComboBox"
    UINT edge;
    UINT edgeFlags;
};

// The 32-bit build keeps the record's packed 40-byte layout; the 64-bit one cannot hold handles
// and pointers in 32-bit fields and takes the same fields at their natural sizes.
#ifdef _WIN64
static_assert(sizeof(ThemeDrawParams) == 64, "x86_64 record layout");
static_assert(offsetof(ThemeDrawParams, window) == 8 && offsetof(ThemeDrawParams, part) == 24 &&
                  offsetof(ThemeDrawParams, rect) == 32 && offsetof(ThemeDrawParams, classList) == 48 &&
                  offsetof(ThemeDrawParams, edgeFlags) == 60,
              "x86_64 field offsets");
#else
static_assert(sizeof(ThemeDrawParams) == 40, "i686 record layout");
static_assert(offsetof(ThemeDrawParams, window) == 4 && offsetof(ThemeDrawParams, part) == 12 &&
                  offsetof(ThemeDrawParams, rect) == 20 && offsetof(ThemeDrawParams, classList) == 28 &&
                  offsetof(ThemeDrawParams, edgeFlags) == 36,
              "i686 field offsets");
#endif

// In this order.
struct ThemeInterface {
    // 0 when no theme applies to the window and class list (nothing drawn), else 1.
    BOOL(WINAPI* DrawTheme)(ThemeDrawParams* params);
    BOOL(WINAPI* SetTheme)(HWND window, LPCWSTR subAppList);
    BOOL(WINAPI* CanUseTheme)();
};

using InitInterfaceFn = ThemeInterface*(WINAPI*)();

constexpr const char* kThemeLibrary = "Glossery.dll";
