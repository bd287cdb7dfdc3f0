#pragma once
// The form generator's RTF template reader: a keyword table and a property-action table over
// the template's bytes, collecting the document head, the header and footer sections and the
// body's line templates (line tags "*A1" to "*Z9"), each with its measured height.

#include <cstddef>
#include <string>
#include <vector>

namespace vorlan::formular {

enum Result {
    kOk = 0,
    kCannotOpen = 1,
    kSyntax = 2,
    kUnbalanced = 3,
    kNoMemory = 4,
    kEndAfterBackslash = 5,
    kBadTable = 6,
    kBadState = 7,
    kBadHex = 8,
    kFontTableFull = 9,
    kLineTooTall = 10,
    kNoTemplate = 11,
    kCannotCreate = 12,
};

// Line height of a font in twips: text height plus external leading.
class IFontMeasurer {
  public:
    virtual ~IFontMeasurer() = default;
    virtual int LineHeight(const std::string& face, int halfPoints) = 0;
};

// Bytes of a template, one at a time; -1 at the end.
class IByteSource {
  public:
    virtual ~IByteSource() = default;
    virtual int Get() = 0;
};

class MemorySource : public IByteSource {
  public:
    MemorySource(const char* data, size_t size) : m_data(data), m_size(size) {}
    int Get() override { return m_at < m_size ? static_cast<unsigned char>(m_data[m_at++]) : -1; }

  private:
    const char* m_data;
    size_t m_size;
    size_t m_at = 0;
};

constexpr int kSlotCount = 260;           // "*A0" to "*Z9"
constexpr size_t kMaxSlotChars = 65535;   // one line template, and a section's lead
constexpr size_t kMaxHeadChars = 1 << 24; // the document head
constexpr int kMaxFonts = 512;
constexpr int kMaxCells = 512;
constexpr int kMaxGroupDepth = 65535;
constexpr int kMaxTokenChars = 15;

enum SectionIndex { kHeader = 0, kHeaderFirst = 1, kFooter = 2, kFooterFirst = 3, kBody = 4, kHead = 5 };

struct Slot {
    std::string text;
    int height = 0; // paragraphs
    int extra = 0;  // table rows
    bool used = false;
    int Total() const { return height + extra; }
};

struct Section {
    bool present = false;
    std::string lead; // header and footer text before their first tag
    int height = 0;   // every paragraph and row read in it
    int leadHeight = 0;
    std::vector<Slot> slots = std::vector<Slot>(kSlotCount);
};

struct DocProps {
    int paperw = 12240, paperh = 15840;
    int margl = 1800, margr = 1800, margt = 1440, margb = 1440;
    int headery = 720, footery = 720, deftab = 720;
    bool titlepg = false;
    int version = 0;
};

struct FontEntry {
    int number = 0;
    std::string face;
};

// The slot index of a line code such as "A1" or "z9"; -1 when it is none.
int SlotIndex(const std::string& code);

// The text made brace-balanced: "}" without an open group of its own dropped, one "}"
// appended per group left open. Escapes and \bin data are not braces.
std::string Balanced(const std::string& text);
// Groups left open in the text (unmatched "}" do not count).
int OpenGroups(const std::string& text);
// Where the escape that starts at text[at] == '\\' ends; \binN takes its N bytes along.
size_t EscapeEnd(const std::string& text, size_t at);
// The text without the control word `word` (with its number and its blank); escapes, \bin
// data and other words stay as they are.
std::string WithoutControlWord(const std::string& text, const std::string& word);

class TemplateReader {
  public:
    explicit TemplateReader(IFontMeasurer& measurer);

    void Reset();
    // Reads a whole template and closes its sections; a result code.
    int Read(IByteSource& source);

    const DocProps& Doc() const { return m_doc; }
    const std::string& Head() const { return m_head; }
    const Section& Sec(int index) const { return m_sections[index]; }
    bool BodyTagged() const { return m_bodyTagged; }
    int PageBreaks() const { return m_pageBreaks; }
    const std::vector<FontEntry>& Fonts() const { return m_fonts; }

    struct CharProps {
        int style = 0, size = 40, charStyle = 0, font = 0;
        int bold = 0, italic = 0, underline = 0;
    };

  private:
    enum class Dest { Text, FontTable, Skip, CopyOnly };
    struct State {
        CharProps chr;
        int intbl = 0;
        Dest dest = Dest::Text;
        int section = kBody; // 0-3 header and footer, kBody outside them
        bool destGroup = false;
        // Where this group's "{" went, so that a destination can take it back.
        int openSection = kBody, openSlot = -1;
        size_t openAt = 0;
    };

    int Parse(IByteSource& source);
    int ControlWord(IByteSource& source);
    int Keyword(const std::string& word, bool hasNumber, int number, IByteSource& source);
    int Property(int index, int value);
    int Special(int index, int value, IByteSource& source);
    int Destination(int index);
    int Text(int c);
    int Character(int c);
    int PushGroup();
    int PopGroup();
    int EndTag();
    int FontText(int c);

    // Where read text goes now: a slot, a lead or the head; null while skipping.
    std::string* Target();
    std::string* TargetOf(int section, int slot);
    size_t LimitOf(int section) const;
    int Copy(const char* text, size_t n);
    int Copy(const std::string& text) { return Copy(text.data(), text.size()); }
    int CopyChar(char c) { return Copy(&c, 1); }
    int CurrentSlot(int section) const;
    void AddHeight(int height, bool row);
    int LineHeight();
    bool Collecting() const;

    IFontMeasurer& m_measurer;
    DocProps m_doc;
    State m_state;
    std::vector<State> m_stack;
    std::vector<Section> m_sections;
    std::string m_head;
    int m_bodySlot = -1;
    int m_curSlot[4] = {-1, -1, -1, -1};
    bool m_bodyTagged = false;
    int m_pageBreaks = 0;
    bool m_skipIfUnknown = false;
    std::vector<FontEntry> m_fonts;
    int m_fontNumber = 0;
    std::string m_fontName;
    bool m_fontNamed = false;
    // Line tag being read: characters so far, its letter and largest digit.
    int m_tagLen = 0;
    char m_tagLetter = 0;
    int m_tagDigit = 0;
    // Measuring
    int m_lineHeight = 0;
    bool m_measureDirty = true;
    // Row state
    int m_rowHeight = 0;
    int m_borderSide = 0;
    int m_borderTop = 0, m_borderBottom = 0;
    int m_cellHeight = 0, m_rowTallest = 0;
    int m_mergeState = 0;
    std::vector<int> m_cellEdges;
    std::vector<int> m_cellMerge;
};

} // namespace vorlan::formular
