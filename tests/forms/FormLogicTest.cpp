#include "forms/FormLogic.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vorlan;

namespace {

const std::string kSection = "\xA7";

} // namespace

TEST(FormLogic, EscapingOutAndInAreNotEachOthersReverse) {
    // Out: "<" 254, ">" 253; in: 253 "<", 254 ">"; the quote and TAB the same both ways.
    EXPECT_EQ(EscapeForServer("a\"<b>\tc"), "a\xFF\xFE"
                                            "b\xFD\xFA"
                                            "c");
    EXPECT_EQ(UnescapeFromServer("a\xFF\xFD"
                                 "b\xFE\xFA"
                                 "c"),
              "a\"<b>\tc");
    EXPECT_EQ(QuotesAs255("say \"<hi>\""), "say \xFF<hi>\xFF");
    EXPECT_EQ(UnescapeFromServer("Gr\xFC\xDF"
                                 "e \xA7"),
              "Gr\xFC\xDF"
              "e \xA7")
        << "other high bytes stay";
}

TEST(FormLogic, OpeningStringNamesFormDescriptionOrTitle) {
    OpeningNames plain = SplitOpening("ADR" + kSection + "ADRDESC", 0);
    EXPECT_EQ(plain.formName, "ADR");
    EXPECT_EQ(plain.description, "ADRDESC");
    EXPECT_EQ(SplitOpening("ADR", 1).description, "ADR") << "an empty description is the form name";
    OpeningNames own = SplitOpening("SUB" + kSection + "Ein Titel", 0xC000);
    EXPECT_EQ(own.title, "Ein Titel");
    EXPECT_EQ(own.description, "SUB");
}

TEST(FormLogic, TitleAfterAStep) {
    struct {
        unsigned formId;
        const char* answer;
        const char* title;
    } cases[] = {
        {0, "Akte 4711", "Akte 4711"},       {0, "", ""}, // a frame's own form: %TITLE as it is
        {1, "Akte 4711", "Basis Akte 4711"}, {1, "", "Basis"},
        {0x8001, "Akte 4711", "Akte 4711"},  {0x8001, "", "Basis"},
        {0xC000, "Akte 4711", "Akte 4711"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormTitle(c.formId, "Basis", c.answer), c.title) << c.formId << " " << c.answer;
    // A title holds at most 259 characters, also with the base title before the answer.
    const std::string tall(300, 'x');
    EXPECT_EQ(FormTitle(0, "Basis", tall), std::string(259, 'x'));
    EXPECT_EQ(FormTitle(1, "Basis", tall), "Basis " + std::string(253, 'x'));
}

TEST(FormLogic, KillLinesOfTheCreation) {
    EXPECT_EQ(CreationKillLine(true, "", ""), "X %KILL");
    EXPECT_EQ(CreationKillLine(false, "", ""), "K @%NEW");
    EXPECT_EQ(CreationKillLine(true, "*", "K (%A)"), "") << "a star keeps everything";
    EXPECT_FALSE(KillNeedsKillText("*ABC"));
    EXPECT_TRUE(KillNeedsKillText("A,B"));
    EXPECT_EQ(CreationKillLine(true, "ADRNR,X", "K (%DN,%KILL)"), "K (%DN,%KILL,ADRNR,X)");
    EXPECT_EQ(KillKeeping("K (%DN)", "%VL,%SC"), "K (%DN,%VL,%SC)");
    EXPECT_EQ(KillKeeping("", "X"), "") << "no kill command, nothing to extend";
    EXPECT_EQ(KillKeeping("K (%DN", "X"), "") << "without its \")\" it would kill what is kept";
    EXPECT_EQ(CreationKillLine(false, "ADRNR", "K"), "");
}

TEST(FormLogic, ValuesInLinesAreQuoted) {
    EXPECT_EQ(DialogNamesLine("\"\"", "Adr\"essen", "ADR"), "S DN=\"\",MEMO=\"Adr\"\"essen\",%DN=\"ADR\"");
    EXPECT_EQ(DialogNamesLine("", "", "A"), "S DN=\"\",MEMO=\"\",%DN=\"A\"");
    EXPECT_EQ(InitScreenLine("A\"B", "F"), "S %DN=\"A\"\"B\" D INIT^WQMD S %DN=\"F\"");
    EXPECT_EQ(ScreenNodeLine("A\"B", "F\"1"), "W $G(^QM(\"A\"\"B\",0,\"F\"\"1\"))");
    EXPECT_EQ(FieldSaveLine(1, 0, 3, "a\tb"),
              "S:1 %KFOCUS=\"\" S %FORWARD=0 W $$PR^QCC(\"3\",\"a\"_$C(9)_\"b\") K %KFOCUS");
    EXPECT_EQ(FieldSaveAgainLine(7, ""), "S %DDN=%DL W $$PR^QCC(\"7\",\"\") K %DDN,%SCRB(\"UPDATE\")");
    EXPECT_EQ(CardResultLine(2, "M\"ller\r"), "S %WIN(\"READCARD\",2)=\"M\"\"ller\"_$C(13)");
    EXPECT_EQ(ProgramExitLine("", "DONE^X"), "S %WIN(\"PRGEXEC\",\"EXIT\")=\"\" D DONE^X")
        << "a program that did not start has an empty exit code, not a missing one";
    EXPECT_EQ(ProgramExitLine("3", "DONE^X"), "S %WIN(\"PRGEXEC\",\"EXIT\")=3 D DONE^X");
    EXPECT_EQ(SaveWindowSizeLine("ADR", 800, 600, true),
              "S:$G(%WIN(\"WORKSTATION\"))=\"\" %WIN(\"WORKSTATION\")=\"ALL\" "
              "S $P(^Z(\"WINPOS\",%WIN(\"WORKSTATION\"),%USER,\"ADR\"),%DL,3,5)=800_%DL_600_%DL_1");
}

TEST(FormLogic, TitleNodeKeyIsBareOnlyWhenANumberNamesIt) {
    // A numeric key names the numeric node: quoted it would look for a string node.
    EXPECT_EQ(FetTitleLine("Q", "12", false), "W $G(^QSYS(\"FET\",\"Q\",12,%LAN))");
    EXPECT_EQ(FetTitleLine("Q", "-3.5", true), "W $G(^QSYS(\"FET\",\"Q\",-3.5,\"D\"))");
    EXPECT_EQ(FetTitleLine("Q", "012", false), "W $G(^QSYS(\"FET\",\"Q\",\"012\",%LAN))");
    EXPECT_EQ(FetTitleLine("Q", "A\"1", false), "W $G(^QSYS(\"FET\",\"Q\",\"A\"\"1\",%LAN))");
    EXPECT_EQ(FetTitleLine("Q", "1 K ^X", false), "W $G(^QSYS(\"FET\",\"Q\",\"1 K ^X\",%LAN))");
}

TEST(FormLogic, FieldRecordAndGeometry) {
    FieldRecord f = ParseFieldRecord("10" + kSection + "7" + kSection + "10" + kSection + "Name" + kSection +
                                     "M\xFC"
                                     "ller" +
                                     kSection + "1" + kSection + "3" + kSection + "0" + kSection + "Tipp" +
                                     kSection + "2/14/1" + kSection + "40" + kSection + "");
    EXPECT_EQ(f.kind, FieldKind::Edit);
    EXPECT_EQ(f.height, 3);
    EXPECT_EQ(f.maxChars, 40);
    EXPECT_EQ(f.buttonHeight, 1) << "0 counts as one line";
    Rect r = FieldRect(f, 7, 20);
    EXPECT_EQ(r.left, 70);
    EXPECT_EQ(r.right - r.left, 77) << "ten cells are eleven wide";
    EXPECT_EQ(r.top, 2 * 20 + 8);
    EXPECT_EQ(r.bottom, r.top + 19);

    struct {
        int width, pixels;
    } widths[] = {{0, 0}, {1, 21}, {2, 21}, {10, 77}};
    for (const auto& w : widths) {
        FieldRecord g;
        g.width = w.width;
        Rect gr = FieldRect(g, 7, 20);
        EXPECT_EQ(gr.right - gr.left, w.pixels) << w.width;
    }
    FieldRecord high;
    high.row = 2;
    EXPECT_EQ(FieldRect(high, 7, 20).top, 8) << "rows above the first usable one land on it";

    EXPECT_EQ(ParseFieldRecord("").kind, FieldKind::LabelOnly);
    EXPECT_EQ(
        ParseFieldRecord("1" + kSection + "5" + kSection + "3" + kSection + kSection + kSection + "99").kind,
        FieldKind::LabelOnly);
    FieldRecord huge = ParseFieldRecord("99999999999" + kSection + "-4" + kSection + "x");
    EXPECT_LE(huge.column, 2000) << "absurd numbers stay in bounds";
    EXPECT_EQ(huge.width, 0);
    FieldRecord below = ParseFieldRecord("1" + kSection + "-2147483647" + kSection + "3");
    EXPECT_EQ(below.row, 0);
    EXPECT_EQ(FieldRect(below, 7, 20).top, 8) << "a row far above the first lands on it";
}

TEST(FormLogic, KindsTable) {
    for (int k : {0, 3, 4, 9, 14, 15})
        EXPECT_TRUE(IsOwnLabelKind(KindOf(k))) << k;
    for (int k : {1, 2, 5, 6, 7, 8, 10, 11, 12, 13})
        EXPECT_FALSE(IsOwnLabelKind(KindOf(k))) << k;
    EXPECT_EQ(BrowseButtonId(FieldKind::EditOpen, 3), 0x4003u);
    EXPECT_EQ(BrowseButtonId(FieldKind::EditSave, 3), 0x4103u);
    EXPECT_EQ(BrowseButtonId(FieldKind::EditFolder, 3), 0x4203u);
    EXPECT_EQ(BrowseButtonId(FieldKind::Edit, 3), 0u);
}

TEST(FormLogic, FormRecordClampsTheFieldCount) {
    FormRecord r =
        ParseFormRecord("300" + kSection + "2" + kSection + "5" + kSection + "9" + kSection + "J" + kSection +
                        kSection + kSection + "-1" + kSection + "1" + kSection + "bild.bmp");
    EXPECT_EQ(r.fields, 255) << "field numbers live in one byte of the control id";
    EXPECT_TRUE(r.freeOrder);
    EXPECT_EQ(r.gridResize, -1);
    EXPECT_TRUE(r.noClientEdge);
    EXPECT_EQ(r.background, "bild.bmp");
    EXPECT_EQ(ParseFormRecord("abc").fields, 0);
}

TEST(FormLogic, FormRecordBoundsTheGridsPlaceLikeAFieldsPlace) {
    struct {
        const char *first, *last, *column, *width;
        int wantFirst, wantLast, wantColumn, wantWidth;
    } cases[] = {
        {"3", "12", "4", "60", 3, 12, 4, 60},
        {"-7", "5", "-1", "-9", 0, 5, 0, 0},
        {"2", "99999999999", "99999", "3000000", 2, 2000, 2000, 2000},
        {"2001", "2147483647", "", "", 2000, 2000, 0, 0},
    };
    for (const auto& c : cases) {
        FormRecord r = ParseFormRecord("1" + kSection + "0" + kSection + c.first + kSection + c.last +
                                       kSection + kSection + c.column + kSection + c.width);
        EXPECT_EQ(r.gridFirst, c.wantFirst) << c.first;
        EXPECT_EQ(r.gridLast, c.wantLast) << c.last;
        EXPECT_EQ(r.gridColumn, c.wantColumn) << c.column;
        EXPECT_EQ(r.gridWidth, c.wantWidth) << c.width;
    }
}

TEST(FormLogic, KeysAndTheirCommands) {
    std::string answer;
    for (int i = 0; i < 72; ++i)
        answer += "K" + std::to_string(i) + "\xFF";
    std::vector<std::string> keys = SplitKeys(answer);
    ASSERT_EQ(keys.size(), 72u);
    EXPECT_EQ(keys[71], "K71");
    EXPECT_EQ(SplitKeys("").size(), 72u);

    // The ends of the three runs: F5-F12, X1-X32, M1-M32.
    struct {
        unsigned id;
        int index;
        const char* key;
    } ends[] = {{0x8020, 0, "F5"},   {0x8024, 4, "F9"},  {0x8027, 7, "F12"}, {0x80D5, 8, "X1"},
                {0x80F4, 39, "X32"}, {0x07D1, 40, "M1"}, {0x07F0, 71, "M32"}};
    for (const auto& e : ends) {
        EXPECT_EQ(KeyIndexOfCommand(e.id), e.index) << e.key;
        EXPECT_EQ(CommandOfKeyIndex(e.index), e.id) << e.key;
        EXPECT_EQ(FunctionKeyLine(e.id), std::string("S (%FKEY,%SC)=\"") + e.key + "\"");
    }
    for (unsigned outside : {0x801Fu, 0x8028u, 0x80D4u, 0x80F5u, 0x07D0u, 0x07F1u, 0x800Cu}) {
        EXPECT_EQ(KeyIndexOfCommand(outside), -1) << outside;
        EXPECT_EQ(FunctionKeyLine(outside), "") << outside;
    }
    for (int i = 0; i < kKeyCount; ++i)
        EXPECT_EQ(KeyIndexOfCommand(CommandOfKeyIndex(i)), i);
    EXPECT_EQ(CommandOfKeyIndex(-1), 0u);
    EXPECT_EQ(CommandOfKeyIndex(kKeyCount), 0u);

    EXPECT_EQ(HyperlinkCommand("f5"), 0x8020u);
    EXPECT_EQ(HyperlinkCommand("m1"), 0x07D1u);
    EXPECT_EQ(HyperlinkCommand("x12"), 0x80E0u);
    EXPECT_EQ(HyperlinkCommand("q3"), 0u);
    EXPECT_EQ(HyperlinkCommand(nullptr), 0u);
    EXPECT_EQ(HyperlinkCommand("f99999999999999999999"), 0u) << "no overflow into another command";
}

TEST(FormLogic, SaveAnswerPieces) {
    std::string big(60000, 'x');
    SaveAnswer a = ParseSaveAnswer(big + kSection + "1" + kSection + "Falsch" + kSection + "5" + kSection +
                                   "" + kSection + "2" + kSection + "ORTE" + kSection + "J" + kSection +
                                   "ADRDET" + kSection + "Info");
    EXPECT_EQ(a.value.size(), 60000u) << "the field's value is never cut";
    EXPECT_TRUE(a.refused);
    EXPECT_EQ(a.nextForward, 5);
    EXPECT_EQ(a.nextBackward, 2);
    EXPECT_EQ(a.popup, "ORTE");
    EXPECT_TRUE(a.refresh);
    EXPECT_EQ(a.subDialog, "ADRDET");
    EXPECT_EQ(a.info, "Info");
    SaveAnswer empty = ParseSaveAnswer("");
    EXPECT_FALSE(empty.refused);
    EXPECT_EQ(empty.nextForward, 0);

    EXPECT_EQ(CommandOfClosingKey("F0"), 0x800Eu);
    EXPECT_EQ(CommandOfClosingKey("F1"), 0x800Fu);
    EXPECT_EQ(CommandOfClosingKey("F2"), 0x800Du);
    EXPECT_EQ(CommandOfClosingKey("F3"), 0x800Cu);
    EXPECT_EQ(CommandOfClosingKey("F9"), 0u);
    EXPECT_EQ(CommandOfClosingKey(""), 0u);
}

TEST(FormLogic, MessagesKeepTheirSectionSigns) {
    StepMessages m =
        ParseMessages("5" + kSection + "1" + kSection + "A" + kSection + "BCD" + "E" + kSection + "F");
    EXPECT_EQ(m.info, "A" + kSection + "BCD");
    EXPECT_TRUE(m.hasError);
    EXPECT_EQ(m.error, "E" + kSection + "F");
    StepMessages none = ParseMessages("0" + kSection + "0" + kSection);
    EXPECT_FALSE(none.hasError);
    EXPECT_EQ(none.info, "");
    EXPECT_FALSE(ParseMessages("garbage").hasError);
    StepMessages lying = ParseMessages("99" + kSection + "10" + kSection + "kurz");
    EXPECT_EQ(lying.info, "kurz") << "a length beyond the text takes what is there";
}

TEST(FormLogic, TextBoxLines) {
    struct {
        const char* text;
        std::vector<std::string> lines;
    } cases[] = {
        {"", {""}},
        {"eins", {"eins"}},
        {"a\r\nb\r\nc", {"a", "b", "c "}},
        {"a\n\rb", {"a", "b"}},
        {"a\r\n\r\nb", {"a", "", "b "}},
        {"a\r\rb", {"a", "", "b "}},
        {"a\n\nb", {"a", "", "b "}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"x\"<>\ty", {"x\xFF\xFE\xFD\xFAy"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TextBoxLines(c.text), c.lines) << c.text;
    std::vector<std::string> cut = TextBoxLines(std::string(32001, 'a'));
    ASSERT_EQ(cut.size(), 2u);
    EXPECT_EQ(cut[0].size(), 32000u);
    EXPECT_EQ(cut[1], "a");
    EXPECT_EQ(
        TextBoxStoreLine("NOTIZ", 2, "x\xFFy"),
        "S "
        "NOTIZ(2)=$TR($TR($TR($TR(\"x\xFFy\",$C(255),$C(34)),$C(254),$C(60)),$C(253),$C(62)),$C(250),$C(9))");
}

TEST(FormLogic, CaretLineAndColumn) {
    int line = 0, column = 0;
    CaretOf("ab\r\ncd", 5, line, column);
    EXPECT_EQ(line, 2);
    EXPECT_EQ(column, 2);
    CaretOf("ab", 0, line, column);
    EXPECT_EQ(line, 1);
    EXPECT_EQ(column, 1);
    CaretOf("ab", 99, line, column);
    EXPECT_EQ(column, 3) << "a position beyond the text is its end";
    EXPECT_EQ(CaretLine(2, 3), "S %tz=2,%tp=3");

    // Back from line and column: every place the caret can stand (not between CR and LF).
    const std::string text = "ab\r\n\r\ncde";
    for (size_t at : {0u, 1u, 2u, 4u, 6u, 8u, 9u}) {
        CaretOf(text, at, line, column);
        EXPECT_EQ(PositionOf(text, line, column), at) << at;
    }
    EXPECT_EQ(PositionOf(text, 1, 9), 2u) << "a column beyond its line stops at the line's end";
    EXPECT_EQ(PositionOf(text, 9, 1), text.size()) << "a line beyond the text is its end";
    EXPECT_EQ(PositionOf(text, 0, 0), 0u) << "no line or column is the first";

    // The rich-text field counts a paragraph's end as one CR: a caret after the first
    // character of the second line is line 2, column 2, in either model.
    struct Case {
        const char* text;
        size_t at;
        int line, column;
    };
    for (const Case& c : {Case{"ab\rcd", 4, 2, 2}, Case{"ab\r\rcde", 5, 3, 2}, Case{"ab\ncd", 4, 2, 2},
                          Case{"ab\r\ncd", 5, 2, 2}, Case{"\r\r", 2, 3, 1}}) {
        CaretOf(c.text, c.at, line, column);
        EXPECT_EQ(line, c.line) << c.text;
        EXPECT_EQ(column, c.column) << c.text;
        EXPECT_EQ(PositionOf(c.text, c.line, c.column), c.at) << c.text;
    }
    EXPECT_EQ(PositionOf("ab\rcd\ref", 2, 9), 5u) << "the end of the second paragraph";
}

TEST(FormLogic, ExtrasAndColours) {
    FieldExtras e = ParseFieldExtras("2/14/1");
    EXPECT_EQ(ExtraColour(e.textColour), 0x0000FFu) << "red";
    EXPECT_EQ(ExtraColour(e.background), 0xD0D0D0u);
    EXPECT_TRUE(e.readOnly);
    FieldExtras none = ParseFieldExtras("0/0/0");
    EXPECT_EQ(none.textColour, 0);
    EXPECT_FALSE(none.readOnly);
    EXPECT_EQ(ExtraColour(20), 0u) << "20 and above are black";
    EXPECT_EQ(ExtraColour(12), 0xFF0000u) << "blue";

    // A malformed extra changes only what can be read from it.
    struct {
        const char* text;
        int colour, back;
        bool readOnly;
    } odd[] = {
        {"", 0, 0, false},      {"2", 2, 0, false},        {"-3/0/0", -3, 0, false},
        {"x/y/z", 0, 0, false}, {"2/14/1/9", 2, 14, true}, {"99999999999999999999/5", 0x7FFFFFFF, 5, false},
        {"//1", 0, 0, true},
    };
    for (const auto& c : odd) {
        FieldExtras x = ParseFieldExtras(c.text);
        EXPECT_EQ(x.textColour, c.colour) << c.text;
        EXPECT_EQ(x.background, c.back) << c.text;
        EXPECT_EQ(x.readOnly, c.readOnly) << c.text;
    }
    EXPECT_EQ(ExtraColour(0x7FFFFFFF), 0u);
}

TEST(FormLogic, EventRecordFlags) {
    struct {
        bool timer, timerValue, event;
        int create, run;
    } cases[] = {{true, true, false, 0, 1}, {true, true, true, 1, 1}, {false, false, false, 1, 0}};
    for (const auto& c : cases) {
        EventEntry e;
        e.name = "N";
        e.value = "V";
        e.hasTimer = c.timer;
        e.timerHasValue = c.timerValue;
        e.hasEvent = c.event;
        EventRecord r = MakeEventRecord(e);
        EXPECT_EQ(r.create, c.create);
        EXPECT_EQ(r.run, c.run);
        EXPECT_EQ(r.list, "N" + kSection + "V");
    }
}

TEST(FormLogic, SubDialogCalls) {
    SubDialogCall a = ParseSubDialog("ABC");
    EXPECT_EQ(a.dialog, "ABC");
    EXPECT_EQ(a.ns, "");
    SubDialogCall b = ParseSubDialog("ABC[X]");
    EXPECT_EQ(b.ns, "X");
    EXPECT_EQ(b.code, "");
    SubDialogCall c = ParseSubDialog("ABC[]D ^Y");
    EXPECT_EQ(c.ns, "");
    EXPECT_EQ(c.code, "D ^Y");
    // The namespace and the form's name reach their lines as M strings.
    EXPECT_EQ(SwitchNamespaceLine("X\") K ^A"), "S %UCI=\"X\"\") K ^A\" D SW^QUCI");
    EXPECT_EQ(SubDialogTakeOverLine("F\"1"), "D VARSAVE^QCC(\"TEMP\"),VARLOAD^QCC(\"F\"\"1\")");
}

TEST(FormLogic, TextBoxNamesAreNamesNotCode) {
    for (const char* good : {"NOTIZ", "%TXT", "A1"})
        EXPECT_TRUE(IsMName(good)) << good;
    for (const char* bad : {"", "1A", "X(1)", "A B", "A) K ^X"})
        EXPECT_FALSE(IsMName(bad)) << bad;
}

TEST(FormLogic, ServerNumbersAreClampedNotWrapped) {
    EXPECT_EQ(NumberOf("12abc"), 12);
    EXPECT_EQ(NumberOf("abc"), 0);
    EXPECT_EQ(NumberOf(""), 0);
    EXPECT_EQ(NumberOf("99999999999"), 0x7FFFFFFF);
    EXPECT_EQ(NumberOf("-99999999999"), -0x7FFFFFFF);
    EXPECT_EQ(NumberOf("4294967297"), 0x7FFFFFFF) << "not 1";
}
