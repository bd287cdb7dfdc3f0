#include "forms/TextPaging.h"

#include <algorithm>

namespace vorlan {

namespace {

std::vector<std::string_view> Paragraphs(std::string_view text) {
    std::vector<std::string_view> out;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        out.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) out.push_back(text.substr(start));
    return out;
}

// The longest start of piece that fits, at least one character.
size_t FittingChars(std::string_view piece, int width, const std::function<int(std::string_view)>& widthOf) {
    size_t n = 1;
    while (n < piece.size() && widthOf(piece.substr(0, n + 1)) <= width)
        ++n;
    return n;
}

void Wrap(std::string_view paragraph, int width, const std::function<int(std::string_view)>& widthOf,
          std::vector<std::string>& lines) {
    if (paragraph.empty() || widthOf(paragraph) <= width) {
        lines.emplace_back(paragraph);
        return;
    }
    std::string_view rest = paragraph;
    while (!rest.empty()) {
        if (widthOf(rest) <= width) {
            lines.emplace_back(rest);
            return;
        }
        // The last blank that leaves a fitting line; else the word is cut.
        size_t cut = std::string_view::npos;
        for (size_t blank = rest.find(' '); blank != std::string_view::npos;
             blank = rest.find(' ', blank + 1)) {
            if (widthOf(rest.substr(0, blank)) > width) break;
            cut = blank;
        }
        if (cut == std::string_view::npos || cut == 0) {
            size_t n = FittingChars(rest, width, widthOf);
            lines.emplace_back(rest.substr(0, n));
            rest.remove_prefix(n);
        } else {
            lines.emplace_back(rest.substr(0, cut));
            rest.remove_prefix(cut + 1);
        }
    }
}

} // namespace

TextPages PageText(std::string_view text, int width, int linesPerPage,
                   const std::function<int(std::string_view)>& widthOf) {
    std::vector<std::string> lines;
    for (std::string_view paragraph : Paragraphs(text))
        Wrap(paragraph, std::max(width, 1), widthOf, lines);
    TextPages pages;
    size_t perPage = static_cast<size_t>(std::max(linesPerPage, 1));
    for (size_t i = 0; i < lines.size(); i += perPage)
        pages.emplace_back(lines.begin() + static_cast<std::ptrdiff_t>(i),
                           lines.begin() + static_cast<std::ptrdiff_t>(std::min(lines.size(), i + perPage)));
    if (pages.empty()) pages.emplace_back();
    return pages;
}

} // namespace vorlan
