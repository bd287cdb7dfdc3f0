#pragma once
// PNG through libpng: gray and palette pictures at 8 bpp, the others at 32 bpp.

#include "imaging/ImgPictureDecoder.h"

class ImgPNGDecoder : public ImgPictureDecoder {
  protected:
    void DoDecode(ImgBitmap* bitmap, ImgDataSource* source) override;
};
