#include "app/OptionsLogic.h"

#include "common/MQuote.h"

#include <cctype>
#include <cstdlib>

namespace vorlan {

std::string WordPathLine(std::string_view user) {
    return "W $G(^[%SYS]EXTRAS(" + MQuote(user) + ",\"WORDPATH\"))";
}

std::string SetWordPathLine(std::string_view user, std::string_view folder) {
    return "S ^[%SYS]EXTRAS(" + MQuote(user) + ",\"WORDPATH\")=" + MQuote(folder);
}

FontSizeInput ReadFontSize(std::string_view text) {
    FontSizeInput in;
    in.text = std::string(text);
    long n = std::strtol(in.text.c_str(), nullptr, 10);
    if (n > 64) {
        in.size = 64;
        in.text = "64";
        in.corrected = true;
    } else if (n <= 0 && !text.empty()) {
        // A negative size is no size either.
        in.size = 8;
        in.text = "8";
        in.corrected = true;
    } else {
        in.size = static_cast<int>(n);
    }
    return in;
}

unsigned FontSlotTextId(int slot) {
    return slot < 10 ? 133u + static_cast<unsigned>(slot) : 51u;
}

bool IsRemoteConnection(std::string_view stored) {
    return stored == kRemoteConnectionDefault;
}

std::string RemoteConnectionValue(std::string_view stored, bool remote) {
    if (!stored.empty() && IsRemoteConnection(stored) == remote) return std::string(stored);
    return remote ? kRemoteConnectionDefault : "0";
}

int TransportIndex(std::string_view stored) {
    int n = std::atoi(std::string(stored).c_str());
    return n == 1 ? 1 : 0;
}

} // namespace vorlan
