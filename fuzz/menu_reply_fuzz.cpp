// The menu tree's readers of server answers and drag records on arbitrary bytes: entries
// stay within their limits, paths within their depth, records within their fields.
#include "frame/MenuTreeLogic.h"

#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    for (const auto& e : vorlan::ParseMenuReply(text)) {
        if (e.memo.size() > 255 || e.text.size() > 255 || e.flag.size() > 255) std::abort();
        int image = e.LeafImage(false, 48);
        if (image < 0 || image > 47) std::abort();
        vorlan::MenuDragRecord r;
        if (vorlan::BuildMenuDragRecord(e.ShownText(), e.memo, true, r)) {
            if (std::memchr(r.text, 0, sizeof r.text) == nullptr ||
                std::memchr(r.memo, 0, sizeof r.memo) == nullptr)
                std::abort();
            if (r.kind != 2 || r.item != 1) std::abort();
        }
    }
    auto path = vorlan::ParseMenuPath(text);
    if (path.size() > static_cast<size_t>(vorlan::kMaxMenuDepth)) std::abort();
    std::int32_t kind = 0;
    bool image = false;
    if (vorlan::PeekIconRecord(data, size, kind, image) != (size >= 20)) std::abort();
    return 0;
}
