#include "frame/WebLinkLogic.h"

#include <cctype>

namespace vorlan {

namespace {

constexpr std::string_view kPrefix = "vorlan:";

bool HasPrefix(std::string_view target) {
    if (target.size() < kPrefix.size()) return false;
    for (size_t i = 0; i < kPrefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(target[i])) != kPrefix[i]) return false;
    return true;
}

} // namespace

bool SplitWebLink(std::string_view url, std::string_view target, WebCall& call) {
    if (!HasPrefix(target)) return false;
    call.command = std::string(target.substr(kPrefix.size()));
    size_t mark = url.find('?');
    call.query = std::string(mark == std::string_view::npos ? url : url.substr(mark + 1));
    return true;
}

} // namespace vorlan
