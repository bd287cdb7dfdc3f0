#include "tools/ExplorerLogic.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace vorlan::record;

namespace {
const std::string kDl = "\xA7";
constexpr int kL1 = 0x3, kL2 = 0x5, kL2First = 0x15, kDoc = 0x900, kFolder = 0x100, kFile = 0x200;
} // namespace

// The walk's lines as the server receives them; swapped, level 1 comes from "D",2 and the
// documents keep the "D",1 key first.
TEST(ExplorerLogic, FillLinesFollowTheHierarchy) {
    EXPECT_EQ(NextLevel1Line(false), "S %QCC1=$O(^QTEMP(%JOB,\"EXPLORER\",%DN,\"D\",1,%QCC1)) W %QCC1");
    EXPECT_EQ(NextLevel1Line(true), "S %QCC1=$O(^QTEMP(%JOB,\"EXPLORER\",%DN,\"D\",2,%QCC1)) W %QCC1");
    EXPECT_EQ(Level2ValueLine(false), "W $P($G(^QTEMP(%JOB,\"EXPLORER\",%DN,\"D\",2,%QCC2)),%DL,1)");
    EXPECT_EQ(NextLevel2Line(true), "S %QCC2=$O(^QTEMP(%JOB,\"EXPLORER\",%DN,\"D\",1,%QCC2)) W %QCC2");
    EXPECT_EQ(HiddenLine(1), "W $G(^QTEMP(%JOB,\"NOVIEW\",%DN,\"D\",1,%QCC1))");
    EXPECT_EQ(HiddenLine(2), "W $G(^QTEMP(%JOB,\"NOVIEW\",%DN,\"D\",1,%QCC2))");
    EXPECT_EQ(NextDocumentLine(false),
              "S %QCC3=$O(^QTEMP(%JOB,\"EXPLORER\",%DN,\"D\",3,%QCC1,%QCC2,%QCC3)) W %QCC3");
    EXPECT_EQ(DocumentValueLine(true), "W $G(^QTEMP(%JOB,\"EXPLORER\",%DN,\"D\",3,%QCC2,%QCC1,%QCC3))");
    EXPECT_EQ(DocumentHiddenLine(true), "W $G(^QTEMP(%JOB,\"NOVIEW\",%DN,\"D\",3,%QCC2,%QCC1,%QCC3))");
    EXPECT_EQ(SortLine(),
              "W $G(^QTEMP(%JOB,\"EXPLORER\",%DN,\"SORT\")) K ^QTEMP(%JOB,\"EXPLORER\",%DN,\"SORT\")");
    EXPECT_EQ(MenuEntryLine('F', 15), "W $G(^QTEMP(%JOB,\"EXPLORER\",%DN,\"F\",15))");
    EXPECT_EQ(MenuEntryLine('X', 1), "W $G(^QTEMP(%JOB,\"EXPLORER\",%DN,\"X\",1))");
}

// Server texts come back into M lines quoted: quotes doubled, control characters spliced.
TEST(ExplorerLogic, ValuesSentBackAreQuoted) {
    EXPECT_EQ(SetExplorerLine("4711"), "S %EXPLORER=\"4711\"");
    EXPECT_EQ(SetExplorerLine("a\"b\") K ^X W (\""), "S %EXPLORER=\"a\"\"b\"\") K ^X W (\"\"\"");
    EXPECT_EQ(SetRetLine("x\ty\r"), "S %RET=\"x\"_$C(9)_\"y\"_$C(13)");
    EXPECT_EQ(SetRetLine(""), "S %RET=\"\"");
}

TEST(ExplorerLogic, MenuRepliesAreBoundedPieces) {
    MenuReply r = ParseMenuReply("0" + kDl + "PAT" + kDl + "4711" + kDl + "rest");
    EXPECT_EQ(r.kind, "0");
    EXPECT_EQ(r.name, "PAT");
    EXPECT_EQ(r.value, "4711");
    std::string k(15, 'k'), n(63, 'n'), v(511, 'v');
    r = ParseMenuReply(k + kDl + n + kDl + v);
    EXPECT_EQ(r.kind, k);
    EXPECT_EQ(r.name, n);
    EXPECT_EQ(r.value, v);
    r = ParseMenuReply(k + "K" + kDl + n + "N" + kDl + v + "V");
    EXPECT_EQ(r.kind, k) << "cut at 15";
    EXPECT_EQ(r.name, n) << "cut at 63";
    EXPECT_EQ(r.value, v) << "cut at 511";
    r = ParseMenuReply("1");
    EXPECT_EQ(r.kind, "1");
    EXPECT_EQ(r.name, "");

    EXPECT_EQ(ParseMenuItem("").kind, MenuItemReply::None) << "a missing node gives nothing";
    EXPECT_EQ(ParseMenuItem("0" + kDl + "PAT" + kDl).kind, MenuItemReply::Separator);
    MenuItemReply item = ParseMenuItem("0" + kDl + "PAT" + kDl + "Patient");
    EXPECT_EQ(item.kind, MenuItemReply::Entry);
    EXPECT_EQ(item.text, "Patient");
}

TEST(ExplorerLogic, EntriesAndStateImagesFromTheirPieces) {
    ServerEntry e = ParseEntry("Bilder" + kDl + "1" + kDl + "17", "Bilder" + kDl + "B1" + kDl + "2");
    EXPECT_EQ(e.name, "Bilder");
    EXPECT_TRUE(e.first);
    EXPECT_EQ(e.permissions, 17);
    EXPECT_EQ(e.text, "Bilder");
    EXPECT_EQ(e.serverText, "B1");
    EXPECT_EQ(e.stateImage, 2);
    e = ParseEntry("Labor", "");
    EXPECT_FALSE(e.first);
    EXPECT_EQ(e.permissions, 0);

    EXPECT_EQ(StateImageIndexes("3" + kDl + "4" + kDl + "5"), (std::vector<int>{3, 4, 5}));
    EXPECT_EQ(StateImageIndexes("3" + kDl + "0" + kDl + "5"), (std::vector<int>{3})) << "stops at zero";
    EXPECT_EQ(StateImageIndexes("3" + kDl + kDl + "5"), (std::vector<int>{3})) << "stops at empty";
    EXPECT_EQ(StateImageIndexes("1" + kDl + "2" + kDl + "3" + kDl + "4" + kDl + "5" + kDl + "6" + kDl + "7" +
                                kDl + "8")
                  .size(),
              7u);
    EXPECT_TRUE(StateImageIndexes("").empty());
}

// A file under a disk folder below "Korrespondenz"/"Briefe"; swapped, the level-1 item is the
// "D",2 entry, yet the path still starts with the "D",1 name.
TEST(ExplorerLogic, FileNamesWithAndWithoutTheSwap) {
    std::vector<PathNode> chain{{kFile, "Brief.rtf"}, {kFolder, "2024"},      {kDoc, "Akte"},
                                {kL2, "Briefe"},      {kL1, "Korrespondenz"}, {0, "Erika Mustermann"}};
    std::string path, name;
    ASSERT_EQ(BuildFileName(chain, false, "C:\\A\\4711", path, name), PathResult::Ok);
    EXPECT_EQ(path, "C:\\A\\4711\\Korrespondenz\\Briefe\\Akte\\2024\\Brief.rtf");
    EXPECT_EQ(name, "Brief.rtf");

    std::vector<PathNode> swapped{{kFolder, "2024"}, {kL2, "Korrespondenz"}, {kL1, "Briefe"}, {0, "root"}};
    ASSERT_EQ(BuildFileName(swapped, true, "C:\\A", path, name), PathResult::Ok);
    EXPECT_EQ(path, "C:\\A\\Korrespondenz\\Briefe\\2024");
    EXPECT_EQ(name, "");

    std::vector<PathNode> level2{{kL2First, "Bilder"}, {kL1, "Befunde"}, {0, "root"}};
    ASSERT_EQ(BuildFileName(level2, false, "T:\\Thumbs", path, name), PathResult::Ok);
    EXPECT_EQ(path, "T:\\Thumbs\\Befunde\\Bilder") << "the replacement source";

    EXPECT_EQ(BuildFileName({{kL1, "Befunde"}, {0, "root"}}, false, "C:\\A", path, name), PathResult::NoPath);
    EXPECT_EQ(BuildFileName({{0, "root"}}, false, "C:\\A", path, name), PathResult::NoPath);
    EXPECT_EQ(BuildFileName({}, false, "C:\\A", path, name), PathResult::NoPath);

    // 259 characters pass; 260 are refused, never cut.
    std::string source = "C:\\" + std::string(200, 's');
    std::string fill(259 - source.size() - std::string("\\Befunde\\Bilder\\").size(), 'f');
    std::vector<PathNode> longFile{{kFile, fill}, {kL2, "Bilder"}, {kL1, "Befunde"}, {0, "r"}};
    ASSERT_EQ(BuildFileName(longFile, false, source, path, name), PathResult::Ok);
    EXPECT_EQ(path.size(), 259u);
    longFile[0].name += "x";
    EXPECT_EQ(BuildFileName(longFile, false, source, path, name), PathResult::TooLong);
    EXPECT_TRUE(path.empty());
}

// Every ancestor's permissions count; the root allows nothing; paste needs a stored copy.
TEST(ExplorerLogic, PermissionRules) {
    struct Case {
        unsigned command;
        std::vector<int> permissions;
        bool root;
        int stored;
        bool allowed;
    } cases[] = {
        {156, {0, 0, 0}, false, 0, true},
        {156, {0, 0x1, 0}, false, 0, false},
        {156, {0}, true, 0, false},
        {157, {0x10}, false, 0, false},
        {157, {0x1 | 0x2 | 0x4 | 0x8}, false, 0, true},
        {57634, {0, 0x2}, false, 0, false},
        {57635, {0x4}, false, 0, false},
        {57635, {0x2}, false, 0, true},
        {57637, {0}, false, 0, false},
        {57637, {0}, false, 57634, true},
        {57637, {0, 0, 0x8}, false, 57635, false},
        {33039, {0x1f}, false, 0, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CommandAllowed(c.command, c.permissions, c.root, c.stored), c.allowed) << c.command;
}

TEST(ExplorerLogic, SiblingsSortFlaggedFirstThenFoldersThenBytes) {
    struct Entry {
        int kind;
        std::string name;
    };
    std::vector<Entry> entries{{kL2, "Labor"}, {kL2First, "Bilder"},   {kL2, "Briefe"},
                               {kL2, "Akten"}, {kFile, "a.txt"},       {kFolder, "Zeta"},
                               {kDoc, "Doc"},  {kFile, "\xE4nderung"}, {kFile, "B.txt"}};
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return CompareSiblings(a.kind, a.name, b.kind, b.name) < 0;
    });
    std::vector<std::string> names;
    for (const Entry& e : entries)
        names.push_back(e.name);
    EXPECT_EQ(names, (std::vector<std::string>{"Bilder", "Doc", "Zeta", "Akten", "B.txt", "Briefe", "Labor",
                                               "a.txt", "\xE4nderung"}));
    EXPECT_LT(CompareListEntries(true, "z", false, "a"), 0);
    EXPECT_GT(CompareListEntries(false, "b", false, "B"), 0);
    EXPECT_EQ(CompareListEntries(false, "b", false, "b"), 0);
}

TEST(ExplorerLogic, NamesAndPreviews) {
    EXPECT_EQ(ExtensionPosition("Bild 001.jpg"), 8);
    EXPECT_EQ(ExtensionPosition("a.b.c"), 3);
    EXPECT_EQ(ExtensionPosition("Ordner"), -1);
    EXPECT_EQ(DisplayName("Bild 001.jpg", 8), "Bild 001");
    EXPECT_EQ(DisplayName("Ordner", -1), "Ordner");
    EXPECT_TRUE(IsTextPreview("notiz.txt"));
    EXPECT_TRUE(IsTextPreview("brief.rtf"));
    EXPECT_TRUE(IsRichTextPreview("brief.rtf"));
    EXPECT_FALSE(IsRichTextPreview("notiz.txt"));
    EXPECT_FALSE(IsTextPreview("bild.jpg"));
    EXPECT_FALSE(IsTextPreview("txt"));
    EXPECT_EQ(Number("12abc"), 12);
    EXPECT_EQ(Number(""), 0);
    EXPECT_EQ(Number("-3"), -3);
}
