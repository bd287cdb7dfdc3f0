#include "app/ProtocolLog.h"
#include "app/SettingsBlock.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

using namespace vorlan;

TEST(ProtocolLog, EntriesBySwitchesAndLevel) {
    struct Case {
        bool p, all, time;
        int level;
        const char* want;
    } cases[] = {
        {true, false, false, kLogOutput, "out\n\n"},
        {true, false, false, kLogCode, "out\n"},
        {false, true, false, kLogTrace, "----- out -----\n\n"},
        {true, false, false, kLogName, "----- out -----\n\n"},
        {true, false, true, kLogTiming, "----- out -----\n\n"},
        {false, false, true, kLogCode, "\nout\n"},
        {false, false, true, kLogOutput, "out\n"},
        {false, false, true, kLogTiming, "out\n"},
        {false, false, false, kLogCode, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatProtocolEntry(c.p, c.all, c.time, c.level, "out"), c.want) << c.level;
}

TEST(ProtocolLog, JobNumberIsSanitisedForTheFileName) {
    EXPECT_EQ(SanitizeLogName("12345"), "12345");
    EXPECT_EQ(SanitizeLogName("..\\..\\evil:job 7\r\n"), "eviljob7");
    EXPECT_EQ(SanitizeLogName("a_b-c"), "a_b-c");
}

namespace {
std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string LogFolder() {
#ifdef _WIN32
    return "C:\\TEMP\\";
#else
    std::string folder = ::testing::TempDir();
    if (folder.back() != '/') folder += '/';
    return folder;
#endif
}
} // namespace

TEST(ProtocolLog, NothingIsWrittenBeforeTheLogIsNamedAndFormatsOnlyNotes) {
    std::string folder = LogFolder();
    SettingsBlock b{};
    b.protocol = 1;
    SetProtocolSettings(&b);
    SetProtocolFolder(folder);
    ResetProtocol();
    WriteProtocol("too early", kLogCode);
    EXPECT_EQ(ProtocolFileName(), "");
    WriteProtocol("job/4711", kLogName);
    std::string path = ProtocolFileName();
    ASSERT_EQ(path, folder + "protocol(job4711).log");
    std::remove(path.c_str());
    WriteProtocol("job4711", kLogName);
    WriteProtocol("W \"100%d\"", kLogCode); // code is never a format
    WriteProtocol("n=%d s=%s", kLogNote, 5, "x");
    std::string text = ReadAll(path);
#ifdef _WIN32
    const char* nl = "\r\n";
#else
    const char* nl = "\n";
#endif
    std::string want =
        std::string("----- job4711 -----") + nl + nl + "W \"100%d\"" + nl + "----- n=5 s=x -----" + nl + nl;
    EXPECT_EQ(text, want);
    EXPECT_EQ(text.find("too early"), std::string::npos);
    std::remove(path.c_str());
    SetProtocolSettings(nullptr);
    ResetProtocol();
}

TEST(ProtocolLog, WindowMessagesAreTracedByNameOnlyWithTheFunctionTrace) {
    SettingsBlock b{};
    SetProtocolSettings(&b);
    SetProtocolFolder(LogFolder());
    WriteProtocol("windowtrace", kLogName);
    std::string path = ProtocolFileName();
    std::remove(path.c_str());
    TraceWindowMessage("CBaseMDI", "WM_SIZE");
    b.protocolAll = 1;
    TraceWindowMessage("CMenuTreeBar", "WM_SIZE");
    TraceWindowMessage("CMainFrame", nullptr); // a message without a name
    std::string log = ReadAll(path);
    EXPECT_EQ(log.find("CBaseMDI"), std::string::npos) << "the switch is off";
    EXPECT_NE(log.find("----- CMenuTreeBar::WindowProc - WM_SIZE -----"), std::string::npos) << log;
    EXPECT_EQ(log.find("CMainFrame"), std::string::npos) << "nothing for a message without a name: " << log;
    std::remove(path.c_str());
    SetProtocolSettings(nullptr);
    ResetProtocol();
}
