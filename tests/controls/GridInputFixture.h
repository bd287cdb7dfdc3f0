#pragma once
// A grid on a scripted owner window that records every notification and answers it from a
// script: per code a fixed answer (1 unless set) and, where a test needs it, a step of its
// own run inside the notification.

#include "controls/GridCtrl.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

struct Notified {
    UINT code;
    int row, col, row2, col2, extra;
    INT_PTR value;
    HWND from;
    std::string text; // code 12: the edit's text; code 17: the dropped text
};

class ScriptedOwner : public CWnd {
  public:
    std::vector<Notified> notes;
    std::map<UINT, LRESULT> answers;
    std::map<UINT, std::function<void(NM_GRIDVIEW&)>> steps;
    std::vector<WPARAM> keys;
    int contextMenus = 0;

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        switch (msg) {
        case WM_NOTIFY: return OnNotify(reinterpret_cast<NM_GRIDVIEW*>(lParam));
        case WM_KEYDOWN: keys.push_back(wParam); return 0;
        case WM_CONTEXTMENU: ++contextMenus; return 0;
        default: return CWnd::WindowProc(msg, wParam, lParam);
        }
    }
    std::vector<UINT> Codes() const {
        std::vector<UINT> codes;
        for (const Notified& n : notes)
            codes.push_back(n.code);
        return codes;
    }
    const Notified* Last(UINT code) const {
        for (auto it = notes.rbegin(); it != notes.rend(); ++it)
            if (it->code == code) return &*it;
        return nullptr;
    }
    size_t Count(UINT code) const {
        size_t n = 0;
        for (const Notified& note : notes)
            n += note.code == code;
        return n;
    }

  private:
    LRESULT OnNotify(NM_GRIDVIEW* nm) {
        Notified n{nm->hdr.code, nm->iRow,   nm->iColumn,      nm->iRow2, nm->iColumn2,
                   nm->iExtra,   nm->lValue, nm->hdr.hwndFrom, ""};
        if (nm->hdr.code == GVN_DROPTEXT && nm->lValue) n.text = reinterpret_cast<const char*>(nm->lValue);
        notes.push_back(n);
        auto step = steps.find(nm->hdr.code);
        if (step != steps.end()) step->second(*nm);
        auto answer = answers.find(nm->hdr.code);
        return answer == answers.end() ? 1 : answer->second;
    }
};

// Opens the grid's protected parts to the tests.
class TestGrid : public CGridCtrl {
  public:
    using CGridCtrl::CGridCtrl;
    using CGridCtrl::m_bFocusFrameShown;
    using CGridCtrl::m_cfGridData;
    using CGridCtrl::m_hInPlaceEdit;
    using CGridCtrl::m_HoverCell;
    using CGridCtrl::m_hTooltip;
    using CGridCtrl::m_idConfirmedCell;
    using CGridCtrl::m_nWheelLines;
    using CGridCtrl::m_pDropTarget;
};

class GridTest : public ::testing::Test {
  protected:
    ScriptedOwner owner;
    TestGrid grid;

    static constexpr int kRows = 12; // one header row
    static constexpr int kCols = 5;  // one header column

    void SetUp() override {
        ASSERT_TRUE(CWnd::RegisterWindowClass("GridTest.Owner", CS_DBLCLKS, nullptr, nullptr, nullptr));
        ASSERT_TRUE(owner.CreateEx(0, "GridTest.Owner", "Gitter", WS_POPUP | WS_VISIBLE,
                                   CRect(20, 20, 520, 320), nullptr, 0));
        ASSERT_TRUE(grid.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 480, 300), owner, kGridControlId));
        Fill(grid, kRows, kCols);
        ::SetForegroundWindow(owner);
        ::SetActiveWindow(owner);
        ::SetFocus(grid);
    }
    void TearDown() override {
        ReleaseKeys();
        if (grid.IsWindow()) grid.DestroyWindow();
        if (owner.IsWindow()) owner.DestroyWindow();
    }
    static void Fill(CGridCtrl& g, int rows, int cols) {
        g.SetRowCount(rows);
        g.SetColumnCount(cols);
        g.SetFixedRowCount(1);
        g.SetFixedColumnCount(1);
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < cols; ++c)
                g.SetItemText(r, c, (std::to_string(r) + "/" + std::to_string(c)).c_str());
    }
    // Holds Ctrl and Shift as GetKeyState sees them.
    static void HoldKeys(bool ctrl, bool shift) {
        BYTE state[256];
        ::GetKeyboardState(state);
        state[VK_CONTROL] = ctrl ? 0x80 : 0;
        state[VK_SHIFT] = shift ? 0x80 : 0;
        ::SetKeyboardState(state);
    }
    static void ReleaseKeys() { HoldKeys(false, false); }
    void Key(UINT key) { grid.SendMessage(WM_KEYDOWN, key, 0); }
    CPoint CellCentre(int row, int col) {
        RECT r{};
        EXPECT_TRUE(grid.GetCellRect(row, col, &r)) << row << "/" << col;
        return CPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    static void Pump() {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    // Pumps messages until the condition holds or about two seconds pass.
    template <class F> static bool PumpUntil(F done) {
        for (int i = 0; i < 200 && !done(); ++i) {
            Pump();
            ::Sleep(10);
        }
        return done();
    }
};
