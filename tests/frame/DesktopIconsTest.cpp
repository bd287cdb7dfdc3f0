// The icon desktop in the logged-in frame against the demo: starting icons, keys, new icons,
// renaming and deleting, drags of both kinds and foreign ones, the background placements and
// the three dialogs.
#include "frame/MenuTreeLogic.h"
#include "framework/Menu.h"
#include "framework/OleDragDrop.h"
#include "framework/TestMode.h"
#include "resources/DesktopIds.h"
#include "tests/frame/ServerFrameFixture.h"
#include "tools/IconDialogs.h"
#include "tools/IconList.h"
#include "tools/IconListLogic.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

std::vector<std::string> g_menuTexts;
std::vector<UINT> g_menuStates;
UINT g_arrangeState = 0;

void CALLBACK ReadMenu(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    fw::MenuTracking t = fw::ThreadMenuTracking();
    for (int i = 0; t.menu && i < ::GetMenuItemCount(t.menu); ++i) {
        g_menuTexts.push_back(CMenu::ItemText(t.menu, i).str());
        g_menuStates.push_back(::GetMenuItemID(t.menu, i));
    }
    if (HMENU arrange = t.menu ? ::GetSubMenu(t.menu, 0) : nullptr)
        g_arrangeState = ::GetMenuState(arrange, ID_ICON_AUTOARRANGE, MF_BYCOMMAND);
    ::EndMenu();
}

POINT ItemPosition(HWND list, int item) {
    POINT at{};
    ::SendMessageA(list, LVM_GETITEMPOSITION, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&at));
    return at;
}

void Select(HWND list, std::initializer_list<int> items) {
    LVITEMA none{};
    none.stateMask = LVIS_SELECTED;
    ::SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
    for (int i : items) {
        LVITEMA on{};
        on.state = on.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        ::SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&on));
    }
}

// A data object that offers the bytes under "VORLAN.Icon".
struct IconData {
    COleDataSource source;
    IconData(const void* bytes, size_t size) {
        HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, size ? size : 1);
        std::memcpy(::GlobalLock(block), bytes, size);
        ::GlobalUnlock(block);
        source.CacheGlobalData(static_cast<CLIPFORMAT>(::RegisterClipboardFormatA("VORLAN.Icon")), block);
    }
};

// A drag loop that drops what the desktop offers back onto it at a point of its client area.
CIconList* g_dropOn = nullptr;
POINT g_dropAt{};
std::string g_dragged;
DROPEFFECT DropBack(IDataObject* data, COleDropSource*, DROPEFFECT allowed) {
    COleDataObject reader;
    reader.Attach(data, false);
    if (HGLOBAL block =
            reader.GetGlobalData(static_cast<CLIPFORMAT>(::RegisterClipboardFormatA("VORLAN.Icon")))) {
        g_dragged.assign(static_cast<const char*>(::GlobalLock(block)), ::GlobalSize(block));
        ::GlobalUnlock(block);
        ::GlobalFree(block);
    }
    reader.Detach();
    POINT screen = g_dropAt;
    ::ClientToScreen(g_dropOn->m_hWnd, &screen);
    return fw::DropInProcess(g_dropOn->GetDropTarget(), data, screen, allowed);
}

// Shown by its own style (the dialog around it is not on the screen).
bool Shown(HWND control) {
    return (::GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE) != 0;
}

COLORREF Pixel(HBITMAP bitmap, int x, int y) {
    CMemoryDC dc(nullptr);
    CSelectedObject select(dc, bitmap);
    return ::GetPixel(dc, x, y);
}

} // namespace

class DesktopTest : public ServerFrameTest {
  protected:
    CIconList* desktop = nullptr;
    HWND list = nullptr;
    void LogInToDesktop() {
        LogIn();
        desktop = frame->GetIconList();
        ASSERT_NE(desktop, nullptr);
        list = desktop->m_hWnd;
        ASSERT_EQ(desktop->GetIconCount(), 4);
        recorder->Take();
        Trace();
    }
    static bool Has(const Lines& lines, const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
};

TEST_F(DesktopTest, StartingAnIconSendsItsParameterThenItsFunction) {
    LogInToDesktop();
    EXPECT_EQ(desktop->GetIconText(2, 1), "BLD");
    Select(list, {2});
    fw::TestMode::ClearShown();
    desktop->SendMessage(WM_KEYDOWN, VK_RETURN);
    harness::Pump();
    Lines lines = recorder->Take();
    auto para = std::find(lines.begin(), lines.end(), "S %WIN(\"PARA\")=\"4711\"");
    ASSERT_NE(para, lines.end());
    auto select = std::find_if(
        para, lines.end(), [](const std::string& l) { return l.find("SELECTM^QCC") != std::string::npos; });
    ASSERT_NE(select, lines.end()) << "the function starts after its parameter";
    EXPECT_NE(select->find("\"BLD\""), std::string::npos) << *select;
    if (Once("W $D(^QM(\"BLD\"))") == "0") {
        // Without the screen in the demo: the program's word for an unknown function.
        auto boxes = Boxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, "Zu diesem Namen gibt es keine Funktion.");
    } else {
        EXPECT_FALSE(Frames().empty()) << "the screen opens";
    }

    // A double click on an icon starts it as well; on the free desktop nothing starts.
    Select(list, {0});
    RECT r{};
    r.left = LVIR_ICON;
    ::SendMessageA(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
    desktop->SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON,
                         MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2));
    harness::Pump();
    EXPECT_TRUE(Has(recorder->Take(), "S %WIN(\"PARA\")=\"\""));
    // With Ctrl a double click is about the browser windows, and starts nothing.
    Select(list, {0});
    desktop->SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON | MK_CONTROL,
                         MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2));
    harness::Pump();
    EXPECT_FALSE(Has(recorder->Take(), "S %WIN(\"PARA\")=\"\""));
    Select(list, {});
    desktop->SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(700, 500));
    harness::Pump();
    EXPECT_FALSE(Has(recorder->Take(), "S %WIN(\"PARA\")=\"\""));
    for (HWND h : Frames())
        ::SendMessageA(frame->m_hWndMDIClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(h), 0);
}

TEST_F(DesktopTest, TypedCharactersReachTheMemoBoxAsTyped) {
    LogInToDesktop();
    HWND memo = frame->GetMemoBox().GetEditCtrl();
    ASSERT_NE(memo, nullptr);
    ::SetWindowTextA(memo, "");
    ::SetFocus(list);
    for (char c : std::string("1!a\xE4Z"))
        desktop->SendMessage(WM_CHAR, static_cast<unsigned char>(c), 1);
    EXPECT_EQ(fw::WindowText(memo), "1!a\xE4Z") << "digits stay digits, Shift is nobody's business";
    EXPECT_EQ(::GetFocus(), memo);
    ::SetFocus(list);
    desktop->SendMessage(WM_KEYDOWN, VK_TAB);
    EXPECT_EQ(::GetFocus(), memo);
    ::SetWindowTextA(memo, "");
}

TEST_F(DesktopTest, NewIconRenameMoveAndDelete) {
    LogInToDesktop();
    // The context point is where the new icon goes; the properties dialog names it.
    desktop->m_ptContext = POINT{300, 120};
    fw::TestMode::PushAnswer("dialog 309 set:1086=Termine\\sheute set:1119=TER cmd:1");
    desktop->SendMessage(WM_COMMAND, ID_ICON_NEW);
    harness::Pump();
    ASSERT_EQ(desktop->GetIconCount(), 5);
    EXPECT_EQ(desktop->GetIconText(4, 0), "Termine heute");
    EXPECT_EQ(desktop->GetIconText(4, 1), "TER");
    EXPECT_EQ(desktop->GetIconImage(4), 47);
    EXPECT_EQ(ItemPosition(list, 4).x, 300);
    EXPECT_EQ(ItemPosition(list, 4).y, 120);

    // Renaming: the label edit's text is taken (through the frame, which hears the list).
    Select(list, {4});
    desktop->SendMessage(WM_COMMAND, ID_ICON_RENAME);
    HWND edit = reinterpret_cast<HWND>(::SendMessageA(list, LVM_GETEDITCONTROL, 0, 0));
    ASSERT_NE(edit, nullptr);
    ::SetWindowTextA(edit, "Kalender");
    ::SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
    harness::Pump();
    EXPECT_EQ(desktop->GetIconText(4, 0), "Kalender");

    // Three icons dragged together move by the same offset (kind 1 through the desktop's own drag).
    Select(list, {0, 1, 4});
    POINT before[3] = {ItemPosition(list, 0), ItemPosition(list, 1), ItemPosition(list, 4)};
    fw::DragLoop previous = fw::SetDragLoop(&DropBack);
    g_dropOn = desktop;
    NMLISTVIEW begin{};
    begin.hdr.hwndFrom = list;
    begin.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(list));
    begin.hdr.code = LVN_BEGINDRAG;
    begin.iItem = 1;
    begin.ptAction = POINT{before[1].x + 10, before[1].y + 10};
    g_dropAt = POINT{begin.ptAction.x + 200, begin.ptAction.y + 30};
    frame->SendMessage(WM_NOTIFY, begin.hdr.idFrom, reinterpret_cast<LPARAM>(&begin));
    fw::SetDragLoop(previous);
    ASSERT_EQ(g_dragged.size(), vorlan::kIconDragHeaderSize) << "kind 1 carries its 20 bytes";
    vorlan::IconDrop drop;
    ASSERT_TRUE(vorlan::ReadIconDrop(g_dragged.data(), g_dragged.size(), 4, drop));
    EXPECT_EQ(drop.item, 1);
    int moved[3] = {0, 1, 4};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(ItemPosition(list, moved[i]).x, before[i].x + 200) << moved[i];
        EXPECT_EQ(ItemPosition(list, moved[i]).y, before[i].y + 30) << moved[i];
    }
    EXPECT_EQ(ItemPosition(list, 2).y, 196) << "the unselected icons stay";
    EXPECT_EQ(ItemPosition(list, 3).y, 282);

    // Delete takes the selected icons, and so does the key.
    Select(list, {0, 4});
    desktop->SendMessage(WM_COMMAND, ID_ICON_DELETE);
    ASSERT_EQ(desktop->GetIconCount(), 3);
    EXPECT_EQ(desktop->GetIconText(0, 1), "KAS");
    Select(list, {0});
    desktop->SendMessage(WM_KEYDOWN, VK_DELETE);
    EXPECT_EQ(desktop->GetIconCount(), 2);
    desktop->SendMessage(WM_COMMAND, ID_ICON_AUTOARRANGE);
    EXPECT_TRUE(::GetWindowLongA(list, GWL_STYLE) & LVS_AUTOARRANGE);
    desktop->SendMessage(WM_COMMAND, ID_ICON_AUTOARRANGE);
    EXPECT_FALSE(::GetWindowLongA(list, GWL_STYLE) & LVS_AUTOARRANGE);

    // Stored and read again as at a log-out and the next log-in: the deleted icons stay gone,
    // on the server too. The demo user's own icons come back afterwards.
    const std::string icons = "^Z(\"DESKTOP\",\"demo\",\"ICONS\")";
    Once("K ^ZTMPICON M ^ZTMPICON=" + icons);
    frame->SaveInfos();
    EXPECT_EQ(Once("W $O(" + icons.substr(0, icons.size() - 1) + ",\"\"),-1)"), "2");
    EXPECT_EQ(Once("W $D(" + icons.substr(0, icons.size() - 1) + ",3))"), "0") << "no stale icon";
    frame->SetInfos();
    EXPECT_EQ(desktop->GetIconCount(), 2);
    Once("K " + icons + " M " + icons + "=^ZTMPICON K ^ZTMPICON");
    frame->SetInfos();
    EXPECT_EQ(desktop->GetIconCount(), 4);
}

TEST_F(DesktopTest, MenuEntriesDropWithTheirPictureAndForeignDropsAreRefused) {
    LogInToDesktop();
    vorlan::MenuDragRecord record;
    ASSERT_TRUE(vorlan::BuildMenuDragRecord("Kassen [KAS]", "KAS", true, record));
    record.dragImage = 0x7EADBEEF; // a pointer from another process would mean nothing here
    IconData menu(&record, sizeof record);
    POINT screen{400, 300};
    ::ClientToScreen(list, &screen);
    EXPECT_EQ(
        fw::DropInProcess(desktop->GetDropTarget(), menu.source.GetInterface(), screen, DROPEFFECT_MOVE),
        static_cast<DROPEFFECT>(DROPEFFECT_MOVE));
    ASSERT_EQ(desktop->GetIconCount(), 5);
    EXPECT_EQ(desktop->GetIconText(4, 0), "Kassen ");
    EXPECT_EQ(desktop->GetIconText(4, 1), "KAS");
    EXPECT_EQ(desktop->GetIconImage(4), 4) << "the menu's picture 5 less one";
    EXPECT_EQ(ItemPosition(list, 4).x, 400);
    EXPECT_TRUE(demotrace::Has(Trace(), "GETMNUPI^QCC(\"KAS\")"));
    EXPECT_TRUE(Has(recorder->Take(), "W $$GETMNUPI^QCC(\"KAS\")"));

    // A crafted kind 1 naming an icon the desktop does not have moves nothing.
    Select(list, {0, 1, 2, 3, 4});
    POINT first = ItemPosition(list, 0);
    vorlan::IconDragRecord crafted = vorlan::BuildDesktopDragRecord(99, 0, 0, true);
    IconData beyond(&crafted, vorlan::kIconDragHeaderSize);
    EXPECT_EQ(
        fw::DropInProcess(desktop->GetDropTarget(), beyond.source.GetInterface(), screen, DROPEFFECT_MOVE),
        static_cast<DROPEFFECT>(DROPEFFECT_NONE));
    EXPECT_EQ(ItemPosition(list, 0).x, first.x);
    // Too short to tell, an unknown kind, a text without its end: refused or read within the block.
    char shortBlock[10] = {2};
    IconData tiny(shortBlock, sizeof shortBlock);
    EXPECT_EQ(
        fw::DropInProcess(desktop->GetDropTarget(), tiny.source.GetInterface(), screen, DROPEFFECT_MOVE),
        static_cast<DROPEFFECT>(DROPEFFECT_NONE));
    std::string open(40, 'x');
    std::int32_t two = 2;
    std::memcpy(&open[0], &two, 4);
    IconData cut(open.data(), open.size());
    fw::DropInProcess(desktop->GetDropTarget(), cut.source.GetInterface(), screen, DROPEFFECT_MOVE);
    ASSERT_EQ(desktop->GetIconCount(), 6);
    EXPECT_EQ(desktop->GetIconText(5, 0).size(), 20u) << "the text ends with the block";
    EXPECT_EQ(desktop->GetIconImage(5), 47);
}

TEST_F(DesktopTest, BackgroundPlacementsByPixels) {
    // A 4 x 4 picture: red at the top left, blue at the bottom right, green elsewhere.
    CClientDC screen(nullptr);
    HBITMAP picture = ::CreateCompatibleBitmap(screen, 4, 4);
    {
        CMemoryDC dc(screen);
        CSelectedObject select(dc, picture);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                ::SetPixel(dc, x, y,
                           x == 0 && y == 0   ? RGB(255, 0, 0)
                           : x == 3 && y == 3 ? RGB(0, 0, 255)
                                              : RGB(0, 255, 0));
    }
    const COLORREF back = RGB(10, 20, 30);
    struct Case {
        int mode;
        POINT at;
        COLORREF expected;
    } cases[] = {
        {0, {4, 4}, RGB(255, 0, 0)},   {0, {19, 19}, RGB(0, 0, 255)}, // tiled from the top left
        {1, {8, 8}, RGB(255, 0, 0)},   {1, {0, 0}, back},             // centred in 20 x 20
        {1, {11, 11}, RGB(0, 0, 255)}, {2, {0, 0}, RGB(255, 0, 0)},   // stretched over it all
        {2, {19, 19}, RGB(0, 0, 255)}, {3, {16, 16}, RGB(255, 0, 0)}, // bottom right
        {3, {19, 19}, RGB(0, 0, 255)}, {3, {15, 15}, back},
    };
    for (const Case& c : cases) {
        HBITMAP target = ::CreateCompatibleBitmap(screen, 20, 20);
        {
            CMemoryDC dc(screen);
            CSelectedObject select(dc, target);
            CIconList::DrawBitmap(dc, RECT{0, 0, 20, 20}, c.mode, back, picture);
        }
        EXPECT_EQ(Pixel(target, c.at.x, c.at.y), c.expected)
            << "mode " << c.mode << " at " << c.at.x << "," << c.at.y;
        ::DeleteObject(target);
    }
    HBITMAP plain = ::CreateCompatibleBitmap(screen, 20, 20);
    {
        CMemoryDC dc(screen);
        CSelectedObject select(dc, plain);
        CIconList::DrawBitmap(dc, RECT{0, 0, 20, 20}, 3, back, nullptr);
    }
    EXPECT_EQ(Pixel(plain, 19, 19), back) << "without a picture the colour alone";
    ::DeleteObject(plain);
    ::DeleteObject(picture);

    // The built-in picture by its name; a name that is nothing leaves the workspace colour.
    LogInToDesktop();
    CString builtIn;
    ASSERT_TRUE(builtIn.LoadString(IDS_BACKGROUND_FIRST));
    ASSERT_TRUE(desktop->SetBitmap(builtIn));
    EXPECT_EQ(desktop->m_crBackground, RGB(0, 64, 128)) << "its top-left pixel";
    desktop->m_strPicture = "C:\\nirgends\\kein.bmp";
    desktop->Set(1);
    EXPECT_EQ(desktop->GetPicture(), nullptr);
    EXPECT_EQ(desktop->m_crBackground, ::GetSysColor(COLOR_APPWORKSPACE));
    // The desktop paints its own background: the picture at the bottom right.
    desktop->m_strPicture = builtIn;
    desktop->m_nPictureKind = 3;
    desktop->Set(0);
    RECT client;
    ::GetClientRect(list, &client);
    HBITMAP shot = ::CreateCompatibleBitmap(screen, client.right, client.bottom);
    {
        CMemoryDC dc(screen);
        CSelectedObject select(dc, shot);
        desktop->SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(static_cast<HDC>(dc)));
    }
    EXPECT_EQ(Pixel(shot, client.right - 48, client.bottom - 36 - 1), RGB(0, 64, 128))
        << "the picture's ground";
    EXPECT_EQ(Pixel(shot, 0, 0), RGB(0, 64, 128));
    ::DeleteObject(shot);
}

TEST_F(DesktopTest, OptionsApplyAndOkStoreTheLook) {
    // Without a log-in the frame does not allow them.
    desktop = frame->GetIconList();
    fw::TestMode::ClearShown();
    desktop->SendMessage(WM_COMMAND, ID_ICON_OPTIONS);
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].text.find("Desktop-Optionen"), std::string::npos) << boxes[0].text;
    EXPECT_EQ(DialogResult(IDD_ICON_OPTIONS), -1) << "not opened";

    LogInToDesktop();
    Select(list, {});
    // Apply, then cancel: the desktop has the look, the server not yet.
    fw::TestMode::ClearShown();
    fw::TestMode::PushAnswer("dialog 302 cmd:1120 cmd:3 cmd:2");
    desktop->SendMessage(WM_COMMAND, ID_ICON_OPTIONS);
    harness::Pump();
    EXPECT_EQ(DialogResult(IDD_ICON_OPTIONS), IDCANCEL);
    EXPECT_EQ(desktop->m_nPictureKind, 1);
    EXPECT_EQ(Once("W ^[%SYS]Z(\"DESKTOP\",\"demo\",\"IMAGETYPE\")"), "3");

    // OK with colours, font and the client's own look: stored on the server for the client.
    fw::TestMode::ClearShown();
    fw::TestMode::PushAnswer("dialog 302 cmd:1121 cmd:1112 cmd:1115 cmd:1118 cmd:1142 cmd:1");
    fw::TestMode::PushAnswer("dialog color rgb:10,20,30");
    fw::TestMode::PushAnswer("dialog color rgb:255,255,0");
    fw::TestMode::PushAnswer("dialog font face:Arial size:12");
    desktop->SendMessage(WM_COMMAND, ID_ICON_OPTIONS);
    harness::Pump();
    EXPECT_EQ(DialogResult(IDD_ICON_OPTIONS), IDOK);
    EXPECT_EQ(desktop->m_crBackground, RGB(10, 20, 30));
    EXPECT_EQ(desktop->m_strFontFace, "Arial");
    EXPECT_EQ(desktop->m_bPerClient, 1);
    std::string node = "^[%SYS]Z(\"DESKTOP\",\"demo\",\"MANDANT\",1,";
    EXPECT_EQ(Once("W $G(" + node + "\"BGCOLOR\"))"), std::to_string(RGB(10, 20, 30)));
    EXPECT_EQ(Once("W $G(" + node + "\"TEXTCOLOR\"))"), std::to_string(RGB(255, 255, 0)));
    EXPECT_EQ(Once("W $G(" + node + "\"TEXTFONT\"))_\"/\"_$G(" + node + "\"TEXTSIZE\"))_\"/\"_$G(" + node +
                   "\"IMAGETYPE\"))"),
              "Arial/12/2");
    EXPECT_EQ(Once("W $D(^Z(\"DESKTOP\",\"demo\",\"ICONS\",3))"), "10") << "the icons are stored with it";

    // A new log-in finds the client's look again.
    frame->SetInfos();
    EXPECT_EQ(desktop->m_bPerClient, 1);
    EXPECT_EQ(desktop->m_nTextSize, 12);
    EXPECT_EQ(desktop->GetIconCount(), 4);
    Once("K ^[%SYS]Z(\"DESKTOP\",\"demo\",\"MANDANT\")");
}

TEST_F(DesktopTest, OptionsKeepOneFileEntryAndShowTheFont) {
    LogInToDesktop();
    CreateDirectoryA("C:\\TEMP", nullptr);
    const char* path = "C:\\TEMP\\desktop-bild.bmp";
    {
        // A 2 x 2 picture file of our own: 24 bits, rows of 8 bytes.
        unsigned char bmp[54 + 16] = {'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,  40,
                                      0,   0,   0,  2, 0, 0, 0, 2, 0, 0, 0,  1, 0, 24, 0};
        for (int i = 54; i < 70; ++i)
            bmp[i] = 0x80;
        FILE* f = std::fopen(path, "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(bmp, 1, sizeof bmp, f);
        std::fclose(f);
    }
    CIconOptions options(desktop);
    ASSERT_TRUE(options.Create(IDD_ICON_OPTIONS, desktop));
    HWND pictures = options.GetDlgItem(IDC_OPT_PICTURES);
    int fixed = static_cast<int>(::SendMessageA(pictures, CB_GETCOUNT, 0, 0));
    EXPECT_EQ(fixed, 5) << "no picture and the four built-in ones";
    EXPECT_EQ(options.m_nFixed, fixed);
    EXPECT_EQ(fw::WindowText(options.GetDlgItem(IDC_OPT_FONT)), "Tahoma, 9pt");
    EXPECT_EQ(fw::WindowText(options.GetDlgItem(IDC_OPT_THIS_CLIENT)).find("%s"), std::string::npos);
    for (int i = 0; i < 2; ++i) {
        fw::TestMode::PushAnswer(std::string("dialog open path:") + path);
        options.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_OPT_BROWSE, BN_CLICKED));
    }
    EXPECT_EQ(::SendMessageA(pictures, CB_GETCOUNT, 0, 0), fixed + 1) << "one file entry";
    EXPECT_EQ(options.m_strPicture, path);
    EXPECT_TRUE(::IsWindowEnabled(options.GetDlgItem(IDC_OPT_STRETCH)));
    EXPECT_TRUE(::IsWindowEnabled(options.GetDlgItem(IDC_OPT_APPLY)));
    ::SendMessageA(pictures, CB_SETCURSEL, 0, 0);
    options.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_OPT_PICTURES, CBN_SELCHANGE),
                        reinterpret_cast<LPARAM>(pictures));
    EXPECT_EQ(options.m_strPicture, "");
    EXPECT_FALSE(::IsWindowEnabled(options.GetDlgItem(IDC_OPT_STRETCH))) << "no placement without a picture";
    options.DestroyWindow();
    ::DeleteFileA(path);
}

TEST_F(DesktopTest, PropertiesListTheCatalogueAndTheParameters) {
    LogInToDesktop();
    CIconProperty property(desktop, nullptr);
    property.m_strCaption = "Akte";
    property.m_strFunction = "BLD";
    property.m_strParameter = "4712";
    ASSERT_TRUE(property.Create(IDD_ICON_PROPERTY, desktop));
    HWND functions = property.GetDlgItem(IDC_PROP_FUNCTION);
    HWND choices = property.GetDlgItem(IDC_PROP_CHOICES);
    HWND edit = property.GetDlgItem(IDC_PROP_PARAMETER);
    int count = static_cast<int>(::SendMessageA(functions, CB_GETCOUNT, 0, 0));
    EXPECT_GE(count, 5);
    char first[64] = {};
    ::SendMessageA(functions, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(first));
    EXPECT_STREQ(first, "ADR Adressen");
    EXPECT_TRUE(Shown(choices)) << "pairs make a pick list";
    EXPECT_FALSE(Shown(edit));
    ASSERT_EQ(::SendMessageA(choices, CB_GETCOUNT, 0, 0), 2);
    char choice[64] = {};
    ::SendMessageA(choices, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(choice));
    EXPECT_STREQ(choice, "4711 (Erika Mustermann)");
    EXPECT_EQ(::SendMessageA(choices, CB_GETCURSEL, 0, 0), 1) << "the icon's parameter chosen";
    Lines lines = recorder->Take();
    EXPECT_TRUE(Has(lines, "W $$MENUNEXT^QCC(\"\")"));
    EXPECT_TRUE(Has(lines, "W $$MENUINFO^QCC(\"BLD\")"));

    // A function without parameters.
    int pat = static_cast<int>(
        ::SendMessageA(functions, CB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("PAT ")));
    ASSERT_GE(pat, 0);
    ::SendMessageA(functions, CB_SETCURSEL, static_cast<WPARAM>(pat), 0);
    property.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_PROP_FUNCTION, CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(functions));
    EXPECT_FALSE(::IsWindowEnabled(edit));
    EXPECT_FALSE(Shown(choices));
    property.SendMessage(WM_COMMAND, IDOK);
    EXPECT_EQ(property.m_strFunction, "PAT");
    EXPECT_EQ(property.m_strParameter, "");
    EXPECT_EQ(property.m_strCaption, "Akte");
}

TEST_F(DesktopTest, TheContextMenuOffersDeleteAndRenameWithASelection) {
    LogInToDesktop();
    Select(list, {});
    g_menuTexts.clear();
    ::SetTimer(nullptr, 0, 200, ReadMenu);
    POINT at{200, 300};
    ::ClientToScreen(list, &at);
    desktop->SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(at.x, at.y));
    harness::Pump();
    EXPECT_EQ(desktop->m_ptContext.x, 200);
    EXPECT_EQ(desktop->m_ptContext.y, 300);
    std::vector<std::string> plain = g_menuTexts;
    ASSERT_FALSE(plain.empty());
    EXPECT_EQ(std::find(plain.begin(), plain.end(), "&L\xF6schen"), plain.end());

    EXPECT_FALSE(g_arrangeState & MF_CHECKED);

    Select(list, {1});
    desktop->SendMessage(WM_COMMAND, ID_ICON_AUTOARRANGE);
    g_menuTexts.clear();
    g_menuStates.clear();
    ::SetTimer(nullptr, 0, 200, ReadMenu);
    desktop->SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(at.x, at.y));
    harness::Pump();
    ASSERT_EQ(g_menuTexts.size(), plain.size() + 3);
    auto del = std::find(g_menuStates.begin(), g_menuStates.end(), static_cast<UINT>(ID_ICON_DELETE));
    ASSERT_NE(del, g_menuStates.end());
    EXPECT_EQ(*(del + 1), static_cast<UINT>(ID_ICON_RENAME));
    EXPECT_EQ(*(del + 3), static_cast<UINT>(ID_ICON_OPTIONS)) << "before the properties, after a separator";
    EXPECT_TRUE(g_arrangeState & MF_CHECKED) << "checked while the icons arrange themselves";
    desktop->SendMessage(WM_COMMAND, ID_ICON_AUTOARRANGE);
}

TEST_F(DesktopTest, TheSymbolChoiceShowsEveryImageAndTakesTheChosenOne) {
    LogInToDesktop();
    HIMAGELIST images = reinterpret_cast<HIMAGELIST>(::SendMessageA(list, LVM_GETIMAGELIST, LVSIL_NORMAL, 0));
    ASSERT_NE(images, nullptr);
    EXPECT_EQ(::ImageList_GetImageCount(images), 48) << "the menu tree's pictures";
    CIconChangeSymbol symbol(desktop, images, 4);
    ASSERT_TRUE(symbol.Create(IDD_ICON_SYMBOL, desktop));
    HWND view = symbol.GetDlgItem(IDC_SYMBOL_LIST);
    EXPECT_EQ(::SendMessageA(view, LVM_GETITEMCOUNT, 0, 0), 48);
    EXPECT_EQ(::SendMessageA(view, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 4);
    Select(view, {11});
    symbol.SendMessage(WM_COMMAND, IDOK);
    EXPECT_EQ(symbol.m_nImage, 11);
    EXPECT_EQ(::ImageList_GetImageCount(images), 48) << "the dialog's list leaves the desktop's images alone";
}

// With VORLAN_ARTIFACTS set: the desktop with its picture at the bottom right and the options.
TEST_F(DesktopTest, PictureOfTheDesktop) {
    char folder[MAX_PATH];
    if (!::GetEnvironmentVariableA("VORLAN_ARTIFACTS", folder, sizeof folder)) GTEST_SKIP();
    LogInToDesktop();
    frame->ShowWindow(SW_SHOWMAXIMIZED);
    CString builtIn;
    builtIn.LoadString(IDS_BACKGROUND_FIRST);
    desktop->m_strPicture = builtIn;
    desktop->m_nPictureKind = 3;
    desktop->Set(0);
    Select(list, {1});
    CIconOptions options(desktop);
    ASSERT_TRUE(options.Create(IDD_ICON_OPTIONS, desktop));
    options.ShowWindow(SW_SHOW);
    CIconProperty property(
        desktop, reinterpret_cast<HIMAGELIST>(::SendMessageA(list, LVM_GETIMAGELIST, LVSIL_NORMAL, 0)));
    property.m_strCaption = "Bildfeld 4711";
    property.m_strFunction = "BLD";
    property.m_strParameter = "4711";
    property.m_nImage = 2;
    ASSERT_TRUE(property.Create(IDD_ICON_PROPERTY, desktop));
    ::SetWindowPos(property.m_hWnd, nullptr, 20, 420, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
    for (int i = 0; i < 5; ++i) {
        harness::Pump();
        ::Sleep(100);
    }
    CreateDirectoryA(folder, nullptr);
    EXPECT_TRUE(harness::SaveScreen(std::string(folder) + "\\desktop.bmp"));
    property.DestroyWindow();
    options.DestroyWindow();
}
