#pragma once
// Windows metafiles, plain and with the placeable header, and enhanced metafiles: played by
// GDI onto white at their own size. Only the Windows build has it.

#include "imaging/ImgPictureDecoder.h"

class ImgMetafileDecoder : public ImgPictureDecoder {
  protected:
    void DoDecode(ImgBitmap* bitmap, ImgDataSource* source) override;
};
