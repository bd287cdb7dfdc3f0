#pragma once
// The one way to paste a value into a line of M code.

#include <string>
#include <string_view>

namespace vorlan {

// Returns an M expression whose value is exactly `text`: a string literal with its double
// quotes doubled, control characters (0-31 and 127) concatenated as $C(...). Bytes 128-255
// stay as they are; the server runs in M mode, where every byte is one character.
std::string MQuote(std::string_view text);

}  // namespace vorlan
