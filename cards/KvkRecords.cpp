#include "cards/KvkRecords.h"

namespace vorlan {

int KvkFieldNumber(uint8_t tag) {
    switch (tag) {
    case 0x80: return 1;
    case 0x81: return 2;
    case 0x8F: return 3;
    case 0x82: return 4;
    case 0x83: return 5;
    case 0x90: return 6;
    case 0x84: return 7;
    case 0x85: return 8;
    case 0x86: return 9;
    case 0x87: return 10;
    case 0x88: return 11;
    case 0x89: return 12;
    case 0x8A: return 13;
    case 0x8B: return 14;
    case 0x8C: return 15;
    case 0x8D: return 16;
    case 0x91: return 17;
    case 0x92: return 18;
    default: return 0;
    }
}

std::string FromDin66003(std::string_view bytes) {
    std::string text(bytes);
    for (char& c : text) {
        switch (c) {
        case '[': c = '\xC4'; break;
        case '\\': c = '\xD6'; break;
        case ']': c = '\xDC'; break;
        case '{': c = '\xE4'; break;
        case '|': c = '\xF6'; break;
        case '}': c = '\xFC'; break;
        case '~': c = '\xDF'; break;
        default: break;
        }
    }
    return text;
}

std::vector<KvkField> WalkKvk(const uint8_t* answer, size_t length) {
    std::vector<KvkField> fields;
    if (!answer || length < 2) return fields;
    const size_t end = length - 2; // the status word is no card data
    size_t pos = 0;
    while (pos < end && answer[pos] != 0x80)
        ++pos;
    while (pos + 2 <= end) {
        size_t valueLength = answer[pos + 1];
        size_t value = pos + 2;
        if (valueLength > end - value) break;
        if (int number = KvkFieldNumber(answer[pos])) {
            std::string_view bytes(reinterpret_cast<const char*>(answer + value), valueLength);
            fields.push_back({number, FromDin66003(bytes)});
        }
        pos = value + valueLength;
    }
    return fields;
}

} // namespace vorlan
