#include "controls/HtmlMarkup.h"

#include <gtest/gtest.h>

using namespace html;

namespace {

// Pieces as "R[text]" for runs and "T[text]" for tags.
std::string Pieces(const std::string& text) {
    std::string out;
    for (const Piece& p : CutText(text))
        out += (p.kind == Piece::Run ? "R[" : "T[") + p.text + "]";
    return out;
}

Colour FakeSystemColour(int index) {
    return 0x100000u + static_cast<Colour>(index);
}

const ColourTable& Colours() {
    static const ColourTable table(FakeSystemColour);
    return table;
}

} // namespace

TEST(HtmlMarkup, TextIsCutIntoRunsAndTags) {
    const struct {
        const char* text;
        const char* pieces;
    } cases[] = {
        {"a <<b> c", "R[a <b> c]"},
        {"x<foo>y", "R[x]T[foo]R[y]"},
        {"a\r\nb", "R[a]T[]T[br]R[b]"},
        {"a\tb", "R[a]T[t]R[b]"},
        {"a<b", "R[a]T[b]"},
        {"<<", "R[<]"},
        {"<br=2><t=3>", "T[br=2]T[t=3]"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Pieces(c.text), c.pieces) << c.text;
}

TEST(HtmlMarkup, TagsAreReadWithTheirOwnValueFirst) {
    Tag br = ReadTag("BR=2");
    EXPECT_EQ(br.name, "br");
    EXPECT_EQ(br.info.code, kTagBreak);
    EXPECT_EQ(br.Value("br"), "2");

    Tag font = ReadTag(" font color=\"dark red\" size = 3 FACE=Arial");
    EXPECT_EQ(font.info.code, kTagFont);
    EXPECT_EQ(font.Value("color"), "dark red");
    EXPECT_EQ(font.Value("size"), "3");
    EXPECT_EQ(font.Value("face"), "Arial");
    EXPECT_FALSE(font.Has("bkgnd"));

    Tag closer = ReadTag("/EM");
    EXPECT_TRUE(closer.closing);
    EXPECT_EQ(closer.info.code, kTagItalic);
    EXPECT_STREQ(closer.info.stack, "italic");

    EXPECT_EQ(ReadTag("foo").info.code, kTagUnknown);
    EXPECT_EQ(ReadTag("").info.code, kTagUnknown);
    Tag unclosed = ReadTag("a href=\"x y");
    EXPECT_EQ(unclosed.Value("href"), "x y");
    // Tags without a stack name read the same with a leading "/".
    EXPECT_EQ(ReadTag("/br").info.code, kTagBreak);
    EXPECT_EQ(ReadTag("/br").info.stack, nullptr);
    EXPECT_STREQ(ReadTag("h3").info.stack, "h3");
}

TEST(HtmlMarkup, RepeatCountsStayWithinBounds) {
    const struct {
        const char* value;
        int count;
    } cases[] = {
        {"", 1}, {"0", 1}, {"-5", 1}, {"x", 1}, {"3", 3}, {"1000", 1000}, {"99999999999999", kMaxRepeat}};
    for (const auto& c : cases)
        EXPECT_EQ(RepeatCount(c.value), c.count) << c.value;
}

TEST(HtmlMarkup, ColourValues) {
    const Colour previous = Rgb(1, 2, 3);
    const struct {
        const char* value;
        Colour colour;
    } cases[] = {
        {"#ff9900", Rgb(0xFF, 0x99, 0x00)},
        {"#f90", previous},
        {"#ff99001", previous},
        {"#gg9900", previous},
        {"0x0000FF", Rgb(0xFF, 0, 0)},
        {"255", Rgb(0xFF, 0, 0)},
        {"010", 8},
        {"", previous},
        {"nosuchcolour", previous},
        {"red", Rgb(0xFF, 0, 0)},
        {"Lime", Rgb(0, 0xFF, 0)},
        {"brown", Rgb(0xA5, 0x2A, 0x2A)},
        {"gold", Rgb(0xFF, 0xD7, 0x00)},
        {"darkseagreen", Rgb(0x8F, 0xBC, 0x8B)},
        {"lightgrey", Rgb(0xD3, 0xD3, 0xD3)},
        {"yellowgreen", Rgb(0x9A, 0xCD, 0x32)},
        {"buttonface", FakeSystemColour(15)},
        {"threedface", FakeSystemColour(15)},
        {"infobackground", FakeSystemColour(24)},
        {"windowtext", FakeSystemColour(8)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadColour(c.value, previous, Colours()), c.colour) << c.value;
}

TEST(HtmlMarkup, EverySystemColourComesFromItsWindowsIndex) {
    for (const SystemColourName& s : kSystemColours) {
        Colour c = 0;
        ASSERT_TRUE(Colours().Find(s.name, c)) << s.name;
        EXPECT_EQ(c, FakeSystemColour(s.index)) << s.name;
    }
}

TEST(HtmlMarkup, LengthsInEveryUnit) {
    Units u;
    u.pixelsPerInch = 96;
    u.xHeight = 7;
    u.charHeight = 15;
    const struct {
        const char* value;
        int length;
    } cases[] = {
        {"10px", 10},  {"-13px", -13},
        {"+5px", 5},   {"-2em", 30}, // only pixels take the sign
        {"2ex", 14},   {"1in", 96},
        {"2cm", 75},   {"10mm", 37},
        {"12pt", 16},  {"1pc", 16},
        {"1.5em", 15}, {"150%", 30},
        {"3", 3},      {"0x10", 16},
        {"", 20},      {"abc", 20},
        {"px", 20},    {"99999999999999px", 1 << 20},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadLength(c.value, 20, u), c.length) << c.value;
}

TEST(HtmlMarkup, FontSizesTakeStepsBelowEight) {
    Units u; // 96 pixels per inch
    const struct {
        const char* value;
        int size;
    } cases[] = {{"1", 10},    {"3", 16},      {"7", 48},    {"8", 8},     {"12", 12},
                 {"10px", 10}, {"-13px", -13}, {"150%", 24}, {"10pt", 13}, {"", 16}};
    for (const auto& c : cases)
        EXPECT_EQ(ReadFontSize(c.value, 16, u), c.size) << c.value;
}

TEST(HtmlMarkup, TheDefaultSheetAndItsReplacement) {
    StyleSheet sheet;
    ASSERT_NE(sheet.Find("h2"), nullptr);
    EXPECT_NE(sheet.Find("h2")->find("#ff9900"), std::string::npos);
    EXPECT_NE(sheet.Find("a:hover"), nullptr);
    EXPECT_NE(sheet.Find(".cpp-comment"), nullptr);
    EXPECT_EQ(sheet.Find("hr"), nullptr);

    sheet.Set("P {color:red}\r\np {color:blue}\n.X{font-size:3}");
    EXPECT_EQ(sheet.Find("h2"), nullptr);
    ASSERT_NE(sheet.Find("p"), nullptr);
    EXPECT_EQ(*sheet.Find("p"), "color:blue");
    EXPECT_NE(sheet.Find(".x"), nullptr);
    EXPECT_EQ(sheet.Text(), "P {color:red}\r\np {color:blue}\n.X{font-size:3}");

    sheet.SetEntry("Body", "font-size:12px");
    EXPECT_EQ(*sheet.Find("body"), "font-size:12px");

    sheet.Set("");
    EXPECT_NE(sheet.Find("h2"), nullptr);
    EXPECT_EQ(sheet.Text(), StyleSheet::DefaultText());
    // An entry without its closing brace runs to the end.
    sheet.Set("td {color:red");
    EXPECT_EQ(*sheet.Find("td"), "color:red");
}

TEST(HtmlMarkup, PropertiesChangeTheStyle) {
    Units u;
    u.charHeight = 16;
    Style s;
    ApplyProperties(
        s,
        "font-weight:bolder; font-style:oblique; text-decoration:underline, overline; "
        "font-family:\"Courier New\"; color:#ff9900; background-color:#fbedbb; "
        "text-align:right; vertical-align:middle; text-transform:capitalize; border-style:double; "
        "border-width:8px; margin-left:1em; padding-bottom:3px; nonsense:1; border-color:red",
        Colours(), u);
    EXPECT_EQ(s.weight, 900);
    EXPECT_TRUE(s.italic);
    EXPECT_TRUE(s.underline);
    EXPECT_TRUE(s.overline);
    EXPECT_FALSE(s.strikeout);
    EXPECT_EQ(s.face, "Courier New");
    EXPECT_EQ(s.text, Rgb(0xFF, 0x99, 0));
    EXPECT_EQ(s.background, Rgb(0xFB, 0xED, 0xBB));
    EXPECT_EQ(s.backgroundMode, 2);
    EXPECT_EQ(s.align, 2);
    EXPECT_EQ(s.valign, 1);
    EXPECT_EQ(s.transform, 3);
    EXPECT_EQ(s.borderStyle, kPenDouble);
    EXPECT_EQ(s.borderWidth, 8);
    EXPECT_EQ(s.margin[0], 16);
    EXPECT_EQ(s.margin[1], 2);
    EXPECT_EQ(s.padding[3], 3);
    EXPECT_EQ(s.borderLight, Rgb(0xFF, 0, 0));
    EXPECT_EQ(s.borderDark, Rgb(0xFF, 0, 0));

    ApplyProperties(s,
                    "text-decoration:none; color:#f90; background-color:transparent; size:thin; "
                    "font-weight:lighter; font-style:normal; border-style:wavy",
                    Colours(), u);
    EXPECT_FALSE(s.underline || s.overline || s.strikeout || s.italic);
    EXPECT_EQ(s.text, Rgb(0xFF, 0x99, 0));
    EXPECT_EQ(s.backgroundMode, 1);
    EXPECT_EQ(s.borderWidth, 6);
    EXPECT_EQ(s.weight, 100);
    EXPECT_EQ(s.borderStyle, kPenDouble);

    ApplyProperties(
        s, "border-width:thick; font-weight:550; font-family:AVeryLongFaceNameThatGoesOnAndOnForever",
        Colours(), u);
    EXPECT_EQ(s.borderWidth, 7);
    EXPECT_EQ(s.weight, 550);
    EXPECT_EQ(s.face.size(), 31u);
}

TEST(HtmlMarkup, FontStyleLettersAndTransforms) {
    Style s;
    ApplyFontStyleLetters(s, "biuso");
    EXPECT_TRUE(s.weight == 700 && s.italic && s.underline && s.strikeout && s.overline);
    ApplyFontStyleLetters(s, "-b-i+u-so");
    EXPECT_EQ(s.weight, 400);
    EXPECT_FALSE(s.italic);
    EXPECT_TRUE(s.underline);
    EXPECT_FALSE(s.strikeout);
    EXPECT_TRUE(s.overline);

    EXPECT_EQ(Transform("hello  wide world", 3), "Hello  Wide World");
    EXPECT_EQ(Transform("Stra\xdf"
                        "e \xe4pfel",
                        1),
              "STRA\xdf"
              "E \xc4PFEL");
    EXPECT_EQ(Transform("\xc4Rger", 2), "\xe4rger");
    EXPECT_EQ(Transform("As Is", 0), "As Is");
}

TEST(HtmlMarkup, EffectsAndPictureDescriptions) {
    const struct {
        const char* value;
        int effect;
    } cases[] = {{"transparent", -1}, {"solid", 0}, {"VGRADIENT", 2}, {"3hgradient", 5}, {"noise", 7},
                 {"metal", 15},       {"4", 4},     {"", 9},          {"wobbly", 9}};
    for (const auto& c : cases)
        EXPECT_EQ(ReadEffect(c.value, 9), c.effect) << c.value;

    BackgroundPicture r = ReadBackgroundPicture("idres:514");
    EXPECT_EQ(r.kind, BackgroundPicture::Resource);
    EXPECT_EQ(r.number, 514u);
    BackgroundPicture f = ReadBackgroundPicture("file:\"C:\\a b.bmp\"");
    EXPECT_EQ(f.kind, BackgroundPicture::File);
    EXPECT_EQ(f.path, "C:\\a b.bmp");
    EXPECT_EQ(ReadBackgroundPicture("iddll:7").kind, BackgroundPicture::Module);
    EXPECT_EQ(ReadBackgroundPicture("idres").kind, BackgroundPicture::None);
    EXPECT_EQ(ReadBackgroundPicture("colour:7").kind, BackgroundPicture::None);

    Units u;
    Picture p = ReadPicture(
        ReadTag("ilst srcdll=x.dll iddll=0x10 index=3 cx=16 cy=2em mask=lime handle=0x1234567890"), Colours(),
        u);
    EXPECT_EQ(p.kind, kTagImageList);
    EXPECT_FALSE(p.hasIdres);
    EXPECT_TRUE(p.hasIddll);
    EXPECT_EQ(p.iddll, 16u);
    EXPECT_EQ(p.index, 3u);
    EXPECT_EQ(p.cx, 16);
    EXPECT_EQ(p.mask, Rgb(0, 0xFF, 0));
    EXPECT_EQ(p.handle, 0x1234567890u);
    EXPECT_EQ(ReadPicture(ReadTag("bmp idres=1"), Colours(), u).mask, Rgb(0xFF, 0, 0xFF));
}
