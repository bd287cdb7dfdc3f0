#include "services/FormularReader.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace vorlan::formular {

namespace {

enum class Kind { Prop, Dest, Char, Special };

// Property-action table rows.
enum Prop {
    ipropVersion,
    ipropPaperw,
    ipropPaperh,
    ipropMargl,
    ipropMargr,
    ipropMargt,
    ipropMargb,
    ipropDeftab,
    ipropHeadery,
    ipropFootery,
    ipropBold,
    ipropItalic,
    ipropUnderline,
    ipropStyle,
    ipropFontSize,
    ipropCharStyle,
    ipropInTable,
    ipropCellMerge,
    ipropBorderSide,
    ipropRowHeight,
    ipropMax
};

enum Special {
    ispecPar,
    ispecSkipDest,
    ispecHex,
    ispecBin,
    ispecFont,
    ispecPard,
    ispecPlain,
    ispecTrowd,
    ispecPage,
    ispecTitlePage,
    ispecRow,
    ispecCell,
    ispecCellEdge,
    ispecBorderWidth,
    ispecBorderSpace,
};

enum DestIndex {
    idestHeader,
    idestHeaderFirst,
    idestFooter,
    idestFooterFirst,
    idestFontTable,
    idestSkip,
    idestCopy
};

struct KeywordRow {
    const char* word;
    int def;
    bool useDefault;
    Kind kind;
    int index;
};

const KeywordRow kKeywords[] = {
    {"tab", 0, false, Kind::Char, 9},
    {"line", 0, false, Kind::Char, 10},
    {"ldblquote", 0, false, Kind::Char, 34},
    {"rdblquote", 0, false, Kind::Char, 34},
    {"\n", 0, false, Kind::Char, 10},
    {"\r", 0, false, Kind::Char, 13},
    {"\\", 0, false, Kind::Char, '\\'},
    {"{", 0, false, Kind::Char, '{'},
    {"}", 0, false, Kind::Char, '}'},
    {"par", 0, false, Kind::Special, ispecPar},
    {"*", 0, false, Kind::Special, ispecSkipDest},
    {"'", 0, false, Kind::Special, ispecHex},
    {"bin", 0, false, Kind::Special, ispecBin},
    {"f", 0, false, Kind::Special, ispecFont},
    {"pard", 0, false, Kind::Special, ispecPard},
    {"plain", 0, false, Kind::Special, ispecPlain},
    {"trowd", 0, false, Kind::Special, ispecTrowd},
    {"trrh", 0, false, Kind::Prop, ipropRowHeight},
    {"rtf", 1, false, Kind::Prop, ipropVersion},
    {"paperw", 12240, false, Kind::Prop, ipropPaperw},
    {"paperh", 15840, false, Kind::Prop, ipropPaperh},
    {"margl", 1800, false, Kind::Prop, ipropMargl},
    {"margr", 1800, false, Kind::Prop, ipropMargr},
    {"margt", 1440, false, Kind::Prop, ipropMargt},
    {"margb", 1440, false, Kind::Prop, ipropMargb},
    {"deftab", 720, false, Kind::Prop, ipropDeftab},
    {"b", 1, false, Kind::Prop, ipropBold},
    {"i", 1, false, Kind::Prop, ipropItalic},
    {"ul", 1, false, Kind::Prop, ipropUnderline},
    {"s", 0, false, Kind::Prop, ipropStyle},
    {"fs", 24, false, Kind::Prop, ipropFontSize},
    {"cs", 0, false, Kind::Prop, ipropCharStyle},
    {"page", 0, false, Kind::Special, ispecPage},
    {"titlepg", 0, false, Kind::Special, ispecTitlePage},
    {"header", 0, false, Kind::Dest, idestHeader},
    {"headerf", 0, false, Kind::Dest, idestHeaderFirst},
    {"headerl", 0, false, Kind::Dest, idestSkip},
    {"headerr", 0, false, Kind::Dest, idestHeader},
    {"headery", 720, false, Kind::Prop, ipropHeadery},
    {"footer", 0, false, Kind::Dest, idestFooter},
    {"footerf", 0, false, Kind::Dest, idestFooterFirst},
    {"footerl", 0, false, Kind::Dest, idestSkip},
    {"footerr", 0, false, Kind::Dest, idestFooter},
    {"footery", 720, false, Kind::Prop, ipropFootery},
    {"fonttbl", 0, false, Kind::Dest, idestFontTable},
    {"intbl", 1, true, Kind::Prop, ipropInTable},
    {"row", 0, false, Kind::Special, ispecRow},
    {"cell", 0, false, Kind::Special, ispecCell},
    {"cellx", 0, false, Kind::Special, ispecCellEdge},
    {"clvmgf", 1, true, Kind::Prop, ipropCellMerge},
    {"clvmrg", 2, true, Kind::Prop, ipropCellMerge},
    {"clbrdrt", 3, true, Kind::Prop, ipropBorderSide},
    {"clbrdrb", 4, true, Kind::Prop, ipropBorderSide},
    {"clbrdrl", 0, true, Kind::Prop, ipropBorderSide},
    {"clbrdrr", 0, true, Kind::Prop, ipropBorderSide},
    {"brdrt", 1, true, Kind::Prop, ipropBorderSide},
    {"brdrb", 2, true, Kind::Prop, ipropBorderSide},
    {"brdrl", 0, true, Kind::Prop, ipropBorderSide},
    {"brdrr", 0, true, Kind::Prop, ipropBorderSide},
    {"brdrw", 0, false, Kind::Special, ispecBorderWidth},
    {"brdsp", 0, false, Kind::Special, ispecBorderSpace},
    // Colours, styles and pictures stay in the document as they stand.
    {"stylesheet", 0, false, Kind::Dest, idestCopy},
    {"author", 0, false, Kind::Dest, idestSkip},
    {"buptim", 0, false, Kind::Dest, idestSkip},
    {"colortbl", 0, false, Kind::Dest, idestCopy},
    {"comment", 0, false, Kind::Dest, idestSkip},
    {"creatim", 0, false, Kind::Dest, idestSkip},
    {"doccomm", 0, false, Kind::Dest, idestSkip},
    {"footnote", 0, false, Kind::Dest, idestSkip},
    {"ftncn", 0, false, Kind::Dest, idestSkip},
    {"ftnsep", 0, false, Kind::Dest, idestSkip},
    {"ftnsepc", 0, false, Kind::Dest, idestSkip},
    {"info", 0, false, Kind::Dest, idestSkip},
    {"keywords", 0, false, Kind::Dest, idestSkip},
    {"operator", 0, false, Kind::Dest, idestSkip},
    {"pict", 0, false, Kind::Dest, idestCopy},
    {"printim", 0, false, Kind::Dest, idestSkip},
    {"private", 0, false, Kind::Dest, idestSkip},
    {"revtim", 0, false, Kind::Dest, idestSkip},
    {"rxe", 0, false, Kind::Dest, idestSkip},
    {"subject", 0, false, Kind::Dest, idestSkip},
    {"tc", 0, false, Kind::Dest, idestSkip},
    {"title", 0, false, Kind::Dest, idestSkip},
    {"txe", 0, false, Kind::Dest, idestSkip},
    {"xe", 0, false, Kind::Dest, idestSkip},
};
static_assert(sizeof kKeywords / sizeof kKeywords[0] == 85, "the keyword table has 85 rows");

enum class Store { Byte, Int };
enum class Target { Doc, Para, Char, Cell, Border, Row };

struct PropAction {
    Store store;
    Target target;
};

const PropAction kPropActions[ipropMax] = {
    {Store::Int, Target::Doc},     {Store::Int, Target::Doc},   {Store::Int, Target::Doc},
    {Store::Int, Target::Doc},     {Store::Int, Target::Doc},   {Store::Int, Target::Doc},
    {Store::Int, Target::Doc},     {Store::Int, Target::Doc},   {Store::Int, Target::Doc},
    {Store::Int, Target::Doc},     {Store::Byte, Target::Char}, {Store::Byte, Target::Char},
    {Store::Byte, Target::Char},   {Store::Int, Target::Char},  {Store::Int, Target::Char},
    {Store::Int, Target::Char},    {Store::Byte, Target::Para}, {Store::Byte, Target::Cell},
    {Store::Byte, Target::Border}, {Store::Int, Target::Row},
};

const KeywordRow* Find(const std::string& word) {
    for (const KeywordRow& k : kKeywords)
        if (word == k.word) return &k;
    return nullptr;
}

bool IsAlpha(int c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsDigit(int c) {
    return c >= '0' && c <= '9';
}

int HexValue(int c) {
    if (IsDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Characters that keep their hex escape in the copy: as themselves they would be RTF syntax,
// line tags or data field tokens.
bool KeepsEscape(int c) {
    return c < 33 || std::strchr("\\{}@#*", c) != nullptr;
}

// One source with a character of look-back.
class Source : public IByteSource {
  public:
    explicit Source(IByteSource& s) : m_s(s) {}
    int Get() override {
        if (m_back >= 0) {
            int c = m_back;
            m_back = -1;
            return c;
        }
        return m_s.Get();
    }
    void Unget(int c) { m_back = c; }

  private:
    IByteSource& m_s;
    int m_back = -1;
};

} // namespace

int SlotIndex(const std::string& code) {
    if (code.size() < 2 || !IsAlpha(code[0])) return -1;
    int digit = -1;
    for (size_t i = 1; i < code.size(); ++i) {
        if (IsDigit(code[i]))
            digit = std::max(digit, code[i] - '0');
        else if (!IsAlpha(code[i]) || i == 1)
            return -1;
    }
    if (digit < 0) return -1;
    return (std::toupper(static_cast<unsigned char>(code[0])) - 'A') * 10 + digit;
}

namespace {

// Past an escape that starts at text[at] == '\\'; \binN takes its N bytes along.
size_t PastEscape(const std::string& text, size_t at) {
    size_t i = at + 1;
    if (i >= text.size()) return i;
    if (text[i] == '\'') return std::min(text.size(), i + 3);
    if (!IsAlpha(text[i])) return i + 1;
    size_t word = i;
    while (i < text.size() && IsAlpha(text[i]))
        ++i;
    bool bin = text.compare(word, i - word, "bin") == 0;
    long long n = 0;
    bool digits = false;
    if (i < text.size() && text[i] == '-') ++i;
    while (i < text.size() && IsDigit(text[i])) {
        if (n < INT_MAX) n = n * 10 + (text[i] - '0');
        digits = true;
        ++i;
    }
    if (i < text.size() && text[i] == ' ') ++i;
    if (bin && digits)
        i = static_cast<size_t>(std::min<long long>(text.size(), static_cast<long long>(i) + n));
    return i;
}

} // namespace

std::string Balanced(const std::string& text) {
    std::string out;
    out.reserve(text.size() + 8);
    int depth = 0;
    for (size_t i = 0; i < text.size();) {
        char c = text[i];
        if (c == '\\') {
            size_t next = PastEscape(text, i);
            out.append(text, i, next - i);
            i = next;
            continue;
        }
        ++i;
        if (c == '{') ++depth;
        if (c == '}') {
            if (depth == 0) continue;
            --depth;
        }
        out += c;
    }
    out.append(static_cast<size_t>(depth), '}');
    return out;
}

int OpenGroups(const std::string& text) {
    int depth = 0;
    for (size_t i = 0; i < text.size();) {
        if (text[i] == '\\') {
            i = PastEscape(text, i);
            continue;
        }
        if (text[i] == '{') ++depth;
        if (text[i] == '}' && depth > 0) --depth;
        ++i;
    }
    return depth;
}

size_t EscapeEnd(const std::string& text, size_t at) {
    return PastEscape(text, at);
}

std::string WithoutControlWord(const std::string& text, const std::string& word) {
    std::string out;
    out.reserve(text.size());
    // A word just written that nothing has ended yet: what followed the dropped word would
    // otherwise run on as part of it.
    bool wordOpen = false;
    for (size_t i = 0; i < text.size();) {
        if (text[i] != '\\') {
            out += text[i++];
            wordOpen = false;
            continue;
        }
        size_t next = PastEscape(text, i);
        size_t letters = i + 1;
        while (letters < next && IsAlpha(text[letters]))
            ++letters;
        size_t length = letters - i - 1;
        if (length == word.size() && text.compare(i + 1, length, word) == 0) {
            if (wordOpen && next < text.size() && !std::strchr("\\{}", text[next])) {
                out += ' ';
                wordOpen = false;
            }
        } else {
            out.append(text, i, next - i);
            char last = text[next - 1];
            wordOpen = length > 0 && text.compare(i + 1, length, "bin") != 0 &&
                       (IsAlpha(last) || IsDigit(last) || last == '-');
        }
        i = next;
    }
    return out;
}

TemplateReader::TemplateReader(IFontMeasurer& measurer) : m_measurer(measurer) {
    Reset();
}

void TemplateReader::Reset() {
    m_doc = DocProps();
    m_state = State();
    m_stack.clear();
    m_sections.assign(5, Section());
    m_head.clear();
    m_bodySlot = -1;
    std::fill(std::begin(m_curSlot), std::end(m_curSlot), -1);
    m_bodyTagged = false;
    m_pageBreaks = 0;
    m_skipIfUnknown = false;
    m_fonts.clear();
    m_fontNumber = 0;
    m_fontName.clear();
    m_fontNamed = false;
    m_tagLen = 0;
    m_lineHeight = 0;
    m_measureDirty = true;
    m_rowHeight = m_borderSide = m_borderTop = m_borderBottom = 0;
    m_cellHeight = m_rowTallest = m_mergeState = 0;
    m_cellEdges.clear();
    m_cellMerge.clear();
}

int TemplateReader::Read(IByteSource& source) {
    Reset();
    int result = Parse(source);
    if (result != kOk) return result;
    for (Section& section : m_sections) {
        section.lead = Balanced(section.lead);
        for (Slot& slot : section.slots)
            if (slot.used) slot.text = Balanced(slot.text);
    }
    m_head = Balanced(m_head);
    return kOk;
}

int TemplateReader::Parse(IByteSource& raw) {
    Source source(raw);
    for (;;) {
        int c = source.Get();
        if (c < 0) return EndTag();
        int result = kOk;
        switch (c) {
        case '{': result = PushGroup(); break;
        case '}': result = PopGroup(); break;
        case '\\': {
            result = EndTag();
            if (result == kOk) {
                int next = source.Get();
                if (next < 0) return kEndAfterBackslash;
                if (!IsAlpha(next)) {
                    if (next == '\'') {
                        int hi = HexValue(source.Get());
                        int lo = hi < 0 ? -1 : HexValue(source.Get());
                        if (hi < 0 || lo < 0) return kBadHex;
                        result = Character(hi * 16 + lo);
                        break;
                    }
                    char symbol[3] = {'\\', static_cast<char>(next), 0};
                    result = Copy(symbol, 2);
                    if (result == kOk)
                        result = Keyword(std::string(1, static_cast<char>(next)), false, 0, source);
                    break;
                }
                std::string word(1, static_cast<char>(next));
                std::string copy = "\\";
                copy += static_cast<char>(next);
                int ch = source.Get();
                while (IsAlpha(ch)) {
                    if (word.size() < 32) word += static_cast<char>(ch);
                    copy += static_cast<char>(ch);
                    ch = source.Get();
                }
                bool hasNumber = false, negative = false;
                long long number = 0;
                if (ch == '-') {
                    negative = true;
                    copy += '-';
                    ch = source.Get();
                }
                while (IsDigit(ch)) {
                    hasNumber = true;
                    if (number < INT_MAX) number = number * 10 + (ch - '0');
                    copy += static_cast<char>(ch);
                    ch = source.Get();
                }
                number = std::min<long long>(number, INT_MAX);
                if (ch == ' ' || ch == '\r' || ch == '\n')
                    // The copy drops line ends: a blank keeps the word apart from what follows.
                    copy += ' ';
                else if (ch >= 0)
                    source.Unget(ch); // the word read one character too far
                result = Copy(copy);
                if (result == kOk)
                    result = Keyword(word, hasNumber, static_cast<int>(negative ? -number : number), source);
            }
            break;
        }
        case '\r':
        case '\n': break;
        default: result = Text(c); break;
        }
        if (result != kOk) return result;
    }
}

int TemplateReader::Keyword(const std::string& word, bool hasNumber, int number, IByteSource& source) {
    const KeywordRow* k = Find(word);
    bool skipIfUnknown = m_skipIfUnknown;
    m_skipIfUnknown = false;
    if (m_state.dest == Dest::Skip || m_state.dest == Dest::CopyOnly) {
        // Only \bin matters there: its bytes are data, not syntax.
        if (k && k->kind == Kind::Special && k->index == ispecBin) return Special(ispecBin, number, source);
        return kOk;
    }
    if (!k) return skipIfUnknown ? Destination(idestSkip) : kOk;
    int value = (k->useDefault || !hasNumber) ? k->def : number;
    switch (k->kind) {
    case Kind::Prop: return Property(k->index, value);
    case Kind::Char: return kOk; // already copied as its escape
    case Kind::Dest: return Destination(k->index);
    case Kind::Special: return Special(k->index, value, source);
    }
    return kBadTable;
}

int TemplateReader::Property(int index, int value) {
    if (index < 0 || index >= ipropMax) return kBadTable;
    const PropAction& action = kPropActions[index];
    if (action.store == Store::Byte)
        value = static_cast<unsigned char>(value);
    else if (action.store != Store::Int)
        return kBadTable;
    if (m_state.dest == Dest::FontTable) return kOk;
    switch (action.target) {
    case Target::Doc:
        switch (index) {
        case ipropVersion: m_doc.version = value; return kOk;
        case ipropPaperw: m_doc.paperw = value; return kOk;
        case ipropPaperh: m_doc.paperh = value; return kOk;
        case ipropMargl: m_doc.margl = value; return kOk;
        case ipropMargr: m_doc.margr = value; return kOk;
        case ipropMargt: m_doc.margt = value; return kOk;
        case ipropMargb: m_doc.margb = value; return kOk;
        case ipropDeftab: m_doc.deftab = value; return kOk;
        case ipropHeadery: m_doc.headery = value; return kOk;
        case ipropFootery: m_doc.footery = value; return kOk;
        }
        return kBadTable;
    case Target::Char:
        switch (index) {
        case ipropBold: m_state.chr.bold = value; return kOk;
        case ipropItalic: m_state.chr.italic = value; return kOk;
        case ipropUnderline: m_state.chr.underline = value; return kOk;
        case ipropStyle: m_state.chr.style = value; return kOk;
        case ipropCharStyle: m_state.chr.charStyle = value; return kOk;
        case ipropFontSize:
            m_state.chr.size = value;
            m_measureDirty = true;
            return kOk;
        }
        return kBadTable;
    case Target::Para: m_state.intbl = value; return kOk;
    case Target::Cell: m_mergeState = value; return kOk;
    case Target::Border: m_borderSide = value; return kOk;
    case Target::Row: m_rowHeight = value; return kOk;
    }
    return kBadTable;
}

int TemplateReader::Special(int index, int value, IByteSource& source) {
    switch (index) {
    case ispecBin: {
        // Exactly N bytes of data, whatever they are.
        for (int n = 0; n < value; ++n) {
            int c = source.Get();
            // Data cut short: whatever followed would be read as part of it.
            if (c < 0) return kEndAfterBackslash;
            int result = CopyChar(static_cast<char>(c));
            if (result != kOk) return result;
        }
        return kOk;
    }
    case ispecSkipDest: m_skipIfUnknown = true; return kOk;
    case ispecFont:
        if (m_state.dest == Dest::FontTable) {
            m_fontNumber = value;
            m_fontName.clear();
            m_fontNamed = true;
            return kOk;
        }
        if (std::none_of(m_fonts.begin(), m_fonts.end(),
                         [&](const FontEntry& f) { return f.number == value; }))
            return kBadState;
        m_state.chr.font = value;
        m_measureDirty = true;
        return kOk;
    case ispecPar:
        if (m_state.intbl)
            m_cellHeight += LineHeight();
        else
            AddHeight(LineHeight(), false);
        return kOk;
    case ispecPard: m_state.intbl = 0; return kOk;
    case ispecPlain:
        m_state.chr.font = 0;
        m_state.chr.size = 24;
        m_state.chr.charStyle = 0;
        m_state.chr.bold = m_state.chr.italic = m_state.chr.underline = 0;
        m_measureDirty = true;
        return kOk;
    case ispecTrowd:
        m_rowHeight = m_borderTop = m_borderBottom = m_borderSide = 0;
        m_cellEdges.clear();
        m_cellMerge.clear();
        return kOk;
    case ispecPage: ++m_pageBreaks; return kOk;
    case ispecTitlePage: m_doc.titlepg = true; return kOk;
    case ispecCell:
        m_cellHeight += LineHeight();
        m_rowTallest = std::max(m_rowTallest, m_cellHeight);
        m_cellHeight = 0;
        return kOk;
    case ispecRow: {
        long long row = std::max<long long>(std::llabs(m_rowHeight), m_rowTallest);
        row += static_cast<long long>(m_borderTop) + m_borderBottom;
        AddHeight(static_cast<int>(std::min<long long>(row, INT_MAX / 4)), true);
        m_rowTallest = m_cellHeight = 0;
        return kOk;
    }
    case ispecCellEdge:
        if (static_cast<int>(m_cellEdges.size()) >= kMaxCells - 1) return kNoMemory;
        m_cellEdges.push_back(value);
        m_cellMerge.push_back(m_mergeState);
        m_mergeState = 0;
        return kOk;
    case ispecBorderWidth:
    case ispecBorderSpace: {
        int* side = (m_borderSide == 1 || m_borderSide == 3)   ? &m_borderTop
                    : (m_borderSide == 2 || m_borderSide == 4) ? &m_borderBottom
                                                               : nullptr;
        if (side) *side = index == ispecBorderWidth ? value : *side + value;
        if (side) *side = std::clamp(*side, -100000, 100000);
        return kOk;
    }
    case ispecHex: return kOk;
    }
    return kBadTable;
}

int TemplateReader::Destination(int index) {
    State& s = m_state;
    auto takeBackOpening = [&] {
        std::string* opened = TargetOf(s.openSection, s.openSlot);
        if (opened && opened->size() > s.openAt) opened->resize(s.openAt);
        s.destGroup = true;
    };
    switch (index) {
    case idestHeader:
    case idestHeaderFirst:
    case idestFooter:
    case idestFooterFirst: {
        if (s.dest != Dest::Text) return kOk;
        takeBackOpening();
        m_sections[index] = Section();
        m_sections[index].present = true;
        m_curSlot[index] = -1;
        s.section = index;
        return kOk;
    }
    case idestFontTable:
        s.dest = Dest::FontTable;
        m_fontNamed = false;
        m_fontName.clear();
        return kOk;
    case idestSkip:
        takeBackOpening();
        s.dest = Dest::Skip;
        return kOk;
    case idestCopy: s.dest = Dest::CopyOnly; return kOk;
    }
    return kBadTable;
}

int TemplateReader::Character(int c) {
    // An escaped character is text, but never part of a line tag.
    if (m_stack.empty()) return kSyntax;
    m_skipIfUnknown = false;
    if (m_state.dest == Dest::Skip) return kOk;
    int result;
    if (c >= 33 && !KeepsEscape(c)) {
        result = CopyChar(static_cast<char>(c));
    } else {
        static const char kHex[] = "0123456789abcdef";
        char escape[4] = {'\\', '\'', kHex[c >> 4], kHex[c & 15]};
        result = Copy(escape, 4);
    }
    if (result == kOk && m_state.dest == Dest::FontTable) result = FontText(c);
    return result;
}

int TemplateReader::Text(int c) {
    if (m_stack.empty()) return c == 0 ? kOk : kSyntax;
    m_skipIfUnknown = false;
    switch (m_state.dest) {
    case Dest::Skip: return kOk;
    case Dest::CopyOnly: return CopyChar(static_cast<char>(c));
    case Dest::FontTable: {
        int result = CopyChar(static_cast<char>(c));
        return result == kOk ? FontText(c) : result;
    }
    case Dest::Text: break;
    }
    if (m_tagLen == 1) {
        if (IsAlpha(c)) {
            m_tagLen = 2;
            m_tagLetter = static_cast<char>(c);
            return CopyChar(static_cast<char>(c));
        }
        m_tagLen = 0;
    } else if (m_tagLen == 2) {
        if (IsDigit(c)) {
            m_tagLen = 3;
            m_tagDigit = c - '0';
            return CopyChar(static_cast<char>(c));
        }
        m_tagLen = 0;
    } else if (m_tagLen >= 3) {
        if (IsDigit(c) || IsAlpha(c)) {
            if (IsDigit(c)) m_tagDigit = std::max(m_tagDigit, c - '0');
            ++m_tagLen;
            return CopyChar(static_cast<char>(c));
        }
        int result = EndTag();
        if (result != kOk) return result;
    }
    if (c == '*') m_tagLen = 1;
    return CopyChar(static_cast<char>(c));
}

int TemplateReader::EndTag() {
    int length = m_tagLen;
    m_tagLen = 0;
    if (length < 3) return kOk;
    std::string* target = Target();
    if (target && target->size() >= static_cast<size_t>(length))
        target->resize(target->size() - static_cast<size_t>(length));
    int index = (std::toupper(static_cast<unsigned char>(m_tagLetter)) - 'A') * 10 + m_tagDigit;
    if (index < 0 || index >= kSlotCount) return kOk;
    int section = m_state.section;
    if (section == kBody) {
        m_bodySlot = index;
        m_bodyTagged = true;
    } else {
        m_curSlot[section] = index;
    }
    Slot& slot = m_sections[section].slots[index];
    const CharProps& p = m_state.chr;
    slot = Slot();
    slot.used = true;
    slot.text = "{\\s" + std::to_string(p.style) + " \\cs" + std::to_string(p.charStyle) + " \\f" +
                std::to_string(p.font) + " \\fs" + std::to_string(p.size) + " \\b" + std::to_string(p.bold) +
                " \\i" + std::to_string(p.italic) + " \\ul" + std::to_string(p.underline) + " ";
    return kOk;
}

int TemplateReader::FontText(int c) {
    if (!m_fontNamed) return kOk;
    if (c == ';') {
        if (static_cast<int>(m_fonts.size()) >= kMaxFonts) return kFontTableFull;
        m_fonts.push_back({m_fontNumber, m_fontName});
        m_fontNamed = false;
        m_fontName.clear();
        return kOk;
    }
    if (m_fontName.size() < 31) m_fontName += static_cast<char>(c);
    return kOk;
}

int TemplateReader::PushGroup() {
    int result = EndTag();
    if (result != kOk) return result;
    if (static_cast<int>(m_stack.size()) >= kMaxGroupDepth) return kNoMemory;
    m_skipIfUnknown = false;
    m_stack.push_back(m_state);
    m_state.destGroup = false;
    if (m_state.section == kBody) {
        m_state.openSection = m_bodySlot < 0 ? kHead : kBody;
        m_state.openSlot = m_bodySlot;
    } else {
        m_state.openSection = m_state.section;
        m_state.openSlot = m_curSlot[m_state.section];
    }
    std::string* target = Target();
    m_state.openAt = target ? target->size() : 0;
    return CopyChar('{');
}

int TemplateReader::PopGroup() {
    int result = EndTag();
    if (result != kOk) return result;
    if (m_stack.empty()) return kUnbalanced;
    m_skipIfUnknown = false;
    // A destination's group gave its "{" back; its "}" goes nowhere either.
    if (!m_state.destGroup) result = CopyChar('}');
    bool fontTable = m_state.dest == Dest::FontTable;
    m_state = m_stack.back();
    m_stack.pop_back();
    if (fontTable && m_state.dest != Dest::FontTable) m_fontNamed = false;
    m_measureDirty = true;
    return result;
}

std::string* TemplateReader::TargetOf(int section, int slot) {
    if (section == kHead) return &m_head;
    if (section < 0 || section > kBody) return nullptr;
    if (slot < 0) return section == kBody ? &m_head : &m_sections[section].lead;
    return &m_sections[section].slots[slot].text;
}

std::string* TemplateReader::Target() {
    if (m_state.dest == Dest::Skip) return nullptr;
    if (m_state.section == kBody) return m_bodySlot < 0 ? &m_head : TargetOf(kBody, m_bodySlot);
    return TargetOf(m_state.section, m_curSlot[m_state.section]);
}

int TemplateReader::Copy(const char* text, size_t n) {
    std::string* target = Target();
    if (!target) return kOk;
    size_t limit = target == &m_head ? kMaxHeadChars : kMaxSlotChars;
    if (target->size() + n > limit) return kNoMemory;
    target->append(text, n);
    return kOk;
}

int TemplateReader::LineHeight() {
    if (m_measureDirty) {
        std::string face;
        for (const FontEntry& f : m_fonts)
            if (f.number == m_state.chr.font) {
                face = f.face;
                break;
            }
        m_lineHeight = std::max(0, m_measurer.LineHeight(face, m_state.chr.size));
        m_measureDirty = false;
    }
    return m_lineHeight;
}

void TemplateReader::AddHeight(int height, bool row) {
    if (m_state.dest != Dest::Text) return;
    int section = m_state.section;
    int slot = section == kBody ? m_bodySlot : m_curSlot[section];
    if (section == kBody && slot < 0) return; // the head is not paged
    Section& s = m_sections[section];
    auto add = [](int& to, int h) { to = static_cast<int>(std::min<long long>(INT_MAX / 4, 0LL + to + h)); };
    add(s.height, height);
    if (slot < 0)
        add(s.leadHeight, height);
    else
        add(row ? s.slots[slot].extra : s.slots[slot].height, height);
}

} // namespace vorlan::formular
