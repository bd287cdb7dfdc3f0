// Stands in for the theme library: hands out its table and notes every call in the file
// named by GLOSSERY_DOUBLE_LOG.
#include "theme/ThemeInterface.h"

#include <cstdio>

namespace {

// The process environment itself: the C runtime's copy misses later changes.
bool Env(const char* name, char* value, DWORD size) {
    return GetEnvironmentVariableA(name, value, size) > 0;
}

void Note(const char* what) {
    char path[MAX_PATH];
    if (!Env("GLOSSERY_DOUBLE_LOG", path, sizeof path)) return;
    if (FILE* f = std::fopen(path, "ab")) {
        std::fprintf(f, "%s\n", what);
        std::fclose(f);
    }
}

BOOL WINAPI DrawTheme(ThemeDrawParams*) {
    return FALSE;
}
BOOL WINAPI SetTheme(HWND, LPCWSTR) {
    return TRUE;
}
BOOL WINAPI CanUseTheme() {
    Note("CanUseTheme");
    return TRUE;
}

ThemeInterface kTable = {&DrawTheme, &SetTheme, &CanUseTheme};

} // namespace

extern "C" __declspec(dllexport) ThemeInterface* WINAPI InitInterface() {
    Note("InitInterface");
    char refuse[8];
    return Env("GLOSSERY_DOUBLE_REFUSE", refuse, sizeof refuse) ? nullptr : &kTable;
}
