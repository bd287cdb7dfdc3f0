#pragma once
// Windows and OS/2 bitmaps: 1, 4 and 8 bits through a palette, 16, 24 and 32 bits true
// colour, RLE4 and RLE8.

#include "imaging/ImgPictureDecoder.h"

class ImgBMPDecoder : public ImgPictureDecoder {
  protected:
    void DoDecode(ImgBitmap* bitmap, ImgDataSource* source) override;
};
