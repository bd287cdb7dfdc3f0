#pragma once
// Shortcut files (".lnk") through the shell's link object.

#include <windows.h>

#include <string>

namespace fw {

// Writes the shortcut file `linkPath` pointing to `target`; the result of the last shell call.
HRESULT CreateShellLink(const std::string& linkPath, const std::string& target);
// The path a shortcut file points to; empty when it cannot be read.
std::string ShellLinkPath(const std::string& linkPath);

} // namespace fw
