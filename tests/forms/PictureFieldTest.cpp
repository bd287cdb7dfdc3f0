// The picture field: its loader thread, cancelling, zoom, the video text and replacing the
// picture.
#include "tests/forms/FormFixture.h"

#include "forms/ChildFormPicture.h"
#include "resources/FormIds.h"

#include <fstream>

using imgtest::Surface;
using vorlan::PictureData;

namespace {

// Every bitmap the field is handed, in order.
std::vector<HBITMAP> g_handedOver;
WNDPROC g_fieldProc = nullptr;

LRESULT CALLBACK RecordHandOver(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
    if (msg == WM_SETICON && w) g_handedOver.push_back(reinterpret_cast<HBITMAP>(w));
    return CallWindowProcA(g_fieldProc, hwnd, msg, w, l);
}

bool Gone(HBITMAP bitmap) {
    return GetObjectType(bitmap) == 0;
}

} // namespace

class PictureFieldTest : public FormTest {
  protected:
    HWND picture = nullptr;

    void SetUp() override {
        FormTest::SetUp();
        picture = form.InsertBitmap(0x3001, CRect(10, 10, 50, 40), 0, "");
        ASSERT_NE(picture, nullptr);
        g_handedOver.clear();
        g_fieldProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(picture, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordHandOver)));
    }
    vorlan::PictureFieldData& Data() const { return *PictureData(picture); }

    // Serves the loader until it has handed over its picture.
    void WaitLoaded() {
        for (int i = 0; i < 10000 && Data().loading; ++i) {
            harness::Pump();
            Sleep(1);
        }
        ASSERT_FALSE(Data().loading) << "the picture never arrived";
    }
    // Waits, serving nothing, until the loader blocks in sending its picture: it has seen
    // its request wanted and can no longer drop the picture by itself.
    static void WaitForTheHandOver() {
        for (int i = 0; i < 10000; ++i) {
            if (HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE) return;
            Sleep(1);
        }
        FAIL() << "the loader never handed over";
    }
};

TEST_F(PictureFieldTest, AMissingFileClearsThePictureAndStartsNoThread) {
    std::string red = WriteBmp("rot.bmp", 6, 4, 0xFF0000);
    SetWindowTextA(picture, red.c_str());
    WaitLoaded();
    ASSERT_EQ(g_handedOver.size(), 1u);
    EXPECT_EQ(Data().bitmap, g_handedOver[0]);
    EXPECT_TRUE(IsWindowVisible(picture));

    std::string missing = folder + "fehlt.bmp";
    SetWindowTextA(picture, missing.c_str());
    EXPECT_EQ(Data().thread, nullptr);
    EXPECT_EQ(Data().request, nullptr);
    EXPECT_FALSE(Data().loading);
    EXPECT_EQ(Data().bitmap, nullptr);
    EXPECT_TRUE(Gone(g_handedOver[0])) << "the old picture is deleted";
    EXPECT_EQ(fw::WindowText(picture), missing);
}

TEST_F(PictureFieldTest, ASecondPathCancelsTheFirstWhosePictureIsDeletedUnseen) {
    std::string red = WriteBmp("rot.bmp", 6, 4, 0xFF0000);
    std::string blue = WriteBmp("blau.bmp", 6, 4, 0x0000FF);
    SetWindowTextA(picture, red.c_str());
    WaitForTheHandOver();
    SetWindowTextA(picture, blue.c_str()); // serves the red hand-over while it cancels it
    WaitLoaded();
    ASSERT_EQ(g_handedOver.size(), 2u);
    EXPECT_TRUE(Gone(g_handedOver[0])) << "the cancelled picture is deleted";
    ASSERT_EQ(Data().bitmap, g_handedOver[1]);
    EXPECT_EQ(ColourOf(Data().bitmap), 0x0000FFu);
}

TEST_F(PictureFieldTest, DestroyingTheFieldWhileItsLoaderHandsOverEndsAndDeletesThePicture) {
    SetWindowTextA(picture, WriteBmp("rot.bmp", 6, 4, 0xFF0000).c_str());
    WaitForTheHandOver();
    DestroyWindow(picture);
    EXPECT_FALSE(IsWindow(picture));
    ASSERT_EQ(g_handedOver.size(), 1u);
    EXPECT_TRUE(Gone(g_handedOver[0]));
}

TEST_F(PictureFieldTest, AClickZoomsThePictureOntoTheDesktopAndTheReleaseBringsItBack) {
    SetWindowTextA(picture, WriteBmp("gross.bmp", 60, 45, 0x00FF00).c_str());
    WaitLoaded();
    CRect before;
    GetWindowRect(picture, &before);

    SendMessageA(picture, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(GetAncestor(picture, GA_PARENT), GetDesktopWindow());
    RECT client;
    GetClientRect(picture, &client);
    EXPECT_EQ(client.right, 60);
    EXPECT_EQ(client.bottom, 45);
    EXPECT_TRUE(Data().zoomed);
    EXPECT_EQ(GetCapture(), picture);

    SendMessageA(picture, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(GetParent(picture), form.m_hWnd);
    CRect after;
    GetWindowRect(picture, &after);
    EXPECT_EQ(after, before);
    EXPECT_FALSE(Data().zoomed);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(PictureFieldTest, ACompanionVideoShowsItsTextInsteadOfThePictureAndAClickStartsNothingYet) {
    std::string plain = WriteBmp("ohne.bmp", 6, 4, 0xFF0000);
    std::string withVideo = WriteBmp("mit.bmp", 6, 4, 0xFF0000);
    harness::WriteTextFile(withVideo + ".avi", "RIFF");
    auto print = [&](Surface& s) {
        SendMessageA(picture, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(s.dc()), PRF_CLIENT);
    };
    auto count = [](const Surface& s, uint32_t colour) {
        int n = 0;
        for (int y = 0; y < 26; ++y)
            for (int x = 0; x < 36; ++x)
                n += s.At(x, y) == colour;
        return n;
    };
    uint32_t textColour = Surface::Rgb(GetSysColor(COLOR_3DDKSHADOW));

    SetWindowTextA(picture, plain.c_str());
    WaitLoaded();
    EXPECT_TRUE(Data().videoPath.IsEmpty());
    Surface pictured(36, 26, RGB(255, 255, 255));
    print(pictured);
    EXPECT_GT(count(pictured, 0xFF0000), 0) << "the picture itself";

    SetWindowTextA(picture, withVideo.c_str());
    WaitLoaded();
    EXPECT_EQ(Data().videoPath, withVideo + ".avi");
    Surface video(36, 26, RGB(255, 255, 255));
    print(video);
    EXPECT_EQ(count(video, 0xFF0000), 0) << "no picture";
    EXPECT_GT(count(video, textColour), 0) << "the video text";

    SendMessageA(picture, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(GetParent(picture), form.m_hWnd) << "no video surface yet: nothing zooms";
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_FALSE(Data().videoStarting);
}

TEST_F(PictureFieldTest, ReplacingThePictureCopiesTheChosenFileIntoThePictureFolder) {
    std::string target = folder + "Bilder\\4711\\foto.bmp"; // its folder does not exist yet
    std::string blue = WriteBmp("blau.bmp", 6, 4, 0x0000FF);
    SetWindowTextA(picture, target.c_str());
    fw::TestMode::PushAnswer("dialog open path:" + blue);
    SendMessageA(picture, WM_COMMAND, ID_PICTURE_REPLACE, 0);
    WaitLoaded();
    ASSERT_NE(Data().bitmap, nullptr) << "loaded anew from its own path";
    EXPECT_EQ(ColourOf(Data().bitmap), 0x0000FFu);
    EXPECT_NE(GetFileAttributesA(target.c_str()), INVALID_FILE_ATTRIBUTES);

    // Only a picture can be chosen: the picture stays as it was.
    fw::TestMode::ClearShown();
    std::string letter = folder + "brief.txt";
    std::ofstream(letter) << "kein Bild";
    fw::TestMode::PushAnswer("dialog open path:" + letter);
    SendMessageA(picture, WM_COMMAND, ID_PICTURE_REPLACE, 0);
    auto refused = fw::TestMode::Shown();
    ASSERT_EQ(refused.size(), 2u);
    EXPECT_EQ(refused[0].kind, "open");
    EXPECT_EQ(refused[1].text, "Bitte w\xe4hlen Sie eine g\xfcltige Bilddatei!");
    EXPECT_EQ(ColourOf(Data().bitmap), 0x0000FFu);

    // A picture folder that cannot be made: the copy fails with a message.
    std::string blocked = folder + "blockiert";
    std::ofstream(blocked) << "eine Datei";
    SetWindowTextA(picture, (blocked + "\\foto.bmp").c_str());
    fw::TestMode::ClearShown();
    fw::TestMode::PushAnswer("dialog open path:" + blue);
    SendMessageA(picture, WM_COMMAND, ID_PICTURE_REPLACE, 0);
    auto shown = fw::TestMode::Shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].kind, "open");
    EXPECT_EQ(shown[1].text, "Die Datei konnte nicht in den Bilderordner kopiert werden!");
}
