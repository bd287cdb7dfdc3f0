// The form colour table as the server's colour numbers reach it.
#include "controls/FormColours.h"

#include <gtest/gtest.h>

TEST(FormColours, NumbersPickTheTableAndOnlyTheLowByteCounts) {
    struct Case {
        int number;
        uint32_t colour;
    } cases[] = {
        {0, kDefaultColour}, {1, 0xFFFFFF},       {5, 0x80FFFF},        {14, 0xD0D0D0},
        {32, 0xA4CA9B},      {256 + 5, 0x80FFFF}, {-256 + 2, 0x0000FF},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormColour(c.number), c.colour) << c.number;
}

TEST(FormColours, NumbersBeyondTheTableGiveTheDefaultInsteadOfReadingPastIt) {
    for (int n : {33, 100, 255, -1})
        EXPECT_EQ(FormColour(n), kDefaultColour) << n;
}
