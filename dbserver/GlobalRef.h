#pragma once
// Global references as the client library writes them: an optional ["UCI","VOL"] or
// ["UCI"], the name without "^", and the subscripts each in double quotes with inner
// quotes doubled; or the naked form, subscripts only.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorlan::dbserver {

class JobInput;

struct GlobalRef {
    bool extended = false;
    std::string uci, vol;
    std::string name; // empty: a naked reference
    std::vector<std::string> subscripts;
};

// A name of M: "%" or a letter, then letters and digits; GT.M keeps 31 characters.
bool IsMName(std::string_view s);

// Nothing when the text does not follow the grammar (an empty text included).
std::optional<GlobalRef> ParseGlobalRef(std::string_view text);

// The reference as M code, `gld` being the global directory of an extended one; the
// subscripts are read from `input`, never pasted.
std::string GlobalCode(const GlobalRef& ref, const std::string& gld, JobInput& input);

// The reply to $QUERY: the request's brackets, the name, every subscript quoted.
std::string FormatQueryReply(const GlobalRef& request, const std::string& name,
                             const std::vector<std::string>& subscripts);

} // namespace vorlan::dbserver
