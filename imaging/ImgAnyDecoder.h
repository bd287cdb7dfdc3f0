#pragma once
// Decoding pictures into bitmaps. Callers use an ImgAnyDecoder, which recognises the format;
// for now it reads Windows bitmaps (BMP) and turns away every other format with an
// ImgTextException whose text says so.

#include "imaging/ImgWinBitmap.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>

class ImgPictureDecoder : public ImgObject {
  public:
    // Throws ImgTextException: 3 path not found, 4 cannot open, 5 access denied, or what
    // decoding the contents throws.
    void DecodeFile(const char* path, ImgWinBitmap* bitmap);
    // A resource of the module; without a type RT_RCDATA. 4 when it cannot be found.
    void DecodeResource(HMODULE module, int id, ImgWinBitmap* bitmap, const char* type = nullptr);
    void DecodeMemory(const void* data, size_t size, ImgWinBitmap* bitmap);

  protected:
    virtual void DoDecode(const uint8_t* data, size_t size, ImgWinBitmap* bitmap) = 0;
};

class ImgAnyDecoder : public ImgPictureDecoder {
  protected:
    void DoDecode(const uint8_t* data, size_t size, ImgWinBitmap* bitmap) override;
};
