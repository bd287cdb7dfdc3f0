#pragma once
// Where a file name the server or a setting gives lies: one rule for every service.

#include <string>
#include <string_view>

namespace vorlan {

// Names that begin with a drive ("C:") or a root ("\", "/", "\\server") stand on their own.
bool IsAbsolutePath(std::string_view path);
// A relative name lies in the folder; absolute and empty names, and any name without a folder,
// stay as they are.
std::string ResolveAgainst(std::string_view folder, std::string_view name);

} // namespace vorlan
