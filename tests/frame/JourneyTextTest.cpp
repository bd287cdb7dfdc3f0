// Journeys with German text: umlauts typed by a person through the program's own loops.
#include "tests/frame/JourneyFixture.h"

class JourneyText : public JourneyFixture {};

// The user-group dialog upper-cases a developer's letters in its group box; an umlaut is a
// letter too.
TEST_F(JourneyText, TheGroupBoxUpperCasesUmlauts) {
    harness::WriteTextFile(dir + "script.txt", "dialog 186 wait:\n");
    Start("-u entw -p entw", "VORLAN experience");
    person->Press("Alt+E");
    person->Press("M");
    HWND groups = person->ActiveWindow();
    ASSERT_NE(groups, main) << "the user-group dialog is up";
    HWND box = GetDlgItem(groups, 1043);
    ASSERT_NE(box, nullptr);
    person->Click(box, POINT{8, 8});
    person->Press("End");
    person->Press("Shift+Home");
    person->Type("\xE4x\xF6");
    EXPECT_EQ(harness::TextOf(box), "\xC4X\xD6");
    person->Press("Esc");
    EXPECT_FALSE(IsWindow(groups));
}
