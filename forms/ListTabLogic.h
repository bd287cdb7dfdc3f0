#pragma once
// The popup list's rules without windows: its saved layout per workstation, the widths of
// its columns, when scrolling asks the server for the next batch, and its M lines.

#include <string>
#include <string_view>
#include <vector>

namespace vorlan {

// ^Z("TAB",workstation,name) = width§height§column widths, in pixels.
struct ListLayout {
    bool saved = false; // the server had a record
    int width = 0, height = 0;
    // Per column; -1 where the record has no number for it.
    std::vector<int> columns;
    // The saved width of column c (from 0): made positive, at most 1000; -1 when the record
    // has none, so that the caller measures the column instead.
    int ColumnWidth(int c) const;
};
ListLayout ParseListLayout(std::string_view record);
// The record written back: the window's size, then each column's width.
std::string ListLayoutRecord(int width, int height, const std::vector<int>& columns);

// The popup is never smaller than this.
constexpr int kListMinWidth = 200;
constexpr int kListMinHeight = 100;

// The width that makes the columns (display order, at most 31 counted) fill the client
// width, applied to the last; -1 when it would not stay above 0.
int FillingLastColumn(const std::vector<int>& widths, int clientWidth);
// Fewer than two pages of rows left below the top row: the next batch is due.
bool NeedsNextBatch(int rowCount, int topIndex, int rowsPerPage);
// "W $O(@%WGBL@(0,""),-1)": the number of columns, 0 for anything but a small count.
int ParseColumnCount(std::string_view answer);

// The lines of a popup list, its name always quoted.
std::string ListLayoutReadLine(std::string_view name);
std::string ListLayoutWriteLine(std::string_view name, int width, int height,
                                const std::vector<int>& columns);
std::string NextBatchLine(std::string_view name);
std::string ListRowExistsLine(int row);
std::string ListCellLine(int row, int column);
constexpr const char* kListColumnCountLine = "W $O(@%WGBL@(0,\"\"),-1)";

} // namespace vorlan
