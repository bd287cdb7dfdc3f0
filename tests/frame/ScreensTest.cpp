// Every screen of the demo's menu opened by its memo name in VORLAN.exe, one after another,
// as a person opens it: what it shows besides itself, whether its text controls can be read
// and whether its pictures leave its other controls to be seen. A picture of each goes to the
// build tree's artifacts (screens/NAME.png).
#include "tests/frame/JourneyFixture.h"
#include "tests/harness/Picture.h"

#include <commctrl.h>

#include <cstddef>
#include <map>
#include <set>
#include <sstream>

namespace {

// Every memo name of the menu the demo user sees, in the menu's order.
const char kMenuMemos[] =
    "S p=\"\" F  S p=$O(^QME(\"MNU\",p)) Q:p=\"\"  S k=\"\" F  S k=$O(^QME(\"MNU\",p,k)) Q:k=\"\"  "
    "S m=$P(^QME(\"MNU\",p,k),$C(167)) I m'=\"\",'$D(^QME(\"OFF\",\"demo\",$E(p,2,$L(p))_(k-1)))#2 W m,\" \"";

// The screens that show a box or dialog of their own when they open or close, and a piece of
// what it says; each answer is the one the screen's user would give.
struct Expected {
    std::string opening;    // text of a box shown while it opens ("" none)
    std::string closing;    // text of a box shown when Esc closes it ("" none)
    std::string answer;     // script line for the closing box
    bool staysOpen = false; // refuses Esc; the others open beside it
    std::string close = "Esc";
};
const std::map<std::string, Expected> kExpected = {
    {"ADR", {"", "gespeichert", "box IDNO"}},
    // The closing stays refused until the release; FREI then grants it.
    {"NOK", {"", "Abschluss ist noch offen", "", true}},
    {"FREI", {"Freigabe erteilt", "", ""}},
    // This machine has no card terminal library.
    {"KRT", {"Stellen Sie sicher das sich diese Datei im Verzeichnis", "", ""}},
    // The query reads the demo's data source.
    {"SQL", {"Kunden gelesen", "", ""}},
};

// Window classes of controls that show text.
bool ShowsText(const std::string& cls) {
    static const std::set<std::string> classes = {
        "Edit",        "Static",      "ComboBox",    "ListBox", WC_LISTVIEWA, WC_TREEVIEWA, "VORLAN.GridCtrl",
        "RichEdit20A", "RichEdit20W", "RICHEDIT50W", "RichEdit"};
    return classes.count(cls) != 0;
}

std::vector<std::string> Words(const std::string& s) {
    std::istringstream in(s);
    std::vector<std::string> out;
    for (std::string w; in >> w;)
        out.push_back(w);
    return out;
}

std::string Artifacts() {
    char folder[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("VORLAN_ARTIFACTS", folder, sizeof folder);
    return n && n < sizeof folder ? std::string(folder) : std::string();
}

} // namespace

class Screens : public JourneyFixture {
  protected:
    // The program's visible top-level windows.
    std::set<HWND> TopWindows() const {
        struct Find {
            DWORD pid;
            std::set<HWND> found;
        } find{program.Id(), {}};
        EnumWindows(
            [](HWND h, LPARAM p) -> BOOL {
                auto* f = reinterpret_cast<Find*>(p);
                DWORD pid = 0;
                GetWindowThreadProcessId(h, &pid);
                if (pid == f->pid && IsWindowVisible(h)) f->found.insert(h);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&find));
        return find.found;
    }
    std::set<HWND> Frames() const {
        std::set<HWND> out;
        for (HWND h = GetWindow(Client(), GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
            if (IsWindowVisible(h)) out.insert(h);
        return out;
    }
    // Text controls of the window whose visible part is one block of black.
    std::vector<std::string> BlackControls(HWND window, const harness::Picture& picture) const {
        struct Look {
            HWND window;
            const harness::Picture* picture;
            std::vector<std::string> black;
        } look{window, &picture, {}};
        EnumChildWindows(
            window,
            [](HWND h, LPARAM p) -> BOOL {
                auto* l = reinterpret_cast<Look*>(p);
                std::string cls = harness::ClassOf(h);
                if (!IsWindowVisible(h) || !ShowsText(cls)) return TRUE;
                RECT r{}, top{};
                GetWindowRect(h, &r);
                // Only the part that its parents leave to be seen.
                for (HWND a = GetParent(h); a && a != GetDesktopWindow(); a = GetParent(a)) {
                    RECT c{};
                    GetClientRect(a, &c);
                    MapWindowPoints(a, nullptr, reinterpret_cast<POINT*>(&c), 2);
                    IntersectRect(&r, &r, &c);
                    if (a == l->window) break;
                }
                GetWindowRect(l->window, &top);
                OffsetRect(&r, -top.left, -top.top);
                if (l->picture->AllBlack(r))
                    l->black.push_back(cls + " " + std::to_string(GetDlgCtrlID(h)) + " \"" +
                                       harness::TextOf(h) + "\"");
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&look));
        return look.black;
    }
    // Controls that lie under a picture of their form, where nobody sees them.
    std::vector<std::string> UnderPictures(HWND window) const {
        struct Look {
            std::vector<HWND> pictures;
        } look;
        EnumChildWindows(
            window,
            [](HWND h, LPARAM p) -> BOOL {
                if (IsWindowVisible(h) && harness::ClassOf(h) == kPictureClass)
                    reinterpret_cast<Look*>(p)->pictures.push_back(h);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&look));
        std::vector<std::string> under;
        for (HWND picture : look.pictures) {
            RECT r{};
            GetWindowRect(picture, &r);
            for (HWND h = GetWindow(GetParent(picture), GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
                RECT o{}, both{};
                GetWindowRect(h, &o);
                if (h == picture || !IsWindowVisible(h) || !IntersectRect(&both, &r, &o)) continue;
                std::string cls = harness::ClassOf(h);
                // What holds the picture, not what it covers.
                if (cls == WC_TABCONTROLA ||
                    (cls == "Button" && (GetWindowLongA(h, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX))
                    continue;
                under.push_back(cls + " " + std::to_string(GetDlgCtrlID(h)) + " \"" + harness::TextOf(h) +
                                "\" under picture " + std::to_string(GetDlgCtrlID(picture)));
            }
        }
        return under;
    }
    static constexpr const char* kPictureClass = "VORLAN Zoomable Bitmap";
};

TEST_F(Screens, EveryScreenOfTheMenuOpensByItsMemoNameAndCanBeRead) {
    // Messages other tests left for demo would come up with whichever screen the timer meets.
    demotrace::TraceReader(harness::DbServerPort()).Run("K ^ZINFO(0,\"demo\")");
    harness::WriteTextFile(dir + "script.txt", "");
    Start("-u demo -p demo", "VORLAN experience");
    std::vector<std::string> memos = Words(Server(kMenuMemos));
    ASSERT_GT(memos.size(), 20u) << "the demo's menu";
    std::string folder = Artifacts();
    if (!folder.empty()) {
        CreateDirectoryA(folder.c_str(), nullptr);
        folder += "\\screens";
        CreateDirectoryA(folder.c_str(), nullptr);
    }

    for (const std::string& memo : memos) {
        SCOPED_TRACE(memo);
        auto it = kExpected.find(memo);
        Expected expected = it == kExpected.end() ? Expected{} : it->second;
        std::set<HWND> framesBefore = Frames(), topBefore = TopWindows();
        size_t shownBefore = Shown().size();

        person->Press("Ctrl+M");
        person->Type(memo + "\n");
        HWND screen = nullptr;
        bool framed = false;
        harness::WaitUntil(
            [&] {
                for (HWND h : Frames())
                    if (!framesBefore.count(h)) {
                        screen = h;
                        framed = true;
                    }
                for (HWND h : TopWindows())
                    if (!topBefore.count(h)) {
                        screen = h;
                        framed = false;
                    }
                return screen != nullptr;
            },
            30000);
        ASSERT_TRUE(person->Settle());
        std::vector<fw::ShownItem> shown = Shown();
        std::vector<fw::ShownItem> opening(shown.begin() + static_cast<std::ptrdiff_t>(shownBefore),
                                           shown.end());
        if (expected.opening.empty()) {
            for (const fw::ShownItem& s : opening)
                ADD_FAILURE() << "unexpected " << s.kind << " " << s.id << " \"" << s.caption
                              << "\": " << s.text;
        } else {
            ASSERT_FALSE(opening.empty()) << "a box as it opens: " << expected.opening;
            EXPECT_NE(opening.front().text.find(expected.opening), std::string::npos)
                << opening.front().kind << " " << opening.front().id << " \"" << opening.front().caption
                << "\": " << opening.front().text;
        }
        ASSERT_NE(screen, nullptr) << "the screen opened";

        HWND whole = framed ? main : screen;
        harness::Picture picture = harness::PictureOf(whole);
        if (!folder.empty()) {
            EXPECT_TRUE(harness::SavePng(picture, folder + "\\" + memo + ".png"));
        }
        for (const std::string& black : BlackControls(screen, picture))
            ADD_FAILURE() << "painted black: " << black;
        for (const std::string& under : UnderPictures(screen))
            ADD_FAILURE() << under;

        size_t shownOpen = Shown().size();
        if (!expected.answer.empty()) harness::AddAnswer(dir, expected.answer);
        person->Press(expected.close);
        auto closed = [&] { return !IsWindow(screen) || !IsWindowVisible(screen); };
        if (!expected.staysOpen) {
            EXPECT_TRUE(harness::WaitUntil(closed, 30000)) << expected.close << " closed it";
        }
        ASSERT_TRUE(person->Settle());
        shown = Shown();
        std::vector<fw::ShownItem> closing(shown.begin() + static_cast<std::ptrdiff_t>(shownOpen),
                                           shown.end());
        if (expected.closing.empty()) {
            for (const fw::ShownItem& s : closing)
                ADD_FAILURE() << "unexpected on closing " << s.kind << " " << s.id << " \"" << s.caption
                              << "\": " << s.text;
        } else {
            ASSERT_FALSE(closing.empty()) << "a box as it closes: " << expected.closing;
            EXPECT_NE(closing.front().text.find(expected.closing), std::string::npos)
                << closing.front().kind << " " << closing.front().id << " \"" << closing.front().caption
                << "\": " << closing.front().text;
        }
    }
}
