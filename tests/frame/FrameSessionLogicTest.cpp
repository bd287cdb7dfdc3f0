#include "frame/FrameSessionLogic.h"

#include <gtest/gtest.h>

using namespace vorlan;

TEST(FrameSessionLogic, TimerRunsEveryIntervalAndZeroIsOff) {
    int countdown = 2, runs = 0;
    for (int second = 0; second < 6; ++second)
        runs += TimerStep(countdown, 2) ? 1 : 0;
    EXPECT_EQ(runs, 3);
    countdown = 0;
    for (int second = 0; second < 6; ++second)
        EXPECT_FALSE(TimerStep(countdown, 0));
    EXPECT_EQ(countdown, 0) << "an interval of 0 does not count";
}

TEST(FrameSessionLogic, MessageTitleAndTheWalkAfterADialogMessage) {
    EXPECT_EQ(MessageTitle("demo\xA7"
                           "09.12.2026\xA7"
                           "10:15"),
              "demo - 10:15 am 09.12.2026");
    EXPECT_EQ(MessageTitle(""), " -  am ");
    EXPECT_EQ(MessageTitle(std::string(300, 'x')).size(), 127u + 3 + 4);
    // The key served is quoted: a key with a quote cannot end the line early.
    EXPECT_EQ(NextMessageKeyLine("^[\"VOR\"]ZINFO(0,%USER", "a\"b"),
              "S %QCC=$O(^[\"VOR\"]ZINFO(0,%USER,\"a\"\"b\")) W %QCC");
}

TEST(FrameSessionLogic, MemoGroupIdsStayApartFromTheXKeys) {
    EXPECT_EQ(MemoGroupPlaceholderId(1), 32900u);
    EXPECT_EQ(MemoGroupPlaceholderId(9), 32980u);
    EXPECT_EQ(MemoGroupOfPlaceholder(32980), 9);
    EXPECT_EQ(MemoGroupOfPlaceholder(32981), 0);
    EXPECT_EQ(MemoEntryId(1, 1), kMemoEntryFirst);
    EXPECT_EQ(MemoEntryId(9, 9), kMemoEntryLast);
    for (int g = 1; g <= kMemoGroups; ++g)
        for (int n = 1; n <= kMemoGroupEntries; ++n) {
            unsigned id = MemoEntryId(g, n);
            EXPECT_TRUE(id < 32981u || id > 33012u) << g << "/" << n; // X1-X32
        }
    std::string item = MemoEntryItemText(3, "Termine", "TER");
    EXPECT_EQ(item, "&3 Termine\t[TER]");
    EXPECT_EQ(MemoEntryOfItemText(item), "TER");
    EXPECT_EQ(MemoEntryOfItemText("&1 ohne Klammern"), "");
    EXPECT_EQ(MemoEntryOfItemText(std::string(130, 'x') + "[TER]"), "") << "beyond 127 characters";
}

TEST(FrameSessionLogic, LanguageCommandsAndNumbers) {
    EXPECT_EQ(LanguageOfCommand(32835), 1);
    EXPECT_EQ(LanguageOfCommand(32836), 1);
    EXPECT_EQ(LanguageOfCommand(32837), 2);
    EXPECT_EQ(LanguageOfCommand(32841), 6);
    EXPECT_EQ(LanguageOfCommand(32842), 1);
    EXPECT_EQ(CurrentLanguageNumber("0"), 1);
    EXPECT_EQ(CurrentLanguageNumber(""), 1);
    EXPECT_EQ(CurrentLanguageNumber("2"), 2);
}

TEST(FrameSessionLogic, GroupListAndTyping) {
    EXPECT_FALSE(GroupOffered("998", "999"));
    EXPECT_FALSE(GroupOffered("999", "999"));
    EXPECT_TRUE(GroupOffered("10", "999"));
    EXPECT_TRUE(GroupOffered("10", "998"));
    EXPECT_FALSE(GroupOffered("10", "0"));
    EXPECT_FALSE(GroupOffered("10", "")) << "no group is no number";
    EXPECT_TRUE(GroupDescriptionEditable("20"));
    EXPECT_FALSE(GroupDescriptionEditable("998"));
    EXPECT_FALSE(GroupDescriptionEditable(""));

    GroupTyping admin = TypeGroup("999", -1, 3);
    EXPECT_FALSE(admin.ok);
    EXPECT_FALSE(admin.newGroup);
    EXPECT_EQ(admin.defaultButton, GroupButton::Cancel);
    GroupTyping known = TypeGroup("20", 1, 3);
    EXPECT_EQ(known.select, 1);
    EXPECT_TRUE(known.ok);
    EXPECT_FALSE(known.templates);
    GroupTyping fresh = TypeGroup("30", -1, 3);
    EXPECT_FALSE(fresh.ok);
    EXPECT_TRUE(fresh.newGroup && fresh.templates);
    EXPECT_EQ(fresh.defaultButton, GroupButton::NewGroup);
    GroupTyping empty = TypeGroup("", -1, 0);
    EXPECT_EQ(empty.select, -1);
    EXPECT_FALSE(empty.ok);

    EXPECT_EQ(GroupKeyFilter('a', true), 'A');
    EXPECT_EQ(GroupKeyFilter('a', false), 0);
    EXPECT_EQ(GroupKeyFilter('\xE4', true), '\xC4');  // ä -> Ä
    EXPECT_EQ(GroupKeyFilter('\xE4', false), 0);
    EXPECT_EQ(GroupKeyFilter('\xFF', true), '\x9F');
    EXPECT_EQ(GroupKeyFilter('\xDF', true), '\xDF');  // ß has no capital here
    EXPECT_EQ(GroupKeyFilter('\xF7', false), '\xF7');
    EXPECT_EQ(GroupKeyFilter('Z', false), 0);
    EXPECT_EQ(GroupKeyFilter('7', false), '7');
    EXPECT_EQ(GroupKeyFilter('\b', false), '\b');
    EXPECT_EQ(GroupEntryText("10", "Praxis"), "10 (Praxis)");
    EXPECT_EQ(GroupEntryText("30", ""), "30");
    EXPECT_EQ(SetGroupDescriptionLine("Dr. \"Muster\""), "S %BDESC=\"Dr. \"\"Muster\"\"\"");
}

TEST(FrameSessionLogic, UnlockNeedsTheSameUserInTheSameGroup) {
    EXPECT_EQ(JudgeUnlock("demo", "10", "10", "demo"), UnlockResult::Unlocked);
    EXPECT_EQ(JudgeUnlock("", "", "10", "demo"), UnlockResult::Refused);
    EXPECT_EQ(JudgeUnlock("admin", "998", "10", "demo"), UnlockResult::Refused);
    EXPECT_EQ(JudgeUnlock("zitat", "10", "10", "demo"), UnlockResult::OtherUser);
    EXPECT_EQ(UnlockLoginLine("demo", "a\"b"), "W $$LOGIN^QCC(\"demo\",\"a\"\"b\")");
    EXPECT_EQ(RestoreActiveUserLine("de\"mo"),
              "I $D(^%QSERVER(\"ACTIVE\",$J,\"IP\")) S ^%QSERVER(\"ACTIVE\",$J,\"USER\")=\"de\"\"mo\"");
}
