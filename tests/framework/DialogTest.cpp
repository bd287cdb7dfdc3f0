#include "framework/App.h"
#include "framework/Dialog.h"
#include "framework/FileDialog.h"
#include "framework/Sync.h"
#include "framework/TestMode.h"
#include "framework/Thread.h"

#include <gtest/gtest.h>

namespace {

constexpr UINT kDialog = 100, kName = 1001, kApply = 1002;

struct NameDialog : CDialog {
    NameDialog() : CDialog(kDialog) {}
    CString initial = "Anfang", result;
    int applied = 0;
    bool endAtInit = false;
    bool OnInitDialog() override {
        SetDlgItemText(kName, initial);
        if (endAtInit) EndDialog(77);
        return true;
    }
    bool OnCommand(WPARAM w, LPARAM l) override {
        if (LOWORD(w) == kApply) {
            ++applied;
            return true;
        }
        return CDialog::OnCommand(w, l);
    }
    void OnOK() override {
        result = GetDlgItemText(kName);
        if (result.IsEmpty()) return; // stays open, as a real check would
        CDialog::OnOK();
    }
};

class DialogTest : public ::testing::Test {
  protected:
    void SetUp() override { fw::TestMode::Enable("", "DialogTest"); }
    void TearDown() override { fw::TestMode::Disable(); }
};

} // namespace

TEST_F(DialogTest, ScriptedModalDialogRunsItsOwnHandlers) {
    CWinApp app("FwTest");
    fw::TestMode::PushAnswer("dialog 100 set:1001=Neuer\\sWert cmd:1002 cmd:1");
    NameDialog dlg;
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.result, "Neuer Wert");
    EXPECT_EQ(dlg.applied, 1);
    auto shown = fw::TestMode::Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, "dialog");
    EXPECT_EQ(shown[0].id, 100);
    EXPECT_EQ(shown[0].caption, "Testdialog");
    EXPECT_NE(shown[0].text.find("1001=Anfang"), std::string::npos) << shown[0].text;
    EXPECT_EQ(dlg.m_hWnd, nullptr);
}

TEST_F(DialogTest, ScriptedDialogThatRefusesToCloseIsCancelled) {
    CWinApp app("FwTest");
    fw::TestMode::PushAnswer("dialog * set:1001= cmd:1");
    NameDialog dlg;
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    fw::TestMode::ClearShown();
    NameDialog unscripted; // no answer left: cancelled, never waits
    EXPECT_EQ(unscripted.DoModal(), IDCANCEL);
    NameDialog early;
    early.endAtInit = true;
    EXPECT_EQ(early.DoModal(), 77);
}

TEST(DialogReal, ModalLoopEndsOnTheDialogsOwnCommand) {
    fw::TestMode::Disable();
    struct AutoOk : NameDialog {
        bool OnInitDialog() override {
            NameDialog::OnInitDialog();
            PostMessage(WM_COMMAND, IDOK, 0); // as if the user pressed Return
            return true;
        }
    } dlg;
    EXPECT_EQ(dlg.RunModal(), IDOK);
    EXPECT_EQ(dlg.result, "Anfang");
}

TEST(DialogReal, ModelessDialogOnAWorkerThreadWithItsOwnLoop) {
    fw::TestMode::Disable();
    struct Worker : CWinThread {
        NameDialog dlg;
        CEvent ready;
        HWND hwnd = nullptr;
        bool InitInstance() override {
            if (!dlg.Create(kDialog)) return false;
            hwnd = dlg.m_hWnd;
            ready.SetEvent();
            return true;
        }
        int ExitInstance() override {
            if (dlg.m_hWnd) dlg.DestroyWindow();
            return 5;
        }
    } worker;
    ASSERT_TRUE(worker.CreateThread());
    ASSERT_TRUE(worker.ready.Lock(5000));
    // Sent from another thread: handled by the worker's loop.
    SendMessageA(worker.hwnd, WM_COMMAND, kApply, 0);
    EXPECT_EQ(worker.dlg.applied, 1);
    char buf[64];
    GetDlgItemTextA(worker.hwnd, kName, buf, sizeof buf);
    EXPECT_STREQ(buf, "Anfang");
    worker.PostThreadMessage(WM_QUIT, 0, 0);
    ASSERT_TRUE(worker.Wait(5000));
    DWORD code = 0;
    GetExitCodeThread(worker.m_hThread, &code);
    EXPECT_EQ(code, 5u);
}

TEST(FileDialog, FilterBarsBecomeTheSystemsPairs) {
    using std::string;
    EXPECT_EQ(fw::FileFilterFromBars("Bilder (*.bmp)|*.bmp|Alle|*.*||"),
              string("Bilder (*.bmp)\0*.bmp\0Alle\0*.*\0\0\0\0", 33));
    EXPECT_EQ(fw::FileFilterFromBars("Alle|*.*"), string("Alle\0*.*\0\0", 10));
    EXPECT_EQ(fw::FileFilterFromBars(nullptr), string("\0\0", 2));
}

TEST_F(DialogTest, ScriptedFileDialogTakesTheFileNameAndRecordsTheDefault) {
    CWinApp app("FwTest");
    fw::TestMode::PushAnswer("dialog 1536 set:1152=C:/Bilder/neu.bmp cmd:1");
    CFileDialog chosen(true, nullptr, "C:/Bilder/alt.bmp", OFN_FILEMUSTEXIST, "Alle|*.*||", nullptr);
    EXPECT_EQ(chosen.DoModal(), IDOK);
    EXPECT_EQ(chosen.GetPathName(), "C:/Bilder/neu.bmp");
    CFileDialog unanswered(true, nullptr, "C:/Bilder/alt.bmp", 0, "Alle|*.*||", nullptr);
    EXPECT_EQ(unanswered.DoModal(), IDCANCEL) << "never waits for a person";
    auto shown = fw::TestMode::Shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].id, 1536);
    EXPECT_EQ(shown[0].text, "1152=C:/Bilder/alt.bmp");
    EXPECT_EQ(shown[0].answer, IDOK);
    EXPECT_EQ(shown[1].answer, IDCANCEL);
}
