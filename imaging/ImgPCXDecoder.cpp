#include "imaging/ImgPCXDecoder.h"
#include "imaging/ImgBitmapLock.h"
#include "imaging/ImgBytes.h"
#include "imaging/ImgTrace.h"

#include <algorithm>
#include <vector>

namespace {

constexpr int32_t kPaletteTail = 769; // the marker 0x0C and 256 entries of red, green, blue
constexpr int64_t kLongestRun = 63;   // two bytes of data yield at most this many

// The run-length data, read line by line; a run may go on into the next line but not past the
// picture's last byte.
class RunReader {
  public:
    RunReader(const uint8_t* data, size_t size, uint64_t pictureBytes)
        : m_data(data), m_size(size), m_left(pictureBytes) {}

    // Fills the line from the data; what the data no longer reaches is left as it was.
    void Read(uint8_t* line, size_t lineBytes) {
        for (size_t o = 0; o < lineBytes; ++o) {
            if (m_count == 0 && !NextCode()) return;
            line[o] = m_value;
            --m_count;
        }
    }

  private:
    // False at the end of the data. A run of none is passed over.
    bool NextCode() {
        while (m_count == 0) {
            if (m_at == m_size) return false;
            m_value = m_data[m_at++];
            m_count = 1;
            if (m_value >= 192) {
                m_count = m_value & 0x3F;
                if (m_at == m_size) return false;
                m_value = m_data[m_at++];
                if (m_count > m_left)
                    ImgPictureDecoder::RaiseError(kImgFeatureNotSupported,
                                                  "repeat count spans end of image.");
            }
            m_left -= m_count;
        }
        return true;
    }

    const uint8_t* m_data;
    size_t m_size;
    size_t m_at = 0;
    uint64_t m_left; // picture bytes not yet given out by a code
    uint64_t m_count = 0;
    uint8_t m_value = 0;
};

} // namespace

void ImgPCXDecoder::DoDecode(ImgBitmap* bitmap, ImgDataSource* source) {
    ImgTrace(2, "Decoding PCX.\n");
    const uint8_t* h = source->ReadNBytes(128);
    if (h[0] != 10) RaiseError(kImgWrongFormat, "Error decoding pcx: Not a PCX file.");
    if (h[2] != 1) RaiseError(kImgWrongFormat, "File has unknown encoding scheme.");
    const int bits = h[3];
    const int64_t width = int64_t(img::Le16(h + 8)) - img::Le16(h + 4) + 1;
    const int64_t height = int64_t(img::Le16(h + 10)) - img::Le16(h + 6) + 1;
    const int planes = h[65];
    const int64_t bytesPerLine = img::Le16(h + 66);
    if (bits == 1) {
        if (planes > 4) RaiseError(kImgBadData, "Can't handle image with more than 4 planes.");
    } else if ((bits != 2 && bits != 4 && bits != 8) || (planes != 1 && planes != 3)) {
        RaiseError(kImgBadData, "Can't handle bits per pixel image with planes.");
    }
    CheckPictureSize(width, height);
    if (planes < 1 || bytesPerLine < (width * bits + 7) / 8)
        RaiseError(kImgBadData, "PCX line length too short for the picture.");
    const bool rgb = bits == 8 && planes == 3;
    if (!rgb && planes > 1 && bits != 1)
        RaiseError(kImgFeatureNotSupported, "Can't handle more than 1 bit per pixel.");

    ImgColor palette[256] = {};
    for (int i = 0; i < 16; ++i)
        palette[i] = ImgColor{h[16 + 3 * i + 2], h[16 + 3 * i + 1], h[16 + 3 * i], 255};
    if (bits == 1 && planes == 1) {
        palette[0] = ImgColor{0, 0, 0, 255};
        palette[1] = ImgColor{255, 255, 255, 255};
    }
    int32_t dataSize = source->GetBytesLeft();
    const uint8_t* data = source->ReadNBytes(dataSize);
    if (bits == 8 && planes == 1 && dataSize >= kPaletteTail && data[dataSize - kPaletteTail] == 0x0C) {
        // The palette sits at the file's end whatever the pixel data before it holds.
        const uint8_t* p = data + dataSize - kPaletteTail + 1;
        for (int i = 0; i < 256; ++i, p += 3)
            palette[i] = ImgColor{p[2], p[1], p[0], 255};
        dataSize -= kPaletteTail;
    }

    const size_t lineBytes = static_cast<size_t>(bytesPerLine) * static_cast<size_t>(planes);
    ImgBitmap::CheckSize(width, height, static_cast<int64_t>(lineBytes));
    // A truncated file is a partial picture, but only of the lines its data could reach: the
    // rest of a picture its data cannot describe is not allocated.
    const int64_t reachable = kLongestRun * (dataSize / 2) + dataSize % 2;
    const int64_t lines =
        std::min<int64_t>(height, (reachable + int64_t(lineBytes) - 1) / int64_t(lineBytes));
    if (lines == 0) throw ImgTextException(kImgEndOfData, "End of file reached while decoding.\n");
    RunReader runs(data, static_cast<size_t>(dataSize), uint64_t(lineBytes) * uint64_t(height));
    std::vector<uint8_t> line(lineBytes);

    const auto w = static_cast<int32_t>(width), ht = static_cast<int32_t>(lines);
    bitmap->Create(w, ht, 32, false);
    ImgBitmapLock lock(bitmap, false, true);
    const size_t plane = static_cast<size_t>(bytesPerLine);
    for (int32_t y = 0; y < ht; ++y) {
        std::fill(line.begin(), line.end(), 0);
        runs.Read(line.data(), lineBytes);
        const uint8_t* in = line.data();
        uint8_t* out = bitmap->GetLine(y);
        for (int32_t x = 0; x < w; ++x, out += 4) {
            ImgColor c;
            if (rgb) {
                c = ImgColor{in[2 * plane + x], in[plane + x], in[x], 255};
            } else {
                int index = 0;
                if (planes == 1) {
                    int perByte = 8 / bits;
                    int shift = 8 - bits * (x % perByte + 1);
                    index = (in[x / perByte] >> shift) & ((1 << bits) - 1);
                } else {
                    for (int p = 0; p < planes; ++p)
                        index |= ((in[p * plane + x / 8] >> (7 - x % 8)) & 1) << p;
                }
                c = palette[index];
            }
            out[0] = c.blue;
            out[1] = c.green;
            out[2] = c.red;
            out[3] = 255;
        }
    }
    bitmap->SetResolution(img::Le16(h + 12), img::Le16(h + 14));
}
