#pragma once
// BMP files built in memory for the tests: colours as 0xRRGGBB, (0,0) the top-left pixel.

#include <cstdint>
#include <functional>
#include <map>
#include <vector>

namespace imgtest {

using Colour = std::function<uint32_t(int x, int y)>;

inline void Put16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}

inline void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    Put16(b, at, v & 0xFFFF);
    Put16(b, at + 2, v >> 16);
}

// 24 bits per pixel, or 8 with a colour table of the colours used (at most 256).
inline std::vector<uint8_t> MakeBmp(int width, int height, int bpp, const Colour& colour,
                                    bool topDown = false) {
    std::map<uint32_t, int> table;
    if (bpp == 8)
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                table.emplace(colour(x, y), 0);
    int index = 0;
    for (auto& entry : table)
        entry.second = index++;
    size_t row = (static_cast<size_t>(width) * bpp + 31) / 32 * 4;
    size_t info = 40 + table.size() * 4;
    std::vector<uint8_t> b(14 + info + row * static_cast<size_t>(height), 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, static_cast<uint32_t>(b.size()));
    Put32(b, 10, static_cast<uint32_t>(14 + info));
    Put32(b, 14, 40);
    Put32(b, 18, static_cast<uint32_t>(width));
    Put32(b, 22, static_cast<uint32_t>(topDown ? -height : height));
    Put16(b, 26, 1);
    Put16(b, 28, static_cast<uint32_t>(bpp));
    Put32(b, 46, static_cast<uint32_t>(table.size()));
    for (const auto& entry : table) {
        size_t at = 54 + static_cast<size_t>(entry.second) * 4;
        b[at] = static_cast<uint8_t>(entry.first);
        b[at + 1] = static_cast<uint8_t>(entry.first >> 8);
        b[at + 2] = static_cast<uint8_t>(entry.first >> 16);
    }
    for (int y = 0; y < height; ++y) {
        size_t line = 14 + info + row * static_cast<size_t>(topDown ? y : height - 1 - y);
        for (int x = 0; x < width; ++x) {
            uint32_t c = colour(x, y);
            if (bpp == 8) {
                b[line + static_cast<size_t>(x)] = static_cast<uint8_t>(table[c]);
            } else {
                size_t at = line + static_cast<size_t>(x) * 3;
                b[at] = static_cast<uint8_t>(c);
                b[at + 1] = static_cast<uint8_t>(c >> 8);
                b[at + 2] = static_cast<uint8_t>(c >> 16);
            }
        }
    }
    return b;
}

// Red, green / blue, yellow quarters: shows position and orientation at once.
inline uint32_t Quarters(int x, int y, int width, int height) {
    bool right = x >= width / 2, bottom = y >= height / 2;
    return bottom ? (right ? 0xFFFF00 : 0x0000FF) : (right ? 0x00FF00 : 0xFF0000);
}

} // namespace imgtest
