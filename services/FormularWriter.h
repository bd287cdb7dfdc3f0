#pragma once
// The form generator's writing side: data field tokens ("@NAME", "#NAME") in a line template
// replaced by server values, and server values made into document text.

#include <functional>
#include <optional>
#include <string>

namespace vorlan::formular {

// A value as the document takes it: with the marker "rtf:{\" and balanced braces it is RTF
// (every "rtf:" dropped); otherwise "\", "{" and "}" are escaped. A carriage return is a
// paragraph end either way.
std::string ValueRtf(const std::string& value);

// The token's value, or nothing when the token is to stay as it stands.
using TokenValue = std::function<std::optional<std::string>(const std::string& token)>;

// Copies a line template into out, each token replaced by its value. A token is the sigil and
// the letters, digits and dots after it, at most 15 characters; what is longer is text. Blanks
// after a token are swallowed and one is written after its value.
void WriteLine(const std::string& text, const TokenValue& value, std::string& out);

} // namespace vorlan::formular
