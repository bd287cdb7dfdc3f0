#pragma once
// ZSoft PCX pictures: 1 to 8 bits in one plane, 1 bit in up to four planes, 24 bits in three.
// A truncated file gives what it holds.

#include "imaging/ImgPictureDecoder.h"

class ImgPCXDecoder : public ImgPictureDecoder {
  protected:
    void DoDecode(ImgBitmap* bitmap, ImgDataSource* source) override;
};
