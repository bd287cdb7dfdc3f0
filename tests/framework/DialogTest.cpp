#include "framework/App.h"
#include "framework/Dialog.h"
#include "framework/FileDialog.h"
#include "framework/StatusDialog.h"
#include "framework/Sync.h"
#include "framework/TestMode.h"
#include "framework/Thread.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

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

namespace {

struct RowDialog : CDialog {
    RowDialog() : CDialog(103) {}
    int chosen = -2;
    bool OnInitDialog() override {
        HWND list = GetDlgItem(1024);
        LVCOLUMNA column{};
        column.mask = LVCF_WIDTH;
        column.cx = 100;
        ::SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
        for (const char* text : {"Erste", "Zweite", "Dritte"}) {
            LVITEMA item{};
            item.mask = LVIF_TEXT;
            item.iItem = 99;
            item.pszText = const_cast<char*>(text);
            ::SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        }
        return true;
    }
    void OnOK() override {
        chosen = static_cast<int>(
            ::SendMessageA(GetDlgItem(1024), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
        CDialog::OnOK();
    }
};

} // namespace

TEST_F(DialogTest, AScriptSelectsAListViewRow) {
    CWinApp app("FwTest");
    fw::TestMode::PushAnswer("dialog 103 sel:1024=1 cmd:1");
    RowDialog dialog;
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.chosen, 1);
}

TEST_F(DialogTest, TheStatusDialogShowsItsTextAndGoesWithItsObject) {
    CWinApp app("FwTest");
    HWND owner =
        ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    HWND shown = nullptr;
    {
        CStatusDialog status(103, owner);
        ASSERT_TRUE(status.IsShown());
        status.SetText(1065, "Es l\xE4uft ...");
        shown = status.Window();
        EXPECT_EQ(fw::WindowText(::GetDlgItem(shown, 1065)), "Es l\xE4uft ...");
        EXPECT_EQ(::GetWindow(shown, GW_OWNER), owner) << "a window without an object of its own owns it";
        EXPECT_EQ(CWnd::FromHandlePermanent(owner), nullptr) << "and is not kept";
    }
    EXPECT_FALSE(::IsWindow(shown));
    CStatusDialog missing(999, owner);
    EXPECT_FALSE(missing.IsShown());
    missing.SetText(1065, "nichts");
    ::DestroyWindow(owner);
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

namespace {

// Types into whatever has the focus, as a keyboard does.
void TypeKeys(const char* keys) {
    std::vector<INPUT> inputs;
    for (const char* k = keys; *k; ++k) {
        SHORT scan = ::VkKeyScanA(*k);
        for (bool up : {false, true}) {
            INPUT in{};
            in.type = INPUT_KEYBOARD;
            in.ki.wVk = LOBYTE(scan);
            in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
            inputs.push_back(in);
        }
    }
    INPUT ret[2]{};
    for (int i = 0; i < 2; ++i) {
        ret[i].type = INPUT_KEYBOARD;
        ret[i].ki.wVk = VK_RETURN;
        ret[i].ki.dwFlags = i ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(ret[i]);
    }
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// A name field that takes no digits: its filter sits in the dialog's PreTranslateMessage,
// which only a modal loop that pre-translates reaches. The keys are typed once the dialog
// stands, Return ends it.
struct FilteredNameDialog : NameDialog {
    const char* keys = "ab1c";
    int filtered = 0;
    void OnEnterIdle(int count) override {
        if (count == 0) TypeKeys(keys);
    }
    bool PreTranslateMessage(MSG* msg) override {
        if (msg->message == WM_CHAR && msg->wParam >= '0' && msg->wParam <= '9') {
            ++filtered;
            return true;
        }
        return NameDialog::PreTranslateMessage(msg);
    }
    bool OnInitDialog() override {
        NameDialog::OnInitDialog();
        SetDlgItemText(kName, "");
        ::SetForegroundWindow(m_hWnd);
        return true;
    }
};

} // namespace

TEST(DialogReal, TheModalLoopOffersTypedKeysToTheDialogsOwnFilter) {
    fw::TestMode::Disable();
    FilteredNameDialog dlg;
    EXPECT_EQ(dlg.RunModal(), IDOK) << "Return pressed the default button";
    EXPECT_EQ(dlg.result, "abc");
    EXPECT_EQ(dlg.filtered, 1);
}

TEST_F(DialogTest, AScriptThatWaitsRunsTheDialogForAPerson) {
    CWinApp app("FwTest");
    fw::TestMode::PushAnswer("dialog 100 wait:");
    FilteredNameDialog dlg;
    dlg.keys = "d2e";
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.result, "de") << "typed through the filter";
    auto shown = fw::TestMode::Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].answer, IDOK);
}

TEST(TestModeScript, LinesAddedWhileTheProgramRunsAreTaken) {
    char temp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, temp);
    std::string dir = std::string(temp) + "fwtest-live-" + std::to_string(::GetCurrentProcessId());
    ::CreateDirectoryA(dir.c_str(), nullptr);
    std::string script = dir + "\\script.txt";
    auto write = [&](const char* mode, const char* text) {
        FILE* f = std::fopen(script.c_str(), mode);
        std::fputs(text, f);
        std::fclose(f);
    };
    write("wb", "box IDNO"); // a last line without its end, as tests write them
    fw::TestMode::Enable(dir, "TestModeScript");
    EXPECT_EQ(fw::TestMode::AnswerMessageBox("a", "", MB_YESNO), IDNO);
    write("ab", "\nbox IDRETRY\nbox IDAB");
    EXPECT_EQ(fw::TestMode::AnswerMessageBox("b", "", MB_RETRYCANCEL), IDRETRY);
    EXPECT_EQ(fw::TestMode::AnswerMessageBox("c", "", MB_YESNO), IDYES) << "a half-written line waits";
    write("ab", "ORT\n");
    EXPECT_EQ(fw::TestMode::AnswerMessageBox("d", "", MB_ABORTRETRYIGNORE), IDABORT);
    fw::TestMode::Disable();
    ::DeleteFileA(script.c_str());
    ::DeleteFileA((dir + "\\shown.txt").c_str());
    ::RemoveDirectoryA(dir.c_str());
}
