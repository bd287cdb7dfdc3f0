// The rich-text field on a recording test form under Wine's rich edit: its text in RTF and
// plain text, the toolbar, the Tab jump to placeholders, Ctrl+Enter and its default font.
#include "controls/FormatWnd.h"
#include "framework/App.h"
#include "framework/Thread.h"
#include "resources/RichTextIds.h"
#include "resources/resource.h"
#include "tests/harness/Harness.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The form: records the commands and placeholder searches the field sends it.
class RecordingForm : public CWnd {
  public:
    struct Command {
        UINT id, code;
        HWND from;
    };
    std::vector<Command> commands;
    std::vector<std::pair<std::string, int>> searches;
    int erases = 0;

    int Count(UINT code) const {
        int n = 0;
        for (const Command& c : commands)
            n += c.code == code && c.id == 0x1001;
        return n;
    }
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        switch (msg) {
        case WM_COMMAND:
            commands.push_back({LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)});
            return 0;
        case EN_SEARCHSTRING:
            searches.emplace_back(reinterpret_cast<const char*>(wParam), *reinterpret_cast<int*>(lParam));
            return 0;
        case WM_TAB_ERASEBKGND: ++erases; return 0;
        default: return CWnd::WindowProc(msg, wParam, lParam);
        }
    }
};

const char* const kLetter = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}"
                            "\\pard\\f0\\fs22 Sehr \\b geehrter\\b0  \\i Herr\\i0  @Name,\\par"
                            "\\pard\\qc\\f1\\fs28 Mitte\\par}";

class FormatWndTest : public ::testing::Test {
  protected:
    CWinApp app{"FormatWndTest"};
    harness::LanguageLibrary language;
    RecordingForm form;
    CWnd other;
    CFormatWnd* field = nullptr;
    std::vector<std::string> asked;

    void SetUp() override {
        ASSERT_NE(language.Handle(), nullptr);
        CWnd::RegisterWindowClass("FormatTestForm", 0, nullptr, nullptr,
                                  reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
        ASSERT_TRUE(form.CreateEx(0, "FormatTestForm", "Formular", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                  CRect(0, 0, 640, 480), nullptr, 0));
        ASSERT_TRUE(
            other.CreateEx(0, "EDIT", "", WS_CHILD | WS_VISIBLE, CRect(10, 420, 200, 440), form, 0x1002));
        app.m_pMainWnd = &form;
        CFormatEdit::SetExecutor([this](const std::string& line) -> std::string {
            asked.push_back(line);
            return line.find("FONT") != std::string::npos ? "Arial" : "11";
        });
        field = MakeField();
        ASSERT_NE(field, nullptr);
    }
    void TearDown() override {
        CFormatEdit::SetExecutor(nullptr);
        app.m_pMainWnd = nullptr;
        form.DestroyWindow();
    }
    CFormatWnd* MakeField() {
        auto* f = new CFormatWnd;
        if (!f->Create(CRect(10, 10, 610, 400), form, 0x1001)) {
            delete f;
            return nullptr;
        }
        return f;
    }
    HWND Edit() { return field->Edit().m_hWnd; }
    std::string Text() {
        int n = ::GetWindowTextLengthA(*field);
        std::string text(static_cast<size_t>(n) + 1, '\0');
        int got = ::GetWindowTextA(*field, text.data(), n + 1);
        text.resize(static_cast<size_t>(got));
        return text;
    }
    void Mode(bool rtf, bool selection = false) {
        EXPECT_EQ(field->SendMessage(WM_RICH_SETTEXTMODE, rtf, selection), 1);
    }
    void Select(long from, long to) { field->SendMessage(EM_SETSEL, from, to); }
    CHARFORMATA FormatAt(HWND edit, long at) {
        ::SendMessageA(edit, EM_SETSEL, at, at + 1);
        CHARFORMATA f{};
        f.cbSize = sizeof f;
        ::SendMessageA(edit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&f));
        return f;
    }
    std::string Plain(HWND edit) {
        return dynamic_cast<CRichEditCtrl*>(CWnd::FromHandlePermanent(edit))->GetText().str();
    }
    CToolBarRichEdit& Bar() { return field->ToolBar(); }
    bool Checked(UINT id) { return Bar().IsButtonChecked(id); }
    void Click(UINT id) {
        CRect r = Bar().GetItemRect(Bar().CommandToIndex(id));
        LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        Bar().SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
        Bar().SendMessage(WM_LBUTTONUP, 0, at);
        harness::Pump();
    }
    void Tab() { ::SendMessageA(Edit(), WM_CHAR, '\t', 0); }
    CHARRANGE Selection() {
        CHARRANGE r{};
        field->SendMessage(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r));
        return r;
    }
};

TEST_F(FormatWndTest, RtfAndPlainTextTravelWholeThroughTheWindowText) {
    field->SetWindowText(kLetter);
    std::string rtf = Text();
    ASSERT_EQ(rtf.compare(0, 5, "{\\rtf"), 0);
    // The length asked first is the whole text's: a caller sizing its buffer by it gets all.
    EXPECT_EQ(static_cast<int>(rtf.size()), ::GetWindowTextLengthA(*field));

    CFormatWnd* copy = MakeField();
    ASSERT_NE(copy, nullptr);
    copy->SetWindowText(rtf.c_str());
    HWND a = Edit(), b = copy->Edit().m_hWnd;
    EXPECT_EQ(Plain(a), Plain(b));
    EXPECT_EQ(Plain(b), "Sehr geehrter Herr @Name,\rMitte");
    for (long at : {0L, 5L, 14L, 22L}) {
        CHARFORMATA fa = FormatAt(a, at), fb = FormatAt(b, at);
        EXPECT_EQ(fa.dwEffects & (CFE_BOLD | CFE_ITALIC), fb.dwEffects & (CFE_BOLD | CFE_ITALIC)) << at;
        EXPECT_STREQ(fa.szFaceName, fb.szFaceName) << at;
        EXPECT_EQ(fa.yHeight, fb.yHeight) << at;
    }
    EXPECT_TRUE(FormatAt(b, 5).dwEffects & CFE_BOLD);
    EXPECT_TRUE(FormatAt(b, 14).dwEffects & CFE_ITALIC);
    EXPECT_STREQ(FormatAt(b, 27).szFaceName, "Courier New");
    copy->DestroyWindow();

    Mode(false);
    field->SetWindowText("Zeile eins\r\nZeile \"zwei\" \xE4\xF6\xFC\xDF");
    EXPECT_EQ(Text(), "Zeile eins\r\nZeile \"zwei\" \xE4\xF6\xFC\xDF");
    EXPECT_EQ(::GetWindowTextLengthA(*field), static_cast<int>(Text().size()));
}

TEST_F(FormatWndTest, SelectionModeExchangesOnlyTheSelection) {
    Mode(false);
    field->SetWindowText("Hallo Welt");
    Select(6, 10);
    Mode(false, true);
    EXPECT_EQ(Text(), "Welt");
    // Text set in selection mode replaces the selection only.
    field->SetWindowText("Leute");
    Mode(false);
    EXPECT_EQ(Text(), "Hallo Leute");
}

TEST_F(FormatWndTest, SmallBuffersAreRefusedOrFilledAsFarAsTheyGo) {
    Mode(false);
    field->SetWindowText("abcdef");
    char buffer[4] = {'x', 'y', 'z', '\0'};
    EXPECT_EQ(field->SendMessage(WM_GETTEXT, 1, reinterpret_cast<LPARAM>(buffer)), 0);
    EXPECT_EQ(buffer[0], 'x');
    EXPECT_EQ(field->SendMessage(WM_GETTEXT, 4, reinterpret_cast<LPARAM>(buffer)), 3);
    EXPECT_STREQ(buffer, "abc");
}

TEST_F(FormatWndTest, TheDefaultFontComesFromTheServerOrIsTimesNewRoman12) {
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0], "W $G(^ZM(%DN,0,\"RTF-FORMAT\",\"FONT\"))");
    Mode(false);
    field->SetWindowText("Text");
    CHARFORMATA f = FormatAt(Edit(), 1);
    EXPECT_STREQ(f.szFaceName, "Arial");
    EXPECT_EQ(f.yHeight, 220);

    CFormatEdit::SetExecutor([](const std::string&) { return std::string(); });
    CFormatWnd* plain = MakeField();
    ASSERT_NE(plain, nullptr);
    plain->SendMessage(WM_RICH_SETTEXTMODE, 0, 0);
    plain->SetWindowText("Text");
    f = FormatAt(plain->Edit().m_hWnd, 1);
    EXPECT_STREQ(f.szFaceName, "Times New Roman");
    EXPECT_EQ(f.yHeight, 240);
    plain->DestroyWindow();
}

TEST_F(FormatWndTest, TheToolbarShowsTheSelectionsFormats) {
    ASSERT_NE(Bar().m_hWnd, nullptr);
    ASSERT_NE(Bar().FontBox().m_hWnd, nullptr);
    EXPECT_GE(Bar().FontBox().GetCount(), 1);
    EXPECT_EQ(Bar().SizeBox().GetCount(), 19);
    field->SetWindowText(kLetter);
    Select(6, 8); // in "geehrter"
    harness::Pump();
    EXPECT_TRUE(Checked(ID_FORMAT_BOLD));
    EXPECT_FALSE(Checked(ID_FORMAT_ITALIC));
    EXPECT_TRUE(Checked(ID_FORMAT_LEFT));
    EXPECT_FALSE(Checked(ID_FORMAT_CENTRE));
    EXPECT_EQ(fw::WindowText(Bar().FontBox()), "Arial");
    EXPECT_EQ(fw::WindowText(Bar().SizeBox()), "11");
    Select(27, 29); // in "Mitte"
    harness::Pump();
    EXPECT_FALSE(Checked(ID_FORMAT_BOLD));
    EXPECT_TRUE(Checked(ID_FORMAT_CENTRE));
    EXPECT_FALSE(Checked(ID_FORMAT_LEFT));
    EXPECT_EQ(fw::WindowText(Bar().FontBox()), "Courier New");
    EXPECT_EQ(fw::WindowText(Bar().SizeBox()), "14");
}

TEST_F(FormatWndTest, ButtonsFormatTheSelection) {
    Mode(false);
    field->SetWindowText("eins zwei drei");
    Select(5, 9);
    harness::Pump();
    Click(ID_FORMAT_BOLD);
    EXPECT_TRUE(Checked(ID_FORMAT_BOLD));
    EXPECT_TRUE(FormatAt(Edit(), 6).dwEffects & CFE_BOLD);
    EXPECT_FALSE(FormatAt(Edit(), 1).dwEffects & CFE_BOLD);
    Select(5, 9);
    harness::Pump();
    Click(ID_FORMAT_UNDERLINE);
    EXPECT_TRUE(FormatAt(Edit(), 6).dwEffects & CFE_UNDERLINE);

    // Size from the box, 0 included.
    Select(0, 4);
    ::SetWindowTextA(Bar().SizeBox(), "18");
    field->SendMessage(WM_COMMAND, ID_FORMAT_SIZE, 0);
    EXPECT_EQ(FormatAt(Edit(), 1).yHeight, 360);
    Select(0, 4);
    ::SetWindowTextA(Bar().SizeBox(), "0");
    field->SendMessage(WM_COMMAND, ID_FORMAT_SIZE, 0);
    EXPECT_LT(FormatAt(Edit(), 1).yHeight, 360);
    Select(10, 14);
    ::SetWindowTextA(Bar().FontBox(), "Courier New");
    field->SendMessage(WM_COMMAND, ID_FORMAT_FONT, 0);
    EXPECT_STREQ(FormatAt(Edit(), 11).szFaceName, "Courier New");
}

TEST_F(FormatWndTest, AlignmentButtonsKeepOneChoice) {
    Mode(false);
    field->SetWindowText("Absatz");
    Select(1, 1);
    harness::Pump();
    auto alignment = [&] {
        PARAFORMAT p{};
        p.cbSize = sizeof p;
        ::SendMessageA(Edit(), EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&p));
        return p.wAlignment;
    };
    Click(ID_FORMAT_CENTRE);
    EXPECT_EQ(alignment(), PFA_CENTER);
    EXPECT_TRUE(Checked(ID_FORMAT_CENTRE));
    EXPECT_FALSE(Checked(ID_FORMAT_LEFT));
    // Centre clicked again leaves left checked.
    Click(ID_FORMAT_CENTRE);
    EXPECT_EQ(alignment(), PFA_LEFT);
    EXPECT_TRUE(Checked(ID_FORMAT_LEFT));
    EXPECT_FALSE(Checked(ID_FORMAT_CENTRE));
    Click(ID_FORMAT_RIGHT);
    EXPECT_EQ(alignment(), PFA_RIGHT);
    EXPECT_FALSE(Checked(ID_FORMAT_LEFT));
    Click(ID_FORMAT_RIGHT);
    EXPECT_EQ(alignment(), PFA_LEFT);
}

TEST_F(FormatWndTest, TabJumpsToPlaceholdersAndTellsTheFormOfAWord) {
    Mode(false);
    field->SetWindowText("Sehr @Name, bis @");
    Select(0, 0);
    Tab();
    CHARRANGE first = Selection();
    EXPECT_EQ(first.cpMin, 5);
    EXPECT_EQ(first.cpMax, 6);
    ASSERT_EQ(form.searches.size(), 1u);
    EXPECT_EQ(form.searches[0].first, "Sehr @Name, bis @");
    EXPECT_EQ(form.searches[0].second, 6);
    Tab();
    CHARRANGE second = Selection();
    EXPECT_EQ(second.cpMin, 16);
    EXPECT_EQ(second.cpMax, 17);
    EXPECT_EQ(form.searches.size(), 1u);    // nothing follows the last one
    EXPECT_EQ(Text(), "Sehr @Name, bis @"); // no Tab typed

    // Positions are the control's own: a paragraph break counts once.
    field->SetWindowText("Zeile\r\n\xFC@\xE4nderung");
    Select(0, 0);
    Tab();
    EXPECT_EQ(Selection().cpMin, 7);
    ASSERT_EQ(form.searches.size(), 2u);
    EXPECT_EQ(form.searches[1].second, 8);

    // No "@" after the caret: the Tab is typed; an empty field swallows it.
    field->SetWindowText("ohne");
    Select(4, 4);
    Tab();
    EXPECT_EQ(Text(), "ohne\t");
    field->SetWindowText("");
    Tab();
    EXPECT_EQ(Text(), "");
}

TEST_F(FormatWndTest, CtrlEnterBecomesTheSaveCommandThroughPreTranslation) {
    BYTE state[256];
    ::GetKeyboardState(state);
    state[VK_CONTROL] = 0x80;
    ::SetKeyboardState(state);
    MSG msg{Edit(), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    bool taken = app.PreTranslateMessage(&msg);
    state[VK_CONTROL] = 0;
    ::SetKeyboardState(state);
    EXPECT_TRUE(taken);
    ASSERT_FALSE(form.commands.empty());
    EXPECT_EQ(form.commands.back().id, 32783u);
    // Without Ctrl, Enter stays with the edit.
    MSG plain{Edit(), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    EXPECT_FALSE(app.PreTranslateMessage(&plain));
}

TEST_F(FormatWndTest, TheFormHearsTheFieldEnteredAndLeftOnce) {
    form.commands.clear();
    ::SetFocus(*field);
    EXPECT_EQ(::GetFocus(), Edit());
    EXPECT_EQ(form.Count(EN_SETFOCUS), 1);
    EXPECT_EQ(form.commands.back().from, field->m_hWnd);
    // To its own size box and back: the field is not left.
    ::SetFocus(Bar().SizeBox());
    ::SetFocus(Edit());
    EXPECT_EQ(form.Count(EN_KILLFOCUS), 0);
    EXPECT_EQ(form.Count(EN_SETFOCUS), 1);
    ::SetFocus(other);
    EXPECT_EQ(form.Count(EN_KILLFOCUS), 1);
}

TEST_F(FormatWndTest, FontBoxOffAndBackgroundFromTheForm) {
    EXPECT_EQ(field->SendMessage(WM_RICH_ENABLEFONT, 0, 0), 1);
    EXPECT_FALSE(::IsWindowEnabled(Bar().FontBox()));
    EXPECT_EQ(field->SendMessage(WM_RICH_ENABLEFONT, 1, 0), 1);
    EXPECT_TRUE(::IsWindowEnabled(Bar().FontBox()));
    HDC dc = ::GetDC(*field);
    EXPECT_EQ(field->SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 1);
    ::ReleaseDC(*field, dc);
    EXPECT_GE(form.erases, 1);
}

} // namespace
