#include "forms/TextBoxLogic.h"

#include "common/MQuote.h"
#include "common/TextChars.h"

namespace vorlan {

namespace {

bool IsAsciiAlnum(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

size_t LineStartAt(std::string_view text, size_t caret) {
    size_t lf = text.substr(0, caret).find_last_of("\r\n");
    return lf == std::string_view::npos ? 0 : lf + 1;
}

} // namespace

bool IsLeadChar(unsigned char c) {
    return c == '#' || c == '*' || c == '+' || c == '\'';
}

bool IsWordChar(unsigned char c) {
    return IsAsciiAlnum(c) || c == '.' || c >= 128;
}

bool EndsWord(unsigned char c) {
    return (c >= 32 || c == '\r') && !IsLeadChar(c) && !IsWordChar(c);
}

bool DropsEndingChar(unsigned char lead) {
    return lead == '*' || lead == '+' || lead == '\'';
}

size_t LeadWordStart(std::string_view text, size_t caret) {
    if (caret > text.size()) caret = text.size();
    size_t i = caret;
    while (i > 0) {
        auto c = static_cast<unsigned char>(text[i - 1]);
        if (IsLeadChar(c)) return caret - i >= 1 ? i - 1 : std::string_view::npos;
        if (!IsWordChar(c)) break;
        --i;
    }
    return std::string_view::npos;
}

Placeholder NextPlaceholder(std::string_view text, size_t caret) {
    Placeholder p;
    if (text.empty()) return p;
    size_t at = caret < text.size() ? text.find('@', caret) : std::string_view::npos;
    if (at == std::string_view::npos) {
        p.start = text.size() - 1;
        p.end = text.size();
        return p;
    }
    p.start = at;
    p.end = at + 1;
    p.search = at + 1 < text.size() && IsTextAlnum(static_cast<unsigned char>(text[at + 1]));
    return p;
}

Indentation IndentationAt(std::string_view text, size_t caret) {
    if (caret > text.size()) caret = text.size();
    Indentation result;
    size_t start = LineStartAt(text, caret);
    size_t end = start;
    while (end < text.size() && (text[end] == ' ' || text[end] == '\t'))
        ++end;
    result.indent = std::string(text.substr(start, end - start));
    result.caret = caret < end ? end : caret;
    return result;
}

size_t LineLengthAt(std::string_view text, size_t caret) {
    if (caret > text.size()) caret = text.size();
    size_t start = LineStartAt(text, caret);
    size_t end = text.find_first_of("\r\n", caret);
    if (end == std::string_view::npos) end = text.size();
    return end - start;
}

std::string EntryHead(std::string_view entry) {
    return std::string(entry.substr(0, entry.find('\t')));
}

std::string SearchGlobalLine(std::string_view lead, std::string_view routine) {
    return "S TEXT=" + MQuote(lead) + " D " + std::string(routine) + " W $G(GLOB)";
}

} // namespace vorlan
