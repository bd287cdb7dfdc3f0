#include "forms/ListTabLogic.h"

#include "app/ReplyFields.h"
#include "common/MQuote.h"
#include "forms/FormLogic.h"

#include <cctype>
#include <cstdlib>

namespace vorlan {

namespace {

constexpr int kMaxColumnWidth = 1000;
// Only the first 31 columns count when the last one is stretched.
constexpr size_t kCountedColumns = 31;
// More columns than a list control takes are not a list.
constexpr int kMaxColumns = 255;
// The layout line is one line of the server's; longer ones lose their last columns.
constexpr size_t kMaxLineLength = 1023;

bool IsNumber(std::string_view text) {
    size_t i = text.size() > 0 && (text[0] == '-' || text[0] == '+') ? 1 : 0;
    return i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]));
}

// A saved width: negative ones are made positive, none is wider than the screen could use.
int Width(std::string_view piece) {
    long long v = NumberOf(piece);
    if (v < 0) v = -v;
    return static_cast<int>(v > 0x7FFFFFFF ? 0x7FFFFFFF : v);
}

} // namespace

int ListLayout::ColumnWidth(int c) const {
    if (c < 0 || static_cast<size_t>(c) >= columns.size() || columns[static_cast<size_t>(c)] < 0) return -1;
    int w = columns[static_cast<size_t>(c)];
    return w > kMaxColumnWidth ? kMaxColumnWidth : w;
}

ListLayout ParseListLayout(std::string_view record) {
    ListLayout layout;
    if (record.empty()) return layout;
    layout.saved = true;
    std::vector<std::string_view> pieces;
    size_t at = 0;
    for (;;) {
        size_t next = record.find(kPieceDelimiter, at);
        pieces.push_back(
            record.substr(at, next == std::string_view::npos ? std::string_view::npos : next - at));
        if (next == std::string_view::npos) break;
        at = next + 1;
    }
    layout.width = IsNumber(pieces[0]) ? Width(pieces[0]) : 0;
    layout.height = pieces.size() > 1 && IsNumber(pieces[1]) ? Width(pieces[1]) : 0;
    for (size_t i = 2; i < pieces.size() && layout.columns.size() < static_cast<size_t>(kMaxColumns); ++i)
        layout.columns.push_back(IsNumber(pieces[i]) ? Width(pieces[i]) : -1);
    return layout;
}

std::string ListLayoutRecord(int width, int height, const std::vector<int>& columns) {
    std::string record = std::to_string(width) + kPieceDelimiter + std::to_string(height);
    for (int w : columns)
        record += kPieceDelimiter + std::to_string(w);
    return record;
}

int FillingLastColumn(const std::vector<int>& widths, int clientWidth) {
    if (widths.empty()) return -1;
    size_t counted = widths.size() < kCountedColumns ? widths.size() : kCountedColumns;
    long long sum = 0;
    for (size_t i = 0; i < counted; ++i)
        sum += widths[i];
    long long last = static_cast<long long>(widths[counted - 1]) + clientWidth - sum;
    return last > 0 && last <= 0x7FFFFFFF ? static_cast<int>(last) : -1;
}

bool NeedsNextBatch(int rowCount, int topIndex, int rowsPerPage) {
    return static_cast<long long>(rowCount) < static_cast<long long>(topIndex) + 2LL * rowsPerPage;
}

int ParseColumnCount(std::string_view answer) {
    if (answer.empty() || answer.size() > 6) return 0;
    for (char c : answer)
        if (!std::isdigit(static_cast<unsigned char>(c))) return 0;
    int n = NumberOf(answer);
    return n > kMaxColumns ? kMaxColumns : n;
}

std::string ListLayoutReadLine(std::string_view name) {
    return "S:$G(%WIN(\"WORKSTATION\"))=\"\" %WIN(\"WORKSTATION\")=\"ALL\" W "
           "$G(^Z(\"TAB\",%WIN(\"WORKSTATION\")," +
           MQuote(name) + "))";
}

std::string ListLayoutWriteLine(std::string_view name, int width, int height,
                                const std::vector<int>& columns) {
    const std::string head = "S ^Z(\"TAB\",%WIN(\"WORKSTATION\")," + MQuote(name) + ")=";
    std::vector<int> kept(columns);
    std::string line = head + MQuote(ListLayoutRecord(width, height, kept));
    while (line.size() > kMaxLineLength && !kept.empty()) {
        kept.pop_back();
        line = head + MQuote(ListLayoutRecord(width, height, kept));
    }
    return line.size() <= kMaxLineLength ? line : std::string();
}

std::string NextBatchLine(std::string_view name) {
    return "D WTW^QCC(" + MQuote(name) + ")";
}

std::string ListRowExistsLine(int row) {
    return "W:$D(@%WGBL@(" + std::to_string(row) + ")) 1";
}

std::string ListCellLine(int row, int column) {
    return "W $G(@%WGBL@(" + std::to_string(row) + "," + std::to_string(column) + "))";
}

} // namespace vorlan
