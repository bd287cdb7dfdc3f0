// The menu tree bar on a real window against a scripted server: what it asks, what it shows,
// what it sends the frame.
#include "app/VORLANApp.h"
#include "frame/MenuTreeBar.h"
#include "frame/MenuTreeLogic.h"
#include "resources/MainFrameIds.h"
#include "resources/resource.h"
#include "tests/app/AppFixture.h"
#include "tests/app/FakeTransport.h"
#include "tests/harness/Pointer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

const std::string S = "\xa7";

// The frame stand-in: records what the bar sends it; its child 0xE900 plays the MDI client.
struct Host : CWnd {
    std::vector<std::string> started;
    LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override {
        if (msg == WM_STARTMEMO) {
            started.push_back(reinterpret_cast<const char*>(w));
            return 0;
        }
        return CWnd::WindowProc(msg, w, l);
    }
};

struct MdiClient : CWnd {
    HWND active = nullptr;
    LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override {
        if (msg == WM_MDIGETACTIVE) return reinterpret_cast<LRESULT>(active);
        return CWnd::WindowProc(msg, w, l);
    }
};

struct Child : CWnd {
    int closes = 0;
    LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override {
        if (msg == WM_CLOSE) {
            ++closes;
            return 0;
        }
        return CWnd::WindowProc(msg, w, l);
    }
};

// Takes drops of "VORLAN.Icon" and keeps the record.
struct IconTarget : COleDropTarget {
    std::vector<unsigned char> record;
    int drops = 0;
    DROPEFFECT OnDragEnter(CWnd*, COleDataObject*, DWORD, CPoint) override { return DROPEFFECT_COPY; }
    DROPEFFECT OnDragOver(CWnd*, COleDataObject*, DWORD, CPoint) override { return DROPEFFECT_COPY; }
    bool OnDrop(CWnd*, COleDataObject* data, DROPEFFECT, CPoint) override {
        ++drops;
        HGLOBAL block =
            data->GetGlobalData(static_cast<CLIPFORMAT>(::RegisterClipboardFormatA("VORLAN.Icon")));
        if (!block) return false;
        auto* bytes = static_cast<unsigned char*>(::GlobalLock(block));
        record.assign(bytes, bytes + ::GlobalSize(block));
        ::GlobalUnlock(block);
        ::GlobalFree(block);
        return true;
    }
};

void Pump(DWORD ms = 30) {
    DWORD end = ::GetTickCount() + ms;
    MSG m;
    do {
        while (::PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            if (!theApp.PreTranslateMessage(&m)) {
                ::TranslateMessage(&m);
                ::DispatchMessageA(&m);
            }
        }
        ::Sleep(5);
    } while (::GetTickCount() < end);
}

// The menu the scripted server knows, by path; the edit mode's flags say who may go where.
const std::map<std::string, std::string> kMenu = {
    {"", "1" + S + S + "Stammdaten" + S + S + "-2" + S + "PAT" + S + "Patienten" + S + "3" + S + "-3" + S +
             S + "Leer" + S + S},
    {"0,", "-1" + S + "KAS" + S + "Kassen" + S + "0" + S + "4" + S + S + "Unter" + S + S},
    {"0,3,", "-5" + S + "XY" + S + "Tief" + S + "x" + S + "-6" + S + "ZZ" + S + "Zweit" + S + S},
};
const std::map<std::string, std::string> kEditMenu = {
    {"", "1" + S + S + "Stammdaten" + S + "1" + S + "-2" + S + "PAT" + S + "Patienten" + S + "1" + S + "-3" +
             S + S + "Leer" + S + S},
    {"0,", "-1" + S + "KAS" + S + "Kassen" + S + S + "4" + S + S + "Unter" + S + "1" + S},
    {"0,3,", "-5" + S + "XY" + S + "Tief" + S + "1" + S + "-6" + S + "ZZ" + S + "Zweit" + S + S},
};

class MenuTreeBarTest : public ::testing::Test {
  protected:
    FakeServer server;
    Host host;
    MdiClient client;
    Child child;
    CMenuTreeBar bar;
    std::string resyncAnswer;

    void SetUp() override {
        apptest::PrepareApp("MenuTreeBarTest", std::make_unique<FakeTransport>(server));
        theApp.WriteProfileInt("Settings", "DisableWaitDialog", 1);
        theApp.m_hImageResources = ::GetModuleHandleA(nullptr);
        server.answer = [this](const std::string& code, int) { return std::make_pair(0, Answer(code)); };
        ASSERT_TRUE(theApp.Connect());
        ASSERT_EQ(theApp.Login("127.0.0.1", 1972, "", "VOR", "", true), 7);

        ASSERT_TRUE(CWnd::RegisterWindowClass("MenuTreeTest.Host", 0, nullptr, nullptr,
                                              reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1)));
        ASSERT_TRUE(host.CreateEx(0, "MenuTreeTest.Host", "Host", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                  CRect(20, 20, 620, 520), nullptr, 0));
        ASSERT_TRUE(client.Create("MenuTreeTest.Host", "", WS_CHILD | WS_VISIBLE, CRect(300, 0, 600, 400),
                                  host.m_hWnd, 0xE900));
        ASSERT_TRUE(child.Create("MenuTreeTest.Host", "", WS_CHILD, CRect(0, 0, 10, 10), client.m_hWnd, 1));
        client.active = child.m_hWnd;
        ASSERT_TRUE(bar.Create(host.m_hWnd, ID_MENUTREE_BAR, CRect(0, 0, 280, 400)));
        ::SetForegroundWindow(host.m_hWnd);
        server.calls.clear();
    }
    void TearDown() override {
        bar.DestroyWindow();
        host.DestroyWindow();
        apptest::ReleaseApp();
    }

    std::string Answer(const std::string& code) {
        if (code == "W $JOB") return "4711";
        if (code == "W $$INIMNU^QCC()") return "Hauptmen\xfc";
        if (code.rfind("W $P($$SELECTM^QCC(", 0) == 0) return resyncAnswer;
        auto at = code.find("W $$GETMNU^QCC(\"");
        if (at == std::string::npos) return "";
        std::string path = code.substr(at + 16, code.size() - at - 16 - 2);
        const auto& menu = code.rfind("S BGTEST=", 0) == 0 ? kEditMenu : kMenu;
        auto it = menu.find(path);
        return it == menu.end() ? "" : it->second;
    }
    // The M lines sent since the last look.
    std::vector<std::string> Lines() {
        std::vector<std::string> lines;
        for (const auto& c : server.Calls())
            if (c.rfind("x 7 ", 0) == 0) lines.push_back(c.substr(4));
        server.calls.clear();
        return lines;
    }

    CTreeCtrl& Tree() { return bar.GetTreeCtrl(); }
    HTREEITEM Find(const char* text, HTREEITEM from = nullptr) {
        for (HTREEITEM h = from ? Tree().GetChildItem(from) : Tree().GetRootItem(); h;
             h = Tree().GetNextSiblingItem(h)) {
            if (Tree().GetItemText(h) == text) return h;
            if (HTREEITEM deeper = Find(text, h)) return deeper;
        }
        return nullptr;
    }
    std::vector<std::string> Texts(HTREEITEM parent) {
        std::vector<std::string> texts;
        for (HTREEITEM h = Tree().GetChildItem(parent); h; h = Tree().GetNextSiblingItem(h))
            texts.push_back(Tree().GetItemText(h).str());
        return texts;
    }
    bool Bold(const char* text) { return (Tree().GetItemState(Find(text), TVIS_BOLD) & TVIS_BOLD) != 0; }
    int Image(const char* text) {
        int image = -1, selected = -1;
        Tree().GetItemImage(Find(text), image, selected);
        EXPECT_EQ(image, selected) << text;
        return image;
    }
    void Activate(const char* text) {
        ASSERT_TRUE(Tree().SelectItem(Find(text))) << text;
        bar.SendMessage(WM_COMMAND, 1, 0);
    }
    LRESULT Notify(UINT code) {
        NMHDR header{Tree().m_hWnd, IDC_MENUTREE, code};
        return bar.SendMessage(WM_NOTIFY, IDC_MENUTREE, reinterpret_cast<LPARAM>(&header));
    }
    void Build() {
        bar.SendMessage(WM_CREATEMENU);
        Lines();
    }
    void BuildEdit(const char* user) {
        bar.StartMenuEditMode(user);
        Lines();
    }
};

using LineList = std::vector<std::string>;

} // namespace

TEST_F(MenuTreeBarTest, BuildFillsTheRootAndTheFirstLevel) {
    EXPECT_FALSE(::IsWindowEnabled(Tree())) << "disabled until built";
    EXPECT_EQ(bar.SendMessage(WM_CREATEMENU), 0);
    EXPECT_EQ(Lines(), (LineList{"W $$INIMNU^QCC()", "K BGTEST W $$GETMNU^QCC(\"\")"}));
    EXPECT_TRUE(::IsWindowEnabled(Tree()));

    HTREEITEM root = Tree().GetRootItem();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(Tree().GetItemText(root), "Hauptmen\xfc");
    EXPECT_TRUE(Tree().GetItemState(root, TVIS_BOLD) & TVIS_BOLD);
    EXPECT_EQ(Texts(root), (std::vector<std::string>{"Stammdaten", "Patienten [PAT]", "Leer"}));
    EXPECT_FALSE(Bold("Stammdaten"));
    EXPECT_EQ(Image("Patienten [PAT]"), 2) << "server image 3";
    EXPECT_EQ(Image("Leer"), vorlan::kImageLeaf);
    EXPECT_EQ(Image("Stammdaten"), vorlan::kImageFolderClosed);
    EXPECT_EQ(Image("Hauptmen\xfc"), vorlan::kImageFolderOpen);
}

TEST_F(MenuTreeBarTest, EachFolderAsksTheServerOncePerBuild) {
    Build();
    HTREEITEM folder = Find("Stammdaten");
    Tree().Expand(folder, TVE_EXPAND);
    EXPECT_EQ(Lines(), (LineList{"K BGTEST W $$GETMNU^QCC(\"0,\")"}));
    EXPECT_EQ(Texts(folder), (std::vector<std::string>{"Kassen [KAS]", "Unter"}));
    EXPECT_EQ(Image("Kassen [KAS]"), vorlan::kImageLeaf) << "flag 0";
    EXPECT_EQ(Image("Stammdaten"), vorlan::kImageFolderOpen);

    Tree().Expand(folder, TVE_COLLAPSE);
    Tree().Expand(folder, TVE_EXPAND);
    Activate("Stammdaten");
    Activate("Stammdaten");
    EXPECT_TRUE(Lines().empty());
    Tree().Expand(Find("Unter"), TVE_EXPAND);
    EXPECT_EQ(Lines(), (LineList{"K BGTEST W $$GETMNU^QCC(\"0,3,\")"}));
    EXPECT_EQ(Image("Tief [XY]"), vorlan::kImageLeaf) << "flag not a number";

    EXPECT_EQ(bar.SendMessage(WM_DESTROYMENU), 0);
    EXPECT_EQ(Lines(), (LineList{"D ENDMNU^QCC"}));
    EXPECT_EQ(Tree().GetCount(), 0u);
    EXPECT_FALSE(::IsWindowEnabled(Tree()));
    Build();
    Tree().Expand(Find("Stammdaten"), TVE_EXPAND);
    EXPECT_EQ(Lines(), (LineList{"K BGTEST W $$GETMNU^QCC(\"0,\")"})) << "a new build asks again";
}

TEST_F(MenuTreeBarTest, PathsNameTheStoredIndices) {
    Build();
    Tree().Expand(Find("Stammdaten"), TVE_EXPAND);
    Tree().Expand(Find("Unter"), TVE_EXPAND);
    EXPECT_EQ(bar.GetItemIndex(Tree().GetRootItem()), "");
    EXPECT_EQ(bar.GetItemIndex(Find("Patienten [PAT]")), "1,");
    EXPECT_EQ(bar.GetItemIndex(Find("Zweit [ZZ]")), "0,3,5,");
}

TEST_F(MenuTreeBarTest, ALeafAsksTheFrameToOpenItsMemo) {
    Build();
    Activate("Patienten [PAT]");
    EXPECT_EQ(host.started, (std::vector<std::string>{"PAT"}));
    Activate("Leer");
    EXPECT_EQ(host.started.size(), 1u) << "no memo name, nothing to open";
    Activate("Stammdaten");
    EXPECT_TRUE(Tree().GetItemState(Find("Stammdaten"), TVIS_EXPANDED) & TVIS_EXPANDED);
    Activate("Stammdaten");
    EXPECT_FALSE(Tree().GetItemState(Find("Stammdaten"), TVIS_EXPANDED) & TVIS_EXPANDED);
    EXPECT_EQ(Lines(), (LineList{"K BGTEST W $$GETMNU^QCC(\"0,\")"}));
    EXPECT_EQ(host.started.size(), 1u);
}

TEST_F(MenuTreeBarTest, DoubleClickOpensOnlyWhenThePressHitAnItem) {
    Build();
    HTREEITEM leaf = Find("Patienten [PAT]");
    Tree().SelectItem(leaf);
    RECT r;
    ASSERT_TRUE(Tree().GetItemRect(leaf, r, true));
    auto press = [&](int x, int y) {
        bar.SendMessage(WM_PARENTNOTIFY, WM_LBUTTONDOWN, MAKELPARAM(x, y));
        EXPECT_EQ(Notify(NM_DBLCLK), 1);
        Pump();
    };
    press(r.right + 150, r.top + 2);
    EXPECT_TRUE(host.started.empty());
    press(r.left + 2, r.top + 2);
    EXPECT_EQ(host.started, (std::vector<std::string>{"PAT"}));
    Notify(NM_RETURN);
    EXPECT_EQ(host.started.size(), 2u);
}

TEST_F(MenuTreeBarTest, AChoiceMadeElsewhereSelectsItsEntry) {
    Build();
    resyncAnswer = "0,0,";
    char memo[] = "KAS";
    bar.PostMessage(WM_MENUSELECTED, reinterpret_cast<WPARAM>(memo), 0);
    Pump();
    EXPECT_EQ(Lines(), (LineList{"W $P($$SELECTM^QCC(\"KAS\")_%DL_$G(%MEMO(\"PATH\")),%DL,2)",
                                 "K BGTEST W $$GETMNU^QCC(\"0,\")"}));
    EXPECT_EQ(Tree().GetSelectedItem(), Find("Kassen [KAS]"));

    // A path that leaves the menu selects nothing new; so does an empty name.
    resyncAnswer = "0,9,";
    bar.SendMessage(WM_MENUSELECTED, reinterpret_cast<WPARAM>("XX"));
    EXPECT_EQ(Tree().GetSelectedItem(), Find("Kassen [KAS]"));
    bar.SendMessage(WM_MENUSELECTED, reinterpret_cast<WPARAM>(""));
    resyncAnswer = "";
    bar.SendMessage(WM_MENUSELECTED, reinterpret_cast<WPARAM>("ROOT"));
    EXPECT_EQ(Tree().GetSelectedItem(), Tree().GetRootItem()) << "the empty path is the root";
    Lines();

    theApp.WriteProfileInt("Settings", "AutomaticMenuUpdate", 0);
    resyncAnswer = "1,";
    bar.SendMessage(WM_MENUSELECTED, reinterpret_cast<WPARAM>("PAT"));
    EXPECT_TRUE(Lines().empty());
    EXPECT_EQ(Tree().GetSelectedItem(), Tree().GetRootItem());
}

TEST_F(MenuTreeBarTest, EditModeShowsTheWholeMenuWithTheUsersEntriesBold) {
    Build();
    bar.StartMenuEditMode("O\"Neil");
    EXPECT_TRUE(bar.IsMenuEditMode());
    EXPECT_EQ(Lines(), (LineList{"D ENDMNU^QCC", "D INI998^QCC(\"O\"\"Neil\")", "W $$INIMNU^QCC()",
                                 "S BGTEST=\"O\"\"Neil\" W $$GETMNU^QCC(\"\")",
                                 "S BGTEST=\"O\"\"Neil\" W $$GETMNU^QCC(\"0,\")",
                                 "S BGTEST=\"O\"\"Neil\" W $$GETMNU^QCC(\"0,3,\")"}));
    for (const char* on : {"Stammdaten", "Patienten [PAT]", "Unter", "Tief [XY]"})
        EXPECT_TRUE(Bold(on)) << on;
    for (const char* off : {"Leer", "Kassen [KAS]", "Zweit [ZZ]"})
        EXPECT_FALSE(Bold(off)) << off;
    EXPECT_EQ(Image("Patienten [PAT]"), vorlan::kImageLeaf);
    EXPECT_EQ(bar.SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Tree().m_hWnd), -1), 1);

    Activate("Patienten [PAT]");
    EXPECT_TRUE(host.started.empty()) << "a click switches, it does not open";
    EXPECT_EQ(Lines(), (LineList{"D SETMNU^QCC(\"1\",0)"})) << "a top-level entry has only the root above";
}

TEST_F(MenuTreeBarTest, SwitchingALeafFixesItsAncestors) {
    BuildEdit("anna");
    // The last bold child of both folders goes: both go off; the root never changes.
    Activate("Tief [XY]");
    EXPECT_EQ(Lines(),
              (LineList{"D SETMNU^QCC(\"0,3,4\",0)", "D SETMNU^QCC(\"0,3\",0)", "D SETMNU^QCC(\"0\",0)"}));
    EXPECT_FALSE(Bold("Unter"));
    EXPECT_FALSE(Bold("Stammdaten"));
    EXPECT_TRUE(Bold("Hauptmen\xfc"));

    // On again: the leaf and every ancestor below the root.
    Activate("Zweit [ZZ]");
    EXPECT_EQ(Lines(), (LineList{"D SETMNU^QCC(\"0,3,5\",1)", "D SETMNU^QCC(\"0,3,5\",1)",
                                 "D SETMNU^QCC(\"0,3\",1)", "D SETMNU^QCC(\"0\",1)"}));
    EXPECT_TRUE(Bold("Unter"));
    EXPECT_TRUE(Bold("Stammdaten"));

    // Off with a bold sibling left: the walk stops at the folder that keeps it.
    Activate("Kassen [KAS]");
    Lines();
    Activate("Zweit [ZZ]");
    EXPECT_EQ(Lines(), (LineList{"D SETMNU^QCC(\"0,3,5\",0)", "D SETMNU^QCC(\"0,3\",0)"}));
    EXPECT_TRUE(Bold("Stammdaten"));

    Activate("Hauptmen\xfc");
    EXPECT_TRUE(Lines().empty()) << "the root is not switched";
}

TEST_F(MenuTreeBarTest, SwitchingAFolderSwitchesEveryDescendantFirst) {
    BuildEdit("anna");
    Activate("Unter");
    EXPECT_EQ(Lines(), (LineList{"D SETMNU^QCC(\"0,3,4\",0)", "D SETMNU^QCC(\"0,3,5\",0)",
                                 "D SETMNU^QCC(\"0,3\",0)", "D SETMNU^QCC(\"0\",0)"}));
    Activate("Stammdaten");
    EXPECT_EQ(Lines(),
              (LineList{"D SETMNU^QCC(\"0,0\",1)", "D SETMNU^QCC(\"0,3,4\",1)", "D SETMNU^QCC(\"0,3,5\",1)",
                        "D SETMNU^QCC(\"0,3\",1)", "D SETMNU^QCC(\"0\",1)", "D SETMNU^QCC(\"0\",1)"}));
    for (const char* on : {"Kassen [KAS]", "Unter", "Tief [XY]", "Zweit [ZZ]", "Stammdaten"})
        EXPECT_TRUE(Bold(on)) << on;
}

TEST_F(MenuTreeBarTest, LeavingEditModeSavesOnlyWhenStillInIt) {
    BuildEdit("anna");
    bar.SendMessage(WM_DESTROYMENU);
    EXPECT_EQ(Lines(), (LineList{"D SAV998^QCC(\"anna\")", "D ENDMNU^QCC"}));
    bar.SendMessage(WM_CREATEMENU);
    Lines();
    bar.SetMenuEditMode(false);
    bar.SendMessage(WM_DESTROYMENU);
    EXPECT_EQ(Lines(), (LineList{"D ENDMNU^QCC"}));
}

TEST_F(MenuTreeBarTest, RightClickInEditModePreviewsAndTheNextClosesIt) {
    Build();
    EXPECT_EQ(Notify(NM_RCLICK), 0);
    EXPECT_TRUE(host.started.empty()) << "normal mode: no preview";

    BuildEdit("anna");
    Tree().SelectItem(Find("Patienten [PAT]"));
    Notify(NM_RCLICK);
    EXPECT_EQ(host.started, (std::vector<std::string>{"PAT"}));
    EXPECT_EQ(child.closes, 0);
    Notify(NM_RCLICK);
    EXPECT_EQ(child.closes, 1) << "the second right click closes the preview";
    EXPECT_EQ(host.started.size(), 1u);

    Notify(NM_RCLICK);
    EXPECT_EQ(host.started.size(), 2u);
    Tree().SelectItem(Find("Kassen [KAS]"));
    EXPECT_EQ(child.closes, 2) << "a new selection closes it too";
    Tree().SelectItem(Find("Zweit [ZZ]"));
    EXPECT_EQ(child.closes, 2);
}

TEST_F(MenuTreeBarTest, KeysGoToTheMemoBoxWhileItIsShown) {
    Build();
    HWND memo = ::CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | CBS_DROPDOWN, 300, 420, 200, 100, host.m_hWnd,
                                  nullptr, nullptr, nullptr);
    ASSERT_NE(memo, nullptr);
    bar.SetMemoBox(memo);
    int escapes = 0;
    bar.SetControlFocusHandler([&] { ++escapes; });
    auto inMemo = [&] {
        HWND focus = ::GetFocus();
        return focus == memo || ::IsChild(memo, focus);
    };

    ::SetFocus(Tree());
    Tree().PostMessage(WM_KEYDOWN, VK_TAB, 0);
    Pump();
    EXPECT_FALSE(inMemo()) << "hidden memo box";

    ::ShowWindow(memo, SW_SHOW);
    ::SetFocus(Tree());
    Tree().PostMessage(WM_KEYDOWN, VK_TAB, 0);
    Pump();
    EXPECT_TRUE(inMemo());

    ::SetFocus(Tree());
    Tree().PostMessage(WM_KEYDOWN, VK_ESCAPE, 0);
    Pump();
    EXPECT_EQ(escapes, 1);

    ::SetFocus(Tree());
    Tree().PostMessage(WM_CHAR, 'a', 0);
    Pump(200);
    EXPECT_TRUE(inMemo());
    char text[16] = "";
    ::GetWindowTextA(memo, text, sizeof text);
    EXPECT_STREQ(text, "a") << "the letter is typed there again";

    ::SetFocus(Tree());
    Tree().PostMessage(WM_CHAR, '1', 0);
    Pump();
    EXPECT_FALSE(inMemo()) << "only letters move";
    ::DestroyWindow(memo);
}

TEST_F(MenuTreeBarTest, DragFeedbackOverTheTreeTakesOnlyMenuEntries) {
    Build();
    CLIPFORMAT icon = static_cast<CLIPFORMAT>(::RegisterClipboardFormatA("VORLAN.Icon"));
    auto offer = [&](COleDataSource& source, const void* bytes, size_t size, CLIPFORMAT format) {
        HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, size);
        std::memcpy(::GlobalLock(block), bytes, size);
        ::GlobalUnlock(block);
        ASSERT_TRUE(source.CacheGlobalData(format, block));
    };
    vorlan::MenuDragRecord record;
    ASSERT_TRUE(vorlan::BuildMenuDragRecord("A [B]", "B", false, record));
    std::int32_t own[5] = {1, 0, 0, 0, 0};

    COleDataSource menuEntry, desktopIcon, text;
    offer(menuEntry, &record, sizeof record, icon);
    offer(desktopIcon, own, sizeof own, icon);
    offer(text, "x", 2, CF_TEXT);

    auto effect = [&](COleDataSource& source, DWORD keys) {
        COleDataObject data;
        data.Attach(source.GetInterface(), false);
        DROPEFFECT enter = bar.OnDragEnter(&Tree(), &data, keys, CPoint(10, 10));
        EXPECT_EQ(bar.OnDragOver(&Tree(), &data, keys, CPoint(12, 14)), enter);
        EXPECT_FALSE(bar.OnDrop(&Tree(), &data, enter, CPoint(12, 14))) << "no drop on the tree";
        bar.OnDragLeave(&Tree());
        return enter;
    };
    EXPECT_EQ(effect(menuEntry, 0), DROPEFFECT_MOVE);
    EXPECT_EQ(effect(menuEntry, MK_CONTROL), DROPEFFECT_COPY);
    EXPECT_EQ(effect(desktopIcon, 0), DROPEFFECT_NONE);
    EXPECT_EQ(effect(text, 0), DROPEFFECT_NONE);
}

TEST_F(MenuTreeBarTest, DraggingALeafOffersItsRecord) {
    Build();
    // The drag ends at once where the cursor is (no button is held): over our target.
    Child target;
    ASSERT_TRUE(target.Create("MenuTreeTest.Host", "", WS_CHILD | WS_VISIBLE, CRect(300, 420, 500, 480),
                              host.m_hWnd, 2));
    IconTarget drop;
    ASSERT_TRUE(drop.Register(&target));
    POINT centre{400, 450};
    ::ClientToScreen(host.m_hWnd, &centre);
    ASSERT_TRUE(harness::MovePointer(centre));
    Pump();

    auto begin = [&](const char* text) {
        NMTREEVIEWA nm{};
        nm.hdr = {Tree().m_hWnd, IDC_MENUTREE, TVN_BEGINDRAGA};
        nm.itemNew.hItem = Find(text);
        nm.itemNew.lParam = Tree().GetItemData(nm.itemNew.hItem);
        bar.SendMessage(WM_NOTIFY, IDC_MENUTREE, reinterpret_cast<LPARAM>(&nm));
    };
    begin("Stammdaten");
    EXPECT_EQ(drop.drops, 0) << "folders are not dragged";
    begin("Patienten [PAT]");
    ASSERT_EQ(drop.drops, 1);
    ASSERT_EQ(drop.record.size(), sizeof(vorlan::MenuDragRecord));
    vorlan::MenuDragRecord got;
    std::memcpy(&got, drop.record.data(), sizeof got);
    EXPECT_EQ(got.kind, 2);
    EXPECT_EQ(got.item, 1);
    EXPECT_STREQ(got.text, "Patienten ");
    EXPECT_STREQ(got.memo, "PAT");
    drop.Revoke();
}
