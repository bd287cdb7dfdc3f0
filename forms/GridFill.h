#pragma once
// The form's row and cell records applied to its grid, without the server: what loading and
// every refresh do with an answer of $$GETROW^QCC or $$GETCELL^QCC.

#include "forms/GridLogic.h"

#include <string_view>

class CGridCtrl;

namespace vorlan {

// Sets the cell's text and attributes; the column's state only while the whole column is
// built.
void ApplyCellRecord(CGridCtrl& grid, int row, int column, const CellRecord& cell, bool buildColumn);
// Empties the row's cells first..last (both valid) and fills them from a row record; an empty
// cell record leaves its cell empty.
void FillGridRow(CGridCtrl& grid, int row, int first, int last, std::string_view record);

} // namespace vorlan
