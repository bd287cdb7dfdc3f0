#pragma once
// A grid on a scripted owner window that records every notification and answers it from a
// script the test sets.

#include "controls/GridCtrl.h"
#include "framework/Wnd.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

struct NotifyRecord {
    UINT code;
    NM_GRIDVIEW record;
};

struct ScriptedOwner : CWnd {
    std::vector<NotifyRecord> notes;
    // Answers a notification (and may change the record, as the form does); unset: 1.
    std::function<LRESULT(NM_GRIDVIEW&)> answer;
    LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override {
        if (msg == WM_NOTIFY) {
            auto* nm = reinterpret_cast<NM_GRIDVIEW*>(l);
            notes.push_back({nm->hdr.code, *nm});
            return answer ? answer(*nm) : 1;
        }
        return CWnd::WindowProc(msg, w, l);
    }
    std::vector<UINT> Codes() const {
        std::vector<UINT> codes;
        for (const auto& n : notes) codes.push_back(n.code);
        return codes;
    }
};

class GridTest : public ::testing::Test {
  protected:
    ScriptedOwner owner;
    std::unique_ptr<CGridCtrl> grid;

    void SetUp() override {
        ASSERT_TRUE(CWnd::RegisterWindowClass("GridTestOwner", 0, nullptr, nullptr,
                                              reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1)));
        ASSERT_TRUE(owner.CreateEx(0, "GridTestOwner", "Besitzer", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                   CRect(0, 0, 700, 500), nullptr, 0));
        Make();
    }
    void TearDown() override {
        grid.reset();
        owner.DestroyWindow();
    }
    // A fresh grid: rows and columns with one fixed row and one fixed column.
    void Make(int rows = 10, int cols = 4, int fixedRows = 1, int fixedCols = 1) {
        grid.reset();
        grid = std::make_unique<CGridCtrl>(1, nullptr, 85, 2, cols, rows, cols, 20, fixedCols, fixedRows);
        ASSERT_TRUE(grid->Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 600, 400), owner.m_hWnd, kGridControlId));
        owner.notes.clear();
    }
};
