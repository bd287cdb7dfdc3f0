#pragma once
// Big-endian numbers read from a data source, as Photoshop and Macintosh pictures store them.
// Every read goes through ReadNBytes, so running past the data is code 11.

#include "imaging/ImgDataSource.h"

#include <cstdint>

namespace img {

inline uint16_t Be16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] << 8 | p[1]);
}

inline uint32_t Be32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

class BeReader {
  public:
    explicit BeReader(ImgDataSource* source) : m_source(source) {}

    uint8_t U8() { return *m_source->ReadNBytes(1); }
    uint16_t U16() { return Be16(m_source->ReadNBytes(2)); }
    int16_t S16() { return static_cast<int16_t>(U16()); }
    uint32_t U32() { return Be32(m_source->ReadNBytes(4)); }
    // Lengths from a file may exceed what a source can hold; those are code 11 as well.
    const uint8_t* Bytes(int64_t count) {
        if (count < 0 || count > m_source->GetBytesLeft())
            throw ImgTextException(kImgEndOfData, "End of file reached while decoding.\n");
        return m_source->ReadNBytes(static_cast<int32_t>(count));
    }
    void Skip(int64_t count) { Bytes(count); }
    int32_t Left() const { return m_source->GetBytesLeft(); }
    ImgDataSource* Source() const { return m_source; }

  private:
    ImgDataSource* m_source;
};

} // namespace img
