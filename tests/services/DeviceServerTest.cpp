// The measuring-device, sound and pocket requests through the hub against a real dbserver.
// COM21 of the prefix is one end of a socat pty pair whose other end is COM22: the test
// plays the device by writing its answer to COM22 before the pass. Waits and beeps go
// through the framework's seams, so the countdown takes no time here.
#include "app/VORLANApp.h"
#include "common/MQuote.h"
#include "framework/App.h"
#include "framework/Sound.h"
#include "tests/app/AppFixture.h"
#include "tests/common/MRecord.h"
#include "tests/harness/Harness.h"
#include "tests/services/HubFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using mrecord::Record;
using vorlan::MQuote;

namespace {

std::string g_events;
void CountBeep(unsigned) {
    g_events += "B";
}
void CountWait(unsigned ms) {
    g_events += ms == 1000 ? "W" : "?";
}

HANDLE OpenPort(const char* name) {
    HANDLE h = ::CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        COMMTIMEOUTS t{};
        t.ReadIntervalTimeout = MAXDWORD; // return at once with what is there
        ::SetCommTimeouts(h, &t);
    }
    return h;
}

class DeviceServerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(harness::DbServerPort(), 0) << "the dbserver fixture tells the port";
        apptest::PrepareApp("DeviceServerTest", MakeClientLibraryTransport());
        theApp.WriteProfileInt("Settings", "DisableWaitDialog", 1);
        ASSERT_TRUE(theApp.Connect());
        ASSERT_NE(theApp.Login("127.0.0.1", harness::DbServerPort(), "", "", "", false), 0);
        M("S %JOB=$J K ^QTEMP(%JOB),^TEMPPORT($J)");
        fw::SetBeepHook(CountBeep);
        fw::SetWaitHook(CountWait);
        g_events.clear();
        Drain();
    }
    void TearDown() override {
        fw::SetBeepHook(nullptr);
        fw::SetWaitHook(nullptr);
        M("K ^QTEMP(%JOB),^TEMPPORT($J)");
        apptest::ReleaseApp();
    }
    std::string M(const std::string& line) { return theApp.Execute(line.c_str()).str(); }
    void Set(const std::string& reference, const std::string& value) {
        M("S " + reference + "=" + MQuote(value));
    }
    void Pass() { CRequestHub(TheSession(), m_form).Run(); }
    std::vector<fw::ShownItem> Shown() {
        auto shown = fw::TestMode::Shown();
        fw::TestMode::ClearShown();
        return shown;
    }
    // What an earlier case left unread on the service's end.
    void Drain() {
        HANDLE h = OpenPort("\\\\.\\COM21");
        ASSERT_NE(h, INVALID_HANDLE_VALUE) << "the pty fixture links COM21";
        char buffer[4096];
        DWORD got = 0;
        while (::ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        }
        ::CloseHandle(h);
    }
    void DeviceSends(const std::string& bytes) {
        HANDLE h = OpenPort("\\\\.\\COM22");
        ASSERT_NE(h, INVALID_HANDLE_VALUE) << "the pty fixture links COM22";
        DWORD written = 0;
        ASSERT_TRUE(::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
        ASSERT_EQ(written, bytes.size());
        ::CloseHandle(h);
        ::Sleep(200); // through socat to the other end
    }
    void Request(const std::string& port, int countdown, int blocks) {
        Set("^QTEMP(%JOB,\"USYS10\",\"PORT\")",
            Record({port, "9600", "0", "8", "0", std::to_string(countdown), std::to_string(blocks)}));
        Pass();
        EXPECT_EQ(M("W $D(^QTEMP(%JOB,\"USYS10\"))"), "0");
    }
    std::string Answer(const char* which) {
        return M("W $G(^TEMPPORT($J,\"PORT\"," + MQuote(which) + "))");
    }

    hubtest::FormDouble m_form;
};

} // namespace

TEST_F(DeviceServerTest, CountdownBeepsInItsLastThreeSeconds) {
    DeviceSends("1");
    Request("COM21", 5, 1);
    EXPECT_EQ(g_events, "WWWBWBWBB") << "five waits, beeps after the third to the fifth, and the final one";
    g_events.clear();
    DeviceSends("1");
    Request("COM21", 0, 1);
    EXPECT_EQ(g_events, "B") << "no countdown: read at once";
    EXPECT_TRUE(Shown().empty());
}

TEST_F(DeviceServerTest, ReadLengthAndTheSplitAtIndex1001) {
    std::string bytes;
    for (int i = 0; i < 2000; ++i)
        bytes += static_cast<char>('a' + i % 26);
    struct Case {
        int blocks;
        size_t a, b;
    } cases[] = {{2, 260, 0}, {8, 1001, 39}, {20, 1001, 500}};
    for (const Case& c : cases) {
        Drain();
        DeviceSends(bytes);
        Request("COM21", 0, c.blocks);
        EXPECT_EQ(Answer("A"), bytes.substr(0, c.a)) << c.blocks;
        EXPECT_EQ(Answer("B"), bytes.substr(1001, c.b)) << c.blocks;
    }
    EXPECT_TRUE(Shown().empty());
}

TEST_F(DeviceServerTest, ValuesAreStoredWithoutLineEndsAndWithTheirQuotes) {
    DeviceSends("12.5\r\n");
    Request("COM21", 0, 1);
    EXPECT_EQ(Answer("A"), "12.5");
    EXPECT_EQ(Answer("B"), "");
    Drain();
    DeviceSends(std::string("Wert \"7\"\0x", 10));
    Request("COM21", 0, 1);
    EXPECT_EQ(M("W $L(^TEMPPORT($J,\"PORT\",\"A\"))"), "10") << "a NUL byte does not cut the answer";
    EXPECT_EQ(M("W $E(^TEMPPORT($J,\"PORT\",\"A\"),1,8)"), "Wert \"7\"");
    EXPECT_TRUE(Shown().empty());
}

TEST_F(DeviceServerTest, SilentDeviceAndRefusedNamesLeaveEmptyAnswersAndSaySo) {
    Set("^TEMPPORT($J,\"PORT\",\"A\")", "alt");
    Request("COM21", 0, 1);
    EXPECT_EQ(Answer("A"), "");
    EXPECT_EQ(M("W $D(^TEMPPORT($J,\"PORT\",\"B\"))"), "1");
    EXPECT_EQ(g_events, "B");
    auto shown = Shown();
    ASSERT_EQ(shown.size(), 1u) << "the time-out ends the read";
    EXPECT_NE(shown[0].text.find("COM21"), std::string::npos) << shown[0].text;

    for (const char* name : {"C:\\TEMP\\geraet.txt", "LPT1", "NUL"}) {
        g_events.clear();
        Set("^TEMPPORT($J,\"PORT\",\"A\")", "alt");
        Request(name, 0, 1);
        EXPECT_EQ(Answer("A"), "") << name;
        EXPECT_EQ(g_events, "B") << name;
        shown = Shown();
        ASSERT_EQ(shown.size(), 1u) << name;
        EXPECT_NE(shown[0].text.find(name), std::string::npos) << shown[0].text;
    }
    EXPECT_EQ(::GetFileAttributesA("C:\\TEMP\\geraet.txt"), INVALID_FILE_ATTRIBUTES) << "no file made";

    // No port at all: nothing is read and nothing written.
    g_events.clear();
    M("K ^TEMPPORT($J)");
    Request("", 3, 1);
    EXPECT_EQ(g_events, "");
    EXPECT_EQ(M("W $D(^TEMPPORT($J))"), "0");
}

TEST_F(DeviceServerTest, PocketReadsItsKindOnly) {
    Set("^QTEMP(%JOB,\"POCKET\")", "1");
    Pass();
    EXPECT_EQ(M("W $D(^QTEMP(%JOB,\"POCKET\"))"), "0");
    EXPECT_TRUE(Shown().empty()) << "%F does not exist: the report shows nothing";
}
