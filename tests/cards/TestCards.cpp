#include "tests/cards/TestCards.h"

#include <zlib.h>

#include <cstdint>
#include <stdexcept>
#include <utility>
#include <vector>

namespace testcards {

namespace {

// Tag, field number (0: not sent), value in the card's German 7-bit set.
struct Record {
    uint8_t tag;
    int field;
    std::string value;
};

// Every German letter of the 7-bit set once: [ \ ] { | } ~.
const std::vector<Record>& KvkRecords() {
    static const std::vector<Record> records = {
        {0x80, 1, "[rztekasse S}d"},
        {0x81, 2, "1234567"},
        {0x8F, 3, "40815"},
        {0x82, 4, "470815110"},
        {0x83, 5, "1000"},
        {0x90, 6, "1"},
        {0x84, 7, "Dr."},
        {0x85, 8, "J|rg \"Jojo\""},
        {0x86, 9, "von"},
        {0x87, 10, "Sch{fer"},
        {0x88, 11, "24121961"},
        {0x89, 12, "Gro~e ]fergasse 7"},
        {0x8A, 13, "D"},
        {0x8B, 14, "74613"},
        {0x8C, 15, "\\hringen"},
        {0x8D, 16, "1229"},
    };
    return records;
}

const std::vector<Record>& FurtherRecords() {
    // A record the walk must step over stands between them; 92 carries control bytes.
    static const std::vector<Record> records = {
        {0x91, 17, "Zusatzfeld"},
        {0xA5, 0, "unbekannt"},
        {0x92, 18, std::string("Zeile\r\nzwei\0drei", 16)},
    };
    return records;
}

std::string Mapped(const std::string& value) {
    std::string out;
    for (char c : value) {
        switch (c) {
        case '[': out += '\xC4'; break;
        case '\\': out += '\xD6'; break;
        case ']': out += '\xDC'; break;
        case '{': out += '\xE4'; break;
        case '|': out += '\xF6'; break;
        case '}': out += '\xFC'; break;
        case '~': out += '\xDF'; break;
        default: out += c;
        }
    }
    return out;
}

void Append(std::string& memory, const Record& r) {
    memory += static_cast<char>(r.tag);
    memory += static_cast<char>(r.value.size());
    memory += r.value;
}

void PutOffset(std::string& file, size_t at, unsigned offset) {
    file[at] = static_cast<char>(offset >> 8);
    file[at + 1] = static_cast<char>(offset & 0xFF);
}

// Zero bytes up to the next whole block after the content, as a card's fixed file size.
void PadToBlocks(std::string& file) {
    file.append(256 - file.size() % 256, '\0');
}

} // namespace

std::string KvkMemory(const KvkOptions& options) {
    // Header bytes without 0x80, then a template tag and its length.
    std::string memory("\x92\x23\x10\x91\x41\x01\x60", 7);
    std::string records;
    for (const Record& r : KvkRecords())
        Append(records, r);
    Append(records, {0x8E, 0, "\x5A"});
    if (options.further)
        for (const Record& r : FurtherRecords())
            Append(records, r);
    if (options.overrun) {
        Append(records, {0x91, 17, "abgeschnitten"});
        records.resize(records.size() - 5);
    }
    // A length of 0x80 here would be taken for the first record.
    if (records.size() == 0x80 || records.size() > 0xFF) throw std::logic_error("KVK template length");
    memory += static_cast<char>(records.size());
    return memory + records;
}

std::map<int, std::string> KvkFields(const KvkOptions& options) {
    std::map<int, std::string> fields;
    for (const Record& r : KvkRecords())
        fields[r.field] = Mapped(r.value);
    if (options.further)
        for (const Record& r : FurtherRecords())
            if (r.field) fields[r.field] = Mapped(r.value);
    return fields;
}

std::string PdDocument() {
    std::string doc = "<?xml version=\"1.0\" encoding=\"ISO-8859-15\" standalone=\"yes\"?>\r\n"
                      "<Person>\r\n"
                      " <Name>Sch\xE4"
                      "fer</Name>\r\n"
                      " <Vorname>J\xF6rg</Vorname>\r\n"
                      " <Geboren>19611224</Geboren>\r\n"
                      " <Ort>\xD6hringen</Ort>\r\n"
                      " <!---->\r\n"
                      "</Person>\r\n";
    // Stored, its file's count bytes come out as 01 10: the rest of block 0 and 16 bytes of
    // block 1.
    size_t at = doc.find("-->");
    while (Gzip(doc, 0).size() + 2 < 0x110)
        doc.insert(at, "-");
    if (Gzip(doc, 0).size() + 2 != 0x110) throw std::logic_error("PD document does not fit its count");
    return doc;
}

std::string VdDocument() {
    std::string doc = "<?xml version=\"1.0\" encoding=\"ISO-8859-15\" standalone=\"yes\"?>\r\n"
                      "<Versicherung>\r\n"
                      " <Kasse>\xC4rztekasse S\xFC"
                      "d</Kasse>\r\n";
    for (int year = 2001; year <= 2012; ++year)
        doc += " <Zeitraum von=\"" + std::to_string(year) + "0101\" bis=\"" + std::to_string(year) +
               "1231\"/>\r\n";
    return doc + "</Versicherung>\r\n";
}

std::string GvdDocument() {
    std::string doc = "<?xml version=\"1.0\" encoding=\"ISO-8859-15\" standalone=\"yes\"?>\r\n"
                      "<Geschuetzt>\r\n";
    uint32_t x = 4711;
    for (int i = 1; i <= 40; ++i) {
        x = x * 1103515245u + 12345u;
        doc += " <Eintrag nr=\"" + std::to_string(i) + "\">" + std::to_string(x % 999983u) + "</Eintrag>\r\n";
    }
    return doc + "</Geschuetzt>\r\n";
}

std::string WithoutLineBreaks(const std::string& document) {
    std::string out;
    for (char c : document)
        if (c != '\r' && c != '\n') out += c;
    return out;
}

EgkFiles EgkCard(const EgkOptions& options) {
    EgkFiles files;
    std::string pd = Gzip(PdDocument(), 0);
    files.pd = std::string(2, '\0') + pd;
    PutOffset(files.pd, 0, static_cast<unsigned>(files.pd.size()));
    PadToBlocks(files.pd);

    std::string vd = Gzip(VdDocument(), 0);
    files.vd = std::string(8, '\0') + vd;
    PutOffset(files.vd, 0, 8);
    PutOffset(files.vd, 2, static_cast<unsigned>(files.vd.size()));
    if (options.gvd) {
        if (options.gvdOnBlock) files.vd.append(256 - files.vd.size() % 256, '\0');
        unsigned start = static_cast<unsigned>(files.vd.size());
        files.vd += Gzip(GvdDocument(), 9);
        PutOffset(files.vd, 4, start);
        PutOffset(files.vd, 6, static_cast<unsigned>(files.vd.size()));
    } else {
        PutOffset(files.vd, 4, 0xFFFF);
        PutOffset(files.vd, 6, 0xFFFF);
    }
    PadToBlocks(files.vd);

    files.statusVd = std::string("\x30", 1) + "20240102030405" + std::string("\x05\x01\x00", 3);
    return files;
}

std::string Gzip(const std::string& text, int level) {
    z_stream z{};
    // 16 over the window bits asks for a gzip header and trailer.
    if (deflateInit2(&z, level, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("deflateInit2");
    std::vector<unsigned char> out(deflateBound(&z, static_cast<uLong>(text.size())) + 64);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    z.avail_in = static_cast<uInt>(text.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    int rc = deflate(&z, Z_FINISH);
    size_t n = out.size() - z.avail_out;
    deflateEnd(&z);
    if (rc != Z_STREAM_END) throw std::runtime_error("deflate");
    return std::string(reinterpret_cast<char*>(out.data()), n);
}

} // namespace testcards
