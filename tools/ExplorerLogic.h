#pragma once
// What the record explorer says to the server and how it orders and names its entries,
// without a window: the M lines of the fill and the menus, the pieces of the server's
// entries and menu replies, the paths of tree entries, the permission rules and the order of
// siblings. Every node lives under ^QTEMP(%JOB,"EXPLORER",%DN,...).

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vorlan::record {

// ---- M lines

std::string SourceLine();   // the record folder
std::string ThumbsLine();   // the thumbnail cache's base folder
std::string SortLine();     // read and kill "SORT"
std::string RootTextLine(); // the root item's text
std::string BitmapLine();   // the state images' indexes
std::string XDefinedLine(); // $D of "X": "0" disables the drop-down button
constexpr const char* kResetWalk = "S (%QCC1,%QCC2,%QCC3)=\"\"";

// The walks of the fill. swapped: level 1 from "D",2 and level 2 from "D",1; the documents
// stay under "D",3 with the "D",1 key first.
std::string NextLevel1Line(bool swapped);
std::string Level1ValueLine(bool swapped);
std::string NextLevel2Line(bool swapped);
std::string Level2ValueLine(bool swapped);
// The "NOVIEW" test of a "D",1 key held in %QCC1 (level 1) or %QCC2 (level 2).
std::string HiddenLine(int level);
std::string NextDocumentLine(bool swapped);
std::string DocumentHiddenLine(bool swapped);
std::string DocumentValueLine(bool swapped);

// Entry n (1..15) of the context menu ('F') or the drop-down ('X').
std::string MenuEntryLine(char source, int n);
std::string SetExplorerLine(std::string_view serverText);
std::string SetRetLine(std::string_view value);

// ---- replies

// The n-th '§' piece (first = 1), cut to capacity - 1 characters; empty when there are
// fewer pieces.
std::string Piece(std::string_view source, int n, size_t capacity = SIZE_MAX);
// A reply as a number the way the server's numbers read (leading digits), 0 when none.
int Number(std::string_view text);

// A server entry of the fill: the key's pieces name, "on top" flag, permissions; the value's
// pieces text, server text, state image.
struct ServerEntry {
    std::string name;
    bool first = false;
    int permissions = 0;
    std::string text;
    std::string serverText;
    int stateImage = 0;
};
ServerEntry ParseEntry(std::string_view key, std::string_view value);

// The state images' indexes into the application image list: pieces 1 to 7 up to the first
// empty or zero one.
std::vector<int> StateImageIndexes(std::string_view bitmapReply);

// What a server menu node gives: nothing, a separator, or an entry with its text.
struct MenuItemReply {
    enum Kind { None, Separator, Entry } kind = None;
    std::string text;
};
MenuItemReply ParseMenuItem(std::string_view reply);
constexpr unsigned kFirstMenuCommand = 32981;
constexpr int kMenuEntries = 15;

// The reply of a chosen menu entry, each piece bounded.
struct MenuReply {
    std::string kind;  // up to 15 characters
    std::string name;  // up to 63
    std::string value; // up to 511
};
MenuReply ParseMenuReply(std::string_view reply);

// ---- names and paths

// Offset of the last '.' of a file's name, -1 without one.
int ExtensionPosition(std::string_view name);
// The name a file item shows: without its extension.
std::string DisplayName(std::string_view name, int extension);
// Whether the file is previewed as text: ".txt" or ".rtf" as stored.
bool IsTextPreview(std::string_view name);
bool IsRichTextPreview(std::string_view name);

// One tree entry on the way from an item to the root (the item first).
struct PathNode {
    int kind = 0;
    std::string name;
};
enum class PathResult { Ok, NoPath, TooLong };
// The full path of the entry chain[0]: source + the two server names (the "D",1 name first,
// also with the hierarchy swapped) + the disk folders + the file's name. name receives the
// file's name (empty for a folder). NoPath for the root and level-1 entries; TooLong for a
// path that would not fit kPathCapacity (refused, never cut).
PathResult BuildFileName(const std::vector<PathNode>& chain, bool swapped, std::string_view source,
                         std::string& path, std::string& name);

// ---- rules

// Whether the command may run on an entry whose permissions (itself first, then its
// ancestors) are given; root: the root item is selected. storedCommand: the copy (57634) or
// cut (57635) whose files wait, 0 for none.
bool CommandAllowed(unsigned command, const std::vector<int>& permissions, bool root, int storedCommand);

// The order of siblings: level-2 entries flagged first on top, then folders, then by name
// byte by byte. <0, 0, >0.
int CompareSiblings(int firstKind, std::string_view firstName, int secondKind, std::string_view secondName);
// The order of the thumbnail list: folders first, then by name byte by byte.
int CompareListEntries(bool firstFolder, std::string_view firstName, bool secondFolder,
                       std::string_view secondName);

} // namespace vorlan::record
