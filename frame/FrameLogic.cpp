#include "frame/FrameLogic.h"
#include "common/TextChars.h"

#include "app/ReplyFields.h"
#include "common/MQuote.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>

namespace vorlan {

namespace {

std::string Trimmed(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && IsTextSpace(static_cast<unsigned char>(s[b])))
        ++b;
    while (e > b && IsTextSpace(static_cast<unsigned char>(s[e - 1])))
        --e;
    return std::string(s.substr(b, e - b));
}

std::string Upper(std::string_view s) {
    return TextUpper(s);
}

std::string Cut(std::string_view s, size_t n) {
    return std::string(s.substr(0, n));
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && Upper(s.substr(0, prefix.size())) == Upper(prefix);
}

} // namespace

bool ReleaseIsSupported(std::string_view release) {
    int major = std::atoi(Cut(PieceOf(release, 1, '.'), 31).c_str());
    int minor = std::atoi(Cut(PieceOf(release, 2, '.'), 31).c_str());
    return major > 4 || (major == 4 && minor >= 8);
}

NamespaceAndVolume SplitConfiguration(std::string_view text) {
    std::string t = Trimmed(text);
    size_t comma = t.find(',');
    if (comma == std::string::npos) return {t, ""};
    return {t.substr(0, comma), t.substr(comma + 1)};
}

std::string ClientEntry(std::string_view number, std::string_view name) {
    return std::string(number) + " (" + std::string(name) + ")";
}

std::string ClientNumberOf(std::string_view entry) {
    size_t blank = entry.find(' ');
    return blank == std::string_view::npos ? std::string() : std::string(entry.substr(0, blank));
}

std::string ClientEntryPrefix(std::string_view number) {
    return std::string(number) + " (";
}

std::string DatabaseNameLine(std::string_view dbName) {
    return "K IN S IN(\"DBNAME\")=" + MQuote(dbName);
}

std::string ChangeNamespaceLine(std::string_view ns, std::string_view volume) {
    return "W $$CHNGUCI^%kvu(" + MQuote(ns) + "," + MQuote(volume) + ")";
}

std::string LoginLine(std::string_view user, std::string_view password, bool defaultGroup) {
    std::string line = "W $$LOGIN^QCC(" + MQuote(user) + "," + MQuote(password) + ")";
    if (defaultGroup) line += " S:$G(%BG)=\"\" %BG=998";
    return line;
}

namespace {
// The namespace of an extended reference: there a concatenation (a name with characters
// that only $C(...) carries) must stand in parentheses.
std::string NamespaceOf(std::string_view ns) {
    std::string quoted = MQuote(ns);
    return quoted.find("$C(") == std::string::npos ? quoted : "(" + quoted + ")";
}
} // namespace

std::string WorkstationLine(std::string_view computerName) {
    return "S (%WS,%WIN(\"WORKSTATION\"))=" + MQuote(computerName);
}

std::string ModuleMenuCheckLine(std::string_view ns) {
    return "W:$D(^[" + NamespaceOf(ns) + "]QME(\"ME\",%BG)) 1";
}

std::string SaveModuleIndexLine(int index) {
    return "S ^MV(%USER,\"MP\")=" + std::to_string(index);
}

std::string YearListLine(std::string_view client) {
    return "S %QCC=$O(^QTEMP(%JOB,\"WJ\"," + MQuote(client) + ",%QCC)) W:%QCC'=\"\" %QCC";
}

std::string WorkplaceLine(std::string_view workplace) {
    return "S %AP=" + MQuote(workplace) +
           " I %AP'=\"\" S:'$D(^Z(\"BDR\",%AP)) ^Z(\"BDR\",%AP)=%DL_%DL_%DL_%DL_$G(^Z(\"PC\",%USER,2))_\", "
           "\"_$G(^Z("
           "\"PC\",%USER,3))_%DL_\"0\"";
}

std::string ClientAndYearLine(std::string_view client, std::string_view year, std::string_view address,
                              std::string_view port) {
    return "S %MI=" + MQuote(client) + ",%WJ=" + MQuote(year) + ",^[%SYS]Z(\"IP\",%JOB)=" + MQuote(address) +
           ",^[%SYS]Z(\"PORT\",%JOB)=" + MQuote(port);
}

std::string WorkplaceMessageReference(std::string_view ns) {
    return "^[" + NamespaceOf(ns) + "]ZINFO(%AP";
}

std::string UserMessageReference(std::string_view ns) {
    return "^[" + NamespaceOf(ns) + "]ZINFO(0,%USER";
}

ServerTimer ParseServerTimer(std::string_view answer) {
    ServerTimer t;
    if (answer.empty()) return t;
    t.interval = std::atoi(PieceOf(answer, 1).c_str());
    t.line = PieceOf(answer, 2);
    return t;
}

std::string AfterLoginLine(std::string_view setArguments) {
    return "S " + std::string(setArguments);
}

std::string FreeBlocksLine(std::string_view volume) {
    return "I $$TSPC^%kvv(" + MQuote(volume) + ",.%QCC)=0 W %QCC";
}

std::string ExpandVolumeLine(std::string_view volume, long long blocks) {
    return "W $$EXPAND^%kvv(" + MQuote(volume) + "," + std::to_string(blocks) + ")";
}

VolumeGrowth GrowthOf(std::string_view freeSpace) {
    long long n = std::clamp<long long>(std::strtoll(std::string(freeSpace).c_str(), nullptr, 10), 0,
                                        LLONG_MAX / 10);
    VolumeGrowth growth;
    growth.blocks = (10 * n) / 100;
    growth.megabytes = static_cast<int>(std::min<long long>((10 * n) / 102400, INT_MAX));
    return growth;
}

std::string ChangeYearLine(std::string_view year) {
    return "S %WJ=" + MQuote(year);
}

std::string ChangeClientLine(std::string_view number) {
    return "S %MI=" + MQuote(number);
}

std::string DefaultYearLine(int year) {
    return "S %WJ=" + std::to_string(year);
}

std::string ProgramVersionLine(std::string_view version) {
    return "S (%MUMPS(\"VER\"),^[%SYS]Z(\"EXE\",%JOB))=" + MQuote(version);
}

std::string JobPathLine(std::string_view node, std::string_view path) {
    return "S ^[%SYS]Z(\"PATH\",%JOB," + MQuote(node) + ")=" + MQuote(path);
}

std::string WorkstationPathLine(std::string_view node, std::string_view path) {
    return "S ^[%SYS]Z(\"PATH-AP\",%WORKSTATION," + MQuote(node) + ")=" + MQuote(path) + "_$C(167)_$G(%USER)";
}

std::string MemoHistoryLine(int n) {
    return "W $G(^Z(\"MEMOHIST\",%USER," + std::to_string(n) + "))";
}

std::string SaveMemoHistoryLine(int n, std::string_view item) {
    return "S ^Z(\"MEMOHIST\",%USER," + std::to_string(n) + ")=" + MQuote(item);
}

std::string SelectByNumberLine(unsigned number) {
    return "W $$SELECTM^QCC(" + std::to_string(number & 0xFFFF) + ")";
}

std::string SelectByNameLine(std::string_view name) {
    return "W $$SELECTM^QCC(" + MQuote(Upper(name)) + ")";
}

std::string DialogOfMenuAnswer(std::string_view answer) {
    std::string dialog = Cut(PieceOf(answer, 4), 255);
    if (!dialog.empty() && dialog[0] == '^') return std::string();
    return dialog;
}

EntryFallback ClassifyEntryName(std::string_view name) {
    if (name.empty()) return EntryFallback::None;
    if (StartsWithNoCase(name, "debug:")) return EntryFallback::Debugger;
    if (StartsWithNoCase(name, "telnet:")) return EntryFallback::Telnet;
    if (StartsWithNoCase(name, "ssh:")) return EntryFallback::Ssh;
    if (name.find_first_of(".\\/:") != std::string_view::npos) return EntryFallback::WebAddress;
    if (name == "QHELP") return EntryFallback::Help;
    return EntryFallback::Unknown;
}

std::string WebEntryLine(std::string_view key) {
    return "W $G(^QSYS(\"WEB\"," + MQuote(key) + "))";
}

std::string WebParameterLine(std::string_view parameter) {
    return "S %WIN(\"WEB\")=" + MQuote(parameter);
}

std::string WindowMenuItemText(int n, std::string_view title) {
    std::string prefix = n < 9 ? "&" + std::to_string(n + 1) + " " : "1&0 ";
    return prefix + Cut(title, 160);
}

Box MdiDefaultRect(const Box* active, int clientWidth, int clientHeight) {
    Box r;
    if (active) {
        r.left = active->left + 18;
        r.top = active->top + 18;
    }
    r.right = r.left + clientWidth * 2 / 3;
    if (r.right > clientWidth) r.right = clientWidth;
    r.bottom = r.top + clientHeight * 2 / 3;
    if (r.bottom > clientHeight) r.bottom = clientHeight;
    return r;
}

std::string ToolTipSource(std::string_view text) {
    size_t cut = text.find_first_of("[;");
    return Trimmed(text.substr(0, cut));
}

std::string ToolTipShown(std::string_view text) {
    size_t lf = text.find('\n');
    if (lf != std::string_view::npos) text = text.substr(lf + 1);
    return Cut(text, 79);
}

std::string FunctionKeyEntry(std::string_view text) {
    return Cut(PieceOf(text, 1), 71);
}

const char* WindowMessageName(unsigned msg) {
    static const struct {
        unsigned msg;
        const char* name;
    } names[] = {
        {0x0002, "WM_DESTROY"},          {0x0003, "WM_MOVE"},           {0x0005, "WM_SIZE"},
        {0x0006, "WM_ACTIVATE"},         {0x0010, "WM_CLOSE"},          {0x0022, "WM_CHILDACTIVATE"},
        {0x0024, "WM_GETMINMAXINFO"},    {0x004A, "WM_COPYDATA"},       {0x004E, "WM_NOTIFY"},
        {0x007B, "WM_CONTEXTMENU"},      {0x0086, "WM_NCACTIVATE"},     {0x0113, "WM_TIMER"},
        {0x011F, "WM_MENUSELECT"},       {0x0120, "WM_MENUCHAR"},       {0x0121, "WM_ENTERIDLE"},
        {0x0211, "WM_ENTERMENULOOP"},    {0x0212, "WM_EXITMENULOOP"},   {0x0222, "WM_MDIACTIVATE"},
        {0x0362, "WM_SETMESSAGESTRING"}, {0x0402, "WM_DESTROYMENU"},    {0x0403, "WM_MENUSELECTED"},
        {0x0404, "WM_SETFKEY"},          {0x0405, "WM_DIAGSELECTED"},   {0x0407, "WM_CREATEMDIDIALOG"},
        {0x0408, "WM_CREATEOWNDIALOG"},  {0x0409, "WM_UPDATEDIALOG"},   {0x040A, "WM_CHILDMESSAGE"},
        {0x040B, "WM_MENUSHOW"},         {0x040D, "WM_CLOSEDIALOG"},    {0x040E, "WM_DIALOGINIT"},
        {0x040F, "WM_SETMEMO"},          {0x0410, "WM_CHANGELOGIN"},    {0x0411, "WM_DIALOGSTOP"},
        {0x0412, "WM_TIMEREVENT"},       {0x0414, "WM_SETWINPOS"},      {0x0415, "WM_INITAPP"},
        {0x041E, "WM_CREATEMENU"},       {0x041F, "WM_SETBUTTON"},      {0x0420, "WM_STARTMEMO"},
        {0x0428, "WM_TAB_ERASEBKGND"},   {0x0429, "WM_CHECKFKEY"},      {0x042A, "WM_TESTFKEY"},
        {0x042E, "WM_GETSTICKEDWINDOW"}, {0x0446, "WM_ACTIVATEDIALOG"}, {0x0464, "WM_CUSTOMIZE_TOOLBAR"},
        {0x04C8, "WM_WEBBROWSER"},       {0x04C9, "WM_CALLFROMWEB"},
    };
    for (const auto& n : names)
        if (n.msg == msg) return n.name;
    return nullptr;
}

} // namespace vorlan
