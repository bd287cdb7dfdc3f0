#include "frame/FrameLogic.h"

#include <gtest/gtest.h>

using namespace vorlan;

TEST(FrameLogic, ReleaseCheckComparesMajorAndMinor) {
    struct {
        const char* release;
        bool ok;
    } cases[] = {{"4.8", true},  {"4.10", true}, {"5.0", true},  {"5.7.2", true}, {"4.7", false},
                 {"3.9", false}, {"", false},    {"abc", false}, {"4", false},    {"12.0", true}};
    for (const auto& c : cases)
        EXPECT_EQ(ReleaseIsSupported(c.release), c.ok) << c.release;
}

TEST(FrameLogic, ConfigurationSplitsAtTheFirstComma) {
    struct {
        const char* text;
        const char* ns;
        const char* volume;
    } cases[] = {{"SYS,DBK", "SYS", "DBK"},
                 {"  VOR , X ", "VOR ", " X"},
                 {"PRAXIS", "PRAXIS", ""},
                 {"LONGNAME,VG,2", "LONGNAME", "VG,2"},
                 {"", "", ""},
                 {",DBK", "", "DBK"}};
    for (const auto& c : cases) {
        NamespaceAndVolume nv = SplitConfiguration(c.text);
        EXPECT_EQ(nv.ns, c.ns) << c.text;
        EXPECT_EQ(nv.volume, c.volume) << c.text;
    }
}

TEST(FrameLogic, ClientEntriesLeadWithTheNumber) {
    EXPECT_EQ(ClientEntry("101", "Standardmandant"), "101 (Standardmandant)");
    EXPECT_EQ(ClientNumberOf("101 (Standardmandant)"), "101");
    EXPECT_EQ(ClientNumberOf("ohneLeerzeichen"), "") << "no blank, no number";
    EXPECT_EQ(ClientEntryPrefix("10"), "10 (") << "so that 10 does not find 101";
}

struct LineCase {
    std::string line;
    const char* want;
};

TEST(FrameLogic, LogInLinesQuoteTheirValues) {
    LineCase cases[] = {
        {LoginLine("demo", "ge\"heim", true),
         "W $$LOGIN^QCC(\"demo\",\"ge\"\"heim\") S:$G(%BG)=\"\" %BG=998"},
        {LoginLine("a", "", false), "W $$LOGIN^QCC(\"a\",\"\")"},
        {LoginLine("a", "x\ty", false), "W $$LOGIN^QCC(\"a\",\"x\"_$C(9)_\"y\")"},
        {WorkstationLine("PC\"1"), "S (%WS,%WIN(\"WORKSTATION\"))=\"PC\"\"1\""},
        {DatabaseNameLine("C:\\DB\\\"neu\""), "K IN S IN(\"DBNAME\")=\"C:\\DB\\\"\"neu\"\"\""},
        {UnmountLine(""), "W $$UNMOUNT^%kvv(\"\")"},
        {ChangeNamespaceLine("VOR", "D\rK"), "W $$CHNGUCI^%kvu(\"VOR\",\"D\"_$C(13)_\"K\")"},
        {ModuleMenuCheckLine("VOR"), "W:$D(^[\"VOR\"]QME(\"ME\",%BG)) 1"},
        {ModuleMenuCheckLine(""), "W:$D(^[\"\"]QME(\"ME\",%BG)) 1"},
        {YearListLine("1\"0"), "S %QCC=$O(^QTEMP(%JOB,\"WJ\",\"1\"\"0\",%QCC)) W:%QCC'=\"\" %QCC"},
        {ClientAndYearLine("101", "2024", "10.0.0.1", "1972"),
         "S %MI=\"101\",%WJ=\"2024\",^[%SYS]Z(\"IP\",%JOB)=\"10.0.0.1\",^[%SYS]Z(\"PORT\",%JOB)=\"1972\""},
        {ClientAndYearLine("", "", "", ""),
         "S %MI=\"\",%WJ=\"\",^[%SYS]Z(\"IP\",%JOB)=\"\",^[%SYS]Z(\"PORT\",%JOB)=\"\""},
        {WorkplaceMessageReference("A\"B"), "^[\"A\"\"B\"]ZINFO(%AP"},
        {UserMessageReference("VOR"), "^[\"VOR\"]ZINFO(0,%USER"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.line, c.want);
    EXPECT_NE(WorkplaceLine("AP\"1").find("S %AP=\"AP\"\"1\" I %AP'=\"\""), std::string::npos);
    EXPECT_EQ(WorkplaceLine("x\ny").find('\n'), std::string::npos) << "control characters as $C()";
}

TEST(FrameLogic, MainFrameLinesQuoteTheirValues) {
    LineCase cases[] = {
        {ChangeYearLine("2024\""), "S %WJ=\"2024\"\"\""},
        {ChangeClientLine("1\r"), "S %MI=\"1\"_$C(13)"},
        {FreeBlocksLine("D\"K"), "I $$TSPC^%kvv(\"D\"\"K\",.%QCC)=0 W %QCC"},
        {ProgramVersionLine("5.0 \"neu\""), "S (%MUMPS(\"VER\"),^[%SYS]Z(\"EXE\",%JOB))=\"5.0 \"\"neu\"\"\""},
        {JobPathLine("WORD", "C:\\Vorlagen\\\"alt\""),
         "S ^[%SYS]Z(\"PATH\",%JOB,\"WORD\")=\"C:\\Vorlagen\\\"\"alt\"\"\""},
        {WorkstationPathLine("EXCEL", "X:\\a\tb"),
         "S ^[%SYS]Z(\"PATH-AP\",%WORKSTATION,\"EXCEL\")=\"X:\\a\"_$C(9)_\"b\"_$C(167)_$G(%USER)"},
        {SaveMemoHistoryLine(0, "PAT \"neu\""), "S ^Z(\"MEMOHIST\",%USER,0)=\"PAT \"\"neu\"\"\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.line, c.want);
}

TEST(FrameLogic, OpeningFormsQuotesNamesAndParameters) {
    LineCase cases[] = {
        {SelectByNumberLine(0x10007), "W $$SELECTM^QCC(7)"},
        {SelectByNameLine("pat\"x"), "W $$SELECTM^QCC(\"PAT\"\"X\")"},
        {SelectByNameLine(""), "W $$SELECTM^QCC(\"\")"},
        {WebEntryLine("k\"1"), "W $G(^QSYS(\"WEB\",\"k\"\"1\"))"},
        {WebParameterLine("a=1&b=\"2\""), "S %WIN(\"WEB\")=\"a=1&b=\"\"2\"\"\""},
        {WebParameterLine("x\r\n"), "S %WIN(\"WEB\")=\"x\"_$C(13,10)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.line, c.want);
}

TEST(FrameLogic, AVolumeGrowsByATenthOfItsFreeSpaceBeyond32Bits) {
    VolumeGrowth small = GrowthOf("100000");
    EXPECT_EQ(small.blocks, 10000);
    EXPECT_EQ(small.megabytes, 9);
    // Ten times the free space no longer fits 32 bits.
    VolumeGrowth large = GrowthOf("400000000");
    EXPECT_EQ(large.blocks, 40000000);
    EXPECT_EQ(large.megabytes, 39062);
    VolumeGrowth huge = GrowthOf("30000000000");
    EXPECT_EQ(huge.blocks, 3000000000LL);
    EXPECT_EQ(ExpandVolumeLine("V", huge.blocks), "W $$EXPAND^%kvv(\"V\",3000000000)");
    EXPECT_EQ(GrowthOf("").blocks, 0);
}

TEST(FrameLogic, ServerTimersKeepTheWholeLine) {
    std::string longLine(200, 'S');
    ServerTimer t = ParseServerTimer("10\xA7" + longLine);
    EXPECT_EQ(t.interval, 10);
    EXPECT_EQ(t.line, longLine);
    EXPECT_EQ(ParseServerTimer("").interval, 0);
}

TEST(FrameLogic, MenuAnswersAndEntryNames) {
    EXPECT_EQ(DialogOfMenuAnswer("1\xA7x\xA7y\xA7PATIENT\xA7"), "PATIENT");
    EXPECT_EQ(DialogOfMenuAnswer("1\xA7x\xA7y\xA7^ROUTINE"), "") << "a routine opens nothing";
    EXPECT_EQ(DialogOfMenuAnswer(""), "");
    struct {
        const char* name;
        EntryFallback kind;
    } cases[] = {{"", EntryFallback::None},
                 {"DEBUG:", EntryFallback::Debugger},
                 {"debug:x", EntryFallback::Debugger},
                 {"Telnet:", EntryFallback::Telnet},
                 {"ssh:", EntryFallback::Ssh},
                 {"www.example.de", EntryFallback::WebAddress},
                 {"C:\\Doku", EntryFallback::WebAddress},
                 {"QHELP", EntryFallback::Help},
                 {"PATX", EntryFallback::Unknown}};
    for (const auto& c : cases)
        EXPECT_EQ(static_cast<int>(ClassifyEntryName(c.name)), static_cast<int>(c.kind)) << c.name;
}

TEST(FrameLogic, WindowMenuTexts) {
    EXPECT_EQ(WindowMenuItemText(0, "Patient"), "&1 Patient");
    EXPECT_EQ(WindowMenuItemText(8, "Neun"), "&9 Neun");
    EXPECT_EQ(WindowMenuItemText(9, "Zehn"), "1&0 Zehn");
    EXPECT_EQ(WindowMenuItemText(0, std::string(300, 'x')).size(), 3u + 160u);
}

TEST(FrameLogic, DefaultRectangleFollowsTheActiveChildAndStaysInside) {
    Box r = MdiDefaultRect(nullptr, 900, 600);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 600);
    EXPECT_EQ(r.bottom, 400);
    Box active{100, 50, 400, 300};
    r = MdiDefaultRect(&active, 900, 600);
    EXPECT_EQ(r.left, 118);
    EXPECT_EQ(r.top, 68);
    EXPECT_EQ(r.right, 718);
    EXPECT_EQ(r.bottom, 468);
    Box far{500, 400, 800, 500};
    r = MdiDefaultRect(&far, 900, 600);
    EXPECT_EQ(r.right, 900) << "cut at the client's width";
    EXPECT_EQ(r.bottom, 600);
}

TEST(FrameLogic, FunctionKeyTexts) {
    EXPECT_EQ(ToolTipSource("  Speichern [F5];mehr"), "Speichern");
    EXPECT_EQ(ToolTipSource("*W $$TIP^X"), "*W $$TIP^X");
    EXPECT_EQ(ToolTipShown("Zeile 1\nZeile 2\nZeile 3"), "Zeile 2\nZeile 3");
    EXPECT_EQ(ToolTipShown(std::string(100, 'a')).size(), 79u);
    EXPECT_EQ(FunctionKeyEntry("Suchen\xA7"
                               "F5"),
              "Suchen");
    EXPECT_EQ(FunctionKeyEntry(std::string(90, 'b')).size(), 71u);
}

TEST(FrameLogic, FramesTraceTheirOwnMessagesOnly) {
    EXPECT_STREQ(WindowMessageName(0x0420), "WM_STARTMEMO");
    // Creation, focus and commands belong to the frames' handlers, which trace their own.
    for (unsigned msg : {0x0001u, 0x0007u, 0x0111u, 0x7FFFu})
        EXPECT_EQ(WindowMessageName(msg), nullptr) << msg;
}
