#pragma once
// The link protocol of web pages: a link whose target frame name begins with "vorlan:" is
// a call of the client, not a page.

#include <string>
#include <string_view>

namespace vorlan {

struct WebCall {
    std::string command; // the target frame name after "vorlan:"
    std::string query;   // the URL after its first "?", the whole URL without one
};

// True (and the call filled) when the target names the client; the prefix in any case.
bool SplitWebLink(std::string_view url, std::string_view target, WebCall& call);

} // namespace vorlan
