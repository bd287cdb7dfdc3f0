#pragma once
// The base of every format decoder. A decoder reads one picture from a data source into a
// bitmap; DecodeFile, DecodeResource and DecodeMemory open the source for it.

#include "imaging/ImgBitmap.h"
#include "imaging/ImgDataSource.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <cstddef>
#include <cstdint>
#include <memory>

class ImgPictureDecoder : public ImgObject {
  public:
    ImgPictureDecoder() = default;
    ImgPictureDecoder(const ImgPictureDecoder&) = delete;
    ImgPictureDecoder& operator=(const ImgPictureDecoder&) = delete;
    ~ImgPictureDecoder() override;

    // bpp 0 keeps the decoded depth; a larger one converts up, a smaller one is code 6.
    // Open failures carry the source's code.
    virtual void DecodeFile(const char* path, ImgBitmap* bitmap, int bitsPerPixel = 0,
                            ImgProgressNotification* progress = nullptr);
#ifdef _WIN32
    virtual void DecodeResource(HMODULE module, int id, ImgBitmap* bitmap, int bitsPerPixel = 0,
                                const char* type = nullptr);
#endif
    virtual void DecodeMemory(const void* data, size_t size, ImgBitmap* bitmap, int bitsPerPixel = 0);
    virtual void DecodeToBitmap(ImgDataSource* source, ImgBitmap* bitmap, int bitsPerPixel);
    // Closes and forgets the file source DecodeFile opened.
    virtual void Close();

    // Traces and throws ImgTextException(code, "Decoder error: " + message + "\n").
    [[noreturn]] static void RaiseError(int32_t code, const char* format, ...)
        __attribute__((format(printf, 2, 3)));
    // A picture size read from a file: code 2 below 1 pixel, code 10 above the cap.
    static void CheckPictureSize(int64_t width, int64_t height);
    // Code 11 unless the source still holds that many bytes: a short file claiming a huge
    // uncompressed picture fails before its bitmap is allocated.
    static void CheckBytesLeft(const ImgDataSource* source, int64_t bytes);
    // Code 11 unless `coded` bytes, each unpacking to at most `largestExpansion` bytes, can
    // fill `needed` bytes: a few packed bytes claiming a huge picture fail the same way.
    static void CheckExpansion(int64_t needed, int64_t coded, int64_t largestExpansion);

  protected:
    // The format's own work; reads the source from its current position.
    virtual void DoDecode(ImgBitmap* bitmap, ImgDataSource* source);

  private:
    std::unique_ptr<ImgFileSource> m_pFile;
};
