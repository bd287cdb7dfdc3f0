#pragma once
// What the screen shows under a window, kept as top-down RGB pixels, and written as a PNG.

#include <windows.h>

#include <string>
#include <vector>

namespace harness {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb; // top row first, three bytes a pixel

    COLORREF At(int x, int y) const {
        const unsigned char* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
        return RGB(p[0], p[1], p[2]);
    }
    // Whether every pixel of the rectangle (picture coordinates, clipped) is black; false
    // for an empty one.
    bool AllBlack(RECT r) const;
};

// The screen's pixels under the window, its frame included (any process's window).
Picture PictureOf(HWND window);
// A PNG of the picture (RGB, 8 bits, deflated); false when it cannot be written.
bool SavePng(const Picture& picture, const std::string& path);

} // namespace harness
