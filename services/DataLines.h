#pragma once
// Values of any size into server variables: GT.M executes lines of at most 8 KB and takes at
// most 255 arguments in one $C(...), so long values travel as a SET and appending SETs.

#include <string>
#include <string_view>
#include <vector>

namespace vorlan {

// Bytes per part of a value at most, and the most characters a part's expression may take:
// quoted control characters grow a part several times, and the line around it (the SET, the
// reference twice, a tail) must stay within GT.M's 8,192 characters.
constexpr size_t kSetPartBytes = 1500;
constexpr size_t kSetPartChars = 6000;

// The bytes as $C(...) groups of at most 255 codes, joined by "_"; "" for no bytes.
std::string CharCodes(std::string_view bytes);
// One M expression per part of the value, each through MQuote (or CharCodes when
// `codes`); one empty literal for an empty value.
std::vector<std::string> ValueParts(std::string_view value, bool codes = false);
// "S ref=part1" and "S ref=ref_part" for the rest; `tail` (", X=..." and the like) ends
// the last line.
std::vector<std::string> AppendingSetLines(std::string_view reference, const std::vector<std::string>& parts,
                                           std::string_view tail = {});

} // namespace vorlan
