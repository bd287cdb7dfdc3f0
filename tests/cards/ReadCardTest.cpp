// The reading dialog of reader kinds 0 and 1 in this process, over the card server double
// SCARD32.DLL beside the test (tests/cards/Scard32Double.cpp): the start sequence, the status
// numbers leading to the 16 fields, the replies it cuts, the missing library, and the fields a
// keyboard card reader types. Test mode runs the dialog live ("wait:"). The failures that
// leave the dialog open are tested through the demo screen (ReadCardServerTest.cpp).
#include "cards/ReadCard.h"
#include "framework/App.h"
#include "framework/TestMode.h"
#include "resources/CardIds.h"
#include "tests/cards/ReadingDialog.h"
#include "tests/cards/Scard32Double.h"
#include "tests/harness/Harness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

using readingdialog::WhileShown;

namespace {

std::string Text(UINT id, const char* first = nullptr, const char* second = nullptr) {
    CString s;
    if (first)
        s.FormatId(id, first, second ? second : "");
    else
        s.LoadString(id);
    return s.str();
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t at = 0, nl; (nl = text.find('\n', at)) != std::string::npos; at = nl + 1)
        lines.push_back(text.substr(at, nl - at));
    return lines;
}

class ReadCardTest : public ::testing::Test {
  protected:
    std::string dir, log;
    static HMODULE s_language;

    static void SetUpTestSuite() {
        s_language = ::LoadLibraryA((harness::ExeFolder() + "VORLAND.DLL").c_str());
        AfxSetResourceHandle(s_language);
    }
    void SetUp() override {
        ASSERT_NE(s_language, nullptr);
        dir = harness::FreshFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
        log = dir + "scard32.log";
        fw::TestMode::Enable("", "ReadCardTest");
        fw::TestMode::ClearShown();
    }
    void TearDown() override {
        fw::TestMode::Disable();
        ::SetEnvironmentVariableA("VORLAN_SCARD32", nullptr);
    }
    void Scenario(const std::string& lines) {
        harness::WriteTextFile(dir + "scenario.txt", "log=" + log + "\n" + lines);
        ::SetEnvironmentVariableA("VORLAN_SCARD32", (dir + "scenario.txt").c_str());
    }
    std::vector<std::string> Commands() const { return Lines(harness::ReadTextFile(log)); }
    bool Sent(const std::string& command) const {
        for (const std::string& c : Commands())
            if (c.rfind(command + " ", 0) == 0) return true;
        return false;
    }
    // The dialog's record in test mode: its control texts at the end, and its result.
    fw::ShownItem Record() const {
        for (const fw::ShownItem& item : fw::TestMode::Shown())
            if (item.kind == "dialog" && item.id == IDD_READCARD) return item;
        return {};
    }
    static std::string Status(const fw::ShownItem& record) {
        std::string key = std::to_string(IDC_READCARD_STATUS) + "=";
        size_t at = record.text.find(key);
        if (at == std::string::npos) return "(none)";
        size_t end = record.text.find('|', at);
        return record.text.substr(at + key.size(), end == std::string::npos ? end : end - at - key.size());
    }
};

HMODULE ReadCardTest::s_language = nullptr;

} // namespace

TEST_F(ReadCardTest, CardServerEventsLeadToTheSixteenFieldsInOrder) {
    Scenario("status=init,INIT,wait\nevents=120,140\n");
    fw::TestMode::PushAnswer("dialog 260 wait:");
    {
        CReadCard dlg(nullptr, 18, 1);
        EXPECT_EQ(dlg.DoModal(), 1);
        for (int i = 1; i <= 16; ++i)
            EXPECT_EQ(dlg.GetLine(i), scard32double::Text(i)) << i;
        EXPECT_STREQ(dlg.GetLine(17), "") << "the card server reads 16 fields";
        EXPECT_STREQ(dlg.GetLine(33), "");
        EXPECT_EQ(Status(Record()), Text(IDS_READCARD_READING));
    }
    std::vector<std::string> commands = Commands();
    ASSERT_GE(commands.size(), 10u);
    std::vector<std::string> start(commands.begin(), commands.begin() + 9);
    EXPECT_EQ(start,
              (std::vector<std::string>{"Card,Info,Status 256", "Device,Select,-1 0", "Card,Info,Status 256",
                                        "Device,Select,-1 0", "Card,Info,Status 256", "Device,SetLed,1 0",
                                        "Device,SetLed,0 0", commands[7], "Device,SetLed,022 0"}))
        << "\"INIT\" in capitals counts as \"init\"; \"wait\" is 110";
    std::string announce = commands[7];
    ASSERT_EQ(announce.rfind("System,AddHWndMsg,", 0), 0u) << announce;
    std::string window = announce.substr(18, announce.find(',', 18) - 18);
    EXPECT_EQ(announce, "System,AddHWndMsg," + window + ",32768 0");
    std::vector<std::string> reading = {"Card,Lock 0", "Card,Info,Apps 4096"};
    for (const scard32double::Field& field : scard32double::Person())
        reading.push_back(std::string("Apps,KVK,") + field.name + ", 256");
    reading.push_back("System,DelHWnd," + window + " 0");
    EXPECT_EQ(std::vector<std::string>(commands.begin() + 9, commands.end()), reading);
}

TEST_F(ReadCardTest, EndlessInitIsBoundedAndAFoundTerminalShowsBeforeTheCardIsAskedFor) {
    // 120 and 140 arrive while the terminal's name shows: they wait their turn.
    Scenario("status=init\nevents=120,140\ninterval=50\n");
    fw::TestMode::PushAnswer("dialog 260 wait:");
    std::string shownWhileFound;
    CReadCard dlg(nullptr, 16, 1);
    WhileShown look([&] {
        HWND dialog = readingdialog::Find();
        if (!dialog || !Sent("Device,Info,Port")) return false;
        shownWhileFound = readingdialog::StatusText(dialog);
        return true;
    });
    EXPECT_EQ(dlg.DoModal(), 1);
    std::vector<std::string> commands = Commands();
    EXPECT_EQ(std::count(commands.begin(), commands.end(), "Device,Select,-1 0"), 21)
        << "20 start rounds, then the search's own";
    EXPECT_EQ(std::count(commands.begin(), commands.end(), "Card,Info,Status 256"), 21);
    auto at = [&](const std::string& c) {
        return std::find(commands.begin(), commands.end(), c) - commands.begin();
    };
    EXPECT_LT(at("Device,SearchComPort 0"), at("Device,Info,Type 256"));
    EXPECT_LT(at("Device,Info,Port 256"), at("Device,SetLed,022 0"));
    EXPECT_LT(at("Device,SetLed,022 0"), at("Card,Lock 0")) << "the card comes after the pause";
    EXPECT_EQ(shownWhileFound, Text(IDS_READCARD_FOUND, "KARTENLESER 2000", "COM2"));
    EXPECT_STREQ(dlg.GetLine(10), scard32double::Text(10).c_str());
}

TEST_F(ReadCardTest, RepliesThatFillTheirBufferAreCutAndTerminated) {
    std::string longName(300, 'N');
    Scenario("events=150\nfield.Name=" + longName + "\nfield.Ort=" + std::string(255, 'O') + "\n");
    fw::TestMode::PushAnswer("dialog 260 wait:");
    CReadCard dlg(nullptr, 16, 1);
    EXPECT_EQ(dlg.DoModal(), 1);
    EXPECT_EQ(std::string(dlg.GetLine(10)), longName.substr(0, 255));
    EXPECT_EQ(std::string(dlg.GetLine(15)), std::string(255, 'O'));
    EXPECT_STREQ(dlg.GetLine(11), scard32double::Text(11).c_str()) << "the next field is whole";
}

TEST_F(ReadCardTest, WithoutTheLibraryTheSearchFailsWithAnEmptyErrorText) {
    std::string beside = harness::ExeFolder() + "SCARD32.DLL", away = dir + "SCARD32.DLL.away";
    ASSERT_TRUE(::MoveFileA(beside.c_str(), away.c_str()));
    fw::TestMode::PushAnswer("dialog 260");
    int result;
    {
        CReadCard dlg(nullptr, 16, 1);
        result = dlg.DoModal();
    }
    ASSERT_TRUE(::MoveFileA(away.c_str(), beside.c_str()));
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(Status(Record()), Text(IDS_READCARD_NOT_FOUND, ""));
}

TEST_F(ReadCardTest, KeyboardReaderFieldsEndWithReturnOrQuestionMarkWhereverTheFocusIs) {
    Scenario("status=wait\nevents=140\n");
    struct Case {
        const char* name;
        int count;
        std::string typed;
        std::vector<std::string> fields;
    };
    std::vector<Case> cases = {
        {"return ends a field, line feed is ignored",
         3,
         "Erika\r\nM\xFCller\r\n1964\r\nrest",
         {"Erika", "M\xFCller", "1964"}},
        {"question marks", 3, "A?B?C?", {"A", "B", "C"}},
        {"at most 255 characters", 1, std::string(300, 'x') + "?", {std::string(255, 'x')}},
        {"more than 32 fields count as 32", 40, std::string(40, '?'), std::vector<std::string>(32, "")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        harness::WriteTextFile(log, "");
        fw::TestMode::ClearShown();
        fw::TestMode::PushAnswer("dialog 260 wait:");
        CReadCard dlg(nullptr, c.count, 0);
        std::string before;
        WhileShown type([&] {
            HWND dialog = readingdialog::Find();
            if (!dialog) return false;
            before = readingdialog::StatusText(dialog);
            readingdialog::Type(dialog, c.typed);
            return true;
        });
        EXPECT_EQ(dlg.DoModal(), 1);
        EXPECT_EQ(before, Text(IDS_READCARD_INSERT));
        EXPECT_EQ(Status(Record()), Text(IDS_READCARD_READING));
        for (size_t i = 0; i < c.fields.size(); ++i)
            EXPECT_EQ(dlg.GetLine(static_cast<int>(i) + 1), c.fields[i]) << i + 1;
        EXPECT_STREQ(dlg.GetLine(static_cast<int>(c.fields.size()) + 1), "");
        EXPECT_FALSE(Sent("System,AddHWndMsg")) << "the keyboard reader needs no events";
        EXPECT_FALSE(Sent("Card,Lock"));
    }
}
