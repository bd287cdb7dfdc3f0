#pragma once
// A plain text wrapped at word boundaries to a width and cut into pages of whole lines: how
// the text box is printed where the rich edit control cannot format a range itself.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vorlan {

using TextPages = std::vector<std::vector<std::string>>;
// widthOf measures a piece of text; a word wider than the width is cut between characters.
// Line breaks are CR LF, LF or CR. An empty text gives one empty page.
TextPages PageText(std::string_view text, int width, int linesPerPage,
                   const std::function<int(std::string_view)>& widthOf);

} // namespace vorlan
