#include "frame/BarLogic.h"
#include "framework/ReBarSlide.h"

#include <gtest/gtest.h>

using namespace vorlan;

TEST(BarSlide, PositionsRiseFromStartToEndAndSlowDown) {
    fw::SlidePositions p = fw::ComputeSlidePositions(6, 206);
    EXPECT_EQ(p[0], 6);
    EXPECT_EQ(p[24], 206);
    for (int i = 1; i < fw::kSlideSteps; ++i)
        EXPECT_GE(p[i], p[i - 1]) << i;
    // A quarter sine: the first steps cover more ground than the last ones.
    EXPECT_GT(p[1] - p[0], p[24] - p[23]);
    // sin(0.1 + 12 * 3.6 degrees) of 200 pixels, cut.
    EXPECT_EQ(p[12], 6 + 137);
    fw::SlidePositions flat = fw::ComputeSlidePositions(6, 6);
    for (int v : flat)
        EXPECT_EQ(v, 6);
}

TEST(BarSlide, AReversedSlideGoesOnFromWhereItStands) {
    fw::SlidePositions show = fw::ComputeSlidePositions(6, 206);
    // Showing stopped at step 10 (its visible width show[10]): hiding starts there.
    fw::SlideRange back = fw::SlideRangeFor(true, 206, true, 10, show);
    EXPECT_EQ(back.start, 6);
    EXPECT_EQ(back.end, show[10]);
    fw::SlidePositions hide = fw::ComputeSlidePositions(back.start, back.end);
    EXPECT_EQ(fw::SlideVisibleWidth(hide, 0, true), show[10]);
    EXPECT_EQ(fw::SlideVisibleWidth(hide, 24, true), 6);

    // Hiding stopped at step 8: showing starts at the width it had reached.
    fw::SlidePositions hiding = fw::ComputeSlidePositions(6, 206);
    int visible = fw::SlideVisibleWidth(hiding, 8, true);
    fw::SlideRange again = fw::SlideRangeFor(false, 206, true, 8, hiding);
    EXPECT_EQ(again.start, visible);
    EXPECT_EQ(again.end, 206);

    // A finished slide (step past 24) or none starts over.
    fw::SlideRange fresh = fw::SlideRangeFor(true, 206, true, 25, show);
    EXPECT_EQ(fresh.start, 6);
    EXPECT_EQ(fresh.end, 206);
    fresh = fw::SlideRangeFor(false, 180, false, 3, show);
    EXPECT_EQ(fresh.end, 180);
}

namespace {
std::string Record(int mode, int large, int count, std::initializer_list<int> rows, size_t size = 44) {
    ToolBarRecord r;
    std::string s;
    for (int v : {mode, large, count})
        for (int i = 0; i < 4; ++i)
            s.push_back(static_cast<char>((static_cast<unsigned>(v) >> (8 * i)) & 0xFF));
    for (int row : rows)
        s.push_back(static_cast<char>(row));
    s.resize(size, '\0');
    return s;
}
} // namespace

TEST(BarRecords, ToolBarRecordIsCheckedBeforeUse) {
    ToolBarRecord r;
    ASSERT_TRUE(ParseToolBarRecord(Record(1, 0, 3, {1, 0, 14}), 15, r));
    EXPECT_EQ(r.textMode, 1);
    EXPECT_EQ(r.largeIcons, 0);
    EXPECT_EQ(r.rows, (std::vector<std::uint8_t>{1, 0, 14}));
    EXPECT_EQ(BuildToolBarRecord(r), Record(1, 0, 3, {1, 0, 14}));

    ToolBarRecord kept = r;
    struct {
        std::string bytes;
        const char* why;
    } bad[] = {
        {Record(0, 1, 2, {1, 2}, 43), "43 bytes"},
        {Record(0, 1, 2, {1, 2}, 45), "45 bytes"},
        {Record(0, 1, 33, {1, 2}), "count 33"},
        {Record(0, 1, -1, {}), "negative count"},
        {Record(0, 1, 2, {1, 15}), "row byte past the table"},
        {"", "empty"},
    };
    for (const auto& b : bad) {
        EXPECT_FALSE(ParseToolBarRecord(b.bytes, 15, r)) << b.why;
        EXPECT_EQ(r.rows, kept.rows) << b.why;
    }
    ASSERT_TRUE(ParseToolBarRecord(Record(2, 1, 32, {}), 15, r));
    EXPECT_EQ(r.rows.size(), 32u);

    ToolBarRecord many;
    many.rows.assign(40, 3);
    EXPECT_EQ(BuildToolBarRecord(many).size(), 44u);
    ASSERT_TRUE(ParseToolBarRecord(BuildToolBarRecord(many), 15, r));
    EXPECT_EQ(r.rows.size(), 32u);
}

TEST(BarRecords, BandRecordsNeedWholeRecordsAndKnownBands) {
    std::vector<BandRecord> in = {{2, 300, 0x41}, {0, 120, 0}, {1, 100, 0x08}};
    std::string bytes = BuildBandRecords(in);
    ASSERT_EQ(bytes.size(), 36u);
    std::vector<BandRecord> out;
    ASSERT_TRUE(ParseBandRecords(bytes, out));
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[0].id, 2);
    EXPECT_EQ(out[0].width, 300);
    EXPECT_EQ(out[2].style, 0x08u);

    EXPECT_FALSE(ParseBandRecords(bytes + "x", out)); // 37
    EXPECT_FALSE(ParseBandRecords(std::string(25, '\0'), out));
    EXPECT_FALSE(ParseBandRecords("", out));
    // A band the frame does not have is skipped, the others stay.
    ASSERT_TRUE(ParseBandRecords(BuildBandRecords({{7, 10, 0}, {1, 90, 0}, {-1, 5, 0}}), out));
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].id, 1);
}

TEST(BarRecords, WindowRecordRoundTripAndVanishedMonitors) {
    WindowRecord w{10, 20, 810, 620, 3, 1};
    WindowRecord back;
    ASSERT_TRUE(ParseWindowRecord(BuildWindowRecord(w), back));
    EXPECT_EQ(back.right, 810);
    EXPECT_EQ(back.state, 3);
    EXPECT_EQ(back.extra, 1);
    EXPECT_FALSE(ParseWindowRecord(BuildWindowRecord(w) + "\1", back));
    EXPECT_FALSE(ParseWindowRecord(std::string(23, '\0'), back));

    ScreenLimits one{1024, 768, 1024, 768};
    struct {
        WindowRecord in;
        int left, top;
    } cases[] = {
        {{100, 50, 900, 650}, 100, 50},      // on the screen: stays
        {{1200, 50, 1900, 650}, 176, 50},    // on a right monitor that is gone
        {{2300, 900, 2900, 1400}, 252, 132}, // two monitors away, and below
        {{-900, 50, -100, 650}, 124, 50},    // on a left monitor that is gone
        {{1000, 50, 1800, 650}, 1000, 50},   // reaching over the edge: stays
    };
    for (const auto& c : cases) {
        WindowRecord r = c.in;
        CorrectWindowRect(r, one);
        EXPECT_EQ(r.left, c.left) << c.in.left;
        EXPECT_EQ(r.top, c.top) << c.in.left;
        EXPECT_EQ(r.right - r.left, c.in.right - c.in.left);
    }
    // With the second monitor still there the window stays on it.
    WindowRecord r{1200, 50, 1900, 650};
    CorrectWindowRect(r, ScreenLimits{2048, 768, 1024, 768});
    EXPECT_EQ(r.left, 1200);
}

TEST(BarRecords, DesktopLinesQuoteEveryText) {
    DesktopLook look{0xFF8000, 0xFFFFFF, 9, "Tahoma \"Neu\"", "C:\\Bilder\\a\"b.bmp", 2};
    std::vector<std::string> lines = DesktopLookLines(false, look);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], "S ^[%SYS]Z(\"DESKTOP\",%USER,\"BGCOLOR\")=16744448");
    EXPECT_EQ(lines[3], "S ^[%SYS]Z(\"DESKTOP\",%USER,\"TEXTFONT\")=\"Tahoma \"\"Neu\"\"\"");
    EXPECT_EQ(lines[4], "S ^[%SYS]Z(\"DESKTOP\",%USER,\"IMAGE\")=\"C:\\Bilder\\a\"\"b.bmp\"");
    EXPECT_EQ(lines[5], "S ^[%SYS]Z(\"DESKTOP\",%USER,\"IMAGETYPE\")=2");
    EXPECT_EQ(DesktopLookLines(true, look)[2],
              "S ^[%SYS]Z(\"DESKTOP\",%USER,\"MANDANT\",%MI,\"TEXTSIZE\")=9");

    std::vector<std::string> icon = DesktopIconLines(2, {"Die \"Kasse\"", "KAS", "A\tB", 40, 72});
    ASSERT_EQ(icon.size(), 5u);
    EXPECT_EQ(icon[0], "S ^Z(\"DESKTOP\",%USER,\"ICONS\",2,\"TEXT\")=\"Die \"\"Kasse\"\"\"");
    EXPECT_EQ(icon[2], "S ^Z(\"DESKTOP\",%USER,\"ICONS\",2,\"PARA\")=\"A\"_$C(9)_\"B\"");
    EXPECT_EQ(icon[4], "S ^Z(\"DESKTOP\",%USER,\"ICONS\",2,\"POSY\")=72");
}
