#include "forms/FormFieldLogic.h"
#include "common/TextChars.h"

#include "app/ReplyFields.h"
#include "common/MQuote.h"
#include "forms/FormLogic.h"
#include "services/HubLines.h"

#include <cctype>

namespace vorlan {

RefreshList ParseRefreshList(std::string_view answer) {
    RefreshList list;
    if (answer.empty()) return list;
    list.all = false;
    size_t at = 0;
    while (at <= answer.size()) {
        size_t comma = answer.find(',', at);
        int n = NumberOf(
            answer.substr(at, comma == std::string_view::npos ? std::string_view::npos : comma - at));
        if (n > 0 && n < 64) list.listed[static_cast<size_t>(n)] = true;
        if (comma == std::string_view::npos) break;
        at = comma + 1;
    }
    return list;
}

EnableState EnableRule(std::string_view locks, int count, int focus, bool freeOrder, bool formEnabled) {
    EnableState s;
    if (count < 0) count = 0;
    s.control.assign(static_cast<size_t>(count) + 1, false);
    s.label.assign(static_cast<size_t>(count) + 1, false);
    bool noOpenSeen = true;
    for (int i = 1; i <= count; ++i) {
        bool open = PieceOf(locks, i) == "0";
        if (noOpenSeen && i == focus && !open) focus = i + 1;
        if (open) noOpenSeen = false;
        bool after = focus < i;
        s.control[static_cast<size_t>(i)] = freeOrder ? open : (open && formEnabled && !after);
        s.label[static_cast<size_t>(i)] = freeOrder ? open : (open && formEnabled);
    }
    s.grid = PieceOf(locks, count + 1) == "0";
    s.focus = focus & 0xFFFF;
    return s;
}

SearchWord SearchWordAt(std::string_view text, int caret) {
    SearchWord w;
    size_t at = caret < 0 ? 0 : static_cast<size_t>(caret);
    size_t end = at;
    while (end < text.size() && IsTextAlnum(static_cast<unsigned char>(text[end])))
        ++end;
    if (at < text.size()) w.word = std::string(text.substr(at, end - at));
    w.selStart = caret > 0 ? caret - 1 : 0;
    w.selEnd = static_cast<int>(end < at ? at : end);
    return w;
}

std::string TableLine(int field, std::string_view text) {
    return "W $P($$TABLE^QCC(" + std::to_string(field) + "," + MQuote(QuotesAs255(text.substr(0, 255))) +
           "),%DL,3)";
}

std::string ChosenRowLine(int index) {
    return "S %ZZP=" + std::to_string(index + 1) + " X:$G(%EXCR)'=\"\" %EXCR";
}

std::string ChosenTableRowLine(int index) {
    return "S %TABZ=" + std::to_string(index + 1);
}

std::string TabxLine(std::string_view table, std::string_view text) {
    return "D TABX^QCC(" + MQuote(table) + "," + MQuote(text) + ")";
}

std::string TableChoiceText(std::string_view row) {
    std::string text(row);
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') text.front() = text.back() = ' ';
    return text;
}

std::string ScrollNodeLine(std::string_view description, int field) {
    return "W $G(^QM(" + MQuote(description) + ",0,\"SCROLL\"," + std::to_string(field) + "))";
}

std::string ScrollRoutineLine(std::string_view routine) {
    return DoLine(routine) + " W $$TAB^QCC()";
}

std::string KillTabLine(std::string_view tabText) {
    return "D KILL^QCC(" + MQuote(tabText) + ")";
}

std::string SetDialogLine(std::string_view formName) {
    return "S %DN=" + MQuote(formName);
}

bool IsRoutineRef(std::string_view text) {
    auto name = [](std::string_view s) {
        if (s.empty() || s.size() > 31) return false;
        if (s[0] != '%' && !std::isalpha(static_cast<unsigned char>(s[0]))) return false;
        for (size_t i = 1; i < s.size(); ++i)
            if (!std::isalnum(static_cast<unsigned char>(s[i]))) return false;
        return true;
    };
    size_t caret = text.find('^');
    if (caret == std::string_view::npos) return name(text);
    std::string_view label = text.substr(0, caret);
    return (label.empty() || name(label)) && name(text.substr(caret + 1));
}

} // namespace vorlan
