#pragma once
// Drag and drop between the program's grids. The dragged data only says "a grid of this
// program"; what was dragged travels in the process-wide drag state, so a drag between two
// processes carries no block.

#include "framework/OleDragDrop.h"

#include <windows.h>

class CGridCtrl;

// The registered format's name and the 6 bytes the token holds.
constexpr const char* kGridDataFormat = "VORLAN.GridData";
constexpr const char kGridDataToken[6] = {'V', 'O', 'R', 'L', 'A', 'N'};

enum GridDragKind { kDragCells = 0, kDragRows = 1, kDragColumns = 2 };

struct GridDragState {
    int kind = kDragCells;
    CGridCtrl* source = nullptr;
    int anchorRow = -1, anchorColumn = -1;
    int endRow = -1, endColumn = -1;     // the block's end as the form gave it
    int offsetRow = 0, offsetColumn = 0; // cell block: the anchor less the pressed cell
    HWND acceptedBy = nullptr;           // the form that took the last drop
    // Set only while a drag started in this process runs: a token without it is stale.
    bool running = false;
};

GridDragState& TheGridDrag();

class CGridDropTarget : public COleDropTarget {
  public:
    // Registers the grid's window once; returns the grid data format, 0 on failure.
    CLIPFORMAT Register(CGridCtrl* grid);
    bool IsRegistered() const { return m_bRegistered; }
    void Revoke() override;

    DROPEFFECT OnDragEnter(CWnd* wnd, COleDataObject* data, DWORD keyState, CPoint point) override;
    DROPEFFECT OnDragOver(CWnd* wnd, COleDataObject* data, DWORD keyState, CPoint point) override;
    bool OnDrop(CWnd* wnd, COleDataObject* data, DROPEFFECT effect, CPoint point) override;
    void OnDragLeave(CWnd* wnd) override;
    DROPEFFECT OnDragScroll(CWnd* wnd, DWORD keyState, CPoint point) override;

  private:
    bool Serves(CWnd* wnd) const;
    CGridCtrl* m_pGridCtrl = nullptr;
    bool m_bRegistered = false;
};

class CGridDropSource : public COleDropSource {
  public:
    explicit CGridDropSource(int kind) : m_nDragKind(kind) {}
    SCODE GiveFeedback(DROPEFFECT effect) override;

  private:
    int m_nDragKind;
};
