#pragma once
// Compiles M lines with the GT.M engine without running any of them. XECUTE behind a QUIT
// rather than a routine file: the server's job runs each line by XECUTE, which compiles the
// whole line first, so the check is the server's own and nothing of the line runs (no
// database is needed). All lines of a test go to one engine process in a scratch folder.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vorlan::test {

// The longest line the engine's XECUTE takes (8192 bytes, less the QUIT put before it).
constexpr size_t kCompileLimit = 8000;

// A line longer than kCompileLimit, shortened without changing its syntax: each string literal
// keeps its first characters, each $C(...) of numbers its first code, and a concatenation of
// such literals its first few. Values pasted through MQuote are such concatenations, so a
// 60,000-character value still leaves the line around it to compile. Shorter lines stay.
std::string ShortenedForCompile(std::string_view line);

// For each line "" when it compiles, else the engine's error (or why it could not be
// compiled). Throws std::runtime_error when the engine cannot be run.
std::vector<std::string> CompileErrors(const std::vector<std::string>& lines);

} // namespace vorlan::test
