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

constexpr UINT kHoverMessage = WM_APP + 1;
constexpr UINT kLinkMessage = WM_APP + 2;
constexpr UINT kHoverTextMessage = WM_APP + 3;

// A window that records what the drawer's callbacks send it.
struct Recorder {
    struct Call {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        std::string text; // wParam read as text, when it is one
    };
    HWND window = nullptr;
    std::vector<Call> calls;
    // Runs inside the link callback, as a form's handler would.
    std::function<void()> onLink;

    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
        auto* self = reinterpret_cast<Recorder*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (self && (msg == kHoverMessage || msg == kLinkMessage || msg == kHoverTextMessage)) {
            bool textual = msg != kHoverMessage && w != 0;
            self->calls.push_back({msg, w, l, textual ? reinterpret_cast<const char*>(w) : ""});
            if (msg == kLinkMessage && self->onLink) self->onLink();
            return 1;
        }
        return ::DefWindowProcA(hwnd, msg, w, l);
    }
    Recorder() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = "HtmlDrawerTestRecorder";
        ::RegisterClassA(&wc);
        window = ::CreateWindowA(wc.lpszClassName, "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                 wc.hInstance, nullptr);
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

bool Near(COLORREF a, COLORREF b) {
    return std::abs(GetRValue(a) - GetRValue(b)) < 40 && std::abs(GetGValue(a) - GetGValue(b)) < 40 &&
           std::abs(GetBValue(a) - GetBValue(b)) < 40;
}

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
    void Clear() {
        RECT all{0, 0, Width(), Height()};
        ::FillRect(m_dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    }
    COLORREF Pixel(int x, int y) const {
        ::GdiFlush();
        uint32_t p = m_bitmap.Row32(y)[x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    int Count(const std::function<bool(COLORREF)>& test, const RECT& area) const {
        int n = 0;
        for (int y = std::max(0L, area.top); y < std::min<LONG>(Height(), area.bottom); ++y)
            for (int x = std::max(0L, area.left); x < std::min<LONG>(Width(), area.right); ++x)
                n += test(Pixel(x, y)) ? 1 : 0;
        return n;
    }
    int Count(const std::function<bool(COLORREF)>& test) const {
        return Count(test, RECT{0, 0, Width(), Height()});
    }
    int CountNear(COLORREF colour) const {
        return Count([&](COLORREF c) { return Near(c, colour); });
    }
    int NonWhite() const {
        return Count([](COLORREF c) { return c != RGB(255, 255, 255); });
    }
    std::vector<COLORREF> Pixels() const {
        std::vector<COLORREF> all;
        for (int y = 0; y < Height(); ++y)
            for (int x = 0; x < Width(); ++x)
                all.push_back(Pixel(x, y));
        return all;
    }

  private:
    CMemoryDC m_dc;
    CDibSection m_bitmap;
    std::unique_ptr<CSelectedObject> m_select;
};

class HtmlDrawerTest : public ::testing::Test {
  protected:
    Surface surface{900, 160};
    std::unique_ptr<CHtmlDrawer> drawer = std::make_unique<CHtmlDrawer>();
    Recorder recorder;
    FakeShell shell;
    SIZE size{};

    void SetUp() override {
        drawer->SetStyleEntry("body", "font-size:-13px; color:black; font-family:Tahoma");
        drawer->SetShell(&shell);
        drawer->SetCallbackHover(recorder.window, kHoverMessage, 7);
        drawer->SetCallbackHyperlink(recorder.window, kLinkMessage, 8);
        drawer->SetCallbackHoverText(recorder.window, kHoverTextMessage, 9);
    }
    // Prepares and draws at the surface's top left, as the label does.
    void Draw(const char* text) {
        surface.Clear();
        drawer->Prepare(surface.dc(), text, &size);
        drawer->DrawPrepared(surface.dc(), RECT{0, 0, surface.Width(), surface.Height()});
    }
    void Redraw() {
        surface.Clear();
        drawer->Prepare(surface.dc(), m_text.c_str(), &size);
        drawer->DrawPrepared(surface.dc(), RECT{0, 0, surface.Width(), surface.Height()});
    }
    void Show(const std::string& text) {
        m_text = text;
        Redraw();
    }
    // A point on the first hot area found scanning the surface's rows, or {-1, -1}.
    POINT FirstHotPoint() const {
        for (int y = 0; y < surface.Height(); y += 2)
            for (int x = 0; x < surface.Width(); x += 2)
                if (drawer->HitTest(POINT{x, y}) >= 0) return POINT{x, y};
        return POINT{-1, -1};
    }
    std::string m_text;
};

// Where the picture lies on the surface: the offset at which every unmasked pixel of the
// reference bitmap is found, or {-1, -1}.
POINT FindBitmap(const Surface& surface, HBITMAP bitmap) {
    BITMAP bm{};
    ::GetObjectA(bitmap, sizeof bm, &bm);
    Surface reference(bm.bmWidth, std::abs(bm.bmHeight));
    CMemoryDC source(nullptr);
    {
        CSelectedObject select(source, bitmap);
        ::BitBlt(reference.dc(), 0, 0, reference.Width(), reference.Height(), source, 0, 0, SRCCOPY);
    }
    for (int oy = 0; oy <= 24; ++oy)
        for (int ox = 0; ox <= 24; ++ox) {
            bool all = true;
            for (int y = 0; y < reference.Height() && all; ++y)
                for (int x = 0; x < reference.Width() && all; ++x) {
                    COLORREF want = reference.Pixel(x, y);
                    if (want == RGB(255, 0, 255)) continue;
                    all = ox + x < surface.Width() && oy + y < surface.Height() &&
                          surface.Pixel(ox + x, oy + y) == want;
                }
            if (all) return POINT{ox, oy};
        }
    return POINT{-1, -1};
}

} // namespace

TEST_F(HtmlDrawerTest, HotAreasLieOnTheLinkOnly) {
    Show("erste Zeile<br>vor <a msg=abc>Verweis</a> nach");
    POINT hot = FirstHotPoint();
    ASSERT_GE(hot.x, 0) << "no hot area";
    EXPECT_EQ(drawer->HitTest(hot), 0);
    // The first line and the text before and after the link are no link.
    EXPECT_EQ(drawer->HitTest(POINT{hot.x, 2}), -1);
    EXPECT_EQ(drawer->HitTest(POINT{2, hot.y}), -1);
    EXPECT_EQ(drawer->HitTest(POINT{size.cx - 3, hot.y}), -1);
    EXPECT_EQ(drawer->HitTest(POINT{hot.x, size.cy + 5}), -1);
}

TEST_F(HtmlDrawerTest, MouseOverNotifiesOnEnteringAndLeavingAndSetsTheHand) {
    drawer->SetStyleEntry("a:link", "color:red");
    drawer->SetStyleEntry("a:hover", "color:lime; text-decoration:underline");
    Show("<a msg=abc>Verweis mit Text</a>");
    EXPECT_GT(surface.CountNear(RGB(255, 0, 0)), 10);
    EXPECT_EQ(surface.CountNear(RGB(0, 255, 0)), 0);
    POINT hot = FirstHotPoint();
    ASSERT_GE(hot.x, 0);

    EXPECT_TRUE(drawer->MouseOver(hot));
    EXPECT_EQ(::GetCursor(), ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32649)));
    // Moving within the same link notifies nothing again.
    EXPECT_TRUE(drawer->MouseOver(POINT{hot.x + 1, hot.y}));
    auto hovers = recorder.Of(kHoverMessage);
    auto texts = recorder.Of(kHoverTextMessage);
    ASSERT_EQ(hovers.size(), 1u);
    EXPECT_EQ(hovers[0].wParam, 0u);
    EXPECT_EQ(hovers[0].lParam, 7);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, "abc");
    EXPECT_EQ(texts[0].lParam, 9);

    // The link under the mouse takes its hover style in the next drawing.
    Redraw();
    EXPECT_EQ(surface.CountNear(RGB(255, 0, 0)), 0);
    EXPECT_GT(surface.CountNear(RGB(0, 255, 0)), 10);

    EXPECT_FALSE(drawer->MouseOver(POINT{surface.Width() - 2, surface.Height() - 2}));
    hovers = recorder.Of(kHoverMessage);
    texts = recorder.Of(kHoverTextMessage);
    ASSERT_EQ(hovers.size(), 2u);
    EXPECT_EQ(static_cast<INT_PTR>(hovers[1].wParam), -2);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[1].wParam, 0u);
    Redraw();
    EXPECT_GT(surface.CountNear(RGB(255, 0, 0)), 10);
    EXPECT_EQ(surface.CountNear(RGB(0, 255, 0)), 0);
}

TEST_F(HtmlDrawerTest, DefaultHoverStyleUnderlinesTheLink) {
    Show("<a msg=abc>Verweis</a>");
    std::vector<COLORREF> plain = surface.Pixels();
    drawer->MouseOver(FirstHotPoint());
    Redraw();
    std::vector<COLORREF> hovered = surface.Pixels();
    EXPECT_NE(plain, hovered);
    // The underline adds blue pixels, it takes none away.
    auto blue = [](COLORREF c) { return GetBValue(c) > 200 && GetRValue(c) < 60 && GetGValue(c) < 60; };
    int before = 0, after = 0;
    for (size_t i = 0; i < plain.size(); ++i) {
        before += blue(plain[i]);
        after += blue(hovered[i]);
    }
    EXPECT_GT(after, before);
}

TEST_F(HtmlDrawerTest, MessageAndKeyLinksSendTheirTextToTheLinkWindow) {
    struct Case {
        const char* markup;
        const char* text;
    } cases[] = {{"<a msg=m1>Menü</a>", "m1"}, {"<a fkey=f5>Taste F5</a>", "f5"}};
    for (const Case& c : cases) {
        recorder.calls.clear();
        Show(c.markup);
        drawer->Click(FirstHotPoint());
        auto links = recorder.Of(kLinkMessage);
        ASSERT_EQ(links.size(), 1u) << c.markup;
        EXPECT_EQ(links[0].text, c.text);
        EXPECT_EQ(links[0].lParam, 8);
        // A click beside the link does nothing.
        drawer->Click(POINT{surface.Width() - 2, surface.Height() - 2});
        EXPECT_EQ(recorder.Of(kLinkMessage).size(), 1u);
    }
    EXPECT_TRUE(shell.opened.empty());
}

TEST_F(HtmlDrawerTest, DisabledLinksDoNotReact) {
    Show("<a msg=abc>Verweis</a>");
    POINT hot = FirstHotPoint();
    drawer->SetEnabled(false);
    Redraw();
    EXPECT_FALSE(drawer->MouseOver(hot));
    drawer->Click(hot);
    EXPECT_TRUE(recorder.calls.empty());
}

TEST_F(HtmlDrawerTest, HrefOpensThroughTheShell) {
    Show("<a href=\"http://example.invalid/seite a.htm\">Seite</a>");
    drawer->Click(FirstHotPoint());
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_EQ(shell.opened[0], "http://example.invalid/seite a.htm");
    EXPECT_TRUE(shell.started.empty());
    EXPECT_TRUE(recorder.Of(kLinkMessage).empty());
}

// Sets a key's default value for the test and puts back what was there.
class RegistryValue {
  public:
    RegistryValue(HKEY root, const std::string& path, const std::string& value) : m_root(root), m_path(path) {
        HKEY key = nullptr;
        if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
            char old[1024] = {};
            DWORD size = sizeof old - 1;
            m_existed = true;
            m_hadValue = ::RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(old),
                                            &size) == ERROR_SUCCESS;
            m_old = old;
            ::RegCloseKey(key);
        }
        EXPECT_EQ(::RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        ::RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                         static_cast<DWORD>(value.size() + 1));
        ::RegCloseKey(key);
    }
    ~RegistryValue() {
        if (!m_existed) {
            ::RegDeleteKeyA(m_root, m_path.c_str());
            return;
        }
        HKEY key = nullptr;
        if (::RegOpenKeyExA(m_root, m_path.c_str(), 0, KEY_WRITE, &key) != ERROR_SUCCESS) return;
        if (m_hadValue)
            ::RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(m_old.c_str()),
                             static_cast<DWORD>(m_old.size() + 1));
        else
            ::RegDeleteValueA(key, nullptr);
        ::RegCloseKey(key);
    }

  private:
    HKEY m_root;
    std::string m_path;
    bool m_existed = false, m_hadValue = false;
    std::string m_old;
};

TEST_F(HtmlDrawerTest, HrefFallsBackToTheRegisteredHtmlHandler) {
    RegistryValue type(HKEY_CLASSES_ROOT, ".htm", "VorlanTestPage");
    RegistryValue command(HKEY_CLASSES_ROOT, "VorlanTestPage\\shell\\open\\command",
                          "\"C:\\Test Browser\\web.exe\" \"%1\" -neu");
    shell.openResult = 2; // the shell finds no way to open it
    Show("<a href=\"C:\\Eigene Seiten\\mein Bericht.htm\">Bericht</a>");
    drawer->Click(FirstHotPoint());
    ASSERT_EQ(shell.started.size(), 1u);
    EXPECT_EQ(shell.started[0], "\"C:\\Test Browser\\web.exe\" \"C:\\Eigene Seiten\\mein Bericht.htm\"");
    ::RegDeleteKeyA(HKEY_CLASSES_ROOT, "VorlanTestPage\\shell\\open\\command");
    ::RegDeleteKeyA(HKEY_CLASSES_ROOT, "VorlanTestPage\\shell\\open");
    ::RegDeleteKeyA(HKEY_CLASSES_ROOT, "VorlanTestPage\\shell");
}

TEST_F(HtmlDrawerTest, GetRegKeyReadsTheDefaultValueWithinItsRoom) {
    const std::string path = "Software\\VorlanHtmlDrawerTest";
    struct Case {
        std::string value;
        LONG rc;
        std::string out;
    } cases[] = {
        {"C:\\web.exe \"%1\"", ERROR_SUCCESS, "C:\\web.exe \"%1\""},
        {std::string(260, 'x'), ERROR_SUCCESS, std::string(260, 'x')},
        {std::string(261, 'x'), ERROR_MORE_DATA, ""},
    };
    for (const Case& c : cases) {
        RegistryValue value(HKEY_CURRENT_USER, path, c.value);
        char out[261 + 8];
        std::memset(out, '?', sizeof out);
        EXPECT_EQ(CHtmlDrawer::GetRegKey(HKEY_CURRENT_USER, path.c_str(), out), c.rc);
        EXPECT_EQ(std::string(out), c.out);
    }
    // A key that does not open leaves the buffer alone.
    char out[261] = "unverändert";
    EXPECT_NE(CHtmlDrawer::GetRegKey(HKEY_CURRENT_USER, "Software\\VorlanHtmlDrawerTest\\fehlt", out), 0);
    EXPECT_STREQ(out, "unverändert");
}

TEST_F(HtmlDrawerTest, ShortResourceNumbersDrawTheImageModulesStrips) {
    struct Case {
        const char* markup;
        UINT bitmap;
    } cases[] = {{"<bmp idres=1>", 514}, {"<bmp idres=2>", 511}};
    for (const Case& c : cases) {
        CBitmap expected;
        ASSERT_TRUE(expected.LoadDIB(::GetModuleHandleA(nullptr), c.bitmap));
        Show(c.markup);
        POINT at = FindBitmap(surface, expected);
        EXPECT_GE(at.x, 0) << c.markup << " does not show bitmap " << c.bitmap;
    }
}

TEST_F(HtmlDrawerTest, DisabledPicturesAreSilhouettesInTheDisabledColour) {
    drawer->SetEnabled(false);
    drawer->SetDisabledColor(RGB(0, 0, 255));
    Show("<bmp idres=1>");
    int blue = surface.CountNear(RGB(0, 0, 255));
    EXPECT_GT(blue, 20);
    EXPECT_EQ(surface.NonWhite(), surface.Count([](COLORREF c) { return c == RGB(0, 0, 255); }));
}

TEST_F(HtmlDrawerTest, ModulePicturesAreTakenWithoutRunningTheModule) {
    char exe[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string module = exe;
    module = module.substr(0, module.find_last_of("\\/") + 1) + "HtmlPictureModule.dll";
    ::SetEnvironmentVariableA("VORLAN_PICTURE_MODULE_RAN", nullptr);

    Show(("<bmp iddll=7 srcdll=\"" + module + "\">").c_str());
    EXPECT_GT(surface.NonWhite(), 50);
    Show(("<icon iddll=8 srcdll=\"" + module + "\">").c_str());
    EXPECT_GT(surface.NonWhite(), 50);
    char mark[8] = {};
    EXPECT_EQ(::GetEnvironmentVariableA("VORLAN_PICTURE_MODULE_RAN", mark, sizeof mark), 0u);

    // The mark is real: loading the module as a program would have left it.
    HMODULE loaded = ::LoadLibraryA(module.c_str());
    ASSERT_NE(loaded, nullptr);
    EXPECT_GT(::GetEnvironmentVariableA("VORLAN_PICTURE_MODULE_RAN", mark, sizeof mark), 0u);
    ::FreeLibrary(loaded);
}

TEST_F(HtmlDrawerTest, HandlesAreUsedOnlyWhenTheyAreLivePicturesOfTheTagsKind) {
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.LoadDIB(::GetModuleHandleA(nullptr), 511));
    HBRUSH brush = ::CreateSolidBrush(RGB(1, 2, 3));
    HICON icon = static_cast<HICON>(
        ::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(300), IMAGE_ICON, 32, 32, 0));
    ASSERT_NE(icon, nullptr);
    auto number = [](const void* handle) { return std::to_string(reinterpret_cast<uintptr_t>(handle)); };

    drawer->Prepare(surface.dc(), "ab", &size);
    const SIZE plain = size;
    const std::string skipped[] = {"a<bmp handle=" + number(brush) + ">b",
                                   "a<bmp handle=" + number(icon) + ">b",
                                   "a<icon handle=" + number(bitmap.m_hObject) + ">b",
                                   "a<bmp handle=123456789>b", "a<ilst handle=4294967295>b"};
    for (const std::string& text : skipped) {
        Show(text);
        EXPECT_EQ(size.cx, plain.cx) << text;
    }
    Show("<bmp handle=" + number(bitmap.m_hObject) + ">");
    EXPECT_GE(FindBitmap(surface, bitmap).x, 0);
    Show("a<icon handle=" + number(icon) + ">b");
    EXPECT_GT(size.cx, plain.cx);
    // Handles from the text belong to their owner: none is deleted.
    EXPECT_EQ(::GetObjectType(bitmap.m_hObject), static_cast<DWORD>(OBJ_BITMAP));
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(icon, &info));
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    ::DestroyIcon(icon);
    ::DeleteObject(brush);
}

TEST_F(HtmlDrawerTest, ProgramIconsAndStringsComeFromTheRunningProgram) {
    Show("<icon idres=300>");
    EXPECT_GT(surface.NonWhite(), 50);
    SIZE literal{};
    drawer->Prepare(surface.dc(), "Hallo Welt mit Text", &literal);
    Show("<string idres=4711>");
    EXPECT_EQ(size.cx, literal.cx);
    EXPECT_EQ(size.cy, literal.cy);
    // A missing string or icon takes no room.
    drawer->Prepare(surface.dc(), "x<string idres=4712><icon idres=301>y", &size);
    drawer->Prepare(surface.dc(), "xy", &literal);
    EXPECT_EQ(size.cx, literal.cx);
}

TEST_F(HtmlDrawerTest, BackgroundPictureTilesUnlessDisabled) {
    CBitmap strip;
    ASSERT_TRUE(strip.LoadDIB(::GetModuleHandleA(nullptr), 511));
    BITMAP bm{};
    strip.GetBitmap(bm);
    RECT area{0, 0, surface.Width(), surface.Height()};
    drawer->DrawBackgroundPicture(surface.dc(), area, "idres:2");
    ASSERT_LT(bm.bmWidth, surface.Width());
    for (int y = 0; y < bm.bmHeight; y += 3)
        for (int x = 0; x < bm.bmWidth; x += 3) {
            ASSERT_EQ(surface.Pixel(x + bm.bmWidth, y), surface.Pixel(x, y));
            ASSERT_EQ(surface.Pixel(x, y + bm.bmHeight), surface.Pixel(x, y));
        }
    EXPECT_GT(surface.NonWhite(), 100);

    surface.Clear();
    drawer->SetEnabled(false);
    drawer->DrawBackgroundPicture(surface.dc(), area, "idres:2");
    EXPECT_EQ(surface.NonWhite(), 0);
}

TEST_F(HtmlDrawerTest, LinkHandlerMayReplaceTheTextOrDestroyTheDrawer) {
    Show("<a msg=neu>Verweis</a>");
    POINT hot = FirstHotPoint();
    // The form sets the label's new text during the call.
    recorder.onLink = [&] {
        SIZE s{};
        drawer->Prepare(surface.dc(), "ganz anderer Text ohne Verweis", &s);
    };
    drawer->Click(hot);
    ASSERT_EQ(recorder.Of(kLinkMessage).size(), 1u);
    EXPECT_EQ(recorder.Of(kLinkMessage)[0].text, "neu");
    Redraw();

    // The form closes, and the label with its drawer goes, during the call.
    Show("<a fkey=x1>Schließen</a>");
    hot = FirstHotPoint();
    recorder.onLink = [&] { drawer.reset(); };
    CHtmlDrawer* doomed = drawer.get();
    doomed->Click(hot);
    EXPECT_EQ(drawer, nullptr);
    EXPECT_EQ(recorder.Of(kLinkMessage).back().text, "x1");
}

TEST(HtmlDrawerHover, HoverHandlerMayDestroyTheDrawer) {
    Surface surface(200, 60);
    auto drawer = std::make_unique<CHtmlDrawer>();
    Recorder recorder;
    struct Killer {
        static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
            if (msg == kHoverMessage) {
                auto* owner = reinterpret_cast<std::unique_ptr<CHtmlDrawer>*>(l);
                owner->reset();
                return 1;
            }
            return ::DefWindowProcA(hwnd, msg, w, l);
        }
    };
    ::SetWindowLongPtrA(recorder.window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Killer::Proc));
    drawer->SetCallbackHover(recorder.window, kHoverMessage, reinterpret_cast<LPARAM>(&drawer));
    drawer->SetCallbackHoverText(recorder.window, kHoverMessage + 100, 0);
    SIZE size{};
    drawer->Prepare(surface.dc(), "<a msg=weg>Verweis</a>", &size);
    drawer->DrawPrepared(surface.dc(), RECT{0, 0, 200, 60});
    POINT hot{-1, -1};
    for (int x = 0; x < 200 && hot.x < 0; ++x)
        if (drawer->HitTest(POINT{x, size.cy / 2}) >= 0) hot = POINT{x, size.cy / 2};
    ASSERT_GE(hot.x, 0);
    CHtmlDrawer* doomed = drawer.get();
    EXPECT_FALSE(doomed->MouseOver(hot));
    EXPECT_EQ(drawer, nullptr);
}
