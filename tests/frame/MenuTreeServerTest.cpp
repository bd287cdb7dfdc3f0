// The menu tree against the demo application on a real dbserver, through the client library:
// what the server's trace shows of the tree's dialogue, and what the tree shows of the menu.
#include "app/VORLANApp.h"
#include "common/MQuote.h"
#include "frame/MenuTreeBar.h"
#include "resources/resource.h"
#include "tests/app/AppFixture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

int ServerPort() {
    char buf[16] = {};
    return GetEnvironmentVariableA("VORLAN_DBSERVER_PORT", buf, sizeof buf) ? std::atoi(buf) : 0;
}

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

void Pump() {
    MSG m;
    for (int i = 0; i < 10; ++i) {
        while (::PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&m);
            ::DispatchMessageA(&m);
        }
        ::Sleep(5);
    }
}

class MenuTreeServerTest : public ::testing::Test {
  protected:
    Host host;
    CMenuTreeBar bar;

    void SetUp() override {
        ASSERT_NE(ServerPort(), 0) << "the dbserver fixture tells the port";
        apptest::PrepareApp("MenuTreeServerTest", MakeClientLibraryTransport());
        theApp.WriteProfileInt("Settings", "DisableWaitDialog", 1);
        theApp.m_hImageResources = ::GetModuleHandleA(nullptr);
        ASSERT_TRUE(theApp.Connect());
        ASSERT_NE(theApp.Login("127.0.0.1", ServerPort(), "", "", "", false), 0);
        ASSERT_TRUE(CWnd::RegisterWindowClass("MenuTreeServerTest.Host", 0, nullptr, nullptr, nullptr));
        ASSERT_TRUE(host.CreateEx(0, "MenuTreeServerTest.Host", "Host", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                  CRect(0, 0, 400, 500), nullptr, 0));
        ASSERT_TRUE(bar.Create(host.m_hWnd, ID_MENUTREE_BAR, CRect(0, 0, 300, 480)));
    }
    void TearDown() override {
        bar.DestroyWindow();
        host.DestroyWindow();
        apptest::ReleaseApp();
    }

    void LogIn(const std::string& user, const std::string& password) {
        std::string line = "W $$LOGIN^QCC(" + vorlan::MQuote(user) + "," + vorlan::MQuote(password) + ")";
        ASSERT_EQ(theApp.Execute(line.c_str()), "1");
        Trace();
    }
    // What this job has left in the server's trace since the last look.
    std::vector<std::string> Trace() {
        std::string job = theApp.m_strJob.str() + " ";
        std::string all =
            theApp.Execute("S n=$G(zSeen) F  S n=$O(^ZTRACE(n)) Q:n=\"\"  S zSeen=n W ^ZTRACE(n),$C(10)")
                .str();
        std::vector<std::string> lines;
        for (size_t at = 0, nl; (nl = all.find('\n', at)) != std::string::npos; at = nl + 1)
            if (all.compare(at, job.size(), job) == 0)
                lines.push_back(all.substr(at + job.size(), nl - at - job.size()));
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
};

using Lines = std::vector<std::string>;

} // namespace

TEST_F(MenuTreeServerTest, EachFolderIsOneGetmnuCall) {
    LogIn("demo", "demo");
    bar.SendMessage(WM_CREATEMENU);
    EXPECT_EQ(Trace(), (Lines{"INIMNU^QCC()", "GETMNU^QCC(\"\")"}));
    HTREEITEM root = Tree().GetRootItem();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(Tree().GetItemText(root), "Hauptmen\xfc");
    EXPECT_EQ(Texts(root), (Lines{"Stammdaten", "Vorg\xe4nge", "Termine [TER]", "Info"}));

    HTREEITEM folder = Find("Stammdaten");
    Tree().Expand(folder, TVE_EXPAND);
    Tree().Expand(folder, TVE_COLLAPSE);
    Tree().Expand(folder, TVE_EXPAND);
    EXPECT_EQ(Trace(), (Lines{"GETMNU^QCC(\"0,\")"}));
    EXPECT_EQ(Texts(folder), (Lines{"Patienten [PAT]", "Kassen [KAS]", "Einstellungen"}));

    Tree().SelectItem(Find("Patienten [PAT]"));
    bar.SendMessage(WM_COMMAND, 1);
    EXPECT_EQ(host.started, (Lines{"PAT"}));

    // A choice made elsewhere: the server names the path, the tree opens it.
    char memo[] = "AP";
    bar.PostMessage(WM_MENUSELECTED, reinterpret_cast<WPARAM>(memo));
    Pump();
    EXPECT_EQ(Trace(), (Lines{"SELECTM^QCC(\"AP\")", "GETMNU^QCC(\"0,2,\")"}));
    EXPECT_EQ(Tree().GetSelectedItem(), Find("Arbeitspl\xe4tze [AP]"));

    bar.SendMessage(WM_DESTROYMENU);
    EXPECT_EQ(Trace(), (Lines{"ENDMNU^QCC"}));
}

TEST_F(MenuTreeServerTest, EditModeSwitchesAnotherUsersMenu) {
    LogIn("admin", "admin");
    bar.StartMenuEditMode("entw");
    EXPECT_EQ(Trace(), (Lines{"ENDMNU^QCC", "INI998^QCC(\"entw\")", "INIMNU^QCC()", "GETMNU^QCC(\"\")",
                              "GETMNU^QCC(\"0,\")", "GETMNU^QCC(\"0,2,\")", "GETMNU^QCC(\"1,\")"}))
        << "the whole menu at once";
    HTREEITEM kassen = Find("Kassen [KAS]");
    ASSERT_NE(kassen, nullptr);
    EXPECT_TRUE(Tree().GetItemState(kassen, TVIS_BOLD) & TVIS_BOLD);
    Tree().SelectItem(kassen);
    bar.SendMessage(WM_COMMAND, 1);
    bar.SendMessage(WM_DESTROYMENU);
    EXPECT_EQ(Trace(), (Lines{"SETMNU^QCC(\"0,1\",0)", "SAV998^QCC(\"entw\")", "ENDMNU^QCC"}));

    LogIn("entw", "entw");
    EXPECT_EQ(theApp.Execute("K BGTEST W $$GETMNU^QCC(\"0,\")").Find("KAS"), -1) << "saved for entw";

    LogIn("admin", "admin");
    bar.SetMenuEditMode(false);
    bar.StartMenuEditMode("entw");
    Tree().SelectItem(Find("Kassen [KAS]"));
    bar.SendMessage(WM_COMMAND, 1);
    bar.SendMessage(WM_DESTROYMENU);
    LogIn("entw", "entw");
    EXPECT_NE(theApp.Execute("K BGTEST W $$GETMNU^QCC(\"0,\")").Find("KAS"), -1) << "on again";
}
