#pragma once
// The memory card's (KVK) tag-length-value records, as READ BINARY answers them.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vorlan {

// The field number of a record's tag, 1..18; 0 for the checksum (8E) and unknown tags.
int KvkFieldNumber(uint8_t tag);

// The German 7-bit set (DIN 66003) to code page 1252: "[\]{|}~" become "ÄÖÜäöüß".
std::string FromDin66003(std::string_view bytes);

struct KvkField {
    int number = 0;   // 1..18
    std::string text; // code page 1252
};

// Walks a READ BINARY answer (its two status bytes at the end included): bytes before the
// first 0x80 are stepped over, from there on every position is a record. Known records come
// out in card order, a tag that occurs twice twice. A record whose value runs past the
// answer's data ends the walk; nothing beyond the answer is read.
std::vector<KvkField> WalkKvk(const uint8_t* answer, size_t length);

} // namespace vorlan
