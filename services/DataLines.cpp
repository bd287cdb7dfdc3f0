#include "services/DataLines.h"
#include "common/MQuote.h"

namespace vorlan {

namespace {

constexpr size_t kCodesPerGroup = 255;

} // namespace

std::string CharCodes(std::string_view bytes) {
    if (bytes.empty()) return "\"\"";
    std::string out;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i % kCodesPerGroup == 0)
            out += i == 0 ? "$C(" : ")_$C(";
        else
            out += ',';
        out += std::to_string(static_cast<unsigned char>(bytes[i]));
    }
    return out + ")";
}

std::vector<std::string> ValueParts(std::string_view value, bool codes) {
    std::vector<std::string> parts;
    size_t at = 0;
    do {
        std::string_view part = value.substr(at, kSetPartBytes);
        std::string expression = codes ? CharCodes(part) : MQuote(part);
        while (expression.size() > kSetPartChars && part.size() > 1) {
            part = part.substr(0, part.size() / 2);
            expression = codes ? CharCodes(part) : MQuote(part);
        }
        parts.push_back(std::move(expression));
        at += part.size();
    } while (at < value.size());
    return parts;
}

std::vector<std::string> AppendingSetLines(std::string_view reference, const std::vector<std::string>& parts,
                                           std::string_view tail) {
    std::vector<std::string> lines;
    std::string ref(reference);
    for (size_t i = 0; i < parts.size(); ++i)
        lines.push_back("S " + ref + "=" + (i == 0 ? "" : ref + "_") + parts[i]);
    if (lines.empty()) lines.push_back("S " + ref + "=\"\"");
    lines.back() += tail;
    return lines;
}

} // namespace vorlan
