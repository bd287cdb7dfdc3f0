#include "services/OutsideLines.h"
#include "tests/common/MLiteral.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vorlan;
using Lines = std::vector<std::string>;

namespace {

// The value the server stores from a SET line "S <ref>=<expression>".
std::string Stored(const std::string& line) {
    size_t eq = line.find(")=");
    EXPECT_NE(eq, std::string::npos) << line;
    auto value = test::EvalMLiteral(line.substr(eq + 2));
    EXPECT_TRUE(value.has_value()) << line;
    return value.value_or("");
}

} // namespace

TEST(SymbolLines, SplitAsTheComponentEndsItsLines) {
    struct Case {
        std::string result;
        Lines lines;
    } cases[] = {
        {"", {}},
        {"X", {}},
        {"AB", {"AB"}},
        {"AB\r\nCD\r\nEF\r\n", {"AB", "CD", "EF"}},
        {"AB\rCD\rEF", {"AB", "CD", "EF"}},
        // A CR-only line that starts with a line feed of its own keeps no more than that.
        {"AB\r\n\nCD", {"AB", "\nCD"}},
        {"AB\r\n\r\nCD", {"AB"}},
        {"\r\nAB", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SymbolLines(c.result), c.lines) << c.result;
}

TEST(SymbolLines, LinesGoBelowTheTargetQuoted) {
    EXPECT_EQ(SymbolLineSet("^ZSYM(\"Q\",", 2, "a\"b"), "S ^ZSYM(\"Q\",2)=\"a\"\"b\"");
    SymbolRequest r = ParseSymbolRequest(std::string(70, 'x') + "\xA7^ZSYM(1,");
    EXPECT_EQ(r.text.size(), 70u) << "no piece limit";
    EXPECT_EQ(r.target, "^ZSYM(1,");
}

TEST(DrgLines, RequestFieldsAndResults) {
    DrgRequest r = ParseDrgRequest("1\xA7"
                                   "CB^ZDRG\xA7"
                                   "42\xA7"
                                   "id\xA7"
                                   "3");
    EXPECT_TRUE(r.variant);
    EXPECT_EQ(r.callback, "CB^ZDRG");
    EXPECT_EQ(r.value, "42");
    EXPECT_EQ(r.idText, "id");
    EXPECT_EQ(r.grouper, 3);
    EXPECT_FALSE(ParseDrgRequest("2").variant);
    EXPECT_EQ(DrgFieldLine("ICD"), "W $G(^QTEMP(%JOB,\"%DRG\",1,\"ICD\"))");
    EXPECT_EQ(DrgFieldPartLine("OPS", 2), "W $G(^QTEMP(%JOB,\"%DRG\",1,\"OPS\",2))");
    std::string set = DrgResultSet("DRGTEXT", "Herz \"akut\"\r");
    EXPECT_EQ(set.find("S ^QTEMP(%JOB,\"%DRG\",1,\"DRGTEXT\")="), 0u) << set;
    EXPECT_EQ(Stored(set), "Herz \"akut\"\r");
}

TEST(DrgLines, ListItemsEndAtTheFirstEmptyOneAndAreCut) {
    EXPECT_EQ(SplitDrgItems("I21.0;E11.9;"), (Lines{"I21.0", "E11.9"}));
    EXPECT_EQ(SplitDrgItems("A;;B"), (Lines{"A"}));
    EXPECT_EQ(SplitDrgItems(""), Lines{});
    Lines cut = SplitDrgItems(std::string(300, 'x') + ";y");
    ASSERT_EQ(cut.size(), 2u);
    EXPECT_EQ(cut[0].size(), 255u);
}

TEST(DrgLines, NumbersHaveSixDecimalsAndAPoint) {
    EXPECT_EQ(FormatDrgNumber(1.5), "1.500000");
    EXPECT_EQ(FormatDrgNumber(-2), "-2.000000");
    EXPECT_EQ(LeadingInteger("12abc"), 12);
    EXPECT_EQ(LeadingInteger("x"), 0);
    EXPECT_DOUBLE_EQ(LeadingReal("3.25 Tage"), 3.25);
}

TEST(KodipLines, ResultsAndInputsOfDiagnosesAndProcedures) {
    KodipRequest r = ParseKodipRequest("5\xA7"
                                       "CB^ZK\xA7"
                                       "Fall 7");
    EXPECT_EQ(r.mode, 5);
    EXPECT_EQ(r.callback, "CB^ZK");
    EXPECT_EQ(r.caseText, "Fall 7");
    EXPECT_EQ(ParseKodipRequest("").mode, 0);
    EXPECT_EQ(KodipNextLine(false, 0), "W $O(^QTEMP(%JOB,\"KODIP\",0))");
    EXPECT_EQ(KodipNextLine(true, 2), "W $O(^QTEMP(%JOB,\"KODIP\",\"OP\",2))");
    EXPECT_EQ(KodipFieldLine(true, 1, "OPS"), "W $G(^QTEMP(%JOB,\"KODIP\",\"OP\",1,\"OPS\"))");
    std::string set = KodipResultSet(false, 3, "ICD", "A0\"1");
    EXPECT_EQ(set.find("S ^QTEMP(%JOB,\"KODIP\",3,\"ICD\")="), 0u) << set;
    EXPECT_EQ(Stored(set), "A0\"1");
}

TEST(KodipLines, ContextDocumentEscapesItsValues) {
    std::string doc = FacadeContext("2025", false, "Fraktur & <Luxation> \"re\"");
    EXPECT_NE(doc.find("CodingCatVer=\"2025\" Mode =\"KD\" CodingText =\"Fraktur &amp; &lt;Luxation&gt; "
                       "&quot;re&quot;\" CodingCanceled =\"False\""),
              std::string::npos)
        << doc;
    EXPECT_EQ(doc.find("<?xml version=\"1.0\" encoding=\"utf-16\"?><PrCtxContainer xmlns=\"http://"), 0u);
    EXPECT_NE(doc.find("/de/his/BusinessObjects/KodipDataModel\""), std::string::npos);
    EXPECT_NE(FacadeContext("", true, "").find("Mode =\"KP\""), std::string::npos);
}

TEST(KodipLines, TheFirstCodeAttributeCounts) {
    struct Case {
        const char* answer;
        bool found;
        const char* code;
    } cases[] = {
        {"<R Code=\"S42.3\" /><R Code=\"T01\" />", true, "S42.3"},
        {"<R ErrorCode=\"7\" Code=\"S42.3\" />", true, "S42.3"},
        {"<R ErrorCode=\"7\" />", false, ""},
        {"Code=\"A\"", true, "A"},
        {"<R Code=\"offen", false, ""},
        {"", false, ""},
    };
    for (const Case& c : cases) {
        std::string code;
        EXPECT_EQ(FindCode(c.answer, code), c.found) << c.answer;
        if (c.found) {
            EXPECT_EQ(code, c.code) << c.answer;
        }
    }
    Lines store = FacadeStoreLines("S\"1");
    ASSERT_EQ(store.size(), 2u);
    EXPECT_EQ(store[0], "S @%GBL@(%ZZ,%PP)=\"S\"\"1\"");
    EXPECT_EQ(store[1], "S @%GBL@(%ZZ,%PP,\"ICD\")=\"S\"\"1\"");
}

TEST(QsLines, FieldsCountedByTheClientAndResultsQuoted) {
    EXPECT_EQ(QsMedFieldNameLine(2), "S FIELD=2 W $G(^QTEMP(%JOB,\"QSMED\",\"FELD\",FIELD,\"FELDNAME\"))");
    std::string set = QsResultSet("A\"1", 2, "BEZ", "x\ty");
    EXPECT_EQ(set.find("S ^TEMPQSF(%JOB,\"QS-FILTER\",\"A\"\"1\",2,\"BEZ\")="), 0u) << set;
    EXPECT_EQ(Stored(set), "x\ty");
}

TEST(DeviceLines, RequestReadLengthAndCountdown) {
    DeviceRequest r = ParseDeviceRequest("COM7\xA7"
                                         "9600\xA7"
                                         "0\xA7"
                                         "8\xA7"
                                         "0\xA7"
                                         "3\xA7"
                                         "1");
    EXPECT_EQ(r.line.name, "COM7");
    EXPECT_EQ(r.line.baud, 9600);
    EXPECT_EQ(r.line.stopBits, 0);
    EXPECT_EQ(r.line.byteSize, 8);
    EXPECT_EQ(r.line.parity, 0);
    EXPECT_EQ(r.countdown, 3);
    EXPECT_EQ(r.blocks, 1);
    EXPECT_EQ(DeviceReadLength(2), 260u);
    EXPECT_EQ(DeviceReadLength(8), 1040u);
    EXPECT_EQ(DeviceReadLength(11), 1430u);
    EXPECT_EQ(DeviceReadLength(12), 1501u);
    EXPECT_EQ(DeviceReadLength(20), 1501u);
    EXPECT_EQ(DeviceReadLength(-1), 0u);
    std::vector<int> beeps;
    for (int i = 0; i < 5; ++i)
        if (CountdownBeeps(i, 5)) beeps.push_back(i);
    EXPECT_EQ(beeps, (std::vector<int>{2, 3, 4})) << "after the third, fourth and fifth second";
    for (int i = 0; i < 2; ++i)
        EXPECT_TRUE(CountdownBeeps(i, 2));
}

TEST(DeviceLines, AnswerSplitsAtIndex1001WithoutLineEnds) {
    DeviceAnswer short_ = SplitDeviceAnswer("12.5\r\n");
    EXPECT_EQ(short_.a, "12.5");
    EXPECT_EQ(short_.b, "");
    std::string bytes(1040, 'a');
    bytes[1001] = 'b';
    bytes[5] = '\0';
    DeviceAnswer split = SplitDeviceAnswer(bytes);
    EXPECT_EQ(split.a.size(), 1001u) << "a NUL byte does not cut the answer";
    EXPECT_EQ(split.b.size(), 39u);
    EXPECT_EQ(split.b[0], 'b');
    std::string set = DeviceAnswerSet("A", std::string("1\"2\0", 4));
    EXPECT_EQ(set.find("S ^TEMPPORT(%JOB,\"PORT\",\"A\")="), 0u) << set;
    EXPECT_EQ(Stored(set), std::string("1\"2\0", 4));
}

TEST(SoundFlags, OnlyTheExactModeTextsPlay) {
    EXPECT_EQ(SoundFlags("SND_FILENAME"), kSoundFileName);
    EXPECT_EQ(SoundFlags("SND_ASYNC"), kSoundAsync);
    EXPECT_EQ(SoundFlags("snd_async"), 0u);
    EXPECT_EQ(SoundFlags(""), 0u);
}
