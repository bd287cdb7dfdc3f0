#pragma once
// The markup language of form labels without Windows: cutting a text into runs and tags,
// the tag and colour tables, the style record, the style sheet, colours and lengths.
// Markup is never rejected: what does not parse is dropped or keeps the previous value.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace html {

// A colour in COLORREF byte order: low byte red, then green, then blue.
using Colour = uint32_t;

constexpr Colour Rgb(unsigned r, unsigned g, unsigned b) {
    return (r & 0xFFu) | (g & 0xFFu) << 8 | (b & 0xFFu) << 16;
}

struct Size {
    int cx = 0;
    int cy = 0;
};

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

// Tag codes.
enum TagCode {
    kTagUnknown = 0,
    kTagBold = 1,
    kTagItalic = 2,
    kTagUnderline = 3,
    kTagStrikeout = 4,
    kTagFont = 5,
    kTagRule = 6,
    kTagBreak = 7,
    kTagTab = 8,
    kTagLeft = 9,
    kTagCenter = 10,
    kTagRight = 11,
    kTagBaseline = 12,
    kTagTop = 13,
    kTagVCenter = 14,
    kTagBottom = 15,
    kTagBitmap = 16,
    kTagIcon = 17,
    kTagImageList = 18,
    kTagString = 19,
    kTagStyled = 20,
    kTagSpan = 21,
    kTagLink = 22,
};

struct TagInfo {
    int code = kTagUnknown;
    const char* stack = nullptr; // saved under this name; null saves nothing
};

// The table entry of a tag name (lower case); unknown names give code 0.
TagInfo LookupTag(const std::string& name);

// One tag as read from its text between "<" and ">".
struct Tag {
    std::string name; // lower case, without a closing "/"
    bool closing = false;
    TagInfo info;
    // In order; the tag's own name comes first, so "<br=2>" has ("br", "2").
    std::vector<std::pair<std::string, std::string>> attributes;

    bool Has(const std::string& attribute) const;
    // The value of the first attribute of that name (names compare without case), or "".
    std::string Value(const std::string& attribute) const;
};

Tag ReadTag(const std::string& text);

// A text run or a tag of a label text. Line feed, tab and carriage return come as the tags
// "br", "t" and "\r" (unknown, so dropped); "<<" is a literal "<" inside a run.
struct Piece {
    enum Kind { Run, TagText } kind = Run;
    std::string text;
    size_t begin = 0; // offset of the piece in the text
    size_t end = 0;   // offset just past it
};

class MarkupCursor {
  public:
    explicit MarkupCursor(const std::string& text, size_t from = 0, size_t to = std::string::npos);
    bool Next(Piece& piece);
    size_t Position() const { return m_pos; }
    // Continues at pos (within the cursor's range).
    void Seek(size_t pos);

  private:
    const std::string& m_text;
    size_t m_pos;
    size_t m_end;
};

// The whole text cut into pieces.
std::vector<Piece> CutText(const std::string& text);

// Counts given by "<br=N>" and "<t=N>" stay within this, so label text cannot loop for long.
constexpr int kMaxRepeat = 1000;
// A count attribute: below 1 (or unreadable) is 1, above kMaxRepeat is kMaxRepeat.
int RepeatCount(const std::string& value);

// Indexes of the Windows system colours (COLOR_...) the colour table asks for.
constexpr int kSystemColourCount = 28;
struct SystemColourName {
    const char* name;
    int index;
};
extern const SystemColourName kSystemColours[kSystemColourCount];

// The value of a system colour by its Windows index; the Windows side answers GetSysColor.
using SystemColourSource = std::function<Colour(int index)>;

class ColourTable {
  public:
    explicit ColourTable(const SystemColourSource& systemColour);
    // Named and system colours by name (lower case).
    bool Find(const std::string& name, Colour& colour) const;
    // A system colour by its Windows index; black for indexes the table does not know.
    Colour System(int index) const;

  private:
    std::vector<std::pair<int, Colour>> m_system;
};

// Pen types of lines and rectangles.
enum PenType { kPenNone = 0, kPenSolid = 1, kPenDashed = 2, kPenDotted = 3, kPenDouble = 6 };

// The state that tags and style entries change.
struct Style {
    int fontHeight = 16; // as a LOGFONT height: negative is a character height
    int weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;
    bool overline = false;
    std::string face = "Verdana";
    Colour text = 0x000000;
    Colour background = 0xFFFFFF;
    int backgroundMode = 1; // 1 transparent, 2 opaque
    int backgroundEffect = -1;
    Colour backgroundMid = 0xFFFFFF;
    Colour backgroundEnd = 0xFFFFFF;
    Colour borderLight = 0x000000;
    Colour borderDark = 0x000000;
    int borderStyle = kPenNone;
    int borderWidth = 0;
    int align = 0;                // 0 left, 1 centre, 2 right
    int valign = 3;               // 0 top, 1 centre, 2 bottom, 3 baseline
    int transform = 0;            // 0 none, 1 upper case, 2 lower case, 3 capitalise
    int margin[4] = {2, 2, 2, 2}; // left, top, right, bottom
    int padding[4] = {0, 0, 0, 0};
    std::string backgroundPicture;
    std::string stack; // name of the tag that saved this record
};

// Opening tags save the style under their stack name; a closing tag restores only the record
// saved last, and only when it carries the closer's name.
class StyleStack {
  public:
    void Push(const Style& style, const char* name);
    bool Pop(const char* name, Style& style);
    void Clear() { m_saved.clear(); }
    // Drops what was saved beyond depth.
    void Truncate(size_t depth) {
        if (depth < m_saved.size()) m_saved.resize(depth);
    }
    size_t Depth() const { return m_saved.size(); }

  private:
    std::vector<Style> m_saved;
};

// Selector (lower case) to property list.
class StyleSheet {
  public:
    StyleSheet();
    static const char* DefaultText();
    // Replaces every entry; an empty text loads the default sheet.
    void Set(const std::string& text);
    void SetEntry(const std::string& selector, const std::string& properties);
    // Null when there is no entry.
    const std::string* Find(const std::string& selector) const;
    const std::string& Text() const { return m_text; }

  private:
    std::map<std::string, std::string> m_entries;
    std::string m_text;
};

// What lengths are measured against: the surface and the current font.
struct Units {
    int pixelsPerInch = 96;
    int xHeight = 0;    // height of "x" in the current font
    int charHeight = 0; // character height of the current font
};

// Unsigned number with its base from its prefix ("0x" hexadecimal, "0" octal, else decimal);
// false when the text is not such a number. Large values are clamped.
bool ReadNumber(const std::string& text, uint32_t& value);

// A colour value; "previous" stays for empty, malformed "#" values and unknown names.
Colour ReadColour(const std::string& value, Colour previous, const ColourTable& colours);
// A length in device pixels; "def" for empty or unreadable values and the base of percentages.
int ReadLength(const std::string& value, int def, const Units& units);
// A font size as a LOGFONT height: a plain 1 to 7 is a size step, 8 and more pixels.
int ReadFontSize(const std::string& value, int current, const Units& units);
// Background effect by name or number; "def" for an empty value.
int ReadEffect(const std::string& value, int def);
// Font weight as "font-weight" reads it; "def" when unreadable.
int ReadWeight(const std::string& value, int def);
// Border style by name; "def" for unknown names.
int ReadBorderStyle(const std::string& value, int def);
// Horizontal alignment by name (left, center, right); "def" for others.
int ReadAlign(const std::string& value, int def);
// Vertical alignment by name (top, middle/vcenter, bottom, baseline); "def" for others.
int ReadVAlign(const std::string& value, int def);

// A property list in the style sheet's syntax, as name and value pairs (names lower case).
std::vector<std::pair<std::string, std::string>> ReadProperties(const std::string& list);

// Applies a property list to a style; unknown properties and unreadable values change nothing.
void ApplyProperties(Style& style, const std::string& list, const ColourTable& colours, const Units& units);

// The "style" letters of a "<font>" tag.
void ApplyFontStyleLetters(Style& style, const std::string& letters);

// The tag's own text transform of a run.
std::string Transform(const std::string& run, int transform);

// The attributes of a picture tag ("bmp", "icon", "ilst") as the Windows side loads it.
struct Picture {
    int kind = kTagBitmap;
    bool hasIdres = false;
    uint32_t idres = 0;
    bool hasIddll = false;
    uint32_t iddll = 0;
    bool hasHandle = false;
    uint64_t handle = 0;
    std::string file;
    std::string srcdll;
    Colour mask = 0xFF00FF;
    uint32_t index = 0;
    int cx = 0; // 0: the system icon size
    int cy = 0;
    std::string style;
    std::string hotstyle;
    std::string width; // a length; a percentage of the picture's own size
    std::string height;
};

Picture ReadPicture(const Tag& tag, const ColourTable& colours, const Units& units);

// A background picture description: one property "idres:N", "iddll:N" or "file:path".
struct BackgroundPicture {
    enum Kind { None, Resource, Module, File } kind = None;
    uint32_t number = 0;
    std::string path;
};
BackgroundPicture ReadBackgroundPicture(const std::string& description);

} // namespace html
