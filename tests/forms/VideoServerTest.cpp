// The demo screen VID «Video» against the fixture's dbserver: a click on a picture with a
// companion video plays it over the field at the frame's size, the next click ends it; a
// video no decoder reads leaves the picture as it was.
#include "controls/AviSurface.h"
#include "forms/ChildForm.h"
#include "forms/ChildFormPicture.h"
#include "tests/forms/FormServerFixture.h"

#include <string>

using demotrace::Has;

namespace {

class VideoServerTest : public FormServerTestBase {
  protected:
    // The picture field of $$INDI^QCC entry n.
    HWND Picture(int n) const { return Form()->GetDlgItem(0x3000 | n); }
};

} // namespace

TEST_F(VideoServerTest, AClickPlaysTheVideoAtItsSizeAndTheNextEndsIt) {
    LogIn();
    StartMemo("VID");
    ASSERT_NE(Form(), nullptr);
    EXPECT_TRUE(Has(Trace(), "INIT^QVID"));
    HWND film = Picture(1);
    ASSERT_NE(film, nullptr);
    vorlan::PictureFieldData* d = vorlan::PictureData(film);
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(harness::PumpUntil([&] { return !d->loading; }, 5000));
    EXPECT_FALSE(d->videoPath.IsEmpty()) << "the companion video was found";
    RECT before;
    GetWindowRect(film, &before);

    SendMessageA(film, WM_LBUTTONUP, 0, 0);
    harness::Pump();
    ASSERT_NE(d->video, nullptr);
    EXPECT_TRUE(d->video->IsPlaying());
    RECT client;
    GetClientRect(film, &client);
    EXPECT_EQ(client.right, 64);
    EXPECT_EQ(client.bottom, 48);
    EXPECT_EQ(GetCapture(), film);

    SendMessageA(film, WM_LBUTTONUP, 0, 0);
    harness::Pump();
    EXPECT_EQ(d->video, nullptr);
    RECT after;
    GetWindowRect(film, &after);
    EXPECT_EQ(after.right - after.left, before.right - before.left) << "back at its place and size";
}

TEST_F(VideoServerTest, AVideoThatCannotBeDecodedLeavesThePicture) {
    LogIn();
    StartMemo("VID");
    ASSERT_NE(Form(), nullptr);
    HWND ffv1 = Picture(2);
    ASSERT_NE(ffv1, nullptr);
    vorlan::PictureFieldData* d = vorlan::PictureData(ffv1);
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(harness::PumpUntil([&] { return !d->loading; }, 5000));
    RECT before;
    GetWindowRect(ffv1, &before);
    SendMessageA(ffv1, WM_LBUTTONUP, 0, 0);
    harness::Pump();
    EXPECT_EQ(d->video, nullptr);
    EXPECT_NE(GetCapture(), ffv1);
    EXPECT_NE(d->bitmap, nullptr) << "the picture stays";
    RECT after;
    GetWindowRect(ffv1, &after);
    EXPECT_TRUE(EqualRect(&before, &after));
}
