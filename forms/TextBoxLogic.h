#pragma once
// The editing rules of a form's text box without windows: lead characters and the word
// typed after one, the next "@" placeholder, the indentation Enter carries over, line
// lengths, and the lines that fill a search list from the server's global.

#include <cstddef>
#include <string>
#include <string_view>

namespace vorlan {

// "#", "*", "+" and the apostrophe: a word typed after one is offered to the form.
bool IsLeadChar(unsigned char c);
// Letters, digits, "." and every character from 128 up.
bool IsWordChar(unsigned char c);
// A typed character that ends a word: printable (or CR), and no lead, "." or word letter.
bool EndsWord(unsigned char c);
// Whether the typed lead character drops the character that ended its word when the form
// used the word ("#" keeps it).
bool DropsEndingChar(unsigned char lead);

// Scans back from the caret over word characters. The position of the lead character that
// starts the word, when one does and at least one character follows it; else npos.
size_t LeadWordStart(std::string_view text, size_t caret);

// The selection Tab makes from the caret: the next "@", else the text's last character.
// search is true when a letter or digit follows the "@".
struct Placeholder {
    size_t start = 0, end = 0;
    bool search = false;
};
Placeholder NextPlaceholder(std::string_view text, size_t caret);

// Enter on the caret's line: the blanks and tabs the line starts with, and where the caret
// goes first (behind them when it stood inside them).
struct Indentation {
    std::string indent;
    size_t caret = 0;
};
Indentation IndentationAt(std::string_view text, size_t caret);

// Characters of the caret's line, its line break not counted.
size_t LineLengthAt(std::string_view text, size_t caret);
// Over this many characters a line beeps at every further character.
constexpr size_t kLongLine = 80;

// A search list entry's text as the edit takes it: up to its TAB.
std::string EntryHead(std::string_view entry);

// ---- the search list's lines
constexpr const char* kSearchTableLine = "W $G(%WIN(\"SEARCHTABLE\"))";
constexpr const char* kSearchFirstKeyLine = "S %QCC=\"\"";
constexpr const char* kSearchNextKeyLine = "S %QCC=$O(@GLOB@(%QCC)) W %QCC";
constexpr const char* kSearchEntryLine = "W $G(@GLOB@(%QCC,1))";
constexpr const char* kSearchSecondLine = "W $G(@GLOB@(%QCC,2))";
// Runs the search table's routine with TEXT set to the lead character; answers GLOB.
std::string SearchGlobalLine(std::string_view lead, std::string_view routine);

} // namespace vorlan
