// Owner-drawn menus found by their handle, the thread's tracked popup, and a toolbar's
// drop-down button reaching its own object through the parent's reflection.
#include "framework/Controls.h"
#include "framework/Menu.h"
#include "framework/Wnd.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct RecordingMenu : COwnerDrawnMenu {
    std::vector<std::string> log;
    void MeasureItem(MEASUREITEMSTRUCT* mis) override {
        log.push_back("measure " + std::to_string(mis->itemID));
        mis->itemWidth = 50;
        mis->itemHeight = 20;
    }
    void DrawItem(DRAWITEMSTRUCT* dis) override { log.push_back("draw " + std::to_string(dis->itemID)); }
    void Add(UINT id, ULONG_PTR data) {
        MENUITEMINFOA mii{};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_FTYPE | MIIM_ID | MIIM_DATA;
        mii.fType = MFT_OWNERDRAW;
        mii.wID = id;
        mii.dwItemData = data;
        ::InsertMenuItemA(m_hMenu, 0, TRUE, &mii);
    }
};

struct Reflecting : CWnd {
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        LRESULT result = 0;
        if (msg == WM_NOTIFY && ReflectChildNotification(msg, wParam, lParam, result)) return result;
        return CWnd::WindowProc(msg, wParam, lParam);
    }
};

struct DropBar : CToolBarCtrl {
    std::vector<int> dropped;
    LRESULT OnDropDown(const NMTOOLBARA* info) override {
        dropped.push_back(info->iItem);
        return TBDDRET_DEFAULT;
    }
};

LRESULT Measure(HWND window, UINT id, ULONG_PTR data) {
    MEASUREITEMSTRUCT mis{};
    mis.CtlType = ODT_MENU;
    mis.itemID = id;
    mis.itemData = data;
    return ::SendMessageA(window, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
}

} // namespace

TEST(OwnerDrawnMenu, ItemsAreMeasuredAndDrawnByTheirMenu) {
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, "STATIC", "", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));
    RecordingMenu a, b;
    ASSERT_TRUE(a.CreatePopupMenu());
    ASSERT_TRUE(b.CreatePopupMenu());
    a.Add(7, 0);
    b.Add(7, 1);
    EXPECT_EQ(COwnerDrawnMenu::FromHandlePermanent(a.m_hMenu), &a);

    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_MENU;
    dis.itemID = 7;
    dis.hwndItem = reinterpret_cast<HWND>(b.m_hMenu);
    EXPECT_TRUE(owner.SendMessage(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis)));
    EXPECT_EQ(b.log, std::vector<std::string>{"draw 7"});

    // Measuring names no menu: the item is found by command and data.
    EXPECT_TRUE(Measure(owner.m_hWnd, 7, 0));
    EXPECT_EQ(a.log, std::vector<std::string>{"measure 7"});
    {
        fw::MenuTrackingScope scope(owner.m_hWnd, b.m_hMenu);
        EXPECT_EQ(fw::ThreadMenuTracking().menu, b.m_hMenu);
        EXPECT_TRUE(Measure(owner.m_hWnd, 7, 1));
        EXPECT_EQ(b.log.back(), "measure 7");
    }
    EXPECT_EQ(fw::ThreadMenuTracking().menu, nullptr) << "the scope puts the record back";
    EXPECT_FALSE(Measure(owner.m_hWnd, 8, 0)) << "an item of no such menu goes its usual way";

    HMENU gone = a.m_hMenu;
    a.DestroyMenu();
    EXPECT_EQ(COwnerDrawnMenu::FromHandlePermanent(gone), nullptr);
    owner.DestroyWindow();
}

TEST(ToolBar, DropDownReachesTheToolbarsObjectAndImagesAreOwned) {
    Reflecting parent;
    ASSERT_TRUE(parent.CreateEx(0, "STATIC", "", WS_POPUP, CRect(0, 0, 200, 40), nullptr, 0));
    DropBar bar;
    ASSERT_TRUE(bar.CreateEx(0, WS_VISIBLE | TBSTYLE_FLAT, TBSTYLE_EX_DRAWDDARROWS, CRect(0, 0, 200, 30),
                             parent.m_hWnd, 1));
    TBBUTTON b{};
    b.idCommand = 42;
    b.fsState = TBSTATE_ENABLED;
    b.fsStyle = BTNS_WHOLEDROPDOWN;
    b.iString = reinterpret_cast<INT_PTR>("Menü");
    ASSERT_TRUE(bar.AddButtons(&b, 1));
    EXPECT_EQ(bar.CommandToIndex(42), 0);
    EXPECT_EQ(bar.GetButtonText(42), "Menü");

    NMTOOLBARA drop{};
    drop.hdr.hwndFrom = bar.m_hWnd;
    drop.hdr.code = TBN_DROPDOWN;
    drop.iItem = 42;
    EXPECT_EQ(parent.SendMessage(WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&drop)), TBDDRET_DEFAULT);
    EXPECT_EQ(bar.dropped, std::vector<int>{42});

    HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR24, 1, 0);
    bar.SetImageLists(list, list, nullptr);
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(bar.SendMessage(TB_GETIMAGELIST)), list);
    bar.SetImageLists(nullptr, nullptr, nullptr);
    EXPECT_EQ(bar.SendMessage(TB_GETIMAGELIST), 0);
    parent.DestroyWindow();
}
