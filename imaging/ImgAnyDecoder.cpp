#include "imaging/ImgAnyDecoder.h"
#include "imaging/ImgBMPDecoder.h"
#include "imaging/ImgBytes.h"
#include "imaging/ImgGIFDecoder.h"
#include "imaging/ImgJPEGDecoder.h"
#include "imaging/ImgMetafileDecoder.h"
#include "imaging/ImgPCXDecoder.h"
#include "imaging/ImgPGMDecoder.h"
#include "imaging/ImgPICTDecoder.h"
#include "imaging/ImgPNGDecoder.h"
#include "imaging/ImgPPMDecoder.h"
#include "imaging/ImgPSDDecoder.h"
#include "imaging/ImgTGADecoder.h"
#include "imaging/ImgTIFFDecoder.h"
#include "imaging/ImgTrace.h"

#include <cctype>
#include <cstring>
#include <initializer_list>
#include <string>

namespace {

const char* const kRecognised[kImgTypeCount] = {
    nullptr,
    "Windows bitmap recognized.\n",
    "Mac PICT recognized.\n",
    "TGA file recognized.\n",
    "TIFF file recognized.\n",
    "JPEG file recognized.\n",
    "PNG file recognized.\n",
    "TIFF preview in EPS file recognized.\n",
    "WMF file recognized.\n",
    "EMF file recognized.\n",
    "PCX file recognized.\n",
    "PGM file recognized.\n",
    "GIF file recognized.\n",
    "PPM file recognized.\n",
    "PSD file recognized.\n",
};

bool StartsWith(const uint8_t* bytes, size_t size, const char* prefix, size_t length) {
    return size >= length && std::memcmp(bytes, prefix, length) == 0;
}

bool OneOf(uint8_t value, std::initializer_list<uint8_t> values) {
    for (uint8_t v : values)
        if (v == value) return true;
    return false;
}

} // namespace

ImgAnyDecoder::ImgAnyDecoder() {
    Build(kImgTypeBMP, new ImgBMPDecoder);
    Build(kImgTypeTGA, new ImgTGADecoder);
    Build(kImgTypeTIFF, new ImgTIFFDecoder);
    Build(kImgTypeJPEG, new ImgJPEGDecoder);
    Build(kImgTypePICT, new ImgPICTDecoder(DecoderFor(kImgTypeJPEG)));
    Build(kImgTypePNG, new ImgPNGDecoder);
    // WMF and EMF: GDI plays them, so only the Windows build has them.
#ifdef _WIN32
    Build(kImgTypeWMF, new ImgMetafileDecoder);
#endif
    Build(kImgTypePCX, new ImgPCXDecoder);
    Build(kImgTypePGM, new ImgPGMDecoder);
    Build(kImgTypeGIF, new ImgGIFDecoder);
    Build(kImgTypePPM, new ImgPPMDecoder);
    Build(kImgTypePSD, new ImgPSDDecoder);
}

ImgAnyDecoder::~ImgAnyDecoder() {
    // Later decoders may use earlier ones (PICT the JPEG decoder): gone in reverse order.
    for (int i = static_cast<int>(m_order.size()) - 1; i >= 0; --i)
        m_decoders[m_order[i]].reset();
}

void ImgAnyDecoder::Build(int32_t type, ImgPictureDecoder* decoder) {
    m_decoders[type].reset(decoder);
    m_order.push_back(type);
    // Metafiles are one decoder for two types.
    if (type == kImgTypeWMF) m_shared[kImgTypeEMF] = decoder;
}

ImgPictureDecoder* ImgAnyDecoder::DecoderFor(int32_t type) const {
    if (type <= kImgTypeUnknown || type >= kImgTypeCount) return nullptr;
    if (type == kImgTypeEPS) type = kImgTypeTIFF;
    return m_decoders[type] ? m_decoders[type].get() : m_shared[type];
}

int32_t ImgAnyDecoder::TypeFromName(const char* name) {
    std::string upper = name ? name : "";
    size_t slash = upper.find_last_of("\\/:");
    if (slash != std::string::npos) upper.erase(0, slash + 1);
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (upper.find(".WMF") != std::string::npos) return kImgTypeWMF;
    if (upper.find(".EMF") != std::string::npos) return kImgTypeEMF;
    return kImgTypeUnknown;
}

int32_t ImgAnyDecoder::DetectType(const uint8_t* b, size_t size) {
    if (!b) return kImgTypeUnknown;
    for (const char* bmp : {"BA", "IC", "CI", "BM", "CP"})
        if (StartsWith(b, size, bmp, 2)) return kImgTypeBMP;
    if (size > 16 && b[1] < 2 && OneOf(b[2], {0, 1, 2, 3, 9, 10, 11}) &&
        OneOf(b[7], {0, 8, 15, 16, 24, 32}) && OneOf(b[16], {8, 15, 16, 24, 32}))
        return kImgTypeTGA;
    if (StartsWith(b, size, "II\x2A\0", 4) || StartsWith(b, size, "MM\0\x2A", 4)) return kImgTypeTIFF;
    if (StartsWith(b, size, "GIF8", 4)) return kImgTypeGIF;
    if (size > 540) {
        const uint8_t* p = b + 522;
        if ((p[0] == 0x00 && p[1] == 0x11 && p[2] == 0x02 && p[3] == 0xFF) ||
            (p[0] == 0x00 && p[1] == 0x11 && p[2] == 0x01) ||
            (p[0] == 0x11 && p[1] == 0x01 && p[2] == 0x01 && p[3] == 0x00))
            return kImgTypePICT;
    }
    if (StartsWith(b, size, "\xFF\xD8\xFF", 3)) return kImgTypeJPEG;
    if (StartsWith(b, size, "\x89PNG", 4)) return kImgTypePNG;
    if ((StartsWith(b, size, "\xC5\xD0\xD3\xC6", 4) || StartsWith(b, size, "\xC6\xD3\xD0\xC5", 4)) &&
        size >= 28 && img::Le32(b + 20) != 0 && img::Le32(b + 24) != 0)
        return kImgTypeEPS;
    if (size >= 3 && b[0] == 0x0A && b[2] == 1) return kImgTypePCX;
    if (size >= 2 && b[0] == 'P') {
        if (b[1] == '2' || b[1] == '5') return kImgTypePGM;
        if (b[1] == '3' || b[1] == '6') return kImgTypePPM;
    }
    if (StartsWith(b, size, "8BPS", 4)) return kImgTypePSD;
    return kImgTypeUnknown;
}

void ImgAnyDecoder::DecodeToBitmap(ImgDataSource* source, ImgBitmap* bitmap, int bitsPerPixel) {
    m_nDetectedType = kImgTypeUnknown;
    int32_t type = TypeFromName(source->GetName());
    if (type == kImgTypeUnknown)
        type = DetectType(source->GetBufferPtr(512), static_cast<size_t>(source->GetBytesLeft()));
    if (type == kImgTypeUnknown) throw ImgTextException(kImgUnknownType, "Unknown file type.");
    m_nDetectedType = type;
    ImgTrace(2, "%s", kRecognised[type]);
    if (type == kImgTypeEPS) {
        // The header names where the TIFF preview starts; the rest is TIFF.
        uint32_t offset = img::Le32(source->GetBufferPtr(28) + 20);
        if (offset >= static_cast<uint32_t>(source->GetBytesLeft()))
            RaiseError(kImgBadData, "TIFF preview outside the EPS file.");
        source->ReadNBytes(static_cast<int32_t>(offset));
    }
    ImgPictureDecoder* decoder = DecoderFor(type);
    if (!decoder) throw ImgTextException(kImgNotSupported, "Library not compiled for this file type.");
    decoder->DecodeToBitmap(source, bitmap, bitsPerPixel);
}
