#pragma once
// Photoshop and PICT files built in memory for the tests, and what the tests ask of a decode.

#include "imaging/ImgMemBitmap.h"
#include "imaging/ImgPictureDecoder.h"

#include <cstdint>
#include <string>
#include <vector>

namespace imgtest {

class BeBytes {
  public:
    BeBytes& U8(uint32_t v) {
        m_b.push_back(static_cast<uint8_t>(v));
        return *this;
    }
    BeBytes& U16(uint32_t v) { return U8(v >> 8).U8(v); }
    BeBytes& U32(uint32_t v) { return U16(v >> 16).U16(v & 0xFFFF); }
    BeBytes& Text(const std::string& s) {
        m_b.insert(m_b.end(), s.begin(), s.end());
        return *this;
    }
    BeBytes& Bytes(const std::vector<uint8_t>& v) {
        m_b.insert(m_b.end(), v.begin(), v.end());
        return *this;
    }
    BeBytes& Zeros(size_t n) {
        m_b.insert(m_b.end(), n, 0);
        return *this;
    }
    size_t Size() const { return m_b.size(); }
    const std::vector<uint8_t>& Get() const { return m_b; }

  private:
    std::vector<uint8_t> m_b;
};

// Code and text of the exception a decode throws; 0 and "" when it succeeds.
struct Outcome {
    int32_t code = 0;
    std::string text;
};

inline Outcome Decode(ImgPictureDecoder& decoder, const std::vector<uint8_t>& bytes, ImgBitmap* bitmap) {
    try {
        decoder.DecodeMemory(bytes.data(), bytes.size(), bitmap);
    } catch (const ImgTextException& e) {
        return Outcome{e.GetCode(), e.GetText()};
    }
    return Outcome{};
}

// A 32-bpp pixel as 0xAARRGGBB.
inline uint32_t Argb(const ImgBitmap& b, int x, int y) {
    const uint8_t* p = b.GetLine(y) + 4 * x;
    return uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
}

// The colour of an 8-bpp pixel through the palette, as 0xRRGGBB.
inline uint32_t Indexed(const ImgBitmap& b, int x, int y) {
    const ImgColor& c = b.GetPalette()[b.GetLine(y)[x]];
    return uint32_t(c.red) << 16 | uint32_t(c.green) << 8 | c.blue;
}

} // namespace imgtest
