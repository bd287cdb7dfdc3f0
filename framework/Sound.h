#pragma once
// Sounds and the seconds a service waits: the beep and the wait go through seams that a
// test replaces with counters, so nothing waits or rings under test.

namespace fw {

using BeepHook = void (*)(unsigned type);
using WaitHook = void (*)(unsigned milliseconds);

// MessageBeep(type), or the hook when one is set.
void Beep(unsigned type = 0);
// Sleep(milliseconds), or the hook when one is set.
void Wait(unsigned milliseconds);
// Null puts the system's own back.
void SetBeepHook(BeepHook hook);
void SetWaitHook(WaitHook hook);

// PlaySound of a file with the given flags (SND_FILENAME, SND_ASYNC ...); false when the
// system reports that it played nothing.
bool PlaySoundFile(const char* path, unsigned flags);

} // namespace fw
