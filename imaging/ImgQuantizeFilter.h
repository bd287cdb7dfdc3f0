#pragma once
// Bitmap filters. The quantizer reduces a 32-bpp bitmap to 8 bpp with a 256-entry palette;
// ImgBitmap::CreateCopy runs it with the target's quantize and dither modes.

#include "imaging/ImgBitmap.h"

class ImgFilter : public ImgObject {
  public:
    virtual void ApplyInPlace(ImgBitmap* bitmap);
    virtual void Apply(ImgBitmap* source, ImgBitmap* destination) = 0;
};

class ImgQuantizeFilter : public ImgFilter {
  public:
    ImgQuantizeFilter(int32_t quantizeMode, int32_t ditherMode);
    ~ImgQuantizeFilter() override;

    void Apply(ImgBitmap* source, ImgBitmap* destination) override;

  private:
    int32_t m_nQuantizeMode;
    int32_t m_nDitherMode;
};
