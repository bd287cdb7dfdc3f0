// The demo screen BLD «Bildfeld» in the real main frame against the fixture's dbserver: the
// patient's picture field, and a new picture chosen in the picture dialog copied over it.
#include "forms/ChildFormPicture.h"
#include "resources/FormIds.h"
#include "tests/forms/FormServerFixture.h"
#include "tests/imaging/BmpBytes.h"

#include <fstream>
#include <string>

using demotrace::Has;

namespace {

class PictureFieldServerTest : public FormServerTestBase {
  protected:
    void WaitLoaded(HWND picture) {
        for (int i = 0; i < 20000 && vorlan::PictureData(picture)->loading; ++i) {
            harness::Pump();
            Sleep(1);
        }
        ASSERT_FALSE(vorlan::PictureData(picture)->loading) << "the picture never arrived";
    }
};

COLORREF CentreOf(HBITMAP bitmap) {
    BITMAP bm{};
    ::GetObjectA(bitmap, sizeof bm, &bm);
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    COLORREF colour = ::GetPixel(dc, bm.bmWidth / 2, bm.bmHeight / 2);
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    return colour;
}

} // namespace

TEST_F(PictureFieldServerTest, ANewPictureIsCopiedOverThePatientsPictureAndShown) {
    const std::string target = "C:\\VORLAN\\Bilder\\4711.jpg";
    ::DeleteFileA(target.c_str());
    LogIn();
    StartMemo("BLD");
    CChildDialog* form = Form();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->GetTitle(), "Bildfeld");
    EXPECT_TRUE(Has(Trace(), "INIT^QBLD"));
    HWND picture = form->GetDlgItem(0x3001);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(fw::WindowText(picture), target);
    WaitLoaded(picture);
    EXPECT_EQ(vorlan::PictureData(picture)->bitmap, nullptr) << "no picture yet";

    std::string folder = harness::NewFolder("bld");
    std::string letter = folder + "brief.txt";
    std::ofstream(letter) << "kein Bild";
    fw::TestMode::ClearShown();
    fw::TestMode::PushAnswer("dialog open path:" + letter);
    SendMessageA(picture, WM_COMMAND, ID_PICTURE_REPLACE, 0);
    auto refused = fw::TestMode::Shown();
    ASSERT_EQ(refused.size(), 2u);
    EXPECT_EQ(refused[1].text, "Bitte w\xe4hlen Sie eine g\xfcltige Bilddatei!");
    EXPECT_EQ(::GetFileAttributesA(target.c_str()), INVALID_FILE_ATTRIBUTES) << "nothing copied";

    std::vector<uint8_t> bytes = imgtest::MakeBmp(40, 30, 24, [](int, int) { return 0x00FF00u; });
    std::string green = folder + "gruen.bmp";
    std::ofstream(green, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    fw::TestMode::ClearShown();
    fw::TestMode::PushAnswer("dialog open path:" + green);
    SendMessageA(picture, WM_COMMAND, ID_PICTURE_REPLACE, 0);
    EXPECT_EQ(fw::TestMode::Shown().size(), 1u) << "only the dialog";
    EXPECT_NE(::GetFileAttributesA(target.c_str()), INVALID_FILE_ATTRIBUTES)
        << "the folder made, the file copied";
    WaitLoaded(picture);
    ASSERT_NE(vorlan::PictureData(picture)->bitmap, nullptr);
    EXPECT_EQ(CentreOf(vorlan::PictureData(picture)->bitmap), RGB(0, 255, 0));
    ::DeleteFileA(target.c_str());
}
