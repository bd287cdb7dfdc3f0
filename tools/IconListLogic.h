#pragma once
// What the icon desktop sends to and reads from the server, and the drag record it shares
// with the menu tree, without a window: tested on the host.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vorlan {

// %WIN("CLIENTSIZE") and %WIN("SCREENSIZE") become "width,height".
std::string ClientSizeLine(int width, int height);
std::string ScreenSizeLine(int width, int height);

// ---- the drag record of the clipboard format "VORLAN.Icon"

// One layout for both kinds and both word sizes: the drag-image field is a flag, never a
// pointer, since the format is registered for every program and any of them may drop it.
struct IconDragRecord {
    std::int32_t kind;      // 1 icons of the desktop, 2 a menu entry
    std::int32_t item;      // kind 1: the dragged item; kind 2: 1
    std::int32_t x, y;      // kind 1: where the drag started
    std::int32_t dragImage; // non-zero when the drag shows a drag image
    char text[128];         // kind 2: the entry's text
    char memo[16];          // kind 2: the function's name
};
static_assert(sizeof(IconDragRecord) == 164, "the same record in 32- and 64-bit programs");
inline constexpr std::size_t kIconDragHeaderSize = 20; // what kind 1 carries
inline constexpr std::int32_t kIconDragDesktop = 1;
inline constexpr std::int32_t kIconDragMenuEntry = 2;
inline constexpr const char* kIconClipboardFormat = "VORLAN.Icon";

// The kind-1 record of a drag from the desktop.
IconDragRecord BuildDesktopDragRecord(int item, int x, int y, bool dragImage);

// What a dropped block says, read within its size.
struct IconDrop {
    int kind = 0;
    int item = -1;
    int x = 0, y = 0;
    std::string text, memo;
};
// False for a block too short for its header, a kind other than 1 and 2, or (kind 1) an item
// outside 0..itemCount-1. Texts end at their terminator, their field or the block.
bool ReadIconDrop(const void* data, std::size_t size, int itemCount, IconDrop& out);

// ---- server lines

// S %WIN("PARA")=<parameter>: the icon's parameter before its function starts.
std::string ParameterLine(std::string_view parameter);
std::string MenuPictureLine(std::string_view memo);
// The desktop's image of a menu entry: the server's picture number less one, 47 for none.
int IconImageFromAnswer(std::string_view answer);
inline constexpr int kDefaultIconImage = 47;

// The menu catalogue: the entry after key ("" for the first), answered as "<memo> <text>".
std::string MenuNextLine(std::string_view key);
// The next key of the walk: the reply up to its first blank.
std::string MenuNextKey(std::string_view reply);
// Asks for the entry after key; the walk ends on "", a key that does not move on, or the cap.
template <class Ask> std::vector<std::string> WalkMenuCatalogue(Ask ask, int cap = 20000) {
    std::vector<std::string> entries;
    std::string key;
    for (int i = 0; i < cap; ++i) {
        std::string reply = ask(key);
        if (reply.empty()) break;
        std::string next = MenuNextKey(reply);
        // A server that answers the same key again (or none) would keep us here for ever.
        if (next == key && i > 0) break;
        entries.push_back(std::move(reply));
        if (next.empty()) break;
        key = std::move(next);
    }
    return entries;
}

// Whether a function takes a parameter and which ones it offers.
std::string MenuInfoLine(std::string_view memo);
struct MenuInfo {
    bool takesParameter = false;
    // "value (description)", each cut to 127 characters.
    std::vector<std::string> choices;
};
MenuInfo ParseMenuInfo(std::string_view reply);
// The value of a choice as the parameter field shows it: the text up to its first blank.
std::string ChoiceValue(std::string_view choice);

// ---- one icon of the stored desktop in one round trip

struct StoredIcon {
    std::string text, memo, parameter;
    int x = 0, y = 0;
    int image = kDefaultIconImage;
    std::string next; // the number of the icon after it, "" after the last
};
// Writes "x,y,picture," then text, memo and parameter each as "<length>:<bytes>", then the
// next icon number: lengths let any byte stand in a text.
std::string StoredIconLine(int n);
bool ParseStoredIcon(std::string_view reply, StoredIcon& out);

// ---- the look

// The font sample of the options: "Tahoma, 9pt".
std::string FontSampleText(std::string_view face, int points);

struct PlacedRect {
    int left, top, right, bottom;
};
// Where a picture of the size lies in the rectangle for placement mode 1 (centre) and 3
// (bottom right); the whole rectangle for 2 (stretch); its own size at the top left for 0.
PlacedRect PicturePlacement(int mode, const PlacedRect& area, int width, int height);

} // namespace vorlan
