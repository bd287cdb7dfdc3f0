#pragma once
// The one way to paste a value into a line of M code.

#include <string>
#include <string_view>

namespace vorlan {

// Returns an M expression whose value is exactly `text`: a string literal with its double
// quotes doubled, control characters (0-31 and 127) concatenated as $C(...). Bytes 128-255
// stay as they are; the server runs in M mode, where every byte is one character.
std::string MQuote(std::string_view text);

// A subscript as M code: a number in M's canonical form stays bare (so that it names the
// numeric node), anything else goes through MQuote.
std::string MSubscript(std::string_view subscript);

// The body of a literal the grid's server routines expect for a cell's text: a double quote
// travels as the single byte $C(255) (the server turns it back), a character below 32 is
// spliced in as "_$C(nn)_" with two decimal digits. Every other byte is copied. The caller
// puts it between two double quotes.
std::string MCellLiteralBody(std::string_view text);

}  // namespace vorlan
