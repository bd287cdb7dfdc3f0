#include "imaging/ImgTIFFDecoder.h"
#include "imaging/ImgBitmapLock.h"
#include "imaging/ImgPackBits.h"
#include "imaging/ImgTrace.h"

#include <tiffio.h>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

namespace {

// The handle record of a memory TIFF.
struct MemoryHandle {
    const uint8_t* base;
    uint64_t offset;
    uint64_t capacity;
    uint64_t* size;
    char mode;
    uint64_t sizeValue;
    std::string* error; // the open's text until the handle exists, then lastError
    std::string lastError;
};

// Bounded, whatever libtiff's arguments; the exception adds the line feed.
void FormatInto(std::string* target, const char* module, const char* format, va_list args) {
    char text[1024];
    std::vsnprintf(text, sizeof text, format, args);
    *target = std::string(module && *module ? module : "") + (module && *module ? ": " : "") + text;
}

// Messages not tied to a handle go to the trace.
void GlobalError(const char* module, const char* format, va_list args) {
    std::string text;
    FormatInto(&text, module, format, args);
    ImgTrace(0, "%s\n", text.c_str());
}

void GlobalWarning(const char* module, const char* format, va_list args) {
    char text[1024];
    std::vsnprintf(text, sizeof text, format, args);
    if (module && *module)
        ImgTrace(2, "Warning in LIBTIFF(%s): %s\n", module, text);
    else
        ImgTrace(2, "Warning in LIBTIFF: %s\n", text);
}

int HandleError(TIFF*, void* user, const char* module, const char* format, va_list args) {
    auto* handle = static_cast<MemoryHandle*>(user);
    FormatInto(handle->error, module, format, args);
    ImgTrace(0, "%s\n", handle->error->c_str());
    return 1;
}

int HandleWarning(TIFF*, void*, const char* module, const char* format, va_list args) {
    GlobalWarning(module, format, args);
    return 1;
}

tmsize_t ReadProc(thandle_t h, void* buffer, tmsize_t count) {
    auto* handle = static_cast<MemoryHandle*>(h);
    if (handle->mode != 'r' || count <= 0 || handle->offset >= *handle->size) return 0;
    uint64_t n = std::min<uint64_t>(static_cast<uint64_t>(count), *handle->size - handle->offset);
    std::memcpy(buffer, handle->base + handle->offset, static_cast<size_t>(n));
    handle->offset += n;
    return static_cast<tmsize_t>(n);
}

// The memory is read-only here: nothing is written.
tmsize_t WriteProc(thandle_t, void*, tmsize_t) {
    return 0;
}

toff_t SeekProc(thandle_t h, toff_t offset, int whence) {
    auto* handle = static_cast<MemoryHandle*>(h);
    // Offsets are signed steps for SEEK_CUR and SEEK_END; nothing lands before the start.
    const auto step = static_cast<int64_t>(offset);
    const auto from = static_cast<int64_t>(whence == SEEK_CUR   ? handle->offset
                                           : whence == SEEK_END ? *handle->size
                                                                : 0);
    if (step < 0 && (whence == SEEK_SET || step < -from)) return static_cast<toff_t>(-1);
    if (step > 0 && step > INT64_MAX - from) return static_cast<toff_t>(-1);
    handle->offset = static_cast<uint64_t>(from + step);
    return handle->offset;
}

int CloseProc(thandle_t h) {
    delete static_cast<MemoryHandle*>(h);
    return 0;
}

toff_t SizeProc(thandle_t h) {
    return *static_cast<MemoryHandle*>(h)->size;
}

int MapProc(thandle_t, void**, toff_t*) {
    return 0;
}
void UnmapProc(thandle_t, void*, toff_t) {}

// Process-wide handlers go in once; the per-handle ones of each open come first.
void InstallHandlers() {
    static std::once_flag once;
    std::call_once(once, [] {
        TIFFSetErrorHandler(GlobalError);
        TIFFSetWarningHandler(GlobalWarning);
    });
}

class TiffCloser {
  public:
    explicit TiffCloser(TIFF* tiff) : m_tiff(tiff) {}
    ~TiffCloser() { TIFFClose(m_tiff); }
    TiffCloser(const TiffCloser&) = delete;
    TiffCloser& operator=(const TiffCloser&) = delete;

  private:
    TIFF* m_tiff;
};

int32_t Resolution(TIFF* tiff, ttag_t tag, uint16_t unit) {
    float value = 0;
    if (!TIFFGetField(tiff, tag, &value) || !(value > 1) || !std::isfinite(value)) return 0;
    double dpi = unit == RESUNIT_INCH ? value : unit == RESUNIT_CENTIMETER ? value * 2.54 : value * 0.0254;
    if (!(dpi > 1) || dpi > 1e6) return 0;
    return static_cast<int32_t>(std::lround(dpi));
}

void GrayRamp(ImgColor* palette, int entries, bool descending) {
    for (int i = 0; i < entries; ++i) {
        auto v = static_cast<uint8_t>(i * 255 / (entries - 1));
        if (descending) v = static_cast<uint8_t>(255 - v);
        palette[i] = ImgColor{v, v, v, 255};
    }
}

// 8-bit RGB with one extra sample: the four bytes go unchanged, alpha as stored.
void PutRGBAContig(TIFFRGBAImage* image, uint32_t* cp, uint32_t, uint32_t, uint32_t w, uint32_t h,
                   int32_t fromSkew, int32_t toSkew, unsigned char* pp) {
    const int samples = image->samplesperpixel;
    for (uint32_t row = 0; row < h; ++row) {
        for (uint32_t x = 0; x < w; ++x) {
            std::memcpy(cp++, pp, 4);
            pp += samples;
        }
        cp += toSkew;
        pp += static_cast<ptrdiff_t>(fromSkew) * samples;
    }
}

// The most bytes one stored byte decodes to under the compression; 0 where a few bytes can
// stand for any amount (JBIG, LZMA, ZSTD, WebP and the like).
int64_t LargestExpansion(TIFF* tiff) {
    uint16_t compression = COMPRESSION_NONE;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_COMPRESSION, &compression);
    switch (compression) {
    case COMPRESSION_NONE: return 1;
    case COMPRESSION_PACKBITS: return img::kPackBitsLargestExpansion;
    case COMPRESSION_LZW: return 4096; // a code of at least 9 bits stands for at most 4096 bytes
    case COMPRESSION_ADOBE_DEFLATE:
    case COMPRESSION_DEFLATE: return 1032; // a match of 258 bytes in two bits
    case COMPRESSION_OJPEG:
    case COMPRESSION_JPEG: return 1024; // a block of 64 samples takes a bit at least
    case COMPRESSION_CCITTRLE:
    case COMPRESSION_CCITTRLEW:
    case COMPRESSION_CCITTFAX3:
    case COMPRESSION_CCITTFAX4: {
        // A fax line takes a bit at least.
        const tmsize_t line = TIFFScanlineSize(tiff);
        return line > 0 ? 8 * static_cast<int64_t>(line) : 0;
    }
    default: return 0;
    }
}

// Code 11 before anything is allocated when the whole file could not decode to the strips
// or tiles of the picture.
void CheckStoredData(TIFF* tiff, uint32_t height) {
    const int64_t expansion = LargestExpansion(tiff);
    if (expansion == 0) return;
    uint64_t unit = 0, count = 1;
    if (TIFFIsTiled(tiff)) {
        unit = TIFFTileSize64(tiff);
        count = TIFFNumberOfTiles(tiff);
    } else {
        uint16_t planar = PLANARCONFIG_CONTIG, samples = 1;
        TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &planar);
        TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
        unit = TIFFVStripSize64(tiff, height);
        if (planar == PLANARCONFIG_SEPARATE) count = samples;
    }
    uint64_t decoded = 0;
    if (__builtin_mul_overflow(unit, count, &decoded) || decoded > INT64_MAX) decoded = INT64_MAX;
    const uint64_t stored = *static_cast<MemoryHandle*>(TIFFClientdata(tiff))->size;
    ImgPictureDecoder::CheckExpansion(static_cast<int64_t>(decoded), static_cast<int64_t>(stored), expansion);
}

} // namespace

TIFF* ImgTIFFOpenMemory(const uint8_t* data, uint64_t size, std::string* errorText) {
    InstallHandlers();
    auto* handle = new MemoryHandle{data, 0, size, nullptr, 'r', size, errorText, {}};
    handle->size = &handle->sizeValue;
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    TIFFOpenOptionsSetErrorHandlerExtR(options, HandleError, handle);
    TIFFOpenOptionsSetWarningHandlerExtR(options, HandleWarning, handle);
    // A hostile header must not make libtiff itself ask for more than a picture may hold.
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, static_cast<tmsize_t>(kImgMaxBytes));
    TIFF* tiff = TIFFClientOpenExt("MemSource", "r", handle, ReadProc, WriteProc, SeekProc, CloseProc,
                                   SizeProc, MapProc, UnmapProc, options);
    TIFFOpenOptionsFree(options);
    // A failed open does not call the close procedure.
    if (!tiff)
        delete handle;
    else
        handle->error = &handle->lastError;
    return tiff;
}

const char* ImgTIFFLastError(TIFF* tiff) {
    return static_cast<MemoryHandle*>(TIFFClientdata(tiff))->lastError.c_str();
}

ImgTIFFDecoder::ImgTIFFDecoder() {
    InstallHandlers();
}

void ImgTIFFDecoder::DoDecode(ImgBitmap* bitmap, ImgDataSource* source) {
    uint64_t size = static_cast<uint64_t>(source->GetBytesLeft());
    std::string openError;
    TIFF* tiff = ImgTIFFOpenMemory(source->ReadEverything(), size, &openError);
    if (!tiff) RaiseError(kImgWrongFormat, "%s", openError.c_str());
    TiffCloser closer(tiff);

    uint16_t bits = 1, samples = 1;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
    uint16_t planar = PLANARCONFIG_CONTIG;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &planar);
    // Scanlines of gray with alpha in separate planes hold only the gray: libtiff joins them.
    bool loColor =
        !TIFFIsTiled(tiff) && ((samples == 1 && (bits == 1 || bits == 2 || bits == 4 || bits == 8)) ||
                               (samples == 2 && bits == 8 && planar == PLANARCONFIG_CONTIG));
    if (loColor)
        DoLoColor(bitmap, tiff);
    else
        DoRGBA(bitmap, tiff);

    uint16_t unit = RESUNIT_INCH;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_RESOLUTIONUNIT, &unit);
    bitmap->SetResolution(Resolution(tiff, TIFFTAG_XRESOLUTION, unit),
                          Resolution(tiff, TIFFTAG_YRESOLUTION, unit));
}

void ImgTIFFDecoder::DoRGBA(ImgBitmap* bitmap, TIFF* tiff) {
    char message[1024] = "";
    TIFFRGBAImage image;
    if (!TIFFRGBAImageOK(tiff, message) || !TIFFRGBAImageBegin(&image, tiff, 0, message))
        RaiseError(kImgWrongFormat, "%s", message);
    struct ImageEnd {
        TIFFRGBAImage* image;
        ~ImageEnd() { TIFFRGBAImageEnd(image); }
    } end{&image};

    const uint32_t width = image.width, height = image.height;
    CheckPictureSize(width, height);
    CheckStoredData(tiff, height);
    bitmap->Create(static_cast<int32_t>(width), static_cast<int32_t>(height), 32,
                   image.alpha != 0 || image.samplesperpixel == 4);
    std::vector<uint32_t> raster;
    try {
        raster.assign(size_t(width) * height, 0);
    } catch (const std::bad_alloc&) {
        RaiseError(kImgOutOfMemory, "Out of memory allocating TIFF buffer.");
    }
    uint16_t planar = PLANARCONFIG_CONTIG;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &planar);
    if (image.samplesperpixel == 4 && image.bitspersample == 8 && image.photometric == PHOTOMETRIC_RGB &&
        planar == PLANARCONFIG_CONTIG)
        image.put.contig = PutRGBAContig;
    if (!TIFFRGBAImageGet(&image, raster.data(), width, height))
        RaiseError(kImgWrongFormat, "%s", ImgTIFFLastError(tiff));

    ImgBitmapLock lock(bitmap, false, true);
    for (uint32_t i = 0; i < height; ++i) {
        const auto* from = reinterpret_cast<const uint8_t*>(raster.data() + size_t(height - 1 - i) * width);
        uint8_t* to = bitmap->GetLine(static_cast<int32_t>(i));
        for (uint32_t x = 0; x < width; ++x, from += 4, to += 4) {
            to[0] = from[2];
            to[1] = from[1];
            to[2] = from[0];
            to[3] = from[3];
        }
    }
}

void ImgTIFFDecoder::DoLoColor(ImgBitmap* bitmap, TIFF* tiff) {
    uint32_t width = 0, height = 0;
    uint16_t bits = 1, samples = 1, photometric = PHOTOMETRIC_MINISWHITE;
    TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
    if (!TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &photometric) ||
        (photometric != PHOTOMETRIC_MINISWHITE && photometric != PHOTOMETRIC_MINISBLACK &&
         photometric != PHOTOMETRIC_PALETTE)) {
        ImgTrace(2, "unexpected PhotometricInterpretation, default to PHOTOMETRIC_MINISWHITE\n");
        photometric = PHOTOMETRIC_MINISWHITE;
    }
    CheckPictureSize(width, height);
    CheckStoredData(tiff, height);
    const bool oneBit = samples == 1 && bits == 1;
    bitmap->Create(static_cast<int32_t>(width), static_cast<int32_t>(height), oneBit ? 1 : 8, false);

    const int entries = 1 << bits;
    ImgColor* palette = bitmap->GetPalette();
    if (photometric == PHOTOMETRIC_PALETTE) {
        uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
        if (!TIFFGetField(tiff, TIFFTAG_COLORMAP, &red, &green, &blue) || !red || !green || !blue)
            RaiseError(kImgBadData, "Palette image without colour map.");
        bool wide = false;
        for (int i = 0; i < entries; ++i)
            wide = wide || red[i] >= 256 || green[i] >= 256 || blue[i] >= 256;
        const int shift = wide ? 8 : 0;
        for (int i = 0; i < entries; ++i)
            palette[i] =
                ImgColor{static_cast<uint8_t>(blue[i] >> shift), static_cast<uint8_t>(green[i] >> shift),
                         static_cast<uint8_t>(red[i] >> shift), 255};
    } else {
        GrayRamp(palette, entries, photometric == PHOTOMETRIC_MINISWHITE);
    }

    const tmsize_t scanline = TIFFScanlineSize(tiff);
    const size_t needed = (size_t(width) * bits * samples + 7) / 8;
    if (scanline <= 0 || size_t(scanline) < needed)
        RaiseError(kImgBadData, "TIFF scanline of %lld bytes is too short.",
                   static_cast<long long>(scanline));
    std::vector<uint8_t> buffer;
    try {
        buffer.assign(static_cast<size_t>(scanline), 0);
    } catch (const std::bad_alloc&) {
        RaiseError(kImgOutOfMemory, "Out of memory allocating TIFF buffer.");
    }

    ImgBitmapLock lock(bitmap, false, true);
    for (uint32_t row = 0; row < height; ++row) {
        if (TIFFReadScanline(tiff, buffer.data(), row, 0) < 0) {
            // Damage early on is a broken picture; near the end the rest is kept.
            if (uint64_t(row) * 3 < uint64_t(height) * 2)
                RaiseError(kImgFeatureNotSupported, "%s", ImgTIFFLastError(tiff));
            continue;
        }
        uint8_t* line = bitmap->GetLine(static_cast<int32_t>(row));
        const uint8_t* in = buffer.data();
        if (oneBit) {
            std::memcpy(line, in, needed);
        } else if (samples == 2) {
            for (uint32_t x = 0; x < width; ++x)
                line[x] = in[2 * x];
        } else if (bits == 8) {
            std::memcpy(line, in, width);
        } else {
            const int perByte = 8 / bits;
            const int mask = entries - 1;
            for (uint32_t x = 0; x < width; ++x) {
                int shift = 8 - bits * (1 + static_cast<int>(x % perByte));
                line[x] = static_cast<uint8_t>((in[x / perByte] >> shift) & mask);
            }
        }
    }
}
