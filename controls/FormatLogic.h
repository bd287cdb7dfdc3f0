#pragma once
// What the rich-text field decides without a window: its default font from the server's
// answers, the sizes of its size box, the alignment buttons, the Tab jump to the next "@"
// placeholder and the copying of its text streams.

#include <cstddef>
#include <string>
#include <string_view>

namespace richtext {

// The sizes the size box offers, in points.
constexpr int kFontSizes[] = {6, 7, 8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30, 36, 48, 72};

// The M lines that ask for the screen's default font and size.
std::string DefaultFontLine();
std::string DefaultSizeLine();

struct DefaultFont {
    std::string face;
    long height = 0; // twips
};
// Face and size as the server answered them; empty or 0 fall back to Times New Roman 12.
DefaultFont DefaultFontOf(const std::string& face, const std::string& size);

// The number a size text begins with (0 when it has none), in twips.
long SizeTextToTwips(std::string_view text);

// The three alignment buttons.
struct Alignment {
    bool left = false;
    bool centre = false;
    bool right = false;
};
// Each gets the buttons as they are after the click and answers them as they become.
Alignment AfterCentre(Alignment a);
Alignment AfterLeft(Alignment a);
Alignment AfterRight(Alignment a);
// The paragraph alignment the buttons ask for (PFA_LEFT 1, PFA_RIGHT 2, PFA_CENTER 3): left,
// centre, right in that order, a later checked button winning; 0 when none is checked.
int ParagraphAlignment(Alignment a);
// The buttons that show a paragraph alignment.
Alignment ButtonsOf(int alignment);

// Tab in the text: what happens and, when an "@" was found, where.
struct TabJump {
    enum Kind { Swallow, PassOn, Select } kind = PassOn;
    long at = 0;         // the "@"
    bool notify = false; // a letter or digit follows it: the form is told
};
// The text in the control's own positions (one character each), from the caret onward.
TabJump NextPlaceholder(std::string_view text, long caret);
// A letter or digit of code page 1252 (umlauts and sharp s included).
bool IsWordChar(unsigned char c);

// The format a text goes in with: RTF only when it is RTF (begins "{\\rtf"), else plain text;
// the selection flag stays.
int StreamInFormat(int format, const char* text);

// Stream copying: the text goes in up to its NUL, and out into a buffer of a fixed size.
struct StreamSource {
    const char* text = nullptr; // moves on as the control takes it
};
// Copies at most room bytes, stopping at the NUL; the bytes copied.
size_t TakeFromSource(StreamSource& source, char* out, size_t room);

struct StreamSink {
    char* buffer = nullptr; // null: only count
    size_t capacity = 0;    // with the terminating NUL
    size_t used = 0;        // bytes kept
    size_t total = 0;       // bytes offered
};
// Keeps what fits below capacity - 1 and counts the rest.
void PutIntoSink(StreamSink& sink, const char* data, size_t n);

} // namespace richtext
