#pragma once
// The card dialog of the card-reading tests, in place of cards/ReadCard.cpp: it reads "a card"
// at once, with result lines that carry what M strings must quote.

#include <string>
#include <utility>
#include <vector>

namespace readcarddouble {

// Line i of every reading.
std::string Line(int i);
// (lines, kind) of each dialog made, in order.
std::vector<std::pair<int, int>>& Made();
// What the dialog ends with: 1 read, anything else not.
extern int g_result;

} // namespace readcarddouble
