#pragma once
// What a form decides about its grid without a window: the records the server describes the
// grid and its rows with, the attributes a cell record sets, the column-width texts, and the
// M lines of set-up, loading and every grid notification (values through MQuote, cell texts
// with the grid's own escaping).

#include <string>
#include <string_view>
#include <vector>

namespace vorlan {

// ---- set-up

// The answer of $$SCR^QCC.
struct ScrollRecord {
    int columns = 0;
    int fixedRows = 0;    // piece 2 - 1, never negative
    int fixedColumns = 0; // piece 3 - 1, never negative
    int selectRow = 0;    // 1-based; 0: none
    int selectColumn = 0;
    int scrollRow = 0; // counted from the first data row; 0: none
};
ScrollRecord ParseScrollRecord(std::string_view answer);

// A column record's width in character cells.
int ColumnWidthOf(std::string_view columnRecord);
// Header rows from the lowest subscript of the row global: its magnitude plus one.
int HeaderRowsFor(std::string_view lowestSubscript);
// The grid's width in cells: the form's own width, else %SCRB when it lies in 1..149, else
// the columns' sum plus 2.
int GridWidthInCells(int formWidth, int scrb, int columnSum);
// Rows one grid may load: ten times the largest list the application knows. A stray high
// subscript from the server is refused rather than allocated (and fetched row by row).
constexpr long long kMaxGridRows = 1000000;
// The rows from subscript `first` to `last`, counted without overflow; none when last < first.
long long GridRowSpan(int first, int last);
// Drag options: bit 2 unless %DRAG(5), bit 1 unless %DRAG(6); none with %DRAG("SIZE").
int DragOptions(bool drag5, bool drag6, bool dragSize);
// SCRFONT: a weight per column (0 = leave) from its $C(255) pieces.
std::vector<int> ColumnWeights(std::string_view answer, int columns);
// The server's font index for the grid: the application's font setting to use.
int GridFontSetting(int index);

// The step of the loading progress row i of first..last shows (0 to kLoadSteps): the frame's
// progress is repainted only when it changes, whatever the number of rows.
constexpr int kLoadSteps = 200;
int LoadProgressStep(int i, int first, int last);

// ---- rows and cells

// A row record's cell records, each ended by $C(255); a last one without the end counts too.
std::vector<std::string_view> SplitRowRecord(std::string_view record);

// What one cell record sets, piece by piece.
struct CellRecord {
    std::string text;
    // the column's state (used only while the whole column is built)
    unsigned columnFlags = 0; // bits of kColumnFlagMask
    unsigned rowLowByte = 0;
    bool normalRow = true; // row flag 0x8000
    int textColour = 0, backColour = 0, shape = 0;
    bool skip = false; // cell state 0x10
    int image = -1;
    bool hasHeight = false;
    int height = 0;
    unsigned style = 0; // bits of kCellStyleMask
    int data = 0, extra = 0;
};
constexpr unsigned kColumnEnabled = 0x8000;
constexpr unsigned kColumnFlagMask = 0xD0FF;
constexpr unsigned kCellStyleMask = 0xE000;
constexpr unsigned kCellSkip = 0x10;
CellRecord ParseCellRecord(std::string_view record);

// ---- column widths

// Three hexadecimal digits a column from column 0 on, at most `columns`; -1 leaves a column
// (FFF). Characters other than 0-9 and A-F count as 0.
std::vector<int> ParseColumnWidths(std::string_view text, int columns);
// The widths as chunks of the saved layout: "%03X" each, a chunk closed once it passes 400
// characters and after the last column.
std::vector<std::string> ColumnWidthChunks(const std::vector<int>& widths);

// ---- M lines of set-up and loading

std::string ScrollRecordLine(std::string_view description);
std::string ScrollColumnLine(std::string_view description, int column);
// Row and columns as the server counts them (subscript, columns from 1).
std::string GetRowLine(std::string_view description, int row, int firstColumn, int lastColumn);
std::string GetCellLine(std::string_view description, int row, int column);
std::string SavedWidthsLine(std::string_view serverKey);
std::string KillSavedWidthsLine(std::string_view serverKey);
std::string SaveWidthChunkLine(std::string_view serverKey, int chunk, std::string_view text);

// ---- M lines of the grid's notifications (C column from 1, R row from the first data row)

std::string DragLine(int c, int r);
std::string DropCellLine(int c, int r);
std::string DropCellYesLine(int r);
std::string EditClickLine(int c);
std::string InsertRowLine(int r);
std::string DeleteRowLine(int r);
std::string CellLeftLine(int r, int c, std::string_view text);
std::string CellFocusLine(int r, int c, std::string_view text, bool again);
std::string TablesLine(int c, std::string_view text);
std::string EnterLine(int c, int r);
std::string ClickLine(int c, int r);
std::string RightClickLine(int c, int r);
std::string InfoLine(int c, int r);
std::string SizeLine(int c, int r);
// kind: "SZ", "S" + C or "Z" + R
std::string CellKeyLine(std::string_view screen, std::string_view kind);
// last key 13 gives %CR; p1, p2 the selection from 1.
std::string CellSaveLine(bool cr, int p1, int p2, int r, int c, std::string_view text);

// A failing grid cell as $$PRUEFS^QCC() names it: row§column§message, both 1-based.
struct GridCheck {
    bool failed = false;
    int row = 0, column = 0;
    std::string message;
};
GridCheck ParseGridCheck(std::string_view answer);

// %WIN("CURPOS"): four numbers.
struct CursorPosition {
    int p[4] = {};
};
CursorPosition ParseCursorPosition(std::string_view answer);

} // namespace vorlan

namespace vorlan::gridline {
constexpr const char* kGlobalExists = "W:$D(%GBL) 1";
constexpr const char* kLowestSubscript = "W $O(@%GBL@(\"\"))";
constexpr const char* kHighestSubscript = "W $O(@%GBL@(\"\"),-1)";
constexpr const char* kMaxColumns = "W $G(%SCRB(\"MCOL\"))";
constexpr const char* kWidth = "W $G(%SCRB)";
constexpr const char* kTakeFont = "W $G(%SCRB(\"FONT\")) K %SCRB(\"FONT\")";
constexpr const char* kListMode = "W:$D(%WIN(\"SCR\",\"LISTMODE\")) 1";
constexpr const char* kDragAndDrop = "W $G(%DRAG)";
constexpr const char* kRightClickCopy = "W:$D(%WIN(\"RCOPY\")) 1";
constexpr const char* kMarkSelection = "W $G(%WIN(\"SCR\",\"MARKSEL\"))";
constexpr const char* kEdit = "W:$D(%WIN(\"SCR\",\"EDIT\")) 1";
constexpr const char* kAutoSize = "W:$D(%WIN(\"SCR\",\"AUTOSIZE\")) 1";
constexpr const char* kGridLines = "W $G(%WIN(\"SCR\",\"GRIDLINES\"))";
constexpr const char* kSizeAuto = "W:$D(%WIN(\"SCR\",\"SIZEAUTO\")) 1";
constexpr const char* kDrag5 = "W:$D(%DRAG(5)) 1";
constexpr const char* kDrag6 = "W:$D(%DRAG(6)) 1";
constexpr const char* kDragSize = "W:$D(%DRAG(\"SIZE\")) 1";
constexpr const char* kKillDragWord = "K:$D(%DRAG(\"WORD\")) %DRAG(\"WORD\")";
constexpr const char* kTakeColumnFonts = "W $G(SCRFONT) K SCRFONT";
constexpr const char* kKillSwitches = "K %WIN(\"SCR\")";
constexpr const char* kDropRow = "W $G(%zz)";
constexpr const char* kDropColumn = "W $G(%pp)";
constexpr const char* kRowEditing = "W:$D(%ZELN) 1";
constexpr const char* kRowDeleting = "W:$D(%ZLOEN) 1";
constexpr const char* kRowInserting = "W:$D(%ZEINN) 1";
constexpr const char* kMaxRows = "W $G(%MAXZ)";
constexpr const char* kTable = "W $G(%TAB)";
constexpr const char* kLeaveExists = "W:$D(%VL) 1";
constexpr const char* kTakeCellsOnly = "W:$D(%ZLN) 1 K %ZLN";
constexpr const char* kTakeRowEdits = "W $G(%WIN(\"ZEL\")) K %WIN(\"ZEL\")";
constexpr const char* kChangedCells = "W:$D(%ZLN) 1 K %QZ S %QCC=\"\"";
constexpr const char* kNextChangedColumn = "S %QCC=$O(%ZLN(%QCC)) W %QCC";
constexpr const char* kChangedColumnKind = "W $D(%ZLN(%QCC)) S %QCD=\"\"";
constexpr const char* kNextChangedRow = "S %QCD=$O(%ZLN(%QCC,%QCD)) W %QCD";
constexpr const char* kKillChanged = "K %ZLN";
constexpr const char* kNewWidths = "S %QCC=\"\" F  S %QCC=$O(%WIN(\"SCROLL\",\"WIDTH\",%QCC)) Q:%QCC=\"\"  W "
                                   "$G(%WIN(\"SCROLL\",\"WIDTH\",%QCC))";
constexpr const char* kTakeAutoSize = "W $D(%WIN(\"SCR\",\"AUTOSIZE\")) K %WIN(\"SCR\",\"AUTOSIZE\")";
constexpr const char* kTitleRight = "W $G(%WIN(\"SCRTITLE\",\"R\"))";
constexpr const char* kTitleCentre = "W $G(%WIN(\"SCRTITLE\",\"C\"))";
constexpr const char* kTitleLeft = "W $G(%WIN(\"SCRTITLE\",\"L\"))";
constexpr const char* kDropAnswer = "W $$DROPA^QCD()";
constexpr const char* kCheckCells = "W $$PRUEFS^QCC()";
constexpr const char* kKillHeaderRow = "K @%GBL@(0)";
} // namespace vorlan::gridline
