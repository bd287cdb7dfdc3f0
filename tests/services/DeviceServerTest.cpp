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
    std::string Answer(const char* which) { return M("W $G(^TEMPPORT($J,\"PORT\"," + MQuote(which) + "))"); }

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

namespace {

// A mono 8-bit WAV file of the given length: a square wave, so no sample is silent.
std::string MakeWave(const std::string& path, int milliseconds) {
    const int rate = 8000, samples = rate * milliseconds / 1000;
    auto le = [](std::string& s, unsigned v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            s += static_cast<char>((v >> (8 * i)) & 0xff);
    };
    std::string wav = "RIFF";
    le(wav, 36 + samples, 4);
    wav += "WAVEfmt ";
    le(wav, 16, 4);
    le(wav, 1, 2);
    le(wav, 1, 2);
    le(wav, rate, 4);
    le(wav, rate, 4);
    le(wav, 1, 2);
    le(wav, 8, 2);
    wav += "data";
    le(wav, samples, 4);
    for (int i = 0; i < samples; ++i)
        wav += static_cast<char>((i / 10) % 2 ? 0xE0 : 0x20);
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    ::WriteFile(h, wav.data(), static_cast<DWORD>(wav.size()), &written, nullptr);
    ::CloseHandle(h);
    return path;
}

LONGLONG FileSize(const char* path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExA(path, GetFileExInfoStandard, &data)) return 0;
    return (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

} // namespace

// Wine plays through its ALSA driver into the file that the test's ALSA configuration names.
TEST_F(DeviceServerTest, SoundPlaysOnlyForTheExactModes) {
    const char* samples = ::getenv("VORLAN_ALSA_SAMPLES");
    ASSERT_NE(samples, nullptr) << "the test's ALSA configuration names the file";
    HKEY drivers;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\Drivers", 0, nullptr, 0, KEY_WRITE,
                                nullptr, &drivers, nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExA(drivers, "Audio", 0, REG_SZ, reinterpret_cast<const BYTE*>("alsa"), 5);
    ::RegCloseKey(drivers);
    std::string folder = harness::NewFolder("sound");
    std::string shortWave = MakeWave(folder + "kurz.wav", 300),
                longWave = MakeWave(folder + "lang.wav", 4000);
    auto play = [&](const std::string& path, const char* para) {
        Set("^QTEMP(%JOB,\"SOUND\",\"PATH\")", path);
        Set("^QTEMP(%JOB,\"SOUND\",\"PARA\")", para);
        DWORD start = ::GetTickCount();
        Pass();
        EXPECT_EQ(M("W $D(^QTEMP(%JOB,\"SOUND\"))"), "0");
        return ::GetTickCount() - start;
    };

    ::DeleteFileA(samples);
    play(shortWave, "snd_async");
    play(shortWave, "");
    EXPECT_EQ(FileSize(samples), 0) << "other mode texts play nothing";

    play(shortWave, "SND_FILENAME");
    EXPECT_GT(FileSize(samples), 1000) << "the samples reached the device";

    DWORD took = play(longWave, "SND_ASYNC");
    EXPECT_LT(took, 3000u) << "the four-second sound plays on after the pass";
    fw::PlaySoundFile(nullptr, 0); // stops it
    EXPECT_TRUE(Shown().empty());

    ::RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\Drivers", 0, KEY_WRITE, &drivers);
    ::RegDeleteValueA(drivers, "Audio");
    ::RegCloseKey(drivers);
}

// The demo's device (scripts/device-sim) on COM23: it answers when the program sets the line.
TEST_F(DeviceServerTest, DemoDeviceAnswersOneReadingPerRequest) {
    Request("COM23", 0, 1);
    EXPECT_EQ(Answer("A"), "Gewicht 71.1 kg");
    Request("COM23", 0, 1);
    EXPECT_EQ(Answer("A"), "Gewicht 72.2 kg");
    EXPECT_TRUE(Shown().empty());
}
