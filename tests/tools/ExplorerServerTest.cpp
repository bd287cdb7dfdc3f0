// The record explorer in the demo screen AKT «Patientenakte» against the fixture's dbserver:
// the tree the server describes and the record folder on the disk, the swap, the menus and
// what their entries do, the previews, a record folder that cannot be made, and the picture
// field of BLD scanning through a hidden explorer and the TWAIN test source.
#include "forms/ChildFormPicture.h"
#include "frame/BaseModal.h"
#include "controls/FocusedControl.h"
#include "framework/MessageHooks.h"
#include "framework/TestMode.h"
#include "resources/FormIds.h"
#include "resources/ToolsIds.h"
#include "resources/resource.h"
#include "tests/forms/DuringModal.h"
#include "tests/frame/MenuDriver.h"
#include "tests/forms/FormServerFixture.h"
#include "tests/harness/Person.h"
#include "tests/imaging/BmpBytes.h"
#include "tests/tools/ScanHarness.h"
#include "tools/ArchivExp.h"
#include "tools/Explorer.h"
#include "tools/ExplorerFiles.h"
#include "tools/FileDropTarget.h"

#include <commctrl.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

using demotrace::Has;

namespace {

const std::string kRecord = "C:\\VORLAN\\Akten\\4799";
const std::string kThumbs = "C:\\VORLAN\\Thumbs\\4799";
// The level-2 folder most tests fill.
const std::string kBilder = kRecord + "\\Befunde\\Bilder";

// A picture of a thumbnail list's slot, to tell one drawing from another.
std::vector<COLORREF> SlotPixels(HIMAGELIST images, int slot) {
    int cx = 0, cy = 0;
    ImageList_GetIconSize(images, &cx, &cy);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, cx, cy);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    ImageList_Draw(images, slot, dc, 0, 0, ILD_NORMAL);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < cy; y += 4)
        for (int x = 0; x < cx; x += 4)
            pixels.push_back(GetPixel(dc, x, y));
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return pixels;
}

// The screens the main frame is asked to start while a test looks.
std::vector<std::string> g_started;
HWND g_watched = nullptr;
LRESULT CALLBACK WatchStarts(int code, WPARAM wParam, LPARAM lParam) {
    auto* call = reinterpret_cast<CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->hwnd == g_watched && call->message == WM_STARTMEMO && call->wParam)
        g_started.push_back(reinterpret_cast<const char*>(call->wParam));
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Removes a folder with everything in it.
void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA found{};
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            std::string path = folder + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(find, &found));
        FindClose(find);
    }
    RemoveDirectoryA(folder.c_str());
}

class ExplorerServerTest : public FormServerTestBase {
  protected:
    void SetUp() override {
        FormServerTestBase::SetUp();
        RemoveTree(kRecord);
        RemoveTree(kThumbs);
        LogIn();
    }
    void TearDown() override {
        CExplorer::SetShellOpener(nullptr);
        FormServerTestBase::TearDown();
    }
    // AKT for patient 4799, whose record folder the test owns.
    void OpenRecord() {
        Server("S %WIN(\"PARA\")=4799");
        StartMemo("AKT");
        harness::Pump();
    }
    CExplorer* Explorer() {
        HWND window = Form() ? Form()->GetDlgItem(0x1801) : nullptr;
        return window ? dynamic_cast<CExplorer*>(CWnd::FromHandlePermanent(window)) : nullptr;
    }
    CTreeCtrl& Tree() { return Explorer()->Tree(); }
    HTREEITEM Child(HTREEITEM parent, const std::string& text) {
        for (HTREEITEM h = Tree().GetChildItem(parent); h; h = Tree().GetNextSiblingItem(h))
            if (Tree().GetItemText(h) == text) return h;
        return nullptr;
    }
    std::vector<std::string> Texts(HTREEITEM parent) {
        std::vector<std::string> texts;
        for (HTREEITEM h = Tree().GetChildItem(parent); h; h = Tree().GetNextSiblingItem(h))
            texts.push_back(Tree().GetItemText(h).str());
        return texts;
    }
    bool Expanded(HTREEITEM item) { return (Tree().GetItemState(item, TVIS_EXPANDED) & TVIS_EXPANDED) != 0; }
    bool Bold(HTREEITEM item) { return (Tree().GetItemState(item, TVIS_BOLD) & TVIS_BOLD) != 0; }
    UINT StateImage(HTREEITEM item) { return Tree().GetItemState(item, TVIS_STATEIMAGEMASK) >> 12; }
    // Reads the record again, as the form does after a server step.
    void Refill() {
        Explorer()->SendMessage(WM_INITDIALOG, 0, 0);
        harness::Pump();
    }
    void Select(HTREEITEM item) {
        ASSERT_NE(item, nullptr);
        Tree().SelectItem(item);
        harness::Pump();
    }
    // The record opened and the item of Befunde\Bilder, listed when `select`; null without
    // an explorer.
    // The record's picture folder, made on disk.
    const std::string& MakeBilder() {
        CFileDropTarget::MakeDirectory(kBilder.c_str());
        return kBilder;
    }
    HTREEITEM OpenBilder(bool select = true) {
        OpenRecord();
        if (!Explorer()) return nullptr;
        HTREEITEM folder = Child(Child(Tree().GetRootItem(), "Befunde"), "Bilder");
        if (folder && select) {
            Tree().SelectItem(folder);
            harness::Pump();
        }
        return folder;
    }
    std::vector<std::string> MenuTexts(HMENU menu) {
        std::vector<std::string> texts;
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            char text[128] = "";
            GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
            texts.push_back(GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_SEPARATOR ? "-"
                                                                                                   : text);
        }
        return texts;
    }
};

} // namespace

TEST_F(ExplorerServerTest, TheServersEntriesAndTheDiskMakeTheTree) {
    MakeBilder();
    harness::WriteTextFile(kRecord + "\\Befunde\\Bilder\\Seite.txt", "eins");
    OpenRecord();
    EXPECT_TRUE(Has(Trace(), "INIT^QAKT"));
    CExplorer* explorer = Explorer();
    ASSERT_NE(explorer, nullptr);
    EXPECT_EQ(GetDlgItem(explorer->m_hWnd, CExplorer::kTreeId), Tree().m_hWnd) << "the form finds the tree";
    // Stepping onto the field: the explorer reloads and takes the focus (nothing ends the form).
    ::SetFocus(Form()->m_hWnd);
    EXPECT_EQ(Form()->GotoControl(1, 1), 1);
    EXPECT_EQ(::GetFocus(), Tree().m_hWnd) << "the explorer hands its focus to the tree";
    EXPECT_EQ(explorer->SourceFolder(), kRecord);
    EXPECT_EQ(explorer->ThumbsBase(), "C:\\VORLAN\\Thumbs\\4799");
    HTREEITEM root = Tree().GetRootItem();
    EXPECT_EQ(Tree().GetItemText(root), "Akte Patient 4799 (4799)");
    EXPECT_TRUE(Expanded(root));
    EXPECT_EQ(Texts(root), (std::vector<std::string>{"Befunde", "Korrespondenz"})) << "Intern is hidden";
    HTREEITEM befunde = Child(root, "Befunde");
    HTREEITEM korrespondenz = Child(root, "Korrespondenz");
    EXPECT_FALSE(Expanded(befunde)) << "two entries of level 1: none opens by itself";
    EXPECT_EQ(Texts(befunde), (std::vector<std::string>{"Bilder", "Briefe", "Labor"})) << "Bilder on top";
    EXPECT_EQ(Texts(Child(korrespondenz, "Briefe")), (std::vector<std::string>{"Arztbrief", "\xDC"
                                                                                            "berweisung"}))
        << "the hidden letter stays out";
    EXPECT_TRUE(Bold(Child(befunde, "Bilder"))) << "flagged first and has a page";
    EXPECT_TRUE(Bold(befunde));
    EXPECT_TRUE(Bold(root));
    EXPECT_FALSE(Bold(Child(korrespondenz, "Bilder"))) << "empty: not bold";
    EXPECT_EQ(StateImage(befunde), 1u);
    EXPECT_EQ(StateImage(korrespondenz), 2u);
    HIMAGELIST states = TreeView_GetImageList(Tree().m_hWnd, TVSIL_STATE);
    ASSERT_NE(states, nullptr);
    EXPECT_EQ(ImageList_GetImageCount(states), 8);
    EXPECT_EQ(Texts(Child(befunde, "Bilder")), (std::vector<std::string>{"Seite"}))
        << "file names without extension";

    // Swapped: the level-2 entries on top, Intern hidden below them too; paths keep their order.
    explorer->SendMessage(WM_COMMAND, CExplorer::kSwap);
    harness::Pump();
    EXPECT_TRUE(explorer->Tool().IsButtonChecked(CExplorer::kSwap));
    root = Tree().GetRootItem();
    EXPECT_EQ(Texts(root), (std::vector<std::string>{"Bilder", "Briefe", "Labor"}));
    HTREEITEM bilder = Child(root, "Bilder");
    EXPECT_EQ(Texts(bilder), (std::vector<std::string>{"Befunde", "Korrespondenz"}));
    EXPECT_EQ(Texts(Child(Child(root, "Briefe"), "Korrespondenz")),
              (std::vector<std::string>{"Arztbrief", "\xDC"
                                                     "berweisung"}));
    std::string path, name;
    ASSERT_TRUE(explorer->GetFileName(Child(Child(bilder, "Befunde"), "Seite"), path, name));
    EXPECT_EQ(path, kRecord + "\\Befunde\\Bilder\\Seite.txt");
    EXPECT_EQ(name, "Seite.txt");
    EXPECT_FALSE(explorer->GetFileName(bilder, path, name)) << "level 1 has no folder";

    // A single level-1 entry opens by itself.
    explorer->SendMessage(WM_COMMAND, CExplorer::kSwap);
    harness::Pump();
    Server("K ^QTEMP(%JOB,\"EXPLORER\",\"AKT\",\"D\",1,\"Korrespondenz\")");
    Refill();
    root = Tree().GetRootItem();
    ASSERT_EQ(Texts(root), (std::vector<std::string>{"Befunde"}));
    EXPECT_TRUE(Expanded(Child(root, "Befunde")));
}

TEST_F(ExplorerServerTest, MenusOfTheServerAndWhatTheirEntriesDo) {
    ASSERT_EQ(GetFileAttributesA(kRecord.c_str()), INVALID_FILE_ATTRIBUTES);
    OpenRecord();
    CExplorer* explorer = Explorer();
    ASSERT_NE(explorer, nullptr);
    EXPECT_NE(GetFileAttributesA(kRecord.c_str()), INVALID_FILE_ATTRIBUTES)
        << "the explorer makes the record folder";
    HTREEITEM root = Tree().GetRootItem();
    EXPECT_EQ(explorer->BuildContextMenu(root, 'F'), nullptr) << "the root has no folder";
    EXPECT_EQ(explorer->BuildContextMenu(Child(root, "Befunde"), 'F'), nullptr);
    HTREEITEM labor = Child(Child(root, "Befunde"), "Labor");
    Select(labor);
    HMENU menu = explorer->BuildContextMenu(labor, 'F');
    ASSERT_NE(menu, nullptr);
    std::vector<std::string> texts = MenuTexts(menu);
    ASSERT_GE(texts.size(), 6u);
    EXPECT_EQ(texts[0], "Patienten \xF6"
                        "ffnen");
    EXPECT_EQ(texts[1], "-") << "an entry with an empty text";
    EXPECT_EQ(texts[2], "Ort w\xE4hlen");
    EXPECT_EQ(texts[3], "Nur vermerken");
    EXPECT_EQ(texts[4], "-") << "between the server's entries and the folder's menu";
    EXPECT_EQ(GetMenuItemID(menu, 0), 32981u);
    EXPECT_NE(GetMenuState(menu, CExplorer::kNewFolder, MF_BYCOMMAND), 0xFFFFFFFFu)
        << "the server folder's menu";
    EXPECT_TRUE(GetMenuState(menu, CExplorer::kPaste, MF_BYCOMMAND) & MF_GRAYED) << "nothing copied";
    DestroyMenu(menu);
    EXPECT_FALSE(explorer->OnIsCommandEnabled(CExplorer::kDelete)) << "Labor may not be deleted";
    EXPECT_FALSE(explorer->OnIsCommandEnabled(CExplorer::kRename)) << "nor renamed";
    EXPECT_TRUE(explorer->OnIsCommandEnabled(CExplorer::kCopy));
    EXPECT_TRUE(explorer->Tool().IsButtonEnabled(CExplorer::kServerMenu)) << "X is defined";
    menu = explorer->BuildContextMenu(nullptr, 'X');
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(MenuTexts(menu).size(), 4u) << "the drop-down holds the server's entries only";
    DestroyMenu(menu);

    // Another kind: only %RET.
    recorder->Take();
    explorer->CallDialog("9" + std::string("\xA7") + "VERMERK" + "\xA7" + "a\"b");
    Lines noted = recorder->Take();
    ASSERT_EQ(noted.size(), 1u);
    EXPECT_EQ(noted[0], "S %RET=\"a\"\"b\"");

    // Kind "0": %RET, then the main frame is asked to start the screen named.
    recorder->Take();
    g_watched = frame->m_hWnd;
    g_started.clear();
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, WatchStarts, nullptr, GetCurrentThreadId());
    explorer->SendMessage(WM_COMMAND, 32981);
    UnhookWindowsHookEx(hook);
    harness::Pump();
    EXPECT_EQ(g_started, (std::vector<std::string>{"PAT"}));
    Lines sent = recorder->Take();
    EXPECT_NE(std::find(sent.begin(), sent.end(),
                        "S %RET=\"Patienten \xF6"
                        "ffnen\""),
              sent.end());
}

TEST_F(ExplorerServerTest, WithoutXTheDropDownButtonIsDisabled) {
    OpenRecord();
    ASSERT_NE(Form(), nullptr);
    Server("K ^QTEMP(%JOB,\"EXPLORER\",\"AKT\",\"X\")");
    auto* second = new CExplorer;
    ASSERT_TRUE(second->Create(Form()->m_hWnd, CRect(0, 0, 300, 200), 0x1802, WS_CHILD | WS_VISIBLE));
    EXPECT_FALSE(second->Tool().IsButtonEnabled(CExplorer::kServerMenu));
    EXPECT_TRUE(second->Tool().IsButtonEnabled(CExplorer::kSwap));
    second->DestroyWindow();
}

TEST_F(ExplorerServerTest, TextsArePreviewedAndPicturesShownAndOpenedLarge) {
    std::string briefe = kRecord + "\\Korrespondenz\\Briefe";
    CFileDropTarget::MakeDirectory(briefe.c_str());
    harness::WriteTextFile(briefe + "\\Notiz.txt", "Bitte Befund anfordern");
    WriteFile(briefe + "\\Foto.bmp", imgtest::MakeBmp(40, 30, 24, [](int, int) { return 0x0000FFu; }));
    OpenRecord();
    CExplorer* explorer = Explorer();
    ASSERT_NE(explorer, nullptr);
    HTREEITEM folder = Child(Child(Tree().GetRootItem(), "Korrespondenz"), "Briefe");
    ASSERT_NE(folder, nullptr);
    EXPECT_EQ(Texts(folder), (std::vector<std::string>{"Arztbrief",
                                                       "\xDC"
                                                       "berweisung",
                                                       "Foto", "Notiz"}))
        << "the server's documents (folders) before the files";

    Select(folder);
    EXPECT_TRUE(IsWindowVisible(explorer->List().m_hWnd)) << "a folder shows its list";
    EXPECT_EQ(explorer->List().GetItemCount(), 4);
    EXPECT_EQ(Server("W $G(%EXPLORER)"), "KORRESPONDENZ") << "the nearest server text";

    Select(Child(folder, "Notiz"));
    EXPECT_TRUE(IsWindowVisible(explorer->TextPreview().m_hWnd));
    EXPECT_FALSE(IsWindowVisible(explorer->List().m_hWnd));
    EXPECT_EQ(fw::WindowText(explorer->TextPreview().m_hWnd), "Bitte Befund anfordern");

    HTREEITEM foto = Child(folder, "Foto");
    Select(foto);
    EXPECT_TRUE(IsWindowVisible(explorer->Viewer().m_hWnd));
    EXPECT_TRUE(explorer->Viewer().HasPicture());
    EXPECT_EQ(explorer->Viewer().GetPictureWidth(), 40);
    EXPECT_TRUE(explorer->Tool().IsButtonEnabled(CExplorer::kStretch));
    explorer->SendMessage(WM_COMMAND, CExplorer::kStretch);
    EXPECT_TRUE(explorer->Viewer().IsStretch());
    bool fitted = explorer->Viewer().IsFitToWindow();
    explorer->SendMessage(WM_COMMAND, CExplorer::kFit);
    EXPECT_NE(explorer->Viewer().IsFitToWindow(), fitted)
        << "with the viewer shown: fit, not large thumbnails";
    EXPECT_EQ(explorer->Tool().IsButtonChecked(CExplorer::kFit), !fitted);

    // Neither picture nor DICOM: the large window ends with 3 and the shell gets the file.
    static std::string opened;
    opened.clear();
    CExplorer::SetShellOpener([](HWND, const std::string& path) {
        opened = path;
        return true;
    });
    Select(Child(folder, "Notiz"));
    MSG enter{Tree().m_hWnd, WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    EXPECT_TRUE(explorer->PreTranslateMessage(&enter));
    EXPECT_EQ(opened, briefe + "\\Notiz.txt");
}

TEST_F(ExplorerServerTest, TheTreeAndTheListFollowTheDiskAndTheFocusIsTold) {
    const std::string& bilder = MakeBilder();
    harness::WriteTextFile(bilder + "\\Seite 1.txt", "eins");
    HTREEITEM folder = OpenBilder();
    ASSERT_NE(folder, nullptr);
    CExplorer* explorer = Explorer();
    ASSERT_EQ(explorer->List().GetItemCount(), 1);

    // What the watch reports: a new page and a folder, a page gone; the list keeps its place.
    harness::WriteTextFile(bilder + "\\Seite 2.txt", "zwei");
    CreateDirectoryA((bilder + "\\Alt").c_str(), nullptr);
    explorer->PostMessage(WM_EXPLORER_UPDATETREE, 0, 0);
    harness::Pump();
    EXPECT_EQ(Texts(folder), (std::vector<std::string>{"Alt", "Seite 1", "Seite 2"})) << "folders first";
    ASSERT_EQ(explorer->List().GetItemCount(), 3);
    EXPECT_EQ(explorer->List().GetItemText(0, 0), "Alt");
    DeleteFileA((bilder + "\\Seite 1.txt").c_str());
    explorer->PostMessage(WM_EXPLORER_UPDATETREE, 0, 0);
    harness::Pump();
    EXPECT_EQ(Texts(folder), (std::vector<std::string>{"Alt", "Seite 2"}));
    EXPECT_EQ(explorer->List().GetItemCount(), 2);

    // Large thumbnails: the list is made again at 240 pixels.
    explorer->SendMessage(WM_COMMAND, CExplorer::kFit);
    EXPECT_TRUE(explorer->Tool().IsButtonChecked(CExplorer::kFit));
    HIMAGELIST thumbs = ListView_GetImageList(explorer->List().m_hWnd, LVSIL_NORMAL);
    ASSERT_NE(thumbs, nullptr);
    int cx = 0, cy = 0;
    ImageList_GetIconSize(thumbs, &cx, &cy);
    EXPECT_EQ(cx, 240);
    EXPECT_EQ(explorer->List().GetItemCount(), 2);

    // Only entries of the disk take a new name.
    SetFocus(Tree().m_hWnd);
    harness::Pump();
    EXPECT_EQ(FocusedControlKind, kFocusKindExplorer);
    EXPECT_EQ(TreeView_EditLabel(Tree().m_hWnd, folder), nullptr) << "a server entry";
    HWND edit = TreeView_EditLabel(Tree().m_hWnd, Child(folder, "Alt"));
    EXPECT_NE(edit, nullptr) << "a folder of the disk";
    TreeView_EndEditLabelNow(Tree().m_hWnd, TRUE);
    SetFocus(Form()->m_hWnd);
    harness::Pump();
    EXPECT_EQ(FocusedControlKind, kFocusKindNone);
}

TEST_F(ExplorerServerTest, CopyKeepsTheSelectedPathsForThePaste) {
    const std::string& bilder = MakeBilder();
    harness::WriteTextFile(bilder + "\\a.txt", "a");
    harness::WriteTextFile(bilder + "\\b.txt", "b");
    HTREEITEM folder = OpenBilder();
    ASSERT_NE(folder, nullptr);
    CExplorer* explorer = Explorer();
    ASSERT_EQ(explorer->List().GetItemCount(), 2);
    EXPECT_FALSE(explorer->OnIsCommandEnabled(CExplorer::kPaste)) << "nothing copied yet";
    ListView_SetItemState(explorer->List().m_hWnd, -1, LVIS_SELECTED, LVIS_SELECTED);
    SetFocus(explorer->List().m_hWnd);
    explorer->SendMessage(WM_COMMAND, CExplorer::kCopy);
    EXPECT_EQ(CExplorerFiles::StoredCommand(), 57634);
    EXPECT_EQ(CExplorerFiles::StoredFiles(),
              bilder + "\\a.txt" + std::string(1, '\0') + bilder + "\\b.txt" + std::string(2, '\0'));
    Select(Child(Child(Tree().GetRootItem(), "Befunde"), "Labor"));
    EXPECT_TRUE(explorer->OnIsCommandEnabled(CExplorer::kPaste));

    Select(Child(folder, "b"));
    SetFocus(Tree().m_hWnd);
    explorer->SendMessage(WM_COMMAND, CExplorer::kCut);
    EXPECT_EQ(CExplorerFiles::StoredCommand(), 57635);
    EXPECT_EQ(CExplorerFiles::StoredFiles(), bilder + "\\b.txt" + std::string(2, '\0')) << "the tree's item";
}

TEST_F(ExplorerServerTest, ARecordFolderThatCannotBeMadeClosesTheForm) {
    CFileDropTarget::MakeDirectory("C:\\VORLAN\\Akten");
    harness::WriteTextFile("C:\\VORLAN\\Akten\\gesperrt", "eine Datei, kein Ordner");
    OpenRecord();
    ASSERT_NE(Explorer(), nullptr);
    size_t frames = Frames().size();
    Server("S ^QTEMP(%JOB,\"EXPLORER\",\"AKT\",\"SOURCE\")=\"C:\\VORLAN\\Akten\\gesperrt\\4799\"");
    fw::TestMode::ClearShown();
    HWND tree = Tree().m_hWnd;
    Explorer()->SendMessage(WM_INITDIALOG, 0, 0);
    EXPECT_EQ(SendMessageA(tree, TVM_GETCOUNT, 0, 0), 0) << "nothing is filled";
    auto shown = fw::TestMode::Shown();
    ASSERT_GE(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Sie besitzen keine Schreib-/Leserechte auf den Netzwerkpfad der Akte.\n"
                             "Bitte benachrichtigen Sie Ihren zust\xE4ndigen Netzwerkadministrator!");
    harness::PumpUntil([&] { return Frames().size() < frames; }, 5000);
    EXPECT_LT(Frames().size(), frames) << "the form's frame was asked to close";
    DeleteFileA("C:\\VORLAN\\Akten\\gesperrt");
}

TEST_F(ExplorerServerTest, ClosingWhileAFolderIsListedStopsTheWorkers) {
    const std::string& bilder = MakeBilder();
    for (int i = 0; i < 12; ++i)
        WriteFile(
            bilder + "\\Seite " + std::to_string(i) + ".bmp",
            imgtest::MakeBmp(400, 300, 24, [i](int x, int y) { return static_cast<uint32_t>(x * y + i); }));
    ASSERT_NE(OpenBilder(), nullptr);
    CExplorer* explorer = Explorer();
    EXPECT_EQ(explorer->List().GetItemCount(), 12);
    size_t frames = Frames().size();
    Active()->SendMessage(WM_CLOSE);
    harness::PumpUntil([&] { return Frames().size() < frames; }, 5000);
    EXPECT_LT(Frames().size(), frames);
}

// The program's pump: the source's events reach it through the message hooks.
void PumpThroughHooks() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        fw::CPumpedMessage pumped(&msg);
        if (fw::OfferToMessageHooks(&msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// Scanning into BLD's picture field through the TWAIN test source.
class PictureScanTest : public ExplorerServerTest {
  protected:
    // Serves the source until the page is written, then until the scanner has closed it.
    bool PageWritten(const std::string& page, const CExplorer* scanner = nullptr) {
        bool written = harness::WaitUntil(
            [&] {
                PumpThroughHooks();
                return scantest::Exists(page);
            },
            20000);
        if (scanner)
            harness::WaitUntil(
                [&] {
                    PumpThroughHooks();
                    return !scanner->IsSourceOpen();
                },
                5000);
        return written;
    }
    void SetUp() override {
        ExplorerServerTest::SetUp();
        m_folder = harness::NewFolder("explorerscan");
        harness::WriteTextFile(m_folder + "scenario.txt", "pages=24\n");
        SetEnvironmentVariableA("VORLAN_TWAIN_SCENARIO", (m_folder + "scenario.txt").c_str());
        SetEnvironmentVariableA("VORLAN_TWAIN_LOG", (m_folder + "twain.log").c_str());
    }
    std::string m_folder;
};

TEST_F(PictureScanTest, TheScannedPageReplacesThePictureUntilTheFieldGoes) {
    const std::string target = "C:\\VORLAN\\Bilder\\4799.jpg";
    DeleteFileA(target.c_str());
    Server("S %WIN(\"PARA\")=4799");
    StartMemo("BLD");
    ASSERT_NE(Form(), nullptr);
    HWND picture = Form()->GetDlgItem(0x3001);
    ASSERT_NE(picture, nullptr);
    ASSERT_EQ(fw::WindowText(picture), target);
    {
        scantest::DialogPresser press(GetCurrentThreadId(), IDOK);
        SendMessageA(picture, WM_COMMAND, ID_PICTURE_SCAN, 0);
        EXPECT_TRUE(press.Pressed()) << "the source is chosen in the manager's dialog";
    }
    EXPECT_TRUE(PageWritten(target)) << "the page is written where the field points\n"
                                     << harness::ReadTextFile(m_folder + "twain.log");
    HWND scanner = vorlan::PictureData(picture)->scanner;
    ASSERT_NE(scanner, nullptr);
    EXPECT_FALSE(IsWindowVisible(scanner)) << "the scanner is hidden";
    EXPECT_EQ(GetParent(scanner), frame->m_hWnd) << "a child of the main window";
    EXPECT_EQ(GetDlgItem(scanner, CExplorer::kTreeId), nullptr) << "no panes";
    EXPECT_EQ(fw::WindowText(picture), target);
    EXPECT_GT(scantest::PatternPSNR(target, 24), 30.0);

    Active()->SendMessage(WM_CLOSE);
    harness::PumpUntil([&] { return !IsWindow(scanner); }, 5000);
    EXPECT_FALSE(IsWindow(scanner)) << "the scanner goes with the picture field";
    DeleteFileA(target.c_str());
}

TEST_F(PictureScanTest, AScanFromTheContextMenuLandsInTheSelectedFolder) {
    std::string bilder = kRecord + "\\Befunde\\Bilder";
    HTREEITEM folder = OpenBilder();
    ASSERT_NE(folder, nullptr);
    CExplorer* explorer = Explorer();
    // Building the menu opens the manager for the explorer.
    HMENU menu = explorer->BuildContextMenu(folder, 'F');
    ASSERT_NE(menu, nullptr);
    EXPECT_FALSE(GetMenuState(menu, CExplorer::kScan, MF_BYCOMMAND) & MF_GRAYED) << "the manager is there";
    DestroyMenu(menu);
    {
        scantest::DialogPresser press(GetCurrentThreadId(), IDOK);
        explorer->SendMessage(WM_COMMAND, CExplorer::kScan);
        EXPECT_TRUE(press.Pressed());
    }
    EXPECT_TRUE(PageWritten(bilder + "\\Bild 001.jpg", explorer))
        << harness::ReadTextFile(m_folder + "twain.log");
    explorer->PostMessage(WM_EXPLORER_UPDATETREE, 0, 0);
    harness::Pump();
    EXPECT_EQ(Texts(folder), (std::vector<std::string>{"Bild 001"}));
}

// The record and a picture field open side by side: each scans while the other holds the
// manager, in both orders.
TEST_F(PictureScanTest, TheRecordsExplorerAndAPictureFieldBesideItBothScan) {
    const std::string target = "C:\\VORLAN\\Bilder\\4799.jpg";
    DeleteFileA(target.c_str());
    HTREEITEM folder = OpenBilder();
    ASSERT_NE(folder, nullptr);
    CExplorer* explorer = Explorer();
    Server("S %WIN(\"PARA\")=4799");
    StartMemo("BLD");
    ASSERT_NE(Form(), nullptr);
    HWND picture = Form()->GetDlgItem(0x3001);
    ASSERT_NE(picture, nullptr);
    ASSERT_TRUE(IsWindow(explorer->m_hWnd)) << "the record stays open";
    auto scanPicture = [&] {
        scantest::DialogPresser press(GetCurrentThreadId(), IDOK);
        SendMessageA(picture, WM_COMMAND, ID_PICTURE_SCAN, 0);
        EXPECT_TRUE(press.Pressed()) << "the picture field's scanner has the manager";
    };
    auto scanRecord = [&] {
        HMENU menu = explorer->BuildContextMenu(folder, 'F');
        ASSERT_NE(menu, nullptr);
        EXPECT_FALSE(GetMenuState(menu, CExplorer::kScan, MF_BYCOMMAND) & MF_GRAYED)
            << "the explorer has the manager";
        DestroyMenu(menu);
        scantest::DialogPresser press(GetCurrentThreadId(), IDOK);
        explorer->SendMessage(WM_COMMAND, CExplorer::kScan);
        EXPECT_TRUE(press.Pressed());
    };

    // The picture field's scanner first, holding the manager while the explorer scans.
    scanPicture();
    auto* scanner =
        dynamic_cast<CExplorer*>(CWnd::FromHandlePermanent(vorlan::PictureData(picture)->scanner));
    ASSERT_NE(scanner, nullptr);
    EXPECT_TRUE(PageWritten(target, scanner)) << harness::ReadTextFile(m_folder + "twain.log");
    ASSERT_NO_FATAL_FAILURE(scanRecord());
    EXPECT_TRUE(PageWritten(kBilder + "\\Bild 001.jpg", explorer))
        << harness::ReadTextFile(m_folder + "twain.log");

    // Then the picture field again while the explorer holds it.
    DeleteFileA(target.c_str());
    scanPicture();
    EXPECT_TRUE(PageWritten(target, scanner)) << harness::ReadTextFile(m_folder + "twain.log");
    EXPECT_GT(scantest::PatternPSNR(target, 24), 30.0);
    DeleteFileA(target.c_str());
}

TEST_F(ExplorerServerTest, ThumbnailsOfPicturesAndTextsReplaceTheIconsAndNewPagesAppear) {
    const std::string& bilder = MakeBilder();
    CopyFileA(PICTURES "bild.jpg", (bilder + "\\a.jpg").c_str(), FALSE);
    CopyFileA(PICTURES "bild.png", (bilder + "\\b.png").c_str(), FALSE);
    harness::WriteTextFile(bilder + "\\c.txt", "Befund vom Montag\r\nalles gut");
    harness::WriteTextFile(bilder + "\\d.rtf", "{\\rtf1 {\\b Arztbrief} an den Hausarzt\\par}");
    HTREEITEM folder = OpenBilder(false);
    ASSERT_NE(folder, nullptr);
    CExplorer* explorer = Explorer();
    Tree().SelectItem(folder); // no pump yet: the list still shows the icons
    CListCtrl& list = explorer->List();
    ASSERT_EQ(list.GetItemCount(), 4);
    HIMAGELIST images = ListView_GetImageList(list.m_hWnd, LVSIL_NORMAL);
    std::vector<std::vector<COLORREF>> icons;
    for (int i = 0; i < 4; ++i)
        icons.push_back(SlotPixels(images, reinterpret_cast<ExplorerListItem*>(list.GetItemData(i))->image));
    auto allRendered = [&] {
        for (int i = 0; i < list.GetItemCount(); ++i)
            if (!reinterpret_cast<ExplorerListItem*>(list.GetItemData(i))->rendered) return false;
        return true;
    };
    EXPECT_TRUE(harness::PumpUntil([&] { return allRendered(); }, 30000));
    harness::Pump();
    for (int i = 0; i < 4; ++i) {
        auto* entry = reinterpret_cast<ExplorerListItem*>(list.GetItemData(i));
        EXPECT_NE(SlotPixels(images, entry->image), icons[static_cast<size_t>(i)])
            << entry->fileName << ": the thumbnail took the icon's place";
    }
    EXPECT_NE(GetFileAttributesA((kThumbs + "\\Befunde\\Bilder\\Thumbs").c_str()), INVALID_FILE_ATTRIBUTES)
        << "the pictures' thumbnails are kept in the record's cache";
    SaveArtefact("explorer-thumbnails.bmp");

    // The watch: a page scanned elsewhere shows up in the tree and the list.
    harness::WriteTextFile(bilder + "\\e.txt", "neue Seite");
    EXPECT_TRUE(
        harness::PumpUntil([&] { return Child(folder, "e") != nullptr && list.GetItemCount() == 5; }, 15000))
        << "the new page within the bound";
}

TEST_F(ExplorerServerTest, ThumbnailsThatCannotBeKeptAreToldOncePerFill) {
    const std::string& bilder = MakeBilder();
    harness::WriteTextFile("C:\\VORLAN\\Akten\\gesperrt", "eine Datei, kein Ordner");
    CopyFileA(PICTURES "bild.jpg", (bilder + "\\a.jpg").c_str(), FALSE);
    CopyFileA(PICTURES "bild.png", (bilder + "\\b.png").c_str(), FALSE);
    OpenRecord();
    ASSERT_NE(Explorer(), nullptr);
    Server("S ^QTEMP(%JOB,\"EXPLORER\",\"AKT\",\"THUMBS\")=\"C:\\VORLAN\\Akten\\gesperrt\\t\"");
    Refill();
    CExplorer* explorer = Explorer();
    fw::TestMode::ClearShown();
    Select(Child(Child(Tree().GetRootItem(), "Befunde"), "Bilder"));
    CListCtrl& list = explorer->List();
    ASSERT_EQ(list.GetItemCount(), 2);
    EXPECT_TRUE(harness::WaitUntil(
        [&] {
            harness::Pump();
            for (int i = 0; i < list.GetItemCount(); ++i)
                if (!reinterpret_cast<ExplorerListItem*>(list.GetItemData(i))->rendered) return false;
            return true;
        },
        30000));
    harness::PumpUntil([] { return false; }, 500);
    auto shown = fw::TestMode::Shown();
    ASSERT_EQ(shown.size(), 1u) << "one box for both pictures";
    EXPECT_EQ(shown[0].text, "Die Vorschaubilder konnten nicht im Zwischenspeicher abgelegt werden.");
    DeleteFileA("C:\\VORLAN\\Akten\\gesperrt");
}

TEST_F(ExplorerServerTest, NewFoldersRenamesAndPastesReachTheTree) {
    const std::string& bilder = MakeBilder();
    harness::WriteTextFile(bilder + "\\a.txt", "a");
    HTREEITEM folder = OpenBilder();
    ASSERT_NE(folder, nullptr);
    CExplorer* explorer = Explorer();

    // A new folder is selected and named at once.
    explorer->SendMessage(WM_COMMAND, CExplorer::kNewFolder);
    harness::Pump();
    EXPECT_NE(GetFileAttributesA((bilder + "\\Neuer Ordner").c_str()), INVALID_FILE_ATTRIBUTES);
    HTREEITEM made = Child(folder, "Neuer Ordner");
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(Tree().GetSelectedItem(), made);
    HWND edit = TreeView_GetEditControl(Tree().m_hWnd);
    ASSERT_NE(edit, nullptr) << "its name is being edited";
    SetWindowTextA(edit, "Juni");
    TreeView_EndEditLabelNow(Tree().m_hWnd, FALSE);
    harness::Pump();
    EXPECT_NE(GetFileAttributesA((bilder + "\\Juni").c_str()), INVALID_FILE_ATTRIBUTES)
        << "renamed on the disk";
    HTREEITEM june = Child(folder, "Juni");
    ASSERT_NE(june, nullptr);

    // A file copied from the tree and pasted into the new folder.
    Select(Child(folder, "a"));
    SetFocus(Tree().m_hWnd);
    explorer->SendMessage(WM_COMMAND, CExplorer::kCopy);
    Select(june);
    explorer->SendMessage(WM_COMMAND, CExplorer::kPaste);
    harness::Pump();
    EXPECT_NE(GetFileAttributesA((bilder + "\\Juni\\a.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(Child(june, "a"), nullptr) << "the target shows the pasted file";

    // The clipboard's text as a file of the selected folder.
    ASSERT_TRUE(OpenClipboard(explorer->m_hWnd));
    EmptyClipboard();
    const char text[] = "aus der Zwischenablage";
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof text);
    memcpy(GlobalLock(block), text, sizeof text);
    GlobalUnlock(block);
    SetClipboardData(CF_TEXT, block);
    CloseClipboard();
    EXPECT_TRUE(explorer->OnIsCommandEnabled(CExplorer::kPasteClipboard));
    Select(folder);
    explorer->SendMessage(WM_COMMAND, CExplorer::kPasteClipboard);
    harness::Pump();
    EXPECT_NE(Child(folder, "Text aus Zwischenablage 1"), nullptr)
        << harness::ReadTextFile(bilder + "\\Text aus Zwischenablage 1.txt");
}

TEST_F(ExplorerServerTest, DeleteAsksAndArchiveOpensItsDialog) {
    const std::string& bilder = MakeBilder();
    harness::WriteTextFile(bilder + "\\weg.txt", "weg");
    harness::WriteTextFile(bilder + "\\bleibt.txt", "bleibt");
    HTREEITEM folder = OpenBilder(false);
    ASSERT_NE(folder, nullptr);
    CExplorer* explorer = Explorer();
    Select(Child(folder, "weg"));
    SetFocus(Tree().m_hWnd);
    fw::TestMode::ClearShown();
    fw::TestMode::PushAnswer("box IDNO");
    explorer->SendMessage(WM_COMMAND, CExplorer::kDelete);
    EXPECT_NE(GetFileAttributesA((bilder + "\\weg.txt").c_str()), INVALID_FILE_ATTRIBUTES)
        << "the user said no";
    // With Shift held: for good, not into the recycle bin.
    BYTE state[256] = {};
    state[VK_SHIFT] = 0x80;
    SetKeyboardState(state);
    fw::TestMode::PushAnswer("box IDYES");
    explorer->SendMessage(WM_COMMAND, CExplorer::kDelete);
    BYTE none[256] = {};
    SetKeyboardState(none);
    harness::Pump();
    EXPECT_EQ(GetFileAttributesA((bilder + "\\weg.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(Texts(folder), (std::vector<std::string>{"bleibt"}));
    EXPECT_EQ(fw::TestMode::Shown().size(), 2u) << "one question each time";

    // The archive export over the explorer's tree.
    fw::TestMode::ClearShown();
    explorer->SendMessage(WM_COMMAND, CExplorer::kArchive);
    auto shown = fw::TestMode::Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, "dialog");
    EXPECT_EQ(shown[0].id, 359);
}

TEST_F(ExplorerServerTest, TheArchiveCopiesTheTickedPagesOfTheExplorersTree) {
    const std::string& bilder = MakeBilder();
    harness::WriteTextFile(bilder + "\\Seite.txt", "eins");
    harness::WriteTextFile(bilder + "\\Andere.txt", "zwei");
    HTREEITEM folder = OpenBilder();
    ASSERT_NE(folder, nullptr);
    Tree().Expand(folder, TVE_EXPAND);
    CExplorer* explorer = Explorer();
    CArchivExp dialog(Tree().m_hWnd, [explorer](HTREEITEM item, std::string& path, std::string& name) {
        return explorer->GetFileName(item, path, name);
    });
    ASSERT_TRUE(dialog.Create(IDD_ARCHIV_EXPORT));
    std::function<HTREEITEM(HTREEITEM, const char*)> find = [&](HTREEITEM item,
                                                                const char* text) -> HTREEITEM {
        for (; item; item = TreeView_GetNextSibling(dialog.Tree(), item)) {
            char shown[MAX_PATH] = {};
            TVITEMA asked{};
            asked.mask = TVIF_TEXT;
            asked.hItem = item;
            asked.pszText = shown;
            asked.cchTextMax = MAX_PATH;
            TreeView_GetItem(dialog.Tree(), &asked);
            if (std::string(shown) == text) return item;
            if (HTREEITEM below = find(TreeView_GetChild(dialog.Tree(), item), text)) return below;
        }
        return nullptr;
    };
    HTREEITEM page = find(TreeView_GetRoot(dialog.Tree()), "Seite");
    ASSERT_NE(page, nullptr);
    dialog.ToggleState(page);

    const std::string medium = harness::NewFolder("medium");
    fw::TestMode::ClearShown();
    fw::TestMode::PushAnswer("dialog folder path:" + medium);
    dialog.SendMessage(WM_COMMAND, IDOK);
    EXPECT_EQ(harness::ReadTextFile(medium + "Archiv\\Befunde\\Bilder\\Seite.txt"), "eins");
    EXPECT_FALSE(harness::Exists(medium + "Archiv\\Befunde\\Bilder\\Andere.txt")) << "not ticked";
    EXPECT_EQ(dialog.FailedCopies(), 0);
    EXPECT_EQ(fw::TestMode::Shown().size(), 1u) << "only the choice of the medium";
}

TEST_F(ExplorerServerTest, AListEntryTakesANewNameAndKeepsItsExtension) {
    const std::string& bilder = MakeBilder();
    harness::WriteTextFile(bilder + "\\Seite.txt", "eins");
    HTREEITEM folder = OpenBilder();
    ASSERT_NE(folder, nullptr);
    CExplorer* explorer = Explorer();
    ASSERT_EQ(explorer->List().GetItemCount(), 1);
    SetFocus(explorer->List().m_hWnd);
    HWND edit = ListView_EditLabel(explorer->List().m_hWnd, 0);
    ASSERT_NE(edit, nullptr);
    SetWindowTextA(edit, "Befund");
    SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
    harness::Pump();
    EXPECT_NE(GetFileAttributesA((bilder + "\\Befund.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesA((bilder + "\\Seite.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_STREQ(reinterpret_cast<ExplorerListItem*>(explorer->List().GetItemData(0))->fileName,
                 "Befund.txt");
    EXPECT_EQ(Texts(folder), (std::vector<std::string>{"Befund"})) << "the tree follows";
}

TEST_F(PictureScanTest, TheToolbarsScanFilesThePageWhereItsBarcodeSays) {
    const std::string page = "C:\\VORLAN\\Akten\\4711\\Befunde\\Bilder\\4711-Explorer.jpg";
    DeleteFileA(page.c_str());
    harness::WriteTextFile(m_folder + "scenario.txt", "pages=8\nbarcode=4711-Explorer\n");
    SetDllDirectoryA(BARCODE_DOUBLE_DIR);
    OpenRecord();
    CExplorer* explorer = Explorer();
    ASSERT_NE(explorer, nullptr);
    {
        scantest::DialogPresser press(GetCurrentThreadId(), IDOK);
        explorer->SendMessage(WM_COMMAND, CExplorer::kBarcodeScan);
        EXPECT_TRUE(press.Pressed());
    }
    EXPECT_TRUE(PageWritten(page, explorer)) << harness::ReadTextFile(m_folder + "twain.log");
    SetDllDirectoryA(nullptr);
    EXPECT_TRUE(Has(Trace(), "SCAN^QAKT(\"4711-Explorer\")"));
    DeleteFileA(page.c_str());
}

TEST_F(ExplorerServerTest, AMenuEntryOfKindOneOpensTheFormsSubDialog) {
    OpenRecord();
    CExplorer* explorer = Explorer();
    ASSERT_NE(explorer, nullptr);
    std::string opened;
    DuringModal::Run({[&] {
        CBaseModal* modal = CMainFrame::Get()->GetRunningModal();
        opened = modal && modal->GetTopForm() ? modal->GetTopForm()->GetFormName().str() : "";
        HWND target = GetFocus() ? GetFocus() : modal ? modal->m_hWnd : nullptr;
        PostMessageA(target, WM_KEYDOWN, VK_ESCAPE, 0);
    }});
    explorer->SendMessage(WM_COMMAND, 32983);
    harness::PumpUntil([] { return DuringModal::Done() && !CMainFrame::Get()->GetRunningModal(); }, 10000);
    EXPECT_EQ(opened, "SUBDLG");
    EXPECT_EQ(CMainFrame::Get()->GetRunningModal(), nullptr);
    EXPECT_EQ(Server("W $G(%RET)"), "Ort w\xE4hlen");
}

namespace {

// The label edits the explorer is asked to allow while a test looks.
int g_beginEdits = 0;
HWND g_editOwner = nullptr;
LRESULT CALLBACK WatchBeginEdits(int code, WPARAM wParam, LPARAM lParam) {
    auto* call = reinterpret_cast<CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->hwnd == g_editOwner && call->message == WM_NOTIFY && call->lParam) {
        UINT notice = reinterpret_cast<const NMHDR*>(call->lParam)->code;
        if (notice == TVN_BEGINLABELEDITA || notice == TVN_BEGINLABELEDITW || notice == LVN_BEGINLABELEDITA ||
            notice == LVN_BEGINLABELEDITW)
            ++g_beginEdits;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// A person at the record's letters: the server's Arztbrief may be neither deleted, copied,
// cut nor renamed, the Überweisung may; in Labor nothing may be renamed.
class ExplorerPersonTest : public ExplorerServerTest {
  protected:
    void SetUp() override {
        ExplorerServerTest::SetUp();
        CFileDropTarget::MakeDirectory(m_briefe.c_str());
        CFileDropTarget::MakeDirectory(m_labor.c_str());
        MakeBilder();
        harness::WriteTextFile(m_briefe + "\\Arztbrief.rtf", "{\\rtf1 Arztbrief\\par}");
        harness::WriteTextFile(m_briefe + "\\Ueberweisung.txt", "an den Facharzt");
        harness::WriteTextFile(m_labor + "\\Blutbild.txt", "Hb 14");
        harness::WriteTextFile(kBilder + "\\Seite.txt", "eins");
        OpenRecord();
        ASSERT_NE(Explorer(), nullptr);
        frame->ShowWindow(SW_MAXIMIZE);
        Active()->ShowWindow(SW_MAXIMIZE);
        person.Settle();
    }
    HTREEITEM Briefe() { return Child(Child(Tree().GetRootItem(), "Korrespondenz"), "Briefe"); }
    HTREEITEM Labor() { return Child(Child(Tree().GetRootItem(), "Befunde"), "Labor"); }
    CListCtrl& List() { return Explorer()->List(); }
    int ListIndex(const std::string& text) {
        for (int i = 0; i < List().GetItemCount(); ++i)
            if (List().GetItemText(i, 0) == text) return i;
        return -1;
    }
    // A point on an entry's label; dx moves it sideways, as a second click that is no double
    // click lands a little apart from the first.
    POINT OnListLabel(int index, int dx = 0) {
        RECT r{LVIR_LABEL, 0, 0, 0};
        List().SendMessage(LVM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
        return POINT{(r.left + r.right) / 2 + dx, (r.top + r.bottom) / 2};
    }
    POINT OnTreeLabel(HTREEITEM item, int dx = 0) {
        RECT r{};
        TreeView_GetItemRect(Tree().m_hWnd, item, &r, TRUE);
        return POINT{(r.left + r.right) / 2 + dx, (r.top + r.bottom) / 2};
    }
    // The folder's list, shown as a person opens it: a click on the folder in the tree.
    void ShowList(HTREEITEM folder) {
        ASSERT_NE(folder, nullptr);
        Tree().EnsureVisible(folder);
        person.Click(Tree().m_hWnd, OnTreeLabel(folder));
        ASSERT_TRUE(IsWindowVisible(List().m_hWnd));
    }
    // Two single clicks on a label a little apart: the second, on the selected entry, asks
    // for its label to be edited once no double click can follow.
    void SlowSecondClick(HWND control, POINT first, POINT second) {
        g_editOwner = Explorer()->m_hWnd;
        g_beginEdits = 0;
        HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, WatchBeginEdits, nullptr, GetCurrentThreadId());
        person.Click(control, first);
        person.Click(control, second);
        EXPECT_TRUE(harness::PumpUntil([] { return g_beginEdits > 0; }, 20000)) << "the edit was asked for";
        UnhookWindowsHookEx(hook);
        person.Settle();
    }
    // Far enough from the first click for the system to see two single clicks.
    static constexpr int kApart = 6;
    bool Exists(const std::string& path) {
        return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    harness::Person person{0};
    const std::string m_briefe = kRecord + "\\Korrespondenz\\Briefe";
    const std::string m_labor = kRecord + "\\Befunde\\Labor";
};

} // namespace

TEST_F(ExplorerPersonTest, TheListsMenuOffersWhatTheClickedDocumentAllows) {
    ShowList(Briefe());
    const struct {
        const char* text;
        const char* file;
        bool allowed;
    } rows[] = {
        {"Arztbrief", "Arztbrief.rtf", false},
        {"\xDC"
         "berweisung",
         "Ueberweisung.txt", true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        int index = ListIndex(row.text);
        ASSERT_GE(index, 0);
        std::vector<UINT> greyed;
        bool looked = false;
        MenuDriver::StartTyping(
            [&](const std::vector<HMENU>& open) -> UINT {
                if (open.empty()) return 0;
                if (looked) return VK_ESCAPE;
                looked = true;
                for (UINT id : {CExplorer::kCut, CExplorer::kCopy, CExplorer::kDelete, CExplorer::kRename})
                    if (GetMenuState(open[0], id, MF_BYCOMMAND) & MF_GRAYED) greyed.push_back(id);
                return 'L'; // «Löschen»
            },
            400);
        fw::TestMode::ClearShown();
        fw::TestMode::PushAnswer("box IDNO");
        recorder->Take();
        person.RightClick(List().m_hWnd, OnListLabel(index));
        MenuDriver::Stop();
        EXPECT_FALSE(MenuDriver::TimedOut());
        EXPECT_TRUE(looked) << "the context menu opened";
        Lines sent = recorder->Take();
        EXPECT_NE(std::find(sent.begin(), sent.end(), "W $G(^QTEMP(%JOB,\"EXPLORER\",%DN,\"F\",1))"),
                  sent.end())
            << "the server's entries were asked for";
        if (row.allowed) {
            EXPECT_TRUE(greyed.empty());
            EXPECT_EQ(fw::TestMode::Shown().size(), 1u) << "the delete asks first";
        } else {
            EXPECT_EQ(greyed, (std::vector<UINT>{CExplorer::kCut, CExplorer::kCopy, CExplorer::kDelete,
                                                 CExplorer::kRename}));
            EXPECT_TRUE(fw::TestMode::Shown().empty()) << "nothing to delete, nothing asked";
        }
        EXPECT_TRUE(Exists(m_briefe + "\\" + row.file));
    }
}

TEST_F(ExplorerPersonTest, ALabelEditRenamesOnlyWhatMayBeRenamed) {
    // A server document in the list, and a file of the disk in the tree below a folder that
    // allows no renaming: both keep their names.
    ShowList(Briefe());
    int index = ListIndex("Arztbrief");
    ASSERT_GE(index, 0);
    SlowSecondClick(List().m_hWnd, OnListLabel(index), OnListLabel(index, kApart));
    EXPECT_EQ(ListView_GetEditControl(List().m_hWnd), nullptr) << "no edit of a server document";
    person.Type("Brief\n");
    EXPECT_TRUE(Exists(m_briefe + "\\Arztbrief.rtf"));
    EXPECT_FALSE(Exists(m_briefe + "\\Brief.rtf"));
    EXPECT_EQ(List().GetItemText(ListIndex("Arztbrief"), 0), "Arztbrief");

    Tree().Expand(Labor(), TVE_EXPAND);
    HTREEITEM blutbild = Child(Labor(), "Blutbild");
    ASSERT_NE(blutbild, nullptr);
    Tree().EnsureVisible(blutbild);
    person.Settle();
    SlowSecondClick(Tree().m_hWnd, OnTreeLabel(blutbild), OnTreeLabel(blutbild, kApart));
    EXPECT_EQ(TreeView_GetEditControl(Tree().m_hWnd), nullptr) << "Labor allows no renaming";
    person.Type("Alt\n");
    EXPECT_TRUE(Exists(m_labor + "\\Blutbild.txt"));
    EXPECT_FALSE(Exists(m_labor + "\\Alt.txt"));
    EXPECT_EQ(Tree().GetItemText(Child(Labor(), "Blutbild")), "Blutbild");

    // A file of the disk where renaming is allowed: in the list, then in the tree.
    ShowList(Child(Child(Tree().GetRootItem(), "Befunde"), "Bilder"));
    index = ListIndex("Seite");
    ASSERT_GE(index, 0);
    SlowSecondClick(List().m_hWnd, OnListLabel(index), OnListLabel(index, kApart));
    ASSERT_NE(ListView_GetEditControl(List().m_hWnd), nullptr);
    person.Type("Befund\n");
    EXPECT_TRUE(Exists(kBilder + "\\Befund.txt"));
    EXPECT_FALSE(Exists(kBilder + "\\Seite.txt"));
    HTREEITEM befund = Child(Child(Child(Tree().GetRootItem(), "Befunde"), "Bilder"), "Befund");
    ASSERT_NE(befund, nullptr) << "the tree follows";
    Tree().EnsureVisible(befund);
    person.Settle();
    SlowSecondClick(Tree().m_hWnd, OnTreeLabel(befund), OnTreeLabel(befund, kApart));
    ASSERT_NE(TreeView_GetEditControl(Tree().m_hWnd), nullptr);
    person.Type("Juni\n");
    EXPECT_TRUE(Exists(kBilder + "\\Juni.txt"));
    EXPECT_NE(Child(Child(Child(Tree().GetRootItem(), "Befunde"), "Bilder"), "Juni"), nullptr);
}

TEST_F(ExplorerPersonTest, EscEndsALabelEditAndOnlyTheNextClosesTheScreen) {
    ShowList(Child(Child(Tree().GetRootItem(), "Befunde"), "Bilder"));
    int index = ListIndex("Seite");
    ASSERT_GE(index, 0);
    SlowSecondClick(List().m_hWnd, OnListLabel(index), OnListLabel(index, kApart));
    ASSERT_NE(ListView_GetEditControl(List().m_hWnd), nullptr);
    person.Type("Befund");
    HWND screen = Active()->m_hWnd;
    person.Press("Esc");
    EXPECT_EQ(ListView_GetEditControl(List().m_hWnd), nullptr) << "the edit ended";
    EXPECT_TRUE(Exists(kBilder + "\\Seite.txt")) << "and renamed nothing";
    ASSERT_TRUE(IsWindow(screen)) << "the screen stays";
    EXPECT_TRUE(harness::HoldsFocus(List().m_hWnd, GetFocus()));
    person.Press("Esc");
    EXPECT_FALSE(IsWindow(screen)) << "the next Esc closes it";
}
