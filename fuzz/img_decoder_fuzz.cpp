// One picture decoder, named by the build (the recognising one or a format's own): whatever the
// bytes, a picture with all its lines or an ImgTextException.
#include "imaging/ImgMemBitmap.h"
#include IMG_DECODER_HEADER

#include <cstdlib>

// Pictures up to the layer's cap are legal: freed ones must not pile up in the sanitizer's
// quarantine until the memory limit is reached.
extern "C" const char* __asan_default_options() { return "quarantine_size_mb=64"; }

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    ImgMemBitmap bitmap;
    try {
        IMG_DECODER().DecodeMemory(data, size, &bitmap);
        volatile uint8_t sum = 0;
        size_t line = bitmap.GetBytesPerLine();
        for (int32_t y = 0; y < bitmap.GetHeight(); ++y)
            sum = static_cast<uint8_t>(sum + bitmap.GetLine(y)[0] + bitmap.GetLine(y)[line - 1]);
        // True colour also goes through the quantizer, as an 8-bit copy would.
        if (bitmap.GetBitsPerPixel() == 32 && int64_t(bitmap.GetWidth()) * bitmap.GetHeight() <= 65536) {
            ImgMemBitmap reduced;
            reduced.SetDitherMode(static_cast<int32_t>(size % 3));
            reduced.SetQuantizeMode(static_cast<int32_t>(size / 3 % 3));
            reduced.CreateCopy(bitmap, 8);
        }
    } catch (const ImgTextException&) {
    }
    return 0;
}
