// The demo screen BLD «Bildfeld» in the real main frame against the fixture's dbserver: the
// patient's picture field, and a new picture chosen in the picture dialog copied over it.
#include "forms/ChildFormPicture.h"
#include "resources/FormIds.h"
#include "resources/MainFrameIds.h"
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

// Every bitmap the field is handed, in order.
std::vector<HBITMAP> g_handedOver;
WNDPROC g_fieldProc = nullptr;

LRESULT CALLBACK RecordHandOver(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
    if (msg == WM_SETICON && w) g_handedOver.push_back(reinterpret_cast<HBITMAP>(w));
    return CallWindowProcA(g_fieldProc, hwnd, msg, w, l);
}

// Waits, serving nothing, until a loader blocks in handing over its picture.
bool LoaderWaitsToHandOver() {
    for (int i = 0; i < 10000; ++i) {
        if (HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE) return true;
        Sleep(1);
    }
    return false;
}

} // namespace

TEST_F(PictureFieldServerTest, ThePictureIsDisabledAndEnabledWithItsForm) {
    LogIn();
    StartMemo("BLD");
    ASSERT_NE(Form(), nullptr);
    HWND picture = Form()->GetDlgItem(0x3001);
    ASSERT_NE(picture, nullptr);
    EnableWindow(Form()->m_hWnd, FALSE);
    EXPECT_FALSE(IsWindowEnabled(picture));
    EnableWindow(Form()->m_hWnd, TRUE);
    EXPECT_TRUE(IsWindowEnabled(picture));
}

TEST_F(PictureFieldServerTest, SavingStopsARunningPictureLoaderBeforeTheServerStep) {
    const std::string target = "C:\\VORLAN\\Bilder\\4711.jpg";
    ::DeleteFileA(target.c_str());
    LogIn();
    StartMemo("BLD");
    ASSERT_NE(Form(), nullptr);
    HWND picture = Form()->GetDlgItem(0x3001);
    ASSERT_NE(picture, nullptr);
    ASSERT_EQ(vorlan::PictureData(picture)->thread, nullptr) << "no picture yet";

    // The patient's picture arrives while the screen is open; its loader holds it out.
    ::CreateDirectoryA("C:\\VORLAN", nullptr);
    ::CreateDirectoryA("C:\\VORLAN\\Bilder", nullptr);
    std::vector<uint8_t> bytes = imgtest::MakeBmp(40, 30, 24, [](int, int) { return 0x0000FFu; });
    std::ofstream(target, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    g_handedOver.clear();
    g_fieldProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(picture, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordHandOver)));
    SetWindowTextA(picture, target.c_str());
    ASSERT_TRUE(LoaderWaitsToHandOver());

    Trace();
    Form()->SendMessage(WM_COMMAND, ID_FORM_SAVE);
    ASSERT_FALSE(g_handedOver.empty()) << "the command waited for the loader, serving its hand-over";
    HBITMAP stopped = g_handedOver[0];
    EXPECT_EQ(GetObjectType(stopped), 0u) << "the stopped loader's picture is deleted unseen";
    EXPECT_TRUE(Has(Trace(), "PRUEF^QCC")) << "the save went on";
    WaitLoaded(picture);
    EXPECT_NE(vorlan::PictureData(picture)->bitmap, stopped);
    ::DeleteFileA(target.c_str());
}

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
