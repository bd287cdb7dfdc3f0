// The demo screen BFM «Bildformate» in the real main frame against the fixture's dbserver:
// the form's background picture and one picture field a format, each decoded by the image
// layer in the field's loader thread; a damaged and a missing picture show none.
#include "forms/ChildFormPicture.h"
#include "imaging/ImgAnyDecoder.h"
#include "imaging/ImgWinBitmap.h"
#include "tests/forms/FormServerFixture.h"
#include "tests/imaging/Surface.h"

#include <set>
#include <string>

using demotrace::Has;
using imgtest::Surface;

namespace {

struct Format {
    const char* file;
    bool shown; // the damaged and the missing picture show none
};

// The picture fields in their order on the screen (ids 0x3001 on), one row a format.
const Format kFormats[] = {
    {"bild.bmp", true},   {"bild.tga", true},  {"bild.pcx", true},  {"bild.pgm", true},
    {"bild.ppm", true},   {"bild.psd", true},  {"bild.pict", true},  {"bild.jpg", true},
    {"bild.png", true},   {"bild.tif", true},  {"bild.gif", true},  {"bild.eps", true},
    {"kaputt.bmp", false}, {"fehlt.bmp", false},
};

// Colours of a bitmap's pixels, at most a few hundred looked at.
std::set<COLORREF> ColoursOf(HBITMAP bitmap) {
    BITMAP bm{};
    ::GetObjectA(bitmap, sizeof bm, &bm);
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    std::set<COLORREF> colours;
    for (int y = 0; y < bm.bmHeight; y += 7)
        for (int x = 0; x < bm.bmWidth; x += 7) colours.insert(::GetPixel(dc, x, y));
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    return colours;
}

class PictureFormatsTest : public FormServerTestBase {
  protected:
    HWND Picture(int n) const { return Form()->GetDlgItem(0x3000 | n); }
    // Serves the loader threads until every field has its picture or none.
    void WaitLoaded() {
        auto loading = [&] {
            for (int n = 1; n <= static_cast<int>(std::size(kFormats)); ++n)
                if (HWND p = Picture(n); p && vorlan::PictureData(p)->loading) return true;
            return false;
        };
        for (int i = 0; i < 20000 && loading(); ++i) {
            harness::Pump();
            Sleep(1);
        }
        ASSERT_FALSE(loading()) << "a picture never arrived";
    }
};

} // namespace

TEST_F(PictureFormatsTest, EveryFormatShowsItsPictureAndTheDamagedAndMissingNone) {
    LogIn();
    StartMemo("BFM");
    CChildDialog* form = Form();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->GetTitle(), "Bildformate");
    EXPECT_TRUE(Has(Trace(), "INIT^QBFM"));
    WaitLoaded();

    std::string folder = Server("W BFMDIR");
    ASSERT_EQ(folder.rfind("Z:\\", 0), 0u) << folder;
    for (int n = 1; n <= static_cast<int>(std::size(kFormats)); ++n) {
        const Format& f = kFormats[n - 1];
        HWND picture = Picture(n);
        ASSERT_NE(picture, nullptr) << f.file;
        EXPECT_EQ(harness::ClassOf(picture), CChildForm::kPictureClass);
        EXPECT_EQ(fw::WindowText(picture), folder + "\\" + f.file);
        HBITMAP bitmap = vorlan::PictureData(picture)->bitmap;
        EXPECT_EQ(bitmap != nullptr, f.shown) << f.file;
        if (!bitmap) continue;
        BITMAP bm{};
        ASSERT_TRUE(::GetObjectA(bitmap, sizeof bm, &bm));
        EXPECT_EQ(bm.bmWidth, 140) << f.file;
        EXPECT_EQ(bm.bmHeight, 92) << f.file;
        EXPECT_GT(ColoursOf(bitmap).size(), 10u) << f.file << " is a picture, not a plain area";
    }

    char artifacts[MAX_PATH];
    if (GetEnvironmentVariableA("VORLAN_ARTIFACTS", artifacts, sizeof artifacts)) {
        Active()->ShowWindow(SW_MAXIMIZE);
        harness::Pump();
        CreateDirectoryA(artifacts, nullptr);
        EXPECT_TRUE(harness::SaveScreen(std::string(artifacts) + "\\bildformate.bmp"));
    }
}

TEST_F(PictureFormatsTest, TheBackgroundIsTheProgramsPictureCentred) {
    LogIn();
    StartMemo("BFM");
    CChildDialog* form = Form();
    ASSERT_NE(form, nullptr);
    ImgWinBitmap background;
    ImgAnyDecoder().DecodeResource(GetModuleHandleA(nullptr), 100, &background, 0, "DIALOGBACK");
    const int w = background.GetWidth(), h = background.GetHeight();
    Surface expected(w, h);
    background.Draw(expected.dc(), 0, 0, SRCCOPY);

    CRect client = form->GetClientRect();
    Surface erased(client.Width(), client.Height());
    form->SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(erased.dc()));
    const int left = (client.Width() - w) / 2, top = (client.Height() - h) / 2;
    int differing = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) differing += erased.At(left + x, top + y) != expected.At(x, y);
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(erased.At(0, 0), Surface::Rgb(GetSysColor(COLOR_BTNFACE))) << "outside the picture";
}
