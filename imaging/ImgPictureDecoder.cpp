#include "imaging/ImgPictureDecoder.h"
#include "imaging/ImgMemBitmap.h"
#include "imaging/ImgTrace.h"

#include <cstdarg>
#include <cstdio>
#include <new>
#include <string>

namespace {

// Closes the source on every way out of a decode.
class SourceCloser {
  public:
    explicit SourceCloser(ImgDataSource& source) : m_source(source) {}
    ~SourceCloser() { m_source.Close(); }
    SourceCloser(const SourceCloser&) = delete;
    SourceCloser& operator=(const SourceCloser&) = delete;

  private:
    ImgDataSource& m_source;
};

// Decodes, with a failed allocation of the standard library reported as the layer's
// exception: callers catch only that one.
void DecodeGuarded(ImgPictureDecoder& decoder, ImgDataSource* source, ImgBitmap* bitmap, int bitsPerPixel) {
    try {
        decoder.DecodeToBitmap(source, bitmap, bitsPerPixel);
    } catch (const std::bad_alloc&) {
        throw ImgTextException(kImgOutOfMemory, "Out of memory.");
    }
}

} // namespace

ImgPictureDecoder::~ImgPictureDecoder() = default;

void ImgPictureDecoder::RaiseError(int32_t code, const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string message(length > 0 ? static_cast<size_t>(length) : 0, '\0');
    if (length > 0) std::vsnprintf(&message[0], message.size() + 1, format, args);
    va_end(args);
    ImgTrace(0, "Decoder error: %s\n", message.c_str());
    throw ImgTextException(code, "Decoder error: " + message + "\n");
}

void ImgPictureDecoder::CheckPictureSize(int64_t width, int64_t height) {
    if (width < 1 || height < 1)
        RaiseError(kImgBadData, "Picture has no pixels (%lld x %lld).", static_cast<long long>(width),
                   static_cast<long long>(height));
    ImgBitmap::CheckSize(width, height, 0);
}

void ImgPictureDecoder::CheckBytesLeft(const ImgDataSource* source, int64_t bytes) {
    CheckExpansion(bytes, source->GetBytesLeft(), 1);
}

void ImgPictureDecoder::CheckExpansion(int64_t needed, int64_t coded, int64_t largestExpansion) {
    // Divided rather than multiplied: no product to overflow.
    if (needed > 0 && (coded <= 0 || (needed - 1) / largestExpansion >= coded))
        throw ImgTextException(kImgEndOfData, "End of file reached while decoding.\n");
}

void ImgPictureDecoder::DecodeFile(const char* path, ImgBitmap* bitmap, int bitsPerPixel,
                                   ImgProgressNotification* progress) {
    ImgTrace(1, "--- Decoding file %s. ---\n", path ? path : "");
    Close();
    m_pFile.reset(new ImgFileSource);
    m_pFile->SetProgressNotification(progress);
    if (int32_t code = m_pFile->Open(path)) {
        m_pFile.reset();
        RaiseError(code, "Opening %s failed", path ? path : "");
    }
    try {
        DecodeGuarded(*this, m_pFile.get(), bitmap, bitsPerPixel);
    } catch (const ImgTextException&) {
        m_pFile.reset();
        throw;
    }
    Close();
}

#ifdef _WIN32
void ImgPictureDecoder::DecodeResource(HMODULE module, int id, ImgBitmap* bitmap, int bitsPerPixel,
                                       const char* type) {
    ImgTrace(1, "--- Decoding resource ID %i. ---\n", id);
    ImgResourceSource source;
    if (int32_t code = source.Open(module, id, type)) RaiseError(code, "Opening resource %i failed", id);
    SourceCloser closer(source);
    DecodeGuarded(*this, &source, bitmap, bitsPerPixel);
}
#endif

void ImgPictureDecoder::DecodeMemory(const void* data, size_t size, ImgBitmap* bitmap, int bitsPerPixel) {
    ImgTrace(1, "--- Decoding from memory at %p. ---\n", data);
    ImgMemSource source;
    if (int32_t code = source.Open(data, size)) RaiseError(code, "Reading from memory at %p failed", data);
    SourceCloser closer(source);
    DecodeGuarded(*this, &source, bitmap, bitsPerPixel);
}

void ImgPictureDecoder::DecodeToBitmap(ImgDataSource* source, ImgBitmap* bitmap, int bitsPerPixel) {
    DoDecode(bitmap, source);
    if (bitsPerPixel == 0 || bitmap->GetBitsPerPixel() == bitsPerPixel) return;
    if (bitmap->GetBitsPerPixel() > bitsPerPixel)
        throw ImgTextException(kImgNotSupported, "Image bit depth doesn't match request.");
    ImgMemBitmap decoded;
    decoded.CreateCopy(*bitmap, 0);
    bitmap->CreateCopy(decoded, static_cast<uint16_t>(bitsPerPixel));
}

void ImgPictureDecoder::Close() {
    if (m_pFile) m_pFile->Close();
    m_pFile.reset();
}

void ImgPictureDecoder::DoDecode(ImgBitmap*, ImgDataSource*) {}
