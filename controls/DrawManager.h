#pragma once
// The label drawer's toolbox for pictures and backgrounds: bitmaps, icons and image strips
// with a transparent colour, colour effects, per-pixel alpha and soft shadows; lines and
// rectangles in pen styles; gradients and shaded textures. Every operation returns quietly
// when a context, bitmap or DIB section cannot be made; pictures and textures larger than
// kMaxPixels are not drawn at all.

#include "controls/CeXDib.h"

#include <windows.h>

#include <cstdint>
#include <vector>

class CDrawManager {
  public:
    // Effect flags of pictures.
    enum : UINT {
        kEffectGray = 1,
        kEffectDarken = 2,
        kEffectLighten = 4,
        kEffectFill = 8, // every pixel in the fill colour (mask images)
        kEffectShadow = 256,
        kEffectGradientShadow = 512,
        kEffectInvert = 0x8000,
    };
    // Pen types of lines, rectangles and borders.
    enum PenType {
        kPenNone = 0,
        kPenSolid = 1,
        kPenDash = 2,
        kPenDot = 3,
        kPenDashDot = 4,
        kPenDashDotDot = 5,
        kPenDouble = 6,
    };
    // Background effects of FillEffect; any other number fills with the start colour.
    enum Effect {
        kFillSolid = 0,
        kFillHGradient = 1,
        kFillVGradient = 2,
        kFillHCGradient = 3,
        kFillVCGradient = 4,
        kFill3HGradient = 5,
        kFill3VGradient = 6,
        kFillNoise = 7,
        kFillDiagShade = 8,
        kFillHShade = 9,
        kFillVShade = 10,
        kFillHBump = 11,
        kFillVBump = 12,
        kFillSoftBump = 13,
        kFillHardBump = 14,
        kFillMetal = 15,
    };
    // Largest picture or texture worked on (16 MB of 32-bit pixels).
    static constexpr int64_t kMaxPixels = 4 * 1024 * 1024;

    CDrawManager();
    virtual ~CDrawManager() = default;
    CDrawManager(const CDrawManager&) = delete;
    CDrawManager& operator=(const CDrawManager&) = delete;

    // A new top-down 32-bit DIB section (the caller deletes it) holding the bitmap with the
    // effects applied; mask-coloured pixels become 0 when useMask is set. Null on failure.
    HBITMAP CreateImageEffect(HBITMAP bitmap, int width, int height, UINT effect, bool useMask, COLORREF mask,
                              COLORREF fill);
    // Whether the last effect image built had a pixel with a non-zero alpha byte.
    bool HasAlpha() const { return m_bHasAlpha; }

    static COLORREF GrayMirrorColor(COLORREF colour);
    // Each channel times factor, for 0 <= factor < 1; else the colour unchanged.
    static COLORREF DarkenColor(COLORREF colour, double factor);
    // Each channel times 1 + factor, at most 255, for 0 < factor <= 1; else unchanged.
    static COLORREF LightenColor(COLORREF colour, double factor);
    static COLORREF InvertColor(COLORREF colour);
    static COLORREF PixelAlpha(COLORREF colour1, double weight1, COLORREF colour2, double weight2);

    // Blends the source area over the target by the source's alpha bytes.
    void AlphaChannelBitBlt(HDC target, int x, int y, int width, int height, HDC source, int sourceX,
                            int sourceY);

    // Draws the bitmap stretched to width x height with its effects and, with shadow on, its
    // shadow (flags 256 or 512) or offset (neither); fill is the colour of effect 8.
    void DrawBitmap(HDC dc, int x, int y, int width, int height, HBITMAP bitmap, bool useMask, COLORREF mask,
                    UINT effect, bool shadow, int shadowDx, int shadowDy, int blurX, int blurY,
                    COLORREF shadowColour, COLORREF fill = 0);
    void DrawIcon(HDC dc, int x, int y, int width, int height, HICON icon, UINT effect, bool shadow,
                  int shadowDx, int shadowDy, int blurX, int blurY, COLORREF shadowColour, COLORREF fill = 0);
    // Image index of a strip cut into cx x cy images; the strip's top-left pixel is the mask
    // colour. An index outside the strip draws nothing.
    void DrawImageList(HDC dc, int x, int y, int width, int height, HBITMAP strip, int index, int cx, int cy,
                       bool useMask, UINT effect, bool shadow, int shadowDx, int shadowDy, int blurX,
                       int blurY, COLORREF shadowColour, COLORREF fill = 0);
    // A new icon of the given size (the caller destroys it), null on failure.
    HICON StretchIcon(HICON icon, int width, int height);

    // Darkens the area by a mask image (white keeps, black darkens fully), blurred with
    // gradient on.
    void DrawShadow(HDC dc, int x, int y, int width, int height, HBITMAP mask, bool gradient, int blurX,
                    int blurY);
    // Box blur of a width x height mask of 32-bit pixels (the low byte counts), padded with
    // white; factors receive width x height values from 0 to 1.
    static void SmoothMaskImage(int width, int height, const uint32_t* maskBits, int blurWidth,
                                int blurHeight, double* factors);
    // Running sums over window consecutive values taken every stride entries: sums[k * stride]
    // = values[k * stride] + ... + values[(k + window - 1) * stride], for count - window + 1 k.
    static void GetPartialSums(const int64_t* values, int count, int window, int stride, int64_t* sums);

    // Tiles the source's tileWidth x tileHeight area over the target area.
    void MultipleCopy(HDC dc, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
                      int tileWidth, int tileHeight);
    void DrawLine(HDC dc, int x1, int y1, int x2, int y2, COLORREF colour, int penType, int width);
    // Left and top edges light, right and bottom dark.
    void DrawRectangle1(HDC dc, const RECT& rect, COLORREF light, COLORREF dark, int penType, int width);
    void DrawRectangle2(HDC dc, int left, int top, int right, int bottom, COLORREF light, COLORREF dark,
                        int penType, int width);
    // 64 bands from start to end; horizontal runs from left to right.
    void FillGradient(HDC dc, const RECT& rect, COLORREF start, COLORREF end, bool horizontal);
    void FillEffect(HDC dc, int effect, const RECT& rect, COLORREF start, COLORREF middle, COLORREF end,
                    int granularity, int highlight);
    // Renders texture effect (7 to 15) of the rectangle's size into the palette DIB; with drawn
    // given only that part of the rectangle (the DIB then has drawn's size). False when the
    // DIB cannot be made.
    bool SetShade(const RECT& rect, int effect, int granularity, int highlight, COLORREF start,
                  COLORREF middle, COLORREF end, const RECT* drawn = nullptr);

    static SIZE GetSizeOfBitmap(HBITMAP bitmap);
    static SIZE GetSizeOfIcon(HICON icon);

    // The textures' random source (0 to 32767); a fixed seed makes them repeatable.
    void SetRandomSeed(uint32_t seed) { m_nRandom = seed; }
    int Random();
    CCeXDib& Dib() { return m_dib; }

  private:
    // The picture's top-down pixels at their final size, drawn with effects and shadow.
    void DrawPixels(HDC dc, int x, int y, int width, int height, const std::vector<uint32_t>& source,
                    const std::vector<uint8_t>* transparent, bool useMask, COLORREF mask, UINT effect,
                    bool shadow, int shadowDx, int shadowDy, int blurX, int blurY, COLORREF shadowColour,
                    COLORREF fill);

    CCeXDib m_dib;
    bool m_bHasAlpha = false;
    uint32_t m_nRandom;
};
