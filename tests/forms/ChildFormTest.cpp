// The form window: its insertions, its frame messages, its background, its labels, pictures
// and tooltips.
#include "tests/forms/FormFixture.h"

#include "controls/HtmlStatic.h"

#include <algorithm>

using imgtest::Surface;

namespace {

DWORD StyleOf(HWND h) {
    return static_cast<DWORD>(GetWindowLongA(h, GWL_STYLE));
}

SIZE ClientSize(HWND h) {
    RECT r;
    GetClientRect(h, &r);
    return SIZE{r.right, r.bottom};
}

} // namespace

TEST_F(FormTest, EachInsertionMakesItsControlWithItsStyleIdAndTheFormsFont) {
    CRect r(10, 10, 110, 34);
    struct Case {
        const char* what;
        HWND control;
        const char* className;
        DWORD style, exStyle;
        UINT id;
    } cases[] = {
        {"edit", form.InsertEdit(0x1001, r, WS_EX_CLIENTEDGE, ES_UPPERCASE, "Meier"), "Edit",
         WS_CHILD | 0x10030000 | ES_UPPERCASE, WS_EX_CLIENTEDGE, 0x1001},
        {"tab edit", form.InsertTabEdit(0x1002, r, 0, 0, ""), "Edit", WS_CHILD | 0x10030080, 0, 0x1002},
        {"button", form.InsertButton(0x4001, r, BS_PUSHBUTTON, "..."), "Button", WS_CHILD | WS_VISIBLE, 0,
         0x4001},
        {"picture", form.InsertBitmap(0x3001, r, 0, ""), CChildForm::kPictureClass, WS_CHILD | 9,
         WS_EX_CLIENTEDGE, 0x3001},
        {"label", form.InsertStatic(r, 0xFFFF, "Name:", SS_RIGHT), "Static", WS_CHILD | WS_VISIBLE | SS_RIGHT,
         0, 0xFFFF},
    };
    for (const auto& c : cases) {
        ASSERT_NE(c.control, nullptr) << c.what;
        EXPECT_EQ(harness::ClassOf(c.control), c.className) << c.what;
        EXPECT_EQ(StyleOf(c.control) & c.style, c.style) << c.what;
        EXPECT_EQ(GetWindowLongA(c.control, GWL_EXSTYLE) & c.exStyle, c.exStyle) << c.what;
        EXPECT_EQ(static_cast<UINT>(GetDlgCtrlID(c.control)), c.id) << c.what;
        EXPECT_EQ(GetParent(c.control), form.m_hWnd) << c.what;
        EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(c.control, WM_GETFONT, 0, 0)),
                  static_cast<HFONT>(font))
            << c.what;
    }
    EXPECT_FALSE(StyleOf(cases[3].control) & WS_VISIBLE) << "the form shows its picture fields itself";
    EXPECT_EQ(form.m_hMultiEdit, nullptr);
    HWND text = form.InsertEdit(0x1005, CRect(10, 40, 200, 120), 0, ES_MULTILINE, "");
    EXPECT_EQ(form.m_hMultiEdit, text);
}

TEST_F(FormTest, ADisabledFormMakesDisabledControlsAndThePicturesSwitchShowsThemAtOnce) {
    form.EnableWindow(false);
    CRect r(10, 10, 110, 34);
    HWND controls[] = {form.InsertEdit(1, r, 0, 0, ""), form.InsertTabEdit(2, r, 0, 0, ""),
                       form.InsertButton(3, r, 0, "OK"), form.InsertBitmap(4, r, 0, ""),
                       form.InsertStatic(r, 5, "Name:", 0)};
    for (HWND c : controls)
        EXPECT_FALSE(IsWindowEnabled(c)) << GetDlgCtrlID(c);
    form.EnableWindow(true);
    theApp.Settings().pics = 1;
    HWND picture = form.InsertBitmap(6, r, 0, "");
    EXPECT_EQ(StyleOf(picture) & 0x50000080u, 0x50000080u);
    EXPECT_TRUE(IsWindowEnabled(picture));
}

TEST_F(FormTest, TheFormRegistersWithItsFrameAndAsksToBeClosedWhenDestroyed) {
    HWND created = form.m_hWnd;
    ASSERT_EQ(frame.childMessages.size(), 1u);
    EXPECT_EQ(frame.childMessages[0].code, vorlan::kChildRegister);
    EXPECT_EQ(frame.childMessages[0].window, created);
    EXPECT_EQ(frame.childMessages[0].value, 0);
    form.DestroyWindow();
    ASSERT_EQ(frame.childMessages.size(), 2u);
    EXPECT_EQ(frame.childMessages[1].code, vorlan::kChildClose);
    EXPECT_EQ(frame.childMessages[1].window, created);
}

TEST_F(FormTest, LabelsTakeTheirNaturalSizeWhetherTheyTellItOrNot) {
    const char* text = "Geburtsdatum:";
    SIZE expected{};
    {
        CClientDC dc(nullptr);
        CSelectedObject select(dc, font);
        GetTextExtentPoint32A(dc, text, lstrlenA(text), &expected);
    }
    HWND label = form.InsertStatic(CRect(10, 10, 20, 20), 0xFFFF, "", 0);
    SIZE told{};
    EXPECT_EQ(SendMessageA(label, WM_HTML_GETSIZE, reinterpret_cast<WPARAM>(&told), 0), 1);
    // The label tells the size it draws: the text's extent and one pixel more each way.
    SIZE size{};
    form.SetStaticText(&size, label, text);
    EXPECT_EQ(size.cx, expected.cx + 1);
    EXPECT_EQ(size.cy, expected.cy + 1);
    EXPECT_EQ(ClientSize(label).cx, expected.cx + 1);
    // Tags take no room.
    form.SetStaticText(&size, label, "<u>Geburtsdatum:</u>");
    EXPECT_EQ(size.cx, expected.cx + 1);
    EXPECT_EQ(ClientSize(label).cy, expected.cy + 1);
    // A hidden label stays hidden.
    ShowWindow(label, SW_HIDE);
    form.SetStaticText(&size, label, "Name:");
    EXPECT_FALSE(GetWindowLongA(label, GWL_STYLE) & WS_VISIBLE);
    EXPECT_EQ(fw::WindowText(label), "Name:");

    // A plain static leaves the size record alone: the form measures for it.
    HWND plain = CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE, 10, 40, 5, 5, form.m_hWnd, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    SendMessageA(plain, WM_SETFONT, reinterpret_cast<WPARAM>(static_cast<HFONT>(font)), 0);
    SIZE measured{};
    form.SetStaticText(&measured, plain, text);
    EXPECT_EQ(measured.cx, expected.cx);
    EXPECT_EQ(ClientSize(plain).cy, expected.cy);
}

TEST_F(FormTest, FittedLabelsAreMadeWhereTheyEndAtTheSizeTheyDraw) {
    CFont bold;
    bold.CreatePointFont(100, "Tahoma");
    SIZE blank{};
    {
        CClientDC dc(nullptr);
        CSelectedObject select(dc, bold);
        GetTextExtentPoint32A(dc, " ", 1, &blank);
    }
    struct Case {
        const char* text;
        DWORD style;
        const char* blank;
    } cases[] = {{"Geburtsdatum:", SS_RIGHT, " "},
                 {"<b>fett</b> und <font size=5>gro\xDF</font>", SS_LEFT, nullptr},
                 {"zwei<br>Zeilen", SS_RIGHT, nullptr},
                 {"", SS_RIGHT, " "}};
    for (const Case& c : cases) {
        SIZE size{};
        HWND label = form.InsertFittedStatic(200, 30, 0xFFFF, c.text, c.style, bold, &size, c.blank);
        ASSERT_NE(label, nullptr) << c.text;
        // As a label made first and sized to its text afterwards stands.
        HWND sized = form.InsertStatic(CRect(0, 0, 1, 1), 0xFFFF, "", c.style);
        SendMessageA(sized, WM_SETFONT, reinterpret_cast<WPARAM>(static_cast<HFONT>(bold)), FALSE);
        SIZE expected{};
        form.SetStaticText(&expected, sized, c.text);
        // A prompt that draws nothing is as large as a blank.
        SIZE told{};
        SendMessageA(sized, WM_HTML_GETSIZE, reinterpret_cast<WPARAM>(&told), 0);
        if ((told.cx == 0 || told.cy == 0) && c.blank) expected = blank;
        EXPECT_EQ(size.cx, expected.cx) << c.text;
        EXPECT_EQ(size.cy, expected.cy) << c.text;
        RECT r;
        GetWindowRect(label, &r);
        MapWindowPoints(nullptr, form.m_hWnd, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(c.style == SS_RIGHT ? r.right : r.left, 200) << c.text;
        EXPECT_EQ(r.top, 30) << c.text;
        EXPECT_EQ(r.right - r.left, expected.cx) << c.text;
        EXPECT_EQ(r.bottom - r.top, expected.cy) << c.text;
        EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0)), static_cast<HFONT>(bold));
        EXPECT_EQ(fw::WindowText(label), c.text);
        EXPECT_EQ(StyleOf(label) & (WS_CHILD | WS_VISIBLE | SS_NOTIFY), WS_CHILD | WS_VISIBLE | SS_NOTIFY);
        DestroyWindow(label);
        DestroyWindow(sized);
    }
}

TEST_F(FormTest, ExcludedControlsAreNotPaintedOver) {
    form.InsertButton(5, CRect(20, 20, 80, 50), 0, "OK");
    form.m_excluded = {5, 99}; // 99 is no control: nothing to leave out
    Surface s(300, 200);
    form.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(s.dc()));
    EXPECT_EQ(s.At(30, 30), 0xFF00FFu) << "the control's place is left as it was";
    EXPECT_EQ(s.At(5, 5), ButtonFace());
    EXPECT_EQ(s.At(85, 30), ButtonFace());
    EXPECT_EQ(frame.eraseRequests, 0) << "without visual styles the frame is not asked";
}

TEST_F(FormTest, TheBackgroundPictureIsCentred) {
    EXPECT_EQ(form.SetBitmap("2", form.m_background), RGB(255, 0, 0)) << "the top-left pixel";
    Surface s(300, 200);
    form.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(s.dc()));
    int left = (300 - 8) / 2, top = (200 - 6) / 2;
    EXPECT_EQ(s.At(left, top), 0xFF0000u);
    EXPECT_EQ(s.At(left + 7, top), 0x00FF00u);
    EXPECT_EQ(s.At(left + 7, top + 5), 0xFFFF00u);
    EXPECT_EQ(s.At(left - 1, top), ButtonFace());
    EXPECT_EQ(s.At(left, top + 6), ButtonFace());
}

TEST_F(FormTest, UnderVisualStylesTheFrameIsOfferedTheBackgroundFirst) {
    CChildForm::Looks themed;
    themed.visualStyles = true;
    CChildForm::SetLooks(themed);
    frame.eraseColour = RGB(0, 128, 0);
    Surface painted(300, 200);
    form.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(painted.dc()));
    EXPECT_EQ(painted.At(5, 5), 0x008000u);
    frame.eraseColour = CLR_INVALID; // the frame declines
    Surface declined(300, 200);
    form.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(declined.dc()));
    EXPECT_EQ(declined.At(5, 5), ButtonFace());
    EXPECT_EQ(frame.eraseRequests, 2);
}

TEST_F(FormTest, SetBitmapReadsNumberedResourcesAndPictureFilesButNoDamagedOnes) {
    CBitmap bitmap;
    BITMAP bm{};
    EXPECT_NE(form.SetBitmap("1", bitmap), CLR_INVALID) << "number 1 is resource 100, the program's picture";
    ASSERT_TRUE(bitmap.GetBitmap(bm));
    EXPECT_EQ(bm.bmWidth, 96);
    EXPECT_EQ(bm.bmHeight, 64);

    std::string blue = WriteBmp("blau.bmp", 5, 4, 0x0000FF);
    EXPECT_EQ(form.SetBitmap(blue.c_str(), bitmap), RGB(0, 0, 255));
    ASSERT_TRUE(bitmap.GetBitmap(bm));
    EXPECT_EQ(bm.bmWidth, 5);

    // A Targa picture of 2 x 1, top row first: green, red.
    harness::WriteTextFile(folder + "gruen.tga", std::string("\0\0\2\0\0\0\0\0\0\0\0\0\2\0\1\0\x18\x20"
                                                             "\0\xFF\0\0\0\xFF",
                                                             24));
    EXPECT_EQ(form.SetBitmap((folder + "gruen.tga").c_str(), bitmap), RGB(0, 255, 0));
    ASSERT_TRUE(bitmap.GetBitmap(bm));
    EXPECT_EQ(bm.bmWidth, 2);

    harness::WriteTextFile(folder + "foto.bmp", "BM\x05\x00\x04\x00");
    EXPECT_EQ(form.SetBitmap((folder + "foto.bmp").c_str(), bitmap), CLR_INVALID);
    EXPECT_EQ(bitmap.m_hObject, nullptr) << "a picture that cannot be read leaves none";
    EXPECT_EQ(form.SetBitmap((folder + "fehlt.bmp").c_str(), bitmap), CLR_INVALID);
    form.SetBitmap(blue.c_str(), bitmap);
    EXPECT_EQ(form.SetBitmap("", bitmap), CLR_INVALID);
    EXPECT_EQ(bitmap.m_hObject, nullptr) << "an empty text clears";
}

TEST_F(FormTest, TooltipsFitTheirLinesAndStayOnTheVirtualScreen) {
    const char* text = "Name:\tMeier\nGeburtsdatum:\t1.2.1960";
    int screenRight = GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN);
    int screenBottom = GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN);
    HWND tip = CreateWindowExA(WS_EX_TOPMOST, CChildForm::kToolTipClass, text, WS_POPUP | WS_BORDER | 0x2,
                               screenRight - 10, screenBottom - 5, 0, 0, frame.m_hWnd, nullptr,
                               GetModuleHandleA(nullptr), static_cast<HFONT>(font));
    ASSERT_NE(tip, nullptr);
    int width = 0, lineHeight = 0;
    {
        CClientDC dc(nullptr);
        CSelectedObject select(dc, font);
        for (const char* line : {"Name:\tMeier", "Geburtsdatum:\t1.2.1960"})
            width = std::max(
                width, static_cast<int>(LOWORD(GetTabbedTextExtentA(dc, line, lstrlenA(line), 0, nullptr))));
        TEXTMETRICA tm{};
        GetTextMetricsA(dc, &tm);
        lineHeight = tm.tmHeight;
    }
    CRect r;
    GetWindowRect(tip, &r);
    EXPECT_EQ(r.Width(), width + 7);
    EXPECT_EQ(r.Height(), 2 * lineHeight + 4);
    EXPECT_EQ(r.right, screenRight) << "moved left onto the screen";
    EXPECT_EQ(r.bottom, screenBottom - 5) << "above its anchor";

    SetWindowTextA(tip, text);
    CRect again;
    GetWindowRect(tip, &again);
    EXPECT_EQ(again, r) << "sizing anew does not walk it up the screen";

    SetWindowPos(tip, nullptr, 200, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE); // a new anchor
    SetWindowTextA(tip, "kurz");
    GetWindowRect(tip, &r);
    EXPECT_EQ(r.left, 200);
    EXPECT_EQ(r.bottom, 300);
    EXPECT_EQ(SendMessageA(tip, WM_NCHITTEST, 0, MAKELPARAM(210, 290)), HTTRANSPARENT);
    DestroyWindow(tip);
}

TEST_F(FormTest, TheStaticPictureSizesAroundItsBitmapAndDeletesIt) {
    HBITMAP bitmap;
    {
        CClientDC screen(nullptr);
        bitmap = CreateCompatibleBitmap(screen, 40, 30);
    }
    HWND w = CreateWindowExA(WS_EX_TOOLWINDOW, CChildForm::kStaticBitmapClass, "", WS_POPUP | WS_BORDER, 10,
                             20, 1, 1, nullptr, nullptr, GetModuleHandleA(nullptr), bitmap);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(ClientSize(w).cx, 40);
    EXPECT_EQ(ClientSize(w).cy, 30);
    CRect r;
    GetWindowRect(w, &r);
    EXPECT_EQ(r.TopLeft(), CPoint(10, 20));
    DestroyWindow(w);
    EXPECT_EQ(GetObjectType(bitmap), 0u) << "the window owned it";
}
