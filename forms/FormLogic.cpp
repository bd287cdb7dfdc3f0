#include "forms/FormLogic.h"

#include "app/ReplyFields.h"
#include "common/MQuote.h"
#include "resources/MainFrameIds.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace vorlan {

namespace {

const char kQuote255 = '\xFF';
const char kLess254 = '\xFE';
const char kGreater253 = '\xFD';
const char kTab250 = '\xFA';

int PieceNumber(std::string_view answer, int n) {
    return NumberOf(PieceOf(answer, n));
}

std::string Decimal(int n) {
    return std::to_string(n);
}

// The largest column, line or width in cells a description may give.
constexpr int kMaxPlace = 2000;

} // namespace

// ---- escaping

int NumberOf(std::string_view text) {
    std::string s(text.substr(0, 31));
    long long v = std::strtoll(s.c_str(), nullptr, 10);
    if (v > 0x7FFFFFFF) v = 0x7FFFFFFF;
    if (v < -0x7FFFFFFF) v = -0x7FFFFFFF;
    return static_cast<int>(v);
}

std::string EscapeForServer(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        switch (c) {
        case '"': c = kQuote255; break;
        case '<': c = kLess254; break;
        case '>': c = kGreater253; break;
        case '\t': c = kTab250; break;
        default: break;
        }
    }
    return out;
}

std::string UnescapeFromServer(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        switch (c) {
        case kQuote255: c = '"'; break;
        case kGreater253: c = '<'; break;
        case kLess254: c = '>'; break;
        case kTab250: c = '\t'; break;
        default: break;
        }
    }
    return out;
}

std::string QuotesAs255(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c == '"') c = kQuote255;
    return out;
}

// ---- opening and creation

OpeningNames SplitOpening(std::string_view opening, unsigned formId) {
    OpeningNames names;
    names.formName = PieceOf(opening, 1);
    std::string second = PieceOf(opening, 2);
    if (formId >= 0xC000)
        names.title = second;
    else
        names.description = second;
    if (names.description.empty()) names.description = names.formName;
    return names;
}

std::string DialogRoutineProbeLine() {
    return "W $T(DIALOG^QCC)";
}

std::string DialogAllowedLine(std::string_view description, bool haveDialogRoutine) {
    return std::string(haveDialogRoutine ? "W $$DIALOG^QCC(" : "W $$EXIST^QCC(") + MQuote(description) + ")";
}

std::string SaveOpenFormLine() {
    return "I $D(%DN) D VARSAVE^QCC(%DN)";
}

std::string DestroyLine(std::string_view formName) {
    return "D DESTROY^QCC(" + MQuote(formName) + ")";
}

bool KillNeedsKillText(std::string_view keepList) {
    return !keepList.empty() && keepList[0] != '*';
}

std::string KillKeeping(std::string_view killText, std::string_view names) {
    // A kill command ends in ")": the names go inside it. Run without them it would kill
    // what is to be kept, so a command of another shape gives no line at all.
    if (killText.empty() || killText.back() != ')') return std::string();
    std::string line(killText.substr(0, killText.size() - 1));
    line += ",";
    line += names;
    line += ")";
    return line;
}

std::string CreationKillLine(bool killFlag, std::string_view keepList, std::string_view killText) {
    if (keepList.empty()) return killFlag ? line::kExecuteKill : line::kKillNew;
    if (keepList[0] == '*') return "";
    return KillKeeping(killText, keepList);
}

std::string DialogNamesLine(std::string_view dialogName, std::string_view memo, std::string_view formName) {
    std::string opener(dialogName.empty() ? std::string_view("\"\"") : dialogName);
    return "S DN=" + opener + ",MEMO=" + MQuote(memo) + ",%DN=" + MQuote(formName);
}

std::string DescriptionRecordLine(std::string_view description) {
    return "W $G(^QM(" + MQuote(description) + "))";
}

std::string FetTitleLine(std::string_view p2, std::string_view p3, bool standardLanguage) {
    return "W $G(^QSYS(\"FET\"," + MQuote(p2) + "," + MSubscript(p3) +
           (standardLanguage ? ",\"D\"))" : ",%LAN))");
}

std::string FrameCaptionLine(std::string_view description) {
    return "W $P($G(^QM(" + MQuote(description) + ",0,\"KARTEI\")),%DL,4)";
}

std::string InitScreenLine(std::string_view description, std::string_view formName) {
    return "S %DN=" + MQuote(description) + " D INIT^WQMD S %DN=" + MQuote(formName);
}

namespace {

// The title buffer's room.
constexpr size_t kTitleMost = 259;

std::string TitleText(std::string title) {
    if (title.size() > kTitleMost) title.resize(kTitleMost);
    return title;
}

} // namespace

std::string FormTitle(unsigned formId, std::string_view baseTitle, std::string_view answer) {
    if (formId == 0) return TitleText(std::string(answer));
    if (answer.empty()) return TitleText(std::string(baseTitle));
    if (formId >= 0x8000) return TitleText(std::string(answer));
    return TitleText(std::string(baseTitle) + " " + std::string(answer));
}

std::string SetStartFieldLine(std::string_view value) {
    return "S %NE=" + MQuote(value);
}

std::string MaxLine(std::string_view description) {
    return "W $$MAX^QCC(" + MQuote(description) + ")";
}

std::string EditLine(std::string_view description, int field) {
    return "W $$EDIT^QCC(" + MQuote(description) + "," + Decimal(field) + ")";
}

std::string KeysLine(std::string_view description) {
    return "W $$GETKEYS^QCC(" + MQuote(description) + ")";
}

std::string ModuLine(std::string_view serverKey, int field) {
    return "W $$MODU^QCC(" + MQuote(serverKey) + "," + Decimal(field) + ")";
}

FormRecord ParseFormRecord(std::string_view answer) {
    FormRecord r;
    r.fields = PieceNumber(answer, 1);
    if (r.fields < 0) r.fields = 0;
    // Field ids carry the number in their low byte.
    if (r.fields > 255) r.fields = 255;
    r.pictures = PieceNumber(answer, 2);
    r.gridFirst = PieceNumber(answer, 3);
    r.gridLast = PieceNumber(answer, 4);
    r.freeOrder = PieceOf(answer, 5) == "J";
    r.gridColumn = PieceNumber(answer, 6);
    r.gridWidth = PieceNumber(answer, 7);
    r.gridResize = PieceNumber(answer, 8);
    r.noClientEdge = PieceNumber(answer, 9) != 0;
    r.background = PieceOf(answer, 10);
    // The grid's place is bounded as a field's is: beyond it no one could see the grid.
    r.gridFirst = std::clamp(r.gridFirst, 0, kMaxPlace);
    r.gridLast = std::clamp(r.gridLast, 0, kMaxPlace);
    r.gridColumn = std::clamp(r.gridColumn, 0, kMaxPlace);
    r.gridWidth = std::clamp(r.gridWidth, 0, kMaxPlace);
    return r;
}

FieldKind KindOf(int number) {
    if (number < 0 || number > 15) return FieldKind::LabelOnly;
    return static_cast<FieldKind>(number);
}

bool IsOwnLabelKind(FieldKind kind) {
    switch (kind) {
    case FieldKind::Button:
    case FieldKind::Check3:
    case FieldKind::Check:
    case FieldKind::Radio:
    case FieldKind::RadioRight:
    case FieldKind::Check3Right: return true;
    default: return false;
    }
}

unsigned BrowseButtonId(FieldKind kind, int field) {
    unsigned n = static_cast<unsigned>(field) & 0xFF;
    switch (kind) {
    case FieldKind::EditOpen: return 0x4000u | n;
    case FieldKind::EditSave: return 0x4100u | n;
    case FieldKind::EditFolder: return 0x4200u | n;
    default: return 0;
    }
}

FieldRecord ParseFieldRecord(std::string_view answer) {
    FieldRecord f;
    f.column = PieceNumber(answer, 1);
    f.row = PieceNumber(answer, 2);
    f.width = PieceNumber(answer, 3);
    f.label = PieceOf(answer, 4);
    f.value = PieceOf(answer, 5);
    std::string kind = PieceOf(answer, 6);
    f.kindNumber = kind.empty() ? -1 : NumberOf(kind);
    f.kind = KindOf(f.kindNumber);
    f.height = PieceNumber(answer, 7);
    if (f.height < 1) f.height = 1;
    f.password = PieceNumber(answer, 8) != 0;
    f.tooltip = PieceOf(answer, 9);
    f.extras = PieceOf(answer, 10);
    f.maxChars = PieceNumber(answer, 11);
    f.buttonHeight = PieceNumber(answer, 12);
    if (f.buttonHeight < 1) f.buttonHeight = 1;
    // Positions beyond any screen would only make windows no one can see.
    f.column = std::clamp(f.column, 0, kMaxPlace);
    f.row = std::clamp(f.row, 0, kMaxPlace);
    f.width = std::clamp(f.width, 0, kMaxPlace);
    if (f.height > 500) f.height = 500;
    if (f.buttonHeight > 500) f.buttonHeight = 500;
    return f;
}

Rect FieldRect(const FieldRecord& field, int cellWidth, int rowHeight) {
    int w = field.width;
    if (w == 1)
        w = 3;
    else if (w >= 2)
        w = w + 1;
    Rect r;
    r.left = field.column * cellWidth;
    r.right = r.left + w * cellWidth;
    int row = field.row - 5;
    if (row < 0) row = 0;
    r.top = row * rowHeight + 8;
    r.bottom = r.top + rowHeight - 1;
    return r;
}

std::vector<std::string> SplitKeys(std::string_view answer) {
    std::vector<std::string> keys(kKeyCount);
    if (answer.empty()) return keys;
    for (int i = 0; i < kKeyCount; ++i)
        keys[static_cast<size_t>(i)] = PieceOf(answer, i + 1, '\xFF');
    return keys;
}

// ---- function keys

namespace {

// The table's three runs of commands, each from its first index.
struct KeyRun {
    int first;
    unsigned firstId, lastId;
    char letter;     // the key's name in %FKEY and in label links: letter and number
    int firstNumber; // the number of the run's first key (F5, X1, M1)
};
constexpr KeyRun kKeyRuns[] = {
    {0, ID_FKEY_FIRST, ID_FKEY_LAST, 'F', 5},
    {8, ID_XKEY_FIRST, ID_XKEY_LAST, 'X', 1},
    {40, ID_MKEY_FIRST, ID_MKEY_LAST, 'M', 1},
};
static_assert(ID_FKEY_LAST - ID_FKEY_FIRST + 1 == 8 && ID_XKEY_LAST - ID_XKEY_FIRST + 1 == 32 &&
                  40 + ID_MKEY_LAST - ID_MKEY_FIRST + 1 == kKeyCount,
              "the runs follow each other and fill the table");

const KeyRun* RunOfCommand(unsigned id) {
    for (const KeyRun& run : kKeyRuns)
        if (id >= run.firstId && id <= run.lastId) return &run;
    return nullptr;
}

} // namespace

int KeyIndexOfCommand(unsigned id) {
    const KeyRun* run = RunOfCommand(id);
    return run ? run->first + static_cast<int>(id - run->firstId) : -1;
}

unsigned CommandOfKeyIndex(int index) {
    if (index < 0 || index >= kKeyCount) return 0;
    const KeyRun* run = &kKeyRuns[0];
    for (const KeyRun& r : kKeyRuns)
        if (index >= r.first) run = &r;
    return run->firstId + static_cast<unsigned>(index - run->first);
}

std::string FunctionKeyLine(unsigned id) {
    const KeyRun* run = RunOfCommand(id);
    if (!run) return "";
    int number = run->firstNumber + static_cast<int>(id - run->firstId);
    return std::string("S (%FKEY,%SC)=\"") + run->letter + Decimal(number) + "\"";
}

unsigned HyperlinkCommand(const char* text) {
    if (!text) return 0;
    const KeyRun* run = nullptr;
    for (const KeyRun& r : kKeyRuns)
        if (text[0] == std::tolower(static_cast<unsigned char>(r.letter))) run = &r;
    if (!run) return 0;
    // A bounded decimal: the number keeps its meaning (also outside the key's run, where
    // the command is another one), an absurd one names no command.
    unsigned long n = 0;
    for (const char* p = text + 1; *p >= '0' && *p <= '9'; ++p) {
        n = n * 10 + static_cast<unsigned long>(*p - '0');
        if (n > 0xFFFF) return 0;
    }
    unsigned long id = n + run->firstId - static_cast<unsigned>(run->firstNumber);
    return id > 0xFFFF ? 0 : static_cast<unsigned>(id);
}

// ---- $$PR^QCC

std::string FieldSaveLine(int keepFocus, int forward, int field, std::string_view value) {
    return "S:" + Decimal(keepFocus) + " %KFOCUS=\"\" S %FORWARD=" + Decimal(forward) + " W $$PR^QCC(" +
           MQuote(Decimal(field)) + "," + MQuote(value) + ") K %KFOCUS";
}

std::string FieldSaveAgainLine(int field, std::string_view value) {
    return "S %DDN=%DL W $$PR^QCC(" + MQuote(Decimal(field)) + "," + MQuote(value) +
           ") K %DDN,%SCRB(\"UPDATE\")";
}

SaveAnswer ParseSaveAnswer(std::string_view answer) {
    SaveAnswer a;
    // Piece 1 is the field's value: never cut, or the cut value would be saved next time.
    a.value = PieceOf(answer, 1);
    a.refused = PieceOf(answer, 2) == "1";
    a.message = PieceOf(answer, 3).substr(0, 1023);
    a.nextForward = PieceNumber(answer, 4) & 0xFFFF;
    a.nextBackward = PieceNumber(answer, 6) & 0xFFFF;
    a.popup = PieceOf(answer, 7).substr(0, 1023);
    a.refresh = !PieceOf(answer, 8).empty();
    a.subDialog = PieceOf(answer, 9).substr(0, 1023);
    a.info = PieceOf(answer, 10).substr(0, 1023);
    return a;
}

unsigned CommandOfClosingKey(std::string_view sc) {
    if (sc.size() < 2) return 0;
    switch (sc[1]) {
    case '0': return ID_FORM_APPLY;
    case '1': return ID_FORM_OK;
    case '2': return ID_FORM_F2;
    case '3': return ID_FORM_CLOSE;
    default: return 0;
    }
}

// ---- text boxes

std::vector<std::string> TextBoxLines(std::string_view text) {
    constexpr size_t kLongest = 32000;
    std::vector<std::string> lines;
    std::string line;
    bool pending = false; // a line has begun (or a break was seen) and is not stored yet
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(line);
            line.clear();
            pending = false;
            // CR LF and LF CR are one break; any other pair is two, so blank lines stay.
            char other = c == '\r' ? '\n' : '\r';
            if (i + 1 < text.size() && text[i + 1] == other) ++i;
            continue;
        }
        if (line.size() == kLongest) {
            lines.push_back(line);
            line.clear();
        }
        line += c;
        pending = true;
    }
    if (pending || lines.empty()) lines.push_back(line);
    for (size_t k = 0; k < lines.size(); ++k) {
        lines[k] = EscapeForServer(lines[k]);
        // The server drops this blank again from the third line on.
        if (k >= 2) lines[k] += ' ';
    }
    return lines;
}

std::string TextBoxKillLine(std::string_view name) {
    return "K " + std::string(name);
}

std::string TextBoxStoreLine(std::string_view name, int k, std::string_view escapedLine) {
    return "S " + std::string(name) + "(" + Decimal(k) + ")=$TR($TR($TR($TR(" + MQuote(escapedLine) +
           ",$C(255),$C(34)),$C(254),$C(60)),$C(253),$C(62)),$C(250),$C(9))";
}

std::string TextBoxFirstKeyLine() {
    return "S %QCC=\"\"";
}

std::string TextBoxNextKeyLine(std::string_view name) {
    return "S %QCC=$O(" + std::string(name) + "(%QCC)) W %QCC";
}

std::string TextBoxReadLine(std::string_view name) {
    return "W $TR($TR($TR($TR($G(" + std::string(name) +
           "(%QCC)),$C(9),$C(250)),$C(60),$C(253)),$C(62),$C(254)),$C(34),$C(255))";
}

std::string CaretLine(int line, int column) {
    return "S %tz=" + Decimal(line) + ",%tp=" + Decimal(column);
}

namespace {

// Where the line break at i ends: CR LF is one break, and so are a CR or an LF alone (the
// rich-text field ends its paragraphs with one CR, an edit field its lines with CR LF).
size_t BreakEnd(std::string_view text, size_t i) {
    return text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n' ? i + 2 : i + 1;
}

bool IsBreak(char c) {
    return c == '\r' || c == '\n';
}

} // namespace

void CaretOf(std::string_view text, size_t position, int& line, int& column) {
    if (position > text.size()) position = text.size();
    line = 1;
    size_t start = 0;
    for (size_t i = 0; i < position;) {
        if (!IsBreak(text[i])) {
            ++i;
            continue;
        }
        ++line;
        i = start = BreakEnd(text, i);
    }
    if (start > position) start = position;
    column = static_cast<int>(position - start) + 1;
}

size_t PositionOf(std::string_view text, int line, int column) {
    size_t at = 0;
    for (int l = 1; l < line && at < text.size(); ++l) {
        while (at < text.size() && !IsBreak(text[at]))
            ++at;
        if (at == text.size()) return at;
        at = BreakEnd(text, at);
    }
    size_t end = at;
    while (end < text.size() && !IsBreak(text[end]))
        ++end;
    size_t pos = at + static_cast<size_t>(column < 1 ? 0 : column - 1);
    return pos > end ? end : pos;
}

// ---- field extras

FieldExtras ParseFieldExtras(std::string_view text) {
    FieldExtras e;
    e.textColour = NumberOf(PieceOf(text, 1, '/').substr(0, 63));
    e.background = NumberOf(PieceOf(text, 2, '/').substr(0, 63));
    e.readOnly = NumberOf(PieceOf(text, 3, '/').substr(0, 63)) != 0;
    return e;
}

uint32_t ExtraColour(int index) {
    static const unsigned char table[19][3] = {
        {255, 255, 255}, {255, 0, 0},     {255, 128, 128}, {128, 0, 0},     {255, 255, 128},
        {255, 255, 0},   {128, 128, 0},   {128, 255, 128}, {0, 255, 0},     {0, 128, 0},
        {128, 255, 255}, {0, 0, 255},     {0, 0, 128},     {208, 208, 208}, {128, 128, 128},
        {0, 0, 0},       {224, 224, 224}, {240, 240, 240}, {64, 64, 64},
    };
    if (index < 1 || index > 19) return 0; // 20 and above: black (0 is never asked for)
    const unsigned char* c = table[index - 1];
    return static_cast<uint32_t>(c[0]) | (static_cast<uint32_t>(c[1]) << 8) |
           (static_cast<uint32_t>(c[2]) << 16);
}

// ---- events

EventRecord MakeEventRecord(const EventEntry& e) {
    EventRecord r;
    r.list = e.name + '\xA7' + e.value;
    r.answer = e.rowCol;
    r.value = e.vars;
    r.create = (!e.hasTimer || e.hasEvent) ? 1 : 0;
    r.run = e.timerHasValue ? 1 : 0;
    r.command = e.close;
    r.stick = e.stick;
    return r;
}

// ---- sub-dialogs

SubDialogCall ParseSubDialog(std::string_view text) {
    SubDialogCall s;
    size_t open = text.find('[');
    if (open == std::string_view::npos) {
        s.dialog = std::string(text);
        return s;
    }
    s.dialog = std::string(text.substr(0, open));
    size_t close = text.find(']', open + 1);
    if (close == std::string_view::npos) {
        s.ns = std::string(text.substr(open + 1));
        return s;
    }
    s.ns = std::string(text.substr(open + 1, close - open - 1));
    s.code = std::string(text.substr(close + 1));
    return s;
}

std::string SubDialogTakeOverLine(std::string_view formName) {
    return "D VARSAVE^QCC(\"TEMP\"),VARLOAD^QCC(" + MQuote(formName) + ")";
}

// ---- window state

std::string WindowPositionNode(std::string_view screen, bool perUser) {
    return std::string("^Z(\"WINPOS\",%WIN(\"WORKSTATION\"),") + (perUser ? "%USER," : "") + MQuote(screen) +
           ")";
}

std::string SaveWindowSizeLine(std::string_view serverKey, int width, int height, bool maximised) {
    return std::string(kWorkstationDefaultLine) + "S $P(" + WindowPositionNode(serverKey, true) +
           ",%DL,3,5)=" + Decimal(width) + "_%DL_" + Decimal(height) + "_%DL_" + (maximised ? "1" : "0");
}

// ---- lines with values

std::string MessagesLine(bool take) {
    return std::string("W $L($G(%INF))_%DL_$D(%F)_%DL_$G(%INF)_$G(%F)") + (take ? " K %F,%INF" : "");
}

StepMessages ParseMessages(std::string_view answer) {
    StepMessages m;
    size_t first = answer.find('\xA7');
    if (first == std::string_view::npos) return m;
    size_t second = answer.find('\xA7', first + 1);
    if (second == std::string_view::npos) return m;
    size_t infoLength = static_cast<size_t>(NumberOf(answer.substr(0, first)));
    std::string_view data = answer.substr(first + 1, second - first - 1);
    std::string_view rest = answer.substr(second + 1);
    if (infoLength > rest.size()) infoLength = rest.size();
    m.hasError = !data.empty() && data[0] == '1';
    m.info = std::string(rest.substr(0, infoLength));
    m.error = std::string(rest.substr(infoLength));
    return m;
}

std::string ProgramExitLine(std::string_view exitCode, std::string_view routine) {
    // A program that did not start has no exit code: "" keeps the line valid.
    std::string code = exitCode.empty() ? std::string("\"\"") : std::string(exitCode);
    return "S %WIN(\"PRGEXEC\",\"EXIT\")=" + code + " D " + std::string(routine);
}

std::string CardResultLine(int i, std::string_view text) {
    return "S %WIN(\"READCARD\"," + Decimal(i) + ")=" + MQuote(text);
}

std::string LoadVarsLine(std::string_view setName) {
    return "D VARLOAD^QCC(" + MQuote(setName) + ")";
}

std::string KillVarsLine(std::string_view setName) {
    return "D KILLVARS^QCC(" + MQuote(setName) + ")";
}

std::string TabTextLine(std::string_view description) {
    return "W $G(^QM(" + MQuote(description) + ",0,\"KARTEI\"))";
}

std::string TabNodeLine(std::string_view description, int n) {
    return "W $G(^QM(" + MQuote(description) + ",0,\"KARTEI\"," + std::to_string(n) + "))";
}

std::string ScreenNodeLine(std::string_view description, std::string_view node) {
    return "W $G(^QM(" + MQuote(description) + ",0," + MQuote(node) + "))";
}

std::string ScreenNodeLine(std::string_view description, int node) {
    return "W $G(^QM(" + MQuote(description) + ",0," + Decimal(node) + "))";
}

std::string ScreenInitLine(std::string_view description) {
    return ScreenNodeLine(description, "INIT");
}

std::string SwitchNamespaceLine(std::string_view ns) {
    return "S %UCI=" + MQuote(ns) + " D SW^QUCI";
}

std::string DialogNodeExistsLine(std::string_view action, int node) {
    return "W $D(^QM(" + MQuote(action) + "," + Decimal(node) + "))";
}

std::string FocusEntryLine(int field) {
    return "K %DDN(\"FOCUS\") W $$FO^QCC(" + Decimal(field) + ")";
}

std::string FocusAgainLine(int field) {
    return "S %DDN(\"FOCUS\")=\"\" W $$FO^QCC(" + Decimal(field) + ") K %DDN(\"FOCUS\")";
}

std::string SelectAllRequestLine(int field) {
    return "W:$D(%FSELN(" + Decimal(field) + ")) 1";
}

std::string ClosingKeyLine(std::string_view sc) {
    return "S %SC=" + MQuote(sc);
}

std::string LockListLine(int fields) {
    return "F %QCC=1:1:" + Decimal(fields) + " W $D(%FS(%QCC))_%DL";
}

std::string CheckRunLine(std::string_view routine) {
    return "D PRGABL^QCC(" + MQuote(routine) + ")";
}

std::string SearchLine(std::string_view text, std::string_view routine) {
    return "S TEXT=" + MQuote(text) + " K %F D " + std::string(routine) + " W:$D(%F) 1 K %F";
}

std::string EventNextLine(std::string_view name) {
    return "W $O(%WIN(\"EV\"," + MQuote(name) + "))";
}

std::string EventValueLine(std::string_view name, std::string_view node, bool data) {
    return std::string(data ? "W $D(" : "W $G(") + "%WIN(\"EV\"," + MQuote(name) + "," + MQuote(node) + "))";
}

std::string EventValueLine(std::string_view name) {
    return "W $G(%WIN(\"EV\"," + MQuote(name) + "))";
}

std::string EventCloseLine(std::string_view name) {
    return "W $E($G(%WIN(\"EV\"," + MQuote(name) + ",\"CLOSE\")),2,2)";
}

std::string EventEventExistsLine(std::string_view name) {
    return EventValueLine(name, "EVENT", true);
}

std::string PrintRoutineLine(std::string_view description) {
    return "S %RTN=$G(^QM(" + MQuote(description) + ",0,\"DRUCK\")) W %RTN";
}

bool IsMName(std::string_view name) {
    if (name.empty() || name.size() > 31) return false;
    for (size_t i = 0; i < name.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(name[i]);
        bool ok = std::isalpha(c) || (i > 0 && std::isdigit(c)) || (i == 0 && c == '%');
        if (!ok) return false;
    }
    return true;
}

const char* FormMessageName(unsigned msg) {
    static const struct {
        unsigned msg;
        const char* name;
    } names[] = {
        {0x0005, "WM_SIZE"},           {0x0006, "WM_ACTIVATE"},       {0x000A, "WM_ENABLE"},
        {0x0010, "WM_CLOSE"},          {0x004E, "WM_NOTIFY"},         {0x007B, "WM_CONTEXTMENU"},
        {0x0100, "WM_KEYDOWN"},        {0x0111, "WM_COMMAND"},        {0x0133, "WM_CTLCOLOREDIT"},
        {0x0138, "WM_CTLCOLORSTATIC"}, {0x0201, "WM_LBUTTONDOWN"},    {0x0406, "WM_DIAGSETFOCUS"},
        {0x0409, "WM_UPDATEDIALOG"},   {0x040A, "WM_CHILDMESSAGE"},   {0x040B, "WM_ENABLEEDITS"},
        {0x040C, "WM_REPEATDIALOG"},   {0x0416, "EN_SEARCHSTRING"},   {0x0417, "WM_TESTFOREVENT"},
        {0x0428, "WM_TAB_ERASEBKGND"}, {0x043C, "WM_HTML_HYPERLINK"},
    };
    for (const auto& n : names)
        if (n.msg == msg) return n.name;
    return nullptr;
}

} // namespace vorlan
