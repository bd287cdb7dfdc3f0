// File and folder dialogs, the clipboard and shell file lists.
#include "framework/App.h"
#include "framework/Clipboard.h"
#include "framework/ColorFontDialog.h"
#include "framework/FileDialog.h"
#include "framework/FolderBrowser.h"
#include "framework/OleDragDrop.h"
#include "framework/ShellFiles.h"
#include "framework/TestMode.h"
#include "framework/Wnd.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

class CommonDialogTest : public ::testing::Test {
  protected:
    void SetUp() override { fw::TestMode::Enable("", "CommonDialogTest"); }
    void TearDown() override { fw::TestMode::Disable(); }
};

} // namespace

TEST_F(CommonDialogTest, NamedScriptsGiveTheChosenPathAndAreRecorded) {
    CWinApp app("FwTest");
    fw::TestMode::PushAnswer("dialog 100 cmd:1");
    fw::TestMode::PushAnswer("dialog save path:C:\\TEMP\\neu.txt");
    fw::TestMode::PushAnswer("dialog open path:C:\\TEMP\\mit\\sBlank.txt");
    using namespace std::string_literals;
    EXPECT_EQ(fw::FileDialogFilter("Alle (*.*)|*.*||"), "Alle (*.*)\0*.*\0\0"s);
    CFileDialog open(true, nullptr, nullptr, OFN_FILEMUSTEXIST, "Alle|*.*||");
    open.SetTitle("Öffnen");
    EXPECT_EQ(open.DoModal(), IDOK);
    EXPECT_EQ(open.GetPathName(), "C:\\TEMP\\mit Blank.txt") << "the template dialog's line stays for it";
    CFileDialog again(true);
    EXPECT_EQ(again.DoModal(), IDCANCEL) << "each line answers one dialog";
    EXPECT_EQ(again.GetPathName(), "");

    CFolderBrowser folder(nullptr, 0, nullptr, "Ordner");
    char current[MAX_PATH] = {};
    ::GetCurrentDirectoryA(MAX_PATH, current);
    EXPECT_EQ(folder.GetFolderPath(), current) << "no initial folder: the current one";
    EXPECT_EQ(folder.DoModal(), IDCANCEL);
    EXPECT_EQ(folder.GetFolderPath(), current);

    auto shown = fw::TestMode::Shown();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].kind, "open");
    EXPECT_EQ(shown[0].caption, "Öffnen");
    EXPECT_EQ(shown[0].text, "C:\\TEMP\\mit Blank.txt");
    EXPECT_EQ(shown[0].answer, IDOK);
    EXPECT_EQ(shown[2].kind, "folder");
    EXPECT_EQ(shown[2].answer, IDCANCEL);
    EXPECT_EQ(fw::TestMode::DialogScript(100).size(), 1u) << "the template dialog's line is still there";
    EXPECT_EQ(fw::TestMode::DialogScript("save")[0].text, "C:\\TEMP\\neu.txt");
}

TEST_F(CommonDialogTest, ColourAndFontChoosersAnswerFromTheScript) {
    CWinApp app("FwTest");
    fw::TestMode::PushAnswer("dialog color rgb:1,2,3");
    fw::TestMode::PushAnswer("dialog font face:Courier\\sNew size:14");
    CColorDialog colour(RGB(9, 9, 9), CC_FULLOPEN, nullptr);
    EXPECT_EQ(colour.GetColor(), RGB(9, 9, 9)) << "preset";
    EXPECT_EQ(colour.DoModal(), IDOK);
    EXPECT_EQ(colour.GetColor(), RGB(1, 2, 3));
    CColorDialog unanswered(RGB(9, 9, 9), 0, nullptr);
    EXPECT_EQ(unanswered.DoModal(), IDCANCEL);
    EXPECT_EQ(unanswered.GetColor(), RGB(9, 9, 9));

    CFontDialog font("Tahoma", 9, CF_SCREENFONTS, nullptr);
    EXPECT_EQ(font.GetSize(), 90) << "tenths of a point";
    EXPECT_EQ(font.DoModal(), IDOK);
    EXPECT_EQ(font.GetFaceName(), "Courier New");
    EXPECT_EQ(font.GetSize(), 140);
    CFontDialog none("Tahoma", 9, CF_SCREENFONTS, nullptr);
    EXPECT_EQ(none.DoModal(), IDCANCEL);
    EXPECT_EQ(none.GetFaceName(), "Tahoma");
    auto shown = fw::TestMode::Shown();
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[0].kind, "color");
    EXPECT_EQ(shown[2].kind, "font");
    EXPECT_EQ(shown[2].text, "Courier New");
}

TEST(ShellLists, MoveTakesEveryListedFileIntoTheFolder) {
    std::string root = "C:\\TEMP\\fwshellmove";
    ::CreateDirectoryA(root.c_str(), nullptr);
    ::CreateDirectoryA((root + "\\ziel").c_str(), nullptr);
    for (const char* name : {"\\a.txt", "\\b.txt"}) {
        HANDLE f = ::CreateFileA((root + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(f, INVALID_HANDLE_VALUE);
        ::CloseHandle(f);
    }
    EXPECT_TRUE(fw::ShellMoveFiles(nullptr, {root + "\\a.txt", root + "\\b.txt"}, root + "\\ziel",
                                   FOF_SILENT | FOF_NOCONFIRMATION));
    EXPECT_NE(::GetFileAttributesA((root + "\\ziel\\b.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(::GetFileAttributesA((root + "\\a.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(fw::ShellMoveFiles(nullptr, {}, root + "\\ziel"));
}

TEST(Clipboard, TextRoundTripsAndAnEmptyTextIsPlacedToo) {
    ASSERT_TRUE(CWnd::RegisterWindowClass("FwTest.Clip", 0, nullptr, nullptr, nullptr));
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, "FwTest.Clip", "", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));
    std::string text;
    ASSERT_TRUE(fw::SetClipboardText(owner, "Zeile 1\r\nZeile \"2\" \xa7"));
    ASSERT_TRUE(fw::GetClipboardText(owner, text));
    EXPECT_EQ(text, "Zeile 1\r\nZeile \"2\" \xa7");
    ASSERT_TRUE(fw::SetClipboardText(owner, ""));
    text = "alt";
    EXPECT_TRUE(fw::GetClipboardText(owner, text));
    EXPECT_EQ(text, "");
    owner.DestroyWindow();
}

TEST(GlobalText, ReadingStopsAtTheBlocksEnd) {
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, 4);
    std::memcpy(::GlobalLock(block), "abcd", 4); // no terminator
    ::GlobalUnlock(block);
    std::string text = fw::ReadGlobalText(block);
    EXPECT_EQ(text.substr(0, 4), "abcd");
    EXPECT_LE(text.size(), ::GlobalSize(block));
    ::GlobalFree(block);
    HGLOBAL made = fw::MakeGlobalText("x\xa7y");
    EXPECT_EQ(fw::ReadGlobalText(made), "x\xa7y");
    ::GlobalFree(made);
}
