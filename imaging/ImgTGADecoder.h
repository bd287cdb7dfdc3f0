#pragma once
// Targa pictures: colour-mapped, true colour and gray, plain or run-length encoded.

#include "imaging/ImgPictureDecoder.h"

class ImgTGADecoder : public ImgPictureDecoder {
  protected:
    void DoDecode(ImgBitmap* bitmap, ImgDataSource* source) override;
};
