#pragma once
// A device-independent bitmap in memory: the 40-byte header, the palette (2, 16 or 256
// entries for 1, 4 and 8 bits per pixel, none above), the pixel block stored bottom-up with
// rows padded to 4 bytes, and a table of rows counted from the top. Scanned pages arrive as
// packed bitmaps from a driver; every one is checked against its block before a byte of it
// is read.

#include <cstddef>
#include <cstdint>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#pragma pack(push, 2)
struct DibInfoHeader {
    uint32_t biSize;
    int32_t biWidth;
    int32_t biHeight;
    uint16_t biPlanes;
    uint16_t biBitCount;
    uint32_t biCompression;
    uint32_t biSizeImage;
    int32_t biXPelsPerMeter;
    int32_t biYPelsPerMeter;
    uint32_t biClrUsed;
    uint32_t biClrImportant;
};
#pragma pack(pop)
static_assert(sizeof(DibInfoHeader) == 40, "a bitmap-info header is 40 bytes");

// Where the parts of a packed bitmap lie, found by CheckPackedDib.
struct DibLayout {
    int32_t width = 0;
    int32_t height = 0;   // rows, always positive
    bool topDown = false; // a negative height in the header
    uint16_t bitCount = 0;
    size_t paletteOffset = 0;
    size_t paletteEntries = 0;
    size_t bitsOffset = 0;
    size_t stride = 0;
};

// Checks a packed bitmap of `size` bytes: a header of at least 40 bytes that fits, one
// plane, positive width, a height other than 0, 1/4/8/24 bits uncompressed or 32 bits
// uncompressed or with the standard bit fields (red 0xFF0000, green 0xFF00, blue 0xFF), a
// palette (by biClrUsed, at most 2^bits entries) and every row inside the block. Sizes are
// reckoned in 64 bits, so no field can make them wrap.
bool CheckPackedDib(const void* block, size_t size, DibLayout& layout);

class CDIB {
  public:
    CDIB() = default;
    // The row table points into the pixel block: a move keeps it valid, a copy would not.
    CDIB(const CDIB&) = delete;
    CDIB& operator=(const CDIB&) = delete;
    CDIB(CDIB&&) = default;
    CDIB& operator=(CDIB&&) = default;

    // An empty bitmap of the size and depth (1, 4, 8, 24 or 32 bits), one plane,
    // uncompressed, pixels and palette zero.
    bool Create(int32_t width, int32_t height, uint16_t bitCount);
    // Copies a packed bitmap that CheckPackedDib accepts; any other stays empty (false).
    bool CreateFromPacked(const void* block, size_t size);
#ifdef _WIN32
    // Copies the packed bitmap in a global memory block, within the block's size.
    bool CreateFromHandle(HGLOBAL handle);
    // A new movable, shareable block with header, palette and pixels; null when empty or
    // out of memory.
    HGLOBAL GetHandle() const;
#endif
    // Header, palette and pixels in one block, as GetHandle holds them.
    std::vector<uint8_t> GetPacked() const;

    // The same picture at 32 bits per pixel (blue, green, red, 0): 24 bits widened, 1, 4 and
    // 8 bits through the palette (the leftmost pixel in the highest bits), 32 copied.
    bool ConvertTo32(CDIB& out) const;

    bool IsEmpty() const {
        return m_pixels.empty();
    }
    int32_t GetWidth() const {
        return m_header.biWidth;
    }
    int32_t GetHeight() const {
        return m_header.biHeight;
    }
    uint16_t GetBitCount() const {
        return m_header.biBitCount;
    }
    size_t GetStride() const {
        return m_stride;
    }
    const DibInfoHeader& GetHeader() const {
        return m_header;
    }
    // Row i counted from the top.
    uint8_t* GetRow(int32_t i) {
        return m_rows[static_cast<size_t>(i)];
    }
    const uint8_t* GetRow(int32_t i) const {
        return m_rows[static_cast<size_t>(i)];
    }
    int GetPaletteSize() const {
        return static_cast<int>(m_palette.size() / 4);
    }
    // Blue, green and red of an entry as one value (blue in the low byte); 0 out of range.
    uint32_t GetPaletteColor(int i) const;
    void SetPaletteColor(int i, uint32_t bgr);

  private:
    void BuildRows();

    DibInfoHeader m_header{};
    std::vector<uint8_t> m_palette; // 4 bytes an entry
    std::vector<uint8_t> m_pixels;  // bottom-up
    size_t m_stride = 0;
    std::vector<uint8_t*> m_rows;
};
