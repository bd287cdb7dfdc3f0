#include "services/FormularWriter.h"

#include "services/FormularReader.h"

namespace vorlan::formular {

namespace {

bool IsAlnum(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool BracesBalance(const std::string& value) {
    int depth = 0;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\') {
            ++i;
            continue;
        }
        if (value[i] == '{') ++depth;
        if (value[i] == '}' && --depth < 0) return false;
    }
    return depth == 0;
}

} // namespace

std::string ValueRtf(const std::string& value) {
    std::string out;
    out.reserve(value.size() + 16);
    if (value.find("rtf:{\\") != std::string::npos && BracesBalance(value)) {
        for (size_t i = 0; i < value.size(); ++i) {
            if (value.compare(i, 4, "rtf:") == 0) {
                i += 3;
                continue;
            }
            if (value[i] == '\r')
                out += "\\par ";
            else
                out += value[i];
        }
        return out;
    }
    for (char c : value) {
        if (c == '\r') {
            out += "\\par ";
            continue;
        }
        if (c == '\\' || c == '{' || c == '}') out += '\\';
        out += c;
    }
    return out;
}

void WriteLine(const std::string& text, const TokenValue& value, std::string& out) {
    // A control word that ends right before a token ("\b@NAME"): the value must not become
    // part of the word.
    bool openWord = false;
    for (size_t i = 0; i < text.size();) {
        char c = text[i];
        if (c == '\\') {
            // Control words and escapes, \bin data included, are never tokens.
            size_t end = EscapeEnd(text, i);
            out.append(text, i, end - i);
            openWord = i + 1 < text.size() && IsAlnum(text[i + 1]) && text[end - 1] != ' ' &&
                       text.compare(i, 4, "\\bin") != 0;
            i = end;
            continue;
        }
        if ((c == '@' || c == '#') && i + 1 < text.size() && IsAlnum(text[i + 1])) {
            size_t end = i + 1;
            while (end < text.size() && end - i < static_cast<size_t>(kMaxTokenChars) &&
                   (IsAlnum(text[end]) || text[end] == '.'))
                ++end;
            std::string token = text.substr(i, end - i);
            size_t blanks = end;
            while (blanks < text.size() && text[blanks] == ' ')
                ++blanks;
            std::optional<std::string> v = value ? value(token) : std::nullopt;
            if (!v) {
                out.append(text, i, end - i);
                i = end;
                continue;
            }
            std::string rtf = ValueRtf(*v);
            if (openWord && !rtf.empty()) out += ' ';
            out += rtf;
            if (blanks > end) out += ' ';
            openWord = false;
            i = blanks;
            continue;
        }
        openWord = false;
        out += c;
        ++i;
    }
}

} // namespace vorlan::formular
