#pragma once
// Photoshop files: the merged image of grayscale, indexed and RGB pictures at 8 bits a
// channel, RLE packed. Layers are skipped.

#include "imaging/ImgPictureDecoder.h"

class ImgPSDDecoder : public ImgPictureDecoder {
  protected:
    void DoDecode(ImgBitmap* bitmap, ImgDataSource* source) override;
};
