#include "controls/HtmlLayout.h"

#include <algorithm>
#include <cstdint>

namespace html {

namespace {

// Positions are summed in 64 bits and clamped far beyond any surface, so label text with huge
// counts, lengths or spans cannot overflow them.
constexpr int64_t kMaxCoordinate = 1 << 28;

int Clamp(int64_t v) {
    return static_cast<int>(std::clamp<int64_t>(v, -kMaxCoordinate, kMaxCoordinate));
}

constexpr int kTabStop = 32;
// Column spans and the columns of a table stop here: label text cannot make a grid of any size.
constexpr int kMaxColumns = 1000;
constexpr int kMaxSpan = 1000;
// Tables nested deeper are left out, which bounds the recursion.
constexpr int kMaxTableDepth = 32;
// Windows' index of the button shadow colour, the disabled colour until one is set.
constexpr int kButtonShadowIndex = 16;

Rect MakeRect(int64_t left, int64_t top, int64_t right, int64_t bottom) {
    Rect r;
    r.left = Clamp(left);
    r.top = Clamp(top);
    r.right = Clamp(std::max(left, right));
    r.bottom = Clamp(std::max(top, bottom));
    return r;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The name of a tag from its text, cheaper than reading all of it.
std::string NameOf(const std::string& text, bool& closing) {
    size_t i = 0, n = text.size();
    while (i < n && IsBlank(text[i]))
        ++i;
    closing = i < n && text[i] == '/';
    if (closing) ++i;
    std::string name;
    for (; i < n && !IsBlank(text[i]) && text[i] != '='; ++i) {
        char c = text[i];
        name += c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
    }
    return name;
}

// The value written right behind the tag's name, as in "<br=2>".
const std::string& OwnValue(const Tag& tag) {
    static const std::string empty;
    return tag.attributes.empty() ? empty : tag.attributes.front().second;
}

struct TableExtent {
    size_t innerEnd; // where its closing tag begins
    size_t end;      // just past its closing tag
};

// From just past a "<table ...>" tag to its matching "</table>", nested tables counted.
TableExtent FindTableEnd(const std::string& text, size_t from, size_t to) {
    MarkupCursor cursor(text, from, to);
    Piece p;
    int depth = 1;
    while (cursor.Next(p)) {
        if (p.kind != Piece::TagText) continue;
        bool closing = false;
        if (NameOf(p.text, closing) != "table") continue;
        if (!closing)
            ++depth;
        else if (--depth == 0)
            return {p.begin, p.end};
    }
    return {to, to};
}

struct CellSpec {
    Tag tag;
    size_t begin = 0;
    size_t end = 0;
    int row = 0;
    int column = 0;
    int rowSpan = 1;
    int colSpan = 1;
    bool placed = false;
};

struct RowSpec {
    Tag tag;
    std::vector<CellSpec> cells;
};

// Rows and cells of a table's inner text. A cell runs to the next cell, row or "</td>";
// nested tables belong to the cell they stand in; cells before the first row are dropped.
std::vector<RowSpec> ReadRows(const std::string& text, size_t begin, size_t end) {
    std::vector<RowSpec> rows;
    CellSpec* open = nullptr;
    MarkupCursor cursor(text, begin, end);
    Piece p;
    while (cursor.Next(p)) {
        if (p.kind != Piece::TagText) continue;
        bool closing = false;
        std::string name = NameOf(p.text, closing);
        if (name == "table" && !closing) {
            cursor.Seek(FindTableEnd(text, p.end, end).end);
            continue;
        }
        if (name != "tr" && name != "td") continue;
        if (open) open->end = p.begin;
        open = nullptr;
        if (closing) continue;
        if (name == "tr") {
            rows.push_back(RowSpec{ReadTag(p.text), {}});
        } else if (!rows.empty()) {
            CellSpec cell;
            cell.tag = ReadTag(p.text);
            cell.begin = cell.end = p.end;
            rows.back().cells.push_back(std::move(cell));
            open = &rows.back().cells.back();
        }
    }
    if (open) open->end = end;
    return rows;
}

int Span(const Tag& tag, const char* name, int limit) {
    uint32_t n = 1;
    if (!ReadNumber(tag.Value(name), n) || n < 1) n = 1;
    return static_cast<int>(std::min<uint32_t>(n, static_cast<uint32_t>(std::max(1, limit))));
}

// Places the cells on the grid: each takes the first column of its row that no row span of an
// earlier row covers. Returns the number of columns.
int PlaceCells(std::vector<RowSpec>& rows) {
    const int rowCount = static_cast<int>(rows.size());
    std::vector<int> busyUntil; // per column: the first row no earlier span covers
    int columns = 0;
    for (int r = 0; r < rowCount; ++r) {
        int c = 0;
        for (CellSpec& cell : rows[static_cast<size_t>(r)].cells) {
            while (c < kMaxColumns && c < static_cast<int>(busyUntil.size()) &&
                   busyUntil[static_cast<size_t>(c)] > r)
                ++c;
            if (c >= kMaxColumns) continue;
            cell.row = r;
            cell.column = c;
            cell.colSpan = Span(cell.tag, "colspan", std::min(kMaxSpan, kMaxColumns - c));
            cell.rowSpan = Span(cell.tag, "rowspan", std::min(kMaxSpan, rowCount - r));
            cell.placed = true;
            if (static_cast<int>(busyUntil.size()) < c + cell.colSpan)
                busyUntil.resize(static_cast<size_t>(c + cell.colSpan), 0);
            for (int k = c; k < c + cell.colSpan; ++k)
                busyUntil[static_cast<size_t>(k)] =
                    std::max(busyUntil[static_cast<size_t>(k)], r + cell.rowSpan);
            c += cell.colSpan;
            columns = std::max(columns, c);
        }
    }
    return columns;
}

struct Need {
    int start;
    int span;
    int64_t size;
};

// Sizes of columns (or rows) from their cells' needs: single cells first, then each span count
// in increasing order widens its columns evenly where they fall short, the remainder of the
// division going to the first of them.
std::vector<int> Distribute(size_t count, std::vector<Need> needs) {
    std::vector<int64_t> sizes(count, 0);
    std::stable_sort(needs.begin(), needs.end(),
                     [](const Need& a, const Need& b) { return a.span < b.span; });
    for (const Need& n : needs) {
        size_t first = static_cast<size_t>(n.start);
        size_t last = std::min(count, first + static_cast<size_t>(n.span));
        if (first >= last) continue;
        int64_t sum = 0;
        for (size_t i = first; i < last; ++i)
            sum += sizes[i];
        if (sum >= n.size) continue;
        int64_t spanned = static_cast<int64_t>(last - first);
        int64_t diff = n.size - sum;
        for (size_t i = first; i < last; ++i)
            sizes[i] += diff / spanned;
        sizes[first] += diff % spanned;
    }
    std::vector<int> out(count);
    for (size_t i = 0; i < count; ++i)
        out[i] = Clamp(sizes[i]);
    return out;
}

int64_t Sum(const std::vector<int>& v) {
    int64_t s = 0;
    for (int x : v)
        s += x;
    return s;
}

struct LinkState {
    bool inside = false;
    int number = -1;
    int kind = kLinkNone;
    std::string text;
};

} // namespace

// One layout of the text, measuring or drawing.
class LayoutPass {
  public:
    LayoutPass(Layout& layout, Canvas& canvas, bool drawing, int originX, int originY)
        : m_layout(layout), m_canvas(canvas), m_text(layout.m_text), m_drawing(drawing), m_originX(originX),
          m_originY(originY) {}

    Size Run(int available) {
        m_canvas.BeginPass();
        int ppi = m_canvas.PixelsPerInchY();
        m_units.pixelsPerInch = ppi > 0 ? ppi : 96;
        m_style = Style();
        EnsureFont();
        // The body entry is applied once here rather than by wrapping the text in a body tag,
        // so a stray "</body>" in the text cannot fall back to the defaults.
        ApplyEntry("body");
        EnsureFont();
        Size s = Frame(0, m_text.size(), m_originX, m_originY, available, 0);
        m_canvas.EndPass();
        return s;
    }

  private:
    struct Line {
        int64_t x = 0; // from the line's start
        int64_t width = 0;
        int64_t ascent = 0;
        int64_t descent = 0;
        int64_t minHeight = 0;
        int64_t start = 0; // drawing: where the line starts on the surface
        bool content = false;
        int align = -1;
    };

    struct Flow {
        int64_t x; // the box's left
        int64_t y; // the box's top
        int64_t width;
        int64_t top = 0; // of the current line, from the box's top
        int64_t widest = 0;
        bool broken = false; // a break came last
        Line line;
    };

    Colour Col(Colour c) const { return m_layout.m_enabled ? c : m_layout.m_disabledColour; }

    void EnsureFont() {
        const Style& s = m_style;
        if (m_fontValid && s.fontHeight == m_fontStyle.fontHeight && s.weight == m_fontStyle.weight &&
            s.italic == m_fontStyle.italic && s.underline == m_fontStyle.underline &&
            s.strikeout == m_fontStyle.strikeout && s.face == m_fontStyle.face)
            return;
        m_font = m_canvas.SelectFont(s);
        m_fontStyle = s;
        m_fontValid = true;
        m_units.xHeight = m_font.xHeight;
        m_units.charHeight = m_font.height;
    }

    void ApplyEntry(const std::string& selector) {
        if (const std::string* entry = m_layout.m_sheet.Find(selector))
            ApplyProperties(m_style, *entry, m_layout.m_colours, m_units);
    }

    LineRecord Record(size_t index) const {
        if (index < m_layout.m_lines.size()) return m_layout.m_lines[index];
        LineRecord r;
        r.height = m_font.height;
        return r;
    }

    void StartLine(Flow& f) {
        f.line = Line();
        if (!m_drawing) return;
        LineRecord r = Record(m_line);
        int64_t free = std::max<int64_t>(0, f.width - r.width);
        f.line.start = f.x + (r.align == 1 ? free / 2 : r.align == 2 ? free : 0);
    }

    void CloseLine(Flow& f, int count) {
        int64_t height;
        if (m_drawing) {
            height = Record(m_line).height;
        } else {
            height = std::max(f.line.ascent + f.line.descent, f.line.minHeight);
            if (height <= 0) height = m_font.height;
            LineRecord r;
            r.top = Clamp(f.top);
            r.width = Clamp(f.line.width);
            r.height = Clamp(height);
            r.align = f.line.align >= 0 ? f.line.align : m_style.align;
            r.descent = Clamp(f.line.descent);
            m_layout.m_lines.push_back(r);
        }
        ++m_line;
        f.widest = std::max(f.widest, f.line.width);
        f.top = std::clamp<int64_t>(f.top + count * height, -kMaxCoordinate, kMaxCoordinate);
        StartLine(f);
    }

    void Advance(Flow& f, int64_t by, bool aligns) {
        f.line.x = std::min<int64_t>(f.line.x + std::max<int64_t>(0, by), kMaxCoordinate);
        f.line.width = std::max(f.line.width, f.line.x);
        f.line.content = true;
        if (aligns) f.line.align = m_style.align;
    }

    void AddHot(int64_t x, int64_t y, int64_t w, int64_t h) {
        if (!m_drawing || !m_link.inside) return;
        HotArea a;
        a.rect = MakeRect(x - m_originX, y - m_originY, x + w - m_originX, y + h - m_originY);
        a.kind = m_link.kind;
        a.link = m_link.number;
        a.text = m_link.text;
        m_layout.m_hotAreas.push_back(std::move(a));
    }

    // Top of something of the given height and ascent on the current line, by the vertical
    // alignment of the style.
    int64_t ItemTop(const Flow& f, int64_t height, int64_t ascent) const {
        LineRecord r = Record(m_line);
        int64_t lineTop = f.y + f.top;
        switch (m_style.valign) {
        case 0: return lineTop;
        case 1: return lineTop + (r.height - height) / 2;
        case 2: return lineTop + r.height - ascent;
        default: return lineTop + r.height - ascent - r.descent;
        }
    }

    void TextRun(Flow& f, const std::string& raw) {
        std::string run = Transform(raw, m_style.transform);
        if (run.empty()) return;
        Size size = m_canvas.MeasureText(run);
        if (m_drawing) {
            int64_t x = f.line.start + f.line.x;
            int64_t y = ItemTop(f, m_font.height, m_font.ascent);
            m_canvas.DrawText(Clamp(x), Clamp(y), run, Col(m_style.text), Col(m_style.background),
                              m_style.backgroundMode == 2);
            if (m_style.overline)
                m_canvas.DrawLine(Clamp(x), Clamp(y), Clamp(x + size.cx), Clamp(y), Col(m_style.text),
                                  kPenSolid, m_style.weight >= 700 ? 2 : 1);
            AddHot(x, y, size.cx, size.cy);
        } else {
            f.line.ascent = std::max<int64_t>(f.line.ascent, m_font.ascent);
            f.line.descent = std::max<int64_t>(f.line.descent, size.cy - m_font.ascent);
        }
        Advance(f, size.cx, true);
    }

    void PictureTag(Flow& f, const Tag& tag) {
        Picture picture = ReadPicture(tag, m_layout.m_colours, m_units);
        Size own = m_canvas.PictureSize(picture);
        if (own.cx <= 0 || own.cy <= 0) return;
        int64_t w = ReadLength(picture.width, own.cx, m_units);
        int64_t h = ReadLength(picture.height, own.cy, m_units);
        if (w <= 0 || h <= 0) return;
        bool hot = m_link.inside && m_link.number == m_layout.m_hoverLink && tag.Has("hotstyle");
        const std::string& effects = hot ? picture.hotstyle : picture.style;
        bool shadow = effects.find_first_of("sS") != std::string::npos;
        int64_t occupiedW = w + (shadow ? kShadowOffsetX : 0);
        int64_t occupiedH = h + (shadow ? kShadowOffsetY : 0);
        if (m_drawing) {
            int64_t x = f.line.start + f.line.x;
            int64_t y = ItemTop(f, occupiedH, occupiedH);
            m_canvas.DrawPicture(picture, MakeRect(x, y, x + w, y + h), effects, !m_layout.m_enabled,
                                 m_layout.m_disabledColour);
            AddHot(x, y, w, h);
        } else {
            f.line.ascent = std::max(f.line.ascent, occupiedH);
        }
        Advance(f, occupiedW, true);
    }

    void RuleTag(Flow& f, const Tag& tag) {
        Style rule = m_style;
        rule.borderWidth = 1;
        rule.borderStyle = kPenSolid;
        if (const std::string* entry = m_layout.m_sheet.Find("hr"))
            ApplyProperties(rule, *entry, m_layout.m_colours, m_units);
        Colour colour = ReadColour(tag.Value("color"), rule.text, m_layout.m_colours);
        int64_t pen = std::clamp(ReadLength(tag.Value("size"), rule.borderWidth, m_units), 0, 1000);
        std::string width = tag.Value("width");
        int64_t length;
        if (width.empty() || width.back() == '%')
            length = f.width * ReadLength(width.empty() ? "100%" : width, 100, m_units) / 100;
        else
            length = ReadLength(width, 0, m_units);
        length = std::clamp<int64_t>(length, 0, kMaxCoordinate);
        if (m_drawing) {
            int64_t x = f.line.start + f.line.x;
            int64_t y = f.y + f.top + Record(m_line).height / 2;
            m_canvas.DrawLine(Clamp(x), Clamp(y), Clamp(x + length), Clamp(y), Col(colour), rule.borderStyle,
                              static_cast<int>(pen));
        } else {
            f.line.minHeight = std::max(f.line.minHeight, pen + 8);
        }
        Advance(f, length, false);
    }

    void LinkTag(const Tag& tag) {
        m_link.inside = true;
        m_link.number = ++m_linkCounter;
        m_link.kind = kLinkNone;
        m_link.text.clear();
        for (size_t i = 1; i < tag.attributes.size(); ++i) {
            const auto& [name, value] = tag.attributes[i];
            int kind = name == "href"   ? kLinkHref
                       : name == "msg"  ? kLinkMessage
                       : name == "fkey" ? kLinkKey
                                        : 0;
            if (kind == 0) continue;
            m_link.kind = kind;
            m_link.text = value;
            break;
        }
        ApplyEntry(m_link.number == m_layout.m_hoverLink ? "a:hover" : "a:link");
    }

    void FontTag(const Tag& tag) {
        const ColourTable& colours = m_layout.m_colours;
        if (tag.Has("face") && !tag.Value("face").empty()) m_style.face = tag.Value("face").substr(0, 31);
        if (tag.Has("size"))
            m_style.fontHeight = ReadFontSize(tag.Value("size"), m_style.fontHeight, m_units);
        if (tag.Has("color")) m_style.text = ReadColour(tag.Value("color"), m_style.text, colours);
        if (tag.Has("style")) ApplyFontStyleLetters(m_style, tag.Value("style"));
        if (tag.Has("weight")) m_style.weight = ReadWeight(tag.Value("weight"), m_style.weight);
        if (tag.Has("bkgnd")) {
            std::string v = tag.Value("bkgnd");
            for (char& ch : v)
                ch = ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch + 32) : ch;
            Colour c = m_style.background;
            if (v.empty() || v == "transparent") {
                m_style.backgroundMode = 1;
            } else {
                // An unknown name leaves both the colour and the mode as they were.
                const Colour none = 0xFFFFFFFFu;
                c = ReadColour(v, none, colours);
                if (c != none) {
                    m_style.background = c;
                    m_style.backgroundMode = 2;
                }
            }
        }
    }

    void DoTag(Flow& f, const Tag& tag) {
        const TagInfo& info = tag.info;
        if (info.code == kTagUnknown) return;
        if (tag.closing && info.stack) {
            m_stack.Pop(info.stack, m_style);
            if (info.code == kTagLink) m_link = LinkState();
            return;
        }
        if (info.stack) m_stack.Push(m_style, info.stack);
        switch (info.code) {
        case kTagBold: m_style.weight = std::min(m_style.weight * 2, 900); break;
        case kTagItalic: m_style.italic = !m_style.italic; break;
        case kTagUnderline: m_style.underline = !m_style.underline; break;
        case kTagStrikeout: m_style.strikeout = !m_style.strikeout; break;
        case kTagFont: FontTag(tag); break;
        case kTagRule: RuleTag(f, tag); break;
        case kTagBreak:
            CloseLine(f, RepeatCount(OwnValue(tag)));
            f.broken = true;
            break;
        case kTagTab: {
            int64_t count = RepeatCount(OwnValue(tag));
            int64_t next = (f.line.x / kTabStop + 1) * kTabStop + (count - 1) * kTabStop;
            Advance(f, next - f.line.x, false);
            break;
        }
        case kTagLeft: m_style.align = 0; break;
        case kTagCenter: m_style.align = 1; break;
        case kTagRight: m_style.align = 2; break;
        case kTagBaseline: m_style.valign = 3; break;
        case kTagTop: m_style.valign = 0; break;
        case kTagVCenter: m_style.valign = 1; break;
        case kTagBottom: m_style.valign = 2; break;
        case kTagBitmap:
        case kTagIcon:
        case kTagImageList: PictureTag(f, tag); break;
        case kTagString: {
            uint32_t id = 0;
            std::string number = tag.Has("idres") ? tag.Value("idres") : tag.Value("iddll");
            if (ReadNumber(number, id)) TextRun(f, m_canvas.StringResource(id));
            break;
        }
        case kTagStyled: ApplyEntry(tag.name); break;
        case kTagSpan: {
            std::string cls = tag.Value("class");
            for (char& c : cls)
                c = c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
            ApplyEntry("." + cls);
            break;
        }
        case kTagLink: LinkTag(tag); break;
        default: break;
        }
    }

    // Flowing text from begin up to the next table (whose tag is returned) or end.
    Size FlowText(size_t begin, size_t end, int64_t x, int64_t y, int64_t width, size_t& tableAt,
                  size_t& tableTagEnd, Tag& tableTag) {
        Flow f;
        f.x = x;
        f.y = y;
        f.width = width;
        StartLine(f);
        tableAt = end;
        MarkupCursor cursor(m_text, begin, end);
        Piece p;
        while (cursor.Next(p)) {
            if (p.kind == Piece::Run) {
                TextRun(f, p.text);
                continue;
            }
            bool closing = false;
            if (NameOf(p.text, closing) == "table" && !closing) {
                tableAt = p.begin;
                tableTagEnd = p.end;
                tableTag = ReadTag(p.text);
                break;
            }
            DoTag(f, ReadTag(p.text));
            EnsureFont();
        }
        // A text ending in a break closes its empty last line like any other; tags around a
        // table add no blank line.
        if (f.line.content || (f.broken && tableAt >= end)) CloseLine(f, 1);
        return Size{Clamp(f.widest), Clamp(f.top)};
    }

    // Flowing text and tables stacked from x, y; returns the size they take.
    Size Frame(size_t begin, size_t end, int64_t x, int64_t y, int64_t width, int depth) {
        int64_t height = 0, widest = 0;
        size_t pos = begin;
        while (pos < end) {
            size_t tableAt = end, tagEnd = end;
            Tag tag;
            Size flow = FlowText(pos, end, x, y + height, width, tableAt, tagEnd, tag);
            height += flow.cy;
            widest = std::max<int64_t>(widest, flow.cx);
            if (tableAt >= end) break;
            TableExtent extent = FindTableEnd(m_text, tagEnd, end);
            Size table = Table(tag, tagEnd, extent.innerEnd, x, y + height, width, depth);
            height += table.cy;
            widest = std::max<int64_t>(widest, table.cx);
            pos = extent.end;
        }
        return Size{Clamp(widest), Clamp(height)};
    }

    // The attributes of "table", "tr" and "td" tags; width (a length or a share of the
    // available width) comes back apart.
    void TableAttributes(const Tag& tag, int64_t available, int64_t& width, bool& hasWidth) {
        const ColourTable& colours = m_layout.m_colours;
        Style& s = m_style;
        for (size_t i = 1; i < tag.attributes.size(); ++i) {
            const auto& [name, v] = tag.attributes[i];
            if (name == "border")
                s.borderWidth = std::max(0, ReadLength(v, s.borderWidth, m_units));
            else if (name == "borderstyle")
                s.borderStyle = ReadBorderStyle(v, s.borderStyle);
            else if (name == "bordercolor")
                s.borderLight = s.borderDark = ReadColour(v, s.borderLight, colours);
            else if (name == "bordercolorlight")
                s.borderLight = ReadColour(v, s.borderLight, colours);
            else if (name == "bordercolordark")
                s.borderDark = ReadColour(v, s.borderDark, colours);
            else if (name == "bgcolor")
                s.background = ReadColour(v, s.background, colours);
            else if (name == "bgmidcolor")
                s.backgroundMid = ReadColour(v, s.backgroundMid, colours);
            else if (name == "bgendcolor")
                s.backgroundEnd = ReadColour(v, s.backgroundEnd, colours);
            else if (name == "bgeffect")
                s.backgroundEffect = ReadEffect(v, s.backgroundEffect);
            else if (name == "align")
                s.align = ReadAlign(v, s.align);
            else if (name == "valign")
                s.valign = ReadVAlign(v, s.valign);
            else if (name == "cellpadding")
                for (int& p : s.padding)
                    p = ReadLength(v, p, m_units);
            else if (name == "cellspacing")
                for (int& m : s.margin)
                    m = ReadLength(v, m, m_units);
            else if (name == "background")
                s.backgroundPicture = v;
            else if (name == "width") {
                width = std::clamp<int64_t>(ReadLength(v, Clamp(available), m_units), 0, kMaxCoordinate);
                hasWidth = true;
            }
        }
    }

    // Saves the style like a tag, then applies the sheet's entry of that name and the attributes.
    void OpenTableTag(const char* name, const Tag& tag, int64_t available, int64_t& width, bool& hasWidth) {
        m_stack.Push(m_style, name);
        ApplyEntry(name);
        EnsureFont();
        TableAttributes(tag, available, width, hasWidth);
        EnsureFont();
    }

    void FillBox(const Rect& box, const Style& s) {
        if (s.backgroundEffect != -1)
            m_canvas.FillEffect(box, s.backgroundEffect, Col(s.background), Col(s.backgroundMid),
                                Col(s.backgroundEnd));
    }

    Size Table(const Tag& tableTag, size_t innerBegin, size_t innerEnd, int64_t x, int64_t y,
               int64_t available, int depth) {
        if (depth >= kMaxTableDepth) return Size{};
        size_t index = m_table++;
        if (!m_drawing && index >= m_layout.m_tables.size()) m_layout.m_tables.resize(index + 1);
        const Style saved = m_style;
        const size_t savedDepth = m_stack.Depth();
        const LinkState savedLink = m_link;

        int64_t width = 0;
        bool hasWidth = false;
        OpenTableTag("table", tableTag, available, width, hasWidth);
        const Style table = m_style;
        const size_t tableDepth = m_stack.Depth();
        const bool tableDouble = table.borderStyle == kPenDouble;
        const int64_t border = static_cast<int64_t>(table.borderWidth) * (tableDouble ? 3 : 1);

        std::vector<RowSpec> rows = ReadRows(m_text, innerBegin, innerEnd);
        const int columns = PlaceCells(rows);

        // The cells' styles, in the same order in both passes.
        auto forEachCell = [&](auto&& visit) {
            for (RowSpec& row : rows) {
                m_style = table;
                m_stack.Truncate(tableDepth);
                int64_t ignored = 0;
                bool ignoredHas = false;
                OpenTableTag("tr", row.tag, available, ignored, ignoredHas);
                const Style rowStyle = m_style;
                const size_t rowDepth = m_stack.Depth();
                for (CellSpec& cell : row.cells) {
                    if (!cell.placed) continue;
                    m_style = rowStyle;
                    m_stack.Truncate(rowDepth);
                    int64_t cellWidth = 0;
                    bool hasCellWidth = false;
                    OpenTableTag("td", cell.tag, available, cellWidth, hasCellWidth);
                    m_link = savedLink;
                    visit(cell, hasCellWidth ? cellWidth : 0);
                }
            }
        };

        Size result;
        if (!m_drawing) {
            TableRecord record;
            std::vector<Need> widths, heights;
            forEachCell([&](const CellSpec& cell, int64_t minWidth) {
                const Style s = m_style;
                Size content = Frame(cell.begin, cell.end, 0, 0, 0, depth + 1);
                record.cells.push_back(content);
                int64_t frame = s.borderStyle == kPenNone ? 0 : s.borderStyle == kPenDouble ? 6 : 2;
                auto side = [&s](int i) {
                    return std::max(0, s.padding[i]) + static_cast<int64_t>(std::max(0, s.margin[i]));
                };
                int64_t w = std::max<int64_t>(content.cx + side(0) + side(2) + frame, minWidth);
                int64_t h = content.cy + side(1) + side(3) + frame;
                widths.push_back(Need{cell.column, cell.colSpan, w});
                heights.push_back(Need{cell.row, cell.rowSpan, h});
            });
            record.columns = Distribute(static_cast<size_t>(columns), std::move(widths));
            record.rows = Distribute(rows.size(), std::move(heights));
            int64_t needW = Sum(record.columns) + 2 * border;
            if (hasWidth) needW = std::max(needW, width);
            record.need = Size{Clamp(needW), Clamp(Sum(record.rows) + 2 * border)};
            result = record.need;
            m_layout.m_tables[index] = std::move(record);
        } else if (index < m_layout.m_tables.size()) {
            const TableRecord& record = m_layout.m_tables[index];
            std::vector<int> cols = record.columns;
            const std::vector<int>& rowHeights = record.rows;
            int64_t sumW = Sum(cols);
            int64_t tableW = sumW + 2 * border;
            if (hasWidth) tableW = std::max(tableW, width);
            int64_t tableH = Sum(rowHeights) + 2 * border;
            int64_t left = x;
            if (tableW < available) {
                if (table.align == 2) left += available - tableW;
                if (table.align == 1) left += (available - tableW) / 2;
            }
            Rect box = MakeRect(left, y, left + tableW, y + tableH);
            if (table.backgroundEffect != -1)
                FillBox(box, table);
            else if (!table.backgroundPicture.empty() && m_layout.m_enabled)
                m_canvas.DrawBackgroundPicture(box, table.backgroundPicture);
            if (table.borderStyle != kPenNone && table.borderWidth > 0)
                m_canvas.DrawRectangle(box, Col(table.borderLight), Col(table.borderDark), table.borderStyle,
                                       table.borderWidth);
            int64_t innerLeft = left + border, innerTop = y + border;
            int64_t excess = tableW - 2 * border - sumW;
            if (excess > 0 && !cols.empty()) {
                int64_t each = excess / static_cast<int64_t>(cols.size());
                for (int& c : cols)
                    c = Clamp(c + each);
                cols[0] = Clamp(cols[0] + excess % static_cast<int64_t>(cols.size()));
            }
            std::vector<int64_t> colX(cols.size() + 1, innerLeft), rowY(rowHeights.size() + 1, innerTop);
            for (size_t i = 0; i < cols.size(); ++i)
                colX[i + 1] = colX[i] + cols[i];
            for (size_t i = 0; i < rowHeights.size(); ++i)
                rowY[i + 1] = rowY[i] + rowHeights[i];
            size_t cellIndex = 0;
            forEachCell([&](const CellSpec& cell, int64_t) {
                Size content = cellIndex < record.cells.size() ? record.cells[cellIndex] : Size{};
                ++cellIndex;
                const Style s = m_style;
                size_t c0 = std::min(static_cast<size_t>(cell.column), cols.size());
                size_t c1 = std::min(c0 + static_cast<size_t>(cell.colSpan), cols.size());
                size_t r0 = std::min(static_cast<size_t>(cell.row), rowHeights.size());
                size_t r1 = std::min(r0 + static_cast<size_t>(cell.rowSpan), rowHeights.size());
                auto pad = [&s](int i) { return static_cast<int64_t>(std::max(0, s.padding[i])); };
                auto mar = [&s](int i) { return static_cast<int64_t>(std::max(0, s.margin[i])); };
                int64_t bl = colX[c0] + pad(0), bt = rowY[r0] + pad(1);
                int64_t br = std::max(bl, colX[c1] - pad(2)), bb = std::max(bt, rowY[r1] - pad(3));
                Rect cellBox = MakeRect(bl, bt, br, bb);
                FillBox(cellBox, s);
                int64_t inset = 0;
                if (s.borderStyle != kPenNone) {
                    m_canvas.DrawRectangle(cellBox, Col(s.borderLight), Col(s.borderDark), s.borderStyle, 1);
                    inset = s.borderStyle == kPenDouble ? 3 : 1;
                }
                int64_t cl = bl + inset + mar(0), ct = bt + inset + mar(1);
                int64_t cr = std::max(cl, br - inset - mar(2)), cb = std::max(ct, bb - inset - mar(3));
                int64_t free = std::max<int64_t>(0, (cb - ct) - content.cy);
                if (s.valign == 1) ct += free / 2;
                if (s.valign == 2) ct += free;
                Frame(cell.begin, cell.end, cl, ct, cr - cl, depth + 1);
            });
            result = Size{Clamp(tableW), Clamp(tableH)};
        }
        m_style = saved;
        m_stack.Truncate(savedDepth);
        m_link = savedLink;
        EnsureFont();
        return result;
    }

    Layout& m_layout;
    Canvas& m_canvas;
    const std::string& m_text;
    const bool m_drawing;
    const int64_t m_originX;
    const int64_t m_originY;
    Style m_style;
    StyleStack m_stack;
    FontMetrics m_font;
    Style m_fontStyle;
    bool m_fontValid = false;
    Units m_units;
    size_t m_line = 0;
    size_t m_table = 0;
    int m_linkCounter = -1;
    LinkState m_link;
};

Layout::Layout(const SystemColourSource& systemColour)
    : m_colours(systemColour), m_disabledColour(m_colours.System(kButtonShadowIndex)) {}

Size Layout::Prepare(Canvas& canvas, const std::string& text, int availableWidth) {
    m_text = text;
    m_availableWidth = std::max(0, availableWidth);
    m_lines.clear();
    m_tables.clear();
    m_hotAreas.clear();
    m_measured = Size{};
    if (m_text.empty()) return Size{};
    LayoutPass pass(*this, canvas, false, 0, 0);
    Size s = pass.Run(m_availableWidth);
    if (s.cx <= 0 && s.cy <= 0) {
        m_text.clear();
        m_lines.clear();
        m_tables.clear();
        return Size{1, 1};
    }
    m_measured = Size{std::max(0, s.cx), std::max(0, s.cy)};
    return Size{m_measured.cx + 1, m_measured.cy + 1};
}

void Layout::Draw(Canvas& canvas, const Rect& rect) {
    m_hotAreas.clear();
    if (m_text.empty()) return;
    LayoutPass pass(*this, canvas, true, rect.left, rect.top);
    pass.Run(rect.Width() > 0 ? rect.Width() : m_measured.cx);
}

int Layout::HitTest(int x, int y) const {
    for (size_t i = 0; i < m_hotAreas.size(); ++i)
        if (m_hotAreas[i].rect.Contains(x, y)) return static_cast<int>(i);
    return -1;
}

HoverResult Layout::MouseOver(int x, int y) {
    HoverResult r;
    int hit = m_enabled ? HitTest(x, y) : -1;
    if (hit >= 0) {
        const HotArea& area = m_hotAreas[static_cast<size_t>(hit)];
        if (area.link != m_hoverLink) {
            m_hoverLink = area.link;
            r.notify = true;
            r.link = area.link;
            r.hasText = true;
            r.text = area.text;
        }
        r.hand = !area.text.empty();
    } else if (m_hoverLink != kNoLink) {
        m_hoverLink = kNoLink;
        r.notify = true;
        r.link = kNoLink;
    }
    return r;
}

ClickResult Layout::Click(int x, int y) const {
    ClickResult r;
    int hit = m_enabled ? HitTest(x, y) : -1;
    if (hit < 0) return r;
    const HotArea& area = m_hotAreas[static_cast<size_t>(hit)];
    if (area.text.empty()) return r;
    r.kind = area.kind;
    r.text = area.text;
    return r;
}

namespace {

// One argument as the C runtime's command-line splitting reads it back.
std::string QuoteArgument(const std::string& text) {
    std::string out = "\"";
    size_t backslashes = 0;
    for (char c : text) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"') backslashes = backslashes * 2 + 1;
        out.append(backslashes, '\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, '\\');
    out += '"';
    return out;
}

} // namespace

std::string HandlerCommandLine(const std::string& command, const std::string& linkText) {
    std::string base = command;
    size_t placeholder = base.find("%1");
    if (placeholder != std::string::npos) {
        size_t cut = placeholder > 0 && base[placeholder - 1] == '"' ? placeholder - 1 : placeholder;
        base.erase(cut);
    }
    while (!base.empty() && IsBlank(base.back()))
        base.pop_back();
    size_t first = base.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return std::string();
    return base.substr(first) + " " + QuoteArgument(linkText);
}

} // namespace html
