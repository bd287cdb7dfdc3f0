#include "services/ExcelLogic.h"

#include "common/MQuote.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace vorlan {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsAlpha(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// An M name: "%" or a letter first, then letters and digits.
size_t NameLength(std::string_view s) {
    if (s.empty() || !(IsAlpha(s[0]) || s[0] == '%')) return 0;
    size_t n = 1;
    while (n < s.size() && (IsAlpha(s[n]) || IsDigit(s[n])))
        ++n;
    // M names are at most 31 characters: a longer run is no name of the server.
    return n <= 31 ? n : 0;
}

// A string literal with doubled quotes; 0 when it is not one.
size_t StringLiteralLength(std::string_view s) {
    if (s.empty() || s[0] != '"') return 0;
    for (size_t i = 1; i < s.size(); ++i) {
        if (s[i] != '"') continue;
        if (i + 1 < s.size() && s[i + 1] == '"') {
            ++i;
            continue;
        }
        return i + 1;
    }
    return 0;
}

size_t NumberLiteralLength(std::string_view s) {
    size_t n = 0;
    if (n < s.size() && s[n] == '-') ++n;
    size_t digits = 0;
    while (n < s.size() && IsDigit(s[n]))
        ++n, ++digits;
    if (n < s.size() && s[n] == '.') {
        ++n;
        while (n < s.size() && IsDigit(s[n]))
            ++n, ++digits;
    }
    return digits ? n : 0;
}

std::string Trim(std::string_view s) {
    size_t first = s.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return std::string();
    size_t last = s.find_last_not_of(" \t\r\n");
    return std::string(s.substr(first, last - first + 1));
}

CellValue Text(std::string_view text) {
    CellValue v;
    v.text = std::string(text);
    return v;
}

CellValue Number(std::string_view text, bool negate) {
    CellValue v;
    v.number = true;
    v.value = std::strtod(std::string(text).c_str(), nullptr);
    if (negate) v.value = -v.value;
    v.text = std::string(text);
    return v;
}

} // namespace

std::optional<FillArea> ParseFillArea(std::string_view text) {
    size_t colon = text.find(':');
    if (colon == std::string_view::npos || colon == 0 || colon > 2) return std::nullopt;
    int columns = 0;
    for (char c : text.substr(0, colon)) {
        if (!IsAlpha(c)) return std::nullopt;
        columns = columns * 26 + (std::toupper(static_cast<unsigned char>(c)) - 'A' + 1);
    }
    std::string_view digits = text.substr(colon + 1);
    if (digits.empty() || digits.size() > 6) return std::nullopt;
    int rows = 0;
    for (char c : digits) {
        if (!IsDigit(c)) return std::nullopt;
        rows = rows * 10 + (c - '0');
    }
    if (columns < 1 || rows < 1 || columns > kMaxFillColumns) return std::nullopt;
    if (static_cast<long long>(columns) * rows > kMaxFillCells) return std::nullopt;
    return FillArea{columns, rows};
}

std::string CellName(int column, int row) {
    if (column < 1 || column > kMaxFillColumns || row < 1) return std::string();
    std::string letters;
    if (column > 26) letters += static_cast<char>('A' + (column - 1) / 26 - 1);
    letters += static_cast<char>('A' + (column - 1) % 26);
    return letters + std::to_string(row);
}

std::optional<Marker> ParseMarker(std::string_view formula) {
    if (formula.empty()) return std::nullopt;
    char kind = formula[0];
    if (kind != '#' && kind != '>' && kind != '*' && kind != '<' && kind != '$') return std::nullopt;
    Marker m;
    m.kind = kind;
    formula.remove_prefix(1);
    if (!formula.empty() && formula[0] == '-') {
        m.negate = true;
        formula.remove_prefix(1);
    }
    if (formula.empty()) return std::nullopt;
    m.key = std::string(formula);
    return m;
}

bool IsVariableReference(std::string_view s) {
    if (!s.empty() && s[0] == '^') s.remove_prefix(1);
    size_t n = NameLength(s);
    if (n == 0) return false;
    s.remove_prefix(n);
    if (s.empty()) return true;
    if (s[0] != '(') return false;
    s.remove_prefix(1);
    for (;;) {
        size_t part = StringLiteralLength(s);
        if (!part) part = NumberLiteralLength(s);
        if (!part) part = NameLength(s);
        if (!part) return false;
        s.remove_prefix(part);
        if (s.empty()) return false;
        if (s[0] == ')') return s.size() == 1;
        if (s[0] != ',') return false;
        s.remove_prefix(1);
    }
}

std::string MarkerLine(const Marker& m) {
    const char* global = nullptr;
    const char* prefix = nullptr;
    switch (m.kind) {
    case '#': global = "^FQS", prefix = "U"; break;
    case '>': global = "^FQS", prefix = "V"; break;
    case '*': global = "^FQM", prefix = "U"; break;
    case '<': global = "^FQM", prefix = "V"; break;
    case '$': return IsVariableReference(m.key) ? "W $G(" + m.key + ")" : std::string();
    default: return std::string();
    }
    return std::string("W $G(") + global + "(%JOB,AUSW,FSA," + MQuote(prefix + m.key) + "))";
}

bool IsDecimalNumber(std::string_view text) {
    return !text.empty() && NumberLiteralLength(text) == text.size();
}

CellValue MarkerValue(const Marker& marker, std::string_view value) {
    if (marker.kind == '$' || value.empty()) return Text(value);
    if (value[0] == '$') return Text(value.substr(1));
    if (!IsDecimalNumber(value)) return Text(value);
    return Number(value, marker.negate);
}

CellValue ListValue(std::string_view value, std::string_view flag) {
    std::string trimmed = Trim(value);
    if (flag == "1" && IsDecimalNumber(trimmed)) return Number(trimmed, false);
    return Text(trimmed);
}

std::string TemporaryWorkbookName(std::string_view tempFolder, int number, std::string_view workbook) {
    char middle[32];
    std::snprintf(middle, sizeof middle, "~#%2d ", number);
    return std::string(tempFolder) + middle + std::string(workbook);
}

namespace excel {
std::string CellValueLine(std::string_view cell) {
    return "W $G(^QTEMP(%JOB,\"EXCEL\"," + MQuote(cell) + "))";
}
std::string CellFlagLine(std::string_view cell) {
    return "W $G(^QTEMP(%JOB,\"EXCEL\"," + MQuote(cell) + ",\"F\"))";
}
} // namespace excel

} // namespace vorlan
