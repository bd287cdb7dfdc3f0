#pragma once
// What the data explorer says to the server and how it orders its table, without a window.
// A = the array reference (ends so that a subscript can follow); a path is the item's
// subscripts below A in M form, joined by ",".

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vorlan {

// A subscript as M code: a canonical number stays bare, anything else becomes a literal.
std::string SubscriptLiteral(std::string_view subscript);
// parent (empty at the top) joined with the subscript the server answered.
std::string ChildPath(std::string_view parentPath, std::string_view subscript);
// The path followed by a comma, empty at the top: where a next subscript goes.
std::string PathPrefix(std::string_view path);

namespace explorer {
constexpr const char* kResetQ = "S Q=0";
// The function key for a double click, 0 without one.
std::string FkeyLine(std::string_view a);
// The next subscript after Q under A P (P = PathPrefix(parent)), left in Q and written.
std::string NextLine(std::string_view a, std::string_view p);
// The HEADER, FLAG and text of the node Q under A P.
std::string HeaderOfQLine(std::string_view a, std::string_view p);
std::string FlagOfQLine(std::string_view a, std::string_view p);
std::string TextOfQLine(std::string_view a, std::string_view p);
// Writes 1 when the node at path has anything after its 0 node.
std::string HasChildrenLine(std::string_view a, std::string_view path);
// Runs the node's load routine once and writes it.
std::string LoadRoutineLine(std::string_view a, std::string_view path);
// The node's HEADER, the next column's attributes (Q counts up from 0) and FELD.
std::string HeaderLine(std::string_view a, std::string_view path);
std::string ColumnLine(std::string_view a, std::string_view path);
std::string FeldLine(std::string_view a, std::string_view path);
// The row Q below the node at path: its FLAG and its value.
std::string RowFlagLine(std::string_view a, std::string_view path);
std::string RowLine(std::string_view a, std::string_view path);
// %FELD = A, the path and the FELD value, at %DL.
std::string ReportLine(std::string_view a, std::string_view path, std::string_view feld);
} // namespace explorer

// The first "§" piece (the server's %DL) of a value as a number, 0 when it is none.
int FirstPieceNumber(std::string_view value);
// The column titles: the "§" pieces while they are not empty.
std::vector<std::string> HeaderTitles(std::string_view header);

struct ColumnAttributes {
    int align = 0; // 0 left, 1 right, 2 centre
    int type = 0;
};
ColumnAttributes ParseColumnAttributes(std::string_view value);
// A row's cells: the "§" pieces, leading blanks dropped.
std::vector<std::string> RowCells(std::string_view value);

// Column types of the table.
constexpr int kTypeText = 0, kTypeNumber = 1, kTypeDate = 2, kTypeUnsorted = 3;
// Orders two cells of a column of the type the way the table sorts (<0, 0, >0).
int CompareRows(std::string_view first, std::string_view second, int type, bool descending);

// The table's sort column and direction.
struct SortState {
    int column = -1;
    bool descending = false;
    // A header click on the column of the type: false when nothing changes.
    bool Click(int clicked, int type);
    // After the columns were made again.
    void Reset(int columnCount);
};

} // namespace vorlan
