#include "dbserver/JobInput.h"

#include <cctype>
#include <cstdio>
#include <optional>

namespace vorlan::dbserver {

namespace {

const size_t kHeader = 8;
// A reference costs about this much; shorter literals are left in place.
const size_t kWorthLifting = 32;

struct Atom {
    std::string value;
    size_t end; // index after the atom in the line
};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The value of the string literal starting at i; nothing when it has no closing quote.
std::optional<Atom> ParseLiteral(std::string_view s, size_t i) {
    Atom a;
    for (size_t j = i + 1; j < s.size(); ++j) {
        if (s[j] != '"') {
            a.value += s[j];
        } else if (j + 1 < s.size() && s[j + 1] == '"') {
            a.value += '"';
            ++j;
        } else {
            a.end = j + 1;
            return a;
        }
    }
    return std::nullopt;
}

// A literal of a pattern (?1"ab") has a repeat count or "." right before it.
std::optional<Atom> Literal(std::string_view s, size_t i) {
    if (i > 0 && (IsDigit(s[i - 1]) || s[i - 1] == '.')) return std::nullopt;
    return ParseLiteral(s, i);
}

bool MatchNoCase(std::string_view s, size_t i, std::string_view word) {
    if (s.size() - i < word.size()) return false;
    for (size_t k = 0; k < word.size(); ++k)
        if (std::toupper(static_cast<unsigned char>(s[i + k])) != word[k]) return false;
    return true;
}

// $C(n,...) or $CHAR(n,...) with every n a plain number from 0 to 255.
std::optional<Atom> Char(std::string_view s, size_t i) {
    if (i > 0 && s[i - 1] == '$') return std::nullopt; // $$C( is a routine call
    size_t j;
    if (MatchNoCase(s, i, "$C("))
        j = i + 3;
    else if (MatchNoCase(s, i, "$CHAR("))
        j = i + 6;
    else
        return std::nullopt;
    Atom a;
    for (;;) {
        int code = 0;
        size_t digits = 0;
        while (j < s.size() && IsDigit(s[j]) && digits < 4)
            code = code * 10 + (s[j++] - '0'), ++digits;
        if (digits == 0 || code > 255 || j >= s.size()) return std::nullopt;
        a.value += static_cast<char>(code);
        if (s[j] == ')') {
            a.end = j + 1;
            return a;
        }
        if (s[j++] != ',') return std::nullopt;
    }
}

std::optional<Atom> Constant(std::string_view s, size_t i) {
    if (s[i] == '"') return Literal(s, i);
    if (s[i] == '$') return Char(s, i);
    return std::nullopt;
}

} // namespace

std::string JobInput::Ref(std::string_view value) {
    if (value.empty()) return "\"\"";
    size_t from = kHeader + m_data.size() + 1;
    m_data.append(value);
    return "$E($ZSO," + std::to_string(from) + "," + std::to_string(from + value.size() - 1) + ")";
}

std::string JobInput::Blob(std::string_view code) const {
    char header[kHeader + 1];
    std::snprintf(header, sizeof header, "%08zu", kHeader + m_data.size() + 1);
    std::string blob(header, kHeader);
    blob.reserve(kHeader + m_data.size() + code.size());
    blob += m_data;
    blob += code;
    return blob;
}

std::string LiftLongLiterals(std::string_view line, JobInput& input, size_t limit) {
    if (line.size() <= limit) return std::string(line);
    std::string out;
    size_t i = 0;
    while (i < line.size()) {
        auto first = Constant(line, i);
        if (!first) {
            if (line[i] == '"') {
                // A literal left in place: copy it whole, so its inside is not taken for code.
                auto literal = ParseLiteral(line, i);
                size_t end = literal ? literal->end : line.size();
                out.append(line.substr(i, end - i));
                i = end;
            } else {
                out += line[i++];
            }
            continue;
        }
        // M concatenates left to right: in x_"a"_"b" the first constant may be the right
        // operand of anything, but everything after it only extends the string.
        std::string tail;
        size_t end = first->end;
        while (end + 1 < line.size() && line[end] == '_') {
            auto next = Constant(line, end + 1);
            if (!next) break;
            tail += next->value;
            end = next->end;
        }
        if (first->end - i >= kWorthLifting)
            out += input.Ref(first->value);
        else
            out.append(line.substr(i, first->end - i));
        if (end - first->end >= kWorthLifting)
            out += "_" + input.Ref(tail);
        else
            out.append(line.substr(first->end, end - first->end));
        i = end;
    }
    return out;
}

bool UnpackList(std::string_view text, std::vector<std::string>& items) {
    items.clear();
    size_t i = 0;
    while (i < text.size()) {
        size_t length = 0, digits = 0;
        while (i < text.size() && IsDigit(text[i]) && digits < 8)
            length = length * 10 + (text[i++] - '0'), ++digits;
        if (digits == 0 || i >= text.size() || text[i] != ' ' || text.size() - i - 1 < length) return false;
        items.emplace_back(text.substr(i + 1, length));
        i += 1 + length;
    }
    return true;
}

} // namespace vorlan::dbserver
