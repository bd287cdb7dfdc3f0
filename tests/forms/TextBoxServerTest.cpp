// The letter screen TXT on the fixture's dbserver: text modules from the search list a lead
// character opens, words after a lead character and "@" placeholders replaced by the
// server, Enter keeping the indentation, the field extras and the picture a button changes.
#include "app/ProtocolLog.h"
#include "forms/FormMessages.h"
#include "tests/forms/FormServerFixture.h"

#include <cstdio>

#include <string>
#include <vector>

using demotrace::Has;

namespace {

const std::string kLetter = "@Anrede @Name,\r\n\r\nanbei unser Angebot vom @Datum.";
const std::string kRegards = "Mit freundlichen Gr\xFC\xDF"
                             "en";

class TextBoxTest : public FormServerTestBase {
  protected:
    // Only the session's own job: the letter journey writes the same entries beside it.
    Lines Trace() { return SessionTrace(); }
    // By the menu leaf «Beispiele» > «Texte», or by its memo name.
    HWND OpenLetter(bool byMenu = false) {
        LogIn();
        if (byMenu) {
            HTREEITEM examples = FindItem("Beispiele");
            if (!examples) return nullptr;
            frame->GetMenuTree().GetTreeCtrl().Expand(examples, TVE_EXPAND);
            harness::Pump();
            Open("Texte [TXT]");
        } else {
            StartMemo("TXT");
        }
        HWND box = Field(4);
        if (box) {
            SetFocus(box);
            harness::Pump();
        }
        Trace();
        return box;
    }
    static void Caret(HWND edit, size_t at) { SendMessageA(edit, EM_SETSEL, at, at); }
    static void CaretToEnd(HWND edit) { Caret(edit, static_cast<size_t>(GetWindowTextLengthA(edit))); }
    static DWORD SelStart(HWND edit) {
        DWORD start = 0, end = 0;
        SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        return start;
    }
    static DWORD SelEnd(HWND edit) {
        DWORD start = 0, end = 0;
        SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        return end;
    }
    static void Type(HWND window, const std::string& text) {
        for (char c : text) {
            SendMessageA(window, WM_CHAR, static_cast<unsigned char>(c), 1);
            harness::Pump();
        }
    }
    // The lead character's pause, over at once.
    static void PauseAfter(HWND edit, char lead) {
        SendMessageA(edit, WM_TIMER, static_cast<unsigned char>(lead), 0);
        harness::Pump();
    }
    // The open search list of the edit, or null.
    static HWND SearchList(HWND edit) {
        struct Find {
            HWND edit, list;
        } find{edit, nullptr};
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND w, LPARAM l) -> BOOL {
                auto* f = reinterpret_cast<Find*>(l);
                if (harness::ClassOf(w) != "ListBox" ||
                    reinterpret_cast<HWND>(GetWindowLongPtrA(w, GWLP_USERDATA)) != f->edit)
                    return TRUE;
                f->list = w;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&find));
        return find.list;
    }
    // The lead character typed at the end of the text and its pause over: the open list.
    static HWND TypeLeadAtEnd(HWND edit, char lead) {
        CaretToEnd(edit);
        Type(edit, std::string(1, lead));
        PauseAfter(edit, lead);
        return SearchList(edit);
    }
    static std::vector<std::string> Entries(HWND list) {
        std::vector<std::string> out;
        for (int i = 0, n = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0)); i < n; ++i) {
            char text[256] = {};
            SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            out.push_back(text);
        }
        return out;
    }
};

} // namespace

TEST_F(TextBoxTest, TextModuleChosenFromTheListAfterTheHash) {
    HWND box = OpenLetter(true);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(Form()->GetTitle(), "Texte");
    EXPECT_EQ(GetFocus(), box);
    ASSERT_EQ(fw::WindowText(box), kLetter);

    Caret(box, kLetter.find("\r\n\r\n") + 2); // the empty second line
    Type(box, "#");
    PauseAfter(box, '#');
    EXPECT_TRUE(Has(Trace(), "TAB^QTXT(\"#\")"));
    HWND list = SearchList(box);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(GetFocus(), list);
    EXPECT_EQ(GetWindowLongPtrA(box, GWLP_USERDATA), 0x8000) << "open, the focus in the list";
    EXPECT_EQ(Entries(list), (std::vector<std::string>{"anl\tAnlagen", "mfg\t" + kRegards,
                                                       "sgdh\tSehr geehrte Damen und Herren,"}));
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 0) << "the first entry selected";
    CRect r;
    GetWindowRect(list, &r);
    EXPECT_EQ(r.Width(), 300);
    EXPECT_LE(r.Height(), 240) << "whole entries";
    EXPECT_GT(r.Height(), 200);
    EXPECT_EQ(SendMessageA(list, WM_NCACTIVATE, FALSE, 0), TRUE) << "the owner keeps its active look";
    EXPECT_EQ(SendMessageA(list, 0x036D /* WM_FLOATSTATUS */, 0x40, 0), TRUE);

    // Typed letters go to the edit as well and move the list's choice.
    Type(list, "m");
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 1);
    Type(list, "f");
    EXPECT_EQ(fw::WindowText(list), "mf");
    EXPECT_NE(fw::WindowText(box).find("\r\n#mf\r\n"), std::string::npos);
    EXPECT_TRUE(Trace().empty()) << "nothing reaches the server while typing in the list";

    // Enter: the typed letters become the entry, a blank ends the word, the server puts the
    // module's text in its place.
    Type(list, "\r");
    EXPECT_FALSE(IsWindow(list));
    EXPECT_EQ(GetFocus(), box);
    EXPECT_EQ(GetWindowLongPtrA(box, GWLP_USERDATA), 0);
    EXPECT_TRUE(Has(Trace(), "ERS^QTXT(\"#mfg\")"));
    EXPECT_EQ(Server("W BRIEF(2)"), kRegards);
    std::string text = fw::WindowText(box);
    EXPECT_NE(text.find("\r\n" + kRegards + " \r\n"), std::string::npos) << "\"#\" keeps the blank: " << text;
    EXPECT_EQ(SelEnd(box), text.find(kRegards) + kRegards.size() + 1) << "the caret behind it";
}

TEST_F(TextBoxTest, SearchListKeysAndTimers) {
    HWND box = OpenLetter();
    ASSERT_NE(box, nullptr);
    CaretToEnd(box);
    // A letter within the pause stops the lead character's timer.
    Type(box, "*");
    EXPECT_TRUE(KillTimer(box, '*')) << "the pause runs";
    Type(box, "*d");
    EXPECT_FALSE(KillTimer(box, '*'));
    Type(box, " ");
    Trace();

    // The pause itself opens the list; Escape gives the focus back and leaves the text.
    Type(box, "*");
    HWND list = nullptr;
    for (int i = 0; i < 500 && !list; ++i) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        harness::Pump();
        list = SearchList(box);
    }
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(Entries(list), (std::vector<std::string>{"dr\tDr. med.", "prof\tProf."}));
    std::string before = fw::WindowText(box);
    SendMessageA(list, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 1) << "arrows stay with the list";
    SendMessageA(list, WM_KEYDOWN, VK_SHIFT, 0);
    EXPECT_TRUE(IsWindow(list)) << "a shift key for a capital letter keeps the list";
    SendMessageA(list, WM_KEYDOWN, VK_ESCAPE, 0);
    harness::Pump();
    EXPECT_FALSE(IsWindow(list));
    EXPECT_EQ(GetFocus(), box);
    EXPECT_EQ(fw::WindowText(box), before);

    // Left goes back to the edit and moves its caret there.
    PauseAfter(box, '*');
    list = SearchList(box);
    ASSERT_NE(list, nullptr);
    DWORD caret = SelEnd(box);
    SendMessageA(list, WM_KEYDOWN, VK_LEFT, 0);
    harness::Pump();
    EXPECT_FALSE(IsWindow(list));
    EXPECT_EQ(GetFocus(), box);
    EXPECT_EQ(SelEnd(box), caret - 1);
    CaretToEnd(box);

    // A double click chooses like Enter; "*" words drop the blank that ended them.
    PauseAfter(box, '*');
    list = SearchList(box);
    ASSERT_NE(list, nullptr);
    SendMessageA(list, LB_SETCURSEL, 1, 0);
    SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, 0);
    harness::Pump();
    EXPECT_FALSE(IsWindow(list));
    EXPECT_TRUE(Has(Trace(), "ERS^QTXT(\"*prof\")"));
    std::string text = fw::WindowText(box);
    EXPECT_EQ(text.substr(text.size() - 5), "Prof.") << text;

    // No list without the focus, without a search table, or for a lead character without one.
    SetFocus(Field(2));
    harness::Pump();
    Trace();
    PauseAfter(box, '#');
    EXPECT_EQ(SearchList(box), nullptr);
    EXPECT_FALSE(Has(Trace(), "TAB^QTXT(\"#\")"));
    SetFocus(box);
    harness::Pump();
    PauseAfter(box, '+');
    EXPECT_EQ(SearchList(box), nullptr) << "the table has no global for \"+\"";
    EXPECT_TRUE(Has(Trace(), "TAB^QTXT(\"+\")"));
    Server("S %WIN(\"SEARCHTABLE\")=\"TAB^QTXT K ^QTXTB\"");
    PauseAfter(box, '#');
    EXPECT_EQ(SearchList(box), nullptr) << "only a routine is run";
    EXPECT_EQ(Server("W $D(^QTXTB)"), "10");
}

TEST_F(TextBoxTest, KeysReachTheListPastTheFormsOwnKeys) {
    HWND box = OpenLetter();
    ASSERT_NE(box, nullptr);
    HWND list = TypeLeadAtEnd(box, '#');
    ASSERT_NE(list, nullptr);
    // As the program's message loop hands a key over: pre-translation first.
    auto press = [&](WPARAM key) {
        MSG m{list, WM_KEYDOWN, key, 1, 0, {0, 0}};
        if (!theApp.PreTranslateMessage(&m)) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
        harness::Pump();
    };
    press(VK_DOWN);
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 1) << "Down is no field move here";
    press(VK_RETURN);
    EXPECT_FALSE(IsWindow(list));
    EXPECT_EQ(GetFocus(), box);
    EXPECT_TRUE(Has(Trace(), "ERS^QTXT(\"#mfg\")"));
    PauseAfter(box, '#');
    list = SearchList(box);
    ASSERT_NE(list, nullptr);
    press(VK_ESCAPE);
    harness::Pump();
    EXPECT_FALSE(IsWindow(list));
    EXPECT_EQ(GetFocus(), box);
    ASSERT_NE(Form(), nullptr) << "Escape in the list does not close the screen";
    EXPECT_EQ(Form()->GetTitle(), "Texte");

    // A list still open goes with its edit.
    PauseAfter(box, '#');
    list = SearchList(box);
    ASSERT_NE(list, nullptr);
    DestroyWindow(box);
    EXPECT_FALSE(IsWindow(list));
}

TEST_F(TextBoxTest, ListClosedElsewhereStillLeavesTheBoxOnce) {
    HWND box = OpenLetter();
    ASSERT_NE(box, nullptr);
    HWND list = TypeLeadAtEnd(box, '#');
    ASSERT_NE(list, nullptr);
    Trace();
    // Towards another field: the frame's activation passes the box, which leaves as usual.
    SetFocus(Field(2));
    harness::Pump();
    EXPECT_FALSE(IsWindow(list));
    EXPECT_EQ(GetWindowLongPtrA(box, GWLP_USERDATA), 0);
    Lines t = Trace();
    EXPECT_TRUE(Has(t, "FO^QCC(2)")) << ::testing::PrintToString(t);
    EXPECT_EQ(Server("W $E(BRIEF(3),$L(BRIEF(3)))"), "#") << "what was typed reached the server";

    // Towards another program's window: the box owes the form its exit until it is clicked.
    SetFocus(box);
    harness::Pump();
    PauseAfter(box, '#');
    list = SearchList(box);
    ASSERT_NE(list, nullptr);
    HWND other = CreateWindowExA(0, "EDIT", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100, 50, nullptr,
                                 nullptr, nullptr, nullptr);
    SetForegroundWindow(other);
    SetFocus(other);
    harness::Pump();
    EXPECT_FALSE(IsWindow(list));
    EXPECT_EQ(GetWindowLongPtrA(box, GWLP_USERDATA), 0x8002);
    Trace();
    SendMessageA(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageA(box, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    harness::Pump();
    EXPECT_EQ(GetWindowLongPtrA(box, GWLP_USERDATA), 0);
    EXPECT_EQ(GetFocus(), box);
    t = Trace();
    int exits = 0;
    for (const std::string& entry : t)
        exits += entry.rfind("PR^QCC(4,", 0) == 0;
    EXPECT_EQ(exits, 1) << "the exit owed since the list opened: " << ::testing::PrintToString(t);
    EXPECT_TRUE(Has(t, "FO^QCC(4)")) << "and a new entry";
    DestroyWindow(other);
}

TEST_F(TextBoxTest, WordsAfterALeadCharacterGoToTheServer) {
    HWND box = OpenLetter();
    ASSERT_NE(box, nullptr);
    CaretToEnd(box);
    Type(box, " abc ");
    EXPECT_FALSE(Has(Trace(), "ERS^QTXT(\"abc\")")) << "three letters and a blank alone send nothing";

    Type(box, "+Name ");
    Lines t = Trace();
    EXPECT_TRUE(Has(t, "ERS^QTXT(\"+Name\")")) << ::testing::PrintToString(t);
    std::string text = fw::WindowText(box);
    EXPECT_EQ(text.substr(text.size() - 11), " abc M\xFC"
                                             "ller")
        << "\"+\" drops the blank that ended it";

    Type(box, " +xyz,");
    EXPECT_TRUE(Has(Trace(), "ERS^QTXT(\"+xyz\")"));
    text = fw::WindowText(box);
    EXPECT_EQ(text.substr(text.size() - 6), " +xyz,") << "refused by the server: the comma stays";
}

TEST_F(TextBoxTest, TabFillsTheNextPlaceholder) {
    HWND box = OpenLetter();
    ASSERT_NE(box, nullptr);
    Caret(box, 0);
    SendMessageA(box, WM_KEYDOWN, VK_TAB, 0);
    harness::Pump();
    EXPECT_TRUE(Has(Trace(), "SUCH^QTXT(\"Anrede\")"));
    EXPECT_EQ(GetFocus(), box);
    EXPECT_EQ(fw::WindowText(box).substr(0, 28), "Sehr geehrter Herr @Name,\r\n\r");
    EXPECT_EQ(SelEnd(box), 18u) << "the caret behind the value";

    SendMessageA(box, WM_KEYDOWN, VK_TAB, 0);
    harness::Pump();
    EXPECT_TRUE(Has(Trace(), "SUCH^QTXT(\"Name\")"));
    SendMessageA(box, WM_KEYDOWN, VK_TAB, 0);
    harness::Pump();
    EXPECT_TRUE(Has(Trace(), "SUCH^QTXT(\"Datum\")"));
    std::string today = Server("W $ZD($H,\"DD.MM.YEAR\")");
    EXPECT_EQ(fw::WindowText(box),
              "Sehr geehrter Herr M\xFCller,\r\n\r\nanbei unser Angebot vom " + today + ".");

    // No placeholder left: the last character is selected and nothing is asked. The key's
    // character, as the message loop makes it, leaves the selection alone.
    std::string filled = fw::WindowText(box);
    MSG tab{box, WM_KEYDOWN, VK_TAB, 0x000F0001, 0, {0, 0}};
    TranslateMessage(&tab);
    DispatchMessageA(&tab);
    harness::Pump();
    EXPECT_TRUE(Trace().empty());
    DWORD length = static_cast<DWORD>(GetWindowTextLengthA(box));
    EXPECT_EQ(SelStart(box), length - 1);
    EXPECT_EQ(SelEnd(box), length);
    EXPECT_EQ(fw::WindowText(box), filled);
}

TEST_F(TextBoxTest, EnterKeepsTheIndentationAndTheCaretAsksTheServerItsPlace) {
    HWND box = OpenLetter();
    ASSERT_NE(box, nullptr);
    SetWindowTextA(box, "Brief\r\n  \tPunkt");
    CaretToEnd(box);
    Type(box, "\r");
    EXPECT_EQ(fw::WindowText(box), "Brief\r\n  \tPunkt\r\n  \t");
    Caret(box, 8); // inside the indentation of "  \tPunkt"
    Type(box, "\r");
    EXPECT_EQ(fw::WindowText(box), "Brief\r\n  \t\r\n  \tPunkt\r\n  \t");
    SetWindowTextA(box, "");
    Type(box, "\r");
    EXPECT_EQ(fw::WindowText(box), "\r\n");

    // The caret's line and column reach the server as %tz and %tp.
    SetWindowTextA(box, "ab\r\ncd");
    Caret(box, 5);
    Form()->SetTextBoxCoord();
    EXPECT_EQ(Server("W %tz_\",\"_%tp"), "2,2");
    SetFocus(Field(2));
    harness::Pump();
    Server("K %tz,%tp");
    Form()->SetTextBoxCoord();
    EXPECT_EQ(Server("W $D(%tz)"), "0") << "only a text box tells its caret";

    // A single-line field turns character 29 into 254 and is a plain edit otherwise.
    HWND field = Field(2);
    SetWindowTextA(field, "");
    Type(field, std::string("a\x1D#b\r"));
    EXPECT_EQ(fw::WindowText(field), "a\xFE#b");
    EXPECT_FALSE(KillTimer(field, '#')) << "no lead characters outside text boxes";
}

TEST_F(TextBoxTest, ExtrasColourAndLockFields) {
    ASSERT_NE(OpenLetter(), nullptr);
    CChildDialog* form = Form();
    HDC dc = CreateCompatibleDC(nullptr);
    auto colours = [&](int n, COLORREF& text, COLORREF& back) {
        SetTextColor(dc, RGB(1, 2, 3));
        LRESULT brush = form->SendMessage(WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                                          reinterpret_cast<LPARAM>(Field(n)));
        text = GetTextColor(dc);
        LOGBRUSH lb{};
        back =
            brush && GetObjectA(reinterpret_cast<HBRUSH>(brush), sizeof lb, &lb) ? lb.lbColor : CLR_INVALID;
    };
    COLORREF text, back;
    const COLORREF plainText = GetSysColor(COLOR_WINDOWTEXT), plainBack = GetSysColor(COLOR_WINDOW);
    colours(1, text, back);
    EXPECT_EQ(text, RGB(255, 0, 0)) << "2: red text";
    EXPECT_EQ(back, RGB(208, 208, 208)) << "14: light grey";
    EXPECT_TRUE(GetWindowLongPtrA(Field(1), GWL_STYLE) & ES_READONLY);
    colours(2, text, back);
    EXPECT_EQ(text, RGB(0, 0, 255)) << "12: blue";
    EXPECT_EQ(back, plainBack) << "0: no background of its own";
    EXPECT_FALSE(GetWindowLongPtrA(Field(2), GWL_STYLE) & ES_READONLY);
    colours(3, text, back);
    EXPECT_EQ(text, plainText) << "a negative index is no colour";
    EXPECT_EQ(back, plainBack);

    form->SetEditExtra(1, "0/0/0");
    colours(1, text, back);
    EXPECT_EQ(text, plainText);
    EXPECT_EQ(back, plainBack);
    EXPECT_FALSE(GetWindowLongPtrA(Field(1), GWL_STYLE) & ES_READONLY);
    form->SetEditExtra(1, "x/20/1");
    colours(1, text, back);
    EXPECT_EQ(back, RGB(0, 0, 0)) << "20 and above: black";
    EXPECT_EQ(text, RGB(1, 2, 3)) << "letters read as 0: the text keeps its colour on a black brush";
    form->SetEditExtra(130, "2/14/1");
    form->SetEditExtra(-1, "2/14/1");
    DeleteDC(dc);
}

TEST_F(TextBoxTest, ExtrasFollowEachChangeOfTextColourBackgroundAndLock) {
    ASSERT_NE(OpenLetter(), nullptr);
    CChildDialog* form = Form();
    HDC dc = CreateCompatibleDC(nullptr);
    const COLORREF plainText = GetSysColor(COLOR_WINDOWTEXT), plainBack = GetSysColor(COLOR_WINDOW);
    // One step after the other on field 1: the background stays while the rest changes, and so on.
    struct {
        const char* extras;
        COLORREF text, back;
        bool readOnly;
    } steps[] = {{"2/14/1", RGB(255, 0, 0), RGB(208, 208, 208), true},
                 {"12/14/1", RGB(0, 0, 255), RGB(208, 208, 208), true},
                 {"12/14/0", RGB(0, 0, 255), RGB(208, 208, 208), false},
                 {"0/14/0", plainText, RGB(208, 208, 208), false},
                 {"0/3/0", plainText, RGB(255, 128, 128), false},
                 {"0/3/0", plainText, RGB(255, 128, 128), false},
                 {"0/0/0", plainText, plainBack, false},
                 {"9/8/1", RGB(0, 255, 0), RGB(128, 255, 128), true}};
    for (const auto& step : steps) {
        form->SetEditExtra(1, step.extras);
        SetTextColor(dc, plainText);
        LRESULT brush = form->SendMessage(WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                                          reinterpret_cast<LPARAM>(Field(1)));
        LOGBRUSH lb{};
        ASSERT_TRUE(brush && GetObjectA(reinterpret_cast<HBRUSH>(brush), sizeof lb, &lb)) << step.extras;
        EXPECT_EQ(lb.lbColor, step.back) << step.extras;
        EXPECT_EQ(GetTextColor(dc), step.text) << step.extras;
        EXPECT_EQ((GetWindowLongPtrA(Field(1), GWL_STYLE) & ES_READONLY) != 0, step.readOnly) << step.extras;
    }
    DeleteDC(dc);
}

TEST_F(TextBoxTest, ButtonChangesThePicture) {
    ASSERT_NE(OpenLetter(), nullptr);
    HWND picture = Form()->GetDlgItem(0x3001);
    ASSERT_NE(picture, nullptr);
    std::string first = fw::WindowText(picture);
    EXPECT_EQ(first.substr(first.size() - 6), "-1.bmp") << first;
    for (const char* now : {"-2.bmp", "-1.bmp"}) {
        Form()->SendMessage(WM_COMMAND, MAKEWPARAM(0x1005, BN_CLICKED), reinterpret_cast<LPARAM>(Field(5)));
        harness::Pump();
        Lines t = Trace();
        EXPECT_TRUE(Has(t, "BILD^QTXT")) << ::testing::PrintToString(t);
        EXPECT_TRUE(Has(t, "INDI^QCC(\"TXT\",1)")) << "the pictures refreshed";
        std::string path = fw::WindowText(picture);
        EXPECT_EQ(path.substr(path.size() - 6), now) << path;
    }

    // With the protocol switch the picture's load is noted with the server's time and job.
    std::string folder = "C:\\TEMP\\textbox-protocol\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string previous = vorlan::ProtocolFolder();
    vorlan::SetProtocolFolder(folder);
    vorlan::WriteProtocol("textbox", vorlan::kLogName);
    std::string log = vorlan::ProtocolFileName();
    DeleteFileA(log.c_str());
    theApp.Settings().protocol = 1;
    Form()->SendMessage(WM_COMMAND, MAKEWPARAM(0x1005, BN_CLICKED), reinterpret_cast<LPARAM>(Field(5)));
    harness::Pump();
    theApp.Settings().protocol = 0;
    vorlan::SetProtocolFolder(previous);
    std::string job = Server("W $JOB"), text;
    if (FILE* f = fopen(log.c_str(), "rb")) {
        char buffer[4096];
        for (size_t n; (n = fread(buffer, 1, sizeof buffer, f)) > 0;)
            text.append(buffer, n);
        fclose(f);
    }
    std::string noted = "CChildDialog::SetIndirectionText - Bild laden: - ";
    size_t at = text.find(noted);
    ASSERT_NE(at, std::string::npos) << text.substr(0, 2000);
    std::string line = text.substr(at + noted.size(), text.find('\n', at) - at - noted.size());
    EXPECT_NE(line.find(" - " + job + " - Z:\\tmp\\vorlan-txt-"), std::string::npos) << line;
}

TEST_F(TextBoxTest, LabelWideningTheFormTellsTheFrameOnce) {
    LogIn();
    StartMemo("LAY");
    CChildDialog* form = Form();
    ASSERT_NE(form, nullptr);
    // Counts the form's requests to fit its frame, on their way to the frame.
    static HWND s_form;
    static int s_fits;
    s_form = form->m_hWnd;
    s_fits = 0;
    HHOOK hook = SetWindowsHookExA(
        WH_CALLWNDPROC,
        [](int code, WPARAM w, LPARAM l) -> LRESULT {
            auto* m = reinterpret_cast<CWPSTRUCT*>(l);
            if (code == HC_ACTION && m->message == WM_CHILDMESSAGE && m->lParam) {
                auto* r = reinterpret_cast<const vorlan::ChildMessageRecord*>(m->lParam);
                if (r->code == vorlan::kChildFit && r->window == s_form) ++s_fits;
            }
            return CallNextHookEx(nullptr, code, w, l);
        },
        nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    int before = form->GetClientRect().Width();
    form->UpdateContents();
    harness::Pump();
    int after = form->GetClientRect().Width();
    EXPECT_GT(after, before);
    EXPECT_EQ(s_fits, 1);
    form->UpdateContents();
    harness::Pump();
    EXPECT_EQ(form->GetClientRect().Width(), after) << "the same text widens nothing more";
    EXPECT_EQ(s_fits, 1) << "and tells the frame nothing more";
    UnhookWindowsHookEx(hook);
}
