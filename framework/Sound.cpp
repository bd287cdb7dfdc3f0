#include "framework/Sound.h"

#include <windows.h>
#include <mmsystem.h>

namespace fw {

namespace {
BeepHook g_beep = nullptr;
WaitHook g_wait = nullptr;
} // namespace

void Beep(unsigned type) {
    if (g_beep)
        g_beep(type);
    else
        ::MessageBeep(type);
}

void Wait(unsigned milliseconds) {
    if (g_wait)
        g_wait(milliseconds);
    else
        ::Sleep(milliseconds);
}

void SetBeepHook(BeepHook hook) {
    g_beep = hook;
}

void SetWaitHook(WaitHook hook) {
    g_wait = hook;
}

bool PlaySoundFile(const char* path, unsigned flags) {
    return ::PlaySoundA(path, nullptr, flags) != FALSE;
}

} // namespace fw
