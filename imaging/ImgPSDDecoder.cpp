#include "imaging/ImgPSDDecoder.h"
#include "imaging/ImgBeReader.h"
#include "imaging/ImgPackBits.h"
#include "imaging/ImgTrace.h"

#include <cstring>
#include <string>
#include <vector>

using img::Be16;
using img::Be32;

namespace {

enum : uint16_t { kModeGray = 1, kModeIndexed = 2, kModeRGB = 3 };
enum : uint16_t { kResolutionInfo = 1005 };

struct PsdHeader {
    uint16_t channels = 0;
    int64_t rows = 0;
    int64_t columns = 0;
    uint16_t mode = 0;
};

PsdHeader ReadHeader(img::BeReader& in) {
    const uint8_t* h = in.Bytes(26);
    if (std::memcmp(h, "8BPS", 4) != 0)
        ImgPictureDecoder::RaiseError(kImgBadData, "PSD decoder: This isn't a photoshop file.");
    PsdHeader header;
    uint16_t version = Be16(h + 4);
    header.channels = Be16(h + 12);
    header.rows = Be32(h + 14);
    header.columns = Be32(h + 18);
    uint16_t depth = Be16(h + 22);
    header.mode = Be16(h + 24);
    // Version 2 (large documents) and 1, 16 and 32 bits a channel are laid out differently.
    if (version != 1 || depth != 8 || header.channels < 1)
        ImgPictureDecoder::RaiseError(kImgNotSupported,
                                      "PSD version %u with %u channels of %u bits is not supported.", version,
                                      header.channels, depth);
    return header;
}

// The image resources; only the resolution is used. Blocks are read inside the section.
void ReadResources(const uint8_t* p, size_t length, int32_t* xDpi, int32_t* yDpi) {
    size_t at = 0;
    auto need = [&](size_t count) {
        if (length - at < count)
            ImgPictureDecoder::RaiseError(kImgBadData, "PSD decoder: Resource block exceeds its section.");
    };
    while (at < length) {
        need(7);
        if (std::memcmp(p + at, "8BIM", 4) != 0)
            ImgPictureDecoder::RaiseError(kImgBadData,
                                          "PSD decoder: Wrong signature in resource data block.");
        uint16_t id = Be16(p + at + 4);
        size_t nameLength = p[at + 6];
        at += 7;
        need(nameLength);
        std::string name(reinterpret_cast<const char*>(p + at), nameLength);
        ImgTrace(2, "Reading resource: %s\n", name.c_str());
        at += nameLength;
        if ((nameLength + 1) % 2) { // length byte and name together padded to even
            need(1);
            ++at;
        }
        need(4);
        size_t size = Be32(p + at);
        at += 4;
        need(size);
        if (id == kResolutionInfo && size >= 12) {
            *xDpi = static_cast<int32_t>(Be32(p + at) / 65536);
            *yDpi = static_cast<int32_t>(Be32(p + at + 8) / 65536);
        }
        at += size;
        if (size % 2 && at < length) ++at;
    }
}

void TraceLayers(const uint8_t* p, size_t length) {
    if (length < 6) return;
    auto count = static_cast<int16_t>(Be16(p + 4));
    ImgTrace(2, "Number of layers: %i\n", count < 0 ? -count : count);
}

// The channels the picture is made of: gray or index, or red, green, blue and alpha.
int UsedChannels(const PsdHeader& h) {
    switch (h.mode) {
    case kModeGray:
    case kModeIndexed: return 1;
    case kModeRGB:
        if (h.channels < 3)
            ImgPictureDecoder::RaiseError(kImgNotSupported, "PSD RGB picture with %u channels.", h.channels);
        return h.channels > 3 ? 4 : 3;
    default: ImgPictureDecoder::RaiseError(kImgNotSupported, "This PSD color mode is not supported.");
    }
}

void CreateBitmap(ImgBitmap* bitmap, const PsdHeader& h, const std::vector<uint8_t>& palette, int32_t xDpi,
                  int32_t yDpi) {
    auto width = static_cast<int32_t>(h.columns);
    auto height = static_cast<int32_t>(h.rows);
    if (h.mode == kModeRGB) {
        bitmap->Create(width, height, 32, h.channels > 3, xDpi, yDpi);
        return;
    }
    bitmap->Create(width, height, 8, false, xDpi, yDpi);
    if (h.mode == kModeIndexed && !palette.empty()) {
        ImgColor* entries = bitmap->GetPalette();
        for (int i = 0; i < 256; ++i)
            entries[i] = ImgColor{palette[512 + i], palette[256 + i], palette[i], 255};
    }
}

void ReadCompression(img::BeReader& in) {
    static const char* const kNames[] = {"No compression\n", "RLE compression\n",
                                         "ZIP compression, no prediction\n", "ZIP compression, prediction\n"};
    uint16_t compression = in.U16();
    if (compression > 3) ImgPictureDecoder::RaiseError(kImgBadData, "PSD decoder: Compression unknown.");
    ImgTrace(2, "%s", kNames[compression]);
    if (compression != 1)
        ImgPictureDecoder::RaiseError(kImgBadData, "PSD decoder: Compression type not supported.");
}

// RGB channels go to red, green, blue and alpha of a 32-bpp line (bytes blue, green, red, alpha).
int ByteOfChannel(int channel) {
    static const int kBytes[] = {2, 1, 0, 3};
    return kBytes[channel];
}

// The packed bytes of the rows of the channels used, which come first: code 11 before
// anything is allocated when they are not all there or cannot fill the picture.
void CheckPackedRows(const img::BeReader& in, const uint8_t* table, const PsdHeader& h, int used) {
    int64_t packed = 0;
    for (int64_t i = 0; i < used * h.rows; ++i)
        packed += Be16(table + 2 * i);
    ImgPictureDecoder::CheckBytesLeft(in.Source(), packed);
    ImgPictureDecoder::CheckExpansion(used * h.rows * h.columns, packed, img::kPackBitsLargestExpansion);
}

void ReadPixels(img::BeReader& in, ImgBitmap* bitmap, const PsdHeader& h, const uint8_t* table, int used) {
    const auto width = static_cast<size_t>(h.columns);
    std::vector<uint8_t> row(width);
    for (int channel = 0; channel < used; ++channel) {
        for (int64_t y = 0; y < h.rows; ++y) {
            size_t packedLength = Be16(table + 2 * (channel * h.rows + y));
            const uint8_t* packed = in.Bytes(static_cast<int64_t>(packedLength));
            std::fill(row.begin(), row.end(), 0);
            img::UnpackBits(packed, packedLength, row.data(), width);
            uint8_t* line = bitmap->GetLine(static_cast<int32_t>(y));
            if (used == 1) {
                std::memcpy(line, row.data(), width);
                continue;
            }
            uint8_t* out = line + ByteOfChannel(channel);
            for (size_t x = 0; x < width; ++x, out += 4)
                *out = row[x];
        }
    }
}

} // namespace

void ImgPSDDecoder::DoDecode(ImgBitmap* bitmap, ImgDataSource* source) {
    img::BeReader in(source);
    PsdHeader header = ReadHeader(in);
    CheckPictureSize(header.columns, header.rows);

    std::vector<uint8_t> palette;
    uint32_t colourData = in.U32();
    const uint8_t* colours = in.Bytes(colourData);
    // Only indexed pictures carry a table of 768; duotone data and the like is skipped.
    if (colourData == 768) palette.assign(colours, colours + 768);

    int32_t xDpi = 0, yDpi = 0;
    uint32_t resources = in.U32();
    ReadResources(in.Bytes(resources), resources, &xDpi, &yDpi);

    uint32_t layers = in.U32();
    TraceLayers(in.Bytes(layers), layers);

    const int used = UsedChannels(header);
    ReadCompression(in);
    const uint8_t* table = in.Bytes(int64_t(header.channels) * header.rows * 2);
    CheckPackedRows(in, table, header, used);
    CreateBitmap(bitmap, header, palette, xDpi, yDpi);
    ReadPixels(in, bitmap, header, table, used);
    // Without alpha the fourth byte is unused; keep it opaque for callers that look anyway.
    if (bitmap->GetBitsPerPixel() == 32 && !bitmap->HasAlpha())
        for (int32_t y = 0; y < bitmap->GetHeight(); ++y) {
            uint8_t* line = bitmap->GetLine(y);
            for (int32_t x = 0; x < bitmap->GetWidth(); ++x)
                line[4 * x + 3] = 255;
        }
}
