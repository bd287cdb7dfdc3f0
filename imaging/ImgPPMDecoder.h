#pragma once
// Portable pixmaps: ASCII and binary, samples of one or two bytes.

#include "imaging/ImgPictureDecoder.h"

class ImgPPMDecoder : public ImgPictureDecoder {
  protected:
    void DoDecode(ImgBitmap* bitmap, ImgDataSource* source) override;
};
