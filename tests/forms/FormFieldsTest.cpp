// The rules of a form's decoration, refresh and field commands without windows: positions
// of comments, labels and pictures, group-box slots, %MAK1 lists, enabling by lock lists,
// stretching with the frame, and the lines of searches, drop buttons and list choices.
#include "forms/FormDecor.h"
#include "forms/FormFieldLogic.h"
#include "forms/FormGeometry.h"

#include <gtest/gtest.h>

#include <string>

using namespace vorlan;

namespace {

const std::string S = "\xA7";

std::string R(const Rect& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

} // namespace

TEST(FormDecor, PositionsFollowTheCellRuleInBothModes) {
    struct Case {
        int column, row, width, lines, mode;
        const char* rect;
        bool raises;
    } cases[] = {
        {2, 5, 10, 1, 0, "14,8,91,27", true},  // width 10 becomes 11 cells; row 5 is the top row
        {2, 7, 1, 1, 0, "14,48,35,67", true},  // width 1 becomes 3
        {0, 3, 0, 1, 0, "0,8,0,27", false},    // width 0 stays 0 and widens nothing
        {1, 5, 2, 2, 1, "7,0,28,39", true},    // mode 1: no 12 in the first row
        {1, 6, 2, 1, 1, "7,32,28,51", true},   // mode 1: 12 below it
        {3, 9, 4, 3, 0, "21,88,56,147", true}, // several lines
    };
    for (const Case& c : cases) {
        Position p = GetPosition(c.column, c.row, c.width, c.lines, c.mode, 7, 20);
        EXPECT_EQ(R(p.rect), c.rect) << c.column << "/" << c.row << "/" << c.width << " mode " << c.mode;
        EXPECT_EQ(p.raises, c.raises);
    }
    // The record form reads pieces 1-3, at most 15 characters each, letters as 0.
    EXPECT_EQ(R(GetPosition("2" + S + "7" + S + "1" + S + "Text", 0, 7, 20).rect), "14,48,35,67");
    EXPECT_EQ(R(GetPosition("x" + S + S, 0, 7, 20).rect), "0,8,0,27");
    EXPECT_EQ(R(GetPosition("99999999999999999999" + S + "9999999999999999" + S + "3", 0, 7, 20).rect),
              R(GetPosition("999999999999999" + S + "999999999999999" + S + "3", 0, 7, 20).rect))
        << "long numbers are read as their first 15 characters";
}

TEST(FormDecor, CommentsOpenAndCloseGroupBoxesOnlyInNamedSlots) {
    EXPECT_EQ(GroupBoxSlot('0'), 0);
    EXPECT_EQ(GroupBoxSlot('9'), 9);
    EXPECT_EQ(GroupBoxSlot('A'), 10);
    EXPECT_EQ(GroupBoxSlot('Z'), 35);
    for (char c : {'a', '-', ' ', '[', '\0', '\xA7'})
        EXPECT_EQ(GroupBoxSlot(c), -1) << int(c);

    CommentEntry open = ParseComment("1" + S + "10" + S + "0" + S + "[1Innen", 7, 20);
    EXPECT_EQ(open.kind, CommentEntry::OpenBox);
    EXPECT_EQ(open.slot, 1);
    EXPECT_EQ(open.text, "Innen");
    EXPECT_EQ(open.ruleTop, 5 * 20 + 8);
    EXPECT_EQ(R(open.rect), "7,110,7,112") << "2 pixels down, its bottom the rule's top + 4";

    CommentEntry close = ParseComment("40" + S + "14" + S + "0" + S + "]1", 7, 20);
    EXPECT_EQ(close.kind, CommentEntry::CloseBox);
    Corner corner = ClosingCorner(close);
    EXPECT_EQ(corner.x, 40 * 7 + 6);
    EXPECT_EQ(corner.y, 9 * 20 + 8 + 12);

    EXPECT_EQ(ParseComment("1" + S + "5" + S + "0" + S + "[Zletzter", 7, 20).slot, 35);
    for (const char* text : {"[a", "]-", "[", "]"})
        EXPECT_EQ(ParseComment("1" + S + "5" + S + "0" + S + text, 7, 20).kind, CommentEntry::Nothing)
            << text;
    CommentEntry plain = ParseComment("2" + S + "3" + S + "4" + S + "Hinweis" + S + "mehr", 7, 20);
    EXPECT_EQ(plain.kind, CommentEntry::Text);
    EXPECT_EQ(plain.text, "Hinweis");
    EXPECT_TRUE(plain.raises);
}

TEST(FormDecor, PicturesTakeTheirCellsFromTheSlashPieces) {
    std::string record = "48" + S + "6" + S + "0" + S + "BILDLAY/20/3";
    EXPECT_TRUE(IsPictureRecord(record));
    Position p = PictureRect(record, 7, 20);
    EXPECT_EQ(R(p.rect), "336,28,483,87") << "20 cells become 21; 3 rows";
    EXPECT_TRUE(p.raises);
    Position none = PictureRect("1" + S + "5" + S + "0" + S + "BILD", 7, 20);
    EXPECT_FALSE(none.raises) << "no width: placed, but the layout stays";
    EXPECT_FALSE(IsPictureRecord("1" + S + "5" + S + "0" + S + "BIL"));
    EXPECT_FALSE(IsPictureRecord("1" + S + "5" + S + "0" + S + "W \"BILD\""));
}

TEST(FormDecor, GroupLinesQuoteTheDescription) {
    EXPECT_EQ(TextLine("LAY", "WZ", 3), "W $$TEXT^QCC(\"LAY\",\"WZ\",3)");
    EXPECT_EQ(IndiLine("A\"B", 2), "W $$INDI^QCC(\"A\"\"B\",2)");
}

TEST(FormFields, RefreshListsNameFieldsBelow64) {
    RefreshList all = ParseRefreshList("");
    EXPECT_TRUE(all.Refreshes(1));
    EXPECT_TRUE(all.Refreshes(200));
    RefreshList some = ParseRefreshList("3,5");
    for (int i = 1; i < 70; ++i)
        EXPECT_EQ(some.Refreshes(i), i == 3 || i == 5) << i;
    RefreshList high = ParseRefreshList("70");
    for (int i = 1; i < 100; ++i)
        EXPECT_FALSE(high.Refreshes(i)) << i;
    RefreshList odd = ParseRefreshList("x,,2,-4,63,64,99999999999999999999");
    for (int i = 1; i < 100; ++i)
        EXPECT_EQ(odd.Refreshes(i), i == 2 || i == 63) << i;
}

TEST(FormFields, EnableRuleFollowsLocksFocusAndOrder) {
    // Pieces: fields 1-4, then the grid.
    struct Case {
        const char* locks;
        int focus;
        bool freeOrder, formEnabled;
        const char* controls; // fields 1-4
        const char* labels;
        int newFocus;
        bool grid;
    } cases[] = {
        {"0\xA7"
         "0\xA7"
         "0\xA7"
         "0\xA7"
         "0\xA7",
         2, false, true, "1100", "1111", 2, true},
        {"0\xA7"
         "0\xA7"
         "0\xA7"
         "0\xA7"
         "0\xA7",
         2, true, true, "1111", "1111", 2, true}, // free order
        {"1\xA7"
         "1\xA7"
         "0\xA7"
         "0\xA7"
         "1\xA7",
         1, false, true, "0010", "0011", 3, false}, // moved forward
        {"1\xA7"
         "1\xA7"
         "1\xA7"
         "1\xA7",
         1, false, true, "0000", "0000", 5, false}, // past the end
        {"0\xA7"
         "1\xA7"
         "0\xA7"
         "0\xA7"
         "0\xA7",
         2, false, true, "1000", "1011", 2, true}, // open one in front: stays
        {"0\xA7"
         "0\xA7"
         "0\xA7"
         "0\xA7",
         4, false, false, "0000", "0000", 4, false}, // form disabled
        {"0\xA7"
         "0\xA7"
         "0\xA7"
         "0\xA7",
         4, true, false, "1111", "1111", 4, false},     // free order ignores it
        {"", 1, false, true, "0000", "0000", 5, false}, // no answer: all locked
    };
    for (const Case& c : cases) {
        EnableState s = EnableRule(c.locks, 4, c.focus, c.freeOrder, c.formEnabled);
        std::string controls, labels;
        for (int i = 1; i <= 4; ++i) {
            controls += s.control[static_cast<size_t>(i)] ? '1' : '0';
            labels += s.label[static_cast<size_t>(i)] ? '1' : '0';
        }
        EXPECT_EQ(controls, c.controls) << c.locks << " focus " << c.focus;
        EXPECT_EQ(labels, c.labels) << c.locks << " focus " << c.focus;
        EXPECT_EQ(s.focus, c.newFocus) << c.locks;
        EXPECT_EQ(s.grid, c.grid) << c.locks;
    }
}

TEST(FormFields, StretchingKeepsTheControlsOwnLeftAndTopEdge) {
    PixelRect out{};
    // Layout 500 x 270; the control touches the right and bottom edge.
    ASSERT_TRUE(StretchRect({98, 208, 500, 270}, 500, 270, {98, 208, 500, 270}, 700, 400, out));
    EXPECT_EQ(out, (PixelRect{98, 208, 700, 400}));
    // Touches only the bottom: keeps its width.
    ASSERT_TRUE(StretchRect({98, 208, 300, 270}, 500, 270, {98, 208, 300, 270}, 700, 400, out));
    EXPECT_EQ(out, (PixelRect{98, 208, 300, 400}));
    // Inside: stays.
    EXPECT_FALSE(StretchRect({98, 100, 300, 180}, 500, 270, {98, 100, 300, 180}, 700, 400, out));
    // A frame smaller than the control's corner never turns it inside out.
    ASSERT_TRUE(StretchRect({98, 208, 500, 270}, 500, 270, {98, 208, 500, 270}, 50, 100, out));
    EXPECT_GT(out.right, out.left);
    EXPECT_GT(out.bottom, out.top);

    EXPECT_EQ(MinSize({}).cx, 10);
    PixelSize size = MinSize({{{10, 10, 200, 40}, false}, {{98, 208, 500, 270}, true}});
    EXPECT_EQ(size.cx, 200 + 10) << "the stretchable one counts with left + 10 only";
    EXPECT_EQ(size.cy, 208 + 10 + 10);

    PixelRect proposed{0, 0, 600, 400};
    EXPECT_TRUE(NarrowForGrid(proposed, 300, 450));
    EXPECT_EQ(proposed.right, 450);
    PixelRect wide{0, 0, 600, 400};
    EXPECT_FALSE(NarrowForGrid(wide, 800, 450)) << "columns wider than the grid leave the size";
    EXPECT_EQ(wide.right, 600);
}

TEST(FormFields, PopupListsGoBelowTheFieldAndStayOnScreen) {
    PixelRect screen{0, 0, 800, 600};
    EXPECT_EQ(PlacePopupList({100, 100, 300, 120}, {200, 150}, screen), (PixelRect{100, 120, 300, 270}));
    EXPECT_EQ(PlacePopupList({100, 500, 300, 520}, {200, 150}, screen), (PixelRect{100, 350, 300, 500}))
        << "above the field when it does not fit below";
    EXPECT_EQ(PlacePopupList({700, 100, 790, 120}, {200, 150}, screen), (PixelRect{600, 120, 800, 270}));
    PixelRect r = PlacePopupList({10, 50, 30, 70}, {300, 900}, screen);
    EXPECT_GE(r.top, 0);
    EXPECT_GE(r.left, 0);
}

TEST(FormFields, SearchTakesTheWordAtTheCaret) {
    struct Case {
        const char* text;
        int caret;
        const char* word;
        int start, end;
    } cases[] = {
        {"Hallo Welt", 6, "Welt", 5, 10},
        {"Hallo Welt", 0, "Hallo", 0, 5},
        {"Hallo Welt", 5, "", 4, 5},
        {"a1b2-c", 0, "a1b2", 0, 4},
        {"abc", 3, "", 2, 3},
        {"abc", 99, "", 98, 99},
        {"", 0, "", 0, 0},
        {"x", -4, "x", 0, 1},
        {"M\xFCller, Hans", 0, "M\xFCller", 0, 6},  // the letters of code page 1252 are letters
        {"\xC4rzte \xD7 2", 0, "\xC4rzte", 0, 5},
        {"3\xD7" "4", 0, "3", 0, 1},                  // the multiplication sign is none
    };
    for (const Case& c : cases) {
        SearchWord w = SearchWordAt(c.text, c.caret);
        EXPECT_EQ(w.word, c.word) << c.text << " at " << c.caret;
        EXPECT_EQ(w.selStart, c.start) << c.text << " at " << c.caret;
        EXPECT_EQ(w.selEnd, c.end) << c.text << " at " << c.caret;
    }
}

TEST(FormFields, ListLinesPasteTextsOnlyQuoted) {
    EXPECT_EQ(TableLine(2, "Herr \"Dr.\""), "W $P($$TABLE^QCC(2,\"Herr \xFF"
                                            "Dr.\xFF\"),%DL,3)")
        << "quotes travel as 255 like every field value";
    EXPECT_EQ(TableLine(2, std::string(300, 'x')).size(), TableLine(2, std::string(255, 'x')).size());
    EXPECT_EQ(TabxLine("ANREDE", "Frau \"X\"\r"), "D TABX^QCC(\"ANREDE\",\"Frau \"\"X\"\"\"_$C(13))");
    EXPECT_EQ(KillTabLine("A\"),B"), "D KILL^QCC(\"A\"\"),B\")");
    EXPECT_EQ(TableChoiceText("\"Frau \"X\"\""), " Frau \"X\" ") << "only the quotes around it";
    EXPECT_EQ(TableChoiceText("Herr"), "Herr");
    EXPECT_EQ(TableChoiceText("Frau \"X\""), "Frau \"X\"") << "a quote that ends it alone stays";
    EXPECT_EQ(TableChoiceText("\""), "\"");
    EXPECT_EQ(ChosenRowLine(0), "S %ZZP=1 X:$G(%EXCR)'=\"\" %EXCR");
    EXPECT_EQ(ChosenTableRowLine(4), "S %TABZ=5");
    EXPECT_EQ(ScrollNodeLine("FLD", 2), "W $G(^QM(\"FLD\",0,\"SCROLL\",2))");
    EXPECT_EQ(SetDialogLine("F\"X"), "S %DN=\"F\"\"X\"");

    for (const char* ok : {"SUCH^QFLD", "^QFLD", "F1", "%A^%ZB"})
        EXPECT_TRUE(IsRoutineRef(ok)) << ok;
    for (const char* bad : {"", "SUCH^QFLD W 1", "K ^X", "A^", "1A", "X^Y^Z", "A\"B"})
        EXPECT_FALSE(IsRoutineRef(bad)) << bad;
}
