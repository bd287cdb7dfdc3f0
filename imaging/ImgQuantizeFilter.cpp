#include "imaging/ImgQuantizeFilter.h"
#include "imaging/ImgMemBitmap.h"

void ImgFilter::ApplyInPlace(ImgBitmap* bitmap) {
    ImgMemBitmap result;
    Apply(bitmap, &result);
    bitmap->CreateCopy(result, 0);
}

ImgQuantizeFilter::ImgQuantizeFilter(int32_t quantizeMode, int32_t ditherMode)
    : m_nQuantizeMode(quantizeMode), m_nDitherMode(ditherMode) {}

ImgQuantizeFilter::~ImgQuantizeFilter() = default;

// Colour reduction is not part of this build yet: say so rather than hand back a wrong picture.
void ImgQuantizeFilter::Apply(ImgBitmap*, ImgBitmap*) {
    throw ImgTextException(kImgNotSupported, "Colour quantization is not available.");
}
