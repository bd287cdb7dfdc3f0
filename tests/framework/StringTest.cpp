#include "framework/FwString.h"
#include "framework/Geometry.h"

#include <gtest/gtest.h>

#include <string>

TEST(CString, FormatGrowsPastAnyFixedBuffer) {
    CString s;
    std::string big(5000, 'x');
    s.Format("[%s|%d|%c]", big.c_str(), -42, 'q');
    EXPECT_EQ(s.GetLength(), 5000 + 8);
    EXPECT_EQ(s.Right(7), CString("|-42|q]"));
}

TEST(CString, SlicingStaysInsideTheText) {
    CString s("ABCDEF");
    struct Case {
        CString got, want;
    } cases[] = {
        {s.Left(2), "AB"}, {s.Left(99), "ABCDEF"}, {s.Left(-1), ""},   {s.Mid(4), "EF"},
        {s.Mid(9), ""},    {s.Mid(1, 2), "BC"},    {s.Right(2), "EF"}, {s.Right(10), "ABCDEF"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.got, c.want);
    EXPECT_EQ(s.Find('D'), 3);
    EXPECT_EQ(s.Find("XY"), -1);
    EXPECT_EQ(CString("a\\b\\c").ReverseFind('\\'), 3);
}

TEST(CString, ReplaceUpperAndTrim) {
    CString s("  a%b%%c  ");
    s.Trim();
    EXPECT_EQ(s, "a%b%%c");
    EXPECT_EQ(s.Replace("%", "%25"), 3);
    EXPECT_EQ(s, "a%25b%25%25c");
    CString u("straße ähnlich");
    u.MakeUpper(); // the ANSI code page's own letters
    EXPECT_EQ(u, "STRAßE ÄHNLICH");
    EXPECT_EQ(CString("Abc").CompareNoCase("aBC"), 0);
}

TEST(CString, GetBufferReleaseCutsAtTheTerminator) {
    CString s;
    char* p = s.GetBuffer(10);
    strcpy(p, "abc");
    s.ReleaseBuffer();
    EXPECT_EQ(s.GetLength(), 3);
}

TEST(CString, LoadsStringsFromAModuleInItsCodePage) {
    CString s;
    ASSERT_TRUE(s.LoadString(GetModuleHandleA(nullptr), 1));
    EXPECT_EQ(s, "Grüße aus der Ressource");
    EXPECT_FALSE(s.LoadString(GetModuleHandleA(nullptr), 999));
    EXPECT_TRUE(s.IsEmpty());
}

TEST(Geometry, RectArithmetic) {
    CRect r(10, 20, 110, 70);
    EXPECT_EQ(r.Width(), 100);
    EXPECT_EQ(r.Height(), 50);
    EXPECT_TRUE(r.PtInRect(CPoint(10, 20)));
    EXPECT_FALSE(r.PtInRect(CPoint(110, 20))); // right and bottom edges are outside
    r.OffsetRect(-10, -20);
    EXPECT_EQ(r, CRect(0, 0, 100, 50));
    r.InflateRect(2, 3);
    EXPECT_EQ(r, CRect(-2, -3, 102, 53));
    CRect i;
    EXPECT_FALSE(i.IntersectRect(CRect(0, 0, 10, 10), CRect(20, 20, 30, 30)));
    EXPECT_EQ(i, CRect());
    EXPECT_TRUE(i.IntersectRect(CRect(0, 0, 10, 10), CRect(5, 5, 30, 30)));
    EXPECT_EQ(i, CRect(5, 5, 10, 10));
    EXPECT_EQ(CRect(CPoint(1, 2), CSize(3, 4)), CRect(1, 2, 4, 6));
}
