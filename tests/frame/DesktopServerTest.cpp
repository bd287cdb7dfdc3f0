// The icon desktop's look and icons on the server: read after the log-in, stored by SaveInfos.
#include "tests/frame/ServerFrameFixture.h"
#include "tools/IconList.h"

#include <commctrl.h>

namespace {

std::string ItemText(HWND list, int item, int column) {
    char text[260] = {};
    LVITEMA lv{};
    lv.iSubItem = column;
    lv.pszText = text;
    lv.cchTextMax = sizeof text;
    SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lv));
    return text;
}

int ItemImage(HWND list, int item) {
    LVITEMA lv{};
    lv.mask = LVIF_IMAGE;
    lv.iItem = item;
    SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&lv));
    return lv.iImage;
}

} // namespace

TEST_F(ServerFrameTest, TheDesktopsLookAndIconsComeFromTheServerAndGoBack) {
    ASSERT_EQ(Once("W $D(^[%SYS]Z(\"DESKTOP\",\"demo\"))_$D(^Z(\"DESKTOP\",\"demo\"))"), "1010");
    LogIn();
    CIconList* desktop = frame->GetIconList();
    ASSERT_NE(desktop, nullptr);
    HWND list = desktop->m_hWnd;
    ASSERT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 4);
    EXPECT_EQ(ItemText(list, 0, 0), "Patienten");
    EXPECT_EQ(ItemText(list, 1, 0), "Die \"Kasse\"");
    EXPECT_EQ(ItemText(list, 1, 1), "KAS");
    EXPECT_EQ(ItemText(list, 1, 2), "1");
    EXPECT_EQ(ItemImage(list, 0), 2) << "the menu entry's picture less one";
    EXPECT_EQ(ItemText(list, 2, 2), "4711");
    EXPECT_EQ(ItemImage(list, 2), 2) << "BLD's menu entry's picture less one";
    EXPECT_EQ(desktop->m_crBackground, 8404992u);
    EXPECT_EQ(desktop->m_strFontFace, "Tahoma");
    EXPECT_TRUE(demotrace::Has(Trace(), "GETMNUPI^QCC(\"KAS\")"));

    EXPECT_EQ(ItemText(list, 3, 1), "AKT");

    // A fifth icon whose texts hold quotes, and a gap in the numbers on the server.
    LVITEMA lv{};
    lv.mask = LVIF_TEXT;
    lv.iItem = 4;
    lv.pszText = const_cast<char*>("Er sagt \"Hallo\"");
    int added = static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&lv)));
    ASSERT_EQ(added, 4);
    LVITEMA sub{};
    sub.iSubItem = 2;
    sub.pszText = const_cast<char*>("a\"b");
    SendMessageA(list, LVM_SETITEMTEXTA, 4, reinterpret_cast<LPARAM>(&sub));
    SendMessageA(list, LVM_SETITEMPOSITION, 4, MAKELPARAM(200, 40));
    frame->SaveInfos();
    EXPECT_EQ(Once("W ^Z(\"DESKTOP\",\"demo\",\"ICONS\",5,\"TEXT\")"), "Er sagt \"Hallo\"");
    EXPECT_EQ(Once("W ^Z(\"DESKTOP\",\"demo\",\"ICONS\",5,\"PARA\")"), "a\"b");
    EXPECT_EQ(Once("W ^Z(\"DESKTOP\",\"demo\",\"ICONS\",5,\"POSX\")"), "200");
    EXPECT_EQ(Once("W ^[%SYS]Z(\"DESKTOP\",\"demo\",\"TEXTFONT\")"), "Tahoma");

    Once("K ^Z(\"DESKTOP\",\"demo\",\"ICONS\",2)");
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    frame->SetInfos();
    ASSERT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 4) << "the walk goes past the gap";
    EXPECT_EQ(ItemText(list, 3, 0), "Er sagt \"Hallo\"");
    POINT at{};
    SendMessageA(list, LVM_GETITEMPOSITION, 3, reinterpret_cast<LPARAM>(&at));
    EXPECT_EQ(at.x, 200);
    EXPECT_EQ(at.y, 40);

    // The demo's desktop as it was.
    Once("K ^Z(\"DESKTOP\",\"demo\",\"ICONS\",5)");
    Once("S ^Z(\"DESKTOP\",\"demo\",\"ICONS\",2,\"TEXT\")=\"Die "
         "\"\"Kasse\"\"\",^(\"MEMO\")=\"KAS\",^(\"PARA\")=1,"
         "^(\"POSX\")=24,^(\"POSY\")=110");
}
