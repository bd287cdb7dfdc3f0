#include "forms/FormKeysLogic.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using namespace vorlan;

namespace {

const std::string S = "\xA7";

// A key text: label, routine, image, group (pieces 1, 2, 7, 9).
std::string Key(const std::string& label, int image = 0, const std::string& group = "") {
    std::string t =
        label + S + "R^X" + S + S + S + S + S + (image ? std::to_string(image) : "") + S + S + group;
    return t;
}

std::vector<std::string> Table() {
    return std::vector<std::string>(72);
}

KeyMenuItem Item(unsigned command, const char* text, int image = -1) {
    return KeyMenuItem{false, command, image, text};
}
const KeyMenuItem Sep{true, 0, -1, ""};

std::string NoCode(const std::string&) {
    return "";
}

} // namespace

TEST(FormKeysLogic, PopupOrderGroupsSeparatorsAndShortcuts) {
    auto keys = Table();
    keys[0] = Key("Neu", 1);            // F5
    keys[1] = Key("[Suchen;Strg+F", 2); // F6: a group of its own, shortcut shown
    keys[2] = Key("", 0);               // F7: no label, a break only
    keys[3] = Key(" Weiter ; F9 ", 4);  // F8: trimmed
    keys[8] = Key("Extras", 3);         // X1: a new group
    keys[40] = Key("Kopieren", 0, "1/Bearbeiten/0");
    keys[41] = Key("*W 1", 0, "1/Bearbeiten/0");
    auto code = [](const std::string& c) { return c == "W 1" ? std::string("Markieren") : std::string(); };

    EXPECT_EQ(KeyMenuItems(keys, 40, -1, code),
              (std::vector<KeyMenuItem>{Item(32800, "Neu", 0), Sep, Item(32801, "Suchen (Strg+F)", 1), Sep,
                                        Item(32803, "Weiter (F9)", 3), Sep, Item(32981, "Extras", 2)}));
    // More than 40 entries: the menu entries come first, without a break before the F-keys.
    EXPECT_EQ(KeyMenuItems(keys, 72, -1, code),
              (std::vector<KeyMenuItem>{Item(2001, "Kopieren"), Item(2002, "Markieren"),
                                        Item(32800, "Neu", 0), Sep, Item(32801, "Suchen (Strg+F)", 1), Sep,
                                        Item(32803, "Weiter (F9)", 3), Sep, Item(32981, "Extras", 2)}));
    // The count bounds what is visited; a group keeps only its own.
    EXPECT_EQ(KeyMenuItems(keys, 1, -1, code), (std::vector<KeyMenuItem>{Item(32800, "Neu", 0)}));
    EXPECT_EQ(KeyMenuItems(keys, 72, 1, code),
              (std::vector<KeyMenuItem>{Item(2001, "Kopieren"), Item(2002, "Markieren")}));
    EXPECT_TRUE(KeyMenuItems(keys, 72, 2, code).empty());
}

TEST(FormKeysLogic, NoSeparatorFirstTwiceOrLast) {
    auto keys = Table();
    keys[0] = Key("[Eins");
    keys[1] = Key("");
    keys[2] = Key("[");
    keys[3] = Key("[Zwei");
    keys[9] = Key("");
    EXPECT_EQ(KeyMenuItems(keys, 40, -1, NoCode),
              (std::vector<KeyMenuItem>{Item(32800, "Eins"), Sep, Item(32803, "Zwei")}));
    EXPECT_TRUE(KeyMenuItems(Table(), 72, -1, NoCode).empty());
    EXPECT_TRUE(KeyMenuItems(std::vector<std::string>(3, Key("A")), 72, -1, NoCode).size() == 3)
        << "a short table is read as far as it goes";
}

TEST(FormKeysLogic, TitleMenuGroupsInOrderOfFirstUseAtMostTen) {
    auto keys = Table();
    keys[40] = Key("Kopieren", 0, "1/Bearbeiten/0");
    keys[41] = Key("Einf\xfcgen", 0, "1/Bearbeiten/0");
    keys[43] = Key("Zoom", 0, "2/Ansicht/7");
    keys[0] = Key("Neu", 1, "2/Ansicht/7");
    auto popups = TitleMenuPopups(keys, 72, NoCode);
    ASSERT_EQ(popups.size(), 2u);
    EXPECT_EQ(popups[0].group.number, 2) << "F5 comes first in index order";
    EXPECT_EQ(popups[0].group.title, "Ansicht");
    EXPECT_EQ(popups[0].group.bitmap, 7);
    EXPECT_EQ(popups[0].items, (std::vector<KeyMenuItem>{Item(2004, "Zoom"), Item(32800, "Neu", 0)}));
    EXPECT_EQ(popups[1].items, (std::vector<KeyMenuItem>{Item(2001, "Kopieren"), Item(2002, "Einf\xfcgen")}));

    auto many = Table();
    for (int g = 0; g < 11; ++g)
        many[40 + g] =
            Key("E" + std::to_string(g), 0, std::to_string(g + 1) + "/G" + std::to_string(g + 1) + "/0");
    popups = TitleMenuPopups(many, 72, NoCode);
    ASSERT_EQ(popups.size(), 10u) << "the eleventh group is left out";
    EXPECT_EQ(popups.back().group.title, "G10");

    // Group 0 and a group that reads as no number are one slot, not one per entry; "-1" is
    // never "every group".
    auto odd = Table();
    odd[40] = Key("A", 0, "0/Null/0");
    odd[41] = Key("B", 0, "Null/x");
    odd[42] = Key("C", 0, "-1/Minus");
    odd[43] = Key("D");
    popups = TitleMenuPopups(odd, 72, NoCode);
    ASSERT_EQ(popups.size(), 1u);
    EXPECT_EQ(popups[0].items, (std::vector<KeyMenuItem>{Item(2001, "A"), Item(2002, "B"), Item(2003, "C")}));
    EXPECT_TRUE(TitleMenuPopups(keys, 40, NoCode).size() == 1u) << "the count bounds the entries read";
    EXPECT_TRUE(TitleMenuPopups(Table(), 72, NoCode).empty()) << "no group, no title menu";
}

TEST(FormKeysLogic, ToolButtonsOnlyWithImagesAndXKeysApart) {
    auto keys = Table();
    keys[0] = Key("Neu", 1);
    keys[1] = Key("[Suchen;Strg+F  ", 2);
    keys[2] = Key("Ohne Bild");
    keys[8] = Key("Extras ", 3);
    keys[9] = Key("[");
    keys[40] = Key("Menue", 4);
    EXPECT_EQ(KeyToolButtons(keys, 40, NoCode),
              (std::vector<KeyMenuItem>{Item(32800, "Neu", 0), Sep, Item(32801, "Suchen", 1), Sep,
                                        Item(32981, "Extras", 2)}));
    auto noImages = Table();
    noImages[0] = Key("Neu");
    noImages[40] = Key("Menue", 4);
    EXPECT_TRUE(KeyToolButtons(noImages, 40, NoCode).empty());
    EXPECT_FALSE(AnyKeyImage(noImages, 40)) << "menu entries never make a toolbar";
    keys[0] = Key("Neu", -3);
    keys[1] = Key("Suchen", 0);
    keys[8] = Key("Extras", 0);
    EXPECT_TRUE(KeyToolButtons(keys, 40, NoCode).empty()) << "images below 1 are none";
}

TEST(FormKeysLogic, FunkKeysMapOnlyInsideTheTable) {
    struct {
        const char* key;
        int index;
        unsigned command;
    } cases[] = {
        {"F5", 0, 32800},
        {"F12", 7, 32807},
        {"X1", 8, 32981},
        {"X32", 39, 33012},
        {"M1", 40, 0},
        {"M32", 71, 0},
        {"Q3", 42, 0},
        {"F4", -1, 0},
        {"F13", -1, 0},
        {"F40", -1, 0},
        {"X0", -1, 0},
        {"X33", -1, 0},
        {"M0", -1, 0},
        {"M33", -1, 0},
        {"M", -1, 0},
        {"", -1, 0},
        {"5", -1, 0},
        {"F 5", -1, 0},
        {"F5a", -1, 0},
        {"M0001", -1, 0},
        {"\xe4"
         "1",
         -1, 0},
        {"F-5", -1, 0},
    };
    for (const auto& c : cases) {
        unsigned command = 1;
        EXPECT_EQ(FunkKeyIndex(c.key, command), c.index) << c.key;
        EXPECT_EQ(command, c.command) << c.key;
    }
}

TEST(FormKeysLogic, FunkAnswerGivesCheckedAndEnabledStates) {
    std::string answer = "F6\xFF"
                         "0" +
                         S +
                         "1\xFF"
                         "M1\xFF"
                         "1\xFF"
                         "F40\xFF"
                         "1\xFF"
                         "X2\xFF" +
                         S + "abc\xFF" +
                         "F7\xFF"
                         "2.5" +
                         S +
                         "0.0\xFF"
                         "F8";
    auto entries = ParseFunkAnswer(answer);
    ASSERT_EQ(entries.size(), 4u) << "F40 is outside the table, the last key has no value";
    EXPECT_EQ(entries[0].index, 1);
    EXPECT_EQ(entries[0].command, 32801u);
    EXPECT_EQ(entries[0].checked, 0);
    EXPECT_FALSE(entries[0].enabled);
    EXPECT_EQ(entries[1].index, 40);
    EXPECT_EQ(entries[1].command, 0u);
    EXPECT_EQ(entries[1].checked, 1);
    EXPECT_TRUE(entries[1].enabled);
    EXPECT_EQ(entries[2].index, 9);
    EXPECT_TRUE(entries[2].enabled) << "letters are no number";
    EXPECT_EQ(entries[3].checked, 1);
    EXPECT_TRUE(entries[3].enabled);
    EXPECT_TRUE(ParseFunkAnswer("").empty());
    EXPECT_TRUE(ParseFunkAnswer(std::string(300, 'F') + "\xFF"
                                                        "1\xFF")
                    .empty())
        << "an over-long key";
}

TEST(FormKeysLogic, ToolbarRecordNeedsBothFields) {
    std::int32_t record[11] = {2, 0};
    ToolbarLooks looks = ReadToolbarRecord(record, sizeof record);
    EXPECT_TRUE(looks.present);
    EXPECT_EQ(looks.textMode, 2);
    EXPECT_FALSE(looks.largeIcons);
    looks = ReadToolbarRecord(record, 7);
    EXPECT_FALSE(looks.present);
    EXPECT_TRUE(looks.largeIcons) << "without a record the large strips";
    EXPECT_FALSE(ReadToolbarRecord(nullptr, 44).present);
}
