#include "tools/IconListLogic.h"

#include "common/MQuote.h"

#include <cstdlib>
#include <cstring>

namespace vorlan {

namespace {

std::string SizeLine(std::string_view node, int width, int height) {
    return "S %WIN(" + MQuote(node) + ")=" + std::to_string(width) + "_\",\"_" + std::to_string(height);
}

std::int32_t ReadInt32(const unsigned char* p) {
    std::int32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// The text of a field at offset with width bytes, ending at its terminator, the field's end
// or the block's end, whichever comes first.
std::string BoundedText(const unsigned char* block, std::size_t size, std::size_t offset, std::size_t width) {
    if (offset >= size) return {};
    std::size_t limit = size - offset < width ? size - offset : width;
    const char* p = reinterpret_cast<const char*>(block + offset);
    std::size_t n = 0;
    while (n < limit && p[n] != '\0')
        ++n;
    return std::string(p, n);
}

// A decimal number up to the delimiter; false when there is none.
bool TakeNumber(std::string_view& in, char delimiter, long& out) {
    std::size_t at = in.find(delimiter);
    if (at == std::string_view::npos || at == 0 || at > 12) return false;
    std::string digits(in.substr(0, at));
    char* end = nullptr;
    out = std::strtol(digits.c_str(), &end, 10);
    if (!end || *end != '\0') return false;
    in.remove_prefix(at + 1);
    return true;
}

bool TakeCounted(std::string_view& in, std::string& out) {
    long length = 0;
    if (!TakeNumber(in, ':', length) || length < 0 || static_cast<std::size_t>(length) > in.size())
        return false;
    out.assign(in.substr(0, static_cast<std::size_t>(length)));
    in.remove_prefix(static_cast<std::size_t>(length));
    return true;
}

std::string IconNode(int n) {
    return "^Z(\"DESKTOP\",%USER,\"ICONS\"," + std::to_string(n) + ",";
}

} // namespace

std::string ClientSizeLine(int width, int height) {
    return SizeLine("CLIENTSIZE", width, height);
}

std::string ScreenSizeLine(int width, int height) {
    return SizeLine("SCREENSIZE", width, height);
}

IconDragRecord BuildDesktopDragRecord(int item, int x, int y, bool dragImage) {
    IconDragRecord r;
    std::memset(&r, 0, sizeof r);
    r.kind = kIconDragDesktop;
    r.item = item;
    r.x = x;
    r.y = y;
    r.dragImage = dragImage ? 1 : 0;
    return r;
}

bool ReadIconDrop(const void* data, std::size_t size, int itemCount, IconDrop& out) {
    out = IconDrop{};
    if (!data || size < kIconDragHeaderSize) return false;
    const auto* block = static_cast<const unsigned char*>(data);
    out.kind = ReadInt32(block + offsetof(IconDragRecord, kind));
    if (out.kind == kIconDragDesktop) {
        out.item = ReadInt32(block + offsetof(IconDragRecord, item));
        out.x = ReadInt32(block + offsetof(IconDragRecord, x));
        out.y = ReadInt32(block + offsetof(IconDragRecord, y));
        return out.item >= 0 && out.item < itemCount;
    }
    if (out.kind != kIconDragMenuEntry) return false;
    out.text = BoundedText(block, size, offsetof(IconDragRecord, text), sizeof(IconDragRecord::text));
    out.memo = BoundedText(block, size, offsetof(IconDragRecord, memo), sizeof(IconDragRecord::memo));
    return true;
}

std::string ParameterLine(std::string_view parameter) {
    return "S %WIN(\"PARA\")=" + MQuote(parameter);
}

std::string MenuPictureLine(std::string_view memo) {
    return "W $$GETMNUPI^QCC(" + MQuote(memo) + ")";
}

int IconImageFromAnswer(std::string_view answer) {
    int n = std::atoi(std::string(answer).c_str());
    return n == 0 ? kDefaultIconImage : n - 1;
}

std::string MenuNextLine(std::string_view key) {
    return "W $$MENUNEXT^QCC(" + MQuote(key) + ")";
}

std::string MenuNextKey(std::string_view reply) {
    return std::string(reply.substr(0, reply.find(' ')));
}

std::string MenuInfoLine(std::string_view memo) {
    return "W $$MENUINFO^QCC(" + MQuote(memo) + ")";
}

MenuInfo ParseMenuInfo(std::string_view reply) {
    std::vector<std::string_view> pieces;
    for (;;) {
        std::size_t at = reply.find('\xA7');
        pieces.push_back(reply.substr(0, at));
        if (at == std::string_view::npos) break;
        reply.remove_prefix(at + 1);
    }
    MenuInfo info;
    info.takesParameter = pieces[0] == "J";
    if (!info.takesParameter) return info;
    for (std::size_t i = 1; i < pieces.size(); i += 2) {
        std::string choice(pieces[i]);
        choice += " (";
        if (i + 1 < pieces.size()) choice += pieces[i + 1];
        choice += ")";
        if (choice.size() > 127) choice.resize(127);
        info.choices.push_back(std::move(choice));
    }
    return info;
}

std::string ChoiceValue(std::string_view choice) {
    return std::string(choice.substr(0, choice.find(' ')));
}

std::string StoredIconLine(int n) {
    std::string p = IconNode(n);
    auto value = [&](const char* item) { return "$G(" + p + "\"" + item + "\"))"; };
    auto counted = [&](const char* item) { return "$L(" + value(item) + "),\":\"," + value(item); };
    // Whole numbers (\1) so that the reply's own commas and colons stay delimiters.
    return "W " + value("POSX") + "\\1,\",\"," + value("POSY") + "\\1,\",\",$S(" + value("MEMO") +
           "=\"\":0,1:$$GETMNUPI^QCC(" + value("MEMO") + ")\\1),\",\"," + counted("TEXT") + "," +
           counted("MEMO") + "," + counted("PARA") + ",$O(^Z(\"DESKTOP\",%USER,\"ICONS\"," +
           std::to_string(n) + "))";
}

bool ParseStoredIcon(std::string_view reply, StoredIcon& out) {
    out = StoredIcon{};
    long x = 0, y = 0, picture = 0;
    if (!TakeNumber(reply, ',', x) || !TakeNumber(reply, ',', y) || !TakeNumber(reply, ',', picture))
        return false;
    if (!TakeCounted(reply, out.text) || !TakeCounted(reply, out.memo) || !TakeCounted(reply, out.parameter))
        return false;
    out.x = static_cast<int>(x);
    out.y = static_cast<int>(y);
    out.image = out.memo.empty() ? kDefaultIconImage : IconImageFromAnswer(std::to_string(picture));
    out.next.assign(reply);
    return true;
}

std::string FontSampleText(std::string_view face, int points) {
    return std::string(face) + ", " + std::to_string(points) + "pt";
}

PlacedRect PicturePlacement(int mode, const PlacedRect& area, int width, int height) {
    switch (mode) {
    case 1: {
        int left = area.left + (area.right - area.left - width) / 2;
        int top = area.top + (area.bottom - area.top - height) / 2;
        return {left, top, left + width, top + height};
    }
    case 2: return area;
    case 3: return {area.right - width, area.bottom - height, area.right, area.bottom};
    default: return {area.left, area.top, area.left + width, area.top + height};
    }
}

} // namespace vorlan
