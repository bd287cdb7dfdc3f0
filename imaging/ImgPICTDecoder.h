#pragma once
// Macintosh PICT files of version 1 and 2: the first bitmap or pixmap in the picture, or the
// JPEG data of a QuickTime opcode. Vector drawing is walked over, not drawn.

#include "imaging/ImgPictureDecoder.h"

class ImgPICTDecoder : public ImgPictureDecoder {
  public:
    // jpeg decodes embedded JPEG data; without one such pictures are code 6. Not owned.
    explicit ImgPICTDecoder(ImgPictureDecoder* jpeg = nullptr) : m_pJPEGDecoder(jpeg) {}

  protected:
    void DoDecode(ImgBitmap* bitmap, ImgDataSource* source) override;

  private:
    ImgPictureDecoder* m_pJPEGDecoder;
};
