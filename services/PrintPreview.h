#pragma once
// A modal preview of printable pages with printing: it knows nothing of the content and drives
// a page painter (framework/PrintInfo.h) that computes its pages for a printer, draws one
// page into a given rectangle, and lets the printer go.

#include "framework/Controls.h"
#include "framework/Gdi.h"
#include "framework/ModalLoop.h"
#include "framework/Print.h"
#include "framework/PrintInfo.h"
#include "framework/SizableReBar.h"
#include "framework/Wnd.h"
#include "services/PrintPreviewMath.h"

#include <memory>

// wParam: absolute zoom mode (percent or fit mode); lParam: steps of 33 percent (0: use wParam).
constexpr UINT WM_PREVIEW_ZOOM = 1124;
// Read the page and user-value edits and show that page.
constexpr UINT WM_PREVIEW_PAGE = 1125;

class CPrintPreview;

// A label that lets the toolbar's background show through while themes draw the program.
class CTransparentStatic : public CWnd {
  public:
    bool Create(const char* text, HWND parent, int width, UINT id);
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    LRESULT OnEraseBackground(HDC dc);
};

class CPrintPreviewTool : public CToolBarCtrl {
  public:
    bool Create(CPrintPreview& preview);
    // Buttons and edits after a change of page, page count, user value or zoom.
    void Update(int page, int minPage, int maxPage, int userValue, int zoom);
    void ShowZoomMode(int mode, int zoom);
    std::string PageText() const;
    std::string UserText() const;
    bool ZoomHasFocus() const { return m_bZoomFocus; }
    std::string ZoomText() const;
    void ShowZoom(int zoom);
    void FocusPage();
    void FocusUser();

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    void AddButton(int image, UINT id);
    void AddSeparator();
    void AddLabel(CTransparentStatic& label, const char* text, int width);
    void AddEdit(CWnd& edit, UINT id);
    LRESULT OnChildCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnCtlColorStatic(HDC dc);

    HWND m_hPreview = nullptr;
    CWnd m_pageEdit;
    CWnd m_userEdit;
    CComboBox m_zoom;
    CFont m_font;
    CTransparentStatic m_pageLabel;
    CTransparentStatic m_countLabel;
    CTransparentStatic m_userLabel;
    bool m_bZoomFocus = false;
    int m_nShownZoom = 100;
};

// The page: white paper with a border and a shadow, the painter's drawing in its printable area.
class CPrintPreviewPage : public CWnd {
  public:
    CPrintPreviewPage(PagePainter painter, void* user, CPrintInfo& info, const preview::PaperGeometry& paper)
        : m_pPainter(painter), m_pUser(user), m_info(info), m_paper(paper) {}
    bool Create(HWND frame);
    // The page's printable area in its client coordinates.
    CRect PrintableRect() const;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    LRESULT OnPaint();
    void PaintPiece(HDC paintDC, const RECT& piece, const CRect& printable);
    void OnClick(int steps);

    PagePainter m_pPainter;
    void* m_pUser;
    CPrintInfo& m_info;
    const preview::PaperGeometry& m_paper;
};

// The scrolling area around the page.
class CPrintPreviewFrame : public CWnd {
  public:
    CPrintPreviewFrame(PagePainter painter, void* user, CPrintInfo& info, const preview::PaperGeometry& paper)
        : m_page(painter, user, info, paper) {}
    bool Create(HWND preview, const RECT& rect, UINT id);
    void SetPageSize(int width, int height);
    void SetZoomMode(int mode);
    int ZoomMode() const { return m_nZoomMode; }
    int EffectiveZoom() const { return m_nZoom; }
    void Relayout();
    void RepaintPage();
    CPrintPreviewPage& Page() { return m_page; }
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    LRESULT OnScroll(int bar, int code);
    LRESULT OnKeyDown(WPARAM key);
    void ScrollTo(int bar, int pos);

    CPrintPreviewPage m_page;
    int m_nZoomMode = preview::kZoomWholePage;
    int m_nZoom = 100;
    CSize m_pageSize;
    CSize m_scaled;
};

class CPrintPreview : public CWnd {
  public:
    CPrintPreview(CWnd* owner, PagePainter painter, void* user);
    ~CPrintPreview() override;

    // The modal loop's result (1 after printing, 0 when closed), -1 when no window came up.
    int DoModal();
    virtual bool Create();
    bool PreTranslateMessage(MSG* msg) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    // What tests and the toolbar read.
    int CurrentPage() const { return m_nPage; }
    int UserValue() const { return m_nUserValue; }
    const CPrintInfo& Info() const { return m_info; }
    CPrintPreviewFrame& Frame() { return m_frame; }
    CPrintPreviewTool& Tool() { return m_tool; }

  private:
    LRESULT OnCreate();
    LRESULT OnCommand(UINT id);
    LRESULT OnZoom(int mode, int steps);
    LRESULT OnPageMessage();
    void OnSize();
    void OnDestroy();
    bool ChooseDefaultPrinter();
    bool AdoptPrinter(HDC dc, HGLOBAL devMode, HGLOBAL devNames);
    void PrinterReady();
    void PrinterGone();
    void ComputeGeometry();
    void ShowPage(int page);
    void UpdateTool();
    void OnEnter();
    void OnPrint();
    void OnPrinterSetup();
    bool ChoosePrinter(CPrintDialog& dlg);
    void PrintPages(int first, int last);
    int CallPainter(int code, HDC dc);

    CWnd* m_pOwner;
    PagePainter m_pPainter;
    void* m_pUser;
    PRINTDLGA m_pd{};
    CPrinterDC m_printer;
    bool m_bPrinterReady = false;
    preview::PaperGeometry m_paper;
    CPrintInfo m_info;
    int m_nPage = 1;
    int m_nUserValue = 1;
    HACCEL m_hAccel = nullptr;
    CSizableReBarTool m_rebar;
    CPrintPreviewTool m_tool;
    CPrintPreviewFrame m_frame;
    std::unique_ptr<CModalLoop> m_pLoop;
};
