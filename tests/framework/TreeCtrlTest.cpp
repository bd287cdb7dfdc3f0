// The tree wrapper on a real tree view: items with data and a button before their children
// come, bold items, and children removed while their parent stays.
#include "framework/TreeCtrl.h"

#include <gtest/gtest.h>

TEST(TreeCtrl, ItemsCarryDataButtonsAndBold) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200, nullptr, nullptr,
                                  nullptr, nullptr);
    CTreeCtrl tree;
    ASSERT_TRUE(tree.Create(WS_VISIBLE | TVS_HASBUTTONS, RECT{0, 0, 200, 200}, parent, 1));
    HTREEITEM year = tree.InsertItem("2021", 31, 30, 7, true, nullptr);
    ASSERT_NE(year, nullptr);
    EXPECT_EQ(tree.GetItemData(year), 7);
    EXPECT_TRUE(tree.ItemHasChildren(year)) << "a button before any child is there";
    int image = 0, selected = 0;
    ASSERT_TRUE(tree.GetItemImage(year, image, selected));
    EXPECT_EQ(image, 31);
    EXPECT_EQ(selected, 30);
    for (const char* name : {"a", "b", "c"})
        tree.InsertItem(name, 0, 0, 0, false, year);
    EXPECT_EQ(tree.GetItemText(tree.GetChildItem(year)), "a");
    EXPECT_TRUE(tree.SetItemBold(year, true));
    EXPECT_EQ(tree.GetItemState(year, TVIS_BOLD), static_cast<UINT>(TVIS_BOLD));
    EXPECT_TRUE(tree.SetItemBold(year, false));
    EXPECT_EQ(tree.GetItemState(year, TVIS_BOLD), 0u);
    EXPECT_TRUE(tree.DeleteChildren(year));
    EXPECT_EQ(tree.GetChildItem(year), nullptr);
    EXPECT_EQ(tree.GetCount(), 1u);
    EXPECT_TRUE(tree.SetItemHasChildren(year, false));
    EXPECT_FALSE(tree.ItemHasChildren(year));
    tree.DestroyWindow();
    DestroyWindow(parent);
}
