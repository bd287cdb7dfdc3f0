#pragma once
// Little-endian numbers and colour masks in the layer's file headers.

#include <cstdint>

namespace img {

inline uint16_t Le16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

inline uint32_t Le32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// A channel of a pixel under a colour mask (bit fields), scaled to 8 bits; 0 without a mask.
inline uint8_t MaskedChannel(uint32_t pixel, uint32_t mask) {
    if (!mask) return 0;
    int shift = 0;
    while (!(mask >> shift & 1))
        ++shift;
    uint64_t max = mask >> shift;
    return static_cast<uint8_t>(((pixel & mask) >> shift) * uint64_t(255) / max);
}

} // namespace img
