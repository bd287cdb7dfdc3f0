#include "services/PrinterChoiceLogic.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

using namespace vorlan;

namespace {

// A server whose device chain answers row by row from a table keyed by the port asked.
struct Chain {
    explicit Chain(std::map<std::string, std::string> rows) : next(std::move(rows)) {}
    std::map<std::string, std::string> next;
    std::vector<std::string> asked;
    std::string failOn = "\x01";
    SilentExecute Execute() {
        return [this](const std::string& line) -> std::optional<std::string> {
            asked.push_back(line);
            for (const auto& [port, row] : next)
                if (line == NextDeviceLine(port)) {
                    if (port == failOn) return std::nullopt;
                    return row;
                }
            return std::string();
        };
    }
};

std::vector<std::string> Ports(const std::vector<DeviceRow>& rows) {
    std::vector<std::string> ports;
    for (const DeviceRow& r : rows)
        ports.push_back(r.port);
    return ports;
}

} // namespace

TEST(PrinterChoice, TheChainAsksFromTheLastPortUntilTheEmptyAnswer) {
    Chain chain({{"", "WB\xA7Word\xA7Praxis\xA7"
                      "A4"},
                 {"WB", "A\xA7Listendrucker\xA7\xA7"},
                 {"A", "D\xA7Textdatei"}});
    std::vector<DeviceRow> rows = ReadDeviceChain(chain.Execute());
    EXPECT_EQ(Ports(rows), (std::vector<std::string>{"WB", "A", "D"}));
    EXPECT_EQ(rows[0].printer, "Word");
    EXPECT_EQ(rows[0].location, "Praxis");
    EXPECT_EQ(rows[0].paper, "A4");
    EXPECT_EQ(rows[2].location, "") << "missing pieces are empty";
    EXPECT_EQ(chain.asked, (std::vector<std::string>{"W $$PRINTER^QCC(\"\")", "W $$PRINTER^QCC(\"WB\")",
                                                     "W $$PRINTER^QCC(\"A\")", "W $$PRINTER^QCC(\"D\")"}));
}

TEST(PrinterChoice, TheChainEndsOnARepeatedOrEmptyPortAFailedCallAndItsLimit) {
    Chain repeated({{"", "LP1\xA7x"}, {"LP1", "LP2\xA7y"}, {"LP2", "LP1\xA7z"}});
    EXPECT_EQ(Ports(ReadDeviceChain(repeated.Execute())), (std::vector<std::string>{"LP1", "LP2"}));

    Chain empty({{"", "LP1\xA7x"},
                 {"LP1", "\xA7"
                         "kein Port"}});
    EXPECT_EQ(Ports(ReadDeviceChain(empty.Execute())), (std::vector<std::string>{"LP1"}));

    Chain failing({{"", "LP1\xA7x"}, {"LP1", "LP2"}});
    failing.failOn = "LP1";
    EXPECT_EQ(Ports(ReadDeviceChain(failing.Execute())), (std::vector<std::string>{"LP1"}));
    EXPECT_EQ(failing.asked.size(), 2u) << "nothing is asked after a failed call";

    int calls = 0;
    std::vector<DeviceRow> endless = ReadDeviceChain(
        [&](const std::string&) -> std::optional<std::string> { return "P" + std::to_string(++calls); });
    EXPECT_EQ(endless.size(), static_cast<size_t>(kDeviceChainLimit));

    Chain none({});
    EXPECT_TRUE(ReadDeviceChain(none.Execute()).empty());
}

TEST(PrinterChoice, ThePortIsQuotedInTheChainsLine) {
    EXPECT_EQ(NextDeviceLine("A\"B"), "W $$PRINTER^QCC(\"A\"\"B\")");
    EXPECT_EQ(SetDeviceLine("A\"B"), "S %DEV=\"A\"\"B\"");
    EXPECT_EQ(TrayLine(2), "S %ST=2");
}

TEST(PrinterChoice, TheCurrentDeviceIsPreselectedElseTheFirstRow) {
    std::vector<DeviceRow> rows{{"WB", "", "", ""}, {"A", "", "", ""}, {"LP1", "", "", ""}};
    EXPECT_EQ(PreselectedRow(rows, "A"), 1);
    EXPECT_EQ(PreselectedRow(rows, "LP1"), 2);
    EXPECT_EQ(PreselectedRow(rows, "XX"), 0);
    EXPECT_EQ(PreselectedRow(rows, ""), 0);
    EXPECT_EQ(PreselectedRow({}, "A"), -1);
}
