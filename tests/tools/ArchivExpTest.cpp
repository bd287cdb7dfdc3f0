// The archive export over a stand-in explorer tree: the tree it copies, the ticks, and the
// medium it writes into a scratch folder, failures counted in one message.
#include "framework/App.h"
#include "framework/TestMode.h"
#include "framework/TreeCtrl.h"
#include "resources/ToolsIds.h"
#include "tests/harness/Harness.h"
#include "tools/ArchivExp.h"
#include "tools/ExplorerItems.h"
#include "tools/FileDropTarget.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using harness::Exists;

HIMAGELIST ThreeBoxes() {
    HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR24, 3, 0);
    ImageList_SetImageCount(list, 3);
    return list;
}

// The explorer as the dialog sees it: a tree whose items carry entry records, a folder that
// is filled only when it expands, and the file of each document item.
class StandInExplorer {
  public:
    explicit StandInExplorer(const std::string& source) : m_source(source) {
        ::CreateDirectoryA(source.c_str(), nullptr);
        WNDCLASSA wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = "ArchivExpTestExplorer";
        ::RegisterClassA(&wc);
        m_hWnd = ::CreateWindowExA(0, wc.lpszClassName, "Akte", WS_OVERLAPPEDWINDOW, 0, 0, 300, 400, nullptr,
                                   nullptr, wc.hInstance, nullptr);
        ::SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        m_tree.Create(WS_VISIBLE | TVS_HASBUTTONS, CRect(0, 0, 300, 400), m_hWnd, 1);
        tree = m_tree.m_hWnd;
        m_images = ImageList_Create(16, 16, ILC_COLOR24, 8, 0);
        ImageList_SetImageCount(m_images, 8);
        TreeView_SetImageList(tree, m_images, TVSIL_NORMAL);
    }
    ~StandInExplorer() {
        ::DestroyWindow(m_hWnd);
        ImageList_Destroy(m_images);
    }

    HTREEITEM Add(HTREEITEM parent, const char* text, int kind, int image, bool children = false) {
        auto record = std::make_unique<ExplorerItem>();
        record->kind = kind;
        record->name = text;
        HTREEITEM item =
            m_tree.InsertItem(text, image, image, reinterpret_cast<LPARAM>(record.get()), children, parent);
        m_records.push_back(std::move(record));
        return item;
    }
    // A document whose file is written into the source folder (or left missing).
    HTREEITEM AddFile(HTREEITEM parent, const char* name, int kind = kExplorerFile, bool write = true) {
        HTREEITEM item = Add(parent, name, kind, 5);
        m_files[item] = name;
        if (write) harness::WriteTextFile(m_source + name, std::string("Inhalt von ") + name);
        return item;
    }
    CArchivExp::FileNameFunction FileName() {
        return [this](HTREEITEM item, std::string& path, std::string& name) {
            auto found = m_files.find(item);
            if (found == m_files.end()) return false;
            path = m_source + found->second;
            name = found->second;
            return true;
        };
    }

    HWND tree = nullptr;
    HTREEITEM lazy = nullptr; // filled when the explorer expands it
    int expansions = 0;

  private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<StandInExplorer*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (msg == WM_NOTIFY && self) {
            auto* header = reinterpret_cast<NMTREEVIEWA*>(lParam);
            if (header->hdr.code == TVN_ITEMEXPANDINGA && header->itemNew.hItem == self->lazy &&
                !TreeView_GetChild(self->tree, self->lazy)) {
                ++self->expansions;
                self->AddFile(self->lazy, "labor.pdf");
            }
            return 0;
        }
        return ::DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    std::string m_source;
    HWND m_hWnd = nullptr;
    CTreeCtrl m_tree;
    HIMAGELIST m_images = nullptr;
    std::vector<std::unique_ptr<ExplorerItem>> m_records;
    std::map<HTREEITEM, std::string> m_files;
};

struct DialogItem {
    std::string text;
    int image = 0;
    UINT tick = 0;
    bool expanded = false;
    LPARAM data = 0;
};

DialogItem Read(HWND tree, HTREEITEM item) {
    char text[MAX_PATH] = {};
    TVITEMA asked{};
    asked.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_STATE | TVIF_PARAM;
    asked.hItem = item;
    asked.pszText = text;
    asked.cchTextMax = MAX_PATH;
    asked.stateMask = TVIS_STATEIMAGEMASK | TVIS_EXPANDED;
    TreeView_GetItem(tree, &asked);
    return {text, asked.iImage, (asked.state & TVIS_STATEIMAGEMASK) >> 12, (asked.state & TVIS_EXPANDED) != 0,
            asked.lParam};
}

// "text" for a leaf, "text[" ... "]" around a folder's children, ticks as "=1" or "=2".
std::string Outline(HWND tree, HTREEITEM item) {
    std::string out;
    for (; item; item = TreeView_GetNextSibling(tree, item)) {
        DialogItem d = Read(tree, item);
        if (!out.empty()) out += " ";
        out += d.text;
        if (d.tick) out += "=" + std::to_string(d.tick);
        if (HTREEITEM child = TreeView_GetChild(tree, item))
            out += std::string(d.expanded ? "[" : "(") + Outline(tree, child) + "]";
    }
    return out;
}

HTREEITEM FindText(HWND tree, HTREEITEM item, const std::string& text) {
    for (; item; item = TreeView_GetNextSibling(tree, item)) {
        if (Read(tree, item).text == text) return item;
        if (HTREEITEM found = FindText(tree, TreeView_GetChild(tree, item), text)) return found;
    }
    return nullptr;
}

class ArchivExpTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fw::TestMode::Enable("", "ArchivExpTest");
        ASSERT_NE(m_language.Handle(), nullptr);
        m_scratch = harness::NewFolder("archiv");
        m_explorer = std::make_unique<StandInExplorer>(m_scratch + "akte\\");
        Fill();
    }
    void TearDown() override {
        m_explorer.reset();
        fw::TestMode::Disable();
    }

    // Akte / Befunde / Bilder: two files; Labor: one, filled on expansion; Leer: nothing; Hohl:
    // an empty folder.
    // Akte / Korrespondenz / Briefe: a server document and a folder "Alt" with a file whose
    // source is missing and one that is there.
    void Fill() {
        StandInExplorer& e = *m_explorer;
        HTREEITEM root = e.Add(nullptr, "Akte Mustermann", 0, 1, true);
        HTREEITEM befunde = e.Add(root, "Befunde", kExplorerKindLevel1, 1, true);
        HTREEITEM bilder = e.Add(befunde, "Bilder", kExplorerKindLevel2First, 1, true);
        e.AddFile(bilder, "rx.jpg");
        e.AddFile(bilder, "notiz.txt");
        e.lazy = e.Add(befunde, "Labor", kExplorerKindLevel2, 2, true);
        e.Add(befunde, "Leer", kExplorerKindLevel2, 1, false);
        HTREEITEM hohl = e.Add(befunde, "Hohl", kExplorerKindLevel2, 1, true);
        e.Add(hohl, "Ordner", kExplorerFolder, 1, false);
        HTREEITEM post = e.Add(root, "Korrespondenz", kExplorerKindLevel1, 1, true);
        HTREEITEM briefe = e.Add(post, "Briefe", kExplorerKindLevel2 | kExplorerDocument, 1, true);
        e.AddFile(briefe, "brief.rtf", kExplorerKindDocument);
        HTREEITEM alt = e.Add(briefe, "Alt", kExplorerFolder, 1, true);
        e.AddFile(alt, "fehlt.txt", kExplorerFile, false);
        e.AddFile(alt, "alt.txt");
    }

    void Tick(CArchivExp& dialog, const char* text) {
        HTREEITEM item = FindText(dialog.Tree(), TreeView_GetRoot(dialog.Tree()), text);
        ASSERT_NE(item, nullptr) << text;
        dialog.ToggleState(item);
    }

    // The program's tick images are three boxes here.
    struct TickApp : CWinApp {
        TickApp() : CWinApp("ArchivExpTest") {}
        HIMAGELIST LoadImageList(UINT, bool) override { return ThreeBoxes(); }
    } m_app;
    harness::LanguageLibrary m_language;
    std::string m_scratch;
    std::unique_ptr<StandInExplorer> m_explorer;
};

} // namespace

TEST_F(ArchivExpTest, CopiesTheExplorersTreeWithTicksOnDocumentsOnly) {
    CArchivExp dialog(m_explorer->tree, m_explorer->FileName());
    ASSERT_TRUE(dialog.Create(IDD_ARCHIV_EXPORT));
    HWND tree = dialog.Tree();
    EXPECT_EQ(Outline(tree, TreeView_GetRoot(tree)),
              "Akte Mustermann[Befunde[Bilder[rx.jpg=1 notiz.txt=1] Labor[labor.pdf=1]] "
              "Korrespondenz[Briefe[brief.rtf=1 Alt[fehlt.txt=1 alt.txt=1]]]]")
        << "folders expanded without a tick, documents unticked, empty folders left out";
    EXPECT_EQ(m_explorer->expansions, 1) << "the explorer filled its folder when asked to expand it";
    EXPECT_EQ(TreeView_GetImageList(tree, TVSIL_NORMAL),
              TreeView_GetImageList(m_explorer->tree, TVSIL_NORMAL));
    EXPECT_NE(TreeView_GetImageList(tree, TVSIL_STATE), nullptr);
    HTREEITEM labor = FindText(tree, TreeView_GetRoot(tree), "Labor");
    HTREEITEM befunde = FindText(tree, TreeView_GetRoot(tree), "Befunde");
    HTREEITEM rx = FindText(tree, TreeView_GetRoot(tree), "rx.jpg");
    EXPECT_EQ(Read(tree, befunde).image, 0) << "a folder's image 1 becomes 0";
    EXPECT_EQ(Read(tree, labor).image, 2);
    EXPECT_EQ(Read(tree, rx).image, 5);
    EXPECT_EQ(Read(tree, befunde).data, 0);
    ASSERT_NE(Read(tree, rx).data, 0);
    auto* record = reinterpret_cast<ExplorerItem*>([&] {
        TVITEMA asked{};
        asked.mask = TVIF_PARAM;
        asked.hItem = reinterpret_cast<HTREEITEM>(Read(tree, rx).data);
        TreeView_GetItem(m_explorer->tree, &asked);
        return asked.lParam;
    }());
    EXPECT_EQ(record->name, "rx.jpg") << "a document carries its explorer item";

    dialog.ToggleState(rx);
    EXPECT_EQ(Read(tree, rx).tick, CArchivExp::kTicked);
    dialog.ToggleState(rx);
    EXPECT_EQ(Read(tree, rx).tick, CArchivExp::kUnticked);
    dialog.ToggleState(befunde);
    EXPECT_EQ(Read(tree, befunde).tick, 0u) << "folders have no tick";

    // A click on the tick box, and a double click on the name, as a person gives them.
    ::ShowWindow(dialog.m_hWnd, SW_SHOW);
    TreeView_EnsureVisible(tree, rx);
    harness::Pump();
    RECT text{};
    ASSERT_TRUE(TreeView_GetItemRect(tree, rx, &text, TRUE));
    POINT box{-1, (text.top + text.bottom) / 2};
    for (int x = text.left; x >= 0 && box.x < 0; --x) {
        TVHITTESTINFO hit{};
        hit.pt = {x, box.y};
        if (TreeView_HitTest(tree, &hit) == rx && (hit.flags & TVHT_ONITEMSTATEICON)) box.x = x;
    }
    ASSERT_GE(box.x, 0) << "the item shows a tick box";
    auto click = [&](POINT at, UINT down, UINT up) {
        POINT screen = at;
        ::ClientToScreen(tree, &screen);
        // A posted click takes the pointer's place as its own. Wine may put the pointer back
        // where X has it once after a move: it must stay put before the click. (The test runs
        // alone: other tests on the display move the pointer too.)
        auto there = [&] {
            POINT now{};
            ::GetCursorPos(&now);
            return now.x == screen.x && now.y == screen.y;
        };
        for (int still = 0, tries = 0; still < 3 && tries < 40; ++tries) {
            if (!there()) ::SetCursorPos(screen.x, screen.y);
            ::Sleep(50);
            harness::Pump();
            still = there() ? still + 1 : 0;
        }
        ::PostMessageA(tree, down, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        ::PostMessageA(tree, up, 0, MAKELPARAM(at.x, at.y));
        harness::Pump();
    };
    click(box, WM_LBUTTONDOWN, WM_LBUTTONUP);
    EXPECT_EQ(Read(tree, rx).tick, CArchivExp::kTicked) << "a click on the box";
    POINT name{text.left + 3, box.y};
    click(name, WM_LBUTTONDOWN, WM_LBUTTONUP);
    EXPECT_EQ(Read(tree, rx).tick, CArchivExp::kTicked) << "a click on the name only selects";
    click(name, WM_LBUTTONDBLCLK, WM_LBUTTONUP);
    EXPECT_EQ(Read(tree, rx).tick, CArchivExp::kUnticked) << "a double click on the name";
}

TEST_F(ArchivExpTest, WritesTheMediumAndCountsWhatCouldNotBeCopiedInOneMessage) {
    std::string target = m_scratch + "medium";
    ::CreateDirectoryA(target.c_str(), nullptr);
    CArchivExp dialog(m_explorer->tree, m_explorer->FileName());
    ASSERT_TRUE(dialog.Create(IDD_ARCHIV_EXPORT));
    for (const char* text : {"rx.jpg", "labor.pdf", "brief.rtf", "fehlt.txt", "alt.txt"})
        Tick(dialog, text);
    fw::TestMode::ClearShown();
    fw::TestMode::PushAnswer("dialog folder path:" + target); // chosen without a trailing '\'
    dialog.SendMessage(WM_COMMAND, IDOK);

    EXPECT_EQ(harness::ReadTextFile(target + "\\ARCHIV.EXE"),
              harness::ReadTextFile(harness::ExeFolder() + "ARCHIV.EXE"));
    EXPECT_EQ(harness::ReadTextFile(target + "\\AUTORUN.INF"),
              "[autorun]\r\nopen=ARCHIV.EXE\r\nicon=ARCHIV.EXE\r\n");
    std::string archive = target + "\\Archiv\\";
    EXPECT_EQ(harness::ReadTextFile(archive + "Befunde\\Bilder\\rx.jpg"), "Inhalt von rx.jpg");
    EXPECT_FALSE(Exists(archive + "Befunde\\Bilder\\notiz.txt")) << "not ticked";
    EXPECT_TRUE(Exists(archive + "Befunde\\Labor\\labor.pdf"));
    EXPECT_TRUE(Exists(archive + "Korrespondenz\\Briefe\\brief.rtf"));
    EXPECT_TRUE(Exists(archive + "Korrespondenz\\Briefe\\Alt\\alt.txt")) << "the one after the failure";
    EXPECT_FALSE(Exists(archive + "Korrespondenz\\Briefe\\Alt\\fehlt.txt"));
    EXPECT_FALSE(Exists(archive + "Akte Mustermann")) << "the root's text is no folder of the archive";
    EXPECT_EQ(dialog.FailedCopies(), 1);
    EXPECT_EQ(dialog.m_hWnd, nullptr) << "closed with OK";

    auto shown = fw::TestMode::Shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].caption, "Bitte wählen Sie das Ziel des Archivs:");
    EXPECT_EQ(shown[1].kind, "box");
    EXPECT_EQ(shown[1].text,
              "1 Datei(en) konnten nicht in das Archiv kopiert werden.\nDas Archiv ist unvollständig.");
}

TEST_F(ArchivExpTest, ACancelledChoiceCopiesNothingAndTheDialogStays) {
    std::string target = m_scratch + "nichts\\";
    ::CreateDirectoryA(target.c_str(), nullptr);
    CArchivExp dialog(m_explorer->tree, m_explorer->FileName());
    ASSERT_TRUE(dialog.Create(IDD_ARCHIV_EXPORT));
    Tick(dialog, "rx.jpg");
    fw::TestMode::PushAnswer("dialog folder"); // no path: cancelled
    dialog.SendMessage(WM_COMMAND, IDOK);
    EXPECT_NE(dialog.m_hWnd, nullptr);
    EXPECT_FALSE(Exists(target + "ARCHIV.EXE"));
    EXPECT_FALSE(Exists(target + "Archiv"));
}

TEST_F(ArchivExpTest, PathsThatWouldNotFitAreCountedNotCut) {
    // The launcher files still fit beside the root; "Archiv\Befunde\Bilder\rx.jpg" does not.
    std::string target = m_scratch + std::string(240 - m_scratch.size(), 'z');
    ASSERT_NE(CFileDropTarget::MakeDirectory(target.c_str()), 0);
    CArchivExp dialog(m_explorer->tree, m_explorer->FileName());
    ASSERT_TRUE(dialog.Create(IDD_ARCHIV_EXPORT));
    Tick(dialog, "rx.jpg");
    Tick(dialog, "brief.rtf");
    fw::TestMode::PushAnswer("dialog folder path:" + target + "\\");
    dialog.SendMessage(WM_COMMAND, IDOK);
    EXPECT_TRUE(Exists(target + "\\ARCHIV.EXE"));
    EXPECT_EQ(dialog.FailedCopies(), 2);
    EXPECT_FALSE(Exists(target + "\\Archiv\\Befunde\\Bilder")) << "no folder made for what cannot fit";
}

TEST_F(ArchivExpTest, RunsModallyThroughTheApplicationObject) {
    std::string target = m_scratch + "modal";
    ::CreateDirectoryA(target.c_str(), nullptr);
    fw::TestMode::PushAnswer("dialog 359 cmd:1");
    fw::TestMode::PushAnswer("dialog folder path:" + target);
    CArchivExp dialog(m_explorer->tree, m_explorer->FileName());
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(Exists(target + "\\AUTORUN.INF"));
    EXPECT_FALSE(Exists(target + "\\Archiv\\Befunde")) << "nothing was ticked";
    auto shown = fw::TestMode::Shown();
    ASSERT_EQ(shown.size(), 2u) << "no message when everything was copied";
    EXPECT_EQ(shown[1].kind, "dialog");
    EXPECT_EQ(shown[1].caption, "Archivexport");
}

TEST_F(ArchivExpTest, TheLauncherOpensTheArchiveFolderBesideIt) {
    std::string medium = m_scratch + "start\\";
    ::CreateDirectoryA(medium.c_str(), nullptr);
    ASSERT_TRUE(harness::CopyInto(harness::ExeFolder() + "ARCHIV.EXE", medium));
    std::string trace = m_scratch + "start.txt";
    ::SetEnvironmentVariableA("VORLAN_ARCHIV_TRACE", trace.c_str());
    harness::Process launcher;
    ASSERT_TRUE(launcher.Start("\"" + medium + "ARCHIV.EXE\""));
    EXPECT_EQ(launcher.Wait(30000), 0);
    ::SetEnvironmentVariableA("VORLAN_ARCHIV_TRACE", nullptr);
    EXPECT_EQ(harness::ReadTextFile(trace), medium + "Archiv");
}
