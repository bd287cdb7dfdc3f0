// The frame's readers of server answers on arbitrary bytes: the timer list and its tick
// lines, the stored position record and where it puts a frame.
#include "frame/FrameTimerLogic.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    size_t total = 0;
    for (const vorlan::TimerEntry& e : vorlan::ParseTimerList(text)) {
        total += e.screen.size() + e.code.size();
        std::string line = vorlan::TimerTickLine(e);
        // Without code of its own a tick pastes nothing but a routine name.
        if (!e.hasCode && !line.empty() && !vorlan::IsRoutineName(e.screen)) std::abort();
    }
    if (total > size) std::abort();
    vorlan::WindowPosition p = vorlan::ParseWindowPosition(text);
    for (int clientWidth : {0, 1, 800})
        for (bool sizing : {false, true}) {
            vorlan::Placement at = vorlan::PlaceStoredPosition(p, clientWidth, 600, sizing);
            if (at.size && (at.width <= 0 || at.height <= 0)) std::abort();
        }
    return 0;
}
