// The file copy dialog under test mode, the folder chooser and the path functions on the
// real file system.
#include "framework/App.h"
#include "framework/TestMode.h"
#include "resources/ServiceIds.h"
#include "tests/harness/Harness.h"
#include "tools/FileCopy.h"
#include "tools/FileDropTarget.h"
#include "tools/FolderDialog.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using harness::Exists;
using harness::IsFolder;

std::string CurrentFolder() {
    char current[MAX_PATH] = {};
    ::GetCurrentDirectoryA(MAX_PATH, current);
    return current;
}

class FileToolsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fw::TestMode::Enable("", "FileToolsTest");
        ASSERT_NE(m_language.Handle(), nullptr);
    }
    void TearDown() override {
        fw::TestMode::Disable();
    }
    CWinApp m_app{"FileToolsTest"};
    harness::LanguageLibrary m_language;
};

} // namespace

TEST_F(FileToolsTest, CopyDialogListsEachDroppedFileOnceAndMovesThemIntoTheDestination) {
    std::string root = harness::NewFolder("filecopy");
    std::string source = root + "quelle", target = root + "ziel\\unter";
    ::CreateDirectoryA(source.c_str(), nullptr);
    ::CreateDirectoryA((source + "\\ordner").c_str(), nullptr);
    harness::WriteTextFile(source + "\\a.txt", "a");
    harness::WriteTextFile(source + "\\b.txt", "b");
    std::string before = CurrentFolder();
    fw::TestMode::PushAnswer("dialog filecopy drop:" + source + "\\a.txt drop:" + source +
                             "\\ordner drop:" + source + "\\a.txt drop:" + source +
                             "\\fehlt.txt drop:" + source + "\\b.txt cmd:1105");
    CFileCopy dialog(nullptr, "Kopieren nach", source.c_str(), target.c_str(), "Bitte Dateien hierher ziehen",
                     nullptr);
    EXPECT_TRUE(IsFolder(target)) << "the destination is made with all its parents";
    dialog.DoModal();
    EXPECT_EQ(dialog.ResultFlag(), 1);
    EXPECT_TRUE(Exists(target + "\\a.txt"));
    EXPECT_TRUE(Exists(target + "\\b.txt"));
    EXPECT_FALSE(Exists(source + "\\a.txt")) << "moved, not copied";
    EXPECT_TRUE(IsFolder(source + "\\ordner")) << "folders are refused";
    EXPECT_EQ(CurrentFolder(), before);
    auto shown = fw::TestMode::Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, "filecopy");
    EXPECT_EQ(shown[0].caption, "Kopieren nach");
    EXPECT_EQ(shown[0].text,
              "1085=Bitte Dateien hierher ziehen|1103=" + source + "\\a.txt;" + source + "\\b.txt");
    EXPECT_EQ(shown[0].answer, 1);
}

TEST_F(FileToolsTest, FolderChooserTakesTheStandardTitleAndKeepsTheInitialFolderOnCancel) {
    fw::TestMode::PushAnswer("dialog folder path:C:\\TEMP\\gew\\sählt");
    CFolderDialog chosen("C:\\TEMP", 0, nullptr, 0);
    EXPECT_EQ(chosen.DoModal(), 1);
    EXPECT_EQ(chosen.GetFolderPath(), "C:\\TEMP\\gew ählt");
    CFolderDialog cancelled("C:\\TEMP", 0, nullptr, IDS_ALL_FILES);
    EXPECT_EQ(cancelled.DoModal(), 2);
    EXPECT_EQ(cancelled.GetFolderPath(), "C:\\TEMP");
    auto shown = fw::TestMode::Shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].caption, "Bitte wählen Sie einen Ordner aus:");
    EXPECT_EQ(shown[1].caption, "Alle Dateien");
}

TEST_F(FileToolsTest, MakeDirectoryCreatesEveryLevelAndLeavesTheCurrentFolder) {
    std::string root = harness::NewFolder("makedir");
    std::string before = CurrentFolder();
    EXPECT_NE(CFileDropTarget::MakeDirectory((root + "a\\b\\c").c_str()), 0);
    EXPECT_TRUE(IsFolder(root + "a\\b\\c"));
    EXPECT_EQ(CurrentFolder(), before);
    EXPECT_EQ(CFileDropTarget::MakeDirectory((root + "a\\b\\c").c_str()), 0);
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS))
        << "callers accept an existing folder";
    EXPECT_EQ(CFileDropTarget::MakeDirectory("C:\\"), 0);
    EXPECT_EQ(CFileDropTarget::MakeDirectory((root + std::string(260, 'x')).c_str()), 0);
    EXPECT_NE(CFileDropTarget::MakeDirectory((root + "d\\").c_str()), 0) << "a trailing backslash";
    EXPECT_TRUE(IsFolder(root + "d"));
}

TEST_F(FileToolsTest, MakeDirectoryCreatesOnlyTheFoldersBelowAUncShare) {
    // Wine serves \\server\share from the prefix's dosdevices\unc folder, seen through Z:.
    char prefix[MAX_PATH] = {};
    if (!::GetEnvironmentVariableA("WINEPREFIX", prefix, MAX_PATH)) GTEST_SKIP() << "not under Wine";
    std::string unix = std::string("Z:") + prefix + "/dosdevices/unc";
    for (char& c : unix)
        if (c == '/') c = '\\';
    ::CreateDirectoryA(unix.c_str(), nullptr);
    ::CreateDirectoryA((unix + "\\hubhost").c_str(), nullptr);
    std::string name = "teil" + std::to_string(::GetCurrentProcessId()) + "-";
    int n = 1;
    while (n < 1000 &&
           !::CreateDirectoryA((unix + "\\hubhost\\" + name + std::to_string(n)).c_str(), nullptr))
        ++n; // a share that no earlier run left
    std::string share = unix + "\\hubhost\\" + name + std::to_string(n);
    ASSERT_TRUE(IsFolder(share));
    std::string unc = "\\\\hubhost\\" + name + std::to_string(n);
    if (!IsFolder(unc)) GTEST_SKIP() << "this Wine serves no UNC shares from the prefix";
    EXPECT_NE(CFileDropTarget::MakeDirectory((unc + "\\x\\y").c_str()), 0);
    EXPECT_TRUE(IsFolder(share + "\\x\\y"));
}

TEST_F(FileToolsTest, TranslateDirectoryFillsInTheProgramAndRefusesWhatDoesNotFit) {
    char exe[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string folder(exe);
    folder.resize(folder.find_last_of('\\'));
    char path[MAX_PATH] = "%program%\\Vorlagen";
    EXPECT_TRUE(CFileDropTarget::TranslateDirectory(path, path)) << "in place";
    EXPECT_EQ(std::string(path), folder + "\\Vorlagen");
    std::string tooLong = "%vorlan%" + std::string(260 - std::strlen(exe), 'x');
    EXPECT_FALSE(CFileDropTarget::TranslateDirectory(tooLong.c_str(), path));
    EXPECT_EQ(std::string(path), "");
}
