#include "frame/FrameTimerLogic.h"

#include <gtest/gtest.h>

#include <string>

using namespace vorlan;

namespace {
const std::string S = "\xA7";
}

TEST(FrameTimerLogic, TimerListSplitsScreenAndCodeAndStopsAtTheFirstEmptyPiece) {
    std::string longCode(300, 'X');
    auto e = ParseTimerList("TIM" + S + "ADR*D X^Y(1)*2" + S + "VOR*" + longCode + S + S + "LATE");
    ASSERT_EQ(e.size(), 3u);
    EXPECT_EQ(e[0].screen, "TIM");
    EXPECT_FALSE(e[0].hasCode);
    EXPECT_EQ(e[1].screen, "ADR");
    EXPECT_EQ(e[1].code, "D X^Y(1)*2"); // split at the first "*" only
    EXPECT_EQ(e[2].code, longCode);     // code is never cut
    EXPECT_TRUE(ParseTimerList("").empty());
    EXPECT_TRUE(ParseTimerList(S + "TIM").empty());
    // A "*" with nothing after it is a plain tick.
    auto bare = ParseTimerList("TIM*");
    ASSERT_EQ(bare.size(), 1u);
    EXPECT_FALSE(bare[0].hasCode);

    auto mine = TimerEntriesFor("TIM" + S + "TIMB" + S + "TIM*S A=1", "TIM");
    ASSERT_EQ(mine.size(), 2u);
    EXPECT_EQ(mine[1].code, "S A=1");
}

TEST(FrameTimerLogic, TickLinesNeverPasteAScreenThatIsNoRoutineName) {
    EXPECT_EQ(TimerTickLine({"TIM", "", false}), "W $$TIMER^TIM()");
    EXPECT_EQ(TimerTickLine({"%Z9", "", false}), "W $$TIMER^%Z9()");
    EXPECT_EQ(TimerTickLine({"TIM", "$$A^B(\"x\")", true}), "W $$A^B(\"x\")");
    for (const std::string& bad :
         {std::string(), std::string("T M"), std::string("TIM() K ^X W 1"), std::string("9A"),
          std::string("A%"), std::string("T\""), std::string(32, 'A')})
        EXPECT_EQ(TimerTickLine({bad, "", false}), "") << bad;
    EXPECT_TRUE(IsRoutineName(std::string(31, 'A')));
}

TEST(FrameTimerLogic, PositionLinesQuoteTheScreen) {
    EXPECT_EQ(WindowPositionLine("TIM", true),
              "S:$G(%WIN(\"WORKSTATION\"))=\"\" %WIN(\"WORKSTATION\")=\"ALL\" "
              "W $G(^Z(\"WINPOS\",%WIN(\"WORKSTATION\"),%USER,\"TIM\"))");
    EXPECT_EQ(WindowPositionLine("A\"B", false),
              "S:$G(%WIN(\"WORKSTATION\"))=\"\" %WIN(\"WORKSTATION\")=\"ALL\" "
              "W $G(^Z(\"WINPOS\",%WIN(\"WORKSTATION\"),\"A\"\"B\"))");
    EXPECT_EQ(SaveWindowPositionLine("X\")) K ^Z W (\"", -5, 12),
              "S:$G(%WIN(\"WORKSTATION\"))=\"\" %WIN(\"WORKSTATION\")=\"ALL\" "
              "S $P(^Z(\"WINPOS\",%WIN(\"WORKSTATION\"),%USER,\"X\"\")) K ^Z W (\"\"\"),%DL,1,2)=-5_%DL_12");
}

TEST(FrameTimerLogic, PositionRecordReadsWhatItCanAndStaysInRange) {
    WindowPosition p = ParseWindowPosition("10" + S + "20" + S + "300" + S + "200" + S + "1");
    EXPECT_EQ(p.left, 10);
    EXPECT_EQ(p.top, 20);
    EXPECT_EQ(p.width, 300);
    EXPECT_EQ(p.height, 200);
    EXPECT_TRUE(p.maximise);

    WindowPosition bad =
        ParseWindowPosition("abc" + S + "99999999999999999999" + S + "-99999999999" + S + S + "x");
    EXPECT_EQ(bad.left, 0);
    EXPECT_GT(bad.top, 0);
    EXPECT_LT(bad.width, 0);
    EXPECT_EQ(bad.height, 0);
    EXPECT_FALSE(bad.maximise);
    // Sums of the largest values must still be sums.
    Placement far = PlaceStoredPosition(bad, 800, 600, true);
    EXPECT_FALSE(far.size);
    EXPECT_TRUE(far.move);
    EXPECT_EQ(ParseWindowPosition("").left, 0);
}

TEST(FrameTimerLogic, StoredPositionsComeBackIntoTheClient) {
    struct {
        WindowPosition stored;
        bool sizing;
        Placement want;
    } cases[] = {
        // Plain: place and size.
        {{50, 60, 300, 200, false}, true, {true, 50, 60, true, 300, 200}},
        // Left at or beyond the client width with its right beyond: one width back.
        {{800, 60, 300, 200, false}, true, {true, 0, 60, true, 300, 200}},
        {{1000, 700, 300, 200, false}, true, {true, 200, 100, true, 300, 200}},
        // Ending left of 10 pixels: one width forward; the same vertically.
        {{-400, 30, 300, 200, false}, false, {true, 400, 30, false, 300, 200}},
        {{-300, 30, 310, 200, false}, false, {true, 500, 30, false, 310, 200}},
        {{-300, 30, 311, 200, false}, false, {true, -300, 30, false, 311, 200}},
        {{20, -250, 100, 250, false}, false, {true, 20, 350, false, 100, 250}},
        // Width or height 0 restores only the place; left and top 0 only the size.
        {{40, 40, 0, 200, false}, true, {true, 40, 40, false, 0, 200}},
        {{0, 0, 300, 200, false}, true, {false, 0, 0, true, 300, 200}},
        // The size only for a frame that may be sized.
        {{0, 0, 300, 200, false}, false, {false, 0, 0, false, 300, 200}},
        // A record of nothing leaves the frame alone.
        {{0, 0, 0, 0, false}, true, {false, 0, 0, false, 0, 0}},
    };
    for (const auto& c : cases) {
        Placement p = PlaceStoredPosition(c.stored, 800, 600, c.sizing);
        std::string at = std::to_string(c.stored.left) + "," + std::to_string(c.stored.top);
        EXPECT_EQ(p.move, c.want.move) << at;
        if (c.want.move) {
            EXPECT_EQ(p.x, c.want.x) << at;
            EXPECT_EQ(p.y, c.want.y) << at;
        }
        EXPECT_EQ(p.size, c.want.size) << at;
        if (c.want.size) {
            EXPECT_EQ(p.width, c.want.width) << at;
            EXPECT_EQ(p.height, c.want.height) << at;
        }
    }
}

TEST(FrameTimerLogic, StickTableRefusesOnlyNewWindowsWhenFull) {
    StickTable t;
    for (WindowId w = 1; w <= StickTable::kMaxEntries; ++w)
        EXPECT_TRUE(t.Apply(2, w));
    EXPECT_FALSE(t.Apply(2, 1000)) << "a 65th window";
    EXPECT_EQ(t.Entries().size(), StickTable::kMaxEntries);
    // Updates and removals are served all the same.
    EXPECT_TRUE(t.Apply(4, 7));
    EXPECT_EQ(t.Entries()[6].flags, 4u);
    EXPECT_TRUE(t.Apply(kStickRemove, 3));
    EXPECT_EQ(t.Entries().size(), StickTable::kMaxEntries - 1);
    EXPECT_EQ(t.Entries()[2].window, 4u) << "later entries move up";
    EXPECT_TRUE(t.Apply(kStickRemove, 999)) << "removing a stranger does nothing";
    EXPECT_EQ(t.Entries().size(), StickTable::kMaxEntries - 1);
    EXPECT_TRUE(t.Apply(2, 1000));
    // Gone windows make room.
    t.Prune([](WindowId w) { return w % 2 == 0; });
    EXPECT_EQ(t.Entries().size(), 33u);
    EXPECT_EQ(t.Entries().front().window, 2u);
}

TEST(FrameTimerLogic, BringToTopSwapsWithinTheSameCascade) {
    StickTable t;
    t.Apply(66, 1);
    t.Apply(2, 2);
    t.Apply(66, 3);
    t.Apply(68, 4);
    t.BringToTop(1);
    ASSERT_EQ(t.Entries().size(), 4u);
    EXPECT_EQ(t.Entries()[0].window, 3u);
    EXPECT_EQ(t.Entries()[2].window, 1u);
    EXPECT_EQ(t.Entries()[2].flags, 66u);
    t.BringToTop(2); // stacked windows keep their place
    EXPECT_EQ(t.Entries()[1].window, 2u);
}

TEST(FrameTimerLogic, StuckWindowsGoToTheirSidesStackedOrCascaded) {
    Box host{100, 100, 400, 300};
    std::vector<StuckEntry> entries = {{2, 1},  {2, 2},  {1, 3},   {3, 4},   {3, 5},   {4, 6}, {4, 7},
                                       {68, 8}, {68, 9}, {65, 10}, {67, 11}, {66, 12}, {0, 13}};
    std::vector<Box> sizes(entries.size(), Box{0, 0, 80, 50});
    sizes[0] = Box{0, 0, 120, 70};
    auto places = PlaceStuckWindows(host, entries, sizes);
    ASSERT_EQ(places.size(), 12u) << "no side, no place";
    struct {
        int x, y;
    } want[] = {
        {400, 100}, {400, 170}, // right, stacked by heights
        {20, 100},              // left of it
        {100, 50},  {180, 50},  // above, stacked by widths
        {100, 300}, {180, 300}, // below
        {100, 300}, {120, 320}, // below, cascading down and right
        {20, 100},              // left, cascade: first one plain left
        {100, 50},              // above, cascade
        {400, 100},             // right, cascade
    };
    for (size_t i = 0; i < places.size(); ++i) {
        EXPECT_EQ(places[i].window, entries[i].window);
        EXPECT_EQ(places[i].x, want[i].x) << i;
        EXPECT_EQ(places[i].y, want[i].y) << i;
    }
    std::vector<StuckEntry> cascade = {{65, 1}, {65, 2}, {67, 3}, {67, 4}, {66, 5}, {66, 6}};
    auto c = PlaceStuckWindows(host, cascade, std::vector<Box>(6, Box{0, 0, 80, 50}));
    ASSERT_EQ(c.size(), 6u);
    EXPECT_EQ(c[1].x, 0);   // left: further left
    EXPECT_EQ(c[1].y, 120); // and down
    EXPECT_EQ(c[3].x, 120); // above: right
    EXPECT_EQ(c[3].y, 30);  // and up
    EXPECT_EQ(c[5].x, 420);
    EXPECT_EQ(c[5].y, 120);
}
