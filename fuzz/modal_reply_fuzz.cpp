// The modal window's readers of server answers on arbitrary bytes: the timer list, the
// customer display's lines and the stored size. Nothing grows past its bounds, no tick line
// carries a screen name that is no routine name.
#include "frame/FormFrameLogic.h"
#include "framework/PortName.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    for (const auto& entry : vorlan::SplitTimerList(text)) {
        if (entry.screen.find('\xA7') != std::string::npos || entry.code.find('\xA7') != std::string::npos)
            std::abort();
        std::string tick = vorlan::TimerTickLine(entry);
        if (entry.code.empty() && !tick.empty() && tick != "W $$TIMER^" + entry.screen + "()") std::abort();
    }
    vorlan::DisplayLine line = vorlan::ReadDisplayLine(text);
    if (line.text.size() > vorlan::kDisplayFrameSize || line.port.size() > vorlan::kDisplayFrameSize)
        std::abort();
    auto frame = vorlan::CustomerDisplayFrame('A', line.text);
    if (frame[0] != '\x1b' || frame[1] != 'F' || frame[2] != 'A') std::abort();
    std::string path = fw::DevicePath(line.port);
    if (!path.empty() && path.compare(0, 4, "\\\\.\\") != 0) std::abort();
    vorlan::StoredSize stored = vorlan::ReadStoredSize(text);
    (void)stored;
    return 0;
}
