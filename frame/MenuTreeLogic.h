#pragma once
// The menu tree's dealings with the server and with drag records, apart from any window:
// the M lines it sends, the GETMNU reply, item paths and the "VORLAN.Icon" record of kind 2.

#include "tools/IconListLogic.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vorlan {

// Deeper menus are not filled: a path names at most this many levels.
constexpr int kMaxMenuDepth = 128;
// Image numbers in bitmap 514.
constexpr int kImageFolderOpen = 30;
constexpr int kImageFolderClosed = 31;
constexpr int kImageLeaf = 47;

// One group of a $$GETMNU^QCC reply: number, memo name, text, flag.
struct MenuEntry {
    int number = 0;
    std::string memo;
    std::string text;
    std::string flag;

    // Negative numbers are leaves.
    bool IsLeaf() const { return number < 0; }
    // The entry's position on the server, as paths name it.
    int Index() const;
    // The text shown: the text, and " [memo]" when there is a memo name.
    std::string ShownText() const;
    // The flag as a number (0 when it is not one).
    int FlagNumber() const;
    // The image of a leaf: its own (flag n gives n - 1) in normal mode when the strip has it,
    // else the plain leaf.
    int LeafImage(bool editMode, int imageCount) const;
};

// Groups of four "§"-pieces, up to the first group whose number is empty; pieces longer
// than 255 characters are cut there.
std::vector<MenuEntry> ParseMenuReply(std::string_view reply);

// "3,0,12," from {3, 0, 12}; without the trailing comma when trailingComma is false.
std::string FormatMenuPath(const std::vector<int>& indices, bool trailingComma);
// The numbers of a path, empty parts skipped; at most kMaxMenuDepth of them.
std::vector<int> ParseMenuPath(std::string_view path);

// M lines of the menu tree. Values are quoted; user is the edited user in edit mode.
std::string MenuEditInitLine(std::string_view user);
std::string MenuInitLine();
// Normal mode when editUser is null.
std::string MenuGetLine(std::string_view path, const std::string* editUser);
std::string MenuSetLine(std::string_view pathWithoutComma, bool on);
std::string MenuEditSaveLine(std::string_view user);
std::string MenuEndLine();
std::string MenuResyncLine(std::string_view memo);

// The record a dragged menu entry carries under the clipboard format "VORLAN.Icon": the
// desktop's own record, kind 2.
using MenuDragRecord = IconDragRecord;
constexpr std::int32_t kMenuDragKind = kIconDragMenuEntry;

// The item's text up to its last "[" (empty without one) and the memo name, each cut to fit
// with its terminator. False when the memo name does not fit (the desktop could not open it).
bool BuildMenuDragRecord(std::string_view itemText, std::string_view memo, bool dragImage,
                         MenuDragRecord& out);
// The kind and drag-image flag of a "VORLAN.Icon" block; false when it is too short to tell.
bool PeekIconRecord(const void* data, std::size_t size, std::int32_t& kind, bool& dragImage);

} // namespace vorlan
