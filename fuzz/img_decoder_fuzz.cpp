// One decoder (FUZZ_DECODER, given at build time; ImgAnyDecoder for all formats at once):
// whatever the bytes, a picture with all its lines or an ImgTextException.
#include "imaging/ImgAnyDecoder.h"
#include "imaging/ImgGIFDecoder.h"
#include "imaging/ImgJPEGDecoder.h"
#include "imaging/ImgMemBitmap.h"
#include "imaging/ImgPNGDecoder.h"
#include "imaging/ImgTIFFDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    ImgMemBitmap bitmap;
    try {
        FUZZ_DECODER().DecodeMemory(data, size, &bitmap);
        volatile uint8_t sum = 0;
        size_t line = bitmap.GetBytesPerLine();
        for (int32_t y = 0; y < bitmap.GetHeight(); ++y)
            sum = static_cast<uint8_t>(sum + bitmap.GetLine(y)[0] + bitmap.GetLine(y)[line - 1]);
    } catch (const ImgTextException&) {
    }
    return 0;
}
