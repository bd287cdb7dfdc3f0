// The report-list wrapper on a real list view: columns, their order and widths, paging,
// selection and string widths.
#include "framework/ListView.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class ListViewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&icc);
        parent = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr,
                                 nullptr, nullptr);
        ASSERT_TRUE(list.Create(WS_VISIBLE, RECT{0, 0, 300, 200}, parent, 1015));
    }
    void TearDown() override {
        list.DestroyWindow();
        DestroyWindow(parent);
    }
    HWND parent = nullptr;
    CReportList list;
};

} // namespace

TEST_F(ListViewTest, ColumnsKeepTheirWidthsAndReportTheirOrder) {
    EXPECT_TRUE(GetWindowLongPtrA(list.m_hWnd, GWL_STYLE) & LVS_REPORT);
    EXPECT_EQ(list.GetColumnCount(), 0);
    EXPECT_TRUE(list.GetColumnOrder().empty());
    list.InsertColumn(0, "Stadt", 120);
    list.InsertColumn(1, "PLZ", 60);
    EXPECT_EQ(list.GetColumnCount(), 2);
    EXPECT_TRUE(list.SetColumnWidth(1, 75));
    EXPECT_EQ(list.GetColumnWidth(1), 75);
    int dragged[] = {1, 0};
    list.SendMessage(LVM_SETCOLUMNORDERARRAY, 2, reinterpret_cast<LPARAM>(dragged));
    EXPECT_EQ(list.GetColumnOrder(), (std::vector<int>{1, 0}));
}

TEST_F(ListViewTest, PagingSelectionAndMeasuring) {
    list.InsertColumn(0, "Stadt", 120);
    for (int i = 0; i < 40; ++i) {
        std::string text = "Ort " + std::to_string(i);
        list.InsertItem(i, text.c_str());
        list.SetItemText(i, 0, text.c_str());
    }
    EXPECT_EQ(list.GetItemCount(), 40);
    int perPage = list.GetCountPerPage();
    EXPECT_GT(perPage, 0);
    EXPECT_LT(perPage, 40);
    EXPECT_GT(list.GetRowHeight(), 0);
    EXPECT_EQ(list.GetTopIndex(), 0);
    list.EnsureVisible(39);
    EXPECT_GT(list.GetTopIndex(), 0);

    EXPECT_EQ(list.GetSelectedItem(), -1);
    EXPECT_TRUE(list.SelectItem(5));
    EXPECT_EQ(list.GetSelectedItem(), 5);
    EXPECT_EQ(list.GetItemText(5, 0), "Ort 5");

    EXPECT_GT(list.GetStringWidth("Mönchengladbach"), list.GetStringWidth("Ulm"));
}

TEST_F(ListViewTest, RowsSortByTheCallerAndTitlesShowOneArrow) {
    list.InsertColumn(0, "Nr", 60, LVCFMT_LEFT);
    list.InsertColumn(1, "Betrag", 80, LVCFMT_RIGHT);
    const char* numbers[] = {"3", "10", "7"};
    for (int i = 0; i < 3; ++i)
        list.InsertItem(i, numbers[i], -1, 100 + i);
    EXPECT_EQ(list.GetItemData(1), 101);
    list.SortItems([this](int a, int b) {
        return std::stoi(list.GetItemText(a, 0).str()) - std::stoi(list.GetItemText(b, 0).str());
    });
    EXPECT_EQ(list.GetItemText(0, 0), "3");
    EXPECT_EQ(list.GetItemText(2, 0), "10");
    EXPECT_EQ(list.GetItemData(2), 101) << "the data goes with its row";

    HIMAGELIST arrows = ImageList_Create(8, 8, ILC_COLOR24 | ILC_MASK, 2, 0);
    list.SetHeaderImageList(arrows);
    EXPECT_EQ(list.GetSortArrow(1), -1);
    EXPECT_TRUE(list.SetSortArrow(1, 1));
    EXPECT_EQ(list.GetSortArrow(1), 1);
    EXPECT_TRUE(list.SetSortArrow(1, -1));
    EXPECT_EQ(list.GetSortArrow(1), -1);
    EXPECT_TRUE(list.DeleteColumn(0));
    EXPECT_EQ(list.GetColumnCount(), 1);
    list.SetHeaderImageList(nullptr);
    ImageList_Destroy(arrows);
}
