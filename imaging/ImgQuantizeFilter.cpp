#include "imaging/ImgQuantizeFilter.h"
#include "imaging/ImgMemBitmap.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

namespace {

constexpr int kSlots = 32768;
constexpr uint32_t kMaxCount = 65535;
constexpr int kEntries = 256;
constexpr int kCorners = 8;

// The corners of the colour cube that both counting modes keep, as (red, green, blue) on/off.
const uint8_t kCorner[kCorners][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1},
                                      {1, 1, 0}, {0, 1, 1}, {1, 0, 1}, {1, 1, 1}};

int Red(int slot) {
    return slot >> 10 & 31;
}
int Green(int slot) {
    return slot >> 5 & 31;
}
int Blue(int slot) {
    return slot & 31;
}

uint8_t Clamp(int value) {
    return static_cast<uint8_t>(value < 0 ? 0 : value > 255 ? 255 : value);
}

ImgColor Rgb(int red, int green, int blue) {
    return ImgColor{static_cast<uint8_t>(blue), static_cast<uint8_t>(green), static_cast<uint8_t>(red), 0};
}

std::vector<ImgColor> BuildFixedPalette() {
    // The system colours, written red, green, blue.
    static const uint8_t kLow[16][3] = {{0, 0, 0},       {191, 0, 0},     {0, 191, 0},   {191, 191, 0},
                                        {0, 0, 191},     {191, 0, 191},   {0, 191, 191}, {192, 192, 192},
                                        {192, 220, 192}, {166, 202, 240}, {128, 0, 0},   {0, 128, 0},
                                        {128, 128, 0},   {0, 0, 128},     {128, 0, 128}, {0, 128, 128}};
    static const uint8_t kHigh[11][3] = {{155, 207, 207}, {255, 251, 240}, {160, 160, 164}, {128, 128, 128},
                                         {255, 0, 0},     {0, 255, 0},     {255, 255, 0},   {0, 0, 255},
                                         {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};
    static const int kLevels[6] = {0, 81, 133, 177, 217, 255};
    std::vector<ImgColor> palette;
    palette.reserve(kEntries);
    for (const auto& c : kLow)
        palette.push_back(Rgb(c[0], c[1], c[2]));
    for (int red : kLevels)
        for (int green : kLevels)
            for (int blue : kLevels) {
                if (red == 0 && green == 0) continue;
                if (red == 255 && green == 255 && blue == 255) continue;
                palette.push_back(Rgb(red, green, blue));
            }
    for (int gray = 196; gray <= 253; gray += 3)
        palette.push_back(Rgb(gray, gray, gray));
    for (const auto& c : kHigh)
        palette.push_back(Rgb(c[0], c[1], c[2]));
    return palette;
}

} // namespace

void ImgFilter::ApplyInPlace(ImgBitmap* bitmap) {
    ImgMemBitmap result;
    Apply(bitmap, &result);
    bitmap->CreateCopy(result, 0);
}

void ImgFilter::Apply(ImgBitmap* source, ImgBitmap* destination) {
    if (source != destination) destination->CreateCopy(*source, 0);
    ApplyInPlace(destination);
}

const ImgColor* ImgQuantizeFilter::FixedPalette() {
    static const std::vector<ImgColor> palette = BuildFixedPalette();
    return palette.data();
}

ImgQuantizeFilter::ImgQuantizeFilter(int32_t quantizeMode, int32_t ditherMode)
    : m_nQuantizeMode(quantizeMode), m_nDitherMode(ditherMode) {
    m_slots.reset(new (std::nothrow) Slot[kSlots]);
    m_boxes.reset(new (std::nothrow) Box[kEntries]);
    if (!m_slots || !m_boxes) throw ImgTextException(kImgOutOfMemory, "Out of memory.");
    Reset();
}

ImgQuantizeFilter::~ImgQuantizeFilter() = default;

void ImgQuantizeFilter::Reset() {
    for (int i = 0; i < kSlots; ++i)
        m_slots[i] = Slot{-1, 0};
    std::memset(m_boxes.get(), 0, sizeof(Box) * kEntries);
}

void ImgQuantizeFilter::Apply(ImgBitmap* source, ImgBitmap* destination) {
    // The pixels are read while the destination is written: work from a copy when they are one.
    ImgMemBitmap copy;
    if (source == destination || source->GetBitsPerPixel() != 32) {
        copy.CreateCopy(*source, 32);
        source = &copy;
    }
    Reset();
    destination->Create(source->GetWidth(), source->GetHeight(), 8, false, source->GetXResolution(),
                        source->GetYResolution());
    ImgColor* palette = destination->GetPalette();
    int32_t mode = m_nQuantizeMode;
    if (mode == kImgQuantizeUserPalette && !m_pUserPalette) mode = kImgQuantizeFixedPalette;
    switch (mode) {
    case kImgQuantizeMedianCut:
        CountColours(*source);
        MedianCut(palette);
        break;
    case kImgQuantizePopularity:
        CountColours(*source);
        Popularity(palette);
        break;
    case kImgQuantizeUserPalette: std::memcpy(palette, m_pUserPalette, sizeof(ImgColor) * kEntries); break;
    default: std::memcpy(palette, FixedPalette(), sizeof(ImgColor) * kEntries); break;
    }
    if (m_nDitherMode == kImgDitherErrorDiffusion)
        MapDiffused(*source, destination, palette);
    else
        MapPixels(*source, destination, palette);
}

void ImgQuantizeFilter::CountColours(const ImgBitmap& source) {
    for (int32_t y = 0; y < source.GetHeight(); ++y) {
        const uint8_t* p = source.GetLine(y);
        for (int32_t x = 0; x < source.GetWidth(); ++x, p += 4) {
            Slot& slot = m_slots[SlotOf(p[2], p[1], p[0])];
            if (slot.count < kMaxCount) ++slot.count;
        }
    }
}

// Narrows the box to the colours it holds and sets its mean and count from them.
void ImgQuantizeFilter::Shrink(Box& box) const {
    int lo[3] = {31, 31, 31}, hi[3] = {0, 0, 0};
    uint64_t sum[3] = {0, 0, 0}, total = 0;
    int colours = 0;
    for (int r = box.min[2]; r <= box.max[2]; ++r)
        for (int g = box.min[1]; g <= box.max[1]; ++g)
            for (int b = box.min[0]; b <= box.max[0]; ++b) {
                uint32_t count = m_slots[r << 10 | g << 5 | b].count;
                if (!count) continue;
                const int c[3] = {b, g, r};
                for (int i = 0; i < 3; ++i) {
                    lo[i] = std::min(lo[i], c[i]);
                    hi[i] = std::max(hi[i], c[i]);
                    sum[i] += uint64_t(c[i]) * count;
                }
                total += count;
                ++colours;
            }
    if (!colours) return; // cannot happen: every cut leaves colours on both sides
    for (int i = 0; i < 3; ++i) {
        box.min[i] = static_cast<uint8_t>(lo[i]);
        box.max[i] = static_cast<uint8_t>(hi[i]);
        box.mean[i] = static_cast<uint8_t>(sum[i] / total);
    }
    box.count = colours == 1 ? 1 : static_cast<uint32_t>(std::min<uint64_t>(total, kMaxCount));
}

// Cuts the box at its mean along its longest side (red before green before blue on ties);
// other takes the upper part. Both keep at least one colour: the box holds two or more, so the
// longest side has colours at both ends, and the mean is kept below the upper end.
void ImgQuantizeFilter::SplitBox(Box& box, Box& other) const {
    int axis = 2; // red
    for (int i : {1, 0})
        if (box.max[i] - box.min[i] > box.max[axis] - box.min[axis]) axis = i;
    int cut = std::min<int>(std::max(box.mean[axis], box.min[axis]), box.max[axis] - 1);
    other = box;
    box.max[axis] = static_cast<uint8_t>(cut);
    other.min[axis] = static_cast<uint8_t>(cut + 1);
    Shrink(box);
    Shrink(other);
}

void ImgQuantizeFilter::MedianCut(ImgColor* palette) {
    Box* boxes = m_boxes.get();
    for (int i = 0; i < kCorners; ++i) {
        Box& box = boxes[i];
        for (int c = 0; c < 3; ++c)
            box.min[c] = box.max[c] = box.mean[c] = static_cast<uint8_t>(kCorner[i][2 - c] * 31);
        box.count = 1;
    }
    Box& whole = boxes[kCorners];
    std::memset(whole.min, 0, 4);
    std::memset(whole.max, 31, 3);
    Shrink(whole);
    int used = kCorners + 1;
    while (used < kEntries) {
        int largest = kCorners;
        for (int i = kCorners + 1; i < used; ++i)
            if (boxes[i].count > boxes[largest].count) largest = i;
        if (boxes[largest].count < 2) break;
        SplitBox(boxes[largest], boxes[used]);
        ++used;
    }
    for (int i = 0; i < kEntries; ++i) {
        if (i >= used) {
            palette[i] = ImgColor{0, 0, 0, 0};
            continue;
        }
        const Box& box = boxes[i];
        palette[i] = ImgColor{static_cast<uint8_t>((box.min[0] + box.max[0]) * 255 / 62),
                              static_cast<uint8_t>((box.min[1] + box.max[1]) * 255 / 62),
                              static_cast<uint8_t>((box.min[2] + box.max[2]) * 255 / 62), 0};
    }
}

void ImgQuantizeFilter::Popularity(ImgColor* palette) const {
    for (int i = 0; i < kCorners; ++i)
        palette[i] = Rgb(kCorner[i][0] * 255, kCorner[i][1] * 255, kCorner[i][2] * 255);
    std::vector<int> occupied;
    for (int slot = 0; slot < kSlots; ++slot)
        if (m_slots[slot].count) occupied.push_back(slot);
    const size_t kept = std::min<size_t>(occupied.size(), kEntries - kCorners);
    std::partial_sort(occupied.begin(), occupied.begin() + static_cast<std::ptrdiff_t>(kept), occupied.end(),
                      [this](int a, int b) {
                          if (m_slots[a].count != m_slots[b].count)
                              return m_slots[a].count > m_slots[b].count;
                          return a < b;
                      });
    for (int i = kCorners; i < kEntries; ++i) {
        size_t k = static_cast<size_t>(i - kCorners);
        if (k >= kept) {
            palette[i] = ImgColor{0, 0, 0, 0};
            continue;
        }
        int slot = occupied[k];
        palette[i] = Rgb(Red(slot) * 255 / 31, Green(slot) * 255 / 31, Blue(slot) * 255 / 31);
    }
}

// The entry nearest the colour, decided once for all colours of its slot.
int ImgQuantizeFilter::Nearest(const ImgColor* palette, int red, int green, int blue) {
    Slot& slot =
        m_slots[SlotOf(static_cast<uint8_t>(red), static_cast<uint8_t>(green), static_cast<uint8_t>(blue))];
    if (slot.index >= 0) return slot.index;
    int best = 0;
    int bestDistance = 1 << 30;
    for (int i = 0; i < kEntries; ++i) {
        int dr = red - palette[i].red, dg = green - palette[i].green, db = blue - palette[i].blue;
        int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    slot.index = best;
    return best;
}

void ImgQuantizeFilter::MapPixels(const ImgBitmap& source, ImgBitmap* destination, const ImgColor* palette) {
    static const int kMatrix[4][4] = {{-7, 1, -5, 3}, {5, -3, 7, -1}, {-4, 4, -6, 2}, {8, 0, 6, -2}};
    const bool ordered = m_nDitherMode == kImgDitherOrdered;
    for (int32_t y = 0; y < source.GetHeight(); ++y) {
        const uint8_t* p = source.GetLine(y);
        uint8_t* out = destination->GetLine(y);
        for (int32_t x = 0; x < source.GetWidth(); ++x, p += 4) {
            int red = p[2], green = p[1], blue = p[0];
            if (ordered) {
                int add = 2 * kMatrix[x & 3][y & 3];
                red = Clamp(red + add);
                green = Clamp(green + add);
                blue = Clamp(blue + add);
            }
            out[x] = static_cast<uint8_t>(Nearest(palette, red, green, blue));
        }
    }
}

// Floyd-Steinberg over rows in alternating directions. The error rows have one spare entry on
// each side, so the shares meant for pixels beyond the picture's edge land there.
void ImgQuantizeFilter::MapDiffused(const ImgBitmap& source, ImgBitmap* destination,
                                    const ImgColor* palette) {
    const int32_t width = source.GetWidth();
    const size_t row = (static_cast<size_t>(width) + 2) * 3;
    std::vector<int> current(row), below(row);
    for (int32_t y = 0; y < source.GetHeight(); ++y) {
        const uint8_t* p = source.GetLine(y);
        uint8_t* out = destination->GetLine(y);
        const int step = y % 2 ? -1 : 1;
        std::fill(below.begin(), below.end(), 0);
        for (int32_t i = 0; i < width; ++i) {
            const int32_t x = step > 0 ? i : width - 1 - i;
            int* here = &current[static_cast<size_t>(x + 1) * 3];
            int wanted[3];
            for (int c = 0; c < 3; ++c)
                wanted[c] = Clamp(p[4 * x + c] + here[c]);
            int index = Nearest(palette, wanted[2], wanted[1], wanted[0]);
            out[x] = static_cast<uint8_t>(index);
            const uint8_t got[3] = {palette[index].blue, palette[index].green, palette[index].red};
            int* ahead = here + 3 * step;
            int* under = &below[static_cast<size_t>(x + 1) * 3];
            for (int c = 0; c < 3; ++c) {
                int error = wanted[c] - got[c];
                ahead[c] += error * 7 / 16;
                under[c - 3 * step] += error * 3 / 16;
                under[c] += error * 5 / 16;
                under[c + 3 * step] += error / 16;
            }
        }
        std::swap(current, below);
    }
}
