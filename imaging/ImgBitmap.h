#pragma once
// The layer's bitmap: a picture of width by height pixels at a colour depth. The concrete
// kinds hold the pixels.

#include "imaging/ImgObject.h"

#include <cstdint>

struct ImgSize {
    int32_t width;
    int32_t height;
};

class ImgBitmap : public ImgObject {
  public:
    ImgSize GetSize() const { return ImgSize{m_nWidth, m_nHeight}; }
    int32_t GetWidth() const { return m_nWidth; }
    int32_t GetHeight() const { return m_nHeight; }
    uint16_t GetBitsPerPixel() const { return m_nBitsPerPixel; }

  protected:
    int32_t m_nWidth = 0;
    int32_t m_nHeight = 0;
    uint16_t m_nBitsPerPixel = 0;
};
