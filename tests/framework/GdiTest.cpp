#include "framework/Gdi.h"

#include <gtest/gtest.h>

TEST(Gdi, PointFontTakesItsSizeFromTheScreen) {
    CFont font;
    ASSERT_TRUE(font.CreatePointFont(70, "Tahoma", nullptr, true));
    LOGFONTA lf;
    ASSERT_TRUE(font.GetLogFont(lf));
    HDC dc = GetDC(nullptr);
    int want = -MulDiv(70, GetDeviceCaps(dc, LOGPIXELSY), 720);
    ReleaseDC(nullptr, dc);
    EXPECT_EQ(lf.lfHeight, want);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_STREQ(lf.lfFaceName, "Tahoma");
}

TEST(Gdi, BitmapLoadsAsDibAndFillsAnImageList) {
    CBitmap bmp;
    EXPECT_FALSE(bmp.LoadDIB(GetModuleHandleA(nullptr), 999u));
    ASSERT_TRUE(bmp.LoadDIB(GetModuleHandleA(nullptr), 200u));
    BITMAP bm;
    ASSERT_TRUE(bmp.GetBitmap(bm));
    EXPECT_EQ(bm.bmWidth, 16);
    EXPECT_EQ(bm.bmHeight, 8);
    EXPECT_EQ(bm.bmBitsPixel, 24);
    EXPECT_NE(bm.bmBits, nullptr) << "a DIB section";
    CImageList list;
    ASSERT_TRUE(list.Create(8, 8, ILC_COLOR24 | ILC_MASK, 2, 2));
    EXPECT_EQ(list.AddMasked(bmp, RGB(255, 0, 255)), 0);
    EXPECT_EQ(list.GetImageCount(), 2) << "a strip of square images";
    IMAGEINFO info;
    ASSERT_TRUE(ImageList_GetImageInfo(list, 0, &info));
    EXPECT_NE(info.hbmMask, nullptr);
}

namespace {

// A font far from the default one, so that measuring in the wrong font shows.
struct BigAndSmall {
    CFont big, small;
    BigAndSmall() {
        big.CreatePointFont(360, "Tahoma", nullptr, true);
        small.CreatePointFont(70, "Courier New");
    }
};

struct TestWindow {
    HWND hwnd =
        CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
    ~TestWindow() { DestroyWindow(hwnd); }
};

SIZE ExtentByHand(HWND wnd, HFONT font, const char* text) {
    HDC dc = GetDC(wnd);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
    SelectObject(dc, old);
    ReleaseDC(wnd, dc);
    return size;
}

} // namespace

TEST(Gdi, SelectedObjectIsPutBackOnEveryWayOut) {
    BigAndSmall fonts;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ font0 = GetCurrentObject(dc, OBJ_FONT), bitmap0 = GetCurrentObject(dc, OBJ_BITMAP);
    HBITMAP bmp = CreateCompatibleBitmap(dc, 4, 4);
    {
        CSelectedObject bitmap(dc, bmp);
        CSelectedObject font(dc, fonts.big);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), static_cast<HGDIOBJ>(fonts.big));
        EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), bmp);
    }
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font0);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), bitmap0);
    try {
        CSelectedObject font(dc, fonts.small);
        throw 1;
    } catch (int) {
    }
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font0) << "also when an exception leaves the scope";
    {
        CSelectedObject none(dc, nullptr);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font0) << "a null object selects nothing";
    }
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font0);
    EXPECT_EQ(GetObjectType(fonts.big), static_cast<DWORD>(OBJ_FONT)) << "the guard does not delete";
    DeleteDC(dc);
    DeleteObject(bmp);
}

TEST(Gdi, DeviceContextGuardsGiveTheirContextBack) {
    HDC memory = nullptr;
    HBITMAP bmp = CreateBitmap(4, 4, 1, 32, nullptr);
    {
        CMemoryDC dc;
        memory = dc;
        CSelectedObject picture(dc, bmp);
        EXPECT_EQ(GetObjectType(memory), static_cast<DWORD>(OBJ_MEMDC));
    }
    EXPECT_EQ(GetObjectType(memory), 0u) << "deleted";
    HDC other = CreateCompatibleDC(nullptr);
    EXPECT_NE(SelectObject(other, bmp), nullptr) << "the bitmap is free for another context";
    DeleteDC(other);
    DeleteObject(bmp);

    TestWindow w;
    HDC client = nullptr;
    {
        CClientDC dc(w.hwnd);
        client = dc;
        EXPECT_EQ(WindowFromDC(client), w.hwnd);
        EXPECT_NE(GetDeviceCaps(client, LOGPIXELSY), 0);
    }
    EXPECT_EQ(GetDeviceCaps(client, LOGPIXELSY), 0) << "released: the context no longer serves";
}

TEST(Gdi, TextIsMeasuredInTheGivenFontOnTheWindow) {
    BigAndSmall fonts;
    TestWindow w;
    const char* text = "Suchen nach Namen";
    SIZE big = TextExtent(w.hwnd, fonts.big, text, lstrlenA(text));
    SIZE small = TextExtent(w.hwnd, fonts.small, text, lstrlenA(text));
    SIZE want = ExtentByHand(w.hwnd, fonts.big, text);
    EXPECT_EQ(big.cx, want.cx);
    EXPECT_EQ(big.cy, want.cy);
    EXPECT_GT(big.cx, small.cx);
    SIZE own = TextExtent(w.hwnd, nullptr, text, lstrlenA(text));
    SIZE ownWant = ExtentByHand(w.hwnd, static_cast<HFONT>(GetStockObject(SYSTEM_FONT)), text);
    EXPECT_EQ(own.cx, ownWant.cx) << "without a font, the context's own";
    EXPECT_EQ(TextExtent(w.hwnd, fonts.big, nullptr, 5).cx, 0);

    TEXTMETRICA tm = TextMetrics(w.hwnd, fonts.big);
    HDC dc = GetDC(w.hwnd);
    HGDIOBJ old = SelectObject(dc, fonts.big);
    TEXTMETRICA tmWant{};
    GetTextMetricsA(dc, &tmWant);
    SelectObject(dc, old);
    ReleaseDC(w.hwnd, dc);
    EXPECT_EQ(tm.tmHeight, tmWant.tmHeight);
    EXPECT_EQ(tm.tmAveCharWidth, tmWant.tmAveCharWidth);
    EXPECT_GT(tm.tmHeight, TextMetrics(w.hwnd, fonts.small).tmHeight);
}
