#include "imaging/ImgPICTDecoder.h"
#include "imaging/ImgBeReader.h"
#include "imaging/ImgPackBits.h"
#include "imaging/ImgTrace.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

enum : int { kFixed = 0, kVariable = -1, kHandled = -2 };

struct Opcode {
    std::string name;
    int length; // data bytes, or kVariable: a 2-byte length follows, or kHandled
};

// The opcodes 0x00 to 0xA1, by number.
const std::vector<Opcode>& OpcodeTable() {
    static const std::vector<Opcode> table = [] {
        std::vector<Opcode> t = {
            {"NOP", 0},
            {"Clip", kHandled},
            {"BkPat", 8},
            {"TxFont", 2},
            {"TxFace", 1},
            {"TxMode", 2},
            {"SpExtra", 4},
            {"PnSize", 4},
            {"PnMode", 2},
            {"PnPat", 8},
            {"FillPat", 8},
            {"OvSize", 4},
            {"Origin", 4},
            {"TxSize", 2},
            {"FgColor", 4},
            {"BkColor", 4},
            {"TxRatio", 8},
            {"Version", 1},
            {"BkPixPat", kHandled},
            {"PnPixPat", kHandled},
            {"FillPixPat", kHandled},
            {"PnLocHFrac", 2},
            {"ChExtra", 2},
            {"reserved", 0},
            {"reserved", 0},
            {"reserved", 0},
            {"RGBFgCol", 6},
            {"RGBBkCol", 6},
            {"HiliteMode", 0},
            {"HiliteColor", 6},
            {"DefHilite", 0},
            {"OpColor", 6},
            {"Line", 8},
            {"LineFrom", 4},
            {"ShortLine", 6},
            {"ShortLineFrom", 2},
            {"reserved", kVariable},
            {"reserved", kVariable},
            {"reserved", kVariable},
            {"reserved", kVariable},
            {"LongText", kHandled},
            {"DHText", kHandled},
            {"DVText", kHandled},
            {"DHDVText", kHandled},
            {"reserved", kVariable},
            {"reserved", kVariable},
            {"reserved", kVariable},
            {"reserved", kVariable},
        };
        static const char* const kVerbs[5] = {"frame", "paint", "erase", "invert", "fill"};
        // From 0x30 in groups of eight: five drawing verbs, three reserved of the same length.
        // Polygons and regions carry their own length.
        const struct {
            const char* shape;
            int length;
        } groups[] = {{"Rect", 8},        {"SameRect", 0}, {"RRect", 8},      {"SameRRect", 0},
                      {"Oval", 8},        {"SameOval", 0}, {"Arc", 12},       {"SameArc", 4},
                      {"Poly", kHandled}, {"SamePoly", 0}, {"Rgn", kHandled}, {"SameRgn", 0}};
        for (const auto& g : groups) {
            for (const char* verb : kVerbs)
                t.push_back({std::string(verb) + g.shape, g.length});
            for (int i = 0; i < 3; ++i)
                t.push_back({"reserved", g.length});
        }
        t.push_back({"BitsRect", kHandled});
        t.push_back({"BitsRgn", kHandled});
        for (int i = 0x92; i <= 0x97; ++i)
            t.push_back({"reserved", kVariable});
        t.push_back({"PackBitsRect", kHandled});
        t.push_back({"PackBitsRgn", kHandled});
        t.push_back({"Opcode_9A", kHandled});
        for (int i = 0x9B; i <= 0x9F; ++i)
            t.push_back({"reserved", kVariable});
        t.push_back({"ShortComment", 2});
        t.push_back({"LongComment", kHandled});
        return t;
    }();
    return table;
}

struct Rect {
    int32_t top, left, bottom, right;
};

struct PixMap {
    uint16_t rowBytes = 0;
    Rect bounds{};
    int32_t xResolution = 0;
    int32_t yResolution = 0;
    uint16_t pixelSize = 1;
    uint16_t componentCount = 1;
};

// The pixel rows as the file stores them, read before the bitmap is made.
struct StoredRows {
    struct Row {
        const uint8_t* data;
        size_t length;
    };
    std::vector<Row> rows;
    size_t rowBytes = 0;
    bool packed = false;
};

// Colour table entries by index; the others keep the bitmap's gray ramp.
using ColourTable = std::vector<std::pair<uint32_t, ImgColor>>;

class PictReader {
  public:
    PictReader(ImgDataSource* source, ImgBitmap* bitmap, ImgPictureDecoder* jpeg)
        : m_in(source), m_bitmap(bitmap), m_jpeg(jpeg), m_start(source->GetBytesConsumed()) {}

    void Decode();

  private:
    void ReadVersion();
    // True when the opcode finished the picture.
    bool Dispatch(uint32_t opcode);
    void SkipTableEntry(uint32_t opcode);
    void SkipSelfCountedLength();
    void SkipText(uint32_t opcode);
    void SkipPixPat();
    void ReadHeaderOpcode();
    void ReadJpeg();
    void ReadBits(uint32_t opcode);
    void ReadDirectBits();

    Rect ReadRect();
    void ReadPixMapFields(PixMap& map);
    ColourTable ReadColourTable(uint16_t pixelSize);
    void SkipRectsAndMode(bool region);
    // Code 2 for bounds and pixel formats no bitmap is made of.
    void CheckFormat(const PixMap& map) const;
    void CreateBitmap(const PixMap& map);
    // Code 11 when the rows are not all there or cannot fill the bounds.
    StoredRows ReadRows(const PixMap& map, bool packed);
    void StoreRows(const StoredRows& stored, const PixMap& map);
    void StoreRow(const uint8_t* row, const PixMap& map, int32_t width, uint8_t* line) const;

    img::BeReader m_in;
    ImgBitmap* m_bitmap;
    ImgPictureDecoder* m_jpeg;
    int32_t m_start;
    int m_version = 1;
    int32_t m_xResolution = 0;
    int32_t m_yResolution = 0;
};

int32_t WholeDots(uint32_t fixed) {
    return static_cast<int32_t>(fixed >> 16);
}

Rect PictReader::ReadRect() {
    Rect r;
    r.top = m_in.S16();
    r.left = m_in.S16();
    r.bottom = m_in.S16();
    r.right = m_in.S16();
    return r;
}

void PictReader::Decode() {
    ImgTrace(2, "Decoding mac pict.\n");
    m_in.Skip(512 + 2 + 8);
    ReadVersion();
    for (;;) {
        uint32_t opcode;
        if (m_version == 2) {
            if ((m_in.Source()->GetBytesConsumed() - m_start) % 2) m_in.Skip(1);
            opcode = m_in.U16();
        } else {
            opcode = m_in.U8();
        }
        if (Dispatch(opcode)) return;
    }
}

void PictReader::ReadVersion() {
    uint8_t byte;
    do
        byte = m_in.U8();
    while (byte == 0);
    if (byte != 0x11)
        ImgPictureDecoder::RaiseError(kImgWrongFormat, "Error decoding pict: Version number missing.");
    uint8_t version = m_in.U8();
    if (version == 2 && m_in.U8() == 0xFF)
        m_version = 2;
    else if (version != 1)
        ImgPictureDecoder::RaiseError(kImgWrongFormat, "Illegal version number.");
    ImgTrace(2, "PICT version %d found.\n", m_version);
}

bool PictReader::Dispatch(uint32_t opcode) {
    if (opcode <= 0xA1) {
        const Opcode& entry = OpcodeTable()[opcode];
        if (entry.name == "reserved")
            ImgTrace(2, "Opcode: reserved=0x%x\n", opcode);
        else
            ImgTrace(2, "Opcode: %s\n", entry.name.c_str());
        switch (opcode) {
        case 0x01: SkipSelfCountedLength(); return false;
        case 0x12:
        case 0x13:
        case 0x14: SkipPixPat(); return false;
        case 0x28:
        case 0x29:
        case 0x2A:
        case 0x2B: SkipText(opcode); return false;
        case 0x90:
        case 0x91:
        case 0x98:
        case 0x99: ReadBits(opcode); return true;
        case 0x9A: ReadDirectBits(); return true;
        case 0xA1:
            m_in.Skip(2);
            m_in.Skip(m_in.U16());
            return false;
        default: break;
        }
        if ((opcode >= 0x70 && opcode <= 0x77) || (opcode >= 0x80 && opcode <= 0x87)) {
            ImgTrace(2, "Skipping polygon or region.\n");
            SkipSelfCountedLength();
            return false;
        }
        SkipTableEntry(opcode);
        return false;
    }
    if (opcode == 0xFF || opcode == 0xFFFF) {
        ImgTrace(2, "Opcode: End of pict.\n");
        ImgPictureDecoder::RaiseError(kImgNotSupported, "PICT contained only vector data!\n");
    }
    if (opcode <= 0xAF) {
        ImgTrace(2, "Opcode: reserved 0x%x.\n", opcode);
        uint16_t length = m_in.U16();
        if (length < 2)
            ImgPictureDecoder::RaiseError(kImgBadData, "PICT opcode 0x%x has length %u.", opcode, length);
        m_in.Skip(length);
    } else if (opcode <= 0xCF || (opcode >= 0x8000 && opcode <= 0x80FF)) {
        ImgTrace(2, "Opcode: reserved 0x%x.\n", opcode);
    } else if (opcode == 0x0C00) {
        ReadHeaderOpcode();
    } else if (opcode == 0x8200) {
        ReadJpeg();
        return true;
    } else if (opcode <= 0xFE || opcode >= 0x1FA4) {
        ImgTrace(2, "Opcode: reserved 0x%x.\n", opcode);
        m_in.Skip(m_in.U32());
    } else {
        m_in.Skip(opcode >> 7);
    }
    return false;
}

void PictReader::SkipTableEntry(uint32_t opcode) {
    int length = OpcodeTable()[opcode].length;
    if (length == kVariable)
        m_in.Skip(m_in.U16());
    else
        m_in.Skip(length);
}

// Clip regions, polygons and regions count their own two length bytes.
void PictReader::SkipSelfCountedLength() {
    uint16_t length = m_in.U16();
    if (length < 2) ImgPictureDecoder::RaiseError(kImgBadData, "PICT length field %u is too short.", length);
    m_in.Skip(length - 2);
}

// Text carries a position and a counted string; skipping a fixed length would lose the walk.
void PictReader::SkipText(uint32_t opcode) {
    static const int kPosition[4] = {4, 1, 1, 2};
    m_in.Skip(kPosition[opcode - 0x28]);
    m_in.Skip(m_in.U8());
}

void PictReader::SkipPixPat() {
    uint16_t type = m_in.U16();
    if (type == 2) {
        m_in.Skip(8 + 5);
        return;
    }
    if (type != 1) ImgPictureDecoder::RaiseError(kImgBadData, "Unknown pattern type in pixPat.");
    m_in.Skip(8);
    PixMap map;
    map.rowBytes = m_in.U16() & 0x7FFF;
    ReadPixMapFields(map);
    ReadColourTable(map.pixelSize);
    ReadRows(map, true);
}

void PictReader::ReadHeaderOpcode() {
    ImgTrace(2, "Opcode: Header.\n");
    // Only the extended header (version -2) holds resolutions; the other one a fixed-point frame.
    const uint8_t* h = m_in.Bytes(24);
    if (img::Be16(h) == 0xFFFE) {
        m_xResolution = WholeDots(img::Be32(h + 4));
        m_yResolution = WholeDots(img::Be32(h + 8));
    }
}

void PictReader::ReadJpeg() {
    ImgTrace(2, "Opcode: JPEG.\n");
    uint32_t length = m_in.U32();
    const uint8_t* data = m_in.Bytes(length);
    static const uint8_t kStart[3] = {0xFF, 0xD8, 0xFF};
    const uint8_t* found = std::search(data, data + length, kStart, kStart + 3);
    if (found == data + length)
        ImgPictureDecoder::RaiseError(kImgNotSupported, "PICT file contains unrecognized quicktime data.\n");
    if (!m_jpeg) ImgPictureDecoder::RaiseError(kImgNotSupported, "Library not compiled for PICT/JPEG.");
    // Only the opcode's own data: what follows it is more PICT, not JPEG.
    m_jpeg->DecodeMemory(found, static_cast<size_t>(data + length - found), m_bitmap, 0);
}

void PictReader::ReadPixMapFields(PixMap& map) {
    map.bounds = ReadRect();
    uint16_t version = m_in.U16();
    uint16_t packType = m_in.U16();
    uint32_t packSize = m_in.U32();
    map.xResolution = WholeDots(m_in.U32());
    map.yResolution = WholeDots(m_in.U32());
    uint16_t pixelType = m_in.U16();
    map.pixelSize = m_in.U16();
    map.componentCount = m_in.U16();
    uint16_t componentSize = m_in.U16();
    m_in.Skip(4 + 4 + 4); // plane bytes, table handle, reserved
    ImgTrace(2, "PixMap header info:\n");
    ImgTrace(2, "  Bounds (%d,%d) (%d,%d).\n", map.bounds.top, map.bounds.left, map.bounds.bottom,
             map.bounds.right);
    ImgTrace(2,
             "  version %u, pack type %u, pack size %u, pixel type %u, pixel size %u, components %u of %u\n",
             version, packType, packSize, pixelType, map.pixelSize, map.componentCount, componentSize);
}

ColourTable PictReader::ReadColourTable(uint16_t pixelSize) {
    ImgTrace(2, "Getting color table info.\n");
    m_in.Skip(4);
    bool inOrder = (m_in.U16() & 0x8000) != 0;
    uint32_t count = uint32_t(m_in.U16()) + 1;
    ImgTrace(2, "Palette Size:  %u\n", count);
    if (count > 256 || (pixelSize < 8 && count > (1u << pixelSize)))
        ImgPictureDecoder::RaiseError(kImgBadData, "PICT colour table of %u entries at %u bits.", count,
                                      pixelSize);
    ImgTrace(2, "Reading Palette.\n");
    ColourTable table;
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* e = m_in.Bytes(8);
        uint32_t index = inOrder ? i : img::Be16(e);
        if (index >= count)
            ImgPictureDecoder::RaiseError(kImgBadData, "pixel value greater than colour table size.");
        table.emplace_back(index, ImgColor{e[6], e[4], e[2], 0});
    }
    return table;
}

void PictReader::SkipRectsAndMode(bool region) {
    m_in.Skip(8 + 8 + 2);
    if (region) SkipSelfCountedLength();
}

void PictReader::CheckFormat(const PixMap& map) const {
    const Rect& b = map.bounds;
    ImgPictureDecoder::CheckPictureSize(int64_t(b.right) - b.left, int64_t(b.bottom) - b.top);
    switch (map.pixelSize) {
    case 1:
    case 2:
    case 4:
    case 8:
    case 16: break;
    case 32:
        if (map.componentCount != 3 && map.componentCount != 4)
            ImgPictureDecoder::RaiseError(kImgBadData, "PICT pixmap with %u components.", map.componentCount);
        break;
    default:
        ImgPictureDecoder::RaiseError(kImgBadData, "Illegal bpp value in unpackbits: %d\n", map.pixelSize);
    }
}

void PictReader::CreateBitmap(const PixMap& map) {
    CheckFormat(map);
    const Rect& b = map.bounds;
    const int32_t width = b.right - b.left, height = b.bottom - b.top;
    const int32_t xDpi = m_xResolution ? m_xResolution : map.xResolution;
    const int32_t yDpi = m_yResolution ? m_yResolution : map.yResolution;
    if (map.pixelSize <= 8)
        m_bitmap->Create(width, height, 8, false, xDpi, yDpi);
    else
        m_bitmap->Create(width, height, 32, map.pixelSize == 32 && map.componentCount == 4, xDpi, yDpi);
}

void PictReader::ReadBits(uint32_t opcode) {
    const bool region = opcode == 0x91 || opcode == 0x99;
    // BitsRect and BitsRgn store their rows as they are; only the PackBits opcodes pack.
    const bool packed = opcode == 0x98 || opcode == 0x99;
    uint16_t rowBytes = m_in.U16();
    PixMap map;
    map.rowBytes = rowBytes & 0x7FFF;
    if (!(rowBytes & 0x8000)) {
        ImgTrace(2, "Reading version 1 bitmap.\n");
        map.bounds = ReadRect();
        ImgTrace(2, "%s (%d,%d) (%d,%d).\n", "  Bounds", map.bounds.top, map.bounds.left, map.bounds.bottom,
                 map.bounds.right);
        CheckFormat(map);
        SkipRectsAndMode(region);
        const StoredRows rows = ReadRows(map, packed);
        CreateBitmap(map);
        // QuickDraw draws set bits in the foreground colour.
        m_bitmap->GetPalette()[0] = ImgColor{255, 255, 255, 0};
        m_bitmap->GetPalette()[1] = ImgColor{0, 0, 0, 0};
        StoreRows(rows, map);
        return;
    }
    ReadPixMapFields(map);
    if (map.pixelSize > 8) ImgPictureDecoder::RaiseError(kImgBadData, "Bad bits per pixel in expandBuf8.");
    CheckFormat(map);
    const ColourTable table = ReadColourTable(map.pixelSize);
    SkipRectsAndMode(region);
    const StoredRows rows = ReadRows(map, packed);
    CreateBitmap(map);
    for (const auto& entry : table)
        m_bitmap->GetPalette()[entry.first] = entry.second;
    StoreRows(rows, map);
}

void PictReader::ReadDirectBits() {
    m_in.Skip(4);
    PixMap map;
    map.rowBytes = m_in.U16() & 0x7FFF;
    ReadPixMapFields(map);
    CheckFormat(map);
    SkipRectsAndMode(false);
    const StoredRows rows = ReadRows(map, true);
    CreateBitmap(map);
    StoreRows(rows, map);
}

StoredRows PictReader::ReadRows(const PixMap& map, bool packed) {
    const Rect& b = map.bounds;
    int64_t width = int64_t(b.right) - b.left, height = int64_t(b.bottom) - b.top;
    ImgPictureDecoder::CheckPictureSize(width, height);
    int64_t needed;
    switch (map.pixelSize) {
    case 1:
    case 2:
    case 4:
    case 8: needed = (width * map.pixelSize + 7) / 8; break;
    case 16: needed = width * 2; break;
    case 32:
        if (map.componentCount != 3 && map.componentCount != 4)
            ImgPictureDecoder::RaiseError(kImgBadData, "PICT pixmap with %u components.", map.componentCount);
        needed = width * map.componentCount;
        break;
    default:
        ImgPictureDecoder::RaiseError(kImgBadData, "Illegal bpp value in unpackbits: %d\n", map.pixelSize);
    }
    int64_t rowBytes = map.rowBytes;
    if (rowBytes == 0) rowBytes = map.pixelSize == 32 ? width * 4 : map.pixelSize == 16 ? width * 2 : width;
    if (rowBytes < needed)
        ImgPictureDecoder::RaiseError(kImgBadData, "PICT row of %lld bytes is too short for %lld pixels.",
                                      static_cast<long long>(rowBytes), static_cast<long long>(width));
    StoredRows stored;
    stored.rowBytes = static_cast<size_t>(rowBytes);
    stored.packed = packed && rowBytes >= 8;
    int64_t coded = 0;
    for (int64_t y = 0; y < height; ++y) {
        const int64_t length = !stored.packed ? rowBytes : rowBytes < 251 ? m_in.U8() : m_in.U16();
        stored.rows.push_back({m_in.Bytes(length), static_cast<size_t>(length)});
        coded += length;
    }
    ImgPictureDecoder::CheckExpansion(height * needed, coded,
                                      stored.packed ? img::kPackBitsLargestExpansion : 1);
    return stored;
}

void PictReader::StoreRows(const StoredRows& stored, const PixMap& map) {
    const int32_t width = map.bounds.right - map.bounds.left;
    const size_t unit = map.pixelSize == 16 ? 2 : 1;
    std::vector<uint8_t> row(stored.rowBytes);
    for (size_t y = 0; y < stored.rows.size(); ++y) {
        const StoredRows::Row& r = stored.rows[y];
        std::fill(row.begin(), row.end(), 0);
        if (stored.packed)
            img::UnpackBits(r.data, r.length, row.data(), row.size(), unit);
        else
            std::memcpy(row.data(), r.data, row.size());
        StoreRow(row.data(), map, width, m_bitmap->GetLine(static_cast<int32_t>(y)));
    }
}

void PictReader::StoreRow(const uint8_t* row, const PixMap& map, int32_t width, uint8_t* line) const {
    switch (map.pixelSize) {
    case 1:
    case 2:
    case 4: {
        const int size = map.pixelSize, perByte = 8 / size, mask = (1 << size) - 1;
        for (int32_t x = 0; x < width; ++x) {
            int shift = 8 - size * (x % perByte + 1);
            line[x] = static_cast<uint8_t>(row[x / perByte] >> shift & mask);
        }
        break;
    }
    case 8: std::memcpy(line, row, static_cast<size_t>(width)); break;
    case 16:
        for (int32_t x = 0; x < width; ++x, line += 4) {
            uint8_t first = row[2 * x], second = row[2 * x + 1];
            line[2] = static_cast<uint8_t>(((first >> 2) & 0x1F) << 3);
            line[1] = static_cast<uint8_t>((((first << 3) & 0x18) | (second >> 5)) << 3);
            line[0] = static_cast<uint8_t>(second << 3);
            line[3] = 255;
        }
        break;
    case 32: {
        const bool alpha = map.componentCount == 4;
        const uint8_t* plane = row;
        const uint8_t* a = alpha ? plane : nullptr;
        if (alpha) plane += width;
        const uint8_t *r = plane, *g = plane + width, *b = plane + 2 * width;
        for (int32_t x = 0; x < width; ++x, line += 4) {
            line[0] = b[x];
            line[1] = g[x];
            line[2] = r[x];
            line[3] = a ? a[x] : 255;
        }
        break;
    }
    default: break;
    }
}

} // namespace

void ImgPICTDecoder::DoDecode(ImgBitmap* bitmap, ImgDataSource* source) {
    PictReader(source, bitmap, m_pJPEGDecoder).Decode();
}
