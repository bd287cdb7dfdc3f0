// The demo screen BRF «Brief» in the real main frame against the fixture's dbserver: the
// rich-text field shows the letter in the screen's default font, takes typing and bold from
// its toolbar, and keeps both on the server for the next opening.
#include "controls/FormatWnd.h"
#include "resources/RichTextIds.h"
#include "tests/forms/FormServerFixture.h"
#include "tests/harness/Person.h"

#include <commctrl.h>

#include <string>

using demotrace::Has;

namespace {

class RichTextServerTest : public FormServerTestBase {
  protected:
    CFormatWnd* OpenLetter() {
        StartMemo("BRF");
        if (!Form()) return nullptr;
        return dynamic_cast<CFormatWnd*>(CWnd::FromHandlePermanent(Field(1)));
    }
    static std::string Plain(CFormatWnd* field) { return field->Edit().GetText().str(); }
    static CHARFORMATA FormatAt(CFormatWnd* field, long at) {
        field->Edit().SetSel(at, at + 1);
        CHARFORMATA f{};
        f.cbSize = sizeof f;
        field->Edit().SendMessage(EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&f));
        return f;
    }
    void CloseLetter() {
        Active()->SendMessage(WM_CLOSE);
        harness::Pump();
    }
};

} // namespace

TEST_F(RichTextServerTest, BrfKeepsTypedAndBoldTextForTheNextOpening) {
    LogIn();
    Once("K ^ZDEMO(\"BRF\")");
    CFormatWnd* field = OpenLetter();
    ASSERT_NE(field, nullptr) << "field 1 is the rich-text field";
    EXPECT_TRUE(Has(Trace(), "INIT^QBRF"));
    std::string text = Plain(field);
    size_t date = text.find("@Datum");
    ASSERT_NE(date, std::string::npos) << text;
    EXPECT_EQ(text.rfind("@Anrede @Name,\r\rwir best\xE4tigen", 0), 0u) << text;
    EXPECT_TRUE(FormatAt(field, static_cast<long>(date)).dwEffects & CFE_BOLD);
    CHARFORMATA first = FormatAt(field, 1);
    EXPECT_STREQ(first.szFaceName, "Arial");
    EXPECT_EQ(first.yHeight, 220);
    field->Edit().SetSel(0, 0);
    SaveArtefact("brief.bmp");

    // Typing at the end of the first line, then the new word bold through the toolbar, as a
    // person clicks its buttons and chooses from its font box.
    harness::Person person;
    person.Click(field->Edit().m_hWnd);
    long end = static_cast<long>(text.find(',')) + 1;
    field->Edit().SetSel(end, end);
    person.Type(" Neu");
    field->Edit().SetSel(end + 1, end + 4);
    person.Settle();
    CToolBarRichEdit& bar = field->ToolBar();
    auto button = [&](UINT id) { return bar.GetItemRect(bar.CommandToIndex(id)).CenterPoint(); };
    person.Click(bar.m_hWnd, button(ID_FORMAT_BOLD));
    EXPECT_TRUE(FormatAt(field, end + 2).dwEffects & CFE_BOLD);
    field->Edit().SetSel(end + 1, end + 4);
    person.Click(bar.m_hWnd, button(ID_FORMAT_CENTRE));
    PARAFORMAT para{};
    para.cbSize = sizeof para;
    field->Edit().SendMessage(EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&para));
    EXPECT_EQ(para.wAlignment, PFA_CENTER);
    person.Click(bar.m_hWnd, button(ID_FORMAT_LEFT));
    ASSERT_GE(bar.FontBox().GetCount(), 2);
    for (int item : {0, 1}) {
        field->Edit().SetSel(end + 1, end + 4);
        person.Choose(bar.FontBox().m_hWnd, item);
        EXPECT_EQ(std::string(FormatAt(field, end + 2).szFaceName), bar.FontBox().GetLBText(item).str());
    }

    // Leaving the field sends it: RTF and plain text.
    ::SetFocus(Form()->m_hWnd);
    harness::Pump();
    EXPECT_TRUE(Has(Trace(), "PR^QBRF"));
    std::string plain = Once("W $G(^ZDEMO(\"BRF\",\"TEXT\",1))");
    EXPECT_EQ(plain, "@Anrede @Name, Neu");
    EXPECT_EQ(Once("W $E($G(^ZDEMO(\"BRF\",\"RTF\",1)),1,5)"), "{\\rtf");

    CloseLetter();
    field = OpenLetter();
    ASSERT_NE(field, nullptr);
    text = Plain(field);
    EXPECT_EQ(text.rfind("@Anrede @Name, Neu", 0), 0u) << text;
    EXPECT_TRUE(FormatAt(field, end + 2).dwEffects & CFE_BOLD);
    EXPECT_FALSE(FormatAt(field, 1).dwEffects & CFE_BOLD);
}

TEST_F(RichTextServerTest, ThePasteRequestGoesIntoTheField) {
    LogIn();
    Once("K ^ZDEMO(\"BRF\")");
    CFormatWnd* field = OpenLetter();
    ASSERT_NE(field, nullptr);
    field->Edit().SetSel(0, 0);
    // The server leaves a text to paste; the form's next step serves it at the caret.
    Server("S %WIN(\"%EDITPASTE\")=\"Eingef\xFCgt \"");
    Form()->SendMessage(WM_TESTFOREVENT);
    harness::Pump();
    EXPECT_EQ(Plain(field).rfind("Eingef\xFCgt @Anrede", 0), 0u) << Plain(field);
    EXPECT_EQ(Server("W $D(%WIN(\"%EDITPASTE\"))"), "0");
}

TEST_F(RichTextServerTest, TheLetterFieldGrowsWithItsFrameAndHasNoTooltip) {
    LogIn();
    CFormatWnd* field = OpenLetter();
    ASSERT_NE(field, nullptr);
    CBaseMDI* frame = Active();
    ASSERT_TRUE(GetWindowLongPtrA(frame->m_hWnd, GWL_STYLE) & WS_THICKFRAME) << "sizable";
    CRect before = field->GetWindowRect(), textBefore = field->Edit().GetWindowRect();
    CRect r = frame->GetWindowRect();
    frame->SetWindowPos(nullptr, 0, 0, r.Width() + 120, r.Height() + 80, SWP_NOMOVE | SWP_NOZORDER);
    harness::Pump();
    CRect grown = field->GetWindowRect();
    EXPECT_EQ(grown.TopLeft(), before.TopLeft());
    EXPECT_GT(grown.right, before.right);
    EXPECT_GT(grown.bottom, before.bottom);
    EXPECT_EQ(grown.bottom - field->Edit().GetWindowRect().bottom, before.bottom - textBefore.bottom)
        << "the text below its toolbar grows too";

    TOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = Form()->m_hWnd;
    tool.uId = reinterpret_cast<UINT_PTR>(field->m_hWnd);
    tool.uFlags = TTF_IDISHWND;
    EXPECT_FALSE(SendMessageA(Form()->GetToolTip(), TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&tool)))
        << "a letter of many lines shows no tip over its text";
}

// The field counts a paragraph's end as one character where its text has CR LF (or RTF): the
// caret the server sees and the one it sets are counted as the field counts them.
TEST_F(RichTextServerTest, TheCaretIsCountedInTheFieldsOwnLinesBothWays) {
    LogIn();
    Once("K ^ZDEMO(\"BRF\")");
    // Line 3 column 5: behind "wir ".
    Server("S %WIN(\"CURPOS\")=\"3\xA7"
           "5\"");
    CFormatWnd* field = OpenLetter();
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(Server("W $D(%WIN(\"CURPOS\"))"), "0");
    std::string text = Plain(field);
    size_t third = text.find("wir");
    ASSERT_NE(third, std::string::npos) << text;
    CHARRANGE caret{};
    field->Edit().SendMessage(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&caret));
    EXPECT_EQ(caret.cpMin, static_cast<long>(third + 4)) << "behind \"wir \"";

    // Tab selects the next placeholder and hands its word to the search routine, with the
    // caret in %tz and %tp.
    Server("S %WIN(\"SEARCHRTN\")=\"TAB^QTXT\"");
    harness::Person person;
    ASSERT_TRUE(harness::HoldsFocus(field->m_hWnd, person.Focus()));
    person.Press("Tab");
    size_t date = text.find("@Datum");
    ASSERT_NE(date, std::string::npos);
    field->Edit().SendMessage(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&caret));
    int column = static_cast<int>(date - text.rfind('\r', date));
    EXPECT_EQ(Server("W $G(%tz)_\",\"_$G(%tp)"),
              "3," + std::to_string(column + (caret.cpMin - static_cast<long>(date))))
        << "line 3, where the selection starts";
    Server("K %WIN(\"SEARCHRTN\")");
}
