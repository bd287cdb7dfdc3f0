// The chart's content read from a scripted array, checked and normalised, and where its
// units land.
#include "controls/ChartLogic.h"
#include "tests/controls/ChartScript.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace chart;

namespace {

std::string Header(const std::string& numbers) { return "Titel\xA7X\xA7Y\xA7" + numbers; }

} // namespace

TEST(ChartLines, SubscriptsAreSplicedIntoTheArrayName) {
    EXPECT_EQ(NextLabelLine("^C(\"D\")", 'X'), "S X=$O(^C(\"D\",\"X\",X)) W X");
    EXPECT_EQ(LabelLine("A", 'Y'), "W $G(A(\"Y\",Y))");
    EXPECT_EQ(NextPointLine("^C(1)"), "S L=$O(^C(1,\"P\",Q,L)) W L");
    EXPECT_EQ(SeriesLine("A"), "W $G(A(\"P\",Q))");
}

TEST(ChartValidation, TheLastFailedRuleIsShownAfterTheHeading) {
    struct Case {
        const char* numbers;
        const char* message;
    } cases[] = {
        {"0\xA7" "0\xA7" "0\xA7" "10\xA7" "0\xA7" "1", "Maximalwerte müssen größer Null sein!"},
        {"0\xA7" "0\xA7" "10\xA7" "10\xA7" "0\xA7" "1", "Rasterweite X-Achse zu klein!"},
        {"0\xA7" "0\xA7" "10\xA7" "10\xA7" "1\xA7" "0", "Rasterweite Y-Achse zu klein!"},
        {"20\xA7" "0\xA7" "10\xA7" "10\xA7" "1\xA7" "1", "Kleinster X-Wert ist größer als der Maximaleste!"},
        {"0\xA7" "20\xA7" "10\xA7" "10\xA7" "1\xA7" "1", "Kleinster Y-Wert ist größer als der Maximaleste!"},
    };
    for (const Case& c : cases) {
        ScriptedArray a;
        a.header = Header(c.numbers);
        std::string message;
        Content content = Load(a.name, a.Run(), message);
        EXPECT_FALSE(content.valid);
        EXPECT_EQ(message, std::string(kInvalidHeading) + c.message);
        EXPECT_EQ(a.lines.size(), 1u) << "no series read";
    }
    ScriptedArray empty;
    std::string message;
    EXPECT_FALSE(Load(empty.name, empty.Run(), message).valid);
    EXPECT_EQ(message, "") << "an empty header is no error";
}

TEST(ChartLoading, LabelsSeriesAndPointsAreReadAndTheHundredAndFirstSeriesIsNot) {
    ScriptedArray a;
    a.header = Header("10\xA7" "0\xA7" "20\xA7" "100\xA7" "2\xA7" "10\xA7" "16\xA7" "18\xA7" "1\xA7" "45");
    for (int i = 0; i < 40; ++i)
        a.labelsX.push_back("Label-" + std::to_string(i) + "-mit-Ueberlaenge");
    a.labelsY = {"0", "50", "100"};
    a.series.push_back({"", {}}); // no points: takes no slot
    for (int i = 0; i < 101; ++i)
        a.series.push_back({"3\xA7" "0\xA7" "50\xA7Reihe " + std::to_string(i), {"15\xA7" "50\xA7Mitte", "20\xA7" "100"}});
    std::string message;
    Content c = Load(a.name, a.Run(), message);
    ASSERT_TRUE(c.valid);
    EXPECT_EQ(c.labelsX.size(), 32u);
    EXPECT_EQ(c.labelsX[0], "Label-0-mit-Ueb") << "15 characters";
    ASSERT_EQ(c.series.size(), 100u);
    EXPECT_EQ(c.series[0].text, "Reihe 0");
    EXPECT_EQ(c.series[99].text, "Reihe 99");
    EXPECT_EQ(c.axisColour, 0x000000u);
    EXPECT_EQ(c.rasterColour, 0xFFFFFFu);
    EXPECT_EQ(c.escapement, 450);
    // x 15 of 10-20 is the middle of the axis; y 50 of 0-100 the middle too.
    EXPECT_EQ(c.series[0].points[0].x, kUnits / 2);
    EXPECT_EQ(c.series[0].points[0].y, kUnits / 2);
    EXPECT_EQ(c.series[0].points[0].text, "Mitte");
    EXPECT_EQ(c.series[0].width, 50 * 2048 / 100);
    EXPECT_EQ(c.rasterX, 2 * kUnits / 10);
    EXPECT_EQ(c.orientation, 1) << "10 Y steps, 5 X steps: portrait";
}

TEST(ChartNormalisation, LargeRangesDoNotOverflow) {
    Content c;
    c.valid = true;
    c.minY = 0;
    c.maxY = 250000;
    c.maxX = 12;
    c.minX = 1;
    c.rasterX = 1;
    c.rasterY = 50000;
    c.series.push_back(Series{0, 1, 10000, "", {{12, 250000, ""}, {1, 125000, ""}}});
    Normalise(c);
    EXPECT_EQ(c.series[0].points[0].x, kUnits);
    EXPECT_EQ(c.series[0].points[0].y, kUnits);
    EXPECT_EQ(c.series[0].points[1].y, kUnits / 2);
    EXPECT_EQ(c.rasterY, 50000 * kUnits / 250000);
    Content wide;
    wide.minX = INT32_MIN;
    wide.maxX = INT32_MAX;
    wide.maxY = 1;
    wide.rasterX = wide.rasterY = 1;
    wide.series.push_back(Series{0, 0, 0, "", {{INT32_MAX, 0, ""}}});
    Normalise(wide);
    EXPECT_EQ(wide.series[0].points[0].x, kUnits);
    EXPECT_EQ(wide.rasterX, 0) << "a step below one unit";
    EXPECT_TRUE(Steps(wide.rasterX, 0).empty()) << "and no raster is drawn";
}

TEST(ChartMapping, TheViewportAndStepsAndTicks) {
    Mapping m = MapClient(500, 400, false, 0);
    EXPECT_EQ(m.originX, 50);
    EXPECT_EQ(m.extentX, 400);
    EXPECT_EQ(m.ToDeviceX(kUnits / 2), 250) << "the middle of the axis";
    EXPECT_EQ(m.ToDeviceY(kUnits), 40 + 320);
    Mapping rotated = MapClient(600, 600, true, 0);
    EXPECT_EQ(rotated.originX, 100);
    EXPECT_EQ(rotated.extentX, 400);
    EXPECT_EQ(Steps(8192, 0), (std::vector<int>{0, 8192, 16384}));
    EXPECT_EQ(Steps(8192, 8192), (std::vector<int>{8192, 16384}));
    EXPECT_EQ(TickLabel({"a"}, 1), "") << "no label past the table";
}

TEST(ChartHitTest, PointsAndBarsWithTheirSlackAndKindThreeNever) {
    Content c;
    c.valid = true;
    c.series.push_back(Series{0, 0, 0, "", {{kUnits / 2, kUnits / 2, "p"}}});
    c.series.push_back(Series{0, 1, 1000, "", {{kUnits / 4, kUnits / 2, "bar"}}});
    c.series.push_back(Series{0, 3, 1000, "", {{kUnits, kUnits, "never"}}});
    Mapping m = MapClient(500, 400, false, 0);
    EXPECT_EQ(HitTest(c, m, 250, 200), (Hit{0, 0}));
    EXPECT_EQ(HitTest(c, m, 256, 200), (Hit{0, 0})) << "within the slack";
    EXPECT_EQ(HitTest(c, m, 270, 200), Hit());
    EXPECT_EQ(HitTest(c, m, m.ToDeviceX(kUnits / 4), 340), (Hit{1, 0})) << "low on the bar";
    EXPECT_EQ(HitTest(c, m, m.ToDeviceX(kUnits), m.ToDeviceY(0)), Hit()) << "kind 3 is not drawn";
}
