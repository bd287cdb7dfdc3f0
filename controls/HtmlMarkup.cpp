#include "controls/HtmlMarkup.h"
#include "common/TextChars.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <limits>
#include <unordered_map>

namespace html {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsAlnum(char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char Lower(char c) { return vorlan::TextLower(c); }

char Upper(char c) { return vorlan::TextUpper(c); }

std::string LowerCase(std::string s) {
    for (char& c : s)
        c = Lower(c);
    return s;
}

std::string Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b]))
        ++b;
    while (e > b && IsBlank(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

// Lengths beyond any surface are clamped, so sums of many of them stay within an int.
constexpr int64_t kMaxLength = 1 << 20;

int ClampLength(int64_t v) {
    return static_cast<int>(std::clamp<int64_t>(v, -kMaxLength, kMaxLength));
}

// Digits in the base the prefix gives; false without any. The value saturates.
bool ReadNumber64(const std::string& text, uint64_t& value) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    if (i >= text.size() || !IsDigit(text[i])) return false;
    unsigned base = 10;
    if (text[i] == '0') {
        if (i + 2 < text.size() && (text[i + 1] == 'x' || text[i + 1] == 'X') &&
            std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
            base = 16;
            i += 2;
        } else {
            base = 8;
        }
    }
    uint64_t v = 0;
    const uint64_t max = std::numeric_limits<uint64_t>::max();
    for (; i < text.size(); ++i) {
        char c = text[i];
        unsigned d;
        if (IsDigit(c))
            d = static_cast<unsigned>(c - '0');
        else if (c >= 'a' && c <= 'f')
            d = static_cast<unsigned>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F')
            d = static_cast<unsigned>(c - 'A' + 10);
        else
            break;
        if (d >= base) break;
        v = v > (max - d) / base ? max : v * base + d;
    }
    value = v;
    return true;
}

const std::unordered_map<std::string, TagInfo>& TagTable() {
    static const std::unordered_map<std::string, TagInfo> table = [] {
        std::unordered_map<std::string, TagInfo> t;
        auto add = [&t](const char* name, int code, const char* stack) { t[name] = TagInfo{code, stack}; };
        add("b", kTagBold, "bold");
        add("i", kTagItalic, "italic");
        add("em", kTagItalic, "italic");
        add("u", kTagUnderline, "underline");
        add("s", kTagStrikeout, "strikeout");
        add("strike", kTagStrikeout, "strikeout");
        add("font", kTagFont, "font");
        add("hr", kTagRule, nullptr);
        add("br", kTagBreak, nullptr);
        add("t", kTagTab, nullptr);
        add("left", kTagLeft, "left");
        add("center", kTagCenter, "center");
        add("right", kTagRight, "right");
        add("baseline", kTagBaseline, "baseline");
        add("top", kTagTop, "top");
        add("vcenter", kTagVCenter, "vcenter");
        add("middle", kTagVCenter, "vcenter");
        add("bottom", kTagBottom, "bottom");
        add("bmp", kTagBitmap, nullptr);
        add("icon", kTagIcon, nullptr);
        add("ilst", kTagImageList, nullptr);
        add("string", kTagString, nullptr);
        for (const char* own :
             {"body", "h1", "h2", "h3", "h4", "h5", "h6", "code", "pre", "big", "small", "sub", "sup"})
            add(own, kTagStyled, own);
        add("span", kTagSpan, "span");
        add("a", kTagLink, "link");
        return t;
    }();
    return table;
}

struct NamedColour {
    const char* name;
    Colour value;
};

// CSS values, except "darkseagreen", whose blue is 8B here.
constexpr NamedColour kNamedColours[] = {
    {"aqua", Rgb(0x00, 0xFF, 0xFF)},
    {"black", Rgb(0x00, 0x00, 0x00)},
    {"blue", Rgb(0x00, 0x00, 0xFF)},
    {"brown", Rgb(0xA5, 0x2A, 0x2A)},
    {"cyan", Rgb(0x00, 0xFF, 0xFF)},
    {"gold", Rgb(0xFF, 0xD7, 0x00)},
    {"gray", Rgb(0x80, 0x80, 0x80)},
    {"green", Rgb(0x00, 0x80, 0x00)},
    {"magenta", Rgb(0xFF, 0x00, 0xFF)},
    {"maroon", Rgb(0x80, 0x00, 0x00)},
    {"navy", Rgb(0x00, 0x00, 0x80)},
    {"olive", Rgb(0x80, 0x80, 0x00)},
    {"orange", Rgb(0xFF, 0xA5, 0x00)},
    {"pink", Rgb(0xFF, 0xC0, 0xCB)},
    {"purple", Rgb(0x80, 0x00, 0x80)},
    {"red", Rgb(0xFF, 0x00, 0x00)},
    {"silver", Rgb(0xC0, 0xC0, 0xC0)},
    {"snow", Rgb(0xFF, 0xFA, 0xFA)},
    {"violet", Rgb(0xEE, 0x82, 0xEE)},
    {"white", Rgb(0xFF, 0xFF, 0xFF)},
    {"yellow", Rgb(0xFF, 0xFF, 0x00)},
    {"aliceblue", Rgb(0xF0, 0xF8, 0xFF)},
    {"antiquewhite", Rgb(0xFA, 0xEB, 0xD7)},
    {"aquamarine", Rgb(0x7F, 0xFF, 0xD4)},
    {"azure", Rgb(0xF0, 0xFF, 0xFF)},
    {"beige", Rgb(0xF5, 0xF5, 0xDC)},
    {"bisque", Rgb(0xFF, 0xE4, 0xC4)},
    {"blanchedalmond", Rgb(0xFF, 0xEB, 0xCD)},
    {"blueviolet", Rgb(0x8A, 0x2B, 0xE2)},
    {"burlywood", Rgb(0xDE, 0xB8, 0x87)},
    {"cadetblue", Rgb(0x5F, 0x9E, 0xA0)},
    {"chartreuse", Rgb(0x7F, 0xFF, 0x00)},
    {"chocolate", Rgb(0xD2, 0x69, 0x1E)},
    {"coral", Rgb(0xFF, 0x7F, 0x50)},
    {"cornflowerblue", Rgb(0x64, 0x95, 0xED)},
    {"cornsilk", Rgb(0xFF, 0xF8, 0xDC)},
    {"crimson", Rgb(0xDC, 0x14, 0x3C)},
    {"darkblue", Rgb(0x00, 0x00, 0x8B)},
    {"darkcyan", Rgb(0x00, 0x8B, 0x8B)},
    {"darkgoldenrod", Rgb(0xB8, 0x86, 0x0B)},
    {"darkgray", Rgb(0xA9, 0xA9, 0xA9)},
    {"darkgreen", Rgb(0x00, 0x64, 0x00)},
    {"darkkhaki", Rgb(0xBD, 0xB7, 0x6B)},
    {"darkmagenta", Rgb(0x8B, 0x00, 0x8B)},
    {"darkolivegreen", Rgb(0x55, 0x6B, 0x2F)},
    {"darkorange", Rgb(0xFF, 0x8C, 0x00)},
    {"darkorchid", Rgb(0x99, 0x32, 0xCC)},
    {"darkred", Rgb(0x8B, 0x00, 0x00)},
    {"darksalmon", Rgb(0xE9, 0x96, 0x7A)},
    {"darkseagreen", Rgb(0x8F, 0xBC, 0x8B)},
    {"darkslateblue", Rgb(0x48, 0x3D, 0x8B)},
    {"darkslategray", Rgb(0x2F, 0x4F, 0x4F)},
    {"darkturquoise", Rgb(0x00, 0xCE, 0xD1)},
    {"darkviolet", Rgb(0x94, 0x00, 0xD3)},
    {"deeppink", Rgb(0xFF, 0x14, 0x93)},
    {"deepskyblue", Rgb(0x00, 0xBF, 0xFF)},
    {"dimgray", Rgb(0x69, 0x69, 0x69)},
    {"dodgerblue", Rgb(0x1E, 0x90, 0xFF)},
    {"firebrick", Rgb(0xB2, 0x22, 0x22)},
    {"floralwhite", Rgb(0xFF, 0xFA, 0xF0)},
    {"forestgreen", Rgb(0x22, 0x8B, 0x22)},
    {"fuchsia", Rgb(0xFF, 0x00, 0xFF)},
    {"gainsboro", Rgb(0xDC, 0xDC, 0xDC)},
    {"ghostwhite", Rgb(0xF8, 0xF8, 0xFF)},
    {"goldenrod", Rgb(0xDA, 0xA5, 0x20)},
    {"greenyellow", Rgb(0xAD, 0xFF, 0x2F)},
    {"honeydew", Rgb(0xF0, 0xFF, 0xF0)},
    {"hotpink", Rgb(0xFF, 0x69, 0xB4)},
    {"indianred", Rgb(0xCD, 0x5C, 0x5C)},
    {"indigo", Rgb(0x4B, 0x00, 0x82)},
    {"ivory", Rgb(0xFF, 0xFF, 0xF0)},
    {"khaki", Rgb(0xF0, 0xE6, 0x8C)},
    {"lavender", Rgb(0xE6, 0xE6, 0xFA)},
    {"lavenderblush", Rgb(0xFF, 0xF0, 0xF5)},
    {"lawngreen", Rgb(0x7C, 0xFC, 0x00)},
    {"lemonchiffon", Rgb(0xFF, 0xFA, 0xCD)},
    {"lightblue", Rgb(0xAD, 0xD8, 0xE6)},
    {"lightcoral", Rgb(0xF0, 0x80, 0x80)},
    {"lightcyan", Rgb(0xE0, 0xFF, 0xFF)},
    {"lightgoldenrodyellow", Rgb(0xFA, 0xFA, 0xD2)},
    {"lightgreen", Rgb(0x90, 0xEE, 0x90)},
    {"lightgrey", Rgb(0xD3, 0xD3, 0xD3)},
    {"lightpink", Rgb(0xFF, 0xB6, 0xC1)},
    {"lightsalmon", Rgb(0xFF, 0xA0, 0x7A)},
    {"lightseagreen", Rgb(0x20, 0xB2, 0xAA)},
    {"lightskyblue", Rgb(0x87, 0xCE, 0xFA)},
    {"lightslategray", Rgb(0x77, 0x88, 0x99)},
    {"lightsteelblue", Rgb(0xB0, 0xC4, 0xDE)},
    {"lightyellow", Rgb(0xFF, 0xFF, 0xE0)},
    {"lime", Rgb(0x00, 0xFF, 0x00)},
    {"limegreen", Rgb(0x32, 0xCD, 0x32)},
    {"linen", Rgb(0xFA, 0xF0, 0xE6)},
    {"mediumaquamarine", Rgb(0x66, 0xCD, 0xAA)},
    {"mediumblue", Rgb(0x00, 0x00, 0xCD)},
    {"mediumorchid", Rgb(0xBA, 0x55, 0xD3)},
    {"mediumpurple", Rgb(0x93, 0x70, 0xDB)},
    {"mediumseagreen", Rgb(0x3C, 0xB3, 0x71)},
    {"mediumslateblue", Rgb(0x7B, 0x68, 0xEE)},
    {"mediumspringgreen", Rgb(0x00, 0xFA, 0x9A)},
    {"mediumturquoise", Rgb(0x48, 0xD1, 0xCC)},
    {"mediumvioletred", Rgb(0xC7, 0x15, 0x85)},
    {"midnightblue", Rgb(0x19, 0x19, 0x70)},
    {"mintcream", Rgb(0xF5, 0xFF, 0xFA)},
    {"mistyrose", Rgb(0xFF, 0xE4, 0xE1)},
    {"moccasin", Rgb(0xFF, 0xE4, 0xB5)},
    {"navajowhite", Rgb(0xFF, 0xDE, 0xAD)},
    {"oldlace", Rgb(0xFD, 0xF5, 0xE6)},
    {"olivedrab", Rgb(0x6B, 0x8E, 0x23)},
    {"orangered", Rgb(0xFF, 0x45, 0x00)},
    {"orchid", Rgb(0xDA, 0x70, 0xD6)},
    {"palegoldenrod", Rgb(0xEE, 0xE8, 0xAA)},
    {"palegreen", Rgb(0x98, 0xFB, 0x98)},
    {"paleturquoise", Rgb(0xAF, 0xEE, 0xEE)},
    {"palevioletred", Rgb(0xDB, 0x70, 0x93)},
    {"papayawhip", Rgb(0xFF, 0xEF, 0xD5)},
    {"peachpuff", Rgb(0xFF, 0xDA, 0xB9)},
    {"peru", Rgb(0xCD, 0x85, 0x3F)},
    {"plum", Rgb(0xDD, 0xA0, 0xDD)},
    {"powderblue", Rgb(0xB0, 0xE0, 0xE6)},
    {"rosybrown", Rgb(0xBC, 0x8F, 0x8F)},
    {"royalblue", Rgb(0x41, 0x69, 0xE1)},
    {"saddlebrown", Rgb(0x8B, 0x45, 0x13)},
    {"salmon", Rgb(0xFA, 0x80, 0x72)},
    {"sandybrown", Rgb(0xF4, 0xA4, 0x60)},
    {"seagreen", Rgb(0x2E, 0x8B, 0x57)},
    {"seashell", Rgb(0xFF, 0xF5, 0xEE)},
    {"sienna", Rgb(0xA0, 0x52, 0x2D)},
    {"skyblue", Rgb(0x87, 0xCE, 0xEB)},
    {"slateblue", Rgb(0x6A, 0x5A, 0xCD)},
    {"slategray", Rgb(0x70, 0x80, 0x90)},
    {"springgreen", Rgb(0x00, 0xFF, 0x7F)},
    {"steelblue", Rgb(0x46, 0x82, 0xB4)},
    {"tan", Rgb(0xD2, 0xB4, 0x8C)},
    {"teal", Rgb(0x00, 0x80, 0x80)},
    {"thistle", Rgb(0xD8, 0xBF, 0xD8)},
    {"tomato", Rgb(0xFF, 0x63, 0x47)},
    {"turquoise", Rgb(0x40, 0xE0, 0xD0)},
    {"wheat", Rgb(0xF5, 0xDE, 0xB3)},
    {"whitesmoke", Rgb(0xF5, 0xF5, 0xF5)},
    {"yellowgreen", Rgb(0x9A, 0xCD, 0x32)},
};

const std::unordered_map<std::string, Colour>& NamedColourTable() {
    static const std::unordered_map<std::string, Colour> table = [] {
        std::unordered_map<std::string, Colour> t;
        for (const NamedColour& c : kNamedColours)
            t[c.name] = c.value;
        return t;
    }();
    return table;
}

bool TryColour(const std::string& raw, Colour& colour, const ColourTable& colours) {
    std::string value = Trim(raw);
    if (value.empty()) return false;
    if (value[0] == '#') {
        if (value.size() != 7) return false;
        uint32_t rgb = 0;
        for (size_t i = 1; i < 7; ++i) {
            int c = static_cast<unsigned char>(value[i]);
            if (!std::isxdigit(c)) return false;
            rgb = rgb << 4 |
                  static_cast<uint32_t>(IsDigit(static_cast<char>(c)) ? c - '0' : (c | 0x20) - 'a' + 10);
        }
        colour = Rgb(rgb >> 16, rgb >> 8, rgb);
        return true;
    }
    if (IsDigit(value[0])) {
        uint32_t v = 0;
        if (!ReadNumber(value, v)) return false;
        colour = v;
        return true;
    }
    return colours.Find(LowerCase(value), colour);
}

constexpr int kSizeStepPoints[7] = {8, 10, 12, 14, 18, 24, 36};

// "n" and its unit converted; false for an unknown unit or a missing number.
bool UnitLength(const std::string& number, const std::string& unit, bool negative, const Units& u,
                int64_t& out) {
    uint64_t n64 = 0;
    if (!ReadNumber64(number, n64)) return false;
    int64_t n = static_cast<int64_t>(std::min<uint64_t>(n64, kMaxLength));
    int64_t ppi = u.pixelsPerInch;
    if (unit == "px")
        out = negative ? -n : n;
    else if (unit == "ex")
        out = n * u.xHeight;
    else if (unit == "em")
        out = n * u.charHeight;
    else if (unit == "in")
        out = n * ppi;
    else if (unit == "cm")
        out = n * ppi * 100 / 254;
    else if (unit == "mm")
        out = n * ppi * 10 / 254;
    else if (unit == "pt")
        out = n * ppi / 72;
    else if (unit == "pc")
        out = n * ppi / 6;
    else
        return false;
    return true;
}

// A length by the rules of lengths; fontSize reads a plain 1 to 7 as a size step.
int Length(const std::string& raw, int def, const Units& units, bool fontSize) {
    std::string value = LowerCase(Trim(raw));
    if (value.empty()) return def;
    if (value.back() == '%') {
        uint64_t n = 0;
        if (!ReadNumber64(value.substr(0, value.size() - 1), n)) return def;
        int64_t share = static_cast<int64_t>(std::min<uint64_t>(n, kMaxLength));
        return ClampLength(share * def / 100);
    }
    bool negative = false;
    if (value[0] == '+' || value[0] == '-') {
        negative = value[0] == '-';
        value.erase(0, 1);
    }
    int64_t out = 0;
    if (value.size() > 2 &&
        UnitLength(value.substr(0, value.size() - 2), value.substr(value.size() - 2), negative, units, out))
        return ClampLength(out);
    uint64_t n = 0;
    if (!ReadNumber64(value, n)) return def;
    if (fontSize && n >= 1 && n <= 7)
        return ClampLength(static_cast<int64_t>(kSizeStepPoints[n - 1]) * units.pixelsPerInch / 72);
    return ClampLength(static_cast<int64_t>(std::min<uint64_t>(n, kMaxLength)));
}

} // namespace

TagInfo LookupTag(const std::string& name) {
    const auto& table = TagTable();
    auto it = table.find(name);
    return it == table.end() ? TagInfo{} : it->second;
}

bool Tag::Has(const std::string& attribute) const {
    for (const auto& a : attributes)
        if (a.first == attribute) return true;
    return false;
}

std::string Tag::Value(const std::string& attribute) const {
    for (const auto& a : attributes)
        if (a.first == attribute) return a.second;
    return std::string();
}

Tag ReadTag(const std::string& text) {
    Tag tag;
    size_t i = 0, n = text.size();
    while (i < n) {
        while (i < n && IsBlank(text[i]))
            ++i;
        if (i >= n) break;
        size_t b = i;
        while (i < n && !IsBlank(text[i]) && text[i] != '=')
            ++i;
        std::string name = LowerCase(text.substr(b, i - b));
        std::string value;
        size_t look = i;
        while (look < n && IsBlank(text[look]))
            ++look;
        if (look < n && text[look] == '=') {
            i = look + 1;
            while (i < n && IsBlank(text[i]))
                ++i;
            if (i < n && text[i] == '"') {
                size_t close = text.find('"', i + 1);
                if (close == std::string::npos) close = n;
                value = text.substr(i + 1, close - i - 1);
                i = close < n ? close + 1 : n;
            } else {
                b = i;
                while (i < n && !IsBlank(text[i]))
                    ++i;
                value = text.substr(b, i - b);
            }
        }
        if (tag.attributes.empty()) {
            if (!name.empty() && name[0] == '/') {
                tag.closing = true;
                name.erase(0, 1);
            }
            tag.name = name;
            tag.info = LookupTag(name);
        }
        tag.attributes.emplace_back(std::move(name), std::move(value));
    }
    return tag;
}

MarkupCursor::MarkupCursor(const std::string& text, size_t from, size_t to)
    : m_text(text), m_pos(std::min(from, text.size())), m_end(std::min(to, text.size())) {
    if (m_pos > m_end) m_pos = m_end;
}

void MarkupCursor::Seek(size_t pos) {
    m_pos = std::min(pos, m_end);
}

bool MarkupCursor::Next(Piece& piece) {
    if (m_pos >= m_end) return false;
    piece.begin = m_pos;
    piece.text.clear();
    char c = m_text[m_pos];
    if (c == '\n' || c == '\t' || c == '\r') {
        piece.kind = Piece::TagText;
        piece.text = c == '\n' ? "br" : c == '\t' ? "t" : "";
        piece.end = ++m_pos;
        return true;
    }
    if (c == '<' && !(m_pos + 1 < m_end && m_text[m_pos + 1] == '<')) {
        size_t close = m_text.find('>', m_pos + 1);
        if (close == std::string::npos || close >= m_end) close = m_end;
        piece.kind = Piece::TagText;
        piece.text = m_text.substr(m_pos + 1, close - m_pos - 1);
        m_pos = close < m_end ? close + 1 : m_end;
        piece.end = m_pos;
        return true;
    }
    piece.kind = Piece::Run;
    while (m_pos < m_end) {
        c = m_text[m_pos];
        if (c == '\n' || c == '\t' || c == '\r') break;
        if (c == '<') {
            if (m_pos + 1 < m_end && m_text[m_pos + 1] == '<') {
                piece.text += '<';
                m_pos += 2;
                continue;
            }
            break;
        }
        size_t stop = m_pos;
        while (stop < m_end && m_text[stop] != '<' && m_text[stop] != '\n' && m_text[stop] != '\t' &&
               m_text[stop] != '\r')
            ++stop;
        piece.text.append(m_text, m_pos, stop - m_pos);
        m_pos = stop;
    }
    piece.end = m_pos;
    return true;
}

std::vector<Piece> CutText(const std::string& text) {
    std::vector<Piece> pieces;
    MarkupCursor cursor(text);
    Piece p;
    while (cursor.Next(p))
        pieces.push_back(p);
    return pieces;
}

int RepeatCount(const std::string& value) {
    uint32_t n = 0;
    if (!ReadNumber(value, n) || n < 1) return 1;
    return static_cast<int>(std::min<uint32_t>(n, kMaxRepeat));
}

const SystemColourName kSystemColours[kSystemColourCount] = {
    {"activeborder", 10},   {"activecaption", 2},    {"appworkspace", 12},
    {"background", 1},      {"buttonface", 15},      {"buttonhighlight", 20},
    {"buttonshadow", 16},   {"buttontext", 18},      {"captiontext", 9},
    {"graytext", 17},       {"highlight", 13},       {"highlighttext", 14},
    {"inactiveborder", 11}, {"inactivecaption", 3},  {"inactivecaptiontext", 19},
    {"infobackground", 24}, {"infotext", 23},        {"menu", 4},
    {"menutext", 7},        {"scrollbar", 0},        {"threeddarkshadow", 21},
    {"threedface", 15},     {"threedhighlight", 20}, {"threedlightshadow", 22},
    {"threedshadow", 16},   {"window", 5},           {"windowframe", 6},
    {"windowtext", 8},
};

ColourTable::ColourTable(const SystemColourSource& systemColour) {
    for (const SystemColourName& s : kSystemColours) {
        bool known = false;
        for (const auto& e : m_system)
            known = known || e.first == s.index;
        if (!known) m_system.emplace_back(s.index, systemColour ? systemColour(s.index) : 0);
    }
}

Colour ColourTable::System(int index) const {
    for (const auto& e : m_system)
        if (e.first == index) return e.second;
    return 0;
}

bool ColourTable::Find(const std::string& name, Colour& colour) const {
    const auto& named = NamedColourTable();
    auto it = named.find(name);
    if (it != named.end()) {
        colour = it->second;
        return true;
    }
    for (const SystemColourName& s : kSystemColours)
        if (name == s.name) {
            colour = System(s.index);
            return true;
        }
    return false;
}

void StyleStack::Push(const Style& style, const char* name) {
    m_saved.push_back(style);
    m_saved.back().stack = name ? name : "";
}

bool StyleStack::Pop(const char* name, Style& style) {
    if (!name || m_saved.empty() || m_saved.back().stack != name) return false;
    style = std::move(m_saved.back());
    m_saved.pop_back();
    return true;
}

const char* StyleSheet::DefaultText() {
    return "body {font-size: 40pt; color:black; font-family:Verdana}\r\n"
           "p {font-size: 10pt; color:black; font-family:Verdana; font-weight:bold}\r\n"
           "h1 {font-size: 14pt; color:black; font-family:Verdana; font-weight:bold}\r\n"
           "h2 {font-size: 13pt; color:#ff9900; font-family:Verdana; font-weight:bold}\r\n"
           "h3 {font-size: 12pt; color:#ff9900; font-family:Arial; font-weight:bold}\r\n"
           "h4 {font-size: 10pt; color:black; font-family:Verdana; font-weight:bold}\r\n"
           "h5 {font-size: 9pt; color:#ff9900; font-family:Verdana; font-weight:bold}\r\n"
           "h6 {font-size: 65%; color:#626262; font-family:Verdana; font-weight:normal}\r\n"
           "pre {font-size: 9pt; font-family:\"Courier\"; background-color:#fbedbb}\r\n"
           "code {color:#990000; font-family:Arial}\r\n"
           "a:link {text-decoration:none; color:blue}\r\n"
           "a:hover {text-decoration:underline; color:blue}\r\n"
           "sub {font-size:65%; vertical-align:bottom}\r\n"
           "sup {font-size:65%; vertical-align:top}\r\n"
           "big {font-size:125%}\r\n"
           "small {font-size:75%}\r\n"
           ".cpp-comment {color:green; font-style:italic}\r\n"
           ".sup {font-size:65%; }\r\n";
}

StyleSheet::StyleSheet() {
    Set(std::string());
}

void StyleSheet::Set(const std::string& text) {
    m_entries.clear();
    m_text = text.empty() ? DefaultText() : text;
    const std::string& t = m_text;
    size_t i = 0, n = t.size();
    while (i < n) {
        while (i < n && !IsAlnum(t[i]) && t[i] != '.')
            ++i;
        if (i >= n) break;
        size_t b = i;
        while (i < n && !IsBlank(t[i]) && t[i] != '{')
            ++i;
        std::string selector = LowerCase(t.substr(b, i - b));
        size_t open = t.find('{', i);
        if (open == std::string::npos) break;
        size_t close = t.find('}', open + 1);
        if (close == std::string::npos) close = n;
        m_entries[selector] = t.substr(open + 1, close - open - 1);
        i = close < n ? close + 1 : n;
    }
}

void StyleSheet::SetEntry(const std::string& selector, const std::string& properties) {
    m_entries[LowerCase(selector)] = properties;
}

const std::string* StyleSheet::Find(const std::string& selector) const {
    auto it = m_entries.find(selector);
    return it == m_entries.end() ? nullptr : &it->second;
}

bool ReadNumber(const std::string& text, uint32_t& value) {
    uint64_t v = 0;
    if (!ReadNumber64(text, v)) return false;
    value = static_cast<uint32_t>(std::min<uint64_t>(v, std::numeric_limits<uint32_t>::max()));
    return true;
}

Colour ReadColour(const std::string& value, Colour previous, const ColourTable& colours) {
    Colour c = previous;
    return TryColour(value, c, colours) ? c : previous;
}

int ReadLength(const std::string& value, int def, const Units& units) {
    return Length(value, def, units, false);
}

int ReadFontSize(const std::string& value, int current, const Units& units) {
    return Length(value, current, units, true);
}

int ReadEffect(const std::string& raw, int def) {
    static const char* const kNames[] = {"solid",      "hgradient",  "vgradient",  "hcgradient",
                                         "vcgradient", "3hgradient", "3vgradient", "noise",
                                         "diagshade",  "hshade",     "vshade",     "hbump",
                                         "vbump",      "softbump",   "hardbump",   "metal"};
    std::string value = LowerCase(Trim(raw));
    if (value.empty()) return def;
    if (value == "transparent") return -1;
    for (int i = 0; i < 16; ++i)
        if (value == kNames[i]) return i;
    bool negative = value[0] == '-';
    uint32_t n = 0;
    if (!ReadNumber(negative ? value.substr(1) : value, n)) return def;
    int64_t v = negative ? -static_cast<int64_t>(n) : static_cast<int64_t>(n);
    return static_cast<int>(std::clamp<int64_t>(v, -1, 1000));
}

int ReadWeight(const std::string& raw, int def) {
    std::string value = LowerCase(Trim(raw));
    if (value == "normal") return 400;
    if (value == "bold") return 700;
    if (value == "bolder") return 900;
    if (value == "lighter") return 100;
    uint32_t n = 0;
    if (!ReadNumber(value, n)) return def;
    return static_cast<int>(std::min<uint32_t>(n, 1000));
}

int ReadBorderStyle(const std::string& raw, int def) {
    std::string value = LowerCase(Trim(raw));
    if (value == "none") return kPenNone;
    if (value == "solid") return kPenSolid;
    if (value == "dashed") return kPenDashed;
    if (value == "dotted") return kPenDotted;
    if (value == "double") return kPenDouble;
    return def;
}

int ReadAlign(const std::string& raw, int def) {
    std::string value = LowerCase(Trim(raw));
    if (value == "left") return 0;
    if (value == "center") return 1;
    if (value == "right") return 2;
    return def;
}

int ReadVAlign(const std::string& raw, int def) {
    std::string value = LowerCase(Trim(raw));
    if (value == "top") return 0;
    if (value == "middle" || value == "vcenter") return 1;
    if (value == "bottom") return 2;
    if (value == "baseline") return 3;
    return def;
}

std::vector<std::pair<std::string, std::string>> ReadProperties(const std::string& list) {
    std::vector<std::pair<std::string, std::string>> out;
    size_t i = 0, n = list.size();
    while (i < n) {
        while (i < n && !IsAlnum(list[i]) && list[i] != '.')
            ++i;
        if (i >= n) break;
        size_t colon = list.find(':', i);
        if (colon == std::string::npos) break;
        std::string name = LowerCase(Trim(list.substr(i, colon - i)));
        i = colon + 1;
        while (i < n && IsBlank(list[i]))
            ++i;
        std::string value;
        if (i < n && list[i] == '"') {
            size_t close = list.find('"', i + 1);
            if (close == std::string::npos) close = n;
            value = list.substr(i + 1, close - i - 1);
            i = close < n ? close + 1 : n;
            size_t semi = list.find(';', i);
            i = semi == std::string::npos ? n : semi + 1;
        } else {
            size_t semi = list.find(';', i);
            if (semi == std::string::npos) semi = n;
            value = Trim(list.substr(i, semi - i));
            i = semi < n ? semi + 1 : n;
        }
        out.emplace_back(std::move(name), std::move(value));
    }
    return out;
}

void ApplyProperties(Style& style, const std::string& list, const ColourTable& colours, const Units& units) {
    for (const auto& [name, value] : ReadProperties(list)) {
        std::string lower = LowerCase(value);
        if (name == "font-size") {
            style.fontHeight = ReadFontSize(value, style.fontHeight, units);
        } else if (name == "font-family") {
            // A LOGFONT face holds 31 characters.
            if (!value.empty()) style.face = value.substr(0, 31);
        } else if (name == "font-style") {
            if (lower == "normal") style.italic = false;
            if (lower == "italic" || lower == "oblique") style.italic = true;
        } else if (name == "font-weight") {
            style.weight = ReadWeight(value, style.weight);
        } else if (name == "text-align") {
            style.align = ReadAlign(value, style.align);
        } else if (name == "text-transform") {
            if (lower == "none") style.transform = 0;
            if (lower == "uppercase") style.transform = 1;
            if (lower == "lowercase") style.transform = 2;
            if (lower == "capitalize") style.transform = 3;
        } else if (name == "color") {
            style.text = ReadColour(value, style.text, colours);
        } else if (name == "background-color") {
            Colour c = style.background;
            if (lower.empty() || lower == "transparent") {
                style.backgroundMode = 1;
            } else if (TryColour(value, c, colours)) {
                style.background = c;
                style.backgroundMode = 2;
            }
        } else if (name == "text-decoration") {
            size_t b = 0;
            while (b < lower.size()) {
                size_t e = lower.find_first_of(" ,\t", b);
                if (e == std::string::npos) e = lower.size();
                std::string word = lower.substr(b, e - b);
                if (word == "none") style.underline = style.strikeout = style.overline = false;
                if (word == "underline") style.underline = true;
                if (word == "line-through") style.strikeout = true;
                if (word == "overline") style.overline = true;
                b = e + 1;
            }
        } else if (name == "vertical-align") {
            style.valign = ReadVAlign(value, style.valign);
        } else if (name == "border-color") {
            Colour c = style.borderLight;
            if (TryColour(value, c, colours)) style.borderLight = style.borderDark = c;
        } else if (name == "border-width" || name == "size") {
            if (lower == "thin")
                style.borderWidth = style.borderWidth * 3 / 4;
            else if (lower == "thick")
                style.borderWidth = ClampLength(static_cast<int64_t>(style.borderWidth) * 5 / 4);
            else if (lower != "medium")
                style.borderWidth = ReadLength(value, style.borderWidth, units);
        } else if (name == "border-style") {
            style.borderStyle = ReadBorderStyle(value, style.borderStyle);
        } else {
            static const char* const kSides[4] = {"left", "top", "right", "bottom"};
            for (int s = 0; s < 4; ++s) {
                if (name == std::string("margin-") + kSides[s])
                    style.margin[s] = ReadLength(value, style.margin[s], units);
                if (name == std::string("padding-") + kSides[s])
                    style.padding[s] = ReadLength(value, style.padding[s], units);
            }
        }
    }
}

void ApplyFontStyleLetters(Style& style, const std::string& letters) {
    bool on = true;
    for (char c : letters) {
        switch (Lower(c)) {
        case '-': on = false; continue;
        case '+': on = true; continue;
        case 'b': style.weight = on ? 700 : 400; break;
        case 'i': style.italic = on; break;
        case 'u': style.underline = on; break;
        case 's': style.strikeout = on; break;
        case 'o': style.overline = on; break;
        default: break;
        }
        on = true;
    }
}

std::string Transform(const std::string& run, int transform) {
    std::string out = run;
    switch (transform) {
    case 1:
        for (char& c : out)
            c = Upper(c);
        break;
    case 2:
        for (char& c : out)
            c = Lower(c);
        break;
    case 3:
        for (size_t i = 0; i < out.size(); ++i)
            if (i == 0 || out[i - 1] == ' ') out[i] = Upper(out[i]);
        break;
    default: break;
    }
    return out;
}

Picture ReadPicture(const Tag& tag, const ColourTable& colours, const Units& units) {
    Picture p;
    p.kind = tag.info.code;
    uint32_t n = 0;
    if (tag.Has("idres") && ReadNumber(tag.Value("idres"), n)) {
        p.hasIdres = true;
        p.idres = n;
    }
    if (tag.Has("iddll") && ReadNumber(tag.Value("iddll"), n)) {
        p.hasIddll = true;
        p.iddll = n;
    }
    uint64_t h = 0;
    if (tag.Has("handle") && ReadNumber64(tag.Value("handle"), h)) {
        p.hasHandle = true;
        p.handle = h;
    }
    p.file = tag.Value("file");
    p.srcdll = tag.Value("srcdll");
    p.mask = ReadColour(tag.Value("mask"), p.mask, colours);
    if (ReadNumber(tag.Value("index"), n)) p.index = n;
    p.cx = std::max(0, ReadLength(tag.Value("cx"), 0, units));
    p.cy = std::max(0, ReadLength(tag.Value("cy"), 0, units));
    p.style = tag.Value("style");
    p.hotstyle = tag.Value("hotstyle");
    p.width = tag.Value("width");
    p.height = tag.Value("height");
    return p;
}

BackgroundPicture ReadBackgroundPicture(const std::string& description) {
    BackgroundPicture b;
    if (description.size() < 6) return b;
    auto props = ReadProperties(description);
    if (props.empty()) return b;
    const auto& [name, value] = props.front();
    uint32_t n = 0;
    if (name == "idres" && ReadNumber(value, n)) {
        b.kind = BackgroundPicture::Resource;
        b.number = n;
    } else if (name == "iddll" && ReadNumber(value, n)) {
        b.kind = BackgroundPicture::Module;
        b.number = n;
    } else if (name == "file" && !value.empty()) {
        b.kind = BackgroundPicture::File;
        b.path = value;
    }
    return b;
}

} // namespace html
