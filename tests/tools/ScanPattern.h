#pragma once
// The pages the scanner test source delivers: 16-pixel blocks of known colours, and a
// barcode written into the top rows as black and white pixels. The source, the barcode
// library's double and the tests all read them from here.

#include <cstdint>
#include <string>
#include <vector>

namespace scanpattern {

constexpr int kWidth = 160;
constexpr int kHeight = 96;
constexpr int kBlock = 16;
// The barcode's rows at the top of the page and its opening byte.
constexpr int kMarkerRows = 8;
constexpr uint8_t kMarkerSync = 0xB2;

// Palette entries (blue in the low byte); entries 0 and 1 are black and white everywhere.
inline uint32_t PaletteColor(int bits, int index) {
    if (index == 0) return 0x000000;
    if (index == 1) return 0xFFFFFF;
    if (bits == 4) {
        static const uint32_t sixteen[16] = {0,        0xFFFFFF, 0x0000C0, 0x00C000, 0xC00000, 0x00C0C0,
                                             0xC000C0, 0xC0C000, 0x404040, 0x808080, 0x2080F0, 0xF08020,
                                             0x20F080, 0x8020F0, 0xF02080, 0x80F020};
        return sixteen[index & 15];
    }
    uint32_t i = static_cast<uint32_t>(index);
    return ((i * 37) & 0xFF) | ((i * 91) & 0xFF) << 8 | ((i * 151) & 0xFF) << 16;
}

// The palette index of a pixel for 1, 4 and 8 bits.
inline int PatternIndex(int bits, int x, int y) {
    int bx = x / kBlock, by = y / kBlock;
    if (bits == 1) return (bx + by) % 2;
    if (bits == 4) return (bx + 3 * by) % 16;
    return (bx * 7 + by * 29) % 256;
}

// The colour of a pixel of a page of that depth.
inline uint32_t PatternColor(int bits, int x, int y) {
    if (bits <= 8) return PaletteColor(bits, PatternIndex(bits, x, y));
    uint32_t bx = static_cast<uint32_t>(x / kBlock), by = static_cast<uint32_t>(y / kBlock);
    uint32_t salt = bits == 32 ? 0x40 : 0;
    return ((bx * 25 + salt) & 0xFF) | ((by * 40) & 0xFF) << 8 | (((bx + by) * 16 + salt) & 0xFF) << 16;
}

// The bits of a barcode: the sync byte, its length, its bytes, highest bit first.
inline std::vector<bool> MarkerBits(const std::string& code) {
    std::vector<uint8_t> bytes{kMarkerSync, static_cast<uint8_t>(code.size())};
    bytes.insert(bytes.end(), code.begin(), code.end());
    std::vector<bool> bits;
    for (uint8_t b : bytes)
        for (int i = 7; i >= 0; --i)
            bits.push_back(((b >> i) & 1) != 0);
    return bits;
}

// Whether pixel (x, y) is white in the marker of the code; false outside it.
inline bool MarkerWhite(const std::vector<bool>& bits, int x, int y) {
    size_t i = static_cast<size_t>(y) * kWidth + static_cast<size_t>(x);
    return y < kMarkerRows && i < bits.size() && bits[i];
}

// The code read back from the top rows, given whether each pixel is light.
template <typename IsLight> std::string ReadMarker(int width, int height, IsLight light) {
    auto bit = [&](size_t i) {
        int x = static_cast<int>(i % static_cast<size_t>(width)),
            y = static_cast<int>(i / static_cast<size_t>(width));
        return y < height && light(x, y);
    };
    auto byte = [&](size_t at) {
        int v = 0;
        for (size_t i = 0; i < 8; ++i)
            v = v << 1 | (bit(at * 8 + i) ? 1 : 0);
        return static_cast<uint8_t>(v);
    };
    if (width <= 0 || byte(0) != kMarkerSync) return {};
    size_t length = byte(1);
    if ((length + 2) * 8 > static_cast<size_t>(width) * kMarkerRows) return {};
    std::string code;
    for (size_t i = 0; i < length; ++i)
        code += static_cast<char>(byte(2 + i));
    return code;
}

} // namespace scanpattern
