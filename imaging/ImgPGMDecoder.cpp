#include "imaging/ImgPGMDecoder.h"
#include "imaging/ImgBitmapLock.h"
#include "imaging/ImgPnmReader.h"
#include "imaging/ImgTrace.h"

void ImgPGMDecoder::DoDecode(ImgBitmap* bitmap, ImgDataSource* source) {
    ImgTrace(2, "Decoding PGM.\n");
    ImgPnmReader reader(source, "PGM decoder");
    if (reader.GetKind() != '2' && reader.GetKind() != '5')
        RaiseError(kImgBadData, "PGM decoder: Is not the correct identifier P5 or P2.");
    reader.ReadHeader(reader.GetKind() == '5', 1);
    bitmap->Create(reader.GetWidth(), reader.GetHeight(), 8, false);
    ImgBitmapLock lock(bitmap, false, true);
    for (int32_t y = 0; y < reader.GetHeight(); ++y) {
        uint8_t* out = bitmap->GetLine(y);
        for (int32_t x = 0; x < reader.GetWidth(); ++x)
            out[x] = reader.NextSample();
    }
}
