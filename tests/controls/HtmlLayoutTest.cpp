#include "controls/HtmlLayout.h"
#include "tests/controls/HtmlFakeCanvas.h"

#include <gtest/gtest.h>

using namespace html;

namespace {

constexpr Colour kShadow = 0x808080;

// A label as the form makes it: 16-pixel body text, 8 pixels a character.
class HtmlLayoutTest : public ::testing::Test {
  protected:
    HtmlLayoutTest() : layout([](int index) { return index == 16 ? kShadow : Colour{0x010101}; }) {
        layout.SetStyleEntry("body", "font-size:16px; color:black; font-family:Verdana");
    }

    // Prepares and draws the text into a box of the given width at (0, 0); the prepared size.
    Size Lay(const std::string& text, int width = 0) {
        Size s = layout.Prepare(canvas, text);
        canvas.Clear();
        layout.Draw(canvas, Rect{0, 0, width > 0 ? width : s.cx, s.cy});
        return s;
    }

    int X(const std::string& run) const {
        const FakeCanvas::TextOut* t = canvas.Find(run);
        return t ? t->x : -1;
    }
    int Y(const std::string& run) const {
        const FakeCanvas::TextOut* t = canvas.Find(run);
        return t ? t->y : -1;
    }

    FakeCanvas canvas;
    Layout layout;
};

} // namespace

TEST_F(HtmlLayoutTest, PreparedSizeIsOneMoreThanTheText) {
    EXPECT_EQ(Lay("abc").cx, 25);
    EXPECT_EQ(Lay("abc").cy, 17);
    Size empty = layout.Prepare(canvas, "");
    EXPECT_EQ(empty.cx, 0);
    EXPECT_EQ(empty.cy, 0);
    // A text that takes no room is cleared and reported as 1 x 1.
    Size nothing = Lay("<b></b><foo>");
    EXPECT_EQ(nothing.cx, 1);
    EXPECT_EQ(nothing.cy, 1);
    EXPECT_EQ(layout.Text(), "");
    EXPECT_TRUE(canvas.texts.empty());
}

TEST_F(HtmlLayoutTest, LinesAlignWithinTheBox) {
    Lay("<center>abc", 100);
    EXPECT_EQ(X("abc"), 38);
    Lay("<right>a<br>b", 100);
    EXPECT_EQ(X("a"), 92);
    EXPECT_EQ(X("b"), 92);
    EXPECT_EQ(Y("b"), 16);
    // A line aligns by the alignment at its last run.
    Lay("ab<right>cd</right><br>ef", 100);
    EXPECT_EQ(X("ab"), 68);
    EXPECT_EQ(X("cd"), 84);
    EXPECT_EQ(X("ef"), 0);
}

TEST_F(HtmlLayoutTest, TabsAndBreaksAdvanceByTheirCounts) {
    const struct {
        const char* text;
        int x;
    } tabs[] = {{"a<t>b", 32}, {"abcd<t>b", 64}, {"a<t=3>b", 96}, {"a\tb", 32}, {"a</t>b", 32}};
    for (const auto& c : tabs) {
        Lay(c.text);
        EXPECT_EQ(X("b"), c.x) << c.text;
    }
    Size s = Lay("a<br=2>b");
    EXPECT_EQ(Y("b"), 32);
    EXPECT_EQ(s.cy, 49);
    Lay("a\r\nb");
    EXPECT_EQ(canvas.texts.size(), 2u);
    EXPECT_EQ(Y("b"), 16);
    // Counts from label text are bounded, and the positions stay sane.
    s = Lay("a<t=4000000000>b<br=99999999>c");
    EXPECT_EQ(X("b"), 1000 * 32);
    EXPECT_EQ(Y("c"), 1000 * 16);
    EXPECT_EQ(s.cy, 1001 * 16 + 1);
}

TEST_F(HtmlLayoutTest, ATextEndingInABreakClosesItsEmptyLastLine) {
    EXPECT_EQ(Lay("abc<br>").cy, 2 * 16 + 1);
    EXPECT_EQ(Lay("abc\n</b>").cy, 2 * 16 + 1) << "closing tags after the break change nothing";
    EXPECT_EQ(layout.Lines().size(), 2u);
    EXPECT_EQ(Lay("abc<br=2>").cy, 3 * 16 + 1);
    EXPECT_EQ(Lay("<br>").cy, 2 * 16 + 1);
    // Around a table no blank line is added; inside a cell the same rule holds.
    Size table = Lay("<table><tr><td>x</td></tr></table>");
    EXPECT_EQ(Lay("<table><tr><td>x</td></tr></table></b>").cy, table.cy);
    EXPECT_EQ(Lay("<table><tr><td>x<br></td></tr></table>").cy, table.cy + 16);
}

TEST_F(HtmlLayoutTest, ClosingTagsRestoreOnlyTheirOwnState) {
    Lay("<b>x<i>y</b>z</i>w</b>v<foo>u");
    ASSERT_EQ(canvas.texts.size(), 6u);
    EXPECT_EQ(canvas.Find("x")->font.weight, 800);
    EXPECT_TRUE(canvas.Find("y")->font.italic);
    EXPECT_EQ(canvas.Find("z")->font.weight, 800);
    EXPECT_TRUE(canvas.Find("z")->font.italic);
    EXPECT_EQ(canvas.Find("w")->font.weight, 800);
    EXPECT_FALSE(canvas.Find("w")->font.italic);
    EXPECT_EQ(canvas.Find("v")->font.weight, 400);
    EXPECT_EQ(X("u"), X("v") + 8);
    Lay("</b>x<em>y</i>z");
    EXPECT_EQ(canvas.Find("x")->font.weight, 400);
    EXPECT_FALSE(canvas.Find("z")->font.italic);
}

TEST_F(HtmlLayoutTest, StyledTagsUseTheSheet) {
    Lay("<h2>T</h2><span class=CPP-Comment>c</span><font color=red size=7 style=u>f</font>"
        "<sub>s</sub><font bkgnd=yellow>k</font>");
    EXPECT_EQ(canvas.Find("T")->colour, Rgb(0xFF, 0x99, 0));
    EXPECT_EQ(canvas.Find("T")->font.weight, 700);
    EXPECT_EQ(canvas.Find("c")->colour, Rgb(0, 0x80, 0));
    EXPECT_TRUE(canvas.Find("c")->font.italic);
    EXPECT_EQ(canvas.Find("f")->colour, Rgb(0xFF, 0, 0));
    EXPECT_EQ(canvas.Find("f")->font.fontHeight, 48);
    EXPECT_TRUE(canvas.Find("f")->font.underline);
    EXPECT_EQ(canvas.Find("s")->font.fontHeight, 10);
    EXPECT_TRUE(canvas.Find("k")->opaque);
    EXPECT_FALSE(canvas.Find("s")->opaque);
}

TEST_F(HtmlLayoutTest, RulesTakeAShareOfTheBox) {
    Lay("<hr width=50%>", 200);
    ASSERT_EQ(canvas.lines.size(), 1u);
    const FakeCanvas::LineOut& l = canvas.lines[0];
    EXPECT_EQ(l.x1, 0);
    EXPECT_EQ(l.x2, 100);
    // The line of a lone rule is its pen width plus 8 high; the rule lies at half of it.
    EXPECT_EQ(l.y1, 4);
    EXPECT_EQ(l.y2, 4);
    EXPECT_EQ(l.width, 1);

    Lay("a<hr width=30 size=3 color=navy>", 200);
    ASSERT_EQ(canvas.lines.size(), 1u);
    EXPECT_EQ(canvas.lines[0].x1, 8);
    EXPECT_EQ(canvas.lines[0].x2, 38);
    EXPECT_EQ(canvas.lines[0].width, 3);
    EXPECT_EQ(canvas.lines[0].colour, Rgb(0, 0, 0x80));
    EXPECT_EQ(canvas.lines[0].y1, 8);

    layout.SetStyleEntry("hr", "color:red; size:2px");
    Lay("<hr>", 40);
    EXPECT_EQ(canvas.lines[0].colour, Rgb(0xFF, 0, 0));
    EXPECT_EQ(canvas.lines[0].width, 2);
    EXPECT_EQ(canvas.lines[0].x2, 40);
}

TEST_F(HtmlLayoutTest, CellsSitInTheirColumns) {
    // Each cell needs its text plus its margins of 2.
    Size s = Lay("<table><tr><td>ab</td><td>c</td></tr></table>");
    EXPECT_EQ(s.cx, 20 + 12 + 1);
    EXPECT_EQ(s.cy, 20 + 1);
    EXPECT_EQ(X("ab"), 2);
    EXPECT_EQ(Y("ab"), 2);
    EXPECT_EQ(X("c"), 22);

    // Text around a table stacks above and below it.
    Lay("Status: <TABLE><TR><TD>x</TD></TR></TABLE>after");
    EXPECT_EQ(Y("x"), 18);
    EXPECT_EQ(Y("after"), 36);
}

TEST_F(HtmlLayoutTest, SpansWidenTheirColumnsEvenly) {
    // Columns of 25 and 12; the spanning cell needs 60: 23 more, 11 each and one to the first.
    Lay("<table><tr><td width=25>a</td><td>b</td></tr><tr><td colspan=2>abcdefg</td></tr></table>");
    EXPECT_EQ(X("b"), 37 + 2);
    // Row spans: the cell of the second row goes beside the spanning one.
    Lay("<table><tr><td rowspan=2>A</td><td>b</td></tr><tr><td>c</td><td>d</td></tr></table>");
    EXPECT_EQ(X("c"), 12 + 2);
    EXPECT_EQ(Y("c"), 20 + 2);
    EXPECT_EQ(X("d"), 24 + 2);
    // A row span past the last row is cut to the rows there are.
    Size s = Lay("<table><tr><td rowspan=50>A</td><td>b</td></tr></table>");
    EXPECT_EQ(s.cy, 21);
}

TEST_F(HtmlLayoutTest, ExcessWidthGoesToTheColumnsAndItsRemainderToTheFirst) {
    Lay("<table width=100><tr><td>a</td><td>b</td><td>c</td></tr></table>", 300);
    EXPECT_EQ(X("b"), 34 + 2);
    EXPECT_EQ(X("c"), 67 + 2);
    // A table narrower than the box moves by its alignment.
    Lay("<table align=right><tr><td>a</td></tr></table>", 100);
    EXPECT_EQ(X("a"), 88 + 2);
    // The table's alignment is its cells' too, unless they say otherwise.
    Lay("<table width=50% align=center><tr><td align=left>a</td><td>b</td></tr></table>", 200);
    EXPECT_EQ(X("a"), 50 + 2);
    EXPECT_EQ(X("b"), 100 + 2 + 19);
}

TEST_F(HtmlLayoutTest, ATableWithoutCellsDrawsItsFrameOnly) {
    for (const char* text :
         {"<table border=2 borderstyle=solid bgeffect=solid bgcolor=red></table>",
          "<table border=2 borderstyle=solid bgeffect=solid bgcolor=red><tr></tr><tr></table>",
          "<table border=2 borderstyle=solid bgeffect=solid bgcolor=red><td>x</td></table>"}) {
        Size s = Lay(text);
        EXPECT_EQ(s.cx, 5) << text;
        EXPECT_EQ(s.cy, 5) << text;
        ASSERT_EQ(canvas.fills.size(), 1u) << text;
        EXPECT_EQ(canvas.fills[0].start, Rgb(0xFF, 0, 0));
        ASSERT_EQ(canvas.rects.size(), 1u) << text;
        EXPECT_EQ(canvas.rects[0].width, 2);
        EXPECT_TRUE(canvas.texts.empty()) << text;
    }
}

TEST_F(HtmlLayoutTest, CellBoxesBordersAndEffects) {
    Lay("Status: <table border=1 cellpadding=2><tr><td bgeffect=solid bgcolor=lime>frei</td>"
        "<td bgeffect=solid bgcolor=yellow>belegt</td><td bgeffect=solid "
        "bgcolor=red>gesperrt</td></tr></table>");
    ASSERT_EQ(canvas.fills.size(), 3u);
    EXPECT_EQ(canvas.fills[0].start, Rgb(0, 0xFF, 0));
    EXPECT_EQ(canvas.fills[1].start, Rgb(0xFF, 0xFF, 0));
    EXPECT_EQ(canvas.fills[2].start, Rgb(0xFF, 0, 0));
    // Grid box inset by the padding; text inside by the margin too; the table's border of 1.
    EXPECT_EQ(canvas.fills[0].rect.left, 1 + 2);
    EXPECT_EQ(canvas.fills[0].rect.top, 16 + 1 + 2);
    EXPECT_EQ(X("frei"), 1 + 2 + 2);
    EXPECT_EQ(canvas.fills[1].rect.left, 1 + (32 + 8) + 2);

    // A double border insets the content by 3 and needs 6; a bordered cell by 1 and 2.
    Lay("<table><tr><td borderstyle=double>a</td><td borderstyle=dashed bordercolor=red>b</td></tr></table>");
    ASSERT_EQ(canvas.rects.size(), 2u);
    EXPECT_EQ(canvas.rects[0].pen, kPenDouble);
    EXPECT_EQ(canvas.rects[0].width, 1);
    EXPECT_EQ(X("a"), 3 + 2);
    EXPECT_EQ(X("b"), 18 + 1 + 2);
    EXPECT_EQ(canvas.rects[1].light, Rgb(0xFF, 0, 0));

    // Vertical alignment within a taller row; a run aligned to the bottom hangs its descent below.
    Lay("<table><tr><td>a<br>b<br>c</td><td valign=bottom>x</td><td valign=middle>y</td></tr></table>");
    EXPECT_EQ(Y("x"), 2 + 32 + 4);
    EXPECT_EQ(Y("y"), 2 + 16);
}

TEST_F(HtmlLayoutTest, NestedTablesAreLaidOutInTheirCells) {
    Lay("<table><tr><td>a<table><tr><td>b</td></tr></table>c</td><td>d</td></tr></table>");
    EXPECT_EQ(X("b"), 2 + 2);
    EXPECT_EQ(Y("b"), 2 + 16 + 2);
    EXPECT_EQ(Y("c"), 2 + 16 + 20);
    EXPECT_EQ(X("d"), 16 + 2);
}

TEST_F(HtmlLayoutTest, HugeSpansAndCountsStayBounded) {
    Size s = Lay(
        "<table><tr><td colspan=4000000000 rowspan=99999>a</td><td>b</td></tr><tr><td>c</td></tr></table>");
    EXPECT_GT(s.cx, 0);
    // The first cell takes every column there may be; the cells after it find none.
    EXPECT_NE(canvas.Find("a"), nullptr);
    EXPECT_EQ(canvas.Find("b"), nullptr);
    EXPECT_EQ(canvas.Find("c"), nullptr);

    std::string wide = "<table><tr>";
    for (int i = 0; i < 1005; ++i)
        wide += "<td>x</td>";
    Lay(wide + "</tr></table>");
    EXPECT_EQ(canvas.texts.size(), 1000u);

    std::string deep;
    for (int i = 0; i < 200; ++i)
        deep += "<table><tr><td>";
    s = Lay(deep + "x");
    EXPECT_TRUE(canvas.texts.empty());
    s = Lay("<table width=99999999999px><tr><td>x</td></tr></table>");
    EXPECT_LT(s.cx, 1 << 29);
}

TEST_F(HtmlLayoutTest, LinksHaveHotAreasAndDecisions) {
    Lay("<a msg=abc>xy</a> z <a fkey=f5>k</a><a>n</a><a href=\"http://a b\">h</a>");
    ASSERT_EQ(layout.HotAreas().size(), 4u);
    EXPECT_EQ(layout.HotAreas()[0].rect.left, 0);
    EXPECT_EQ(layout.HotAreas()[0].rect.right, 16);
    EXPECT_EQ(layout.HotAreas()[0].kind, kLinkMessage);
    EXPECT_EQ(layout.HitTest(15, 15), 0);
    EXPECT_EQ(layout.HitTest(16, 0), -1);
    EXPECT_EQ(canvas.Find("xy")->colour, Rgb(0, 0, 0xFF));
    EXPECT_FALSE(canvas.Find("xy")->font.underline);

    HoverResult h = layout.MouseOver(4, 4);
    EXPECT_TRUE(h.notify);
    EXPECT_EQ(h.link, 0);
    EXPECT_TRUE(h.hasText);
    EXPECT_EQ(h.text, "abc");
    EXPECT_TRUE(h.hand);
    h = layout.MouseOver(5, 5);
    EXPECT_FALSE(h.notify);
    EXPECT_TRUE(h.hand);

    // The hover style survives the next passes.
    Lay(layout.Text());
    EXPECT_TRUE(canvas.Find("xy")->font.underline);
    EXPECT_FALSE(canvas.Find("k")->font.underline);

    const int kX = X("k") + 1, nX = X("n") + 1, hX = X("h") + 1;
    h = layout.MouseOver(kX, 1);
    EXPECT_TRUE(h.notify);
    EXPECT_EQ(h.link, 1);
    EXPECT_EQ(h.text, "f5");
    // A link without a target is hovered but takes no hand and no click.
    h = layout.MouseOver(nX, 1);
    EXPECT_TRUE(h.notify);
    EXPECT_FALSE(h.hand);
    EXPECT_EQ(layout.Click(nX, 1).kind, kLinkNone);

    h = layout.MouseOver(300, 1);
    EXPECT_TRUE(h.notify);
    EXPECT_EQ(h.link, kNoLink);
    EXPECT_FALSE(h.hasText);
    EXPECT_FALSE(h.hand);
    EXPECT_FALSE(layout.MouseOver(300, 1).notify);

    ClickResult c = layout.Click(kX, 1);
    EXPECT_EQ(c.kind, kLinkKey);
    EXPECT_EQ(c.text, "f5");
    c = layout.Click(hX, 1);
    EXPECT_EQ(c.kind, kLinkHref);
    EXPECT_EQ(c.text, "http://a b");
    EXPECT_EQ(layout.Click(X(" z ") + 9, 1).kind, kLinkNone);

    // Disabled: every colour is the disabled colour, and links do not react.
    layout.SetEnabled(false);
    Lay(layout.Text());
    for (const auto& t : canvas.texts)
        EXPECT_EQ(t.colour, kShadow) << t.text;
    EXPECT_EQ(layout.Click(kX, 1).kind, kLinkNone);
    EXPECT_FALSE(layout.MouseOver(kX, 1).hand);
}

TEST_F(HtmlLayoutTest, PicturesAreSizedAndSkippedWhenMissing) {
    canvas.pictureSizes[1] = Size{20, 10};
    Size s = Lay("<bmp idres=9>a<bmp idres=1 style=s>b");
    EXPECT_EQ(X("a"), 0);
    EXPECT_EQ(X("b"), 8 + 20 + 4);
    EXPECT_EQ(s.cx, 8 + 24 + 8 + 1);
    ASSERT_EQ(canvas.pictures.size(), 1u);
    EXPECT_EQ(canvas.pictures[0].rect.Width(), 20);
    EXPECT_EQ(canvas.pictures[0].effects, "s");

    Lay("<bmp idres=1 width=50% height=40px>");
    ASSERT_EQ(canvas.pictures.size(), 1u);
    EXPECT_EQ(canvas.pictures[0].rect.Width(), 10);
    EXPECT_EQ(canvas.pictures[0].rect.Height(), 40);

    // Inside a link: a hot area of its own rectangle, and its hot style while hovered.
    Lay("<a fkey=f5><bmp idres=1 style=g hotstyle=l></a>");
    ASSERT_EQ(layout.HotAreas().size(), 1u);
    EXPECT_EQ(layout.HotAreas()[0].rect.Width(), 20);
    EXPECT_EQ(canvas.pictures[0].effects, "g");
    layout.MouseOver(1, layout.HotAreas()[0].rect.top + 1);
    Lay(layout.Text());
    EXPECT_EQ(canvas.pictures[0].effects, "l");
    layout.SetEnabled(false);
    Lay(layout.Text());
    EXPECT_TRUE(canvas.pictures[0].disabled);
}

TEST_F(HtmlLayoutTest, StringResourcesAreRuns) {
    canvas.strings[7] = "Hallo";
    Lay("<string idres=7>!<string idres=8><string iddll=7>");
    EXPECT_EQ(X("Hallo"), 0);
    EXPECT_EQ(X("!"), 40);
    EXPECT_EQ(canvas.texts.size(), 3u);
}

TEST(HtmlHandler, CommandLineOfTheRegisteredHandler) {
    const struct {
        const char* command;
        const char* text;
        const char* line;
    } cases[] = {
        {"\"C:\\Prog\\br.exe\" \"%1\"", "a b", "\"C:\\Prog\\br.exe\" \"a b\""},
        {"C:\\x.exe -url %1 -new", "a b", "C:\\x.exe -url \"a b\""},
        {"C:\\x.exe", "http://x", "C:\\x.exe \"http://x\""},
        {"x.exe %1", "say \"hi\"", "x.exe \"say \\\"hi\\\"\""},
        {"x.exe %1", "C:\\dir\\", "x.exe \"C:\\dir\\\\\""},
        {"\"%1\"", "x", ""},
        {"", "x", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HandlerCommandLine(c.command, c.text), c.line) << c.command;
}
