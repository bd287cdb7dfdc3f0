// The M lines of the frame and its windows, for the compile test (tests/common/MLineTable.h).
#include "frame/BarLogic.h"
#include "frame/FormFrameLogic.h"
#include "frame/FrameDialogsLogic.h"
#include "frame/FrameLogic.h"
#include "frame/FrameSessionLogic.h"
#include "frame/FrameTimerLogic.h"
#include "frame/MenuTreeLogic.h"
#include "tests/common/MLineTable.h"

namespace vorlan::test {

namespace {

using V = LineValue;

// The message references, as the frame builds them from a namespace.
MLines MessageLines(const std::string& ns, std::string (*line)(std::string_view)) {
    return {line(WorkplaceMessageReference(ns)), line(UserMessageReference(ns))};
}

// Nodes as $Q and $O answer them: the dump pastes them as references.
const char* const kSampleNodes[] = {"%", "X", "%QCC(1)", "X(1,\"a\"\"b\",-2.5)", "ABC(\"\xA7\xFF\")"};

MLines ForSampleNodes(std::string (*line)(std::string_view)) {
    MLines all;
    for (const char* node : kSampleNodes)
        all.push_back(line(node));
    return all;
}

HeaderLines FrameLogicLines() {
    return {
        "frame/FrameLogic.h",
        {
            {"DatabaseNameLine", [](const V& v) -> MLines { return {DatabaseNameLine(v.text)}; }},
            {"ChangeNamespaceLine",
             [](const V& v) -> MLines { return {ChangeNamespaceLine(v.text, v.text)}; }},
            {"LoginLine",
             [](const V& v) -> MLines {
                 return {LoginLine(v.text, v.text, true), LoginLine(v.text, v.text, false)};
             }},
            {"WorkstationLine", [](const V& v) -> MLines { return {WorkstationLine(v.text)}; }},
            {"ModuleMenuCheckLine", [](const V& v) -> MLines { return {ModuleMenuCheckLine(v.text)}; }},
            {"SaveModuleIndexLine", [](const V& v) -> MLines { return {SaveModuleIndexLine(v.number)}; }},
            {"YearListLine", [](const V& v) -> MLines { return {YearListLine(v.text)}; }},
            {"WorkplaceLine", [](const V& v) -> MLines { return {WorkplaceLine(v.text)}; }},
            {"ClientAndYearLine",
             [](const V& v) -> MLines { return {ClientAndYearLine(v.text, v.text, v.text, v.text)}; }},
            // The settings' SET arguments, M code of the installation.
            {"AfterLoginLine", [](const V&) -> MLines { return {AfterLoginLine("%ZX=1,%ZY=\"a\"")}; }},
            {"FreeBlocksLine", [](const V& v) -> MLines { return {FreeBlocksLine(v.text)}; }},
            {"ExpandVolumeLine", [](const V& v) -> MLines { return {ExpandVolumeLine(v.text, v.number)}; }},
            {"ChangeYearLine", [](const V& v) -> MLines { return {ChangeYearLine(v.text)}; }},
            {"ChangeClientLine", [](const V& v) -> MLines { return {ChangeClientLine(v.text)}; }},
            {"DefaultYearLine", [](const V& v) -> MLines { return {DefaultYearLine(v.number)}; }},
            {"ProgramVersionLine", [](const V& v) -> MLines { return {ProgramVersionLine(v.text)}; }},
            {"JobPathLine", [](const V& v) -> MLines { return {JobPathLine(v.text, v.text)}; }},
            {"WorkstationPathLine",
             [](const V& v) -> MLines { return {WorkstationPathLine(v.text, v.text)}; }},
            {"MemoHistoryLine", [](const V& v) -> MLines { return {MemoHistoryLine(v.number)}; }},
            {"SaveMemoHistoryLine",
             [](const V& v) -> MLines { return {SaveMemoHistoryLine(v.number, v.text)}; }},
            {"SelectByNumberLine",
             [](const V& v) -> MLines { return {SelectByNumberLine(static_cast<unsigned>(v.number))}; }},
            {"SelectByNameLine", [](const V& v) -> MLines { return {SelectByNameLine(v.text)}; }},
            {"WebEntryLine", [](const V& v) -> MLines { return {WebEntryLine(v.text)}; }},
            {"WebParameterLine", [](const V& v) -> MLines { return {WebParameterLine(v.text)}; }},
            // References: in the smallest line they are used in.
            {"WorkplaceMessageReference",
             [](const V& v) -> MLines { return {MessagesExistLine(WorkplaceMessageReference(v.text))}; }},
            {"UserMessageReference",
             [](const V& v) -> MLines { return {MessagesExistLine(UserMessageReference(v.text))}; }},
            M_CONSTANT(kMountLine),
            M_CONSTANT(kInitLine),
            M_CONSTANT(kCurrentYearLine),
            M_CONSTANT(kModulesExistLine),
            M_CONSTANT(kSystemNameLine),
            M_CONSTANT(kModuleIndexLine),
            M_CONSTANT(kListStartLine),
            M_CONSTANT(kNextModuleLine),
            M_CONSTANT(kNextClientLine),
            M_CONSTANT(kListKeyLine),
            M_CONSTANT(kWorkplaceStartLine),
            M_CONSTANT(kNextWorkplaceLine),
            M_CONSTANT(kAppTimerLine),
            M_CONSTANT(kSystemTimerLine),
            M_CONSTANT(kCancelLogoutLine),
            M_CONSTANT(kDeveloperCheckLine),
            M_CONSTANT(kAdminCheckLine),
            M_CONSTANT(kHeartbeatLine),
            M_CONSTANT(kSpaceTestLine),
            M_CONSTANT(kSpaceLine),
            M_CONSTANT(kVolumeLine),
            M_CONSTANT(kClientDefaultsLine),
            M_CONSTANT(kEuroLine),
            M_CONSTANT(kUserInfoLine),
            M_CONSTANT(kYearInfoLine),
            M_CONSTANT(kJobAddressLine),
            M_CONSTANT(kJobPortLine),
            M_CONSTANT(kSystemJobLine),
            M_CONSTANT(kForgetJobPathsLine),
            M_CONSTANT(kLogoutLine),
            M_CONSTANT(kHelpNamespaceLine),
            M_CONSTANT(kPocketKindLine),
            M_CONSTANT(kPocketInstallLine),
            M_CONSTANT(kWebParameterEndLine),
        }};
}

HeaderLines FrameSessionLines() {
    return {
        "frame/FrameSessionLogic.h",
        {
            {"MessagesExistLine",
             [](const V& v) -> MLines { return MessageLines(v.text, MessagesExistLine); }},
            {"FirstMessageKeyLine",
             [](const V& v) -> MLines { return MessageLines(v.text, FirstMessageKeyLine); }},
            {"NextMessageKeyLine",
             [](const V& v) -> MLines {
                 return {NextMessageKeyLine(WorkplaceMessageReference(v.text), v.text),
                         NextMessageKeyLine(UserMessageReference(v.text), v.text)};
             }},
            {"MessageSenderLine",
             [](const V& v) -> MLines { return MessageLines(v.text, MessageSenderLine); }},
            {"MessageTextLine", [](const V& v) -> MLines { return MessageLines(v.text, MessageTextLine); }},
            {"NextMessageTextKeyLine",
             [](const V& v) -> MLines { return MessageLines(v.text, NextMessageTextKeyLine); }},
            {"MessageTextPartLine",
             [](const V& v) -> MLines { return MessageLines(v.text, MessageTextPartLine); }},
            {"MessageHasDialogLine",
             [](const V& v) -> MLines { return MessageLines(v.text, MessageHasDialogLine); }},
            {"MessageDialogLine",
             [](const V& v) -> MLines { return MessageLines(v.text, MessageDialogLine); }},
            {"KillMessageLine", [](const V& v) -> MLines { return MessageLines(v.text, KillMessageLine); }},
            {"MemoGroupNameLine", [](const V& v) -> MLines { return {MemoGroupNameLine(v.number)}; }},
            {"NextMemoKeyLine", [](const V& v) -> MLines { return {NextMemoKeyLine(v.number)}; }},
            {"MemoEntryTextLine", [](const V& v) -> MLines { return {MemoEntryTextLine(v.number)}; }},
            {"SetLanguageLine", [](const V& v) -> MLines { return {SetLanguageLine(v.number)}; }},
            {"LanguageNameLine", [](const V& v) -> MLines { return {LanguageNameLine(v.number)}; }},
            {"GroupDescriptionLine", [](const V& v) -> MLines { return {GroupDescriptionLine(v.text)}; }},
            {"SetGroupDescriptionLine",
             [](const V& v) -> MLines { return {SetGroupDescriptionLine(v.text)}; }},
            {"SetTemplateGroupLine", [](const V& v) -> MLines { return {SetTemplateGroupLine(v.text)}; }},
            {"UnlockLoginLine", [](const V& v) -> MLines { return {UnlockLoginLine(v.text, v.text)}; }},
            {"RestoreUserLine", [](const V& v) -> MLines { return {RestoreUserLine(v.text)}; }},
            {"RestoreGroupLine", [](const V& v) -> MLines { return {RestoreGroupLine(v.text)}; }},
            {"RestoreActiveUserLine", [](const V& v) -> MLines { return {RestoreActiveUserLine(v.text)}; }},
            M_CONSTANT(kMessageTextStartLine),
            M_CONSTANT(kMemoWalkStartLine),
            M_CONSTANT(kCurrentYearOfJobLine),
            M_CONSTANT(kLanguageKeepLine),
            M_CONSTANT(kLanguageNumberLine),
            M_CONSTANT(kLanguageLine),
            M_CONSTANT(kUserGroupLine),
            M_CONSTANT(kGroupWalkStartLine),
            M_CONSTANT(kNextGroupLine),
        }};
}

HeaderLines BarLines() {
    return {
        "frame/BarLogic.h",
        {
            {"DesktopLookLines",
             [](const V& v) -> MLines {
                 DesktopLook look{v.number, v.number, v.number, v.text, v.text, v.number};
                 return Joined({DesktopLookLines(true, look), DesktopLookLines(false, look)});
             }},
            {"DesktopIconLines",
             [](const V& v) -> MLines {
                 return DesktopIconLines(v.number, DesktopIcon{v.text, v.text, v.text, v.number, v.number});
             }},
            {"DesktopItemLine",
             [](const V& v) -> MLines {
                 return {DesktopItemLine(true, v.text), DesktopItemLine(false, v.text)};
             }},
            {"NextIconLine", [](const V& v) -> MLines { return {NextIconLine(v.number)}; }},
            // The prefix: read as the desktop reads an item.
            {"DesktopLookPrefix",
             [](const V&) -> MLines {
                 return {"W $G(" + DesktopLookPrefix(true) + "\"IMAGE\"))",
                         "W $G(" + DesktopLookPrefix(false) + "\"IMAGE\"))"};
             }},
            M_CONSTANT(kKillClientDesktopLine),
            M_CONSTANT(kKillIconsLine),
            M_CONSTANT(kClientDesktopCheckLine),
            M_CONSTANT(kUserDesktopCheckLine),
        }};
}

HeaderLines FormFrameLines() {
    return {
        "frame/FormFrameLogic.h",
        {
            {"TabHiddenLine", [](const V& v) -> MLines { return {TabHiddenLine(v.text, v.text)}; }},
            {"TabHiddenByJobLine", [](const V& v) -> MLines { return {TabHiddenByJobLine(v.text, v.text)}; }},
            {"TabButtonsLine", [](const V& v) -> MLines { return {TabButtonsLine(v.text)}; }},
            {"PrgInitLine", [](const V& v) -> MLines { return {PrgInitLine(v.text)}; }},
            M_CONSTANT(kTabsHiddenByJobEndLine),
            M_CONSTANT(kTimerResetLine),
            M_CONSTANT(kTimerInitLine),
            M_CONSTANT(kTimerListLine),
            M_CONSTANT(kTakeFocusFieldLine),
            M_CONSTANT(kTakeFullScreenLine),
            M_CONSTANT(kExplorerEntriesLine),
        }};
}

HeaderLines FrameDialogsLines() {
    return {"frame/FrameDialogsLogic.h",
            {
                {"DumpHasValueLine", [](const V&) -> MLines { return ForSampleNodes(DumpHasValueLine); }},
                {"DumpValueLine", [](const V&) -> MLines { return ForSampleNodes(DumpValueLine); }},
                {"DumpNextNodeLine", [](const V&) -> MLines { return ForSampleNodes(DumpNextNodeLine); }},
                {"DumpNextNameLine",
                 [](const V&) -> MLines {
                     return {DumpNextNameLine(kDumpFirstName), DumpNextNameLine("%QCC")};
                 }},
                NotALine("DumpLine", "a line of the support report's text"),
                M_CONSTANT(kHelpWindowGroupLine),
                M_CONSTANT(kModalHelpScreenLine),
                M_CONSTANT(kModalHelpNoScreenLine),
                M_CONSTANT(kHelpLoadLine),
                M_CONSTANT(kHelpNextNodeLine),
                M_CONSTANT(kHelpNodeValueLine),
                M_CONSTANT(kSupportUserLine),
                M_CONSTANT(kSupportMemoLine),
            }};
}

HeaderLines FrameTimerLines() {
    return {"frame/FrameTimerLogic.h",
            {
                // The code of an entry is the server's; a screen without code names a routine.
                {"TimerTickLine",
                 [](const V& v) -> MLines {
                     return {TimerTickLine(TimerEntry{v.text, "", false}),
                             TimerTickLine(TimerEntry{"TIM", "", false}),
                             TimerTickLine(TimerEntry{v.text, "$$TIMER^QTEST(1)", true})};
                 }},
                {"WindowPositionLine",
                 [](const V& v) -> MLines {
                     return {WindowPositionLine(v.text, true), WindowPositionLine(v.text, false)};
                 }},
                {"SaveWindowPositionLine",
                 [](const V& v) -> MLines { return {SaveWindowPositionLine(v.text, v.number, v.number)}; }},
            }};
}

HeaderLines MenuTreeLines() {
    return {"frame/MenuTreeLogic.h",
            {
                {"MenuEditInitLine", [](const V& v) -> MLines { return {MenuEditInitLine(v.text)}; }},
                {"MenuInitLine", [](const V&) -> MLines { return {MenuInitLine()}; }},
                {"MenuGetLine",
                 [](const V& v) -> MLines {
                     return {MenuGetLine(v.text, nullptr), MenuGetLine(v.text, &v.text),
                             MenuGetLine(FormatMenuPath({1, v.number, 3}, true), nullptr)};
                 }},
                {"MenuSetLine",
                 [](const V& v) -> MLines {
                     return {MenuSetLine(v.text, true), MenuSetLine(v.text, false)};
                 }},
                {"MenuEditSaveLine", [](const V& v) -> MLines { return {MenuEditSaveLine(v.text)}; }},
                {"MenuEndLine", [](const V&) -> MLines { return {MenuEndLine()}; }},
                {"MenuResyncLine", [](const V& v) -> MLines { return {MenuResyncLine(v.text)}; }},
            }};
}

} // namespace

LineTable FrameLineTable() {
    return {FrameLogicLines(),   FrameSessionLines(), BarLines(),     FormFrameLines(),
            FrameDialogsLines(), FrameTimerLines(),   MenuTreeLines()};
}

} // namespace vorlan::test
