#pragma once
// What the list field asks of and writes to the server array, and how an entry's record
// turns into what the tree shows. No Windows in here: built and tested in every tree.

#include <string>

namespace listfield {

// The node of the array `name` below `subscripts` (M text, e.g. "X,Y" or "\"DYN\""). A name
// that carries subscripts already gets the new ones spliced in: ^A("L") and X give ^A("L",X).
std::string Node(const std::string& name, const std::string& subscripts);
// The node of an entry by its numbers: (x), (x,y) or (x,y,z) for y, z above 0.
std::string EntryNode(const std::string& name, int x, int y = 0, int z = 0);

// The lines that read the array's settings and entries (the server's X, Y, Z loop).
std::string DynamicLine(const std::string& name);    // writes 1 when "DYN" is defined
std::string BackColourLine(const std::string& name);
std::string FunctionKeyLine(const std::string& name);
std::string SelectCodeLine(const std::string& name);
std::string TitleLine(const std::string& name);
inline const char* kFirstStart = "S X=0";
inline const char* kSecondStart = "S Y=0";
inline const char* kThirdStart = "S Z=0";
std::string NextFirstLine(const std::string& name);  // S X=X+1 W $G(N(X))
std::string CurrentFirstLine(const std::string& name); // W $G(N(X))
std::string FirstDefinedLine(const std::string& name); // W $D(N(X))
std::string NextSecondLine(const std::string& name);
std::string NextThirdLine(const std::string& name);
std::string PositionLine(int x, int y); // S X=x,Y=y
// Reading an entry's record (the tooltip and the label editor) and its text.
std::string RecordLine(const std::string& node);
std::string TextLine(const std::string& node);

// The selection in %FELD: array name, X, Y (0 at the first level), position among siblings.
std::string SelectionLine(const std::string& name, int x, int y, int position);
// A piece of an entry's record set to a number (2: state, 3: chosen radio).
std::string SetPieceLine(const std::string& node, int piece, int value);
// The typed label text: the edit of a "?" entry (piece 4) or the text itself (piece 1).
std::string EditedTextLine(const std::string& node, const std::string& typed);
std::string LabelTextLine(const std::string& node, const std::string& typed);
// The typed text as it is kept: the record's delimiter "§" would shift the pieces after it.
std::string KeptLabelText(const std::string& typed);
// "D " and the "SELECT" code.
std::string SelectRunLine(const std::string& code);

// An entry's record: pieces separated by "§".
struct Record {
    std::string text;   // 1: a "?" marks the editable part
    std::string state;  // 2
    int chosen = 0;     // 3: the selected child of a radio group
    std::string edited; // 4: replaces the "?"
    std::string tip;    // 5
    int Value() const;  // piece 2 as a number (empty: 0)
};
Record ParseRecord(const std::string& reply);
// The number at the start of a reply ("" and text count as 0).
int Number(const std::string& text);
// The function key of the "FKEY" reply: 1 to 12, else 0 (none).
int FunctionKey(const std::string& reply);
// The shown text: the "?" replaced by piece 4 when that is not empty.
std::string ShownText(const Record& record);
// The shown text after an edit: the part before the "?", the new text, the part after it.
std::string SplicedText(const std::string& text, const std::string& typed);

// State images of the strip.
enum Image { kNone = 0, kUnchecked = 1, kChecked = 2, kRadioOff = 5, kRadioOn = 6,
             kInactiveOff = 7, kInactiveOn = 8 };

struct Look {
    int image = kNone;
    bool bold = false;
    bool expanded = false;
    bool button = false; // the children button
};
Look FirstLevelLook(int value, bool hasChildren, bool dynamic);
// y: the entry's position; parentChosen: piece 3 of the first-level parent.
Look SecondLevelLook(const Record& entry, int y, int parentChosen);
// z: the entry's position; parent: the second-level parent's record.
Look ThirdLevelLook(const Record& entry, int z, const Record& parent);
// The same levels loaded on expansion of a dynamic array.
Look DynamicSecondLevelLook(const Record& entry, int y, int parentChosen);
Look DynamicThirdLevelLook(const Record& entry, int z, const Record& parent);

// The entry's item parameter: low 16 bits X; high 16 bits Y for second-level entries with a
// value below 3, 0 for radio entries, Y with bit 15 for third-level entries.
unsigned ItemParam(int level, int x, int y, int value);
inline int ParamX(unsigned param) { return static_cast<int>(param & 0xFFFF); }
inline int ParamY(unsigned param) { return static_cast<int>((param >> 16) & 0x7FFF); }
inline bool ParamThird(unsigned param) { return (param & 0x80000000u) != 0; }

} // namespace listfield
