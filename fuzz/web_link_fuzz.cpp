// The split of a page link that calls the client, on arbitrary URL and target texts.
#include "frame/WebLinkLogic.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    size_t cut = text.find('\0');
    std::string url = text.substr(0, cut);
    std::string target = cut == std::string::npos ? "vorlan:" : text.substr(cut + 1);
    vorlan::WebCall call;
    if (!vorlan::SplitWebLink(url, target, call)) return 0;
    if (call.command.size() + 7 != target.size()) std::abort();
    if (call.query.size() > url.size()) std::abort();
    if (url.find('?') == std::string::npos && call.query != url) std::abort();
    return 0;
}
