#include "frame/MenuTreeLogic.h"

#include "app/ReplyFields.h"
#include "common/MQuote.h"

#include <cstdlib>
#include <cstring>

namespace vorlan {

namespace {

constexpr std::size_t kPieceLimit = 255;

// Decimal text as the server's numbers are read: leading sign and digits, the rest ignored.
int ReadNumber(const std::string& text) {
    long value = std::strtol(text.c_str(), nullptr, 10);
    if (value > 0x7FFFFFFFL) return 0x7FFFFFFF;
    if (value < -0x7FFFFFFFL) return -0x7FFFFFFF;
    return static_cast<int>(value);
}

void CopyCut(char* dest, std::size_t capacity, std::string_view text) {
    std::size_t n = text.size() < capacity - 1 ? text.size() : capacity - 1;
    if (n) std::memcpy(dest, text.data(), n);
    dest[n] = '\0';
}

} // namespace

int MenuEntry::Index() const {
    return (number < 0 ? -number : number) - 1;
}

std::string MenuEntry::ShownText() const {
    return memo.empty() ? text : text + " [" + memo + "]";
}

int MenuEntry::FlagNumber() const {
    return ReadNumber(flag);
}

int MenuEntry::LeafImage(bool editMode, int imageCount) const {
    int n = FlagNumber();
    if (editMode || n <= 0 || n > imageCount) return kImageLeaf;
    return n - 1;
}

std::vector<MenuEntry> ParseMenuReply(std::string_view reply) {
    std::vector<MenuEntry> entries;
    for (int group = 0;; ++group) {
        auto piece = [&](int k) {
            std::string p = PieceOf(reply, group * 4 + k);
            if (p.size() > kPieceLimit) p.resize(kPieceLimit);
            return p;
        };
        std::string number = piece(1);
        if (number.empty()) break;
        MenuEntry e;
        e.number = ReadNumber(number);
        e.memo = piece(2);
        e.text = piece(3);
        e.flag = piece(4);
        entries.push_back(std::move(e));
    }
    return entries;
}

std::string FormatMenuPath(const std::vector<int>& indices, bool trailingComma) {
    std::string path;
    for (int index : indices)
        path += std::to_string(index) + ",";
    if (!trailingComma && !path.empty()) path.pop_back();
    return path;
}

std::vector<int> ParseMenuPath(std::string_view path) {
    std::vector<int> numbers;
    std::size_t start = 0;
    while (start <= path.size() && numbers.size() < static_cast<std::size_t>(kMaxMenuDepth)) {
        std::size_t comma = path.find(',', start);
        std::size_t end = comma == std::string_view::npos ? path.size() : comma;
        if (end > start) numbers.push_back(ReadNumber(std::string(path.substr(start, end - start))));
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    return numbers;
}

std::string MenuEditInitLine(std::string_view user) {
    return "D INI998^QCC(" + MQuote(user) + ")";
}

std::string MenuInitLine() {
    return "W $$INIMNU^QCC()";
}

std::string MenuGetLine(std::string_view path, const std::string* editUser) {
    std::string head = editUser ? "S BGTEST=" + MQuote(*editUser) + " " : std::string("K BGTEST ");
    return head + "W $$GETMNU^QCC(" + MQuote(path) + ")";
}

std::string MenuSetLine(std::string_view pathWithoutComma, bool on) {
    return "D SETMNU^QCC(" + MQuote(pathWithoutComma) + (on ? ",1)" : ",0)");
}

std::string MenuEditSaveLine(std::string_view user) {
    return "D SAV998^QCC(" + MQuote(user) + ")";
}

std::string MenuEndLine() {
    return "D ENDMNU^QCC";
}

std::string MenuResyncLine(std::string_view memo) {
    return "W $P($$SELECTM^QCC(" + MQuote(memo) + ")_%DL_$G(%MEMO(\"PATH\")),%DL,2)";
}

bool BuildMenuDragRecord(std::string_view itemText, std::string_view memo, bool dragImage,
                         MenuDragRecord& out) {
    std::memset(&out, 0, sizeof out);
    if (memo.size() >= sizeof out.memo) return false;
    out.kind = kMenuDragKind;
    out.item = 1;
    out.dragImage = dragImage ? 1 : 0;
    std::size_t bracket = itemText.rfind('[');
    CopyCut(out.text, sizeof out.text,
            bracket == std::string_view::npos ? std::string_view() : itemText.substr(0, bracket));
    CopyCut(out.memo, sizeof out.memo, memo);
    return true;
}

bool PeekIconRecord(const void* data, std::size_t size, std::int32_t& kind, bool& dragImage) {
    if (!data || size < 20) return false;
    std::int32_t flag = 0;
    std::memcpy(&kind, data, sizeof kind);
    std::memcpy(&flag, static_cast<const char*>(data) + 16, sizeof flag);
    dragImage = flag != 0;
    return true;
}

} // namespace vorlan
