// Whatever the bytes, decoding them gives a picture or an ImgTextException, and the picture's
// lines are all there.
#include "imaging/ImgAnyDecoder.h"
#include "imaging/ImgMemBitmap.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    ImgMemBitmap bitmap;
    try {
        ImgAnyDecoder().DecodeMemory(data, size, &bitmap);
        volatile uint8_t sum = 0;
        size_t line = bitmap.GetBytesPerLine();
        for (int32_t y = 0; y < bitmap.GetHeight(); ++y)
            sum = static_cast<uint8_t>(sum + bitmap.GetLine(y)[line - 1]);
    } catch (const ImgTextException&) {
    }
    return 0;
}
