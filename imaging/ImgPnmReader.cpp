#include "imaging/ImgPnmReader.h"
#include "imaging/ImgBitmap.h"
#include "imaging/ImgPictureDecoder.h"

namespace {

// Larger header numbers are no picture this layer can hold anyway.
constexpr int64_t kLargestNumber = kImgMaxPixels;

bool IsSeparator(int c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

} // namespace

ImgPnmReader::ImgPnmReader(ImgDataSource* source, const char* decoderName)
    : m_pSource(source), m_pszDecoder(decoderName) {
    const uint8_t* magic = m_pSource->ReadNBytes(2);
    if (magic[0] == 'P') m_kind = static_cast<char>(magic[1]);
}

int ImgPnmReader::SkipSeparators() {
    while (m_pSource->GetBytesLeft() > 0) {
        int c = *m_pSource->GetBufferPtr(1);
        if (c == '#') {
            while (m_pSource->GetBytesLeft() > 0 && *m_pSource->ReadNBytes(1) != '\n') {
            }
        } else if (IsSeparator(c)) {
            m_pSource->ReadNBytes(1);
        } else {
            return c;
        }
    }
    return -1;
}

int64_t ImgPnmReader::ReadNumber() {
    int c = SkipSeparators();
    if (c < '0' || c > '9')
        ImgPictureDecoder::RaiseError(c < 0 ? kImgEndOfData : kImgBadData, "%s: Number expected.",
                                      m_pszDecoder);
    int64_t value = 0;
    while (m_pSource->GetBytesLeft() > 0 && (c = *m_pSource->GetBufferPtr(1)) >= '0' && c <= '9') {
        m_pSource->ReadNBytes(1);
        value = value * 10 + (c - '0');
        if (value > kLargestNumber)
            ImgPictureDecoder::RaiseError(kImgBadData, "%s: Number too large.", m_pszDecoder);
    }
    return value;
}

void ImgPnmReader::ReadHeader(bool binary, int samplesPerPixel) {
    m_bBinary = binary;
    int64_t width = ReadNumber();
    int64_t height = ReadNumber();
    int64_t maximum = ReadNumber();
    ImgPictureDecoder::CheckPictureSize(width, height);
    m_nWidth = static_cast<int32_t>(width);
    m_nHeight = static_cast<int32_t>(height);
    if (binary && maximum > 255 && maximum <= 65535) {
        m_nMaximum = static_cast<uint32_t>(maximum);
        m_bWide = true;
    } else {
        // Out of range, or ASCII samples of a larger maximum, are taken as of 255.
        m_nMaximum = maximum >= 1 && maximum <= 255 ? static_cast<uint32_t>(maximum) : 255;
    }
    const int64_t samples = width * height * samplesPerPixel;
    if (binary) {
        const uint8_t* space = m_pSource->ReadNBytes(1);
        if (!IsSeparator(*space))
            ImgPictureDecoder::RaiseError(kImgBadData, "%s: Whitespace expected.", m_pszDecoder);
        ImgPictureDecoder::CheckBytesLeft(m_pSource, samples * (m_bWide ? 2 : 1));
    } else {
        // Every ASCII sample takes a separator and a digit at least.
        ImgPictureDecoder::CheckBytesLeft(m_pSource, samples * 2);
    }
}

uint8_t ImgPnmReader::NextSample() {
    uint32_t value;
    if (!m_bBinary) {
        int64_t number = ReadNumber();
        value = number > m_nMaximum ? m_nMaximum : static_cast<uint32_t>(number);
    } else if (m_bWide) {
        const uint8_t* p = m_pSource->ReadNBytes(2);
        value = static_cast<uint32_t>(p[0] << 8 | p[1]);
    } else {
        value = *m_pSource->ReadNBytes(1);
    }
    if (value > m_nMaximum) value = m_nMaximum;
    return m_nMaximum == 255 ? static_cast<uint8_t>(value) : static_cast<uint8_t>(value * 255 / m_nMaximum);
}
