// The label control: made as a form makes it, on a parent that records its link messages and
// paints (or declines to paint) behind it; pixels are read from the label's window.
#include "controls/HtmlStatic.h"
#include "framework/Gdi.h"
#include "resources/resource.h"
#include "tests/imaging/Surface.h"
#include "tests/harness/Pointer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

using imgtest::Surface;

namespace {

struct ParentDouble : CWnd {
    std::vector<std::string> links;
    COLORREF behind = RGB(0x33, 0x66, 0x99); // CLR_INVALID: declines to paint
    std::function<void()> onLink;            // what the parent does inside its handler
    LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override {
        switch (msg) {
        case WM_HTML_HYPERLINK:
            links.push_back(w ? reinterpret_cast<const char*>(w) : "<null>");
            if (l != 0) links.back() += " with a value";
            if (onLink) onLink();
            return 1;
        case WM_TAB_ERASEBKGND: {
            if (behind == CLR_INVALID) return 0;
            RECT r;
            ::GetClientRect(reinterpret_cast<HWND>(l), &r);
            CBrush brush(behind);
            ::FillRect(reinterpret_cast<HDC>(w), &r, brush);
            return 1;
        }
        default: return CWnd::WindowProc(msg, w, l);
        }
    }
};

int g_deleted = 0;
struct CountedLabel : CHtmlStatic {
    ~CountedLabel() override { ++g_deleted; }
};

uint32_t Rgb(COLORREF c) {
    return Surface::Rgb(c);
}

class HtmlStaticTest : public ::testing::Test {
  protected:
    ParentDouble parent;
    CFont font;

    void SetUp() override {
        ASSERT_TRUE(CWnd::RegisterWindowClass("HtmlStaticTestParent", 0, nullptr, nullptr,
                                              reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1)));
        ASSERT_TRUE(parent.CreateEx(0, "HtmlStaticTestParent", "Eltern", WS_POPUP | WS_VISIBLE,
                                    CRect(40, 40, 540, 340), nullptr, 0));
        font.CreatePointFont(120, "Tahoma");
        g_deleted = 0;
    }
    void TearDown() override { parent.DestroyWindow(); }

    // As the form inserts a label.
    CHtmlStatic* Make(const char* text, DWORD style, const CRect& rect, CHtmlStatic* label = nullptr) {
        if (!label) label = new CHtmlStatic;
        if (!::IsWindowEnabled(parent)) style |= WS_DISABLED;
        EXPECT_TRUE(label->Create(text, 0x50000000 | style, rect, parent, 0xFFFF));
        label->SetCallbackHyperlink(WM_HTML_HYPERLINK, 0);
        label->SetFont(font, false);
        return label;
    }
    // The label's pixels as it paints them on the screen.
    static std::unique_ptr<Surface> Shown(HWND label) {
        ::InvalidateRect(label, nullptr, FALSE);
        ::UpdateWindow(label);
        RECT r;
        ::GetClientRect(label, &r);
        auto s = std::make_unique<Surface>(r.right, r.bottom);
        HDC dc = ::GetDC(label);
        ::BitBlt(s->dc(), 0, 0, r.right, r.bottom, dc, 0, 0, SRCCOPY);
        ::ReleaseDC(label, dc);
        return s;
    }
    static std::set<uint32_t> Colours(const Surface& s, const RECT& r) {
        std::set<uint32_t> seen;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                seen.insert(s.At(x, y));
        return seen;
    }
    // The box of the pixels that differ from the background; empty when there are none.
    static CRect Ink(const Surface& s, const RECT& r, uint32_t background) {
        CRect box(r.right, r.bottom, r.left, r.top);
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (s.At(x, y) != background) {
                    box.left = std::min<int>(box.left, x);
                    box.top = std::min<int>(box.top, y);
                    box.right = std::max<int>(box.right, x + 1);
                    box.bottom = std::max<int>(box.bottom, y + 1);
                }
        return box.IsRectEmpty() ? CRect() : box;
    }
    SIZE Extent(const char* text) {
        CClientDC dc(nullptr);
        CSelectedObject select(dc, font);
        SIZE size{};
        ::GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
        return size;
    }
    static void Click(HWND label, int x, int y) {
        ::SendMessageA(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        ::SendMessageA(label, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }
    // The pointer over a point of the label's client area, once the system reports it there.
    static void PointAt(HWND label, int x, int y) {
        POINT p{x, y};
        ::ClientToScreen(label, &p);
        if (!harness::MovePointer(p)) ADD_FAILURE() << "the pointer did not move to " << p.x << "," << p.y;
    }
};

} // namespace

TEST_F(HtmlStaticTest, TheLabelIsAStaticThatTakesTheMouseAndTheFormsFont) {
    CHtmlStatic* label = Make("Name:", SS_RIGHT, CRect(10, 10, 110, 30));
    EXPECT_EQ(CHtmlStatic::FromHandle(*label), label);
    EXPECT_EQ(CHtmlStatic::FromHandle(parent), nullptr);
    LONG style = GetWindowLongA(*label, GWL_STYLE);
    EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE | SS_NOTIFY | SS_RIGHT),
              static_cast<LONG>(WS_CHILD | WS_VISIBLE | SS_NOTIFY | SS_RIGHT));
    EXPECT_EQ(reinterpret_cast<HFONT>(label->SendMessage(WM_GETFONT)), static_cast<HFONT>(font));
    EXPECT_EQ(label->GetMarkup(), "Name:");
}

TEST_F(HtmlStaticTest, TheTextIsReadIntoTheCallersBufferAndTheMarkupThroughTheLabel) {
    CHtmlStatic* label = Make("", 0, CRect(10, 10, 110, 30));
    const std::string markup = "<b>Geburtsdatum</b>:";
    EXPECT_EQ(label->SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(markup.c_str())), TRUE);
    EXPECT_EQ(label->GetMarkup(), markup);
    EXPECT_EQ(GetWindowTextLengthA(*label), static_cast<int>(markup.size()));
    struct Case {
        size_t room;
        const char* expected;
    } cases[] = {{64, "<b>Geburtsdatum</b>:"},
                 {21, "<b>Geburtsdatum</b>:"},
                 {20, "<b>Geburtsdatum</b>"},
                 {4, "<b>"},
                 {1, ""}};
    for (const Case& c : cases) {
        char buffer[80];
        std::memset(buffer, 'x', sizeof buffer);
        LRESULT copied = label->SendMessage(WM_GETTEXT, c.room, reinterpret_cast<LPARAM>(buffer));
        EXPECT_STREQ(buffer, c.expected) << c.room;
        EXPECT_EQ(copied, static_cast<LRESULT>(std::strlen(c.expected))) << c.room;
        EXPECT_EQ(buffer[c.room], 'x') << "nothing written past the room of " << c.room;
    }
    EXPECT_EQ(label->SendMessage(WM_GETTEXT, 0, 0), 0) << "no buffer";
    EXPECT_EQ(fw::WindowText(*label), markup);
}

TEST_F(HtmlStaticTest, ItAnswersItsPreparedSize) {
    CHtmlStatic* label = Make("Geburtsdatum:", 0, CRect(10, 10, 20, 20));
    SIZE size{};
    EXPECT_EQ(label->SendMessage(WM_HTML_GETSIZE, reinterpret_cast<WPARAM>(&size)), 1);
    SIZE text = Extent("Geburtsdatum:");
    EXPECT_EQ(size.cx, text.cx + 1);
    EXPECT_EQ(size.cy, text.cy + 1);
    EXPECT_EQ(label->SendMessage(WM_HTML_GETSIZE, 0), 1) << "no record: nothing to fill";
    label->SetWindowText("");
    EXPECT_EQ(label->SendMessage(WM_HTML_GETSIZE, reinterpret_cast<WPARAM>(&size)), 1);
    EXPECT_EQ(size.cx, 0);
    EXPECT_EQ(size.cy, 0);
}

TEST_F(HtmlStaticTest, TheBodyEntryTakesTheFontsFaceHeightWeightAndItalicInWindowTextColour) {
    char colour[16];
    std::snprintf(colour, sizeof colour, "0x%06X", static_cast<unsigned>(GetSysColor(COLOR_WINDOWTEXT)));
    struct Case {
        int height, weight;
        bool italic;
        const char* face;
        std::string expected;
    } cases[] = {
        {-16, 400, false, "Tahoma",
         "font-size:-16px; color:" + std::string(colour) + "; font-family:Tahoma; font-weight:400"},
        {20, 700, true, "Times New Roman",
         "font-size:20px; color:" + std::string(colour) +
             "; font-family:Times New Roman; font-weight:700; font-style:italic"},
        {-11, 0, false, "Courier New",
         "font-size:-11px; color:" + std::string(colour) + "; font-family:Courier New; font-weight:400"},
    };
    for (const Case& c : cases) {
        LOGFONTA lf{};
        lf.lfHeight = c.height;
        lf.lfWeight = c.weight;
        lf.lfItalic = c.italic;
        lstrcpyA(lf.lfFaceName, c.face);
        CFont f;
        ASSERT_TRUE(f.CreateFontIndirect(lf));
        EXPECT_EQ(CHtmlStatic::BodyStyle(f), c.expected);

        // The label measures and draws in that font.
        CHtmlStatic* label = Make("Wort", 0, CRect(10, 10, 200, 60));
        label->SetFont(f, true);
        SIZE told{}, text{};
        label->SendMessage(WM_HTML_GETSIZE, reinterpret_cast<WPARAM>(&told));
        {
            CClientDC dc(nullptr);
            CSelectedObject select(dc, f);
            ::GetTextExtentPoint32A(dc, "Wort", 4, &text);
        }
        EXPECT_EQ(told.cx, text.cx + 1) << c.face;
        EXPECT_EQ(told.cy, text.cy + 1) << c.face;
        auto shown = Shown(*label);
        EXPECT_TRUE(Colours(*shown, CRect(0, 0, 190, 50)).count(Rgb(GetSysColor(COLOR_WINDOWTEXT))))
            << c.face;
        label->DestroyWindow();
    }
}

TEST_F(HtmlStaticTest, BehindTheTextLiesWhatTheParentPaintsOrButtonFace) {
    CHtmlStatic* painted = Make("abc", 0, CRect(10, 10, 110, 40));
    EXPECT_EQ(Shown(*painted)->At(95, 25), Rgb(parent.behind));
    parent.behind = CLR_INVALID;
    CHtmlStatic* declined = Make("abc", 0, CRect(10, 50, 110, 80));
    EXPECT_EQ(Shown(*declined)->At(95, 25), Rgb(GetSysColor(COLOR_BTNFACE)));
    // The background is kept: a parent that changes its mind shows after a new text.
    parent.behind = RGB(0, 128, 0);
    EXPECT_EQ(Shown(*declined)->At(95, 25), Rgb(GetSysColor(COLOR_BTNFACE)));
    declined->SetWindowText("xyz");
    EXPECT_EQ(Shown(*declined)->At(95, 25), 0x008000u);
}

TEST_F(HtmlStaticTest, TheTextSitsWhereTheStaticStylesPutIt) {
    const CRect client(0, 0, 200, 60);
    SIZE text = Extent("abc");
    const int width = text.cx + 1, height = text.cy + 1;
    // The glyphs at the top left, one pixel lower, inside the text's extent.
    CHtmlStatic* topLeft = Make("abc", SS_LEFT, CRect(20, 20, 220, 80));
    CRect home = Ink(*Shown(*topLeft), client, Rgb(parent.behind));
    ASSERT_FALSE(home.IsRectEmpty());
    EXPECT_GE(home.left, 0);
    EXPECT_LE(home.right, width);
    EXPECT_GE(home.top, 1);
    EXPECT_LE(home.bottom, 1 + height);
    struct Case {
        const char* what;
        DWORD style;
        int dx, dy; // from the top left
    } cases[] = {
        {"right, top", SS_RIGHT, 200 - width, 0},
        {"centred both ways", SS_CENTER | SS_CENTERIMAGE, (200 - width) / 2, (60 - height) / 2},
        {"left, centred", SS_LEFT | SS_CENTERIMAGE, 0, (60 - height) / 2},
    };
    for (const Case& c : cases) {
        CHtmlStatic* label = Make("abc", c.style, CRect(20, 90, 220, 150));
        CRect ink = Ink(*Shown(*label), client, Rgb(parent.behind));
        EXPECT_EQ(ink.left - home.left, c.dx) << c.what;
        EXPECT_EQ(ink.top - home.top, c.dy) << c.what;
        EXPECT_EQ(ink.Width(), home.Width()) << c.what;
        label->DestroyWindow();
    }
}

TEST_F(HtmlStaticTest, ADisabledLabelIsEmbossedAndItsLinksDoNothing) {
    parent.EnableWindow(false);
    CHtmlStatic* label = Make("<a msg=m1>Verweis</a> <b>fett</b>", 0, CRect(10, 10, 210, 50));
    EXPECT_FALSE(IsWindowEnabled(*label)) << "made disabled in a disabled parent";
    auto shown = Shown(*label);
    std::set<uint32_t> colours = Colours(*shown, CRect(0, 0, 200, 40));
    EXPECT_TRUE(colours.count(Rgb(GetSysColor(COLOR_BTNHIGHLIGHT)))) << "the highlight below";
    EXPECT_TRUE(colours.count(Rgb(GetSysColor(COLOR_BTNSHADOW)))) << "the shadow on top";
    EXPECT_FALSE(colours.count(Rgb(GetSysColor(COLOR_WINDOWTEXT)))) << "nothing in its own colours";
    EXPECT_FALSE(colours.count(0x0000FFu)) << "nor in the link's blue";

    Click(*label, 5, 10);
    EXPECT_TRUE(parent.links.empty());
    PointAt(*label, 5, 10);
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    label->SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(HWND(*label)),
                       MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_NE(GetCursor(), LoadCursor(nullptr, IDC_HAND));
    EXPECT_FALSE(KillTimer(*label, CHtmlStatic::kHoverTimer)) << "no hover timer";

    parent.EnableWindow(true);
    label->EnableWindow(true);
    colours = Colours(*Shown(*label), CRect(0, 0, 200, 40));
    EXPECT_TRUE(colours.count(Rgb(GetSysColor(COLOR_WINDOWTEXT)))) << "enabled: in its own colours again";
    Click(*label, 5, 10);
    EXPECT_EQ(parent.links, std::vector<std::string>{"m1"});
}

TEST_F(HtmlStaticTest, ALinkClickReachesTheParentWithTheLinkText) {
    CHtmlStatic* label = Make("<a fkey=f5>Taste F5</a>", 0, CRect(10, 10, 210, 50));
    Shown(*label);
    Click(*label, 150, 30); // beside the text: no link
    EXPECT_TRUE(parent.links.empty());
    Click(*label, 5, 10);
    EXPECT_EQ(parent.links, std::vector<std::string>{"f5"});
}

TEST_F(HtmlStaticTest, RestingOnALinkShowsTheHandAndPollsUntilThePointerLeaves) {
    CHtmlStatic* label = Make("<a msg=abc>Verweis</a>", 0, CRect(10, 10, 210, 50));
    Shown(*label);
    const LPARAM move = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);
    const WPARAM self = reinterpret_cast<WPARAM>(HWND(*label));

    PointAt(*label, 5, 10);
    EXPECT_TRUE(label->SendMessage(WM_SETCURSOR, self, move));
    EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_HAND));
    // The timer's poll finds the pointer still there and goes on.
    PointAt(*label, 5, 10);
    label->SendMessage(WM_TIMER, CHtmlStatic::kHoverTimer);
    EXPECT_TRUE(KillTimer(*label, CHtmlStatic::kHoverTimer)) << "polling while on the link";

    PointAt(*label, 150, 30);
    label->SendMessage(WM_TIMER, CHtmlStatic::kHoverTimer);
    EXPECT_FALSE(KillTimer(*label, CHtmlStatic::kHoverTimer)) << "off the link the polling ends";
    PointAt(*label, 150, 30);
    label->SendMessage(WM_SETCURSOR, self, move);
    EXPECT_FALSE(KillTimer(*label, CHtmlStatic::kHoverTimer));
}

TEST_F(HtmlStaticTest, TheParentMayChangeOrDestroyTheLabelInsideItsLinkHandler) {
    auto* changed = static_cast<CountedLabel*>(
        Make("<a msg=m1>Verweis</a>", 0, CRect(10, 10, 210, 50), new CountedLabel));
    Shown(*changed);
    parent.onLink = [&] { changed->SetWindowText("<b>neu</b>"); };
    Click(*changed, 5, 10);
    ASSERT_EQ(parent.links.size(), 1u);
    EXPECT_EQ(changed->GetMarkup(), "<b>neu</b>");
    EXPECT_EQ(g_deleted, 0);

    auto* closed = static_cast<CountedLabel*>(
        Make("<a msg=m2>Verweis</a>", 0, CRect(10, 60, 210, 100), new CountedLabel));
    Shown(*closed);
    HWND window = *closed;
    parent.onLink = [&] {
        ::DestroyWindow(window);
        EXPECT_EQ(g_deleted, 0) << "the object outlives its window while its click runs";
    };
    Click(window, 5, 10);
    EXPECT_EQ(parent.links.size(), 2u);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(g_deleted, 1) << "and goes once the click returned";

    changed->DestroyWindow();
    EXPECT_EQ(g_deleted, 2) << "a label goes with its window";
}
