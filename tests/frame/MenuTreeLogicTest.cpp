#include "frame/MenuTreeLogic.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

using namespace vorlan;

namespace {
// "§", the server's piece delimiter, as one byte.
const std::string S = "\xa7";
} // namespace

TEST(MenuReply, GroupsOfFourUpToTheFirstEmptyNumber) {
    struct Case {
        std::string reply;
        std::size_t count;
    } cases[] = {
        {"", 0},
        {S, 0},
        {"1" + S + "M1" + S + "Stamm" + S + S, 1},
        {"1" + S + S + "A" + S + S + "-2" + S + "PAT" + S + "Patienten" + S + "3" + S, 2},
        // An empty number ends the reply even when more follows.
        {"1" + S + S + "A" + S + S + S + "X" + S + "Y" + S + "Z" + S + "-4" + S + "Q" + S + "R" + S + S, 1},
        // A last group without its trailing pieces still counts.
        {"-7" + S + "ABC", 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseMenuReply(c.reply).size(), c.count) << c.reply;

    auto entries =
        ParseMenuReply("4" + S + S + "Ordner" + S + S + "-12" + S + "PAT" + S + "Patienten" + S + "3" + S);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_FALSE(entries[0].IsLeaf());
    EXPECT_EQ(entries[0].Index(), 3);
    EXPECT_EQ(entries[0].ShownText(), "Ordner");
    EXPECT_TRUE(entries[1].IsLeaf());
    EXPECT_EQ(entries[1].Index(), 11);
    EXPECT_EQ(entries[1].memo, "PAT");
    EXPECT_EQ(entries[1].ShownText(), "Patienten [PAT]");
    EXPECT_EQ(entries[1].FlagNumber(), 3);
}

TEST(MenuReply, OverlongPiecesAreCutAt255) {
    std::string text(400, 'x');
    auto entries = ParseMenuReply("-1" + S + "M" + S + text + S + S);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].text.size(), 255u);
}

TEST(MenuReply, NumberZeroIsAFolderAndNonNumbersReadAsZero) {
    auto entries = ParseMenuReply("0" + S + S + "A" + S + S + "abc" + S + S + "B" + S + S);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_FALSE(entries[0].IsLeaf());
    EXPECT_EQ(entries[0].Index(), -1);
    EXPECT_FALSE(entries[1].IsLeaf());
}

TEST(MenuReply, LeafImages) {
    struct Case {
        const char* flag;
        bool edit;
        int count;
        int image;
    } cases[] = {
        {"5", false, 48, 4},
        {"1", false, 48, 0},
        {"48", false, 48, 47},
        {"0", false, 48, kImageLeaf},
        {"", false, 48, kImageLeaf},
        {"x", false, 48, kImageLeaf},
        {"-3", false, 48, kImageLeaf},
        // Beyond the strip, or without one: the plain leaf instead of no picture.
        {"49", false, 48, kImageLeaf},
        {"5", false, 0, kImageLeaf},
        // Edit mode shows every leaf alike.
        {"5", true, 48, kImageLeaf},
    };
    for (const auto& c : cases) {
        MenuEntry e;
        e.number = -1;
        e.flag = c.flag;
        EXPECT_EQ(e.LeafImage(c.edit, c.count), c.image) << c.flag << " " << c.edit << " " << c.count;
    }
}

TEST(MenuPath, FormatsAndParses) {
    EXPECT_EQ(FormatMenuPath({}, true), "");
    EXPECT_EQ(FormatMenuPath({}, false), "");
    EXPECT_EQ(FormatMenuPath({3, 0, 12}, true), "3,0,12,");
    EXPECT_EQ(FormatMenuPath({3, 0, 12}, false), "3,0,12");

    struct Case {
        const char* path;
        std::vector<int> numbers;
    } cases[] = {
        {"", {}}, {",", {}}, {"3,0,12,", {3, 0, 12}}, {"3,0,12", {3, 0, 12}}, {"3,,0,", {3, 0}}, {",7", {7}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseMenuPath(c.path), c.numbers) << c.path;
}

TEST(MenuPath, NamesAtMostTheDeepestLevel) {
    std::string deep;
    for (int i = 0; i < 300; ++i)
        deep += "1,";
    EXPECT_EQ(ParseMenuPath(deep).size(), static_cast<std::size_t>(kMaxMenuDepth));
}

TEST(MenuLines, ValuesAreQuoted) {
    std::string user = "O\"Neil";
    struct Case {
        std::string got;
        std::string want;
    } cases[] = {
        {MenuInitLine(), "W $$INIMNU^QCC()"},
        {MenuGetLine("", nullptr), "K BGTEST W $$GETMNU^QCC(\"\")"},
        {MenuGetLine("3,0,", nullptr), "K BGTEST W $$GETMNU^QCC(\"3,0,\")"},
        {MenuGetLine("3,", &user), "S BGTEST=\"O\"\"Neil\" W $$GETMNU^QCC(\"3,\")"},
        {MenuSetLine("3,0", true), "D SETMNU^QCC(\"3,0\",1)"},
        {MenuSetLine("3", false), "D SETMNU^QCC(\"3\",0)"},
        {MenuEditInitLine(user), "D INI998^QCC(\"O\"\"Neil\")"},
        {MenuEditSaveLine(user), "D SAV998^QCC(\"O\"\"Neil\")"},
        {MenuEndLine(), "D ENDMNU^QCC"},
        {MenuResyncLine("PAT"), "W $P($$SELECTM^QCC(\"PAT\")_%DL_$G(%MEMO(\"PATH\")),%DL,2)"},
        {MenuResyncLine("A\"B"), "W $P($$SELECTM^QCC(\"A\"\"B\")_%DL_$G(%MEMO(\"PATH\")),%DL,2)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.got, c.want);
}

TEST(MenuDragRecord, LayoutTheDesktopReads) {
    EXPECT_EQ(offsetof(MenuDragRecord, dragImage), 16u);
    EXPECT_EQ(offsetof(MenuDragRecord, text), 20u);
    EXPECT_EQ(offsetof(MenuDragRecord, memo), 148u);

    MenuDragRecord r;
    ASSERT_TRUE(BuildMenuDragRecord("Patienten [PAT]", "PAT", true, r));
    const auto* bytes = reinterpret_cast<const unsigned char*>(&r);
    const unsigned char head[20] = {2, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0};
    EXPECT_EQ(std::memcmp(bytes, head, sizeof head), 0);
    EXPECT_STREQ(r.text, "Patienten ");
    EXPECT_STREQ(r.memo, "PAT");
    // Zero-filled behind the texts.
    for (std::size_t i = 20 + std::strlen(r.text); i < 148; ++i)
        ASSERT_EQ(bytes[i], 0) << i;
}

TEST(MenuDragRecord, TextsAreCutAndBounded) {
    struct Case {
        std::string text;
        std::string memo;
        bool ok;
        std::string wantText;
    } cases[] = {
        {"Kasse [alt] [KAS]", "KAS", true, "Kasse [alt] "},
        {"Ohne Memo", "", true, ""},
        {std::string(300, 'a') + " [X]", "X", true, std::string(127, 'a')},
        {"Lang [ABCDEFGHIJKLMNO]", "ABCDEFGHIJKLMNO", true, "Lang "},
        // A memo name that the record cannot hold is not dragged at all.
        {"Zu lang [ABCDEFGHIJKLMNOP]", "ABCDEFGHIJKLMNOP", false, ""},
    };
    for (const auto& c : cases) {
        MenuDragRecord r;
        ASSERT_EQ(BuildMenuDragRecord(c.text, c.memo, false, r), c.ok) << c.text;
        if (!c.ok) continue;
        EXPECT_EQ(std::string(r.text), c.wantText);
        EXPECT_EQ(std::string(r.memo), c.memo);
        EXPECT_EQ(r.dragImage, 0);
    }
}

TEST(MenuDragRecord, PeekReadsKindAndImageFlag) {
    MenuDragRecord r;
    ASSERT_TRUE(BuildMenuDragRecord("A [B]", "B", true, r));
    std::int32_t kind = 0;
    bool image = false;
    ASSERT_TRUE(PeekIconRecord(&r, sizeof r, kind, image));
    EXPECT_EQ(kind, 2);
    EXPECT_TRUE(image);

    // The desktop's own 20-byte records of kind 1.
    std::int32_t own[5] = {1, 0, 0, 0, 0};
    ASSERT_TRUE(PeekIconRecord(own, sizeof own, kind, image));
    EXPECT_EQ(kind, 1);
    EXPECT_FALSE(image);

    EXPECT_FALSE(PeekIconRecord(own, 19, kind, image));
    EXPECT_FALSE(PeekIconRecord(nullptr, 164, kind, image));
}
