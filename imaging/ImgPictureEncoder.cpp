#include "imaging/ImgPictureEncoder.h"
#include "imaging/ImgPictureDecoder.h"
#include "imaging/ImgTrace.h"

#include <climits>

int32_t ImgPictureEncoder::EstimateCapacity(size_t memoryUsed) {
    double estimate = memoryUsed > 19999 ? static_cast<double>(memoryUsed) * 1.2 : static_cast<double>(memoryUsed) + 4096;
    return estimate >= INT32_MAX ? INT32_MAX : static_cast<int32_t>(estimate);
}

void ImgPictureEncoder::EncodeFile(const char* path, ImgBitmap* bitmap) {
    ImgTrace(1, "--- Encoding file %s. ---\n", path ? path : "");
    ImgFileSink sink;
    if (sink.Open(path, EstimateCapacity(bitmap->GetMemoryUsed())) != 0)
        ImgPictureDecoder::RaiseError(kImgOutputFailed, "Opening %s failed", path ? path : "");
    Encode(bitmap, &sink); // on failure the sink's destructor removes the file
    sink.Close();
}

void ImgPictureEncoder::Encode(ImgBitmap* bitmap, ImgDataSink* sink) { DoEncode(bitmap, sink); }
