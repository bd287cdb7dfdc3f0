#pragma once
// The rules of the form's field refresh, enabling and field commands without windows: which
// fields a %MAK1 list refreshes, which controls the lock list enables, the search word at
// the caret, and the lines of drop buttons, list choices and repeated screens.

#include <string>
#include <string_view>
#include <vector>

namespace vorlan {

// %MAK1: empty refreshes every field; otherwise only the listed numbers below 64.
struct RefreshList {
    bool all = true;
    std::vector<bool> listed = std::vector<bool>(64, false);
    bool Refreshes(int field) const {
        return all || (field > 0 && field < 64 && listed[static_cast<size_t>(field)]);
    }
};
RefreshList ParseRefreshList(std::string_view answer);

// The lock answer of "W $D(%FS(n))_%DL" for fields 1 to count + 1 (the last the grid's).
struct EnableState {
    std::vector<bool> control; // index 1..count: the field's control and its browse button
    std::vector<bool> label;   // its prompt and $$MODU^QCC label (never "after")
    bool grid = false;         // the grid's own lock piece is open
    int focus = 0;             // moved forward past locked fields at the front
};
EnableState EnableRule(std::string_view locks, int count, int focus, bool freeOrder, bool formEnabled);

// The word a search at the caret sends: from the caret on while letters or digits follow.
// selStart/selEnd is the selection the field then shows (the caret one to the left).
struct SearchWord {
    std::string word;
    int selStart = 0, selEnd = 0;
};
SearchWord SearchWordAt(std::string_view text, int caret);

// The drop button of field n: its text escaped like a field value, then quoted.
std::string TableLine(int field, std::string_view text);
// A chosen entry of a list field (index from 0), and its table-field hand-over.
std::string ChosenRowLine(int index);
std::string ChosenTableRowLine(int index);
std::string TabxLine(std::string_view table, std::string_view text);
// A table's chosen row as the server takes it: double quotes around the whole row become
// blanks.
std::string TableChoiceText(std::string_view row);
// The routine a screen names for its list field n.
std::string ScrollNodeLine(std::string_view description, int field);
std::string ScrollRoutineLine(std::string_view routine);
// The tab text's own kill of a repeated screen.
std::string KillTabLine(std::string_view tabText);
// The server's current form after a repeated screen's kill.
std::string SetDialogLine(std::string_view formName);
// A routine named by the server for a search, a list or a key: a routine reference
// ("LABEL^ROUTINE", "^ROUTINE" or "LABEL"), never other code.
bool IsRoutineRef(std::string_view text);

} // namespace vorlan
