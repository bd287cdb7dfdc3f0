#include "imaging/ImgPNGDecoder.h"
#include "imaging/ImgBitmapLock.h"

#include <png.h>

#include <cmath>
#include <cstring>

namespace {

// Deflate's largest expansion: a match of 258 bytes coded in two bits.
constexpr int64_t kLargestInflation = 1032;

// The ancillary chunks other than pHYs, five bytes each with the terminating zero.
const png_byte kUnreadChunks[] = "bKGD\0cHRM\0eXIf\0gAMA\0hIST\0iCCP\0iTXt\0oFFs\0pCAL\0sBIT\0sCAL\0"
                                 "sPLT\0sRGB\0tEXt\0tIME\0zTXt";

[[noreturn]] void ErrorFunction(png_structp, png_const_charp message) {
    ImgPictureDecoder::RaiseError(kImgBadData, "%s", message ? message : "");
}

void WarningFunction(png_structp, png_const_charp) {}

void ReadFunction(png_structp png, png_bytep data, png_size_t count) {
    auto* source = static_cast<ImgDataSource*>(png_get_io_ptr(png));
    if (count > static_cast<png_size_t>(source->GetBytesLeft())) png_error(png, "Read Error");
    std::memcpy(data, source->ReadNBytes(static_cast<int32_t>(count)), count);
}

// Frees libpng's structures on every way out.
class ReadStructs {
  public:
    ReadStructs() {
        m_png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, ErrorFunction, WarningFunction);
        if (m_png) m_info = png_create_info_struct(m_png);
        if (!m_png || !m_info) {
            png_destroy_read_struct(m_png ? &m_png : nullptr, nullptr, nullptr);
            ImgPictureDecoder::RaiseError(kImgOutOfMemory, "Cannot allocate PNG structures.");
        }
    }
    ~ReadStructs() { png_destroy_read_struct(&m_png, &m_info, nullptr); }
    ReadStructs(const ReadStructs&) = delete;
    ReadStructs& operator=(const ReadStructs&) = delete;
    png_structp png() const { return m_png; }
    png_infop info() const { return m_info; }

  private:
    png_structp m_png = nullptr;
    png_infop m_info = nullptr;
};

void SetGrayRamp(ImgColor* palette, int entries) {
    for (int i = 0; i < entries; ++i) {
        auto v = static_cast<uint8_t>(i * 255 / (entries - 1));
        palette[i] = ImgColor{v, v, v, 255};
    }
}

} // namespace

void ImgPNGDecoder::DoDecode(ImgBitmap* bitmap, ImgDataSource* source) {
    ReadStructs structs;
    png_structp png = structs.png();
    png_infop info = structs.info();
    png_set_read_fn(png, source, ReadFunction);
    // libpng's own checks stop at the layer's cap rather than its smaller defaults.
    const auto limit = static_cast<png_uint_32>(std::min<int64_t>(kImgMaxPixels, PNG_UINT_31_MAX));
    png_set_user_limits(png, limit, limit);
    // libpng allocates what a chunk's length claims before reading it; the chunks the layer
    // does not read are skipped instead.
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, kUnreadChunks,
                                static_cast<int>(sizeof kUnreadChunks / 5));

    png_read_info(png, info);
    png_uint_32 width = 0, height = 0;
    int depth = 0, colorType = 0;
    png_get_IHDR(png, info, &width, &height, &depth, &colorType, nullptr, nullptr, nullptr);
    CheckPictureSize(width, height);
    // The image data (all of the rest at most) must be able to inflate to every pixel.
    CheckExpansion((int64_t(width) * height * png_get_channels(png, info) * depth + 7) / 8,
                   source->GetBytesLeft(), kLargestInflation);

    png_set_strip_16(png);
    png_set_packing(png);
    bool indexed = colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_PALETTE;
    if (colorType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
    if (!indexed) png_set_bgr(png);
    if (colorType == PNG_COLOR_TYPE_RGB) png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);

    bool alpha = colorType == PNG_COLOR_TYPE_GRAY_ALPHA || colorType == PNG_COLOR_TYPE_RGB_ALPHA;
    bitmap->Create(static_cast<int32_t>(width), static_cast<int32_t>(height), indexed ? 8 : 32, alpha);
    // The transforms must have left exactly one line's pixels a row.
    const size_t rowBytes = png_get_rowbytes(png, info);
    if (rowBytes != size_t(width) * (indexed ? 1 : 4) || rowBytes > bitmap->GetBytesPerLine())
        RaiseError(kImgBadData, "PNG row of %lu bytes does not fit the bitmap.",
                   static_cast<unsigned long>(rowBytes));

    ImgColor* palette = bitmap->GetPalette();
    if (colorType == PNG_COLOR_TYPE_GRAY) {
        SetGrayRamp(palette, depth >= 8 ? 256 : 1 << depth);
    } else if (colorType == PNG_COLOR_TYPE_PALETTE) {
        std::memset(palette, 0, 256 * sizeof(ImgColor));
        png_colorp entries = nullptr;
        int count = 0;
        if (png_get_PLTE(png, info, &entries, &count) && entries) {
            for (int i = 0; i < count && i < 256; ++i)
                palette[i] = ImgColor{entries[i].blue, entries[i].green, entries[i].red, 255};
        }
    }

    {
        ImgBitmapLock lock(bitmap, false, true);
        png_read_image(png, const_cast<png_bytepp>(bitmap->GetLineArray()));
    }

    png_uint_32 xPerUnit = 0, yPerUnit = 0;
    int unit = 0;
    if (png_get_pHYs(png, info, &xPerUnit, &yPerUnit, &unit) && unit == PNG_RESOLUTION_METER)
        bitmap->SetResolution(static_cast<int32_t>(std::lround(xPerUnit * 0.0254)),
                              static_cast<int32_t>(std::lround(yPerUnit * 0.0254)));
    else
        bitmap->SetResolution(0, 0);
    png_read_end(png, nullptr);
}
