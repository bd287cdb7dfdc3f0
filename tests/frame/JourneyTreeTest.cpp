// The menu tree under a person's hands: folders opened and closed again by clicks on their
// buttons and by keys ask the server once and show their entries once.
#include "tests/frame/JourneyFixture.h"

#include <commctrl.h>

#include <cstddef>
#include <cstring>

using demotrace::CountOf;

namespace {

class JourneyTree : public JourneyFixture {
  protected:
    HWND tree = nullptr;
    std::vector<std::string> seen;

    void SetUp() override {
        JourneyFixture::SetUp();
        harness::WriteTextFile(dir + "script.txt", "");
        Start("-u demo -p demo", "VORLAN experience");
        tree = harness::FindDescendant(main, WC_TREEVIEWA);
        ASSERT_NE(tree, nullptr);
        Take();
    }
    // The program's trace entries since the last look, kept for the failure messages.
    std::vector<std::string> Take() {
        std::vector<std::string> now = Trace();
        seen.insert(seen.end(), now.begin(), now.end());
        return now;
    }
    std::string Joined() const {
        std::string out = "program's trace:";
        for (const auto& l : seen)
            out += "\n  " + l;
        return out;
    }
    int Asked(const std::string& path) { return CountOf(Take(), "GETMNU^QCC(\"" + path + "\")"); }

    // A message whose lParam points to a block: the tree lives in the program's process, so
    // the block is copied there and back. The block's own address there is passed to fill in
    // pointers into it.
    LRESULT Remote(UINT message, WPARAM wParam, void* block, size_t size,
                   void (*point)(void* block, char* there) = nullptr) const {
        HANDLE process =
            OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, program.Id());
        if (!process) return 0;
        void* there = VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
        LRESULT result = 0;
        if (there) {
            if (point) point(block, static_cast<char*>(there));
            WriteProcessMemory(process, there, block, size, nullptr);
            result = SendMessageA(tree, message, wParam, reinterpret_cast<LPARAM>(there));
            ReadProcessMemory(process, there, block, size, nullptr);
            VirtualFreeEx(process, there, 0, MEM_RELEASE);
        }
        CloseHandle(process);
        return result;
    }
    HTREEITEM Next(HTREEITEM item, WPARAM how) const {
        return reinterpret_cast<HTREEITEM>(
            SendMessageA(tree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(item)));
    }
    std::string TextOf(HTREEITEM item) const {
        struct Block {
            TVITEMA it;
            char text[260];
        } block{};
        block.it.mask = TVIF_TEXT;
        block.it.hItem = item;
        block.it.cchTextMax = sizeof block.text;
        Remote(TVM_GETITEMA, 0, &block, sizeof block, [](void* b, char* there) {
            static_cast<Block*>(b)->it.pszText = there + offsetof(Block, text);
        });
        return std::string(block.text, strnlen(block.text, sizeof block.text));
    }
    // The texts of the item's children, in order.
    std::vector<std::string> Children(HTREEITEM item) const {
        std::vector<std::string> out;
        for (HTREEITEM c = Next(item, TVGN_CHILD); c; c = Next(c, TVGN_NEXT))
            out.push_back(TextOf(c));
        return out;
    }
    HTREEITEM ChildNamed(HTREEITEM parent, const std::string& text) const {
        for (HTREEITEM c = Next(parent, TVGN_CHILD); c; c = Next(c, TVGN_NEXT))
            if (TextOf(c) == text) return c;
        return nullptr;
    }
    HTREEITEM Root() const { return Next(nullptr, TVGN_ROOT); }
    HTREEITEM Selected() const { return Next(nullptr, TVGN_CARET); }
    bool Expanded(HTREEITEM item) const {
        return (SendMessageA(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED) &
                TVIS_EXPANDED) != 0;
    }
    // Where the tree itself places the item's button, if it shows one.
    bool ButtonPoint(HTREEITEM item, POINT& at) const {
        RECT r{};
        std::memcpy(&r, &item, sizeof item);
        if (!Remote(TVM_GETITEMRECT, TRUE, &r, sizeof r)) return false;
        // The middle of the button, not its edge.
        int first = -1, last = -1;
        for (int x = 0; x < r.left; ++x) {
            TVHITTESTINFO hit{};
            hit.pt = POINT{x, (r.top + r.bottom) / 2};
            Remote(TVM_HITTEST, 0, &hit, sizeof hit);
            if (hit.hItem == item && (hit.flags & TVHT_ONITEMBUTTON)) {
                if (first < 0) first = x;
                last = x;
            }
        }
        if (first < 0) return false;
        at = POINT{(first + last) / 2, (r.top + r.bottom) / 2};
        return true;
    }
    void ClickButton(HTREEITEM item) {
        POINT at{};
        ASSERT_TRUE(ButtonPoint(item, at)) << "no button for " << TextOf(item);
        person->Click(tree, at);
    }
    // Selects the item by keys from the root: Home, then Down until it is reached.
    void Reach(HTREEITEM item) {
        person->Press("Home");
        for (int i = 0; i < 40 && Selected() != item; ++i)
            person->Press("Down");
        ASSERT_EQ(Selected(), item) << TextOf(item);
    }
};

} // namespace

TEST_F(JourneyTree, FoldersReopenedByClicksAndKeysAskTheServerOnce) {
    HTREEITEM root = Root();
    ASSERT_NE(root, nullptr);
    HTREEITEM stamm = ChildNamed(root, "Stammdaten");
    ASSERT_NE(stamm, nullptr);
    const std::vector<std::string> entries{"Patienten [PAT]", "Kassen [KAS]", "Einstellungen",
                                           "Adressen [ADR]"};

    // Opened by a click on its button, closed by keys, opened again by a click.
    ClickButton(stamm);
    ASSERT_TRUE(harness::WaitUntil([&] { return Expanded(stamm); }, 5000));
    EXPECT_EQ(Asked("0,"), 1);
    EXPECT_EQ(Children(stamm), entries);
    person->Press("Ctrl+B");
    ASSERT_EQ(person->Focus(), tree);
    Reach(stamm);
    for (const char* close : {"Minus", "Left"}) {
        SCOPED_TRACE(close);
        Reach(stamm);
        person->Press(close);
        EXPECT_FALSE(Expanded(stamm));
        ClickButton(stamm);
        EXPECT_TRUE(harness::WaitUntil([&] { return Expanded(stamm); }, 5000));
    }
    EXPECT_EQ(Asked("0,"), 0) << Joined();
    EXPECT_EQ(Children(stamm), entries);

    // By keys alone: - and + of the keypad, Left and Right.
    for (const char* keys : {"Minus", "Plus", "Left", "Right"})
        person->Press(keys);
    EXPECT_TRUE(Expanded(stamm));
    EXPECT_EQ(Asked("0,"), 0) << Joined();
    EXPECT_EQ(Children(stamm), entries);

    // A folder the server has nothing for: asked when first opened, never again.
    HTREEITEM vorg = ChildNamed(root, "Vorg\xe4nge");
    ASSERT_NE(vorg, nullptr);
    ClickButton(vorg);
    EXPECT_EQ(Asked("1,"), 1);
    HTREEITEM empty = ChildNamed(vorg, "Ablage");
    ASSERT_NE(empty, nullptr);
    ClickButton(empty);
    EXPECT_EQ(Asked("1,2,"), 1);
    Reach(empty);
    for (const char* keys : {"Plus", "Minus", "Plus", "Right", "Left", "Right"})
        person->Press(keys);
    EXPECT_EQ(Children(empty), std::vector<std::string>{});
    // Its button, as long as it shows one.
    for (int i = 0; i < 2; ++i) {
        POINT at{};
        if (!ButtonPoint(empty, at)) break;
        person->Click(tree, at);
    }
    EXPECT_EQ(Asked("1,2,"), 0) << Joined();
    EXPECT_EQ(Children(vorg), (std::vector<std::string>{"Abschluss [NOK]", "Freigabe [FREI]", "Ablage"}));
}
