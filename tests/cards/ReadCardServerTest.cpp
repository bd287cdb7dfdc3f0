// Reader kinds 0 and 1 through the demo screen KRT against the fixture's dbserver: the card
// server double SCARD32.DLL lies beside this program (Scard32Double.cpp), a keyboard card
// reader is stood in for by posted characters. What arrived is read from ^ZCARD("LAST"),
// which CARD^QKRT keeps, and from the session's lines.
#include "common/MQuote.h"
#include "framework/TestMode.h"
#include "tests/cards/ReadingDialog.h"
#include "tests/cards/Scard32Double.h"
#include "tests/forms/FormServerFixture.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

const char* const kRoutineLine =
    "S %QCC=$G(%WIN(\"READCARD\",\"RTN\")) D:%QCC'=\"\" @%QCC K %WIN(\"READCARD\")";

std::string ResourceText(UINT id, const char* argument = nullptr) {
    CString s;
    if (argument)
        s.FormatId(id, argument);
    else
        s.LoadString(id);
    return s.str();
}

} // namespace

class ReadCardServerTest : public FormServerTestBase {
  protected:
    std::string folder;

    void SetUp() override {
        FormServerTestBase::SetUp();
        folder = harness::NewFolder("readcard");
        Scenario("events=120,140");
        // KRT reads as it opens: with the card server.
        Once("K ^ZCARD(\"LAST\") S ^ZCARD(\"ART\")=1");
        LogIn();
        fw::TestMode::PushAnswer("dialog 260 wait:");
        StartMemo("KRT");
        ASSERT_NE(Form(), nullptr);
        ASSERT_EQ(Form()->GetFormName().str(), "KRT");
    }
    void TearDown() override {
        Once("S ^ZCARD(\"ART\")=3");
        ::SetEnvironmentVariableA("VORLAN_SCARD32", nullptr);
        FormServerTestBase::TearDown();
    }
    void Scenario(const std::string& settings) {
        harness::WriteTextFile(folder + "scenario.txt", settings + "\nlog=" + folder + "scard32.log\n");
        ::SetEnvironmentVariableA("VORLAN_SCARD32", (folder + "scenario.txt").c_str());
    }
    // One reading with the kind's key (F5 + kind); the session's lines of it.
    std::vector<std::string> Read(int kind, const std::string& answer) {
        ::DeleteFileA((folder + "scard32.log").c_str());
        fw::TestMode::ClearShown();
        fw::TestMode::PushAnswer(answer);
        recorder->Take();
        Trace();
        Key(static_cast<WPARAM>(VK_F5 + kind));
        return recorder->Take();
    }
    static bool LastIs(const std::string& subscript, const std::string& text) {
        return Once("W $G(^ZCARD(\"LAST\"," + subscript + "))=(" + vorlan::MQuote(text) + ")") == "1";
    }
    // How many fields ^ZCARD("LAST") holds.
    static std::string LastFields() {
        return Once("S i=0,n=0 F  S i=$O(^ZCARD(\"LAST\",i)) W:i=\"\"!(i'=+i) n Q:i=\"\"!(i'=+i)  S n=n+1");
    }
    void ExpectRoutineRan(const std::vector<std::string>& lines) {
        EXPECT_EQ(std::count(lines.begin(), lines.end(), kRoutineLine), 1);
        std::vector<std::string> trace = Trace();
        EXPECT_EQ(std::count(trace.begin(), trace.end(), "CARD^QKRT"), 1);
        EXPECT_EQ(Server("W $D(%WIN(\"READCARD\"))"), "0");
    }
};

TEST_F(ReadCardServerTest, CardServerFieldsArriveOnTheServerFromTheLastToTheFirst) {
    // SetUp opened KRT, which read at once through the card server.
    for (int i = 1; i <= 16; ++i)
        EXPECT_TRUE(LastIs(std::to_string(i), scard32double::Text(i))) << i;
    EXPECT_TRUE(LastIs("17", "") && LastIs("18", "")) << "the form sends every field it asked for";
    EXPECT_EQ(LastFields(), "18");
    EXPECT_EQ(Once("W $D(^ZCARD(\"LAST\",\"CARD\"))"), "0") << "the dialog's kinds send no card kind";

    // Again with F6, the card server's key: "INIT" in capitals counts as "init".
    Scenario("status=INIT,wait\nevents=140");
    std::vector<std::string> lines = Read(1, "dialog 260 wait:");
    EXPECT_EQ(DialogResult(IDD_READCARD), 1);
    auto first = std::find_if(lines.begin(), lines.end(),
                              [](const std::string& l) { return l.rfind("S %WIN(\"READCARD\",", 0) == 0; });
    ASSERT_GE(lines.end() - first, 19) << "18 fields and the routine";
    std::vector<std::string> expected;
    for (int i = 18; i >= 1; --i)
        expected.push_back("S %WIN(\"READCARD\"," + std::to_string(i) +
                           ")=" + vorlan::MQuote(i > 16 ? "" : scard32double::Text(i)));
    expected.push_back(kRoutineLine);
    EXPECT_EQ(std::vector<std::string>(first, first + 19), expected);
    ExpectRoutineRan(lines);
    EXPECT_TRUE(LastIs("10", scard32double::Text(10)));
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(ReadCardServerTest, FailedReadingsLeaveTheirTextSendNoFieldsAndTheRoutineStillRuns) {
    struct Case {
        const char* name;
        std::string scenario;
        std::string text;
        bool waits; // else the script cancels the dialog at its first idle moment
        const char* notSent;
    };
    const std::vector<Case> cases = {
        {"no terminal", "status=absent\nsearch=fail\nerrtext=Kein Leser an COM1",
         ResourceText(IDS_READCARD_NOT_FOUND, "Kein Leser an COM1"), false, "Device,Info,Type"},
        {"a card detected", "events=120", ResourceText(IDS_READCARD_DETECTED), true, "Card,Lock"},
        {"not a memory card", "events=150\napps=KVK2", ResourceText(IDS_READCARD_NO_KVK), true, "Apps,KVK,"},
        // The reading stops at the first field that fails.
        {"a field fails", "events=150\nfail=GebDatum", ResourceText(IDS_READCARD_FIELD_FAILED), true,
         "Apps,KVK,Strasse,"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Once("K ^ZCARD(\"LAST\")");
        Scenario(c.scenario);
        std::unique_ptr<readingdialog::WhileShown> cancel;
        if (c.waits)
            cancel = std::make_unique<readingdialog::WhileShown>(readingdialog::CancelWhenShown(c.text));
        std::vector<std::string> lines = Read(1, c.waits ? "dialog 260 wait:" : "dialog 260");
        EXPECT_EQ(DialogResult(IDD_READCARD), IDCANCEL);
        for (const fw::ShownItem& item : fw::TestMode::Shown())
            if (item.kind == "dialog") {
                EXPECT_NE(item.text.find(std::to_string(IDC_READCARD_STATUS) + "=" + c.text),
                          std::string::npos)
                    << item.text;
            }
        EXPECT_EQ(harness::ReadTextFile(folder + "scard32.log").find(c.notSent), std::string::npos);
        EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                                [](const std::string& l) { return l.rfind("S %WIN(\"READCARD\",", 0) == 0; }),
                  0);
        ExpectRoutineRan(lines);
        EXPECT_EQ(LastFields(), "0");
    }
}

TEST_F(ReadCardServerTest, KeyboardReaderFieldsArriveOnTheServer) {
    std::vector<std::string> fields(18);
    fields[0] = "BKK \"Nord\"";
    fields[7] = "J\xFCrgen";
    fields[9] = "Stra\xDF"
                "burger";
    fields[17] = std::string(255, 'z');
    std::string typed;
    for (size_t i = 0; i < fields.size(); ++i)
        typed += (i == 17 ? fields[i] + "zzz" : fields[i]) + (i % 2 ? "\r\n" : "?");
    std::string before;
    readingdialog::WhileShown type([&] {
        HWND dialog = readingdialog::Find();
        if (!dialog) return false;
        before = readingdialog::StatusText(dialog);
        // A picture of the waiting dialog, kept as a build artefact.
        char artifacts[MAX_PATH];
        if (::GetEnvironmentVariableA("VORLAN_ARTIFACTS", artifacts, sizeof artifacts)) {
            ::UpdateWindow(dialog);
            ::CreateDirectoryA(artifacts, nullptr);
            EXPECT_TRUE(harness::SaveScreen(std::string(artifacts) + "\\readcard.bmp"));
        }
        readingdialog::Type(dialog, typed);
        return true;
    });
    std::vector<std::string> lines = Read(0, "dialog 260 wait:");
    EXPECT_EQ(before, ResourceText(IDS_READCARD_INSERT));
    EXPECT_EQ(DialogResult(IDD_READCARD), 1);
    for (size_t i = 0; i < fields.size(); ++i)
        EXPECT_TRUE(LastIs(std::to_string(i + 1), fields[i])) << i + 1;
    ExpectRoutineRan(lines);
    std::string log = harness::ReadTextFile(folder + "scard32.log");
    EXPECT_EQ(log.find("AddHWndMsg"), std::string::npos)
        << "the keyboard reader asks the card server nothing";
}
