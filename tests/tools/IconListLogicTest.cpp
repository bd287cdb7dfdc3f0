#include "tools/IconListLogic.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>

using namespace vorlan;

// Server screens split these at the comma: the numbers go unquoted, joined by M.
TEST(IconListLogic, SizesGoToTheServerAsWidthCommaHeight) {
    EXPECT_EQ(ClientSizeLine(812, 0), "S %WIN(\"CLIENTSIZE\")=812_\",\"_0");
    EXPECT_EQ(ScreenSizeLine(1920, 1080), "S %WIN(\"SCREENSIZE\")=1920_\",\"_1080");
}

TEST(IconListLogic, DesktopRecordHasOneLayoutForBothWordSizes) {
    EXPECT_EQ(offsetof(IconDragRecord, dragImage), 16u);
    EXPECT_EQ(offsetof(IconDragRecord, text), kIconDragHeaderSize);
    EXPECT_EQ(offsetof(IconDragRecord, memo), 148u);
    IconDragRecord r = BuildDesktopDragRecord(2, 30, 40, true);
    IconDrop drop;
    ASSERT_TRUE(ReadIconDrop(&r, kIconDragHeaderSize, 3, drop)) << "kind 1 needs only its 20 bytes";
    EXPECT_EQ(drop.kind, 1);
    EXPECT_EQ(drop.item, 2);
    EXPECT_EQ(drop.x, 30);
    EXPECT_EQ(drop.y, 40);
}

// Any program may drop the registered format: nothing it sends is trusted.
TEST(IconListLogic, ForeignDropsAreReadWithinTheirBlock) {
    IconDrop drop;
    IconDragRecord own = BuildDesktopDragRecord(5, 0, 0, false);
    EXPECT_FALSE(ReadIconDrop(&own, sizeof own, 5, drop)) << "item beyond the desktop's icons";
    own.item = -1;
    EXPECT_FALSE(ReadIconDrop(&own, sizeof own, 5, drop));
    EXPECT_FALSE(ReadIconDrop(&own, kIconDragHeaderSize - 1, 5, drop)) << "too short for a header";
    EXPECT_FALSE(ReadIconDrop(nullptr, 164, 5, drop));
    own.kind = 3;
    own.item = 0;
    EXPECT_FALSE(ReadIconDrop(&own, sizeof own, 5, drop)) << "unknown kind";

    IconDragRecord menu;
    std::memset(&menu, 'x', sizeof menu); // no terminator anywhere
    menu.kind = kIconDragMenuEntry;
    ASSERT_TRUE(ReadIconDrop(&menu, sizeof menu, 0, drop));
    EXPECT_EQ(drop.text.size(), 128u) << "cut at its field";
    EXPECT_EQ(drop.memo.size(), 16u);
    ASSERT_TRUE(ReadIconDrop(&menu, 30, 0, drop));
    EXPECT_EQ(drop.text, std::string(10, 'x')) << "cut at the block";
    EXPECT_EQ(drop.memo, "");
    std::strcpy(menu.text, "Patienten");
    std::strcpy(menu.memo, "PAT");
    ASSERT_TRUE(ReadIconDrop(&menu, sizeof menu, 0, drop));
    EXPECT_EQ(drop.text, "Patienten");
    EXPECT_EQ(drop.memo, "PAT");
}

TEST(IconListLogic, ValuesInLinesAreQuoted) {
    EXPECT_EQ(ParameterLine("4711"), "S %WIN(\"PARA\")=\"4711\"");
    EXPECT_EQ(ParameterLine("a\"b\r\n"), "S %WIN(\"PARA\")=\"a\"\"b\"_$C(13,10)");
    EXPECT_EQ(MenuPictureLine("X\") K ^Z W (\""), "W $$GETMNUPI^QCC(\"X\"\") K ^Z W (\"\"\")");
    EXPECT_EQ(MenuNextLine(""), "W $$MENUNEXT^QCC(\"\")");
    EXPECT_EQ(MenuNextLine("A\tB"), "W $$MENUNEXT^QCC(\"A\"_$C(9)_\"B\")");
    EXPECT_EQ(MenuInfoLine("BLD"), "W $$MENUINFO^QCC(\"BLD\")");
    EXPECT_EQ(IconImageFromAnswer("12"), 11);
    EXPECT_EQ(IconImageFromAnswer("0"), 47);
    EXPECT_EQ(IconImageFromAnswer(""), 47);
}

TEST(IconListLogic, MenuInfoRepliesGiveTheParameterChoices) {
    MenuInfo info = ParseMenuInfo("J\xA7"
                                  "4711\xA7"
                                  "Erika Mustermann\xA7"
                                  "4712\xA7"
                                  "Max Mustermann");
    EXPECT_TRUE(info.takesParameter);
    ASSERT_EQ(info.choices.size(), 2u);
    EXPECT_EQ(info.choices[0], "4711 (Erika Mustermann)");
    EXPECT_EQ(ChoiceValue(info.choices[1]), "4712");
    info = ParseMenuInfo("J");
    EXPECT_TRUE(info.takesParameter);
    EXPECT_TRUE(info.choices.empty()) << "a free, empty parameter field";
    EXPECT_FALSE(ParseMenuInfo("N").takesParameter);
    EXPECT_FALSE(ParseMenuInfo("").takesParameter);
    info = ParseMenuInfo("J\xA7"
                         "1\xA7" +
                         std::string(300, 'd'));
    ASSERT_EQ(info.choices.size(), 1u);
    EXPECT_EQ(info.choices[0].size(), 127u);
}

TEST(IconListLogic, TheCatalogueWalkEnds) {
    std::vector<std::string> asked;
    auto demo = [&](const std::string& key) {
        asked.push_back(key);
        if (key.empty()) return std::string("ADR Adressen");
        if (key == "ADR") return std::string("PAT Patienten");
        return std::string();
    };
    EXPECT_EQ(WalkMenuCatalogue(demo), (std::vector<std::string>{"ADR Adressen", "PAT Patienten"}));
    EXPECT_EQ(asked, (std::vector<std::string>{"", "ADR", "PAT"}));

    int calls = 0;
    auto stuck = [&](const std::string&) {
        ++calls;
        return std::string("ADR Adressen");
    };
    EXPECT_EQ(WalkMenuCatalogue(stuck).size(), 1u) << "a key that does not move on ends the walk";
    EXPECT_EQ(calls, 2);
    int n = 0;
    auto endless = [&](const std::string&) { return "K" + std::to_string(++n) + " x"; };
    EXPECT_EQ(WalkMenuCatalogue(endless, 50).size(), 50u) << "the cap ends a walk that never ends";
    auto blank = [&](const std::string&) { return std::string(" ohne Memo"); };
    EXPECT_EQ(WalkMenuCatalogue(blank).size(), 1u);
}

TEST(IconListLogic, AStoredIconComesInOneReply) {
    EXPECT_EQ(
        StoredIconLine(2),
        "W $G(^Z(\"DESKTOP\",%USER,\"ICONS\",2,\"POSX\"))\\1,\",\",$G(^Z(\"DESKTOP\",%USER,\"ICONS\",2,"
        "\"POSY\"))\\1,\",\",$S($G(^Z(\"DESKTOP\",%USER,\"ICONS\",2,\"MEMO\"))=\"\":0,1:$$GETMNUPI^QCC($G(^Z("
        "\"DESKTOP\",%USER,\"ICONS\",2,\"MEMO\")))\\1),\",\",$L($G(^Z(\"DESKTOP\",%USER,\"ICONS\",2,\"TEXT\")"
        "))"
        ",\":\",$G(^Z(\"DESKTOP\",%USER,\"ICONS\",2,\"TEXT\")),$L($G(^Z(\"DESKTOP\",%USER,\"ICONS\",2,"
        "\"MEMO\")"
        ")),\":\",$G(^Z(\"DESKTOP\",%USER,\"ICONS\",2,\"MEMO\")),$L($G(^Z(\"DESKTOP\",%USER,\"ICONS\",2,"
        "\"PARA\""
        "))),\":\",$G(^Z(\"DESKTOP\",%USER,\"ICONS\",2,\"PARA\")),$O(^Z(\"DESKTOP\",%USER,\"ICONS\",2))");
    StoredIcon icon;
    // Texts may hold the delimiters themselves.
    ASSERT_TRUE(ParseStoredIcon("24,-110,6,11:Die \"Kasse\"3:KAS5:1,2:37", icon));
    EXPECT_EQ(icon.x, 24);
    EXPECT_EQ(icon.y, -110);
    EXPECT_EQ(icon.image, 5);
    EXPECT_EQ(icon.text, "Die \"Kasse\"");
    EXPECT_EQ(icon.memo, "KAS");
    EXPECT_EQ(icon.parameter, "1,2:3");
    EXPECT_EQ(icon.next, "7");
    ASSERT_TRUE(ParseStoredIcon("0,0,0,0:0:0:", icon));
    EXPECT_EQ(icon.image, 47);
    EXPECT_EQ(icon.next, "");
    EXPECT_FALSE(ParseStoredIcon("1,2,3,9:kurz", icon));
    EXPECT_FALSE(ParseStoredIcon("", icon));
    EXPECT_FALSE(ParseStoredIcon("x,1,1,0:0:0:", icon));
}

TEST(IconListLogic, LookHelpers) {
    EXPECT_EQ(FontSampleText("Tahoma", 9), "Tahoma, 9pt");
    PlacedRect area{0, 0, 100, 50};
    auto same = [](PlacedRect a, PlacedRect b) {
        return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    };
    EXPECT_TRUE(same(PicturePlacement(1, area, 20, 10), {40, 20, 60, 30}));
    EXPECT_TRUE(same(PicturePlacement(2, area, 20, 10), area));
    EXPECT_TRUE(same(PicturePlacement(3, area, 20, 10), {80, 40, 100, 50}));
    EXPECT_TRUE(same(PicturePlacement(0, area, 20, 10), {0, 0, 20, 10}));
}
