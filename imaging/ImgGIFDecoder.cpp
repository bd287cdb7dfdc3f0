#include "imaging/ImgGIFDecoder.h"
#include "imaging/ImgBitmapLock.h"
#include "imaging/ImgTrace.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

// Pixels per byte of coded data at most: a code of at least 3 bits stands for at most 4096.
constexpr int64_t kLargestLzwExpansion = 4096 * 8 / 3 + 1;

// Short counts at the end of the data; giflib reports them as its read error.
int ReadFunction(GifFileType* gif, GifByteType* buffer, int count) {
    auto* source = static_cast<ImgDataSource*>(gif->UserData);
    int n = std::max(0, std::min(count, source->GetBytesLeft()));
    if (n > 0) std::memcpy(buffer, source->ReadNBytes(n), static_cast<size_t>(n));
    return n;
}

class GifCloser {
  public:
    explicit GifCloser(GifFileType* gif) : m_gif(gif) {}
    ~GifCloser() {
        int error = 0;
        DGifCloseFile(m_gif, &error);
    }
    GifCloser(const GifCloser&) = delete;
    GifCloser& operator=(const GifCloser&) = delete;

  private:
    GifFileType* m_gif;
};

[[noreturn]] void RaiseGifError(int error) {
    const char* text = GifErrorString(error);
    ImgPictureDecoder::RaiseError(kImgBadData, "%s", text ? text : "GIF error");
}

void Check(GifFileType* gif, int result) {
    if (result == GIF_ERROR) RaiseGifError(gif->Error);
}

void SetPalette(ImgColor* palette, const ColorMapObject* map) {
    std::memset(palette, 0, 256 * sizeof(ImgColor));
    if (!map || !map->Colors) return;
    for (int i = 0; i < map->ColorCount && i < 256; ++i)
        palette[i] = ImgColor{map->Colors[i].Blue, map->Colors[i].Green, map->Colors[i].Red, 255};
}

} // namespace

void ImgGIFDecoder::DoDecode(ImgBitmap* bitmap, ImgDataSource* source) {
    int error = 0;
    GifFileType* gif = DGifOpen(source, ReadFunction, &error);
    if (!gif) RaiseGifError(error);
    GifCloser closer(gif);

    CheckPictureSize(gif->SWidth, gif->SHeight);
    const int32_t width = gif->SWidth, height = gif->SHeight;
    // Whatever the images, the rest of the file has to be able to fill the screen.
    CheckExpansion(int64_t(width) * height, source->GetBytesLeft(), kLargestLzwExpansion);
    bitmap->Create(width, height, 8, false);
    ImgBitmapLock lock(bitmap, false, true);
    for (int32_t y = 0; y < height; ++y)
        bitmap->GetLine(y)[0] = static_cast<uint8_t>(gif->SBackGroundColor);

    // giflib frees an image's map at the next image: the palette is copied as it comes.
    SetPalette(bitmap->GetPalette(), gif->SColorMap);
    int imageNumber = 0;
    GifRecordType record = UNDEFINED_RECORD_TYPE;
    do {
        Check(gif, DGifGetRecordType(gif, &record));
        if (record == IMAGE_DESC_RECORD_TYPE) {
            Check(gif, DGifGetImageDesc(gif));
            ++imageNumber;
            const GifImageDesc& d = gif->Image;
            if (d.Left < 0 || d.Top < 0 || d.Width < 0 || d.Height < 0 || int64_t(d.Left) + d.Width > width ||
                int64_t(d.Top) + d.Height > height) {
                std::fprintf(stderr, "Image %d is not confined to screen dimension, aborted.\n", imageNumber);
                break;
            }
            SetPalette(bitmap->GetPalette(), d.ColorMap ? d.ColorMap : gif->SColorMap);
            if (d.Width == 0 || d.Height == 0) {
                // No pixels, but its coded data still stands before the next record.
                int codeSize = 0;
                GifByteType* block = nullptr;
                Check(gif, DGifGetCode(gif, &codeSize, &block));
                while (block)
                    Check(gif, DGifGetCodeNext(gif, &block));
                continue;
            }
            static const int kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
            const int passes = d.Interlace ? 4 : 1;
            for (int pass = 0; pass < passes; ++pass) {
                int start = d.Interlace ? kStart[pass] : 0, step = d.Interlace ? kStep[pass] : 1;
                for (int row = start; row < d.Height; row += step)
                    Check(gif, DGifGetLine(gif, bitmap->GetLine(d.Top + row) + d.Left, d.Width));
            }
        } else if (record == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* extension = nullptr;
            Check(gif, DGifGetExtension(gif, &code, &extension));
            while (extension)
                Check(gif, DGifGetExtensionNext(gif, &extension));
        }
    } while (record != TERMINATE_RECORD_TYPE);

    bitmap->SetResolution(0, 0);
}
