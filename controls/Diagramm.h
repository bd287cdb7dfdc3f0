#pragma once
// The chart of server-described forms: up to 100 series (lines, lines with dots, bars) over a
// rastered pair of axes with title, captions, labels and legend, all read from a server array
// named by the window text. It shows a tooltip for the point under the mouse, copies itself
// as a metafile, prints itself on one page and opens an enlarged copy on a double click.

#include "controls/ChartLogic.h"
#include "framework/Wnd.h"

#include <windows.h>

#include <string>

class CDiagramm : public CWnd {
  public:
    static constexpr const char* kClassName = "Diagramm";
    static constexpr const char* kToolTipClass = "VORLAN ToolTip";
    static constexpr UINT_PTR kTipTimer = 512;
    static constexpr UINT kTipDelay = 100;
    static constexpr UINT kCopyCommand = 57634;
    static constexpr UINT kPrintCommand = 32778;

    // The road to the server, given by the application (none: charts stay empty).
    static void SetExecutor(chart::Executor executor);

    CDiagramm() = default;
    ~CDiagramm() override;

    // A child of the form (window class "Diagramm", registered by the form); the object
    // deletes itself with its window. When creation fails it stays for the caller to delete.
    bool Create(HWND parent, const RECT& rect, UINT id, void* extra = nullptr);
    // The enlarged copy of a chart: a top-level window over the middle of the main window.
    static CDiagramm* Create(const CDiagramm& source);

    void SetContent(const char* name);
    bool CopyToClipboard();
    bool Print();
    // The chart's units onto the client area (the legend below the plot).
    void SetMapping(HDC dc, const RECT& client) const;
    // The whole chart into dc over `client`; with the focus frame when asked.
    void Draw(HDC dc, const RECT& client, bool focusFrame) const;

    const chart::Content& Content() const { return m_content; }
    // Chart units below the plot: the X labels and one row per series with a legend text.
    int LegendHeight() const;
    bool IsEmbedded() const { return m_bEmbedded; }
    HWND ToolTipWindow() const { return m_tip; }

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  protected:
    void PostNcDestroy() override;

  private:
    void OnPaint();
    void OnMouseMove(POINT point);
    void OnTimer(UINT_PTR id);
    void OnContextMenu(WPARAM wParam, LPARAM lParam);
    void OnFocus(bool focused);
    void ShowTip(const std::string& text, POINT screen);
    void HideTip();
    void StopTipTimer();
    chart::Mapping ClientMapping() const;
    chart::Hit HitAt(POINT client) const;
    std::string HintText() const;

    bool m_bEmbedded = true;
    bool m_bPressed = false;
    HFONT m_hFont = nullptr;
    HWND m_tip = nullptr;
    UINT_PTR m_nTimer = 0;
    POINT m_ptFirst{-1, -1};
    chart::Hit m_hitFirst;
    chart::Hit m_hitMove;
    POINT m_ptShown{-1, -1};
    chart::Content m_content;
    bool m_bFocus = false;
};
