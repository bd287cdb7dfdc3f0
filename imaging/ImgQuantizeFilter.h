#pragma once
// Bitmap filters. The quantizer reduces a 32-bpp bitmap to 8 bpp with a 256-entry palette;
// ImgBitmap::CreateCopy runs it with the target's quantize and dither modes.

#include "imaging/ImgBitmap.h"

#include <memory>

// A filter overrides at least one of the two: each is built on the other.
class ImgFilter : public ImgObject {
  public:
    // Applies into a scratch bitmap and copies the result back.
    virtual void ApplyInPlace(ImgBitmap* bitmap);
    // Copies the source into the destination, then applies in place there.
    virtual void Apply(ImgBitmap* source, ImgBitmap* destination);
};

class ImgQuantizeFilter : public ImgFilter {
  public:
    // Code 10 "Out of memory." when the colour table cannot be had.
    ImgQuantizeFilter(int32_t quantizeMode, int32_t ditherMode);
    ~ImgQuantizeFilter() override;
    ImgQuantizeFilter(const ImgQuantizeFilter&) = delete;
    ImgQuantizeFilter& operator=(const ImgQuantizeFilter&) = delete;

    // The destination becomes the source at 8 bpp, same size and resolution, no alpha.
    void Apply(ImgBitmap* source, ImgBitmap* destination) override;
    // 256 entries the caller keeps alive; used in the user palette mode.
    void SetUserPalette(const ImgColor* palette) { m_pUserPalette = palette; }

    // One slot a 15-bit colour: red, green, blue in five bits each, red highest.
    static int SlotOf(uint8_t red, uint8_t green, uint8_t blue) {
        return (red >> 3) << 10 | (green >> 3) << 5 | blue >> 3;
    }
    static const ImgColor* FixedPalette();

  private:
    struct Slot {
        int32_t index;  // palette entry, -1 until a pixel of the slot is mapped
        uint32_t count; // pixels, saturating at 65535; 0 = not occupied
    };
    // Corners, mean in five-bit units (blue, green, red, 0) and pixels of one median-cut box.
    struct Box {
        uint8_t min[4];
        uint8_t max[4];
        uint8_t mean[4];
        uint32_t count;
    };

    void Reset();
    void CountColours(const ImgBitmap& source);
    void MedianCut(ImgColor* palette);
    void Shrink(Box& box) const;
    void SplitBox(Box& box, Box& other) const;
    void Popularity(ImgColor* palette) const;
    int Nearest(const ImgColor* palette, int red, int green, int blue);
    void MapPixels(const ImgBitmap& source, ImgBitmap* destination, const ImgColor* palette);
    void MapDiffused(const ImgBitmap& source, ImgBitmap* destination, const ImgColor* palette);

    int32_t m_nQuantizeMode;
    int32_t m_nDitherMode;
    const ImgColor* m_pUserPalette = nullptr;
    // Flat: one allocation for the filter's life, however many colours a picture has.
    std::unique_ptr<Slot[]> m_slots;
    std::unique_ptr<Box[]> m_boxes;
};
