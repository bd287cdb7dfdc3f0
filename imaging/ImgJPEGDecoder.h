#pragma once
// JPEG through libjpeg: gray pictures at 8 bpp, everything else at 32 bpp without alpha.

#include "imaging/ImgPictureDecoder.h"

#include <memory>

struct ImgJPEGDecompressor;

class ImgJPEGDecoder : public ImgPictureDecoder {
  public:
    ImgJPEGDecoder();
    ~ImgJPEGDecoder() override;

  protected:
    void DoDecode(ImgBitmap* bitmap, ImgDataSource* source) override;

  private:
    std::unique_ptr<ImgJPEGDecompressor> m_pJpeg;
    // On: the library's plain chroma upsampling, faster than its smoothing one.
    bool m_bFastUpsampling = true;
};
