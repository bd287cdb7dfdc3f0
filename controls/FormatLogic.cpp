#include "controls/FormatLogic.h"

#include <cstdlib>
#include <cstring>

namespace richtext {

std::string DefaultFontLine() {
    return "W $G(^ZM(%DN,0,\"RTF-FORMAT\",\"FONT\"))";
}

std::string DefaultSizeLine() {
    return "W $G(^ZM(%DN,0,\"RTF-FORMAT\",\"SIZE\"))";
}

DefaultFont DefaultFontOf(const std::string& face, const std::string& size) {
    DefaultFont font;
    font.face = face.empty() ? "Times New Roman" : face;
    long points = SizeTextToTwips(size) / 20;
    font.height = (points == 0 ? 12 : points) * 20;
    return font;
}

long SizeTextToTwips(std::string_view text) {
    // As atoi: blanks, a sign, digits; anything else ends the number. Bounded so that the
    // product stays a long.
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        if (value < 100000) value = value * 10 + (text[i] - '0');
    return (negative ? -value : value) * 20;
}

Alignment AfterCentre(Alignment a) {
    if (a.centre) {
        a.left = a.right = false;
    } else {
        a.right = false;
        a.left = true;
    }
    return a;
}

Alignment AfterLeft(Alignment a) {
    a.centre = false;
    a.right = !a.left;
    return a;
}

Alignment AfterRight(Alignment a) {
    a.centre = false;
    a.left = !a.right;
    return a;
}

int ParagraphAlignment(Alignment a) {
    int alignment = 0;
    if (a.left) alignment = 1;
    if (a.centre) alignment = 3;
    if (a.right) alignment = 2;
    return alignment;
}

Alignment ButtonsOf(int alignment) {
    Alignment a;
    a.left = alignment == 1;
    a.right = alignment == 2;
    a.centre = alignment == 3;
    return a;
}

bool IsWordChar(unsigned char c) {
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
    // Code page 1252: Š Œ Ž š œ ž Ÿ, and the accented letters from À on except × and ÷.
    if (c == 0x8A || c == 0x8C || c == 0x8E || c == 0x9A || c == 0x9C || c == 0x9E || c == 0x9F) return true;
    if (c == 0xAA || c == 0xB5 || c == 0xBA) return true;
    return c >= 0xC0 && c != 0xD7 && c != 0xF7;
}

TabJump NextPlaceholder(std::string_view text, long caret) {
    TabJump jump;
    if (text.empty()) {
        jump.kind = TabJump::Swallow;
        return jump;
    }
    size_t from = caret < 0 ? 0 : static_cast<size_t>(caret);
    size_t at = from < text.size() ? text.find('@', from) : std::string_view::npos;
    if (at == std::string_view::npos) return jump;
    jump.kind = TabJump::Select;
    jump.at = static_cast<long>(at);
    jump.notify = at + 1 < text.size() && IsWordChar(static_cast<unsigned char>(text[at + 1]));
    return jump;
}

int StreamInFormat(int format, const char* text) {
    constexpr int kRtf = 2, kText = 1; // SF_RTF, SF_TEXT
    if (!(format & kRtf)) return format;
    if (text && (std::strncmp(text, "{\\rtf", 5) == 0 || std::strncmp(text, "{\\urtf", 6) == 0))
        return format;
    return (format & ~kRtf) | kText;
}

size_t TakeFromSource(StreamSource& source, char* out, size_t room) {
    if (!source.text) return 0;
    size_t n = 0;
    while (n < room && source.text[n] != '\0')
        ++n;
    std::memcpy(out, source.text, n);
    source.text += n;
    return n;
}

void PutIntoSink(StreamSink& sink, const char* data, size_t n) {
    sink.total += n;
    if (!sink.buffer || sink.capacity == 0) return;
    size_t room = sink.capacity - 1 - sink.used;
    size_t take = n < room ? n : room;
    std::memcpy(sink.buffer + sink.used, data, take);
    sink.used += take;
}

} // namespace richtext
