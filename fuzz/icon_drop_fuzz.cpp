// The icon desktop's readers on arbitrary bytes: a dropped "VORLAN.Icon" block of any size
// and content, a stored icon's reply and a menu-information reply.
#include "tools/IconListLogic.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    // An exact-size copy so that the sanitizer sees any read past the block.
    std::vector<unsigned char> block(data, data + size);
    vorlan::IconDrop drop;
    if (vorlan::ReadIconDrop(block.data(), block.size(), 4, drop)) {
        if (drop.kind == 1 && (drop.item < 0 || drop.item >= 4)) std::abort();
        if (drop.kind != 1 && drop.kind != 2) std::abort();
        if (drop.text.size() > 128 || drop.memo.size() > 16) std::abort();
    }
    std::string text(reinterpret_cast<const char*>(data), size);
    vorlan::StoredIcon icon;
    if (vorlan::ParseStoredIcon(text, icon) &&
        icon.text.size() + icon.memo.size() + icon.parameter.size() > size)
        std::abort();
    for (const std::string& choice : vorlan::ParseMenuInfo(text).choices)
        if (choice.size() > 127) std::abort();
    return 0;
}
