#include "forms/PrintRoadLogic.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vorlan;

namespace {

struct Choice {
    std::vector<std::string> lines;
    int setUpCalls = 0;
    int code = 0;
};

// A choice of device against a recording server; the set-up dialog answers as given.
Choice Choose(const std::string& device, int setUpAnswer = kSetUpOk, bool landscape = false) {
    Choice c;
    c.code = ChooseDevice([&](const std::string& line) { c.lines.push_back(line); }, device,
                          [&](bool& wide) {
                              ++c.setUpCalls;
                              wide = landscape;
                              return setUpAnswer;
                          });
    return c;
}

} // namespace

TEST(PrintRoad, DeviceTextsMapToTheirCodesExactly) {
    const struct {
        const char* device;
        int code;
    } cases[] = {
        {"A", kDeviceListPrinter},
        {"EXCEL", kDeviceExcel},
        {"W", kDeviceFormPrinter},
        {"WLASER", kDeviceFormPrinter},
        {"D", kDeviceTextFile},
        {"0", kDeviceListPrint},
        {"3", 1},
        // Near misses name a printer of the set-up dialog.
        {"", 0},
        {"a", 0},
        {"w", 0},
        {"AA", 0},
        {"DD", 0},
        {"00", 0},
        {"30", 0},
        {"Excel", 0},
        {"EXCEL ", 0},
        {"LPT1", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DeviceCodeOf(c.device), c.code) << '"' << c.device << '"';
}

TEST(PrintRoad, EveryCodeButTheNamedOnesRunsThePrintRoutine) {
    EXPECT_EQ(PrintStepOf(kDeviceCancel), PrintStep::None);
    EXPECT_EQ(PrintStepOf(kDeviceListPrint), PrintStep::ListPrint);
    EXPECT_EQ(PrintStepOf(kDeviceTextFile), PrintStep::TextFile);
    EXPECT_EQ(PrintStepOf(kDeviceListPrinter), PrintStep::ListPrinter);
    EXPECT_EQ(PrintStepOf(kDeviceFormPrinter), PrintStep::FormPrinter);
    EXPECT_EQ(PrintStepOf(kDeviceExcel), PrintStep::Excel);
    for (int code : {1, 0, -1, static_cast<int>(kDevicePrinterSetUp), 5, 120, 65535})
        EXPECT_EQ(PrintStepOf(code), PrintStep::Routine) << code;
}

TEST(PrintRoad, ChoosingTellsTheServerTheDeviceAndSetsItUp) {
    Choice list = Choose("A");
    EXPECT_EQ(list.code, kDeviceListPrinter);
    EXPECT_EQ(list.lines, (std::vector<std::string>{"S %DEV=\"A\"", "D SET^WQDA"}));
    EXPECT_EQ(list.setUpCalls, 0);

    Choice file = Choose("D");
    EXPECT_EQ(file.code, kDeviceTextFile);
    EXPECT_EQ(file.lines, (std::vector<std::string>{"S %DEV=\"D\""})) << "a text file needs no set-up";

    Choice quoted = Choose("W\"X");
    EXPECT_EQ(quoted.code, kDeviceFormPrinter);
    EXPECT_EQ(quoted.lines.at(0), "S %DEV=\"W\"\"X\"") << "the device text is quoted";
}

TEST(PrintRoad, AnUnknownDeviceGoesThroughThePrinterSetUp) {
    Choice portrait = Choose("LASER2");
    EXPECT_EQ(portrait.setUpCalls, 1);
    EXPECT_EQ(portrait.code, kSetUpOk) << "a confirmed printer runs the print routine";
    EXPECT_EQ(PrintStepOf(portrait.code), PrintStep::Routine);
    EXPECT_EQ(portrait.lines,
              (std::vector<std::string>{"S %DEV=\"LASER2\"", "S %PF=\"DINA4\"", "D SET^WQDA"}));

    Choice wide = Choose("LASER2", kSetUpOk, true);
    EXPECT_EQ(wide.lines.at(1), "S %PF=\"DINA4Q\"");

    // Cancel (2) prints nothing; any other answer comes back unchanged and sets nothing up.
    for (int answer : {2, 0, 7}) {
        Choice left = Choose("LASER2", answer);
        EXPECT_EQ(left.code, answer);
        EXPECT_EQ(left.lines, (std::vector<std::string>{"S %DEV=\"LASER2\""})) << answer;
    }
}

TEST(PrintRoad, TheLastPageReadsRepetitionAndEndRoutine) {
    CardIndexEnd address = ParseCardIndexEnd("ADRNR\xA7J\xA7\xA7"
                                             "Adressen");
    EXPECT_TRUE(address.repeatFirst);
    EXPECT_EQ(address.routine, "");

    CardIndexEnd ends = ParseCardIndexEnd("\xA7N\xA7"
                                          "ENDE^REP");
    EXPECT_FALSE(ends.repeatFirst);
    EXPECT_EQ(ends.routine, "ENDE^REP");

    EXPECT_FALSE(ParseCardIndexEnd("").repeatFirst);
    EXPECT_FALSE(ParseCardIndexEnd("\xA7j").repeatFirst) << "only a capital J repeats";
}

TEST(PrintRoad, LinesQuoteTheScreensName) {
    EXPECT_EQ(FormPrintLine("A\"B"), "S %RTN=$G(^QM(\"A\"\"B\",0,\"FDINIT\")) D:%RTN'=\"\" @%RTN S "
                                     "%RTN=$G(^QM(\"A\"\"B\",0,\"FDRUCK\")) W %RTN");
}
