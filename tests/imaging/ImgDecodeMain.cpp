// img_decode [-bpp N] IN OUT: decodes IN through the layer and writes OUT as a PAM (RGBA,
// top-down) or, for a name ending in ".jpg", as JPEG. One line on success, exit 0; one line
// "error CODE TEXT" for the layer's exception, exit 2; usage and output failures exit 1.
#include "imaging/ImgAnyDecoder.h"
#include "imaging/ImgJPEGEncoder.h"
#include "imaging/ImgMemBitmap.h"
#include "imaging/ImgWinBitmap.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

bool EndsWith(const std::string& text, const char* tail) {
    size_t n = std::strlen(tail);
    return text.size() >= n && text.compare(text.size() - n, n, tail) == 0;
}

// The pixel's colour whatever the depth; alpha only where the bitmap has it.
void PixelAt(const ImgBitmap& b, int32_t x, int32_t y, uint8_t* rgba) {
    const uint8_t* line = b.GetLine(y);
    ImgColor c{0, 0, 0, 255};
    switch (b.GetBitsPerPixel()) {
    case 1: c = b.GetPalette()[(line[x / 8] >> (7 - x % 8)) & 1]; break;
    case 4: c = b.GetPalette()[x % 2 ? line[x / 2] & 0x0F : line[x / 2] >> 4]; break;
    case 8: c = b.GetPalette()[line[x]]; break;
    case 24: c = ImgColor{line[3 * x], line[3 * x + 1], line[3 * x + 2], 255}; break;
    case 32: c = ImgColor{line[4 * x], line[4 * x + 1], line[4 * x + 2], line[4 * x + 3]}; break;
    }
    rgba[0] = c.red;
    rgba[1] = c.green;
    rgba[2] = c.blue;
    rgba[3] = b.GetBitsPerPixel() == 32 && b.HasAlpha() ? c.alpha : 255;
}

bool WritePam(const ImgBitmap& b, const char* path) {
    FILE* file = std::fopen(path, "wb");
    if (!file) return false;
    std::fprintf(file, "P7\nWIDTH %d\nHEIGHT %d\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n",
                 b.GetWidth(), b.GetHeight());
    std::vector<uint8_t> row(static_cast<size_t>(b.GetWidth()) * 4);
    bool ok = true;
    for (int32_t y = 0; y < b.GetHeight() && ok; ++y) {
        for (int32_t x = 0; x < b.GetWidth(); ++x)
            PixelAt(b, x, y, &row[static_cast<size_t>(x) * 4]);
        ok = std::fwrite(row.data(), 1, row.size(), file) == row.size();
    }
    return std::fclose(file) == 0 && ok;
}

void WriteJpeg(ImgBitmap& bitmap, const char* path) { ImgJPEGEncoder().EncodeFile(path, &bitmap); }

int Usage() {
    std::fprintf(stderr, "usage: img_decode [-bpp N] IN OUT\n");
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    int bpp = 0;
    int at = 1;
    if (at < argc && std::strcmp(argv[at], "-bpp") == 0) {
        if (at + 1 >= argc) return Usage();
        char* end = nullptr;
        bpp = static_cast<int>(std::strtol(argv[at + 1], &end, 10));
        if (!end || *end) return Usage();
        at += 2;
    }
    if (argc - at != 2) return Usage();
    const char* in = argv[at];
    const std::string out = argv[at + 1];
    try {
        ImgAnyDecoder decoder;
        ImgWinBitmap bitmap;
        decoder.DecodeFile(in, &bitmap, bpp);
        if (EndsWith(out, ".jpg")) {
            if (bitmap.GetBitsPerPixel() == 32) {
                WriteJpeg(bitmap, out.c_str());
            } else {
                ImgMemBitmap wide;
                wide.CreateCopy(bitmap, 32);
                WriteJpeg(wide, out.c_str());
            }
        } else if (!WritePam(bitmap, out.c_str())) {
            std::fprintf(stderr, "img_decode: cannot write %s\n", out.c_str());
            return 1;
        }
        std::printf("type=%d bpp=%d size=%dx%d dpi=%dx%d alpha=%d\n", decoder.GetDetectedType(),
                    bitmap.GetBitsPerPixel(), bitmap.GetWidth(), bitmap.GetHeight(), bitmap.GetXResolution(),
                    bitmap.GetYResolution(), bitmap.HasAlpha() ? 1 : 0);
    } catch (const ImgTextException& e) {
        std::string text = e.GetText();
        for (char& c : text)
            if (c == '\n' || c == '\r') c = ' ';
        std::printf("error %d %s\n", e.GetCode(), text.c_str());
        return 2;
    }
    return 0;
}
