#include "tools/IconListLogic.h"

#include <gtest/gtest.h>

using namespace vorlan;

// Server screens split these at the comma: the numbers go unquoted, joined by M.
TEST(IconListLogic, SizesGoToTheServerAsWidthCommaHeight) {
    EXPECT_EQ(ClientSizeLine(812, 0), "S %WIN(\"CLIENTSIZE\")=812_\",\"_0");
    EXPECT_EQ(ScreenSizeLine(1920, 1080), "S %WIN(\"SCREENSIZE\")=1920_\",\"_1080");
}
