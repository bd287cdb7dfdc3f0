#pragma once
// Portable graymaps: ASCII and binary, samples of one or two bytes.

#include "imaging/ImgPictureDecoder.h"

class ImgPGMDecoder : public ImgPictureDecoder {
  protected:
    void DoDecode(ImgBitmap* bitmap, ImgDataSource* source) override;
};
