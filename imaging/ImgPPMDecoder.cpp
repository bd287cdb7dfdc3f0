#include "imaging/ImgPPMDecoder.h"
#include "imaging/ImgBitmapLock.h"
#include "imaging/ImgPnmReader.h"
#include "imaging/ImgTrace.h"

void ImgPPMDecoder::DoDecode(ImgBitmap* bitmap, ImgDataSource* source) {
    ImgTrace(2, "Decoding PPM.\n");
    ImgPnmReader reader(source, "PPM decoder");
    if (reader.GetKind() != '3' && reader.GetKind() != '6')
        RaiseError(kImgBadData, "PPM decoder: Is not the correct identifier P3 or P6.");
    reader.ReadHeader(reader.GetKind() == '6', 3);
    bitmap->Create(reader.GetWidth(), reader.GetHeight(), 32, false);
    ImgBitmapLock lock(bitmap, false, true);
    for (int32_t y = 0; y < reader.GetHeight(); ++y) {
        uint8_t* out = bitmap->GetLine(y);
        for (int32_t x = 0; x < reader.GetWidth(); ++x, out += 4) {
            out[2] = reader.NextSample();
            out[1] = reader.NextSample();
            out[0] = reader.NextSample();
            out[3] = 255;
        }
    }
}
