#include "frame/FrameDialogsLogic.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace vorlan {

HelpText MakeHelpText(std::string joined) {
    if (joined.empty()) return {kNoHelpNotice, false};
    return {std::move(joined), true};
}

size_t HelpStream::Read(char* buffer, size_t wanted) {
    if (!buffer || AtEnd()) return 0;
    size_t n = std::min(wanted, m_text.size() - m_position);
    std::memcpy(buffer, m_text.data() + m_position, n);
    m_position += n;
    return n;
}

namespace {

bool IsAlpha(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) && static_cast<unsigned char>(c) < 128;
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// A numeric subscript as $Q writes it: -?digits[.digits][E[-]digits] or .digits.
size_t NumberAt(std::string_view s, size_t i) {
    size_t start = i;
    if (i < s.size() && s[i] == '-') ++i;
    size_t digits = i;
    while (i < s.size() && IsDigit(s[i]))
        ++i;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && IsDigit(s[i]))
            ++i;
    }
    if (i == digits || (i == digits + 1 && s[digits] == '.')) return start;
    if (i < s.size() && s[i] == 'E') {
        size_t e = i + 1;
        if (e < s.size() && s[e] == '-') ++e;
        size_t d = e;
        while (e < s.size() && IsDigit(s[e]))
            ++e;
        if (e > d) i = e;
    }
    return i;
}

// "..." with doubled quotes inside.
size_t StringAt(std::string_view s, size_t i) {
    if (i >= s.size() || s[i] != '"') return i;
    for (size_t j = i + 1; j < s.size(); ++j) {
        if (s[j] != '"') continue;
        if (j + 1 < s.size() && s[j + 1] == '"') {
            ++j;
            continue;
        }
        return j + 1;
    }
    return i;
}

// $C(n[,n...]).
size_t CharCallAt(std::string_view s, size_t i) {
    if (s.substr(i, 3) != "$C(") return i;
    size_t j = i + 3;
    for (;;) {
        size_t d = j;
        while (j < s.size() && IsDigit(s[j]))
            ++j;
        if (j == d || j >= s.size()) return i;
        if (s[j] == ')') return j + 1;
        if (s[j] != ',') return i;
        ++j;
    }
}

// A literal subscript: a number, or strings and $C calls joined by "_".
size_t SubscriptAt(std::string_view s, size_t i) {
    size_t number = NumberAt(s, i);
    if (number > i) return number;
    size_t j = i;
    for (;;) {
        size_t next = StringAt(s, j);
        if (next == j) next = CharCallAt(s, j);
        if (next == j) return i;
        j = next;
        if (j < s.size() && s[j] == '_') {
            ++j;
            continue;
        }
        return j;
    }
}

// Every line of the dump runs one of these over the node; the loop variable must differ
// from the node's name, or NEW would hide the value being dumped.
std::string LoopVariableFor(std::string_view node) {
    std::string_view name = node.substr(0, node.find('('));
    return name == "%" ? "%ZZD" : "%";
}

} // namespace

bool IsLocalName(std::string_view name) {
    if (name.empty() || name.size() > 31) return false;
    if (name[0] != '%' && !IsAlpha(name[0])) return false;
    return std::all_of(name.begin() + 1, name.end(), [](char c) { return IsAlpha(c) || IsDigit(c); });
}

bool IsNodeOf(std::string_view node, std::string_view name) {
    if (!IsLocalName(name) || node.substr(0, name.size()) != name) return false;
    if (node.size() == name.size()) return true;
    size_t i = name.size();
    if (node[i] != '(') return false;
    ++i;
    for (;;) {
        size_t next = SubscriptAt(node, i);
        if (next == i || next >= node.size()) return false;
        i = next;
        if (node[i] == ')') return i + 1 == node.size();
        if (node[i] != ',') return false;
        ++i;
    }
}

std::string DumpHasValueLine(std::string_view node) {
    return "W:($D(" + std::string(node) + ")#10) 1";
}

std::string DumpValueLine(std::string_view node) {
    const std::string n(node), v = LoopVariableFor(node);
    return "N " + v + " F " + v + "=1:1:$L(" + n + ") W $S($A(" + n + "," + v + ")<32:\"\"\"_$C(\"_$A(" + n +
           "," + v + ")_\")_\"\"\",1:$E(" + n + "," + v + "))";
}

std::string DumpNextNodeLine(std::string_view node) {
    return "W $Q(" + std::string(node) + ")";
}

std::string DumpNextNameLine(std::string_view name) {
    return "W $O(" + std::string(name) + ")";
}

std::string DumpLine(std::string_view node, std::string_view value) {
    return std::string(node) + "=\"" + std::string(value) + "\"\r\n";
}

std::string SupportReport(std::string_view user, std::string_view memo, std::string_view dump) {
    std::string report = std::string(kSupportSubject) + "\r\n\r\n";
    report += "Benutzer: " + std::string(user) + "\r\n";
    report += "Memo:     " + std::string(memo) + "\r\n\r\n";
    report += "Lokale Variablen:\r\n";
    report += dump;
    return report;
}

std::string SupportReportShown(std::string_view report) {
    std::string out;
    out.reserve(report.size() + report.size() / 8);
    for (char c : report) {
        if (c == '\r') continue;
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

} // namespace vorlan
