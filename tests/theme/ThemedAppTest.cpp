// The application object with the real theme library beside it, put into kind 4 in-process
// (Wine's common controls never report 6.0): the probe, image lists and toolbar images.
#include "app/VORLANApp.h"
#include "tests/app/AppFixture.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace {

class ThemedAppTest : public ::testing::Test {
  protected:
    void SetUp() override { apptest::PrepareApp("ThemedAppTest", nullptr); }
    void TearDown() override {
        Use(false);
        apptest::ReleaseApp();
    }
    // What the start-up does with common controls 6.0, or below them.
    static void Use(bool themed) {
        theApp.ProbeThemeLibrary(themed ? MAKELONG(0, 6) : MAKELONG(81, 5));
        theApp.ChooseImageModule();
        ASSERT_EQ(theApp.IsThemeActive(), themed) << "Wine's default prefix draws with visual styles";
    }
};

} // namespace

TEST_F(ThemedAppTest, KindFourLoadsTheLibraryTwiceAndClassicGivesBothBack) {
    Use(true);
    HMODULE library = GetModuleHandleA("Glossery.dll");
    ASSERT_NE(library, nullptr);
    EXPECT_EQ(theApp.ThemeLibrary(), library);
    EXPECT_EQ(theApp.m_hImageResources, library);
    EXPECT_EQ(reinterpret_cast<void*>(theApp.m_pThemeApi->DrawTheme),
              reinterpret_cast<void*>(GetProcAddress(library, "DrawTheme")));
    theApp.ProbeThemeLibrary(MAKELONG(81, 5));
    EXPECT_EQ(GetModuleHandleA("Glossery.dll"), library) << "still held as the image module";
    theApp.ChooseImageModule();
    EXPECT_EQ(GetModuleHandleA("Glossery.dll"), nullptr);
    EXPECT_EQ(theApp.m_hImageResources, GetModuleHandleA(nullptr));
}

TEST_F(ThemedAppTest, AlphaListsFromTheLibraryWithVisualStylesElseMaskedOnesFromTheProgram) {
    struct Case {
        const char* what;
        bool themed;
        UINT id;
        bool classic;
        int count, bits; // 0 images: no list
    } cases[] = {
        {"themed state images", true, 307, false, 9, 32},
        {"themed small icons", true, 514, false, 255, 32},
        {"themed, classic asked for", true, 514, true, 48, 24},
        {"classic small icons", false, 514, false, 48, 24},
        {"classic, a strip only the library has", false, 307, false, 0, 0},
    };
    for (const auto& c : cases) {
        Use(c.themed);
        HIMAGELIST list = theApp.LoadImageList(c.id, c.classic);
        EXPECT_EQ(ImageList_GetImageCount(list), c.count) << c.what;
        IMAGEINFO info{};
        BITMAP bm{};
        if (list && ImageList_GetImageInfo(list, 0, &info)) GetObjectA(info.hbmImage, sizeof bm, &bm);
        EXPECT_EQ(bm.bmBitsPixel, c.bits) << c.what;
        EXPECT_EQ(info.hbmMask != nullptr, c.bits == 24) << c.what;
        ImageList_Destroy(list);
    }
}

TEST_F(ThemedAppTest, ToolbarGetsHotImagesOnlyWithVisualStyles) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    for (bool themed : {true, false}) {
        Use(themed);
        HWND bar = CreateWindowExA(0, TOOLBARCLASSNAMEA, "", WS_POPUP, 0, 0, 200, 30, nullptr, nullptr,
                                   nullptr, nullptr);
        HIMAGELIST lists[3] = {theApp.LoadImageList(514, false), theApp.LoadImageList(514, false),
                               theApp.LoadImageList(514, false)};
        auto get = [bar](UINT msg) { return reinterpret_cast<HIMAGELIST>(SendMessageA(bar, msg, 0, 0)); };
        theApp.SetToolbarImages(bar, lists[0], lists[1], nullptr);
        EXPECT_EQ(get(TB_GETHOTIMAGELIST), themed ? lists[1] : nullptr) << themed;
        EXPECT_EQ(get(TB_GETDISABLEDIMAGELIST), nullptr) << "none given: left unset";
        theApp.SetToolbarImages(bar, nullptr, nullptr, lists[2]);
        EXPECT_EQ(get(TB_GETIMAGELIST), lists[0]) << "kept";
        EXPECT_EQ(get(TB_GETDISABLEDIMAGELIST), lists[2]);
        DestroyWindow(bar);
        for (HIMAGELIST l : lists)
            ImageList_Destroy(l);
    }
}
