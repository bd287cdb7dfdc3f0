#pragma once
// Names of the serial and parallel ports. Plain text, no Windows in it: built in every tree.

#include <string>
#include <string_view>

namespace fw {

// "COMn" or "LPTn" (n from 1 to 255, any case), optionally with "\\.\" in front: a name that
// can only open a device, never a file or a pipe.
bool IsDevicePortName(std::string_view name);
// The name as CreateFile opens it (ports above 9 need the device prefix); empty for a name
// that is no port.
std::string DevicePath(std::string_view name);

} // namespace fw
