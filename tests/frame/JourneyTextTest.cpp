// A person writes a letter in TXT's text box «Brief»: a text module from the list that "#"
// opens, chosen with the keys, and Tab from placeholder to placeholder.
#include "tests/frame/JourneyFixture.h"

using demotrace::Has;
using demotrace::Joined;

namespace {

const std::string kRegards = "Mit freundlichen Gr\xFC\xDF"
                             "en";

} // namespace

class JourneyText : public JourneyFixture {
  protected:
    static DWORD SelStart(HWND edit) { return LOWORD(SendMessageA(edit, EM_GETSEL, 0, 0)); }
    static DWORD SelEnd(HWND edit) { return HIWORD(SendMessageA(edit, EM_GETSEL, 0, 0)); }
};

TEST_F(JourneyText, ATextModuleIsChosenWithTheKeysAndTabGoesToThePlaceholders) {
    harness::WriteTextFile(dir + "script.txt", "");
    Start("TXT -u demo -p demo", "VORLAN experience - Texte");
    HWND box = Field(4);
    ASSERT_NE(box, nullptr);
    ClickField(4);
    ASSERT_EQ(FocusedField(), 4) << "the click went into «Brief»";

    // At the end of the letter, on a new line: "#" and a pause open the list of modules.
    person->Press("Ctrl+End");
    person->Press("Return");
    Trace();
    person->Type("#");
    HWND list = nullptr;
    ASSERT_TRUE(harness::WaitUntil([&] { return (list = ShownWindow("ListBox")) != nullptr; }, 30000))
        << "the list of text modules opened";
    ASSERT_TRUE(person->Settle());
    EXPECT_EQ(person->Focus(), list) << "the keys go to the list";
    EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 0) << "the first module chosen";
    person->Press("Down");
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 1);
    person->Press("Return");
    EXPECT_FALSE(IsWindow(list)) << "the list went with the choice";
    EXPECT_EQ(person->Focus(), box) << "typing goes on in the letter";
    std::vector<std::string> lines = Trace();
    EXPECT_TRUE(Has(lines, "TAB^QTXT(\"#\")")) << Joined(lines);
    EXPECT_TRUE(Has(lines, "ERS^QTXT(\"#mfg\")")) << Joined(lines);
    std::string text = harness::TextOf(box);
    size_t at = text.rfind("\r\n" + kRegards + " ");
    ASSERT_NE(at, std::string::npos) << "the module's text is in the letter: " << text;
    EXPECT_EQ(at + 2 + kRegards.size() + 1, text.size()) << "at its end";
    EXPECT_EQ(SelEnd(box), text.size()) << "the caret behind it";
    person->Type("x");
    EXPECT_EQ(harness::TextOf(box), text + "x") << "typing goes on behind the module";
    person->Press("Back");

    // Tab from the top: the first placeholder is asked for and filled, the caret behind its
    // value; the next Tab goes on to the next placeholder.
    person->Press("Ctrl+Home");
    person->Press("Tab");
    EXPECT_EQ(FocusedField(), 4) << "Tab stays in the letter";
    lines = Trace();
    EXPECT_TRUE(Has(lines, "SUCH^QTXT(\"Anrede\")")) << Joined(lines);
    text = harness::TextOf(box);
    EXPECT_EQ(text.substr(0, 25), "Sehr geehrter Herr @Name,") << text;
    EXPECT_EQ(SelStart(box), 18u);
    EXPECT_EQ(SelEnd(box), 18u) << "the caret behind the value";
    person->Press("Tab");
    lines = Trace();
    EXPECT_TRUE(Has(lines, "SUCH^QTXT(\"Name\")")) << Joined(lines);
    EXPECT_EQ(harness::TextOf(box).substr(0, 26), "Sehr geehrter Herr M\xFCller,");
    EXPECT_EQ(SelEnd(box), 25u);
    EXPECT_EQ(FocusedField(), 4);

    // A placeholder whose name begins with an umlaut is searched by its whole name.
    person->Press("Ctrl+End");
    person->Press("Return");
    person->Type("@\xC4rztin");
    person->Press("Home");
    Trace();
    size_t boxes = Shown().size();
    person->Press("Tab");
    lines = Trace();
    EXPECT_TRUE(Has(lines, "SUCH^QTXT(\"\xC4rztin\")")) << Joined(lines);
    EXPECT_EQ(Shown().size(), boxes) << "nothing refused";
    const std::string value = "Frau Dr. \xD6zdemir";
    text = harness::TextOf(box);
    ASSERT_GE(text.size(), value.size());
    EXPECT_EQ(text.substr(text.size() - value.size()), value) << text;
}
