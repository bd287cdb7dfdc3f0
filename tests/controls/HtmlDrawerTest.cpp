// The label drawer on 32-bit DIB sections: links and their callbacks, click actions through
// the shell seam and the registry, and pictures from every source a label text can name.
#include "controls/HtmlDrawer.h"
#include "framework/DibSection.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr UINT kHover = WM_APP + 1, kLink = WM_APP + 2, kHoverText = WM_APP + 3;

// A window that records what the drawer's callbacks send it; onCall runs inside the call, as
// a form's handler would.
struct Recorder {
    struct Call {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        std::string text;
    };
    HWND window = nullptr;
    std::vector<Call> calls;
    std::function<void(UINT)> onCall;

    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
        auto* self = reinterpret_cast<Recorder*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (!self || msg < kHover || msg > kHoverText) return ::DefWindowProcA(hwnd, msg, w, l);
        bool textual = msg != kHover && w != 0;
        self->calls.push_back({msg, w, l, textual ? reinterpret_cast<const char*>(w) : ""});
        if (self->onCall) self->onCall(msg);
        return 1;
    }
    Recorder() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = Proc;
        wc.lpszClassName = "HtmlDrawerTestRecorder";
        ::RegisterClassA(&wc);
        window = ::CreateWindowA(wc.lpszClassName, "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                 nullptr);
        ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~Recorder() { ::DestroyWindow(window); }
    std::vector<Call> Of(UINT message) const {
        std::vector<Call> out;
        for (const Call& c : calls)
            if (c.message == message) out.push_back(c);
        return out;
    }
};

struct FakeShell : IHtmlShell {
    INT_PTR openResult = 42;
    std::vector<std::string> opened, started;
    INT_PTR Open(const char* target, int show) override {
        EXPECT_EQ(show, SW_SHOW);
        opened.push_back(target);
        return openResult;
    }
    bool Start(const char* commandLine, int show) override {
        EXPECT_EQ(show, SW_SHOW);
        started.push_back(commandLine);
        return true;
    }
};

// A white 32-bit surface with a context to draw on.
class Surface {
  public:
    Surface(int width, int height) : m_dc(nullptr) {
        m_bitmap.Create32(width, height);
        m_select = std::make_unique<CSelectedObject>(m_dc, m_bitmap);
        Clear();
    }
    HDC dc() const { return m_dc; }
    int Width() const { return m_bitmap.GetWidth(); }
    int Height() const { return m_bitmap.GetHeight(); }
    void Clear() { ::PatBlt(m_dc, 0, 0, Width(), Height(), WHITENESS); }
    COLORREF Pixel(int x, int y) const {
        ::GdiFlush();
        uint32_t p = m_bitmap.Row32(y)[x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    int Count(const std::function<bool(COLORREF)>& test) const {
        int n = 0;
        for (int y = 0; y < Height(); ++y)
            for (int x = 0; x < Width(); ++x)
                n += test(Pixel(x, y)) ? 1 : 0;
        return n;
    }
    // Pixels close to the colour (text edges are smoothed).
    int CountNear(COLORREF colour) const {
        return Count([&](COLORREF c) {
            return std::abs(GetRValue(c) - GetRValue(colour)) < 40 &&
                   std::abs(GetGValue(c) - GetGValue(colour)) < 40 &&
                   std::abs(GetBValue(c) - GetBValue(colour)) < 40;
        });
    }
    int NonWhite() const {
        return Count([](COLORREF c) { return c != RGB(255, 255, 255); });
    }
    // Whether every unmasked pixel of the bitmap is found at some offset near the top left.
    bool Shows(HBITMAP bitmap) const {
        BITMAP bm{};
        ::GetObjectA(bitmap, sizeof bm, &bm);
        Surface reference(bm.bmWidth, std::abs(bm.bmHeight));
        CBitmapDC source(nullptr, bitmap);
        ::BitBlt(reference.dc(), 0, 0, reference.Width(), reference.Height(), source, 0, 0, SRCCOPY);
        for (int oy = 0; oy <= 24; ++oy)
            for (int ox = 0; ox <= 24; ++ox) {
                bool all = ox + reference.Width() <= Width() && oy + reference.Height() <= Height();
                for (int y = 0; y < reference.Height() && all; ++y)
                    for (int x = 0; x < reference.Width() && all; ++x) {
                        COLORREF want = reference.Pixel(x, y);
                        all = want == RGB(255, 0, 255) || Pixel(ox + x, oy + y) == want;
                    }
                if (all) return true;
            }
        return false;
    }

  private:
    CMemoryDC m_dc;
    CDibSection m_bitmap;
    std::unique_ptr<CSelectedObject> m_select;
};

std::string Number(const void* handle) {
    return std::to_string(reinterpret_cast<uintptr_t>(handle));
}

// Sets a key's default value for the test and puts back what was there (the Wine prefix is
// shared by every test).
class RegistryValue {
  public:
    RegistryValue(HKEY root, const std::string& path, const std::string& value) : m_root(root), m_path(path) {
        char old[1024] = {};
        LONG size = sizeof old - 1;
        m_existed = ::RegQueryValueA(root, path.c_str(), old, &size) == ERROR_SUCCESS;
        m_old = old;
        ::RegSetValueA(root, path.c_str(), REG_SZ, value.c_str(), static_cast<DWORD>(value.size()));
    }
    ~RegistryValue() {
        if (m_existed)
            ::RegSetValueA(m_root, m_path.c_str(), REG_SZ, m_old.c_str(), static_cast<DWORD>(m_old.size()));
        else
            ::RegDeleteKeyA(m_root, m_path.c_str());
    }

  private:
    HKEY m_root;
    std::string m_path, m_old;
    bool m_existed = false;
};

} // namespace

class HtmlDrawerTest : public ::testing::Test {
  protected:
    Surface surface{900, 160};
    std::unique_ptr<CHtmlDrawer> drawer = std::make_unique<CHtmlDrawer>();
    Recorder recorder;
    FakeShell shell;
    std::string text;
    SIZE size{};

    void SetUp() override {
        drawer->SetStyleEntry("body", "font-size:-13px; color:black; font-family:Tahoma");
        drawer->SetShell(&shell);
        drawer->SetCallbackHover(recorder.window, kHover, 7);
        drawer->SetCallbackHyperlink(recorder.window, kLink, 8);
        drawer->SetCallbackHoverText(recorder.window, kHoverText, 9);
    }
    // Prepares and draws at the surface's top left, as the label does.
    void Show(const std::string& markup) {
        text = markup;
        Redraw();
    }
    void Redraw() {
        surface.Clear();
        drawer->Prepare(surface.dc(), text.c_str(), &size);
        drawer->DrawPrepared(surface.dc(), RECT{0, 0, surface.Width(), surface.Height()});
    }
    SIZE Measure(const std::string& markup) {
        SIZE s{};
        drawer->Prepare(surface.dc(), markup.c_str(), &s);
        return s;
    }
    POINT FirstHotPoint() const {
        for (int y = 0; y < surface.Height(); y += 2)
            for (int x = 0; x < surface.Width(); x += 2)
                if (drawer->HitTest(POINT{x, y}) >= 0) return POINT{x, y};
        ADD_FAILURE() << "no hot area";
        return POINT{-1, -1};
    }
    POINT Away() const { return POINT{surface.Width() - 2, surface.Height() - 2}; }
};

TEST_F(HtmlDrawerTest, HotAreasLieOnTheLinkOnly) {
    Show("erste Zeile<br>vor <a msg=abc>Verweis</a> nach");
    POINT hot = FirstHotPoint();
    EXPECT_EQ(drawer->HitTest(hot), 0);
    for (POINT off : {POINT{hot.x, 2}, POINT{2, hot.y}, POINT{size.cx - 3, hot.y}, POINT{hot.x, size.cy + 5}})
        EXPECT_EQ(drawer->HitTest(off), -1) << off.x << "," << off.y;
}

TEST_F(HtmlDrawerTest, MouseOverNotifiesOnEnteringAndLeavingAndShowsTheHoverStyle) {
    drawer->SetStyleEntry("a:link", "color:red");
    drawer->SetStyleEntry("a:hover", "color:lime");
    Show("<a msg=abc>Verweis mit Text</a>");
    EXPECT_GT(surface.CountNear(RGB(255, 0, 0)), 10);
    POINT hot = FirstHotPoint();

    EXPECT_TRUE(drawer->MouseOver(hot));
    EXPECT_EQ(::GetCursor(), ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32649)));
    EXPECT_TRUE(drawer->MouseOver(POINT{hot.x + 1, hot.y})); // same link: no news
    Redraw();
    EXPECT_EQ(surface.CountNear(RGB(255, 0, 0)), 0);
    EXPECT_GT(surface.CountNear(RGB(0, 255, 0)), 10);

    EXPECT_FALSE(drawer->MouseOver(Away()));
    Redraw();
    EXPECT_GT(surface.CountNear(RGB(255, 0, 0)), 10);
    EXPECT_EQ(surface.CountNear(RGB(0, 255, 0)), 0);

    auto hovers = recorder.Of(kHover), texts = recorder.Of(kHoverText);
    ASSERT_EQ(hovers.size(), 2u);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(hovers[0].wParam, 0u);
    EXPECT_EQ(hovers[0].lParam, 7);
    EXPECT_EQ(static_cast<INT_PTR>(hovers[1].wParam), -2);
    EXPECT_EQ(texts[0].text, "abc");
    EXPECT_EQ(texts[0].lParam, 9);
    EXPECT_EQ(texts[1].wParam, 0u);
}

TEST_F(HtmlDrawerTest, ClicksOnMessageAndKeyLinksSendTheirTextToTheLinkWindow) {
    for (const char* link : {"msg=m1", "fkey=f5"}) {
        recorder.calls.clear();
        Show(std::string("<a ") + link + ">Verweis</a>");
        drawer->Click(FirstHotPoint());
        drawer->Click(Away());
        auto links = recorder.Of(kLink);
        ASSERT_EQ(links.size(), 1u) << link;
        EXPECT_EQ(links[0].text, std::strchr(link, '=') + 1);
        EXPECT_EQ(links[0].lParam, 8);
    }
    EXPECT_TRUE(shell.opened.empty());
}

TEST_F(HtmlDrawerTest, HrefOpensThroughTheShellAndFallsBackToTheRegisteredHtmlHandler) {
    Show("<a href=\"C:\\Eigene Seiten\\mein Bericht.htm\">Bericht</a>");
    drawer->Click(FirstHotPoint());
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_EQ(shell.opened[0], "C:\\Eigene Seiten\\mein Bericht.htm");
    EXPECT_TRUE(shell.started.empty());
    EXPECT_TRUE(recorder.Of(kLink).empty());

    {
        RegistryValue type(HKEY_CLASSES_ROOT, ".htm", "VorlanTestPage");
        RegistryValue command(HKEY_CLASSES_ROOT, "VorlanTestPage\\shell\\open\\command",
                              "\"C:\\Test Browser\\web.exe\" \"%1\" -neu");
        shell.openResult = 2; // the shell finds no way to open it
        drawer->Click(FirstHotPoint());
    }
    ASSERT_EQ(shell.started.size(), 1u);
    EXPECT_EQ(shell.started[0], "\"C:\\Test Browser\\web.exe\" \"C:\\Eigene Seiten\\mein Bericht.htm\"");
    for (const char* key : {"VorlanTestPage\\shell\\open", "VorlanTestPage\\shell", "VorlanTestPage"})
        ::RegDeleteKeyA(HKEY_CLASSES_ROOT, key);
}

TEST_F(HtmlDrawerTest, GetRegKeyReadsTheDefaultValueWithinItsRoom) {
    const char* path = "Software\\VorlanHtmlDrawerTest";
    struct Case {
        std::string value;
        LONG rc;
        std::string out;
    } cases[] = {
        {"C:\\web.exe \"%1\"", ERROR_SUCCESS, "C:\\web.exe \"%1\""},
        {std::string(259, 'x'), ERROR_SUCCESS, std::string(259, 'x')},
        {std::string(260, 'x'), ERROR_MORE_DATA, ""}, // no room left for the terminator
        {std::string(261, 'x'), ERROR_MORE_DATA, ""},
    };
    for (const Case& c : cases) {
        RegistryValue value(HKEY_CURRENT_USER, path, c.value);
        char out[300];
        std::memset(out, '?', sizeof out);
        EXPECT_EQ(CHtmlDrawer::GetRegKey(HKEY_CURRENT_USER, path, out), c.rc) << c.value.size();
        EXPECT_EQ(std::string(out), c.out) << c.value.size();
        EXPECT_EQ(std::string(out + 260, 40), std::string(40, '?')) << "written beyond the room";
    }
    char out[261] = "unverändert"; // a key that does not open leaves the buffer alone
    EXPECT_NE(CHtmlDrawer::GetRegKey(HKEY_CURRENT_USER, "Software\\VorlanHtmlDrawerTest\\fehlt", out), 0);
    EXPECT_STREQ(out, "unverändert");
}

TEST_F(HtmlDrawerTest, ShortResourceNumbersDrawTheImageModulesStrips) {
    for (auto [markup, id] : {std::make_pair("<bmp idres=1>", 514), std::make_pair("<bmp idres=2>", 511)}) {
        CBitmap expected;
        ASSERT_TRUE(expected.LoadDIB(::GetModuleHandleA(nullptr), id));
        Show(markup);
        EXPECT_TRUE(surface.Shows(expected)) << markup << " does not show bitmap " << id;
    }
}

TEST_F(HtmlDrawerTest, DisabledPicturesAreSilhouettesInTheDisabledColour) {
    drawer->SetEnabled(false);
    drawer->SetDisabledColor(RGB(0, 0, 255));
    Show("<bmp idres=1>");
    EXPECT_GT(surface.CountNear(RGB(0, 0, 255)), 20);
    EXPECT_EQ(surface.NonWhite(), surface.Count([](COLORREF c) { return c == RGB(0, 0, 255); }));
}

TEST_F(HtmlDrawerTest, ModulePicturesAreTakenWithoutRunningTheModule) {
    char exe[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string module = exe;
    module = module.substr(0, module.find_last_of("\\/") + 1) + "HtmlPictureModule.dll";
    ::SetEnvironmentVariableA("VORLAN_PICTURE_MODULE_RAN", nullptr);

    for (const char* tag : {"<bmp iddll=7", "<icon iddll=8"}) {
        Show(std::string(tag) + " srcdll=\"" + module + "\">");
        EXPECT_GT(surface.NonWhite(), 50) << tag;
    }
    char mark[8] = {};
    EXPECT_EQ(::GetEnvironmentVariableA("VORLAN_PICTURE_MODULE_RAN", mark, sizeof mark), 0u);
    // The mark is real: loading the module as code leaves it.
    HMODULE loaded = ::LoadLibraryA(module.c_str());
    ASSERT_NE(loaded, nullptr);
    EXPECT_GT(::GetEnvironmentVariableA("VORLAN_PICTURE_MODULE_RAN", mark, sizeof mark), 0u);
    ::FreeLibrary(loaded);
}

TEST_F(HtmlDrawerTest, HandlesAreUsedOnlyWhenTheyAreLivePicturesOfTheTagsKind) {
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.LoadDIB(::GetModuleHandleA(nullptr), 511));
    CBrush brush(RGB(1, 2, 3));
    CIcon icon(static_cast<HICON>(
        ::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(300), IMAGE_ICON, 32, 32, 0)));
    ASSERT_NE(static_cast<HICON>(icon), nullptr);

    const SIZE plain = Measure("ab");
    for (const std::string& skipped :
         {"<bmp handle=" + Number(brush.m_hObject), "<bmp handle=" + Number(icon),
          "<icon handle=" + Number(bitmap.m_hObject), std::string("<bmp handle=123456789"),
          std::string("<ilst handle=4294967295")})
        EXPECT_EQ(Measure("a" + skipped + ">b").cx, plain.cx) << skipped;
    EXPECT_GT(Measure("a<icon handle=" + Number(icon) + ">b").cx, plain.cx);
    Show("<bmp handle=" + Number(bitmap.m_hObject) + ">");
    EXPECT_TRUE(surface.Shows(bitmap));
    // Handles from the text stay their owner's.
    EXPECT_EQ(::GetObjectType(bitmap.m_hObject), static_cast<DWORD>(OBJ_BITMAP));
    CIconInfo info;
    EXPECT_TRUE(info.Get(icon));
}

TEST_F(HtmlDrawerTest, ProgramIconsAndStringsComeFromTheRunningProgram) {
    Show("<icon idres=300>");
    EXPECT_GT(surface.NonWhite(), 50);
    SIZE literal = Measure("Hallo Welt mit Text"), resource = Measure("<string idres=4711>");
    EXPECT_EQ(resource.cx, literal.cx);
    EXPECT_EQ(resource.cy, literal.cy);
    // A missing string or icon takes no room.
    EXPECT_EQ(Measure("x<string idres=4712><icon idres=301>y").cx, Measure("xy").cx);
}

TEST_F(HtmlDrawerTest, BackgroundPictureTilesUnlessDisabled) {
    CBitmap tile;
    ASSERT_TRUE(tile.LoadDIB(::GetModuleHandleA(nullptr), 511));
    BITMAP bm{};
    tile.GetBitmap(bm);
    ASSERT_LT(2 * bm.bmWidth, surface.Width());
    const RECT area{0, 0, surface.Width(), surface.Height()};
    drawer->DrawBackgroundPicture(surface.dc(), area, "idres:2");
    EXPECT_TRUE(surface.Shows(tile));
    for (int y = 0; y < bm.bmHeight; y += 3)
        for (int x = 0; x < bm.bmWidth; x += 3) {
            ASSERT_EQ(surface.Pixel(x + bm.bmWidth, y), surface.Pixel(x, y));
            ASSERT_EQ(surface.Pixel(x, y + bm.bmHeight), surface.Pixel(x, y));
        }
    surface.Clear();
    drawer->SetEnabled(false);
    drawer->DrawBackgroundPicture(surface.dc(), area, "idres:2");
    EXPECT_EQ(surface.NonWhite(), 0);
}

TEST_F(HtmlDrawerTest, CallbacksMayReplaceTheTextOrDestroyTheDrawer) {
    // The form sets the label's new text inside the link call.
    Show("<a msg=neu>Verweis</a>");
    recorder.onCall = [&](UINT) { Measure("ganz anderer Text ohne Verweis"); };
    drawer->Click(FirstHotPoint());
    ASSERT_EQ(recorder.Of(kLink).size(), 1u);
    EXPECT_EQ(recorder.Of(kLink)[0].text, "neu");

    // The form closes, and the label with its drawer goes, inside the link or the hover call.
    for (UINT message : {kLink, kHover}) {
        if (!drawer) drawer = std::make_unique<CHtmlDrawer>();
        drawer->SetCallbackHyperlink(recorder.window, kLink, 0);
        drawer->SetCallbackHover(recorder.window, kHover, 0);
        Show("<a fkey=x1>Schließen</a>");
        POINT hot = FirstHotPoint();
        recorder.onCall = [&](UINT m) {
            if (m == message) drawer.reset();
        };
        CHtmlDrawer* doomed = drawer.get();
        if (message == kLink)
            doomed->Click(hot);
        else
            EXPECT_FALSE(doomed->MouseOver(hot));
        EXPECT_EQ(drawer, nullptr);
        recorder.onCall = nullptr;
    }
}
