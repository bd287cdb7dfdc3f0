#include "imaging/ImgMetafileDecoder.h"

#ifdef _WIN32
#include "framework/Gdi.h"
#include "imaging/ImgAnyDecoder.h"
#include "imaging/ImgBytes.h"

#include <cstring>
#include <vector>

namespace {

constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr int32_t kPlaceableSize = 22;
constexpr int32_t kEmptyWidth = 320;
constexpr int32_t kEmptyHeight = 200;

class EnhMetafile {
  public:
    explicit EnhMetafile(HENHMETAFILE handle) : m_handle(handle) {}
    ~EnhMetafile() {
        if (m_handle) ::DeleteEnhMetaFile(m_handle);
    }
    EnhMetafile(const EnhMetafile&) = delete;
    EnhMetafile& operator=(const EnhMetafile&) = delete;
    operator HENHMETAFILE() const { return m_handle; }

  private:
    HENHMETAFILE m_handle;
};

// The frame of a placeable header in pixels of the screen; code 2 when it cannot say.
void PlaceableSize(const uint8_t* header, int32_t size, HDC screen, int64_t* width, int64_t* height) {
    if (size < kPlaceableSize)
        ImgPictureDecoder::RaiseError(kImgBadData, "Placeable metafile header is incomplete.");
    auto left = static_cast<int16_t>(img::Le16(header + 6));
    auto top = static_cast<int16_t>(img::Le16(header + 8));
    auto right = static_cast<int16_t>(img::Le16(header + 10));
    auto bottom = static_cast<int16_t>(img::Le16(header + 12));
    uint16_t unitsPerInch = img::Le16(header + 14);
    if (unitsPerInch == 0)
        ImgPictureDecoder::RaiseError(kImgBadData, "Placeable metafile header has no units per inch.");
    *width = (int64_t(right) - left) * ::GetDeviceCaps(screen, LOGPIXELSX) / unitsPerInch;
    *height = (int64_t(bottom) - top) * ::GetDeviceCaps(screen, LOGPIXELSY) / unitsPerInch;
}

// The header's frame (hundredths of millimetres) in device pixels; 0 when the header names no
// device size.
int64_t FrameToPixels(LONG from, LONG to, LONG devicePixels, LONG deviceMillimetres) {
    if (deviceMillimetres <= 0) return 0;
    return (int64_t(to) - from) * devicePixels / (int64_t(deviceMillimetres) * 100);
}

// The metafile's own palette, when it has one of 1 to 255 entries, as a 256-entry palette.
HPALETTE MetafilePalette(HENHMETAFILE metafile) {
    UINT count = ::GetEnhMetaFilePaletteEntries(metafile, 0, nullptr);
    if (count < 1 || count > 255) return nullptr;
    std::vector<uint8_t> block(sizeof(LOGPALETTE) + 256 * sizeof(PALETTEENTRY));
    auto* palette = reinterpret_cast<LOGPALETTE*>(block.data());
    palette->palVersion = 0x300;
    palette->palNumEntries = 256;
    ::GetEnhMetaFilePaletteEntries(metafile, count, palette->palPalEntry);
    HPALETTE handle = ::CreatePalette(palette);
    if (!handle) ImgPictureDecoder::RaiseError(kImgOutOfMemory, "Cannot allocate palette.");
    return handle;
}

// The pixels (and at 8 bpp the colours) of the rendered bitmap, line by line into the picture.
void FetchPixels(HDC dc, HBITMAP rendered, ImgBitmap* bitmap) {
    const int32_t width = bitmap->GetWidth(), height = bitmap->GetHeight();
    const int bpp = bitmap->GetBitsPerPixel();
    std::vector<uint8_t> info(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = width;
    header->biHeight = -height; // top-down, as the picture's lines are counted
    header->biPlanes = 1;
    header->biBitCount = static_cast<WORD>(bpp);
    const size_t stride = ImgBitmap::AlignedBytesPerLine(width, bpp);
    std::vector<uint8_t> pixels(stride * static_cast<size_t>(height));
    if (::GetDIBits(dc, rendered, 0, static_cast<UINT>(height), pixels.data(),
                    reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS) == 0)
        ImgPictureDecoder::RaiseError(kImgNotSupported,
                                      "Windows Metafile functions failed to load this image.");
    const size_t line = ImgBitmap::PackedBytesPerLine(width, bpp);
    for (int32_t y = 0; y < height; ++y)
        std::memcpy(bitmap->GetLine(y), pixels.data() + stride * static_cast<size_t>(y), line);
    if (bpp == 8) {
        const auto* colours = reinterpret_cast<const RGBQUAD*>(info.data() + sizeof(BITMAPINFOHEADER));
        for (int i = 0; i < 256; ++i)
            bitmap->GetPalette()[i] = ImgColor{colours[i].rgbBlue, colours[i].rgbGreen, colours[i].rgbRed, 0};
        return;
    }
    // GDI leaves the fourth byte at 0; the picture is opaque.
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* p = bitmap->GetLine(y);
        for (int32_t x = 0; x < width; ++x)
            p[4 * x + 3] = 255;
    }
}

} // namespace

void ImgMetafileDecoder::DoDecode(ImgBitmap* bitmap, ImgDataSource* source) {
    CClientDC screen(nullptr);
    if (!screen) RaiseError(kImgOutOfMemory, "Cannot allocate device context.");
    const int32_t size = source->GetBytesLeft();
    const uint8_t* data = source->ReadEverything();
    int64_t width = 0, height = 0;
    bool placeable = false;
    HENHMETAFILE handle;
    if (ImgAnyDecoder::TypeFromName(source->GetName()) == kImgTypeEMF) {
        handle = ::SetEnhMetaFileBits(static_cast<UINT>(size), data);
    } else {
        placeable = size >= 4 && img::Le32(data) == kPlaceableKey;
        if (placeable) {
            PlaceableSize(data, size, screen, &width, &height);
            data += kPlaceableSize;
        }
        handle = ::SetWinMetaFileBits(static_cast<UINT>(size - (placeable ? kPlaceableSize : 0)), data,
                                      screen, nullptr);
    }
    EnhMetafile metafile(handle);
    if (!metafile) RaiseError(kImgNotSupported, "Windows Metafile functions failed to load this image.");
    ENHMETAHEADER header{};
    if (::GetEnhMetaFileHeader(metafile, sizeof(header), &header) == 0)
        RaiseError(kImgBadData, "No header information in metafile");
    if (!placeable) {
        width = FrameToPixels(header.rclFrame.left, header.rclFrame.right, header.szlDevice.cx,
                              header.szlMillimeters.cx);
        height = FrameToPixels(header.rclFrame.top, header.rclFrame.bottom, header.szlDevice.cy,
                               header.szlMillimeters.cy);
    }
    if (width < 1) width = kEmptyWidth;
    if (height < 1) height = kEmptyHeight;
    CheckPictureSize(width, height);
    const RECT frame{0, 0, static_cast<LONG>(width), static_cast<LONG>(height)};

    CMemoryDC dc(screen);
    if (!dc) RaiseError(kImgOutOfMemory, "Cannot allocate device context.");
    CBitmap rendered;
    rendered.Attach(::CreateCompatibleBitmap(screen, frame.right, frame.bottom));
    if (!rendered) RaiseError(kImgOutOfMemory, "Cannot allocate memory bitmap.");
    CGdiObject palette;
    palette.Attach(MetafilePalette(metafile));
    {
        CSelectedObject selected(dc, rendered);
        CSelectPalette selectedPalette(dc, static_cast<HPALETTE>(palette.m_hObject));
        if (palette.m_hObject) ::RealizePalette(dc);
        ::FillRect(dc, &frame, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        ::PlayEnhMetaFile(dc, metafile, &frame);
    }
    // Fetched with the bitmap no longer selected, as GetDIBits asks.
    bitmap->Create(frame.right, frame.bottom, palette.m_hObject ? 8 : 32, !palette.m_hObject);
    FetchPixels(dc, rendered, bitmap);
}
#endif
