// The real program against the fixture's dbserver: its menu tree asks the demo application
// once per folder, and a leaf chosen in it opens a screen frame. What the program said to the
// server is read from the demo's trace global on a connection of the test's own.
#include "tests/frame/DemoTrace.h"
#include "tests/frame/ProgramFixture.h"
#include "tests/harness/Harness.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

using demotrace::CountOf;
using demotrace::OfJob;

// Memory in the process of a window, for the records and texts its messages point to.
class RemoteMemory {
  public:
    explicit RemoteMemory(HWND wnd) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(wnd, &pid);
        m_process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (m_process)
            m_base =
                static_cast<char*>(::VirtualAllocEx(m_process, nullptr, 4096, MEM_COMMIT, PAGE_READWRITE));
    }
    ~RemoteMemory() {
        if (m_base) ::VirtualFreeEx(m_process, m_base, 0, MEM_RELEASE);
        if (m_process) ::CloseHandle(m_process);
    }
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;
    char* At(size_t offset) const { return m_base ? m_base + offset : nullptr; }
    void Write(char* remote, const void* data, size_t size) {
        ::WriteProcessMemory(m_process, remote, data, size, nullptr);
    }
    void Read(const void* remote, void* out, size_t size) {
        ::ReadProcessMemory(m_process, remote, out, size, nullptr);
    }

  private:
    HANDLE m_process = nullptr;
    char* m_base = nullptr;
};

std::string RemoteItemText(HWND tree, HTREEITEM item) {
    RemoteMemory memory(tree);
    if (!memory.At(0)) return "(no access)";
    TVITEMA tv{};
    tv.mask = TVIF_TEXT | TVIF_HANDLE;
    tv.hItem = item;
    tv.pszText = memory.At(512);
    tv.cchTextMax = 1024;
    memory.Write(memory.At(0), &tv, sizeof tv);
    ::SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(memory.At(0)));
    memory.Read(memory.At(0), &tv, sizeof tv);
    char text[1024] = {};
    memory.Read(tv.pszText, text, sizeof text - 1);
    return text;
}

HTREEITEM Next(HWND tree, UINT relation, HTREEITEM item = nullptr) {
    return reinterpret_cast<HTREEITEM>(
        ::SendMessageA(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

class MenuTreeProgramTest : public ProgramFixture {};

using Lines = std::vector<std::string>;

} // namespace

TEST_F(MenuTreeProgramTest, TheTreeAsksOncePerFolderFollowsChoicesAndALeafOpensItsScreen) {
    demotrace::TraceReader trace(harness::DbServerPort());
    harness::Process program;
    ASSERT_TRUE(program.Start(Command("-u demo -p demo")));
    HWND main = harness::WaitForWindow(program.Id(), "VORLAN.MainWindow", 30000);
    ASSERT_NE(main, nullptr);
    HWND tree = nullptr;
    ASSERT_TRUE(harness::WaitUntil(
        [&] {
            HWND bar = harness::FindDescendant(main, "MenuBarView");
            tree = bar ? ::GetDlgItem(bar, 1011) : nullptr;
            return tree && ::IsWindowEnabled(tree);
        },
        30000))
        << "logged in without a click, the tree built";

    // The program's job is the one that built the menu; the log-in ends with the pictures of
    // the icon desktop's icons, which one line asks for one after the other: the log-in is
    // over when the last icon's has been asked for.
    std::string icons = trace.Run("S n=$O(^Z(\"DESKTOP\",\"demo\",\"ICONS\",\"\"),-1) "
                                  "W:n]\"\" $G(^Z(\"DESKTOP\",\"demo\",\"ICONS\",n,\"MEMO\"))");
    ASSERT_FALSE(icons.empty()) << "the demo user has icons";
    const std::string lastIcon = " GETMNUPI^QCC(\"" + icons + "\")";
    Lines lines;
    ASSERT_TRUE(harness::WaitUntil(
        [&] {
            Lines more = trace.Next();
            lines.insert(lines.end(), more.begin(), more.end());
            for (const auto& l : lines)
                if (l.find(lastIcon) != std::string::npos) return true;
            return false;
        },
        30000));
    std::string job;
    for (const auto& l : lines)
        if (l.find(" INIMNU^QCC()") != std::string::npos) job = l.substr(0, l.find(' '));
    ASSERT_FALSE(job.empty());
    Lines own = OfJob(lines, job);
    EXPECT_EQ(CountOf(own, "GETMNU^QCC(\"\")"), 1);
    EXPECT_TRUE(demotrace::Has(own, "LOGIN^QCC(\"demo\",\"...\")"));

    HTREEITEM root = Next(tree, TVGN_ROOT);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(RemoteItemText(tree, root), "Hauptmen\xfc");
    HTREEITEM folder = Next(tree, TVGN_CHILD, root);
    EXPECT_EQ(RemoteItemText(tree, folder), "Stammdaten");
    ::SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(folder));
    ::SendMessageA(tree, TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(folder));
    ::SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(folder));
    EXPECT_EQ(OfJob(trace.Next(), job), (Lines{"GETMNU^QCC(\"0,\")"})) << "one call for the folder";

    // A choice made elsewhere: the tree asks the server for its path and opens the folders on it.
    HWND bar = ::GetParent(tree);
    RemoteMemory memo(bar);
    memo.Write(memo.At(0), "AP", 3);
    ::PostMessageA(bar, 0x403 /* WM_MENUSELECTED */, reinterpret_cast<WPARAM>(memo.At(0)), 0);
    EXPECT_TRUE(harness::WaitUntil(
        [&] { return RemoteItemText(tree, Next(tree, TVGN_CARET)) == "Arbeitspl\xe4tze [AP]"; }, 10000));
    EXPECT_EQ(OfJob(trace.Next(), job), (Lines{"SELECTM^QCC(\"AP\")", "GETMNU^QCC(\"0,2,\")"}));

    HTREEITEM leaf = Next(tree, TVGN_CHILD, folder);
    ASSERT_EQ(RemoteItemText(tree, leaf), "Patienten [PAT]");
    ::SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(leaf));
    ::PostMessageA(tree, WM_KEYDOWN, VK_RETURN, 0);
    HWND frame = nullptr;
    EXPECT_TRUE(harness::WaitUntil(
        [&] { return (frame = harness::FindDescendant(main, "VORLAN MDI Window")) != nullptr; }, 20000))
        << "the leaf opened a screen frame";
    own = OfJob(trace.Next(), job);
    ASSERT_FALSE(own.empty());
    EXPECT_EQ(own[0], "SELECTM^QCC(\"PAT\")");

    ::PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.Wait(30000), 0);
    own = OfJob(trace.Next(), job);
    EXPECT_EQ(CountOf(own, "ENDMNU^QCC"), 1);
    EXPECT_EQ(CountOf(own, "LOGOUT^QCC"), 1);
}
