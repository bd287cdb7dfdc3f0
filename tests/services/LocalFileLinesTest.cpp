// The local file service's rules: escapes, 16-bit units, parameters, names and lines.
#include "services/LocalFileLines.h"
#include "tests/common/MLiteral.h"

#include <gtest/gtest.h>

#include <string>

using namespace vorlan;
using vorlan::test::EvalMLiteral;

TEST(LocalFileLines, EscapesGiveTheirBytesAcrossNodes) {
    DataNodeDecoder d;
    EXPECT_EQ(d.Decode("A\x01\x02"
                       "B"),
              std::string("A\0B", 3));
    EXPECT_EQ(d.Decode("\x01\x01\x01\x03x\x01\x09y"), "\x01<xy") << "unknown escape codes are dropped";
    EXPECT_EQ(d.Decode("ab\x01"), "ab") << "the escape waits for the next node";
    EXPECT_EQ(d.Decode("\x02"
                       "c"),
              std::string("\0c", 2));
    EXPECT_EQ(d.Decode("\x03"), "\x03") << "plain again after the pair";
}

TEST(LocalFileLines, SixteenBitUnitsAndTheOddByteCarry) {
    EXPECT_EQ(WideUnits("Ab", false), std::string("A\0b\0", 4));
    EXPECT_EQ(WideUnits("Ab", true), std::string("\0A\0b", 4));
    EXPECT_EQ(ByteOrderMark("LE"), "\xFF\xFE");
    EXPECT_EQ(ByteOrderMark("BE"), "\xFE\xFF");
    EXPECT_EQ(ByteOrderMark(""), "");
    EXPECT_EQ(ByteOrderMark("le"), "");
    FirstByteReader r;
    EXPECT_EQ(r.Take(std::string("A\0B", 3)), "A");
    EXPECT_EQ(r.Take(std::string("\0C\0", 3)), "BC") << "the odd byte of the first block pairs with the next";
    EXPECT_EQ(r.Take(""), "");
}

TEST(LocalFileLines, ThirteenPiecesAreCutAndRead) {
    std::string value = "x\xA7y\xA7z\xA7"
                        "300\xA7"
                        "8\xA7"
                        "C:\\T\\\xA7"
                        "ABC\xA7^R(1,\xA7"
                        "D:\\\xA7P\xA7"
                        "cmd \xA7 - \xA7"
                        "1";
    FileJob job = ParseFileJob(value);
    EXPECT_EQ(job.blockSize, 300);
    EXPECT_EQ(job.operation, 8);
    EXPECT_EQ(job.target, "C:\\T\\");
    EXPECT_EQ(job.option, "ABC");
    EXPECT_EQ(job.resultRef, "^R(1,");
    EXPECT_EQ(job.secondTarget, "D:\\");
    EXPECT_EQ(job.secondPrefix, "P");
    EXPECT_EQ(job.command, "cmd ");
    EXPECT_EQ(job.commandMiddle, " - ");
    EXPECT_TRUE(job.deleteSource);
    FileJob longOne = ParseFileJob("\xA7\xA7\xA7\xA7\xA7" + std::string(2000, 'a'));
    EXPECT_EQ(longOne.target.size(), 1023u);
    EXPECT_FALSE(longOne.deleteSource);
    EXPECT_EQ(ParseFileJob("").blockSize, 0);
}

// A block size the server writes beyond the integers stays beyond the limit (or below 1): it
// must never wrap round to a small one that the job would then run with.
TEST(LocalFileLines, BlockSizesBeyondTheIntegersDoNotWrap) {
    struct Case {
        const char* piece;
        bool tooLarge;
    } cases[] = {{"4294967297", true},
                 {"99999999999999999999", true},
                 {"2147483648", true},
                 {"-4294967295", false},
                 {"1048576", false}};
    for (const Case& c : cases) {
        int size = ParseFileJob(std::string("\xA7\xA7\xA7") + c.piece +
                                "\xA7"
                                "2")
                       .blockSize;
        EXPECT_EQ(size > kBlockSizeLimit, c.tooLarge) << c.piece;
        EXPECT_EQ(size <= 0, c.piece[0] == '-') << c.piece;
    }
}

TEST(LocalFileLines, JobLinesQuotePathsAndKeys) {
    EXPECT_EQ(FileNextJobLine(""), "W $O(^QTEMP(%JOB,\"%FILE\",0,\"\"))");
    EXPECT_EQ(FileJobKillLine("a\"b"), "K ^QTEMP(%JOB,\"%FILE\",0,\"a\"\"b\")");
    EXPECT_EQ(FileJobParamsLine("C:\\A \"x\".TXT"), "W $G(^QTEMP(%JOB,\"%FILE\",\"C:\\A \"\"x\"\".TXT\"))");
    EXPECT_EQ(FileDataLine("C:\\a", 12), "W $G(^QTEMP(%JOB,\"%FILE\",\"C:\\a\",12))");
    EXPECT_EQ(FileReadLines("C:\\a", 2, std::string("A\0<", 3)),
              std::vector<std::string>{"S ^QTEMP(%JOB,\"%FILE\",\"C:\\a\",2)=$C(65,0,60)"});
    EXPECT_EQ(FileDoneLine("C:\\a\"b", true, "OK^ZDAT"), "S FILE=\"C:\\a\"\"b\",OKAY=\"1\" D OK^ZDAT");
    EXPECT_EQ(FileDoneLine("C:\\a", false, ""), "S FILE=\"C:\\a\",OKAY=\"0\"");
}

TEST(LocalFileLines, ListingLinesAndTime) {
    EXPECT_EQ(ListStartLine(), "K ^TEMPDAT(%JOB,%DN) S COUNT=1");
    EXPECT_EQ(ListEntryLine("", "A\"B.TXT", "1.2.2024 3:4:5"),
              "S:$G(COUNT)=\"\" COUNT=1 S ^TEMPDAT(%JOB,%DN,\"DIR\",COUNT)=\"A\"\"B.TXT\","
              "^TEMPDAT(%JOB,%DN,\"DIR\",COUNT,\"TIME\")=\"1.2.2024 3:4:5\",COUNT=COUNT+1");
    EXPECT_EQ(ListEntryLine("^R(7,", "X", "t"),
              "S:$G(COUNT)=\"\" COUNT=1 S "
              "^R(7,\"DIR\",COUNT)=\"X\",^R(7,\"DIR\",COUNT,\"TIME\")=\"t\",COUNT=COUNT+1");
    EXPECT_EQ(FileTimeText(1, 2, 2024, 0, 5, 9), "1.2.2024 0:5:9");
    EXPECT_EQ(UpperName("m\xFCller a&b.txt"), "M\xDCLLER A&B.TXT");
    EXPECT_TRUE(NameMatches("BRIEF.TXT", "RIEF"));
    EXPECT_FALSE(NameMatches("BRIEF.TXT", "rief")) << "the filter is taken as given";
    EXPECT_TRUE(NameMatches("BRIEF.TXT", ""));
}

TEST(LocalFileLines, CollectTargetsNamesAndCommands) {
    EXPECT_EQ(SourceFolderOf("C:\\IN\\*.*"), "C:\\IN\\");
    EXPECT_EQ(SourceFolderOf("C:\\IN\\A*.TXT"), "C:\\IN\\");
    EXPECT_EQ(SourceFolderOf("*.*"), "");
    EXPECT_EQ(CollectTarget("C:\\OUT\\", "", 1, "SUB+A.TXT"), "C:\\OUT\\SUB\\A.TXT");
    EXPECT_EQ(CollectTarget("C:\\OUT\\", "", 1, "A.TXT"), "C:\\OUT\\A.TXT");
    EXPECT_EQ(CollectTarget("C:\\OUT\\", "BEL", 12, "SUB+A.PDF"), "C:\\OUT\\BEL12.PDF");
    EXPECT_EQ(CollectTarget("C:\\OUT\\", "BEL", 3, "NOEXT"), "C:\\OUT\\BEL3");
    EXPECT_EQ(CollectNameLine("", "A.TXT", "SUB"), "S ^TEMPDAT(\"NAME\",\"A.TXT\")=\"SUB\"");
    EXPECT_EQ(CollectNameLine("^R(", "A\"B", ""), "S ^R(\"A\"\"B\")=\"\"");
    EXPECT_EQ(CollectCommand("log.exe ", "", "C:\\a b&c.txt"), "log.exe \"C:\\a b&c.txt\"");
    EXPECT_EQ(CollectCommand("log.exe ", " ", "C:\\x"), "log.exe \"C:\\x\" \"C:\\x\"");
    EXPECT_EQ(
        DriveFailureText("D:\\", false),
        "Fehler: Es konnte nicht auf das Laufwerk D:\\ zugegriffen werden.\n Bitte kontaktieren Sie Ihren "
        "Netzwerk-Administrator!");
    EXPECT_EQ(DriveFailureText("E:\\", true).find("zugegriffen werden.!\n"), 45u);
}

TEST(LocalFileLines, ImportKindsLinesAndMapping) {
    EXPECT_TRUE(IsImportedKind("A.LDT"));
    EXPECT_TRUE(IsImportedKind("SUB+A.XML"));
    EXPECT_FALSE(IsImportedKind("A.PDF"));
    EXPECT_FALSE(IsImportedKind("TXT"));
    EXPECT_TRUE(IsSkippedKind("a.docx"));
    EXPECT_TRUE(IsSkippedKind("B.EXE"));
    EXPECT_FALSE(IsSkippedKind("b.txt"));
    EXPECT_EQ(MapImportLine(std::string("a\tb\x1D"
                                        "c\"d\r\n",
                                        9),
                            false),
              "a\xA7"
              "b\xA7"
              "c$d");
    EXPECT_EQ(MapImportLine(std::string("\0a\0\t\"\0\x1D", 7), true), "_a__\"_\xA7")
        << "wide: every quote stays, NUL and tab become _";
    EXPECT_EQ(ImportedTestLine("", "X.TXT"), "W $D(^TEMPDAT(\"TEXT\",\"X.TXT\"))");
    EXPECT_EQ(ImportLine("^R(", "X", std::string("a\0\"", 3)),
              "S:$G(COUNT)=\"\" COUNT=1 S ^R(\"TEXT\",\"X\",COUNT)=\"a\"_$C(0)_\"\"\"\",COUNT=COUNT+1");
    EXPECT_EQ(ArchiveNameLine("", "SUB", "A.TXT"), "S ^TEMPDAT(\"NAME\",\"SUB\",\"A.TXT\")=\"SUB\\\"");
    EXPECT_EQ(ArchiveNameLine("^R(", "", "A.TXT"), "S ^R(\"A.TXT\")=\"\"");
}

TEST(LocalFileLines, LinesSplitAtLineFeedsAndTheBufferLength) {
    EXPECT_EQ(SplitLines("a\nbb\r\nc", 1023), (std::vector<std::string>{"a\n", "bb\r\n", "c"}));
    EXPECT_EQ(SplitLines(std::string("x\0y\n", 4), 10), (std::vector<std::string>{std::string("x\0y\n", 4)}))
        << "a NUL does not end the line";
    EXPECT_EQ(SplitLines("abcde\n", 2), (std::vector<std::string>{"ab", "cd", "e\n"}));
    EXPECT_EQ(SplitLines("ab\n", 2), (std::vector<std::string>{"ab\n"})) << "the line end does not count";
    EXPECT_TRUE(SplitLines("", 5).empty());
}
