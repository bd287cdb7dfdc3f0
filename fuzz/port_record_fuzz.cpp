// The port record of the serial-port request and the frames of displays and drawers on
// arbitrary bytes: every setting is in its driver's range or left to the port, and every
// frame is 25 bytes.
#include "framework/PortName.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    fw::PortLine line = fw::ParsePortRecord(text);
    if (line.name.size() > text.size()) std::abort();
    if (line.baud != -1 && (line.baud < 1 || line.baud > 4000000)) std::abort();
    if (line.stopBits < -1 || line.stopBits > 2) std::abort();
    if (line.byteSize != -1 && (line.byteSize < 4 || line.byteSize > 8)) std::abort();
    if (line.parity < -1 || line.parity > 4) std::abort();
    fw::PortFrame frame = fw::TextPortFrame("\x1b"
                                            "F",
                                            line.name);
    if (frame[0] != '\x1b' || frame[1] != 'F') std::abort();
    std::string path = fw::DevicePath(line.name);
    if (!path.empty() && path.compare(0, 4, "\\\\.\\") != 0) std::abort();
    return 0;
}
