#include "tests/harness/Picture.h"

#include <zlib.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdint>

namespace harness {

bool Picture::AllBlack(RECT r) const {
    r.left = std::max<LONG>(r.left, 0);
    r.top = std::max<LONG>(r.top, 0);
    r.right = std::min<LONG>(r.right, width);
    r.bottom = std::min<LONG>(r.bottom, height);
    if (r.left >= r.right || r.top >= r.bottom) return false;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (At(x, y) != RGB(0, 0, 0)) return false;
    return true;
}

Picture PictureOf(HWND window) {
    Picture out;
    RECT r{};
    if (!GetWindowRect(window, &r) || r.right <= r.left || r.bottom <= r.top) return out;
    int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFOHEADER bih{};
    bih.biSize = sizeof bih;
    bih.biWidth = w;
    bih.biHeight = -h;
    bih.biPlanes = 1;
    bih.biBitCount = 32;
    std::vector<unsigned char> bgra(static_cast<size_t>(w) * h * 4);
    GetDIBits(memory, bitmap, 0, static_cast<UINT>(h), bgra.data(), reinterpret_cast<BITMAPINFO*>(&bih),
              DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    out.width = w;
    out.height = h;
    out.rgb.resize(static_cast<size_t>(w) * h * 3);
    for (size_t i = 0, n = static_cast<size_t>(w) * h; i < n; ++i) {
        out.rgb[i * 3] = bgra[i * 4 + 2];
        out.rgb[i * 3 + 1] = bgra[i * 4 + 1];
        out.rgb[i * 3 + 2] = bgra[i * 4];
    }
    return out;
}

namespace {

void Put32(std::vector<unsigned char>& v, uint32_t n) {
    for (int s = 24; s >= 0; s -= 8)
        v.push_back(static_cast<unsigned char>(n >> s));
}

void Chunk(std::FILE* f, const char* type, const std::vector<unsigned char>& data) {
    std::vector<unsigned char> c;
    Put32(c, static_cast<uint32_t>(data.size()));
    c.insert(c.end(), type, type + 4);
    c.insert(c.end(), data.begin(), data.end());
    Put32(c, static_cast<uint32_t>(crc32(0, c.data() + 4, static_cast<uInt>(c.size() - 4))));
    std::fwrite(c.data(), 1, c.size(), f);
}

} // namespace

bool SavePng(const Picture& picture, const std::string& path) {
    if (picture.width <= 0 || picture.height <= 0) return false;
    // Each row begins with its filter byte, 0: none.
    size_t row = static_cast<size_t>(picture.width) * 3;
    std::vector<unsigned char> raw;
    raw.reserve((row + 1) * static_cast<size_t>(picture.height));
    for (int y = 0; y < picture.height; ++y) {
        raw.push_back(0);
        auto from = picture.rgb.begin() + static_cast<std::ptrdiff_t>(static_cast<size_t>(y) * row);
        raw.insert(raw.end(), from, from + static_cast<std::ptrdiff_t>(row));
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<unsigned char> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 6) != Z_OK)
        return false;
    packed.resize(packedSize);
    std::vector<unsigned char> header;
    Put32(header, static_cast<uint32_t>(picture.width));
    Put32(header, static_cast<uint32_t>(picture.height));
    header.insert(header.end(), {8, 2, 0, 0, 0}); // 8 bits, RGB, deflate, no filter, no interlace
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    static const unsigned char kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::fwrite(kSignature, 1, sizeof kSignature, f);
    Chunk(f, "IHDR", header);
    Chunk(f, "IDAT", packed);
    Chunk(f, "IEND", {});
    return std::fclose(f) == 0;
}

} // namespace harness
