#include "framework/ListBox.h"

#include "framework/Gdi.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct ShownList {
    CTabListBox list;
    CFont font;
    ShownList() {
        list.Create(0, WS_POPUP | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_SORT | LBS_USETABSTOPS,
                    RECT{10, 10, 310, 250}, nullptr);
        font.CreatePointFont(100, "Tahoma");
        ::SendMessageA(list.m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(static_cast<HFONT>(font)), FALSE);
    }
    ~ShownList() { ::DestroyWindow(list.m_hWnd); }
};

// Leftmost dark pixel of the list's first row from x on, or -1.
int FirstInk(HWND list, int from) {
    RECT item{};
    ::SendMessageA(list, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
    HDC dc = ::GetDC(list);
    int found = -1;
    for (int x = from; x < item.right && found < 0; ++x)
        for (int y = item.top; y < item.bottom; ++y)
            if (GetRValue(::GetPixel(dc, x, y)) < 128) {
                found = x;
                break;
            }
    ::ReleaseDC(list, dc);
    return found;
}

} // namespace

TEST(ListBox, SortedEntriesKeepTheirColumnsAndSelectByPrefix) {
    ShownList s;
    ASSERT_NE(s.list.m_hWnd, nullptr);
    s.list.AddString("mfg\tMit freundlichen Gr\xFC\xDF"
                     "en");
    s.list.AddString("adr\tAdresse");
    s.list.AddString("mfgh\tMit freundlichem Gru\xDF");
    EXPECT_EQ(s.list.GetCount(), 3);
    EXPECT_EQ(s.list.GetText(0), "adr\tAdresse");
    EXPECT_EQ(s.list.GetText(7), "") << "a bad index reads nothing";
    EXPECT_EQ(s.list.GetCurSel(), -1);
    EXPECT_EQ(s.list.SelectPrefix("MF"), 1) << "the first that begins with it, case ignored";
    EXPECT_EQ(s.list.GetCurSel(), 1);
    EXPECT_EQ(s.list.SelectPrefix("x"), -1);
    EXPECT_TRUE(s.list.SetCurSel(2));
    EXPECT_FALSE(s.list.SetCurSel(3));
}

TEST(ListBox, SecondColumnStartsAGapRightOfTheWidestFirstColumn) {
    ShownList s;
    s.list.AddString("i\tZ");
    int narrow = s.list.WidestFirstColumn();
    s.list.AddString("WWWWWWWW\tZ");
    int wide = s.list.WidestFirstColumn();
    EXPECT_GT(wide, narrow * 4);
    EXPECT_EQ(s.list.PixelsToUnits(0), 0);
    EXPECT_GT(s.list.PixelsToUnits(wide), s.list.PixelsToUnits(narrow));
    EXPECT_GE(s.list.PixelsToUnits(1), 1) << "rounded up";

    ASSERT_TRUE(s.list.SetTabStopAfterFirstColumn(16));
    ::ShowWindow(s.list.m_hWnd, SW_SHOWNA);
    ::UpdateWindow(s.list.m_hWnd);
    // Row 0 is "i\tZ": its "Z" stands at the tab stop, beyond the widest first column.
    int i = FirstInk(s.list.m_hWnd, 0);
    ASSERT_GE(i, 0);
    int z = FirstInk(s.list.m_hWnd, i + 3);
    ASSERT_GT(z, 0);
    int gap = s.list.PixelsToUnits(100) > 0 ? 16 * 100 / s.list.PixelsToUnits(100) : 0;
    EXPECT_GE(z, wide + gap - 3);
    EXPECT_LE(z, wide + gap + 12);
}
