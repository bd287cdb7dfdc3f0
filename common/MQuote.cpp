#include "common/MQuote.h"

namespace vorlan {

namespace {

bool IsControl(unsigned char c) { return c < 32 || c == 127; }

// GT.M takes at most this many arguments in one $C(...).
constexpr int kMaxCharArguments = 255;

}  // namespace

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
