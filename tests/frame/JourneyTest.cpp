// A person's journeys through VORLAN.exe against the demo application: real keys and clicks
// through the program's own loops, checked by what the person sees and what the server got.
#include "tests/frame/JourneyFixture.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>

using demotrace::CountOf;
using demotrace::Has;
using demotrace::Joined;

namespace {

size_t IndexOf(const std::vector<std::string>& lines, const std::string& entry, size_t from = 0) {
    for (size_t i = from; i < lines.size(); ++i)
        if (lines[i] == entry) return i;
    return std::string::npos;
}

// A point where the window (or one of its children) can be seen and clicked, in another
// window's client coordinates; the caption first, as a person would click.
POINT VisiblePoint(HWND window, HWND in) {
    RECT r{};
    GetWindowRect(window, &r);
    int caption = GetSystemMetrics(SM_CYCAPTION);
    for (int y = r.top + caption / 2; y < r.bottom; y += caption)
        for (int x = r.left + 40; x < r.right - 4; x += 20) {
            HWND hit = WindowFromPoint(POINT{x, y});
            if (hit == window || IsChild(window, hit)) {
                POINT p{x, y};
                ScreenToClient(in, &p);
                return p;
            }
        }
    ADD_FAILURE() << "no part of the window can be seen";
    return POINT{0, 0};
}

} // namespace

class Journey : public JourneyFixture {
  protected:
    // The memo box of the main frame's bars: the combo box whose edit takes memo names.
    HWND MemoBox() const { return harness::FindDescendant(main, "ComboBox"); }
    // Opens a screen by typing its memo name into the memo box (Ctrl+M goes there).
    void OpenByMemo(const std::string& memo, const std::string& title) {
        person->Press("Ctrl+M");
        person->Type(memo + "\n");
        ASSERT_TRUE(WaitForTitle("VORLAN experience - " + title)) << fw::WindowText(main);
        person->Settle();
    }
    // The frame whose caption is the text, among the MDI client's children.
    HWND FrameTitled(const std::string& title) const {
        for (HWND h = GetWindow(Client(), GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
            if (fw::WindowText(h) == title) return h;
        return nullptr;
    }
};

// Typing into «Name» of ADR and switching to another screen and back, by Ctrl+F6, by a click
// on the other frame and by the window list: what was typed reaches the server before the
// other form becomes current, stays in the field, and the focus comes back into it.
TEST_F(Journey, AnAddressIsTypedCheckedFieldByFieldAndKeptAcrossFrameSwitches) {
    harness::WriteTextFile(dir + "script.txt", "");
    Start("ADR -u demo -p demo", "VORLAN experience - Adressen");
    HWND adr = ActiveFrame();
    ASSERT_NE(adr, nullptr);
    EXPECT_EQ(FocusedField(), 1) << "the new address begins with «Name»";

    // Field by field, each checked by the server as it is left.
    Trace();
    person->Type("Mustermann");
    person->Press("Tab");
    EXPECT_EQ(FocusedField(), 2);
    person->Type("Erika");
    person->Press("Return");
    EXPECT_EQ(FocusedField(), 3);
    person->Type("Berlin");
    person->Press("Down");
    EXPECT_EQ(FocusedField(), 4);
    person->Type("31.02.2020");
    person->Press("Tab");
    EXPECT_EQ(FocusedField(), 4) << "a date that does not exist is refused and keeps the field";
    std::vector<fw::ShownItem> shown = Shown();
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back().kind, "box");
    EXPECT_NE(shown.back().text.find("Geburtsdatum"), std::string::npos) << shown.back().text;
    person->Press("End");
    person->Press("Shift+Home");
    person->Type("1.2.1980");
    person->Press("Up");
    EXPECT_EQ(FocusedField(), 3);
    EXPECT_EQ(harness::TextOf(Field(4)), "01.02.1980") << "the server's form of the date";
    std::vector<std::string> lines = Trace();
    for (const char* entry : {"PR^QCC(1,\"Mustermann\")", "PR^QCC(2,\"Erika\")", "PR^QCC(3,\"Berlin\")",
                              "PR^QCC(4,\"31.02.2020\")", "PR^QCC(4,\"1.2.1980\")"})
        EXPECT_TRUE(Has(lines, entry)) << entry << Joined(lines);

    // A second screen, then back into «Name» to type without leaving it.
    OpenByMemo("KAS", "Kassen");
    HWND kas = ActiveFrame();
    ASSERT_NE(kas, adr);
    struct Switch {
        const char* how;
        std::function<void()> toKas, toAdr;
    };
    const Switch switches[] = {
        {"Ctrl+F6", [&] { person->Press("Ctrl+F6"); }, [&] { person->Press("Ctrl+F6"); }},
        {"a click on the frame", [&] { person->Click(Client(), VisiblePoint(kas, Client())); },
         [&] { person->Click(Client(), VisiblePoint(adr, Client())); }},
        // The window list at the end of the menu «Fenster»: 1 is the first frame opened.
        {"the window list",
         [&] {
             person->Press("Alt+F");
             person->Press("2");
         },
         [&] {
             person->Press("Alt+F");
             person->Press("1");
         }},
    };
    // Side by side, so that a click can reach either frame.
    person->Press("Alt+F");
    person->Press("N");
    std::string typed = "Musterfrau";
    person->Press("Ctrl+F6");
    ASSERT_EQ(ActiveFrame(), adr);
    for (const Switch& s : switches) {
        SCOPED_TRACE(s.how);
        ClickField(1);
        person->Press("End");
        person->Press("Shift+Home");
        person->Type(typed);
        Trace();
        s.toKas();
        ASSERT_EQ(ActiveFrame(), kas);
        lines = Trace();
        size_t saved = IndexOf(lines, "PR^QCC(1,\"" + typed + "\")");
        size_t other = IndexOf(lines, "VARLOAD^QCC(\"KAS\")");
        ASSERT_NE(saved, std::string::npos) << "«Name» went to the server" << Joined(lines);
        ASSERT_NE(other, std::string::npos) << Joined(lines);
        EXPECT_LT(saved, other) << "before the other form became current" << Joined(lines);
        EXPECT_NE(FocusedField(), 0) << "the focus is in a field of Kassen";

        s.toAdr();
        ASSERT_EQ(ActiveFrame(), adr);
        lines = Trace();
        EXPECT_EQ(harness::TextOf(Field(1)), typed) << "what was typed is still there";
        EXPECT_EQ(FocusedField(), 1) << "the focus is back in «Name»";
        EXPECT_EQ(CountOf(lines, "VARLOAD^QCC(\"ADR\")"), 1) << Joined(lines);
        EXPECT_EQ(CountOf(lines, "PR^QCC(1,\"" + typed + "\")"), 0)
            << "no exit the person did not make" << Joined(lines);
        person->Press("End");
        person->Type("x");
        EXPECT_EQ(harness::TextOf(Field(1)), typed + "x") << "typing goes on in the field";
        typed = typed == "Musterfrau" ? "Musterfrauen" : "Musterfrau";
    }

    // Saving stores the address and moves on to the page «Kommunikation».
    std::string before = Server("W $G(^ADR)");
    ClickField(1);
    person->Press("End");
    person->Press("Shift+Home");
    person->Type("Mustermann");
    person->Press("Ctrl+Return");
    std::string number = Server("W $G(^ADR)");
    ASSERT_NE(number, before) << "a new address was stored";
    EXPECT_EQ(Server("W $P($G(^ADR(" + number + ")),$C(167),1,4)"), "Mustermann\xA7"
                                                                    "Erika\xA7"
                                                                    "Berlin\xA7"
                                                                    "01.02.1980");

    // Back on the page «Adresse» (a click on its tab), Esc closes the screen after asking
    // whether to save the changes; no.
    HWND tabs = harness::FindDescendant(adr, WC_TABCONTROLA);
    ASSERT_NE(tabs, nullptr);
    person->Click(tabs, POINT{20, 10});
    EXPECT_NE(FocusedField(), 0) << "the page's form has the focus";
    harness::AddAnswer(dir, "box IDNO");
    size_t boxes = Shown().size();
    person->Press("Esc");
    EXPECT_FALSE(IsWindow(adr)) << "the address screen closed";
    shown = Shown();
    ASSERT_EQ(shown.size(), boxes + 1) << "closing asked first";
    EXPECT_EQ(shown[boxes].kind, "box");
    EXPECT_NE(shown[boxes].text.find("gespeichert"), std::string::npos) << shown[boxes].text;
    EXPECT_EQ(ActiveFrame(), kas);
}

// Screens open from the menu tree (Return on an entry, a double click on another), from the
// memo box (typed, and chosen from its drop-down list of recent names) and from an icon of the
// desktop.
TEST_F(Journey, ScreensOpenFromTheMenuTreeTheMemoBoxAndTheDesktop) {
    harness::WriteTextFile(dir + "script.txt", "");
    // The memo box keeps the names of earlier sessions in their places: this one starts afresh.
    demotrace::TraceReader(harness::DbServerPort()).Run("K ^Z(\"MEMOHIST\",\"demo\")");
    Start("-u demo -p demo", "VORLAN experience");
    HWND tree = harness::FindDescendant(main, WC_TREEVIEWA);
    ASSERT_NE(tree, nullptr);

    // The keyboard: Ctrl+B into the tree, Home to «Hauptmenü», Right to its first folder
    // «Stammdaten», Right opens it, Down to its first entry, Return opens that.
    person->Press("Ctrl+B");
    EXPECT_EQ(person->Focus(), tree);
    person->Press("Home");
    person->Press("Right");
    person->Press("Right");
    person->Press("Down");
    person->Press("Return");
    ASSERT_TRUE(WaitForTitle("VORLAN experience - Patientenakte")) << fw::WindowText(main);

    // The mouse: a double click on the second entry of the open folder (rows: Hauptmenü,
    // Stammdaten, Patienten, Kassen, ...).
    int row = static_cast<int>(SendMessageA(tree, TVM_GETITEMHEIGHT, 0, 0));
    ASSERT_GT(row, 0);
    person->DoubleClick(tree, POINT{80, 3 * row + row / 2});
    ASSERT_TRUE(WaitForTitle("VORLAN experience - Kassen")) << fw::WindowText(main);

    // Typed into the memo box.
    person->Press("Ctrl+M");
    person->Type("ADR\n");
    ASSERT_TRUE(WaitForTitle("VORLAN experience - Adressen")) << fw::WindowText(main);
    HWND adr = ActiveFrame();
    EXPECT_EQ(FocusedField(), 1) << "typing goes on in the new screen's first field "
                                 << harness::ClassOf(person->Focus()) << " " << GetDlgCtrlID(person->Focus());
    harness::AddAnswer(dir, "box IDNO");
    person->Press("Esc");
    ASSERT_FALSE(IsWindow(adr));

    // Chosen from the memo box's list: the names opened last, the newest first.
    HWND memo = MemoBox();
    ASSERT_NE(memo, nullptr);
    ASSERT_GE(SendMessageA(memo, CB_GETCOUNT, 0, 0), 3) << "the memo box lists the names";
    person->Choose(memo, 0);
    ASSERT_TRUE(WaitForTitle("VORLAN experience - Adressen")) << fw::WindowText(main);
    adr = ActiveFrame();
    harness::AddAnswer(dir, "box IDNO");
    person->Press("Esc");
    ASSERT_FALSE(IsWindow(adr));

    // The desktop (the frames' client area) shows its icons once no frame covers them: every
    // frame closed through «Fenster», then a double click on the first icon, "Patienten",
    // where the server keeps it.
    person->Press("Alt+F");
    person->Press("A");
    ASSERT_TRUE(harness::WaitUntil([&] { return ActiveFrame() == nullptr; }, 30000));
    int x = std::atoi(Server("W $G(^Z(\"DESKTOP\",\"demo\",\"ICONS\",1,\"POSX\"))").c_str());
    int y = std::atoi(Server("W $G(^Z(\"DESKTOP\",\"demo\",\"ICONS\",1,\"POSY\"))").c_str());
    person->DoubleClick(Client(), POINT{x + 16, y + 16});
    ASSERT_TRUE(WaitForTitle("VORLAN experience - Patientenakte")) << fw::WindowText(main);
}

// Sub-dialogs: SUB's F8 opens «Ortsauswahl», whose Ctrl+Return hands the place back; SAV's
// save opens «Nachfrage», whose Ctrl+Return lets SAV start over under its own title.
TEST_F(Journey, SubDialogsHandBackAndTheOpenersKeepTheirTitles) {
    harness::WriteTextFile(dir + "script.txt", "");
    Start("SUB -u demo -p demo", "VORLAN experience - Unterdialoge");
    HWND sub = ActiveFrame();
    std::string subTitle = fw::WindowText(sub);
    person->Press("F8");
    HWND modal = person->ActiveWindow();
    ASSERT_NE(modal, main) << "the sub-dialog is a window of its own";
    EXPECT_EQ(fw::WindowText(modal), "Ortsauswahl");
    person->Press("Ctrl+Return");
    EXPECT_FALSE(IsWindow(modal));
    EXPECT_EQ(person->ActiveWindow(), main);
    EXPECT_EQ(fw::WindowText(sub), subTitle);
    bool handedBack = false;
    for (int n = 1; n <= 8 && !handedBack; ++n)
        if (HWND f = Field(n)) handedBack = harness::TextOf(f) == "Hamburg";
    EXPECT_TRUE(handedBack) << "«Ort» took the place";

    OpenByMemo("SAV", "Speichern");
    HWND sav = ActiveFrame();
    EXPECT_EQ(fw::WindowText(sav), "Speichern");
    person->Type("Muster");
    person->Press("Tab");
    person->Press("Ctrl+Return");
    modal = person->ActiveWindow();
    ASSERT_NE(modal, main);
    EXPECT_EQ(fw::WindowText(modal), "Nachfrage");
    person->Press("Ctrl+Return");
    EXPECT_FALSE(IsWindow(modal));
    EXPECT_EQ(fw::WindowText(sav), "Speichern") << "the frame's own title after the chain";
    EXPECT_EQ(fw::WindowText(main), "VORLAN experience - Speichern");
    EXPECT_EQ(harness::TextOf(Field(1)), "") << "SAV starts over";
}

// A modal dialog's own keys, typed into the real dialog: the lock dialog lets only the same
// user back in; the user-group dialog of the menu editing takes letters in its group box only
// for a developer, upper-cased, umlauts as well.
TEST_F(Journey, ModalDialogsTakeTheirOwnKeys) {
    harness::WriteTextFile(dir + "script.txt", "dialog 348 wait:\ndialog 186 wait:\n");
    Start("-u entw -p entw", "VORLAN experience");

    // Locked: another user is refused (a message, the dialog stays), the same one unlocks.
    person->Press("Alt+E");
    person->Press("S");
    HWND lock = person->ActiveWindow();
    ASSERT_NE(lock, main) << "the lock dialog is up";
    size_t boxes = Shown().size();
    person->Type("demo\tdemo\n");
    ASSERT_TRUE(IsWindow(lock)) << "another user does not unlock";
    ASSERT_EQ(Shown().size(), boxes + 1) << "and is told so";
    EXPECT_EQ(Server("W $G(^ZJOURNEY(\"x\"))"), "");
    HWND user = GetDlgItem(lock, 1010), password = GetDlgItem(lock, 1009);
    person->Click(user);
    person->Press("End");
    person->Press("Shift+Home");
    person->Type("entw");
    person->Click(password);
    person->Press("End");
    person->Press("Shift+Home");
    person->Type("entw\n");
    EXPECT_FALSE(IsWindow(lock)) << "the same user unlocks";
    EXPECT_EQ(person->ActiveWindow(), main);

    // The group box: letters go in upper-cased for a developer (group 999).
    person->Press("Alt+E");
    person->Press("M");
    HWND groups = person->ActiveWindow();
    ASSERT_NE(groups, main) << "the user-group dialog is up";
    HWND box = GetDlgItem(groups, 1043);
    ASSERT_NE(box, nullptr);
    person->Click(box, POINT{8, 8});
    person->Press("End");
    person->Press("Shift+Home");
    person->Type("ab\xE4\xF6"
                 "1");
    EXPECT_EQ(harness::TextOf(box), "AB\xC4\xD6"
                                    "1")
        << "an umlaut is a letter too";
    person->Press("Esc");
    EXPECT_FALSE(IsWindow(groups));
}

// LST's popup list: "B" and Tab offer the towns; the arrows and Return take one; Esc closes
// the list and keeps the screen.
TEST_F(Journey, APopupListIsChosenFromWithKeysAndEscClosesOnlyTheList) {
    harness::WriteTextFile(dir + "script.txt", "");
    Start("LST -u demo -p demo", "VORLAN experience - Listen");
    HWND lst = ActiveFrame();
    EXPECT_EQ(FocusedField(), 1);
    Trace();
    person->Type("B");
    person->Press("Tab");
    HWND list = ShownWindow("#32770");
    ASSERT_NE(list, nullptr) << "the towns are offered";
    // The list shows the row chosen last time selected: Home goes to the first.
    person->Press("Home");
    person->Press("Down");
    person->Press("Return");
    EXPECT_EQ(ShownWindow("#32770"), nullptr) << "the list went with the choice";
    std::vector<std::string> lines = Trace();
    EXPECT_TRUE(Has(lines, "WAHL^QLST(\"Hamburg\")")) << "the second town" << Joined(lines);
    EXPECT_NE(FocusedField(), 0);

    ClickField(1);
    person->Press("End");
    person->Press("Shift+Home");
    person->Type("B");
    person->Press("Tab");
    ASSERT_NE(ShownWindow("#32770"), nullptr);
    person->Press("Esc");
    EXPECT_EQ(ShownWindow("#32770"), nullptr) << "Esc closed the list";
    EXPECT_TRUE(IsWindow(lst)) << "and kept the screen";
    EXPECT_EQ(ActiveFrame(), lst);
}

// The frame's keys: F10 and Alt alone enter the menu bar, the arrows go across it; Ctrl+B
// takes the focus to the menu tree.
TEST_F(Journey, TheFramesKeysReachTheMenuBarAndTheMenuTree) {
    harness::WriteTextFile(dir + "script.txt", "");
    Start("-u demo -p demo", "VORLAN experience");
    HWND tree = harness::FindDescendant(main, WC_TREEVIEWA);
    for (const char* key : {"F10", "Alt"}) {
        SCOPED_TRACE(key);
        person->Press("Ctrl+B");
        ASSERT_EQ(person->Focus(), tree);
        person->Press(key);
        HWND bar = person->Focus();
        ASSERT_NE(bar, tree) << "the menu bar took the keys";
        EXPECT_EQ(harness::ClassOf(bar), TOOLBARCLASSNAMEA);
        int first = static_cast<int>(SendMessageA(bar, TB_GETHOTITEM, 0, 0));
        EXPECT_EQ(first, 0) << "«Datei» first";
        person->Press("Right");
        EXPECT_EQ(SendMessageA(bar, TB_GETHOTITEM, 0, 0), 1) << "then «Bearbeiten»";
        person->Press("Left");
        person->Press("Left");
        EXPECT_EQ(SendMessageA(bar, TB_GETHOTITEM, 0, 0), SendMessageA(bar, TB_BUTTONCOUNT, 0, 0) - 1)
            << "round to the last";
        person->Press("Esc");
        EXPECT_NE(person->Focus(), bar) << "Esc left the bar";
    }
}

// AKT's record explorer: Esc closes the screen from the explorer's tree and from its list, as
// it does from any field.
TEST_F(Journey, TheRecordScreenClosesByEscFromItsTreeAndItsList) {
    harness::WriteTextFile(dir + "script.txt", "");
    Start("AKT -u demo -p demo", "VORLAN experience - Patientenakte");
    HWND akt = ActiveFrame();
    ASSERT_NE(akt, nullptr);
    HWND tree = harness::FindDescendant(akt, WC_TREEVIEWA);
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(person->Focus(), tree) << "the screen opens with the focus in the tree "
                                     << harness::ClassOf(person->Focus());
    person->Press("Esc");
    EXPECT_FALSE(IsWindow(akt)) << "Esc in the tree";

    // The list shows once a folder is chosen in the tree: Befunde, opened, and Bilder on top.
    OpenByMemo("AKT", "Patientenakte");
    akt = ActiveFrame();
    HWND list = harness::FindDescendant(akt, WC_LISTVIEWA);
    ASSERT_NE(list, nullptr);
    person->Press("Down");
    person->Press("Right");
    person->Press("Down");
    ASSERT_TRUE(IsWindowVisible(list)) << "the folder's list is shown";
    // Near its top left corner: the frame is larger than the main window shows.
    person->Click(list, POINT{12, 12});
    EXPECT_EQ(person->Focus(), list);
    person->Press("Esc");
    EXPECT_FALSE(IsWindow(akt)) << "Esc in the list";
}
