#include "tools/DataExplorerLogic.h"
#include "common/TextChars.h"

#include "common/MQuote.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

namespace vorlan {

namespace {

constexpr char kDl = '\xA7';

std::string Cat(std::initializer_list<std::string_view> parts) {
    std::string s;
    for (std::string_view p : parts)
        s += p;
    return s;
}

std::vector<std::string> Pieces(std::string_view value) {
    std::vector<std::string> pieces;
    size_t start = 0;
    for (;;) {
        size_t end = value.find(kDl, start);
        pieces.emplace_back(value.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) return pieces;
        start = end + 1;
    }
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string KeepDigits(std::string_view text, bool minus) {
    std::string kept;
    for (char c : text)
        if (IsDigit(c) || (minus && c == '-')) kept += c;
    return kept;
}

int64_t ToInt64(const std::string& digits) {
    return std::strtoll(digits.c_str(), nullptr, 10);
}

int Sign(int64_t a, int64_t b) {
    return a < b ? -1 : a > b ? 1 : 0;
}

int CompareNoCase(std::string_view a, std::string_view b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        int x = static_cast<unsigned char>(vorlan::TextLower(a[i]));
        int y = static_cast<unsigned char>(vorlan::TextLower(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

// DDMMYYYY to YYYYMMDD, so that the number orders by date.
std::string DateKey(const std::string& digits) {
    if (digits.size() <= 7) return digits;
    return digits.substr(4, 4) + digits.substr(2, 2) + digits.substr(0, 2);
}

} // namespace

std::string SubscriptLiteral(std::string_view subscript) {
    return MSubscript(subscript);
}

std::string ChildPath(std::string_view parentPath, std::string_view subscript) {
    return PathPrefix(parentPath) + SubscriptLiteral(subscript);
}

std::string PathPrefix(std::string_view path) {
    return path.empty() ? std::string() : std::string(path) + ",";
}

namespace explorer {

std::string FkeyLine(std::string_view a) {
    return Cat({"W $G(", a, "0,\"FKEY\"))"});
}
std::string NextLine(std::string_view a, std::string_view p) {
    return Cat({"S Q=$O(", a, p, "Q)) W Q"});
}
std::string HeaderOfQLine(std::string_view a, std::string_view p) {
    return Cat({"W $G(", a, p, "Q,0,\"HEADER\"))"});
}
std::string FlagOfQLine(std::string_view a, std::string_view p) {
    return Cat({"W $G(", a, p, "Q,0,\"FLAG\"))"});
}
std::string TextOfQLine(std::string_view a, std::string_view p) {
    return Cat({"W $P($G(", a, p, "Q)),%DL)"});
}
std::string HasChildrenLine(std::string_view a, std::string_view path) {
    return Cat({"W:$O(", a, path, ",0))'=\"\" 1"});
}
std::string LoadRoutineLine(std::string_view a, std::string_view path) {
    return Cat({"S Q=$G(", a, path, ",0,\"LOADRTN\")) K ", a, path, ",0,\"LOADRTN\") W Q D:Q'=\"\" @Q"});
}
std::string HeaderLine(std::string_view a, std::string_view path) {
    return Cat({"W $G(", a, path, ",0,\"HEADER\"))"});
}
std::string ColumnLine(std::string_view a, std::string_view path) {
    return Cat({"S Q=Q+1 W $G(", a, path, ",0,\"HEADER\",Q))"});
}
std::string FeldLine(std::string_view a, std::string_view path) {
    return Cat({"W $G(", a, path, ",0,\"FELD\"))"});
}
std::string RowFlagLine(std::string_view a, std::string_view path) {
    return Cat({"W $G(", a, path, ",Q,0,\"FLAG\"))"});
}
std::string RowLine(std::string_view a, std::string_view path) {
    return Cat({"W $G(", a, path, ",Q))"});
}
std::string ReportLine(std::string_view a, std::string_view path, std::string_view feld) {
    return "S %FELD=" + MQuote(a) + "_%DL_" + MQuote(path) + "_%DL_" + MQuote(feld);
}

} // namespace explorer

int FirstPieceNumber(std::string_view value) {
    std::string first = Pieces(value)[0];
    return std::atoi(first.c_str());
}

std::vector<std::string> HeaderTitles(std::string_view header) {
    std::vector<std::string> titles;
    if (header.empty()) return titles;
    for (std::string& piece : Pieces(header)) {
        if (piece.empty()) break;
        titles.push_back(std::move(piece));
    }
    return titles;
}

ColumnAttributes ParseColumnAttributes(std::string_view value) {
    std::vector<std::string> pieces = Pieces(value);
    ColumnAttributes a;
    a.align = pieces[0] == "1" ? 1 : pieces[0] == "2" ? 2 : 0;
    a.type = pieces.size() > 1 ? std::atoi(pieces[1].c_str()) : 0;
    return a;
}

std::vector<std::string> RowCells(std::string_view value) {
    std::vector<std::string> cells = Pieces(value);
    for (std::string& cell : cells)
        cell.erase(0, std::min(cell.size(), cell.find_first_not_of(' ')));
    return cells;
}

int CompareRows(std::string_view first, std::string_view second, int type, bool descending) {
    // The table compares what fits its 128-character buffer.
    first = first.substr(0, 127);
    second = second.substr(0, 127);
    int result;
    if (type == kTypeNumber)
        result = Sign(ToInt64(KeepDigits(first, true)), ToInt64(KeepDigits(second, true)));
    else if (type == kTypeDate)
        result =
            Sign(ToInt64(DateKey(KeepDigits(first, false))), ToInt64(DateKey(KeepDigits(second, false))));
    else if (type != kTypeText)
        result = KeepDigits(first, false).compare(KeepDigits(second, false));
    else
        result = CompareNoCase(first, second);
    result = result < 0 ? -1 : result > 0 ? 1 : 0;
    return descending ? -result : result;
}

bool SortState::Click(int clicked, int type) {
    if (clicked < 0 || type == kTypeUnsorted) return false;
    if (clicked == column) {
        descending = !descending;
    } else {
        column = clicked;
        descending = false;
    }
    return true;
}

void SortState::Reset(int columnCount) {
    if (columnCount <= 0) {
        column = -1;
        descending = false;
    } else if (column < 0 || column >= columnCount) {
        column = 0;
        descending = false;
    }
}

} // namespace vorlan
