#pragma once
// The base of the picture writers: the picture goes into a sink of a size estimated from the
// bitmap, and the sink to the file.

#include "imaging/ImgBitmap.h"
#include "imaging/ImgDataSink.h"

#include <cstddef>
#include <cstdint>

class ImgPictureEncoder : public ImgObject {
  public:
    ~ImgPictureEncoder() override = default;

    // Open failure is code -1; a failed encode leaves no file.
    virtual void EncodeFile(const char* path, ImgBitmap* bitmap);
    virtual void Encode(ImgBitmap* bitmap, ImgDataSink* sink);

    // What the sink holds for a bitmap using memoryUsed bytes.
    static int32_t EstimateCapacity(size_t memoryUsed);

  protected:
    virtual void DoEncode(ImgBitmap* bitmap, ImgDataSink* sink) = 0;
};
