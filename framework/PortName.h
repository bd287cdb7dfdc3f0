#pragma once
// Names of the serial and parallel ports, the fixed frames written to customer displays and
// cash drawers, and a serial port's line settings as a server record names them. Plain
// text, no Windows in it: built in every tree.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace fw {

// "COMn" or "LPTn" (n from 1 to 255, any case), optionally with "\\.\" in front: a name that
// can only open a device, never a file or a pipe.
bool IsDevicePortName(std::string_view name);
// "COMn" only (any case, optionally with "\\.\" in front): a serial port.
bool IsComPortName(std::string_view name);
// The name as CreateFile opens it (ports above 9 need the device prefix); empty for a name
// that is no port.
std::string DevicePath(std::string_view name);

// Displays and drawers read fixed frames: the bytes are cut at 25, the rest is zero bytes.
constexpr size_t kPortFrameSize = 25;
using PortFrame = std::array<char, kPortFrameSize>;
PortFrame BoundedPortFrame(std::string_view bytes);
// head, text and a carriage return; a text too long for the frame loses its CR.
PortFrame TextPortFrame(std::string_view head, std::string_view text);

// A serial port's line settings: "name§baud§stop bits§byte size§parity" with the serial
// driver's codes (stop bits 0-2, byte size 4-8, parity 0-4). A setting that is missing, no
// number or out of range is -1: the port keeps its own.
struct PortLine {
    std::string name;
    long baud = -1;
    int stopBits = -1;
    int byteSize = -1;
    int parity = -1;
};
PortLine ParsePortRecord(std::string_view record, char delimiter = '\xA7');

} // namespace fw
