#pragma once
// A screen's 72 key texts as the form menus and the function-key toolbar show them, the
// title menu's groups, and the server's key table %FUNK: all without a window, so that the
// order, groups and separators are tested and the server's answers fuzzed on the host.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vorlan {

// A label beginning with "*" is M code whose answer is the label; the caller runs it.
using LabelCode = std::function<std::string(const std::string& code)>;

// Piece 1 of a key text (at most 128 characters), the M code of a "*" label answered.
std::string KeyLabel(std::string_view keyText, const LabelCode& run);
// A label as menus and dialogs show it: without its leading "[", "name;hint" as "name (hint)".
std::string KeyCaption(std::string_view label);
// A key whose action is a dialog opens it modally with "action§caption"; the dialog gets
// the key's command id less 0x4000.
std::string KeyDialogOpening(std::string_view action, std::string_view label);
int KeyDialogValue(unsigned commandId);
// Edit undo serves the controls of the form's fields: ids 0x1001 up to the field count,
// at most 255 fields.
bool IsUndoFieldId(int id, int fieldCount);
// Piece 7: the 1-based image number (0 when none or not a number).
int KeyImage(std::string_view keyText);
// Piece 9: the title-menu group; false when the entry is in none.
struct KeyGroup {
    int number = 0;
    std::string title;
    int bitmap = 0;
};
bool ReadKeyGroup(std::string_view keyText, KeyGroup& out);

// One item of a form menu: a separator, or a command with its text and image (-1 none).
struct KeyMenuItem {
    bool separator = false;
    unsigned command = 0;
    int image = -1;
    std::string text;
    bool operator==(const KeyMenuItem& o) const {
        return separator == o.separator && command == o.command && image == o.image && text == o.text;
    }
};
// The items of a popup from the first `count` key texts (menu entries first when there are
// more than 40), only those of `group` unless it is -1. No separator comes first, after
// another or last.
std::vector<KeyMenuItem> KeyMenuItems(const std::vector<std::string>& keys, int count, int group,
                                      const LabelCode& run);

// The popups of the title menu: one per group in the order the groups first occur, at most
// ten; a group whose popup would be empty takes its slot but shows nothing.
struct TitlePopup {
    KeyGroup group;
    std::vector<KeyMenuItem> items;
};
constexpr int kTitleMenuSlots = 10;
std::vector<TitlePopup> TitleMenuPopups(const std::vector<std::string>& keys, int count,
                                        const LabelCode& run);

// The buttons of the function-key toolbar from the first `count` (F- and X-) key texts: only
// entries with an image; a button's text is its label up to the first ";". Empty when no
// entry has an image (then there is no toolbar).
std::vector<KeyMenuItem> KeyToolButtons(const std::vector<std::string>& keys, int count,
                                        const LabelCode& run);
bool AnyKeyImage(const std::vector<std::string>& keys, int count);

// ---- %FUNK

// Lists the server's key table: key, $C(255), value, $C(255), ...
inline constexpr char kFunkWalkLine[] =
    "S %QCC=\"\" F  S %QCC=$O(%FUNK(%QCC)) Q:%QCC=\"\"  W %QCC_$C(255)_%FUNK(%QCC)_$C(255)";

struct FunkEntry {
    int index = -1;       // in the key table (0-71)
    unsigned command = 0; // of the toolbar button; 0 for menu entries
    int checked = 0;
    bool enabled = true;
};
// The index of a %FUNK key: F5-F12, X1-X32 and any other letter with 1-32 (a menu entry);
// -1 for every other key.
int FunkKeyIndex(std::string_view key, unsigned& command);
// The answer of kFunkWalkLine; keys outside the table are left out.
std::vector<FunkEntry> ParseFunkAnswer(std::string_view answer);

// Not "0" when the screen in %DN asked for no window frame (the no-window switch).
inline constexpr char kNoWindowLine[] = "W $D(^QTEMP(%JOB,%DN,\"NOWINDOW\"))";

// ---- toolbar settings

// The main toolbar's record "ITBar" (44 bytes): text mode (2: no text) and large icons.
struct ToolbarLooks {
    bool present = false;
    int textMode = 0;
    bool largeIcons = true;
};
ToolbarLooks ReadToolbarRecord(const void* data, size_t size);

} // namespace vorlan
