// The dialog that pumps its own loop: its first idle moment, the characters it takes for
// itself, the dialog manager's keys it keeps, its owner, and how test mode runs it. Also the
// hidden windows that only receive messages.
#include "framework/App.h"
#include "framework/IdleDialog.h"
#include "framework/MessageWnd.h"
#include "framework/TestMode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr UINT kDialog = 100, kName = 1001, kApply = 1002;

// Posts what the user's keyboard would to the window, once the dialog first runs idle.
struct Keyboard {
    UINT msg;
    WPARAM key;
};

struct IdleProbe : CIdleDialog {
    IdleProbe(bool capture, std::vector<Keyboard> input, CWnd* owner = nullptr)
        : CIdleDialog(kDialog, owner), capture(capture), input(std::move(input)) {}
    bool capture;
    std::vector<Keyboard> input;
    std::vector<int> idle;
    std::string captured, events, edit;
    int applied = 0;
    HWND ownerDuringLoop = nullptr;
    bool ownerEnabledDuringLoop = true;

    bool OnInitDialog() override {
        events += "init ";
        CaptureCharacters(capture);
        ::SetFocus(GetDlgItem(kName));
        return false;
    }
    void OnEnterIdle(int count) override {
        idle.push_back(count);
        if (count != 0) return;
        events += "idle ";
        ownerDuringLoop = ::GetWindow(m_hWnd, GW_OWNER);
        if (ownerDuringLoop) ownerEnabledDuringLoop = ::IsWindowEnabled(ownerDuringLoop) != 0;
        HWND edit = GetDlgItem(kName);
        for (const Keyboard& k : input) {
            LPARAM scan = static_cast<LPARAM>(::MapVirtualKeyA(static_cast<UINT>(k.key), 0)) << 16 | 1;
            ::PostMessageA(edit, k.msg, k.key, k.msg == WM_CHAR ? 1 : scan);
        }
    }
    void EndDialog(int result) override {
        edit = GetDlgItemText(kName).str();
        CIdleDialog::EndDialog(result);
    }
    void OnCapturedChar(unsigned char c) override {
        if (c == '!')
            EndDialog(42);
        else
            captured += static_cast<char>(c);
    }
    bool OnCommand(WPARAM w, LPARAM l) override {
        if (LOWORD(w) == kApply) {
            ++applied;
            events += "apply ";
            return true;
        }
        return CIdleDialog::OnCommand(w, l);
    }
};

std::vector<Keyboard> Typed(const std::string& text) {
    std::vector<Keyboard> keys;
    for (char c : text)
        keys.push_back({WM_CHAR, static_cast<unsigned char>(c)});
    return keys;
}

} // namespace

TEST(IdleDialog, CapturedCharactersNeverReachTheFocusedControlNorPressTheDefaultButton) {
    fw::TestMode::Disable();
    const Keyboard enter{WM_KEYDOWN, VK_RETURN}, escape{WM_KEYDOWN, VK_ESCAPE};
    struct Case {
        const char* name;
        bool capture;
        std::vector<Keyboard> input;
        int result;
        std::string captured, edit;
    };
    std::vector<Case> cases = {
        {"captured, ended by the dialog", true, Typed("ab\xFC?\r!"), 42, "ab\xFC?\r", ""},
        // Posted keys become characters only where the platform translates them: the prefix.
        {"Enter does not press the default button",
         true,
         {{WM_CHAR, 'x'}, enter, {WM_CHAR, '!'}},
         42,
         "x",
         ""},
        {"Escape still cancels", true, {{WM_CHAR, 'x'}, escape}, IDCANCEL, "x", ""},
        {"not captured: the edit types, Enter presses OK", false, {{WM_CHAR, 'x'}, enter}, IDOK, "", "x"},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        IdleProbe dlg(c.capture, c.input);
        EXPECT_EQ(dlg.RunModal(), c.result);
        EXPECT_EQ(dlg.captured.substr(0, c.captured.size()), c.captured);
        EXPECT_EQ(dlg.edit, c.edit);
        EXPECT_EQ(dlg.m_hWnd, nullptr) << "the loop destroys the dialog";
        ASSERT_FALSE(dlg.idle.empty());
        EXPECT_EQ(dlg.idle.front(), 0);
        EXPECT_EQ(dlg.events.substr(0, 10), "init idle ") << "the first idle moment follows the set-up";
    }
}

TEST(IdleDialog, OwnerIsDisabledWhileTheLoopRunsAndActiveAfterwards) {
    fw::TestMode::Disable();
    CWnd owner;
    ASSERT_TRUE(
        owner.CreateEx(0, "STATIC", "Besitzer", WS_POPUP | WS_VISIBLE, CRect(10, 10, 300, 200), nullptr, 0));
    IdleProbe dlg(true, Typed("!"), &owner);
    EXPECT_EQ(dlg.RunModal(), 42);
    EXPECT_EQ(dlg.ownerDuringLoop, owner.m_hWnd);
    EXPECT_FALSE(dlg.ownerEnabledDuringLoop);
    EXPECT_TRUE(::IsWindowEnabled(owner.m_hWnd));
    owner.DestroyWindow();
}

TEST(IdleDialog, TestModeRunsTheScriptAtTheFirstIdleMomentAndWaitsOnlyWhenTold) {
    fw::TestMode::Enable("", "IdleDialogTest");
    CWinApp app("FwTest");

    // Unscripted: it does its own start, then is cancelled like any unattended dialog.
    IdleProbe unattended(false, {});
    EXPECT_EQ(unattended.DoModal(), IDCANCEL);
    EXPECT_EQ(unattended.events, "init idle ");

    // The steps follow the dialog's own idle work; "wait:" leaves it to its own end, here the
    // characters posted at that moment.
    fw::TestMode::ClearShown();
    fw::TestMode::PushAnswer("dialog 100 set:1001=Karte cmd:1002 wait:");
    IdleProbe waiting(true, Typed("k!"));
    EXPECT_EQ(waiting.DoModal(), 42);
    EXPECT_EQ(waiting.events, "init idle apply ");
    EXPECT_EQ(waiting.captured, "k");
    std::vector<fw::ShownItem> shown = fw::TestMode::Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].id, 100);
    EXPECT_EQ(shown[0].caption, "Testdialog");
    EXPECT_NE(shown[0].text.find("1001=Karte"), std::string::npos) << "texts as they stood at the end";
    EXPECT_EQ(shown[0].answer, 42);
    fw::TestMode::Disable();
}

TEST(MessageOnlyWindow, ReceivesPostedMessagesAndStaysOutOfTheWindowList) {
    struct Receiver : CWnd {
        std::vector<WPARAM> got;
        LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override {
            if (msg == WM_APP) got.push_back(w);
            return CWnd::WindowProc(msg, w, l);
        }
    } receiver;
    ASSERT_TRUE(fw::CreateMessageOnly(receiver, "Empfang"));
    EXPECT_FALSE(::IsWindowVisible(receiver.m_hWnd));
    std::vector<HWND> topLevel;
    ::EnumWindows(
        [](HWND h, LPARAM list) {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(h);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&topLevel));
    EXPECT_EQ(std::count(topLevel.begin(), topLevel.end(), receiver.m_hWnd), 0)
        << "not among the top-level windows";
    EXPECT_EQ(::FindWindowExA(HWND_MESSAGE, nullptr, nullptr, "Empfang"), receiver.m_hWnd);
    ::PostMessageA(receiver.m_hWnd, WM_APP, 7, 0);
    ::PostMessageA(receiver.m_hWnd, WM_APP, 8, 0);
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        ::DispatchMessageA(&msg);
    EXPECT_EQ(receiver.got, (std::vector<WPARAM>{7, 8}));
    EXPECT_TRUE(receiver.DestroyWindow());
}
