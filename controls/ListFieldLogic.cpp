#include "controls/ListFieldLogic.h"

#include "app/ReplyFields.h"
#include "common/MQuote.h"
#include "controls/ArrayNode.h"

#include <cstdlib>

namespace listfield {

namespace {
constexpr char kDelimiter = '\xA7'; // "§" in code page 1252

std::string PieceOf(const std::string& s, int n) { return vorlan::PieceOf(s, n); }

std::string Get(const std::string& node) { return "W $G(" + node + ")"; }
} // namespace

std::string Node(const std::string& name, const std::string& subscripts) {
    return vorlan::ArrayNode(name, subscripts);
}

std::string EntryNode(const std::string& name, int x, int y, int z) {
    std::string subs = std::to_string(x);
    if (y > 0) subs += "," + std::to_string(y);
    if (y > 0 && z > 0) subs += "," + std::to_string(z);
    return Node(name, subs);
}

std::string DynamicLine(const std::string& name) { return "W:$D(" + Node(name, "\"DYN\"") + ") 1"; }
std::string BackColourLine(const std::string& name) { return Get(Node(name, "\"BGCOLOR\"")); }
std::string FunctionKeyLine(const std::string& name) { return Get(Node(name, "\"FKEY\"")); }
std::string SelectCodeLine(const std::string& name) { return Get(Node(name, "\"SELECT\"")); }
std::string TitleLine(const std::string& name) { return Get(Node(name, "0")); }
std::string NextFirstLine(const std::string& name) { return "S X=X+1 " + Get(Node(name, "X")); }
std::string CurrentFirstLine(const std::string& name) { return Get(Node(name, "X")); }
std::string FirstDefinedLine(const std::string& name) { return "W $D(" + Node(name, "X") + ")"; }
std::string NextSecondLine(const std::string& name) { return "S Y=Y+1 " + Get(Node(name, "X,Y")); }
std::string NextThirdLine(const std::string& name) { return "S Z=Z+1 " + Get(Node(name, "X,Y,Z")); }
std::string PositionLine(int x, int y) { return "S X=" + std::to_string(x) + ",Y=" + std::to_string(y); }
std::string RecordLine(const std::string& node) { return Get(node); }
std::string TextLine(const std::string& node) { return "W $P(" + node + ",%DL,1)"; }

std::string SelectionLine(const std::string& name, int x, int y, int position) {
    return "S %FELD=" + vorlan::MQuote(name) + "_%DL_" + std::to_string(x) + "_%DL_" + std::to_string(y) +
           "_%DL_" + std::to_string(position);
}

std::string SetPieceLine(const std::string& node, int piece, int value) {
    return "S $P(" + node + ",%DL," + std::to_string(piece) + ")=" + std::to_string(value);
}

std::string KeptLabelText(const std::string& typed) {
    std::string kept = typed;
    for (char& c : kept)
        if (c == kDelimiter) c = ' ';
    return kept;
}

std::string EditedTextLine(const std::string& node, const std::string& typed) {
    return "S $P(" + node + ",%DL,4)=" + vorlan::MQuote(KeptLabelText(typed));
}

std::string LabelTextLine(const std::string& node, const std::string& typed) {
    return "S $P(" + node + ",%DL,1)=" + vorlan::MQuote(KeptLabelText(typed));
}

std::string SelectRunLine(const std::string& code) { return "D " + code; }

int Number(const std::string& text) { return std::atoi(text.c_str()); }

int Record::Value() const { return Number(state); }

Record ParseRecord(const std::string& reply) {
    Record r;
    r.text = PieceOf(reply, 1);
    r.state = PieceOf(reply, 2);
    r.chosen = Number(PieceOf(reply, 3));
    r.edited = PieceOf(reply, 4);
    r.tip = PieceOf(reply, 5);
    return r;
}

int FunctionKey(const std::string& reply) {
    int key = Number(reply);
    return key >= 1 && key <= 12 ? key : 0;
}

std::string ShownText(const Record& record) {
    size_t mark = record.text.find('?');
    if (mark == std::string::npos || record.edited.empty()) return record.text;
    return SplicedText(record.text, record.edited);
}

std::string SplicedText(const std::string& text, const std::string& typed) {
    size_t mark = text.find('?');
    if (mark == std::string::npos) return typed;
    return text.substr(0, mark) + typed + text.substr(mark + 1);
}

Look FirstLevelLook(int value, bool hasChildren, bool dynamic) {
    Look look;
    if (hasChildren) {
        look.bold = true;
        look.button = true;
        look.expanded = !dynamic;
        return look;
    }
    look.expanded = !dynamic;
    look.image = value == 0 ? kUnchecked : value == 1 ? kChecked : kNone;
    return look;
}

namespace {
bool HasMark(const Record& r) { return r.text.find('?') != std::string::npos; }
} // namespace

Look SecondLevelLook(const Record& entry, int y, int parentChosen) {
    Look look;
    int value = entry.Value();
    if (value >= 3) {
        look.image = parentChosen == y ? kRadioOn : kRadioOff;
        look.expanded = true;
        look.bold = value == 4;
    } else {
        look.image = value == 0 ? kUnchecked : value == 1 ? kChecked : kNone;
        look.expanded = value != 0;
    }
    if (HasMark(entry)) look.bold = true;
    return look;
}

Look ThirdLevelLook(const Record& entry, int z, const Record& parent) {
    Look look;
    int value = entry.Value();
    if (value >= 128) {
        // Only the two boxes of the strip stand for values: 128 unchecked, 129 checked.
        int image = value - 127;
        look.image = image <= kChecked ? image : kNone;
    } else if (value != 2) {
        bool active = parent.Value() != 0;
        bool on = parent.chosen == z;
        look.image = active ? (on ? kRadioOn : kRadioOff) : (on ? kInactiveOn : kInactiveOff);
        look.bold = value == 1;
    }
    if (HasMark(entry)) look.bold = true;
    return look;
}

Look DynamicSecondLevelLook(const Record& entry, int y, int parentChosen) {
    Look look = SecondLevelLook(entry, y, parentChosen);
    int value = entry.Value();
    look.expanded = value != 0 && value != 2;
    return look;
}

Look DynamicThirdLevelLook(const Record& entry, int z, const Record& parent) {
    Look look;
    bool active = parent.Value() != 0;
    bool on = parent.chosen == z;
    if (entry.state.empty() || entry.state[0] != '2')
        look.image = active ? (on ? kRadioOn : kRadioOff) : (on ? kInactiveOn : kInactiveOff);
    look.bold = !entry.state.empty() && entry.state[0] == '1';
    if (HasMark(entry)) look.bold = true;
    return look;
}

unsigned ItemParam(int level, int x, int y, int value) {
    unsigned low = static_cast<unsigned>(x) & 0xFFFFu;
    if (level == 2) return value < 3 ? low | (static_cast<unsigned>(y) & 0xFFFFu) << 16 : low;
    if (level == 3) return low | ((static_cast<unsigned>(y) & 0x7FFFu) | 0x8000u) << 16;
    return low;
}

} // namespace listfield
