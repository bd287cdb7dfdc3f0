#pragma once
// The server's log: lines on standard error, which "serve --log FILE" points at the file.
// Jobs inherit it, and GT.M's own messages land there too.

#include <string>

namespace vorlan::dbserver {

void LogLine(const std::string& text);

} // namespace vorlan::dbserver
