// Glossery.dll as installed beside the program. Runs in the build's Wine prefix (visual styles
// on) and once more in a prefix with them switched off (VORLAN_THEME_OFF set).
#include "tests/harness/Harness.h"
#include "tests/imaging/Surface.h"
#include "theme/ThemeInterface.h"

#include <gtest/gtest.h>
#include <uxtheme.h>

#include <cstdint>
#include <cstring>

namespace {

const bool kThemeOff = GetEnvironmentVariableA("VORLAN_THEME_OFF", nullptr, 0) > 0;

struct Strip {
    int id, width, height;
} const kStrips[] = {{274, 2096, 16}, {304, 64, 16},   {307, 144, 16},  {356, 144, 16},  {464, 112, 16},
                     {470, 112, 16},  {481, 160, 32},  {495, 1200, 24}, {496, 800, 16},  {497, 1200, 24},
                     {498, 800, 16},  {511, 6120, 24}, {514, 4080, 16}, {526, 6120, 24}, {530, 1200, 24},
                     {533, 800, 16},  {548, 112, 16},  {555, 80, 16},   {556, 80, 16},   {557, 80, 16}};

// A strip as a DIB section at its own depth; null bits when the module lacks it.
struct Dib {
    DIBSECTION ds{};
    HBITMAP bitmap;
    Dib(HMODULE module, int id)
        : bitmap(static_cast<HBITMAP>(
              LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION))) {
        if (bitmap) GetObjectA(bitmap, sizeof ds, &ds);
    }
    ~Dib() { DeleteObject(bitmap); }
    const uint8_t* At(int x, int y) const { // bottom-up rows
        return static_cast<const uint8_t*>(ds.dsBm.bmBits) +
               ds.dsBm.bmWidthBytes * (ds.dsBm.bmHeight - 1 - y) + x * ds.dsBm.bmBitsPixel / 8;
    }
};

class GlosseryTest : public ::testing::Test {
  protected:
    HMODULE library = LoadLibraryA((harness::BinFolder() + "Glossery.dll").c_str());
    HWND window =
        CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 80, 40, nullptr, nullptr, nullptr, nullptr);
    ThemeInterface* table = nullptr;

    void SetUp() override {
        ASSERT_NE(library, nullptr);
        table = reinterpret_cast<InitInterfaceFn>(
            reinterpret_cast<void*>(GetProcAddress(library, "InitInterface")))();
        ASSERT_NE(table, nullptr);
    }
    void TearDown() override {
        DestroyWindow(window);
        FreeLibrary(library);
    }
};

} // namespace

TEST_F(GlosseryTest, ExportsByNameAndOrdinalAndTheTableInOrder) {
    const char* const names[] = {"CanUseTheme", "DrawTheme", "InitInterface", "SetTheme"};
    for (int ordinal = 1; ordinal <= 4; ++ordinal) {
        FARPROC byName = GetProcAddress(library, names[ordinal - 1]);
        EXPECT_NE(byName, nullptr) << names[ordinal - 1];
        EXPECT_EQ(GetProcAddress(library, MAKEINTRESOURCEA(ordinal)), byName) << ordinal;
    }
    void* const entries[] = {reinterpret_cast<void*>(table->DrawTheme),
                             reinterpret_cast<void*>(table->SetTheme),
                             reinterpret_cast<void*>(table->CanUseTheme)};
    const char* const order[] = {"DrawTheme", "SetTheme", "CanUseTheme"};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(entries[i], reinterpret_cast<void*>(GetProcAddress(library, order[i])));

    EXPECT_EQ(IsAppThemed() != FALSE, !kThemeOff) << "the prefix this run was made for";
    EXPECT_EQ(table->CanUseTheme() != FALSE, !kThemeOff);
    EXPECT_EQ(table->SetTheme(window, L"menu"), TRUE);
    EXPECT_EQ(table->SetTheme(nullptr, L"menu"), TRUE) << "whatever the system answers";
}

TEST_F(GlosseryTest, DrawsWhatTheFlagsAskForWhenTheClassHasATheme) {
    HTHEME combo = OpenThemeData(window, L"ComboBox");
    ASSERT_EQ(combo == nullptr, kThemeOff);
    RECT r{4, 4, 36, 36};
    struct Case {
        const char* what;
        int flags, state;
        const wchar_t* classList;
        BOOL answer; // with visual styles on; off, nothing has a theme
        bool drawn;
    } cases[] = {
        {"normal", kThemeDrawBackground, 1, L"ComboBox", TRUE, true},
        {"hot", kThemeDrawBackground, 2, L"ComboBox", TRUE, true},
        {"pressed", kThemeDrawBackground, 3, L"ComboBox", TRUE, true},
        {"disabled", kThemeDrawBackground, 4, L"ComboBox", TRUE, true},
        {"flags 0", 0, 1, L"ComboBox", TRUE, false},
        {"no theme for the class", 3, 1, L"NoSuchThemeClass", FALSE, false},
        {"no record", kThemeDrawBackground, 1, nullptr, FALSE, false},
    };
    for (const auto& c : cases) {
        imgtest::Surface drawn(40, 40), expected(40, 40);
        ThemeDrawParams p{c.flags, window, drawn.dc(), 1, c.state, &r, nullptr, c.classList, 0, 0};
        EXPECT_EQ(table->DrawTheme(c.classList ? &p : nullptr), kThemeOff ? FALSE : c.answer) << c.what;
        if (c.drawn && !kThemeOff) DrawThemeBackground(combo, expected.dc(), 1, c.state, &r, nullptr);
        for (int i = 0; i < 1600; ++i)
            ASSERT_EQ(drawn.At(i % 40, i / 40), expected.At(i % 40, i / 40)) << c.what;
    }
    if (kThemeOff) return;
    imgtest::Surface s(40, 40);
    RECT content{0, 0, 40, 40}; // would not clip a background away
    ThemeDrawParams edge{kThemeDrawEdge,     window, s.dc(), 1, 1, &r, &content, L"ComboBox", EDGE_SUNKEN,
                         BF_RECT | BF_ADJUST};
    EXPECT_EQ(table->DrawTheme(&edge), TRUE);
    EXPECT_NE(s.At(4, 20), 0xFF00FFu) << "the edge";
    EXPECT_EQ(s.At(20, 20), 0xFF00FFu) << "no background";
    RECT inside{6, 6, 34, 34};
    EXPECT_TRUE(EqualRect(&content, &inside)) << "the content rectangle within the sunken edge";
    CloseThemeData(combo);
}

TEST_F(GlosseryTest, StripsOf32BitSquaresWithAlphaAndFourIconGroups) {
    for (const auto& strip : kStrips) {
        Dib dib(library, strip.id);
        ASSERT_NE(dib.bitmap, nullptr) << strip.id;
        EXPECT_EQ(dib.ds.dsBm.bmWidth, strip.width) << strip.id;
        ASSERT_EQ(dib.ds.dsBm.bmHeight, strip.height) << strip.id;
        ASSERT_EQ(dib.ds.dsBm.bmBitsPixel, 32) << strip.id;
        // An image list takes a picture without any alpha as opaque, and shows it black.
        for (int left = 0; left + strip.height <= strip.width; left += strip.height) {
            int alpha = 0;
            for (int y = 0; y < strip.height; ++y)
                for (int x = left; x < left + strip.height; ++x)
                    alpha |= dib.At(x, y)[3];
            ASSERT_NE(alpha, 0) << strip.id << ": picture " << left / strip.height;
        }
    }
    for (int id : {541, 566, 570, 571}) {
        HICON icon = static_cast<HICON>(LoadImageA(library, MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, 0));
        EXPECT_NE(icon, nullptr) << id;
        DestroyIcon(icon);
    }
}

TEST_F(GlosseryTest, StripsTheProgramAlsoCarriesStartWithItsPicturesInOrder) {
    HMODULE program =
        LoadLibraryExA((harness::BinFolder() + "VORLAN.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(program, nullptr);
    int shared = 0;
    for (const auto& strip : kStrips) {
        Dib own(program, strip.id), ours(library, strip.id);
        if (!own.bitmap) continue;
        ++shared;
        ASSERT_EQ(own.ds.dsBm.bmBitsPixel, 24) << strip.id;
        ASSERT_EQ(own.ds.dsBm.bmHeight, strip.height) << strip.id;
        ASSERT_LE(own.ds.dsBm.bmWidth, strip.width) << strip.id;
        const uint8_t* key = own.At(0, 0); // the masked lists' transparent colour
        for (int y = 0; y < strip.height; ++y)
            for (int x = 0; x < own.ds.dsBm.bmWidth; ++x) {
                bool transparent = std::memcmp(own.At(x, y), key, 3) == 0;
                bool same = ours.At(x, y)[3] == 255 && std::memcmp(own.At(x, y), ours.At(x, y), 3) == 0;
                // At most the faint pixel an empty picture carries.
                ASSERT_TRUE(transparent ? ours.At(x, y)[3] <= 1 : same)
                    << strip.id << " at " << x << "," << y;
            }
    }
    EXPECT_GE(shared, 1) << "the menu tree's strip at least";
    FreeLibrary(program);
}
