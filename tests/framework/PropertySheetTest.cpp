#include "framework/App.h"
#include "framework/PropertySheet.h"
#include "framework/TestMode.h"

#include <gtest/gtest.h>

namespace {

constexpr UINT kNamePage = 101, kSwitchPage = 102, kName = 1001, kSwitch = 1002;

struct NamePage : CPropertyPage {
    NamePage() : CPropertyPage(kNamePage) {}
    CString name;
    int inits = 0, applies = 0;
    bool refuse = false, ready = false;
    bool OnInitDialog() override {
        ++inits;
        SetDlgItemText(kName, "Anfang");
        ready = true;
        return true;
    }
    bool OnCommand(WPARAM w, LPARAM) override {
        if (LOWORD(w) != kName || HIWORD(w) != EN_CHANGE || !ready) return false;
        SetModified(true);
        return true;
    }
    void OnOK() override { name = GetDlgItemText(kName); }
    bool OnApply() override {
        CPropertyPage::OnApply();
        ++applies;
        return !refuse;
    }
};

struct SwitchPage : CPropertyPage {
    SwitchPage() : CPropertyPage(kSwitchPage) {}
    int inits = 0, applies = 0;
    bool on = false;
    bool OnInitDialog() override {
        ++inits;
        return true;
    }
    bool OnApply() override {
        on = ::IsDlgButtonChecked(m_hWnd, kSwitch) == BST_CHECKED;
        ++applies;
        return true;
    }
};

class PropertySheetTest : public ::testing::Test {
  protected:
    void SetUp() override { fw::TestMode::Enable("", "PropertySheetTest"); }
    void TearDown() override { fw::TestMode::Disable(); }
};

} // namespace

TEST_F(PropertySheetTest, OkAppliesTheShownPagesAndAPageNeverShownStaysUnread) {
    NamePage first;
    SwitchPage second;
    CPropertySheet sheet(0, nullptr);
    sheet.AddPage(&first);
    sheet.AddPage(&second);
    fw::TestMode::PushAnswer("dialog sheet set:1001=Neu cmd:1");
    EXPECT_EQ(sheet.DoModal(), IDOK);
    EXPECT_EQ(first.name, "Neu");
    EXPECT_EQ(first.applies, 1);
    EXPECT_EQ(second.inits, 0);
    EXPECT_EQ(second.applies, 0);

    NamePage again;
    SwitchPage shown;
    CPropertySheet other(0, nullptr);
    other.AddPage(&again);
    other.AddPage(&shown);
    fw::TestMode::PushAnswer("dialog sheet page:1 cmd:1002 cmd:1");
    EXPECT_EQ(other.DoModal(), IDOK);
    EXPECT_TRUE(shown.on) << "a click changes the check box";
    EXPECT_EQ(shown.applies, 1);
}

TEST_F(PropertySheetTest, ARefusingPageKeepsTheSheetAndApplyFollowsTheModifiedFlag) {
    NamePage page;
    CPropertySheet sheet(0, nullptr);
    sheet.AddPage(&page);
    HWND window = sheet.CreateModeless();
    ASSERT_NE(window, nullptr);
    HWND apply = ::GetDlgItem(window, 12321);
    EXPECT_FALSE(::IsWindowEnabled(apply));
    page.SetDlgItemText(kName, "Anders");
    EXPECT_TRUE(::IsWindowEnabled(apply)) << "PSM_CHANGED";
    page.refuse = true;
    ::SendMessageA(window, WM_COMMAND, IDOK, 0);
    EXPECT_FALSE(sheet.IsEnded());
    page.refuse = false;
    ::SendMessageA(window, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(sheet.IsEnded());
    EXPECT_EQ(page.applies, 2);
    sheet.DestroyWindow();
}

TEST_F(PropertySheetTest, PagesByName) {
    RegisterPageClass("NamePage", []() -> CPropertyPage* { return new NamePage; });
    EXPECT_EQ(CreatePageByName("Unbekannt"), nullptr);
    std::unique_ptr<CPropertyPage> page = CreatePageByName("NamePage");
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->m_nIDTemplate, kNamePage);
    CPropertySheet sheet(0, nullptr);
    EXPECT_TRUE(sheet.AddPageByName("NamePage"));
    EXPECT_FALSE(sheet.AddPageByName("Unbekannt"));
    EXPECT_EQ(sheet.GetPageCount(), 1);
}
