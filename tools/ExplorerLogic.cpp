#include "tools/ExplorerLogic.h"

#include "app/ReplyFields.h"
#include "common/MQuote.h"
#include "tools/FolderPaths.h"

#include <algorithm>
#include <cstring>

namespace vorlan::record {

namespace {

constexpr char kDl = vorlan::kPieceDelimiter;
constexpr const char* kNode = "^QTEMP(%JOB,\"EXPLORER\",%DN,";

// Permission bits and the commands they forbid.
constexpr int kNoDelete = 0x1, kNoCopy = 0x2, kNoCut = 0x4, kNoPaste = 0x8, kNoRename = 0x10;
constexpr int kKindServer = 0x1, kKindLevel2 = 0x4, kKindFirst = 0x10, kKindFolder = 0x100, kKindFile = 0x200;

std::string Node(std::string_view subscripts) {
    return std::string(kNode) + std::string(subscripts) + ")";
}

// The level numbers of the walk: a for level 1, b for level 2.
const char* LevelA(bool swapped) {
    return swapped ? "2" : "1";
}
const char* LevelB(bool swapped) {
    return swapped ? "1" : "2";
}

// The "D",3 subscripts of the pair being walked: the "D",1 key first.
std::string DocumentPair(bool swapped) {
    return swapped ? "%QCC2,%QCC1" : "%QCC1,%QCC2";
}

} // namespace

std::string SourceLine() {
    return "W $G(" + Node("\"SOURCE\"") + ")";
}
std::string ThumbsLine() {
    return "W $G(" + Node("\"THUMBS\"") + ")";
}
std::string SortLine() {
    return "W $G(" + Node("\"SORT\"") + ") K " + Node("\"SORT\"");
}
std::string RootTextLine() {
    return "W $G(" + Node("\"D\"") + ")";
}
std::string BitmapLine() {
    return "W $G(" + Node("\"BITMAP\"") + ")";
}
std::string XDefinedLine() {
    return "W $D(" + Node("\"X\"") + ")";
}

std::string NextLevel1Line(bool swapped) {
    return "S %QCC1=$O(" + Node(std::string("\"D\",") + LevelA(swapped) + ",%QCC1") + ") W %QCC1";
}
std::string Level1ValueLine(bool swapped) {
    return "W $G(" + Node(std::string("\"D\",") + LevelA(swapped) + ",%QCC1") + ")";
}
std::string NextLevel2Line(bool swapped) {
    return "S %QCC2=$O(" + Node(std::string("\"D\",") + LevelB(swapped) + ",%QCC2") + ") W %QCC2";
}
std::string Level2ValueLine(bool swapped) {
    return "W $P($G(" + Node(std::string("\"D\",") + LevelB(swapped) + ",%QCC2") + "),%DL,1)";
}
std::string HiddenLine(int level) {
    return std::string("W $G(^QTEMP(%JOB,\"NOVIEW\",%DN,\"D\",1,%QCC") + (level == 2 ? "2" : "1") + "))";
}
std::string NextDocumentLine(bool swapped) {
    return "S %QCC3=$O(" + Node("\"D\",3," + DocumentPair(swapped) + ",%QCC3") + ") W %QCC3";
}
std::string DocumentHiddenLine(bool swapped) {
    return "W $G(^QTEMP(%JOB,\"NOVIEW\",%DN,\"D\",3," + DocumentPair(swapped) + ",%QCC3))";
}
std::string DocumentValueLine(bool swapped) {
    return "W $G(" + Node("\"D\",3," + DocumentPair(swapped) + ",%QCC3") + ")";
}

std::string MenuEntryLine(char source, int n) {
    return "W $G(" + Node(std::string("\"") + (source == 'X' ? 'X' : 'F') + "\"," + std::to_string(n)) + ")";
}
std::string SetExplorerLine(std::string_view serverText) {
    return "S %EXPLORER=" + MQuote(serverText);
}
std::string SetRetLine(std::string_view value) {
    return "S %RET=" + MQuote(value);
}

std::string Piece(std::string_view source, int n, size_t capacity) {
    if (capacity == 0) return {};
    std::string piece = vorlan::PieceOf(source, n, kDl);
    if (piece.size() >= capacity) piece.resize(capacity - 1);
    return piece;
}

int Number(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = std::min<long long>(value * 10 + (text[i] - '0'), 0x7FFFFFFF);
    return static_cast<int>(negative ? -value : value);
}

ServerEntry ParseEntry(std::string_view key, std::string_view value) {
    ServerEntry e;
    e.name = Piece(key, 1);
    e.first = Piece(key, 2) == "1";
    e.permissions = Number(Piece(key, 3));
    e.text = Piece(value, 1);
    e.serverText = Piece(value, 2);
    e.stateImage = Number(Piece(value, 3));
    return e;
}

std::vector<int> StateImageIndexes(std::string_view bitmapReply) {
    std::vector<int> indexes;
    for (int i = 1; i <= 7; ++i) {
        int index = Number(Piece(bitmapReply, i));
        if (index <= 0) break;
        indexes.push_back(index);
    }
    return indexes;
}

MenuItemReply ParseMenuItem(std::string_view reply) {
    MenuItemReply item;
    if (reply.empty()) return item;
    item.text = Piece(reply, 3);
    item.kind = item.text.empty() ? MenuItemReply::Separator : MenuItemReply::Entry;
    return item;
}

MenuReply ParseMenuReply(std::string_view reply) {
    return MenuReply{Piece(reply, 1, 16), Piece(reply, 2, 64), Piece(reply, 3, 512)};
}

int ExtensionPosition(std::string_view name) {
    size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? -1 : static_cast<int>(dot);
}

std::string DisplayName(std::string_view name, int extension) {
    if (extension < 0 || static_cast<size_t>(extension) > name.size()) return std::string(name);
    return std::string(name.substr(0, static_cast<size_t>(extension)));
}

namespace {
bool EndsWith(std::string_view name, std::string_view tail) {
    return name.size() >= tail.size() && name.substr(name.size() - tail.size()) == tail;
}
} // namespace

bool IsTextPreview(std::string_view name) {
    return EndsWith(name, ".txt") || EndsWith(name, ".rtf");
}
bool IsRichTextPreview(std::string_view name) {
    return EndsWith(name, ".rtf");
}

PathResult BuildFileName(const std::vector<PathNode>& chain, bool swapped, std::string_view source,
                         std::string& path, std::string& name) {
    path.clear();
    name.clear();
    size_t i = 0;
    if (!chain.empty() && (chain[0].kind & kKindFile)) {
        name = chain[0].name;
        i = 1;
    }
    std::vector<const std::string*> folders;
    for (; i < chain.size() && !(chain[i].kind & kKindServer); ++i) {
        if (!(chain[i].kind & kKindFolder)) return PathResult::NoPath;
        folders.push_back(&chain[i].name);
    }
    // The server entry must be of level 2, with its level-1 entry above it.
    if (i + 1 >= chain.size() || !(chain[i].kind & kKindLevel2)) return PathResult::NoPath;
    const std::string& level2 = chain[i].name;
    const std::string& level1 = chain[i + 1].name;
    std::string built(source);
    built += '\\';
    built += swapped ? level2 : level1;
    built += '\\';
    built += swapped ? level1 : level2;
    for (auto it = folders.rbegin(); it != folders.rend(); ++it) {
        built += '\\';
        built += **it;
    }
    if (!name.empty()) {
        built += '\\';
        built += name;
    }
    if (!PathFits(built)) {
        name.clear();
        return PathResult::TooLong;
    }
    path = std::move(built);
    return PathResult::Ok;
}

bool CommandAllowed(unsigned command, const std::vector<int>& permissions, bool root, int storedCommand) {
    if (root) return false;
    int forbidden = 0;
    switch (command) {
    case 156: forbidden = kNoDelete; break;
    case 157: forbidden = kNoRename; break;
    case 57634: forbidden = kNoCopy; break;
    case 57635: forbidden = kNoCut; break;
    case 57637:
        if (storedCommand == 0) return false;
        forbidden = kNoPaste;
        break;
    default: return true;
    }
    return std::none_of(permissions.begin(), permissions.end(),
                        [forbidden](int p) { return (p & forbidden) != 0; });
}

namespace {
int CompareBytes(std::string_view a, std::string_view b) {
    int c = std::memcmp(a.data(), b.data(), std::min(a.size(), b.size()));
    if (c != 0) return c;
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}
} // namespace

int CompareSiblings(int firstKind, std::string_view firstName, int secondKind, std::string_view secondName) {
    bool topA = (firstKind & (kKindFirst | kKindLevel2)) == (kKindFirst | kKindLevel2);
    bool topB = (secondKind & (kKindFirst | kKindLevel2)) == (kKindFirst | kKindLevel2);
    if (topA != topB) return topA ? -1 : 1;
    bool folderA = (firstKind & kKindFolder) != 0;
    bool folderB = (secondKind & kKindFolder) != 0;
    if (folderA != folderB) return folderA ? -1 : 1;
    return CompareBytes(firstName, secondName);
}

int CompareListEntries(bool firstFolder, std::string_view firstName, bool secondFolder,
                       std::string_view secondName) {
    if (firstFolder != secondFolder) return firstFolder ? -1 : 1;
    return CompareBytes(firstName, secondName);
}

} // namespace vorlan::record
