#include "app/AppLogic.h"

#include <gtest/gtest.h>

using namespace vorlan;

TEST(AppLogic, WaitingLineQuotesTheJob) {
    struct {
        const char* job;
        const char* want;
    } cases[] = {{"4711", "W $$WAITING^QCC(\"4711\")"},
                 {"", "W $$WAITING^QCC(\"\")"},
                 {"1\"2", "W $$WAITING^QCC(\"1\"\"2\")"},
                 {"12\r\n", "W $$WAITING^QCC(\"12\"_$C(13,10))"}};
    for (const auto& c : cases)
        EXPECT_EQ(WaitingLine(c.job), c.want) << c.job;
}

TEST(AppLogic, DebuggerAsksForItsPlaceTheWayTheSystemNamesIt) {
    const std::string cache = "W $ZNSPACE_\" (\"_$ZV_\")\"";
    const std::string gtm = "W $ZPARSE($ZGBLDIR,\"NAME\")_\" (\"_$ZV_\")\"";
    const std::string other = "W $ZU(0)_\" (\"_$ZV_\")\"";
    struct {
        const char* version;
        const std::string& want;
    } cases[] = {{"GT.M V6.3-014 Linux x86_64", gtm},
                 {"Cache for Windows (x86-32) 2008.2", cache},
                 {"CACHE 5.0", cache},
                 {"DSM-11 Version 7.0", other},
                 {"", other}};
    for (const auto& c : cases)
        EXPECT_EQ(DebuggerPlaceLine(c.version), c.want) << c.version;
}
