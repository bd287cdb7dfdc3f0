// One decoder (FUZZ_DECODER, given at build time; ImgAnyDecoder for all formats at once):
// whatever the bytes, a picture with all its lines or an ImgTextException.
#include "imaging/ImgAnyDecoder.h"
#include "imaging/ImgGIFDecoder.h"
#include "imaging/ImgJPEGDecoder.h"
#include "imaging/ImgMemBitmap.h"
#include "imaging/ImgPNGDecoder.h"
#include "imaging/ImgTIFFDecoder.h"

// Pictures up to the layer's cap are legal: freed ones must not pile up in the sanitizer's
// quarantine until the memory limit is reached.
extern "C" const char* __asan_default_options() { return "quarantine_size_mb=64"; }

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
