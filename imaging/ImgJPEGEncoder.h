#pragma once
// Writes 32-bpp bitmaps as baseline JPEG through libjpeg.

#include "imaging/ImgPictureEncoder.h"

#include <memory>

struct ImgJPEGCompressor;

class ImgJPEGEncoder : public ImgPictureEncoder {
  public:
    ImgJPEGEncoder();
    ~ImgJPEGEncoder() override;

    // For the next encodes; without it the library's default quality.
    void SetQuality(int32_t quality) { m_nQuality = quality; }

  protected:
    void DoEncode(ImgBitmap* bitmap, ImgDataSink* sink) override;

  private:
    std::unique_ptr<ImgJPEGCompressor> m_pJpeg;
    int32_t m_nQuality = 0;
    int32_t m_nOptimizeCoding = 0;
    int32_t m_nSmoothingFactor = 0;
    int32_t m_nXDensity = 0;
    int32_t m_nYDensity = 0;
};
