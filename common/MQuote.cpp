#include "common/MQuote.h"

namespace vorlan {

namespace {

bool IsControl(unsigned char c) { return c < 32 || c == 127; }

// GT.M takes at most this many arguments in one $C(...).
constexpr int kMaxCharArguments = 255;

// M's canonical form of a number: what $O gives back bare ("12", "-3.5", ".5"; not "012",
// "1.50", "1.", "-0"). Beyond 18 digits the server keeps a subscript as a string.
bool IsCanonicalNumber(std::string_view s) {
    const bool negative = !s.empty() && s[0] == '-';
    if (negative) s.remove_prefix(1);
    if (s.empty()) return false;
    const size_t dot = s.find('.');
    const std::string_view whole = s.substr(0, dot);
    const std::string_view fraction = dot == std::string_view::npos ? std::string_view() : s.substr(dot + 1);
    for (std::string_view part : {whole, fraction})
        for (char c : part)
            if (c < '0' || c > '9') return false;
    if (whole.size() + fraction.size() > 18) return false;
    if (dot != std::string_view::npos) {
        if (fraction.empty() || fraction.back() == '0') return false;
        return whole.empty() || whole[0] != '0';
    }
    if (whole == "0") return !negative;
    return whole[0] != '0';
}

}  // namespace

std::string MSubscript(std::string_view subscript) {
    return IsCanonicalNumber(subscript) ? std::string(subscript) : MQuote(subscript);
}

std::string MQuote(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    bool inLiteral = false;
    bool inChar = false;  // inside "$C(" ... ")"
    int charArguments = 0;
    auto closePart = [&] {
        if (inLiteral) out += '"';
        if (inChar) out += ')';
        inLiteral = inChar = false;
    };
    for (unsigned char c : text) {
        if (IsControl(c)) {
            if (inChar && charArguments < kMaxCharArguments) {
                out += ',';
            } else {
                closePart();
                if (!out.empty()) out += '_';
                out += "$C(";
                inChar = true;
                charArguments = 0;
            }
            ++charArguments;
            out += std::to_string(c);
            continue;
        }
        if (!inLiteral) {
            closePart();
            if (!out.empty()) out += '_';
            out += '"';
            inLiteral = true;
        }
        out += static_cast<char>(c);
        if (c == '"') out += '"';
    }
    closePart();
    if (out.empty()) out = "\"\"";
    return out;
}

std::string MCellLiteralBody(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text) {
        if (c == '"') {
            out += '\xFF';
        } else if (c < 32) {
            out += "\"_$C(";
            out += static_cast<char>('0' + c / 10);
            out += static_cast<char>('0' + c % 10);
            out += ")_\"";
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

}  // namespace vorlan
