#pragma once
// The layer's scratch bitmap: pixels and palette in blocks of their own, lines top-down
// without padding.

#include "imaging/ImgBitmap.h"

#include <memory>

class ImgMemBitmap : public ImgBitmap {
  public:
    ImgMemBitmap() = default;
    ImgMemBitmap(const ImgMemBitmap&) = delete;
    ImgMemBitmap& operator=(const ImgMemBitmap&) = delete;
    ~ImgMemBitmap() override;

    size_t GetMemoryUsed() const override;
    size_t GetBytesPerLine() const override;

  protected:
    void InternalCreate(int32_t width, int32_t height, uint16_t bitsPerPixel, bool alpha) override;
    void FreeMembers() override;
    void BuildLineArray() override;

  private:
    std::unique_ptr<uint8_t[]> m_pixels;
    std::unique_ptr<ImgColor[]> m_palette;
};
