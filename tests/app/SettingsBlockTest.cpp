#include "app/SettingsBlock.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

using vorlan::SettingsBlock;
using vorlan::SettingsCommandLine;

namespace {

SettingsBlock Parse(const std::vector<std::string>& words, SettingsBlock block = SettingsBlock{}) {
    SettingsCommandLine cl(block);
    for (const auto& w : words) {
        bool sw = w[0] == '-' || w[0] == '/';
        cl.Param(sw ? w.c_str() + 1 : w.c_str(), sw);
    }
    return block;
}

SettingsBlock FromRegistry(const std::map<std::string, std::string>& values) {
    SettingsBlock b{};
    vorlan::ReadConnectionSettings(b, [&](const char* name, const char* def) {
        auto it = values.find(name);
        return it == values.end() ? std::string(def) : it->second;
    });
    return b;
}

} // namespace

TEST(SettingsBlock, RegistryDefaultsAndFolding) {
    SettingsBlock b = FromRegistry({});
    EXPECT_EQ(b.remote, 1);
    EXPECT_STREQ(b.apiPort, "1666");
    EXPECT_STREQ(b.telnetPort, "23");
    EXPECT_EQ(b.apiType, 0);
    EXPECT_EQ(b.partitionSize, 0);

    struct Case {
        std::map<std::string, std::string> reg;
        const char* port;
        int apiType, remote;
    } cases[] = {
        {{{"APIport", "abc"}}, "1666", 0, 1},        {{{"APIport", "0"}}, "1666", 0, 1},
        {{{"APIport", "1972"}}, "1972", 0, 1},       {{{"APIType", "5"}}, "1666", 0, 1},
        {{{"APIType", "-1"}}, "1666", 0, 1},         {{{"APIType", "1"}}, "1666", 1, 1},
        {{{"RemoteConnection", "0"}}, "1666", 0, 0}, {{{"RemoteConnection", "yes"}}, "1666", 0, 0},
    };
    for (const auto& c : cases) {
        SettingsBlock r = FromRegistry(c.reg);
        EXPECT_STREQ(r.apiPort, c.port);
        EXPECT_EQ(r.apiType, c.apiType);
        EXPECT_EQ(r.remote, c.remote);
    }
    SettingsBlock p =
        FromRegistry({{"PartitionSize", "2048"}, {"TelnetPort", "0"}, {"IPaddress", "10.0.0.1"}});
    EXPECT_EQ(p.partitionSize, 2048);
    EXPECT_STREQ(p.telnetPort, "23");
    EXPECT_STREQ(p.address, "10.0.0.1");
}

TEST(SettingsBlock, LongValuesAreCutToTheirFieldAndStayTerminated) {
    SettingsBlock b = FromRegistry({{"UCIandVG", std::string(40, 'U')}});
    EXPECT_EQ(std::strlen(b.uciAndVolume), 15u);
    EXPECT_EQ(b.afterLogin[0], '\0') << "the next field is untouched";
    b = Parse({"-u", std::string(100, 'x')}, b);
    EXPECT_EQ(std::strlen(b.user), 31u);
    EXPECT_EQ(b.password[0], '\0');
}

TEST(SettingsBlock, CommandLineRules) {
    // The last switch wins for the shared remote flag.
    EXPECT_EQ(Parse({"-r", "-l"}).remote, 0);
    EXPECT_EQ(Parse({"-l", "-n"}).remote, 1);
    // A later plain word replaces the value of a pending string switch.
    EXPECT_STREQ(Parse({"-u", "ANNA", "BERT"}).user, "BERT");
    // A plain word before any switch is the start entry, at most 7 characters.
    EXPECT_STREQ(Parse({"ABCDEFGHIJ", "-q"}).startEntry, "ABCDEFG");
    // Unknown switches are ignored with the word after them; so are words after a flag.
    SettingsBlock u = Parse({"-zz", "word", "-d", "other"});
    EXPECT_EQ(u.startEntry[0], '\0');
    EXPECT_EQ(u.debug, 1);
    // Case does not matter, first match wins, integers are decimal.
    SettingsBlock c = Parse({"/API", "1", "-Protocol-All", "-background", "12", "/IP", "127.0.0.1", "-?"});
    EXPECT_EQ(c.apiType, 1);
    EXPECT_EQ(c.protocolAll, 1);
    EXPECT_EQ(c.protocol, 0);
    EXPECT_EQ(c.background, 12);
    EXPECT_STREQ(c.address, "127.0.0.1");
    EXPECT_EQ(c.help, 1);
}

TEST(SettingsBlock, CommandLineOverridesTheRegistry) {
    SettingsBlock b = FromRegistry({{"IPaddress", "10.1.1.1"}, {"APIport", "1972"}, {"APIType", "1"}});
    b = Parse({"-port", "2000", "-api", "0", "-s", "VOR,VGA"}, b);
    EXPECT_STREQ(b.address, "10.1.1.1");
    EXPECT_STREQ(b.apiPort, "2000");
    EXPECT_EQ(b.apiType, 0);
    EXPECT_STREQ(b.uciAndVolume, "VOR,VGA");
}
