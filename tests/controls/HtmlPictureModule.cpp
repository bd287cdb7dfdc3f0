// A module with pictures whose start-up code leaves a mark in the process, so that a test
// sees whether loading its pictures ran it.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) ::SetEnvironmentVariableA("VORLAN_PICTURE_MODULE_RAN", "1");
    return TRUE;
}
