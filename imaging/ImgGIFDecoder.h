#pragma once
// GIF through giflib: every image of the file drawn into one 8-bpp picture of the screen size.

#include "imaging/ImgPictureDecoder.h"

class ImgGIFDecoder : public ImgPictureDecoder {
  protected:
    void DoDecode(ImgBitmap* bitmap, ImgDataSource* source) override;
};
