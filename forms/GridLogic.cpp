#include "forms/GridLogic.h"
#include "app/FontSlots.h"

#include "app/ReplyFields.h"
#include "common/MQuote.h"
#include "forms/FormLogic.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace vorlan {

namespace {

const char kCellEnd = '\xFF';

int PieceNumber(std::string_view answer, int n) {
    return NumberOf(PieceOf(answer, n));
}

std::string D(int n) {
    return std::to_string(n);
}

std::string CR(int c, int r) {
    return D(c) + "," + D(r);
}

std::string CellText(std::string_view text) {
    return "\"" + MCellLiteralBody(text) + "\"";
}

} // namespace

GridCheck ParseGridCheck(std::string_view answer) {
    GridCheck check;
    if (answer.empty()) return check;
    check.failed = true;
    // A cell the grid does not have is no place to go: the form keeps its focus.
    check.row = NumberOf(PieceOf(answer, 1));
    check.column = NumberOf(PieceOf(answer, 2));
    if (check.row < 1 || check.column < 1) check.row = check.column = 0;
    check.message = std::string(PieceOf(answer, 3));
    return check;
}

ScrollRecord ParseScrollRecord(std::string_view answer) {
    ScrollRecord r;
    r.columns = std::max(0, PieceNumber(answer, 1));
    r.fixedRows = std::max(0, PieceNumber(answer, 2) - 1);
    r.fixedColumns = std::max(0, PieceNumber(answer, 3) - 1);
    r.selectRow = PieceNumber(answer, 4);
    r.selectColumn = PieceNumber(answer, 5);
    r.scrollRow = PieceNumber(answer, 6);
    return r;
}

int ColumnWidthOf(std::string_view columnRecord) {
    return std::max(0, PieceNumber(columnRecord, 2));
}

int HeaderRowsFor(std::string_view lowestSubscript) {
    long long n = NumberOf(lowestSubscript);
    if (n < 0) n = -n;
    return static_cast<int>(std::min<long long>(n, 1 << 20)) + 1;
}

long long GridRowSpan(int first, int last) {
    long long rows = static_cast<long long>(last) - first + 1;
    return rows > 0 ? rows : 0;
}

int GridWidthInCells(int formWidth, int scrb, int columnSum) {
    if (formWidth != 0) return formWidth;
    if (scrb >= 1 && scrb <= 149) return scrb;
    return columnSum + 2;
}

int DragOptions(bool drag5, bool drag6, bool dragSize) {
    if (dragSize) return 0;
    return (drag5 ? 0 : 2) | (drag6 ? 0 : 1);
}

std::vector<int> ColumnWeights(std::string_view answer, int columns) {
    std::vector<int> weights(static_cast<size_t>(std::max(0, columns)), 0);
    for (int i = 0; i < columns && !answer.empty(); ++i) {
        std::string piece = PieceOf(answer, i + 1, kCellEnd);
        if (!piece.empty()) weights[static_cast<size_t>(i)] = NumberOf(piece);
    }
    return weights;
}

int GridFontSetting(int index) {
    if (index == -1) return kFontSlotGridFixed;
    return index == 0 ? kFontSlotGrid : index + kFontSlotGridFont1 - 1;
}

int LoadProgressStep(int i, int first, int last) {
    long long span = static_cast<long long>(last) - first;
    if (span <= 0) return kLoadSteps;
    long long done = std::clamp<long long>(static_cast<long long>(i) - first, 0, span);
    return static_cast<int>(done * kLoadSteps / span);
}

std::vector<std::string_view> SplitRowRecord(std::string_view record) {
    std::vector<std::string_view> cells;
    size_t start = 0;
    while (start < record.size()) {
        size_t end = record.find(kCellEnd, start);
        if (end == std::string_view::npos) end = record.size();
        cells.push_back(record.substr(start, end - start));
        start = end + 1;
    }
    return cells;
}

CellRecord ParseCellRecord(std::string_view record) {
    std::vector<std::string> p(19);
    size_t start = 0;
    for (size_t n = 1; n < p.size() && start <= record.size(); ++n) {
        size_t end = record.find(kPieceDelimiter, start);
        if (end == std::string_view::npos) end = record.size();
        p[n] = std::string(record.substr(start, end - start));
        start = end + 1;
    }
    CellRecord c;
    c.text = p[1];
    if (p[2] != "2" && p[3] == "0") {
        // hidden: the column loses its enabled bit
    } else {
        c.columnFlags |= kColumnEnabled;
    }
    if (p[3] == "3") c.columnFlags |= 0x1000;
    if (p[4] == "J") c.columnFlags |= 0x4000;
    c.columnFlags |= static_cast<unsigned>(NumberOf(p[5])) & 0xFF;
    c.rowLowByte = static_cast<unsigned>(NumberOf(p[13])) & 0xFF;
    c.normalRow = p[6] != "1";
    c.textColour = NumberOf(p[8]);
    c.backColour = NumberOf(p[9]);
    c.shape = NumberOf(p[12]);
    c.skip = p[10] != "0";
    c.image = NumberOf(p[11]) - 1;
    c.hasHeight = !p[14].empty();
    c.height = NumberOf(p[14]);
    if (p[15] == "1") c.style |= 0x8000;
    if (p[16] == "1") c.style |= 0x4000;
    if (p[18] == "1") c.style |= 0x2000;
    c.data = NumberOf(p[7]);
    c.extra = NumberOf(p[17]);
    return c;
}

std::vector<int> ParseColumnWidths(std::string_view text, int columns) {
    std::vector<int> widths;
    for (size_t at = 0; at < text.size() && static_cast<int>(widths.size()) < columns; at += 3) {
        int value = 0;
        for (size_t k = at; k < at + 3 && k < text.size(); ++k) {
            char ch = text[k];
            int digit = ch >= '0' && ch <= '9' ? ch - '0' : ch >= 'A' && ch <= 'F' ? ch - 'A' + 10 : 0;
            value = value << 4 | digit;
        }
        widths.push_back(value < 0xFFF ? value : -1);
    }
    return widths;
}

std::vector<std::string> ColumnWidthChunks(const std::vector<int>& widths) {
    std::vector<std::string> chunks;
    std::string text;
    for (size_t i = 0; i < widths.size(); ++i) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "%03X", static_cast<unsigned>(std::clamp(widths[i], 0, 0xFFE)));
        text += hex;
        if (text.size() > 400 || i + 1 == widths.size()) {
            chunks.push_back(text);
            text.clear();
        }
    }
    return chunks;
}

std::string ScrollRecordLine(std::string_view description) {
    return "W $$SCR^QCC(" + MQuote(description) + ")";
}

std::string ScrollColumnLine(std::string_view description, int column) {
    return "W $$SCROLL^QCC(" + MQuote(description) + "," + D(column) + ")";
}

std::string GetRowLine(std::string_view description, int row, int firstColumn, int lastColumn) {
    return "W $$GETROW^QCC(" + MQuote(description) + "," + D(row) + "," + D(firstColumn) + "," +
           D(lastColumn) + ")";
}

std::string GetCellLine(std::string_view description, int row, int column) {
    return "W $$GETCELL^QCC(" + MQuote(description) + "," + D(row) + "," + D(column) + ")";
}

std::string SavedWidthsLine(std::string_view serverKey) {
    return "S %QCD=\"\" F  S %QCD=$O(^Z(\"SCROLL\",$G(%USER)," + MQuote(serverKey) +
           ",%QCD)) Q:%QCD=\"\"  W $G(^(%QCD))";
}

std::string KillSavedWidthsLine(std::string_view serverKey) {
    return "K ^Z(\"SCROLL\",$G(%USER)," + MQuote(serverKey) + ")";
}

std::string SaveWidthChunkLine(std::string_view serverKey, int chunk, std::string_view text) {
    return "S ^Z(\"SCROLL\",$G(%USER)," + MQuote(serverKey) + "," + D(chunk) + ")=" + MQuote(text);
}

std::string DragLine(int c, int r) {
    return "W $$DRAG^QCD(" + CR(c, r) + ")";
}

std::string DropCellLine(int c, int r) {
    return "W $$DROPN^QCD(" + CR(c, r) + ")";
}

std::string DropCellYesLine(int r) {
    return "W $$DROPN^QCD(\"\"," + D(r) + ")";
}

std::string EditClickLine(int c) {
    return "W $$CLICK^QCD(" + D(c) + ",\"EDIT\") K %INF";
}

std::string InsertRowLine(int r) {
    return "W $$ZEINF^QCC(" + D(r) + ")";
}

std::string DeleteRowLine(int r) {
    return "W $$ZLOE^QCC(" + D(r) + ")";
}

std::string CellLeftLine(int r, int c, std::string_view text) {
    return "K %CR S %KFOCUS=\"\" W $$PRS^QCC(" + D(r) + "," + D(c) + "," + CellText(text) + ") K %KFOCUS";
}

std::string CellFocusLine(int r, int c, std::string_view text, bool again) {
    std::string call = "$$FOS^QCC(" + D(r) + "," + D(c) + "," + CellText(text) + ")";
    if (!again) return "K %TAB,%DDN(\"FOCUS\") W " + call;
    return "S %DDN(\"FOCUS\")=\"\" K %TAB W " + call + " K %DDN(\"FOCUS\")";
}

std::string TablesLine(int c, std::string_view text) {
    return "W $P($$TABLES^QCC(" + D(c) + "," + CellText(text) + "),%DL,3)";
}

std::string EnterLine(int c, int r) {
    return "W $$ENTER^QCD(" + CR(c, r) + ")";
}

std::string ClickLine(int c, int r) {
    return "W $$CLICK^QCD(" + CR(c, r) + ") K %INF";
}

std::string RightClickLine(int c, int r) {
    return "W $$RCLICK^QCD(" + CR(c, r) + ")";
}

std::string InfoLine(int c, int r) {
    return "W $$INF^QCD(" + CR(c, r) + ") K %INF";
}

std::string SizeLine(int c, int r) {
    return "W $$SIZE^QCD(" + CR(c, r) + ")";
}

std::string CellKeyLine(std::string_view screen, std::string_view kind) {
    return "W $G(^QM(" + MQuote(screen) + ",0,\"FKT\"," + MQuote(kind) + "))";
}

std::string CellSaveLine(bool cr, int p1, int p2, int r, int c, std::string_view text) {
    return std::string("K %CR S:") + (cr ? "1" : "0") + " %CR=\"\" S %PP(\"CHARPOS\")=\"" + D(p1) + "," +
           D(p2) + "\" W $$PRS^QCC(" + D(r) + "," + D(c) + "," + CellText(text) + ")";
}

CursorPosition ParseCursorPosition(std::string_view answer) {
    CursorPosition pos;
    for (int i = 0; i < 4; ++i)
        pos.p[i] = NumberOf(PieceOf(answer, i + 1).substr(0, 31));
    return pos;
}

} // namespace vorlan
