#pragma once
// The layer's bitmap: a picture of width by height pixels at a colour depth, reached line by
// line (line 0 is the top). Pixels: 32 bpp blue, green, red, alpha; 24 bpp blue, green, red;
// 8 bpp a palette index; 1 bpp eight pixels a byte, most significant bit first. The concrete
// kinds decide where the pixels live.

#include "imaging/ImgObject.h"

#include <cstddef>
#include <cstdint>
#include <vector>

struct ImgSize {
    int32_t width;
    int32_t height;
};

// A palette entry, laid out as the system's RGBQUAD.
struct ImgColor {
    uint8_t blue;
    uint8_t green;
    uint8_t red;
    uint8_t alpha;
};

// What no picture may exceed, whatever its file says: a bitmap beyond it would exhaust memory
// or overflow the sizes computed from it.
constexpr int64_t kImgMaxPixels = int64_t(1) << 28;
constexpr int64_t kImgMaxBytes = int64_t(1) << 30;

enum ImgQuantizeMode : int32_t {
    kImgQuantizeMedianCut = 0,
    kImgQuantizePopularity = 1,
    kImgQuantizeFixedPalette = 2,
    kImgQuantizeUserPalette = 3,
};
enum ImgDitherMode : int32_t {
    kImgDitherNone = 0,
    kImgDitherOrdered = 1,
    kImgDitherErrorDiffusion = 2,
};

class ImgBitmap : public ImgObject {
  public:
    ~ImgBitmap() override = default;

    // Replaces the contents: a zeroed picture, a gray ramp in its palette at 8 bpp and below.
    // Throws code 10 when it would exceed the cap or memory.
    virtual void Create(int32_t width, int32_t height, uint16_t bitsPerPixel, bool alpha = false,
                        int32_t xResolution = 0, int32_t yResolution = 0);
    virtual size_t GetMemoryUsed() const = 0;
    virtual size_t GetBytesPerLine() const = 0;
    // Only count; nothing depends on the count.
    virtual void Lock(bool forReading, bool forWriting);
    virtual void Unlock();

    // This bitmap becomes a copy of the source at bpp (0: the source's depth).
    void CreateCopy(ImgBitmap& source, uint16_t bitsPerPixel);

    ImgSize GetSize() const { return ImgSize{m_nWidth, m_nHeight}; }
    int32_t GetWidth() const { return m_nWidth; }
    int32_t GetHeight() const { return m_nHeight; }
    uint16_t GetBitsPerPixel() const { return m_nBitsPerPixel; }
    int32_t GetXResolution() const { return m_nXResolution; }
    int32_t GetYResolution() const { return m_nYResolution; }
    void SetResolution(int32_t x, int32_t y) {
        m_nXResolution = x;
        m_nYResolution = y;
    }
    // 2^bpp entries at 8 bpp and below, else null.
    ImgColor* GetPalette() { return m_pPalette; }
    const ImgColor* GetPalette() const { return m_pPalette; }
    bool HasAlpha() const { return m_bAlpha; }
    void SetAlpha(bool alpha) { m_bAlpha = alpha; }
    uint8_t* GetLine(int32_t y) { return m_lines[static_cast<size_t>(y)]; }
    const uint8_t* GetLine(int32_t y) const { return m_lines[static_cast<size_t>(y)]; }
    uint8_t* const* GetLineArray() { return m_lines.data(); }
    int32_t GetLockCount() const { return m_nLockCount; }
    int32_t GetDitherMode() const { return m_nDitherMode; }
    void SetDitherMode(int32_t mode) { m_nDitherMode = mode; }
    int32_t GetQuantizeMode() const { return m_nQuantizeMode; }
    void SetQuantizeMode(int32_t mode) { m_nQuantizeMode = mode; }

    // Bytes of one line packed without padding: ceil(width * bpp / 8).
    static size_t PackedBytesPerLine(int32_t width, int bitsPerPixel);
    // Bytes of one line padded to whole 32-bit words.
    static size_t AlignedBytesPerLine(int32_t width, int bitsPerPixel);
    // Throws code 10 unless a picture of that size and line length stays under the cap.
    static void CheckSize(int64_t width, int64_t height, int64_t bytesPerLine);

  protected:
    virtual void InternalCreate(int32_t width, int32_t height, uint16_t bitsPerPixel, bool alpha) = 0;
    virtual void FreeMembers() = 0;
    virtual void BuildLineArray() = 0;
    // The step every internal create ends with: stores the format, builds the line array and
    // fills the palette with the gray ramp.
    void CommonCreate(int32_t width, int32_t height, uint16_t bitsPerPixel, bool alpha);

    int32_t m_nWidth = 0;
    int32_t m_nHeight = 0;
    uint16_t m_nBitsPerPixel = 0;
    int32_t m_nXResolution = 0;
    int32_t m_nYResolution = 0;
    ImgColor* m_pPalette = nullptr;
    bool m_bAlpha = false;
    std::vector<uint8_t*> m_lines;
    int32_t m_nLockCount = 0;
    int32_t m_nDitherMode = kImgDitherNone;
    int32_t m_nQuantizeMode = kImgQuantizeFixedPalette;

  private:
    void ConvertFrom(const ImgBitmap& source);
};
