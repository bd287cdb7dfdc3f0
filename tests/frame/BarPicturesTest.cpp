// The pictures of the button bar and the modal window's toolbar: one numbering for both, and
// each small picture the twin of its large one, in the program's strips and in the theme
// library's.
#include "frame/FormBars.h"
#include "tests/frame/MainFrameFixture.h"
#include "tests/imaging/Surface.h"

#include <array>
#include <cmath>
#include <map>

namespace {

// A picture as the mean colours of an 8 x 8 grid of blocks over white: the same pictogram
// drawn at 16 and at 24 pixels gives nearly the same signature, another one a distant one.
constexpr int kBlocks = 8;
using Signature = std::array<double, kBlocks * kBlocks * 3>;

// Pixels of a square picture, 0x00RRGGBB, row by row.
Signature SignatureOf(const std::vector<std::uint32_t>& pixels, int side) {
    Signature s{};
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            std::uint32_t p = pixels[static_cast<size_t>(y) * side + x];
            size_t block = static_cast<size_t>((y * kBlocks / side) * kBlocks + x * kBlocks / side);
            s[block * 3] += (p >> 16) & 0xFF;
            s[block * 3 + 1] += (p >> 8) & 0xFF;
            s[block * 3 + 2] += p & 0xFF;
        }
    double cell = static_cast<double>(side * side) / (kBlocks * kBlocks);
    for (double& v : s)
        v /= cell;
    return s;
}

double Distance(const Signature& a, const Signature& b) {
    double d = 0;
    for (size_t i = 0; i < a.size(); ++i)
        d += std::fabs(a[i] - b[i]);
    return d;
}

// The index of the picture nearest to the one given.
int Nearest(const Signature& picture, const std::vector<Signature>& among) {
    int best = -1;
    for (size_t i = 0; i < among.size(); ++i)
        if (best < 0 || Distance(picture, among[i]) < Distance(picture, among[static_cast<size_t>(best)]))
            best = static_cast<int>(i);
    return best;
}

// Every picture of a toolbar's normal image list, as the toolbar draws it.
std::vector<Signature> ListPictures(HWND toolbar) {
    auto list = reinterpret_cast<HIMAGELIST>(::SendMessageA(toolbar, TB_GETIMAGELIST, 0, 0));
    std::vector<Signature> out;
    int cx = 0, cy = 0;
    if (!list || !ImageList_GetIconSize(list, &cx, &cy)) return out;
    for (int i = 0; i < ImageList_GetImageCount(list); ++i) {
        imgtest::Surface surface(cx, cx, RGB(255, 255, 255));
        ImageList_Draw(list, i, surface.dc(), 0, 0, ILD_NORMAL);
        std::vector<std::uint32_t> pixels;
        for (int y = 0; y < cx; ++y)
            for (int x = 0; x < cx; ++x)
                pixels.push_back(surface.At(x, y));
        out.push_back(SignatureOf(pixels, cx));
    }
    return out;
}

// Every picture of a strip resource: a 24-bit one with its top-left colour transparent, or a
// 32-bit one with premultiplied alpha; both over white.
std::vector<Signature> StripPictures(HMODULE module, UINT id) {
    std::vector<Signature> out;
    auto bitmap = static_cast<HBITMAP>(
        ::LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!bitmap) return out;
    DIBSECTION dib{};
    ::GetObjectA(bitmap, sizeof dib, &dib);
    int width = dib.dsBm.bmWidth, side = std::abs(dib.dsBm.bmHeight);
    bool alpha = dib.dsBm.bmBitsPixel == 32;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -side;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    std::vector<std::uint32_t> all(static_cast<size_t>(width) * side);
    HDC screen = ::GetDC(nullptr);
    ::GetDIBits(screen, bitmap, 0, static_cast<UINT>(side), all.data(), &info, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    ::DeleteObject(bitmap);
    std::uint32_t key = all[0] & 0xFFFFFF;
    for (int n = 0; side > 0 && n < width / side; ++n) {
        std::vector<std::uint32_t> picture;
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x) {
                std::uint32_t p = all[static_cast<size_t>(y) * width + n * side + x];
                if (alpha) {
                    std::uint32_t a = p >> 24, white = 255 - a;
                    auto over = [&](int shift) {
                        return std::min<std::uint32_t>(255, ((p >> shift) & 0xFF) + white);
                    };
                    p = (over(16) << 16) | (over(8) << 8) | over(0);
                } else if ((p & 0xFFFFFF) == key) {
                    p = 0xFFFFFF;
                }
                picture.push_back(p & 0xFFFFFF);
            }
        out.push_back(SignatureOf(picture, side));
    }
    return out;
}

std::vector<TBBUTTON> ButtonsOf(const CToolBarCtrl& bar) {
    std::vector<TBBUTTON> out;
    for (int i = 0; i < bar.GetButtonCount(); ++i) {
        TBBUTTON b{};
        bar.GetButton(i, b);
        if (!(b.fsStyle & BTNS_SEP)) out.push_back(b);
    }
    return out;
}

} // namespace

TEST(BarPictures, EachSmallStripPictureIsItsLargeOnesTwin) {
    HMODULE theme = ::LoadLibraryExA("Glossery.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(theme, nullptr) << "the theme library lies beside the test";
    struct {
        HMODULE module;
        const char* library;
    } modules[] = {{::GetModuleHandleA(nullptr), "program"}, {theme, "theme"}};
    struct {
        UINT large, small;
    } pairs[] = {{IDB_BAR_LARGE, IDB_MODAL_TOOL},
                 {IDB_BAR_LARGE_HOT, IDB_MODAL_TOOL_HOT},
                 {IDB_BAR_LARGE_DISABLED, IDB_MODAL_TOOL_DISABLED}};
    for (const auto& m : modules)
        for (const auto& p : pairs) {
            std::vector<Signature> large = StripPictures(m.module, p.large),
                                   small = StripPictures(m.module, p.small);
            ASSERT_GE(large.size(), 16u) << m.library << " " << p.large;
            ASSERT_EQ(small.size(), large.size()) << m.library << " " << p.small;
            // The pictures the bars number: the program's own, at the start of the theme's strips.
            for (int n = 0; n < 16; ++n)
                EXPECT_EQ(Nearest(small[static_cast<size_t>(n)], large), n)
                    << m.library << " strip " << p.small << " picture " << n;
        }
    ::FreeLibrary(theme);
}

TEST_F(MainFrameTest, EveryButtonsSmallPictureIsItsLargeOnesTwin) {
    CToolBarExTool& bar = frame->GetButtonBar();
    ASSERT_EQ(bar.SendMessage(CToolBarExTool::kGetLargeIcons), 1);
    std::vector<Signature> large = ListPictures(bar.m_hWnd);
    ASSERT_GE(large.size(), 16u);
    std::map<int, int> largeImage; // command -> image on the large bar
    for (const TBBUTTON& b : ButtonsOf(bar))
        largeImage[b.idCommand] = b.iBitmap;

    // The modal window's toolbar numbers its pictures as the button bar does.
    CWnd host;
    ASSERT_TRUE(host.CreateEx(0, "STATIC", "Modal", WS_POPUP | WS_VISIBLE, CRect(50, 50, 650, 350),
                              frame->m_hWnd, 0));
    CFormBars modal;
    ASSERT_TRUE(modal.CreateModal(host.m_hWnd, std::vector<std::string>(vorlan::kKeyCount), false));
    std::vector<Signature> modalPictures = ListPictures(modal.ModalTool().m_hWnd);
    std::vector<TBBUTTON> modalButtons = ButtonsOf(modal.ModalTool());
    ASSERT_EQ(modalButtons.size(), 5u);
    for (const TBBUTTON& b : modalButtons) {
        ASSERT_EQ(largeImage.count(b.idCommand), 1u) << b.idCommand;
        EXPECT_EQ(b.iBitmap, largeImage[b.idCommand]) << "modal button " << b.idCommand;
        ASSERT_LT(static_cast<size_t>(b.iBitmap), modalPictures.size());
        EXPECT_EQ(Nearest(modalPictures[static_cast<size_t>(b.iBitmap)], large), largeImage[b.idCommand])
            << "modal button " << b.idCommand;
    }
    host.DestroyWindow();

    // Small icons, as the customise dialog switches them.
    bar.SendMessage(CToolBarExTool::kSetLargeIcons, 0, 1);
    std::vector<Signature> small = ListPictures(bar.m_hWnd);
    for (const TBBUTTON& b : ButtonsOf(bar)) {
        ASSERT_LT(static_cast<size_t>(b.iBitmap), small.size());
        EXPECT_EQ(Nearest(small[static_cast<size_t>(b.iBitmap)], large), largeImage[b.idCommand])
            << "button " << b.idCommand;
    }
    bar.SendMessage(CToolBarExTool::kSetLargeIcons, 1, 1);
}
