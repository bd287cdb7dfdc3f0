#pragma once
// The main frame's bars until the sizable rebar takes their place: a strip across the top
// that holds the memo box, and a strip on the left that holds the menu tree, whose right
// edge can be dragged to change its width. Notifications of the controls inside are
// reflected to them.

#include "framework/Wnd.h"

#include <vector>

class CPlainBar : public CWnd {
  public:
    enum Kind { Top, Side };
    static constexpr const char* kClassName = "VORLAN.PlainBar";
    static constexpr int kEdge = 5;

    bool Create(Kind kind, HWND frame, UINT id);
    // Top bar: a control placed after the previous ones, width pixels wide.
    void AddItem(HWND child, int width);
    // Side bar: the one window that fills it.
    void SetContent(HWND child) { m_hContent = child; }
    // The height the top bar needs; with a width, its items wrap onto further rows where
    // they would not fit beside each other.
    int NeededHeight(int width = 0) const;
    int m_nWidth = 0; // side bar; 0 until the frame first lays it out

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    void Layout();
    // Calls place(item, x, rowTop, rowHeight) for each item; returns the rows' total height.
    template <class Place> int WrapItems(int width, Place place) const;
    bool OnEdge(LPARAM lParam) const;

    struct Item {
        HWND window;
        int width;
    };
    Kind m_kind = Top;
    std::vector<Item> m_items;
    HWND m_hContent = nullptr;
    bool m_bDragging = false;
};
