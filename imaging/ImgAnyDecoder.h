#pragma once
// The decoder callers use: it recognises the format from the name and the first bytes and
// hands the source to the decoder of that format.

#include "imaging/ImgPictureDecoder.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// What ImgAnyDecoder recognised.
enum ImgFileType : int32_t {
    kImgTypeUnknown = 0,
    kImgTypeBMP = 1, // Windows or OS/2 bitmap
    kImgTypePICT = 2,
    kImgTypeTGA = 3,
    kImgTypeTIFF = 4,
    kImgTypeJPEG = 5,
    kImgTypePNG = 6,
    kImgTypeEPS = 7, // with a TIFF preview
    kImgTypeWMF = 8,
    kImgTypeEMF = 9,
    kImgTypePCX = 10,
    kImgTypePGM = 11,
    kImgTypeGIF = 12,
    kImgTypePPM = 13,
    kImgTypePSD = 14,
    kImgTypeCount = 15,
};

class ImgAnyDecoder : public ImgPictureDecoder {
  public:
    ImgAnyDecoder();
    ~ImgAnyDecoder() override;

    void DecodeToBitmap(ImgDataSource* source, ImgBitmap* bitmap, int bitsPerPixel) override;
    // The type of the last decode; stays until the next one.
    int32_t GetDetectedType() const { return m_nDetectedType; }

    // The type the first bytes say; looks at no byte past size.
    static int32_t DetectType(const uint8_t* bytes, size_t size);
    // 8 for a name with ".WMF" in its last part, else 9 for ".EMF" there, else 0; any case.
    static int32_t TypeFromName(const char* name);

  private:
    void Build(int32_t type, ImgPictureDecoder* decoder);
    ImgPictureDecoder* DecoderFor(int32_t type) const;

    int32_t m_nDetectedType = kImgTypeUnknown;
    // One decoder a type; empty where the format has none in this build.
    std::unique_ptr<ImgPictureDecoder> m_decoders[kImgTypeCount];
    // A decoder serving a second type (EMF by the metafile decoder), not owned twice.
    ImgPictureDecoder* m_shared[kImgTypeCount] = {};
    std::vector<int32_t> m_order; // as built
};
