#pragma once
// What the main frame's small dialogs decide without a window: the help window's M lines and
// the text it streams into its rich edit, and the support request's variable dump, report and
// mail link.

#include <cstddef>
#include <string>
#include <string_view>

namespace vorlan {

// ---- help window (F1 in a form frame)

// "1" while the user's group is below 997: those users get the help window, the others the
// server's help screen.
inline constexpr char kHelpWindowGroupLine[] = "W:$G(%BG)<997 1";
inline constexpr char kHelpScreenEntry[] = "QHELP";
// F1 in a modal window: its screen becomes %AP(1) for the server's screen information "QMI",
// which the window asks of itself.
inline constexpr char kModalHelpScreenLine[] = "I $D(%DN) S %AP(1)=%DN";
inline constexpr char kModalHelpNoScreenLine[] = "I '$D(%DN) S %AP(1)=\"\"";
inline constexpr char kModalHelpDialog[] = "QMI";
// The server fills ^QTEMP("HELP",n) for the current screen; %QCC walks its nodes.
inline constexpr char kHelpLoadLine[] = "D LOAD^QHELPW S %QCC=\"\"";
inline constexpr char kHelpNextNodeLine[] = "S %QCC=$O(^QTEMP(\"HELP\",%QCC)) W %QCC";
inline constexpr char kHelpNodeValueLine[] = "W $G(^QTEMP(\"HELP\",%QCC))";
inline constexpr char kNoHelpNotice[] = "Zu diesem Dialog ist keine Direkthilfe vorhanden.";

// The help text as the rich edit takes it: the server's nodes joined as rich text, or the
// notice as plain text when they are empty.
struct HelpText {
    std::string text;
    bool rich = false;
};
HelpText MakeHelpText(std::string joined);

// Hands a text out in pieces of the size the reader asks for, as a rich edit's stream-in
// callback wants it; 0 once all of it went.
class HelpStream {
  public:
    explicit HelpStream(std::string_view text) : m_text(text) {}
    size_t Read(char* buffer, size_t wanted);
    bool AtEnd() const { return m_position >= m_text.size(); }

  private:
    std::string_view m_text;
    size_t m_position = 0;
};

// ---- support request: the job's local variables

// A local name as $O answers it ("%" and letters, then letters and digits), which is pasted
// into the dump's lines as a reference. A node is that name, alone or with subscripts in
// parentheses, as $Q answers it.
bool IsLocalName(std::string_view name);
bool IsNodeOf(std::string_view node, std::string_view name);
inline constexpr char kDumpFirstName[] = "%";
// "1" when the node has a value of its own.
std::string DumpHasValueLine(std::string_view node);
// The value, each character below 32 written as a closed string, $C(code) and a re-opened
// string. The loop variable is never the dumped name, so that the local % dumps too.
std::string DumpValueLine(std::string_view node);
std::string DumpNextNodeLine(std::string_view node);
std::string DumpNextNameLine(std::string_view name);
// One line of the dump: node="value" and CR LF.
std::string DumpLine(std::string_view node, std::string_view value);

inline constexpr char kSupportUserLine[] = "W $G(%USER)";
inline constexpr char kSupportMemoLine[] = "W $G(%MEMO)";
inline constexpr char kSupportSubject[] = "Automatische Supportanfrage";
std::string SupportReport(std::string_view user, std::string_view memo, std::string_view dump);
// The report as the read-only box shows it: CR dropped, every LF as CR LF.
std::string SupportReportShown(std::string_view report);

} // namespace vorlan
