#pragma once
// What the PGM and PPM decoders share: the header of "P" files and their samples, ASCII
// numbers or binary bytes, scaled to 8 bits.

#include "imaging/ImgDataSource.h"

#include <cstdint>

class ImgPnmReader {
  public:
    // Reads "P" and the kind digit; 0 when the source does not start with "P".
    ImgPnmReader(ImgDataSource* source, const char* decoderName);

    char GetKind() const { return m_kind; }
    // Width, height and maximum; after a binary maximum exactly one whitespace byte, and
    // then the samples of the whole picture (code 11 when the file is shorter, or too short
    // for as many ASCII numbers).
    void ReadHeader(bool binary, int samplesPerPixel);
    int32_t GetWidth() const { return m_nWidth; }
    int32_t GetHeight() const { return m_nHeight; }
    // The next sample scaled to 0-255.
    uint8_t NextSample();

  private:
    int64_t ReadNumber();
    int SkipSeparators(); // the first byte that is no separator, -1 at the end

    ImgDataSource* m_pSource;
    const char* m_pszDecoder;
    char m_kind = 0;
    bool m_bBinary = false;
    int32_t m_nWidth = 0;
    int32_t m_nHeight = 0;
    uint32_t m_nMaximum = 255;
    bool m_bWide = false; // binary samples of two bytes, most significant first
};
