// The demo screen HTM «Beschriftungen» in the real main frame against the fixture's dbserver:
// every prompt is a label drawn from its markup; a click on a link presses the form's key.
#include "controls/HtmlStatic.h"
#include "forms/FormLogic.h"
#include "tests/forms/FormServerFixture.h"
#include "tests/imaging/Surface.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

using demotrace::Has;
using imgtest::Surface;

namespace {

constexpr const char* kLegend =
    "Status: <table border=1 cellpadding=2><tr><td bgeffect=solid bgcolor=lime>frei</td><td bgeffect=solid "
    "bgcolor=yellow>belegt</td><td bgeffect=solid bgcolor=red>gesperrt</td></tr></table>";

// The commands sent to one window while the hook is in place.
class CommandSpy {
  public:
    explicit CommandSpy(HWND target) {
        s_target = target;
        s_ids.clear();
        m_hook = SetWindowsHookExA(WH_CALLWNDPROC, &Seen, nullptr, GetCurrentThreadId());
    }
    ~CommandSpy() { UnhookWindowsHookEx(m_hook); }
    CommandSpy(const CommandSpy&) = delete;
    CommandSpy& operator=(const CommandSpy&) = delete;
    const std::vector<UINT>& Ids() const { return s_ids; }

  private:
    static LRESULT CALLBACK Seen(int code, WPARAM w, LPARAM l) {
        const auto* m = reinterpret_cast<const CWPSTRUCT*>(l);
        // Commands only, not the notifications of the form's controls.
        if (code == HC_ACTION && m->hwnd == s_target && m->message == WM_COMMAND && m->lParam == 0)
            s_ids.push_back(LOWORD(m->wParam));
        return CallNextHookEx(nullptr, code, w, l);
    }
    static inline HWND s_target = nullptr;
    static inline std::vector<UINT> s_ids;
    HHOOK m_hook;
};

class LabelsServerTest : public FormServerTestBase {
  protected:
    void SetUp() override {
        FormServerTestBase::SetUp();
        // The pictures are the test program's own (LabelsTest.rc).
        theApp.m_hImageResources = ::GetModuleHandleA(nullptr);
    }
    // The form's labels by their markup.
    std::map<std::string, CHtmlStatic*> Labels() const {
        std::map<std::string, CHtmlStatic*> labels;
        for (HWND h = GetWindow(Form()->m_hWnd, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
            if (CHtmlStatic* label = CHtmlStatic::FromHandle(h)) labels[label->GetMarkup()] = label;
        return labels;
    }
    CHtmlStatic* LabelStartingWith(const std::string& start) const {
        for (const auto& [markup, label] : Labels())
            if (markup.rfind(start, 0) == 0) return label;
        return nullptr;
    }
    // Where the label shows on the screen now, read from the screen.
    static std::unique_ptr<Surface> Screen(HWND window) {
        harness::Pump();
        RECT r;
        GetWindowRect(window, &r);
        auto s = std::make_unique<Surface>(r.right - r.left, r.bottom - r.top);
        HDC screen = GetDC(nullptr);
        BitBlt(s->dc(), 0, 0, r.right - r.left, r.bottom - r.top, screen, r.left, r.top, SRCCOPY);
        ReleaseDC(nullptr, screen);
        return s;
    }
    // The width of a text in the label's font, where a link after it starts.
    static int WidthOf(HWND label, const char* text) {
        return TextExtent(label, reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0)), text,
                          lstrlenA(text))
            .cx;
    }
};

} // namespace

TEST_F(LabelsServerTest, HtmOpensWithItsPromptsDrawnFromMarkupAndTheLockedOneEmbossed) {
    LogIn();
    StartMemo("HTM");
    CChildDialog* form = Form();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->GetTitle(), "Beschriftungen");
    EXPECT_TRUE(Has(Trace(), "INIT^QHTM"));

    auto labels = Labels();
    ASSERT_TRUE(labels.count(kLegend)) << "the legend exactly as the server wrote it";
    ASSERT_TRUE(labels.count("<b>Name</b><font color=red>*</font>:"));
    CHtmlStatic* locked = LabelStartingWith("<b>Gesperrt:</b>");
    ASSERT_NE(locked, nullptr);
    EXPECT_FALSE(IsWindowEnabled(*locked)) << "the prompt of a locked field";
    EXPECT_FALSE(IsWindowEnabled(Field(2)));
    EXPECT_TRUE(IsWindowEnabled(*labels["<b>Name</b><font color=red>*</font>:"]));

    // Each prompt ends 5 pixels left of its field, 2 pixels below its top.
    for (int n : {1, 2, 13}) {
        HWND field = Field(n);
        ASSERT_NE(field, nullptr) << n;
        RECT f, l{};
        GetWindowRect(field, &f);
        bool found = false;
        for (const auto& [markup, label] : labels) {
            GetWindowRect(*label, &l);
            if (l.right == f.left - 5 && l.top == f.top + 2) found = true;
        }
        EXPECT_TRUE(found) << "the prompt of field " << n;
    }

    // The legend's three cells in their colours, each a block of pixels.
    HWND legend = *labels[kLegend];
    auto shown = Screen(legend);
    RECT r;
    GetClientRect(legend, &r);
    std::map<uint32_t, int> counts;
    for (int y = 0; y < r.bottom; ++y)
        for (int x = 0; x < r.right; ++x)
            ++counts[shown->At(x, y)];
    EXPECT_GT(counts[0x00FF00], 40) << "lime";
    EXPECT_GT(counts[0xFFFF00], 40) << "yellow";
    EXPECT_GT(counts[0xFF0000], 40) << "red";
    EXPECT_EQ(shown->At(0, 0), Surface::Rgb(GetSysColor(COLOR_BTNFACE))) << "what the form paints behind";

    // The locked field's prompt: highlight and shadow, nothing in the text colour.
    auto embossed = Screen(*locked);
    GetClientRect(*locked, &r);
    std::map<uint32_t, int> seen;
    for (int y = 0; y < r.bottom; ++y)
        for (int x = 0; x < r.right; ++x)
            ++seen[embossed->At(x, y)];
    EXPECT_GT(seen[Surface::Rgb(GetSysColor(COLOR_BTNSHADOW))], 0);
    EXPECT_GT(seen[Surface::Rgb(GetSysColor(COLOR_BTNHIGHLIGHT))], 0);
    EXPECT_EQ(seen[Surface::Rgb(GetSysColor(COLOR_WINDOWTEXT))], 0);

    char artifacts[MAX_PATH];
    if (GetEnvironmentVariableA("VORLAN_ARTIFACTS", artifacts, sizeof artifacts)) {
        frame->ShowWindow(SW_MAXIMIZE);
        Active()->ShowWindow(SW_MAXIMIZE);
        harness::Pump();
        CreateDirectoryA(artifacts, nullptr);
        EXPECT_TRUE(harness::SaveScreen(std::string(artifacts) + "\\beschriftungen.bmp"));
    }
}

TEST_F(LabelsServerTest, TheLinksOfAPromptPressTheFormsKeys) {
    LogIn();
    StartMemo("HTM");
    ASSERT_NE(Form(), nullptr);
    CHtmlStatic* links = LabelStartingWith("Verweise:");
    ASSERT_NE(links, nullptr);
    Trace();
    RECT r;
    GetClientRect(*links, &r);
    const int y = r.bottom / 2;

    CommandSpy spy(Form()->m_hWnd);
    SendMessageA(*links, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(WidthOf(*links, "Verweise: ") + 4, y));
    harness::Pump();
    EXPECT_EQ(spy.Ids(), std::vector<UINT>{0x8020}) << "the link text f5 is the key F5";
    EXPECT_TRUE(Has(Trace(), "F5^QHTM"));

    SendMessageA(*links, WM_LBUTTONDOWN, MK_LBUTTON,
                 MAKELPARAM(WidthOf(*links, "Verweise: Taste F5, ") + 4, y));
    harness::Pump();
    ASSERT_EQ(spy.Ids().size(), 2u);
    EXPECT_EQ(spy.Ids()[1], vorlan::HyperlinkCommand("m1"));
    EXPECT_TRUE(Has(Trace(), "M1^QHTM"));

    // Plain text of the prompt presses nothing.
    SendMessageA(*links, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, y));
    harness::Pump();
    EXPECT_EQ(spy.Ids().size(), 2u);
}

TEST_F(LabelsServerTest, EarlierScreensOpenWithTheirPromptsAsLabels) {
    LogIn();
    for (const char* memo : {"ADR", "FLD"}) {
        StartMemo(memo);
        ASSERT_NE(Form(), nullptr) << memo;
        int prompts = 0;
        for (const auto& [markup, label] : Labels()) {
            if (GetDlgCtrlID(*label) != 0xFFFF) continue;
            ++prompts;
            RECT r;
            GetClientRect(*label, &r);
            EXPECT_GT(r.right, 0) << memo << ": " << markup;
            EXPECT_GT(r.bottom, 0) << memo << ": " << markup;
        }
        EXPECT_GT(prompts, 2) << memo;
    }
}
