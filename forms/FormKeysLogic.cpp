#include "forms/FormKeysLogic.h"

#include "app/ReplyFields.h"
#include "forms/FormLogic.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace vorlan {

namespace {

constexpr size_t kMaxLabel = 128;
constexpr size_t kMaxFunkPart = 256;
constexpr size_t kMaxFunkState = 32;
constexpr int kFirstXKey = 8;
constexpr int kFirstMenuEntry = 40;

std::string Trim(std::string_view s, bool front) {
    size_t b = 0, e = s.size();
    if (front)
        while (b < e && s[b] == ' ')
            ++b;
    while (e > b && s[e - 1] == ' ')
        --e;
    return std::string(s.substr(b, e - b));
}

// The number at the start of a text, digits only, at most nine of them; -1 when none.
int LeadingNumber(std::string_view s) {
    int n = 0, digits = 0;
    for (char c : s) {
        if (c < '0' || c > '9' || digits == 9) break;
        n = n * 10 + (c - '0');
        ++digits;
    }
    return digits ? n : -1;
}

// M's numeric reading of a text's start (sign, digits, a point): non-zero or not.
bool NonZeroNumber(std::string_view s) {
    std::string head(s.substr(0, kMaxFunkState));
    return std::strtod(head.c_str(), nullptr) != 0.0;
}

int KeyCount(const std::vector<std::string>& keys, int count) {
    int n = count < static_cast<int>(keys.size()) ? count : static_cast<int>(keys.size());
    if (n > kKeyCount) n = kKeyCount;
    return n < 0 ? 0 : n;
}

// The order in which a popup visits the entries: menu entries first when there are any.
std::vector<int> VisitOrder(int n) {
    std::vector<int> order;
    if (n > kFirstMenuEntry)
        for (int i = kFirstMenuEntry; i < n; ++i)
            order.push_back(i);
    for (int i = 0; i < n && i < (n > kFirstMenuEntry ? kFirstMenuEntry : n); ++i)
        order.push_back(i);
    return order;
}

// A group break before the next item: never first, never twice.
void Separate(std::vector<KeyMenuItem>& items) {
    if (!items.empty() && !items.back().separator) items.push_back(KeyMenuItem{true, 0, -1, ""});
}

void DropTrailingSeparator(std::vector<KeyMenuItem>& items) {
    if (!items.empty() && items.back().separator) items.pop_back();
}

} // namespace

std::string KeyLabel(std::string_view keyText, const LabelCode& run) {
    std::string label = PieceOf(keyText, 1).substr(0, kMaxLabel);
    if (!label.empty() && label[0] == '*') label = run ? run(label.substr(1)).substr(0, kMaxLabel) : "";
    return label;
}

std::string KeyCaption(std::string_view label) {
    if (!label.empty() && label[0] == '[') label.remove_prefix(1);
    size_t semi = label.find(';');
    std::string caption = Trim(std::string(label.substr(0, semi)), true);
    if (semi != std::string_view::npos) {
        std::string shortcut = Trim(std::string(label.substr(semi + 1)), true);
        if (!shortcut.empty()) caption += " (" + shortcut + ")";
    }
    return caption;
}

std::string KeyDialogOpening(std::string_view action, std::string_view label) {
    return std::string(action) + kPieceDelimiter + KeyCaption(label);
}

int KeyDialogValue(unsigned commandId) {
    return static_cast<int>(commandId) - 0x4000;
}

bool IsUndoFieldId(int id, int fieldCount) {
    int last = fieldCount < 255 ? fieldCount : 255;
    return id >= 0x1001 && id <= 0x1000 + last;
}

int KeyImage(std::string_view keyText) {
    int n = LeadingNumber(PieceOf(keyText, 7));
    return n > 0 ? n : 0;
}

bool ReadKeyGroup(std::string_view keyText, KeyGroup& out) {
    std::string group = PieceOf(keyText, 9);
    if (group.empty()) return false;
    int number = LeadingNumber(group);
    out.number = number < 0 ? 0 : number;
    out.title = PieceOf(group, 2, '/');
    int bitmap = LeadingNumber(PieceOf(group, 3, '/'));
    out.bitmap = bitmap < 0 ? 0 : bitmap;
    return true;
}

std::vector<KeyMenuItem> KeyMenuItems(const std::vector<std::string>& keys, int count, int group,
                                      const LabelCode& run) {
    std::vector<KeyMenuItem> items;
    bool newGroup = false;
    for (int i : VisitOrder(KeyCount(keys, count))) {
        if (i == kFirstXKey) newGroup = true;
        const std::string& text = keys[static_cast<size_t>(i)];
        if (text.empty()) continue;
        KeyGroup g;
        if (group != -1 && (!ReadKeyGroup(text, g) || g.number != group)) continue;
        std::string label = KeyLabel(text, run);
        if (label.empty() || label[0] == '[' || newGroup) Separate(items);
        newGroup = false;
        if (label.empty()) continue;
        std::string caption = KeyCaption(label);
        if (caption.empty()) continue;
        int image = KeyImage(text);
        items.push_back(KeyMenuItem{false, CommandOfKeyIndex(i), image > 0 ? image - 1 : -1, caption});
    }
    DropTrailingSeparator(items);
    return items;
}

std::vector<TitlePopup> TitleMenuPopups(const std::vector<std::string>& keys, int count,
                                        const LabelCode& run) {
    std::vector<TitlePopup> popups;
    int n = KeyCount(keys, count);
    for (int i = 0; i < n; ++i) {
        KeyGroup g;
        if (!ReadKeyGroup(keys[static_cast<size_t>(i)], g)) continue;
        bool known = false;
        for (const TitlePopup& p : popups)
            if (p.group.number == g.number) known = true;
        if (known || popups.size() >= static_cast<size_t>(kTitleMenuSlots)) continue;
        popups.push_back(TitlePopup{g, KeyMenuItems(keys, count, g.number, run)});
    }
    return popups;
}

bool AnyKeyImage(const std::vector<std::string>& keys, int count) {
    int n = KeyCount(keys, count);
    for (int i = 0; i < n; ++i)
        if (KeyImage(keys[static_cast<size_t>(i)]) >= 1) return true;
    return false;
}

std::vector<KeyMenuItem> KeyToolButtons(const std::vector<std::string>& keys, int count,
                                        const LabelCode& run) {
    std::vector<KeyMenuItem> buttons;
    if (!AnyKeyImage(keys, count)) return buttons;
    int n = KeyCount(keys, count);
    bool newGroup = false;
    for (int i = 0; i < n; ++i) {
        if (i == kFirstXKey) newGroup = true;
        const std::string& text = keys[static_cast<size_t>(i)];
        if (text.empty()) continue;
        std::string label = KeyLabel(text, run);
        if (label.empty() || label[0] == '[' || newGroup) Separate(buttons);
        newGroup = false;
        int image = KeyImage(text);
        if (label.empty() || image < 1) continue;
        if (label[0] == '[') label.erase(0, 1);
        std::string caption = Trim(label.substr(0, label.find(';')), false);
        buttons.push_back(KeyMenuItem{false, CommandOfKeyIndex(i), image - 1, caption});
    }
    DropTrailingSeparator(buttons);
    return buttons;
}

int FunkKeyIndex(std::string_view key, unsigned& command) {
    command = 0;
    if (key.size() < 2 || key.size() > 3) return -1;
    char letter = key[0];
    if (!((letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z'))) return -1;
    int n = 0;
    for (char c : key.substr(1)) {
        if (c < '0' || c > '9') return -1;
        n = n * 10 + (c - '0');
    }
    if (letter == 'F') {
        if (n < 5 || n > 12) return -1;
        command = static_cast<unsigned>(n) + 32795;
        return n - 5;
    }
    if (n < 1 || n > 32) return -1;
    if (letter == 'X') {
        command = static_cast<unsigned>(n) + 32980;
        return n + 7;
    }
    return n + 39;
}

std::vector<FunkEntry> ParseFunkAnswer(std::string_view answer) {
    std::vector<FunkEntry> entries;
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (size_t at = answer.find('\xFF'); at != std::string_view::npos; at = answer.find('\xFF', start)) {
        parts.push_back(answer.substr(start, at - start));
        start = at + 1;
    }
    if (start < answer.size()) parts.push_back(answer.substr(start));
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        FunkEntry e;
        e.index = FunkKeyIndex(parts[i].substr(0, kMaxFunkPart), e.command);
        if (e.index < 0) continue;
        std::string_view value = parts[i + 1].substr(0, kMaxFunkPart);
        std::string state = PieceOf(value, 1).substr(0, kMaxFunkState);
        e.checked = NonZeroNumber(state) ? 1 : 0;
        e.enabled = !NonZeroNumber(PieceOf(value, 2));
        entries.push_back(e);
    }
    return entries;
}

ToolbarLooks ReadToolbarRecord(const void* data, size_t size) {
    ToolbarLooks looks;
    if (!data || size < 8) return looks;
    std::int32_t fields[2];
    std::memcpy(fields, data, sizeof fields);
    looks.present = true;
    looks.textMode = fields[0];
    looks.largeIcons = fields[1] != 0;
    return looks;
}

} // namespace vorlan
