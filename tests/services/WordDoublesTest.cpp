// The Word viewer double and the Word double as the print forms will drive them, built from
// the framework's pieces: the viewer started through the shell, its print command with
// BackgroundPrint lent "0" and put back, and the fax software's values that Word sees while
// printing. Each print comes out of the CUPS fixture's queue.
#include "app/VORLANApp.h"
#include "framework/Registry.h"
#include "framework/ShellFiles.h"
#include "services/AutoWord.h"
#include "tests/app/AppFixture.h"
#include "tests/com/ComDoubleClient.h"
#include "tests/harness/Harness.h"
#include "tests/harness/PrintedPages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

namespace {

const char kOptions[] = "Software\\Microsoft\\Office\\8.0\\Word\\Options";
const char kFax[] = "Software\\AVM\\FRITZ! 2.0\\Fax";
const char kFaxTitles[] = "Software\\VB and VBA Program Settings\\FRITZ!fax\\Print";

std::vector<std::string> ReadLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream in(path, std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

fw::RegSavedValue Text(const std::string& text) {
    return {true, REG_SZ, std::string(text.c_str(), text.size() + 1)};
}

class WordDoublesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ::DeleteFileA(m_viewerLog.c_str());
        harness::WriteTextFile(m_folder + "Brief_0301234567.rtf",
                               "{\\rtf1\\ansi Rechnung f\\'fcr Erika M\\'fcller\\par}");
        ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\AVM");
        ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\VB and VBA Program Settings");
    }
    void TearDown() override {
        ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\AVM");
        ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\VB and VBA Program Settings");
        ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Microsoft\\Office\\8.0");
    }
    std::string Document() const { return m_folder + "Brief_0301234567.rtf"; }

    std::string m_viewer = harness::ExeFolder() + "WordViewerDouble.exe";
    std::string m_viewerLog = harness::ExeFolder() + "WordViewerDouble.log";
    std::string m_folder = harness::FreshFolder("worddoubles");
};

} // namespace

TEST_F(WordDoublesTest, ViewerPrintsOnCommand88WithBackgroundPrintLentAndPutBack) {
    DWORD two = 2;
    ASSERT_TRUE(
        fw::RegPutValue(HKEY_CURRENT_USER, kOptions, "BackgroundPrint",
                        {true, REG_DWORD, std::string(reinterpret_cast<const char*>(&two), sizeof two)}));
    harness::ClearPrintFile();
    fw::CShellProcess viewer;
    ASSERT_TRUE(fw::ShellExecuteProcess(nullptr, "open", m_viewer, "\"" + Document() + "\"", m_folder,
                                        SW_SHOWMINNOACTIVE, viewer));
    HWND window = harness::WaitForWindow(::GetProcessId(viewer.Handle()), "WrdVwrApp", 20000);
    ASSERT_NE(window, nullptr);
    {
        fw::RegSavedValue saved = fw::RegSaveValue(HKEY_CURRENT_USER, kOptions, "BackgroundPrint", 128);
        ASSERT_TRUE(fw::RegPutValue(HKEY_CURRENT_USER, kOptions, "BackgroundPrint", Text("0")));
        ::SendMessageA(window, WM_COMMAND, 88, 0);
        ::SendMessageA(window, WM_CLOSE, 0, 0);
        ASSERT_TRUE(fw::RegRestoreValue(HKEY_CURRENT_USER, kOptions, "BackgroundPrint", saved));
    }
    EXPECT_TRUE(viewer.Wait(20000)) << "the viewer ends after WM_CLOSE";
    std::vector<std::string> log = ReadLines(m_viewerLog);
    ASSERT_GE(log.size(), 4u);
    EXPECT_EQ(log[0], "start " + Document() + " show=" + std::to_string(SW_SHOWMINNOACTIVE));
    EXPECT_EQ(log[1], "command 88 BackgroundPrint=REG_SZ:0 printer=VORLAN-DRUCKER Rufnummer=absent titles=");
    EXPECT_EQ(log[2], "  printed on VORLAN-DRUCKER");
    EXPECT_EQ(log[3], "close");
    fw::RegSavedValue back = fw::RegSaveValue(HKEY_CURRENT_USER, kOptions, "BackgroundPrint");
    EXPECT_EQ(back.type, static_cast<DWORD>(REG_DWORD)) << "put back with its type";
    std::vector<std::string> pages = harness::PrintedPages(60000);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_NE(pages[0].find("Rechnung f\xFCr Erika M\xFC"
                            "ller"),
              std::string::npos)
        << pages[0];
}

TEST_F(WordDoublesTest, WordSeesTheFaxNumberWhilePrinting) {
    std::string word = comdouble::ServerPath("Word.Application");
    ASSERT_FALSE(word.empty());
    comdouble::ClearLog(word);
    ASSERT_TRUE(fw::RegPutValue(HKEY_CURRENT_USER, kFax, "Rufnummer", Text("0301234567")));
    ASSERT_TRUE(fw::RegPutValue(HKEY_CURRENT_USER, kFaxTitles, "Microsoft Word - Brief_0301234567.rtf",
                                Text("0301234567")));
    harness::ClearPrintFile();
    {
        CAutoWord autoWord;
        ASSERT_EQ(autoWord.StartWord(), 0);
        EXPECT_EQ(autoWord.PrintDocument(Document().c_str()), 0);
    }
    std::vector<std::string> log = comdouble::ReadLog(word);
    EXPECT_NE(std::find(log.begin(), log.end(),
                        "  printed printer=VORLAN-DRUCKER Rufnummer=REG_SZ:0301234567 "
                        "titles=Microsoft Word - Brief_0301234567.rtf:0301234567"),
              log.end());
    EXPECT_FALSE(harness::PrintedPages(60000).empty());
    EXPECT_TRUE(harness::WaitUntil([&] { return !comdouble::ServerRunning(word); }, 20000));
}

TEST(WordViewPath, OnlyAnExistingProgramCounts) {
    apptest::PrepareApp("WordViewPathTest", nullptr);
    CString path;
    theApp.SetGeneralValue("WordViewPath", "(Not present)");
    theApp.GetWordViewPath(path);
    EXPECT_TRUE(path.IsEmpty());
    theApp.SetGeneralValue("WordViewPath", "C:\\gibt-es-nicht\\wordview.exe");
    theApp.GetWordViewPath(path);
    EXPECT_TRUE(path.IsEmpty());
    std::string viewer = harness::ExeFolder() + "WordViewerDouble.exe";
    theApp.SetGeneralValue("WordViewPath", viewer.c_str());
    theApp.GetWordViewPath(path);
    EXPECT_EQ(path.str(), viewer);
    apptest::ReleaseApp();
}
