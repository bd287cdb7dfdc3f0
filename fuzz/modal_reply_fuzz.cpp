// The modal window's reader of the customer display's lines on arbitrary bytes: nothing grows
// past its bounds, and only a device name becomes a path.
#include "frame/FormFrameLogic.h"
#include "framework/PortName.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    vorlan::DisplayLine line = vorlan::ReadDisplayLine(text);
    if (line.text.size() > vorlan::kDisplayFrameSize || line.port.size() > vorlan::kDisplayFrameSize)
        std::abort();
    auto frame = vorlan::CustomerDisplayFrame('A', line.text);
    if (frame[0] != '\x1b' || frame[1] != 'F' || frame[2] != 'A') std::abort();
    std::string path = fw::DevicePath(line.port);
    if (!path.empty() && path.compare(0, 4, "\\\\.\\") != 0) std::abort();
    return 0;
}
