#pragma once
// TIFF through libtiff: gray and palette strips of up to 8 bits at 1 or 8 bpp, everything
// else through libtiff's RGBA interface at 32 bpp.

#include "imaging/ImgPictureDecoder.h"

#include <cstddef>
#include <cstdint>
#include <string>

typedef struct tiff TIFF;

// A read-only TIFF over a block of memory that stays the caller's. Each handle keeps its own
// last error text, so decodes on two threads never mix their messages. Null when libtiff
// refuses the data; errorText then holds why.
TIFF* ImgTIFFOpenMemory(const uint8_t* data, uint64_t size, std::string* errorText);
// The last error libtiff reported for a handle of ImgTIFFOpenMemory.
const char* ImgTIFFLastError(TIFF* tiff);

class ImgTIFFDecoder : public ImgPictureDecoder {
  public:
    ImgTIFFDecoder();

  protected:
    void DoDecode(ImgBitmap* bitmap, ImgDataSource* source) override;
    virtual void DoLoColor(ImgBitmap* bitmap, TIFF* tiff);

  private:
    void DoRGBA(ImgBitmap* bitmap, TIFF* tiff);
};
