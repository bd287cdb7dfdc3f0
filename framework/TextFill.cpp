#include "framework/TextFill.h"

#include <cstdio>

namespace fw {

namespace {

constexpr size_t kMaxDigits = 3;

bool IsFlag(char c) {
    return c == '-' || c == '+' || c == ' ' || c == '#' || c == '0';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsNumberConversion(char c) {
    return c == 'd' || c == 'i' || c == 'u' || c == 'o' || c == 'x' || c == 'X';
}

// The directive at text[at] ('%'): its flags, width and precision and its conversion, or
// conversion 0 when it is none that a value can fill. `end` is one past what it covers.
struct Directive {
    std::string spec; // '%', flags, width, precision
    char conversion = 0;
    size_t end = 0;
};

Directive ReadDirective(std::string_view text, size_t at) {
    Directive d;
    d.spec = "%";
    size_t i = at + 1;
    while (i < text.size() && IsFlag(text[i]))
        d.spec += text[i++];
    size_t digits = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i, ++digits)
        d.spec += text[i];
    bool fits = digits <= kMaxDigits;
    if (i < text.size() && text[i] == '.') {
        d.spec += text[i++];
        digits = 0;
        for (; i < text.size() && IsDigit(text[i]); ++i, ++digits)
            d.spec += text[i];
        fits = fits && digits <= kMaxDigits;
    }
    if (i >= text.size()) {
        d.end = i;
        return d;
    }
    // Whatever stands here ends the directive: a conversion, or something no value fills.
    char c = text[i];
    d.end = i + 1;
    if (fits && (c == 's' || IsNumberConversion(c))) d.conversion = c;
    return d;
}

// spec is checked: one conversion, of the value's own type.
template <class T> std::string Printed(const std::string& spec, T value) {
    int n = std::snprintf(nullptr, 0, spec.c_str(), value);
    if (n <= 0) return std::string();
    std::string out(static_cast<size_t>(n) + 1, '\0');
    std::snprintf(&out[0], out.size(), spec.c_str(), value);
    out.resize(static_cast<size_t>(n));
    return out;
}

// The value as the directive shows it; false when it does not fit.
bool Fill(const Directive& d, const TextValue& value, std::string& out) {
    if (d.conversion == 's') {
        std::string text = value.IsText() ? value.Text() : std::to_string(value.Number());
        if (d.spec == "%") {
            out += text;
            return true;
        }
        out += Printed(d.spec + "s", text.c_str());
        return true;
    }
    if (value.IsText()) return false;
    if (d.conversion == 'd' || d.conversion == 'i')
        out += Printed(d.spec + "ll" + d.conversion, value.Number());
    else
        out += Printed(d.spec + "ll" + d.conversion, static_cast<unsigned long long>(value.Number()));
    return true;
}

} // namespace

std::string FillText(std::string_view text, std::initializer_list<TextValue> values) {
    std::string out;
    out.reserve(text.size());
    const TextValue* next = values.begin();
    for (size_t i = 0; i < text.size();) {
        if (text[i] != '%') {
            out += text[i++];
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == '%') {
            out += '%';
            i += 2;
            continue;
        }
        Directive d = ReadDirective(text, i);
        const TextValue* value = next != values.end() ? next++ : nullptr;
        if (!value || !d.conversion || !Fill(d, *value, out)) out.append(text.substr(i, d.end - i));
        i = d.end;
    }
    return out;
}

} // namespace fw
