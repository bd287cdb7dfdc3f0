// Printing the grid through the print preview: pages of a fixed logical size, the fixed rows
// repeated, three header texts on top and a footer the server may reword.
#include "controls/GridCtrl.h"
#include "controls/GridPrintLayout.h"

#include "app/FontSetting.h"
#include "app/ProtocolLog.h"
#include "framework/App.h"
#include "services/PrintPreview.h"

#include <ctime>

namespace {

// Measured exactly as written: the average width comes out of these 52 characters.
const char kMeasure[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSATUVWXYZ";
constexpr UINT kTextFlags = DT_VCENTER | DT_NOCLIP | DT_NOPREFIX;
constexpr UINT kFooterFlags = DT_SINGLELINE | DT_VCENTER | DT_NOCLIP | DT_NOPREFIX;

int PagesAcross(const CPrintInfo* info) {
    int value = info && info->m_lpUserData ? *static_cast<const int*>(info->m_lpUserData) : 1;
    return gridprint::PagesAcross(value);
}

// A bold copy of the print font, selected for the object's life.
class CBoldPrintFont {
  public:
    CBoldPrintFont(CDC* dc, const CFont& font) : m_dc(dc) {
        LOGFONTA lf{};
        if (font.GetLogFont(lf)) {
            lf.lfWeight = FW_BOLD;
            m_bold.CreateFontIndirect(lf);
        }
        if (m_bold.m_hObject) m_old = dc->SelectObject(m_bold.m_hObject);
    }
    ~CBoldPrintFont() {
        if (m_old) m_dc->SelectObject(m_old);
    }
    CBoldPrintFont(const CBoldPrintFont&) = delete;
    CBoldPrintFont& operator=(const CBoldPrintFont&) = delete;

  private:
    CDC* m_dc;
    CFont m_bold;
    HGDIOBJ m_old = nullptr;
};

void LineAlong(CDC* dc, int left, int right, int y) {
    HGDIOBJ old = dc->SelectStockObject(BLACK_PEN);
    dc->MoveTo(left, y);
    dc->LineTo(right, y);
    dc->SelectObject(old);
}

} // namespace

void CGridCtrl::PrintPreview(const char* left, const char* centre, const char* right) {
    vorlan::TraceFunction("CGridCtrl::PrintPreview");
    m_strHeaderLeft = left ? left : "";
    m_strHeaderCentre = centre ? centre : "";
    m_strHeaderRight = right ? right : "";
    m_nHeaderLines =
        gridprint::HeaderLineCount(m_strHeaderLeft.str(), m_strHeaderCentre.str(), m_strHeaderRight.str());
    CWinApp* app = AfxGetApp();
    CPrintPreview preview(app ? app->m_pMainWnd : nullptr, &CGridCtrl::PrintPageCallback, this);
    preview.DoModal();
}

int CGridCtrl::PrintPageCallback(int code, CDC* dc, CPrintInfo* info, void* user) {
    auto* grid = static_cast<CGridCtrl*>(user);
    if (!grid) return 0;
    switch (code) {
    case kPagePrinterReady: grid->OnBeginPrinting(dc, info); break;
    case kPagePrinterGone: grid->OnEndPrinting(dc, info); break;
    case kPageDraw: grid->OnPrintPage(dc, info); break;
    default: break;
    }
    return 1;
}

void CGridCtrl::OnBeginPrinting(CDC* dc, CPrintInfo* info) {
    vorlan::TraceFunction("CGridCtrl::OnBeginPrinting");
    m_pPrintPages.reset();
    if (!dc || !info || GetRowCount() <= m_nFixedRows || !m_hWnd) return;
    {
        CClientDC screen(m_hWnd);
        if (!screen) return;
        int screenX = ::GetDeviceCaps(screen, LOGPIXELSX), screenY = ::GetDeviceCaps(screen, LOGPIXELSY);
        m_nPrintXFactor = screenX ? dc->GetDeviceCaps(LOGPIXELSX) * 1000 / screenX : 1000;
        m_nPrintYFactor = screenY ? dc->GetDeviceCaps(LOGPIXELSY) * 1000 / screenY : 1000;
    }
    int across = PagesAcross(info);
    // The setting's size counts as character height in the page's units.
    FontSetting setting = ReadFontSetting(vorlan::kFontSlotPrint);
    CString face = setting.name.IsEmpty() ? CString("Times New Roman") : setting.name;
    int size = setting.name.IsEmpty() || setting.points == 0 ? -9 : -setting.points;
    m_PrinterFont.DeleteObject();
    m_PrinterFont.Attach(::CreateFontA(size / across, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                       DEFAULT_CHARSET, OUT_CHARACTER_PRECIS, CLIP_CHARACTER_PRECIS,
                                       DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face));
    HGDIOBJ old = dc->SelectObject(m_PrinterFont.m_hObject);
    CSize extent = dc->GetTextExtent(kMeasure, 52);
    dc->SelectObject(old);
    m_nPrintCharWidth = extent.cx / 52 > 0 ? extent.cx / 52 : 1;
    m_nPrintLineHeight = extent.cy > 0 ? extent.cy : 1;

    m_nPrintableWidth = dc->GetDeviceCaps(HORZRES);
    m_nPrintableHeight = dc->GetDeviceCaps(VERTRES);
    m_nPageWidth = 8 * m_nPrintCharWidth + GetVirtualWidth() / across;
    m_nPageHeight = m_nPrintableWidth > 0 ? ::MulDiv(m_nPageWidth, m_nPrintableHeight, m_nPrintableWidth) : 0;
    m_nBodyHeight = m_nPageHeight - (m_nHeaderLines + 4) * m_nPrintLineHeight;

    std::vector<int> heights;
    heights.reserve(static_cast<size_t>(GetRowCount() - m_nFixedRows));
    for (int row = m_nFixedRows; row < GetRowCount(); ++row)
        heights.push_back(GetRowHeight(row));
    m_pPrintPages = std::make_unique<gridprint::Pagination>(std::move(heights), GetFixedRowHeight(),
                                                            m_nBodyHeight, across);
    info->SetMinPage(1);
    info->SetMaxPage(static_cast<UINT>(m_pPrintPages->PageCount()));
    info->m_nCurPage = 1;
}

void CGridCtrl::OnPrintPage(CDC* dc, CPrintInfo* info) {
    vorlan::TraceFunction("CGridCtrl::OnPrintPage");
    if (!dc || !info || !m_PrinterFont.m_hObject || !m_pPrintPages || m_nPageWidth <= 0 || m_nPageHeight <= 0)
        return;
    int saved = dc->SaveDC();
    HGDIOBJ oldFont = dc->SelectObject(m_PrinterFont.m_hObject);
    m_bPrinting = true;

    int across = PagesAcross(info);
    gridprint::PagePlace place = gridprint::PlaceOfPage(static_cast<int>(info->m_nCurPage), across);
    int offset = place.slice * m_nPageWidth;

    const CRect& draw = info->m_rectDraw;
    dc->SetMapMode(MM_ANISOTROPIC);
    dc->SetWindowExt(m_nPageWidth, m_nPageHeight);
    dc->OffsetViewportOrg(draw.left, draw.top);
    dc->SetViewportExt(draw.Width(), draw.Height());

    // The header stays at the page's left on every slice across, like the footer.
    int headerHeight = m_nHeaderLines * m_nPrintLineHeight;
    dc->SetWindowOrg(-4 * m_nPrintCharWidth, 0);
    CRect header(0, 0, m_nPageWidth - 8 * m_nPrintCharWidth, headerHeight);
    info->m_rectDraw = header;
    PrintHeader(dc, info);
    dc->SetWindowOrg(offset - 4 * m_nPrintCharWidth, -(headerHeight + m_nPrintLineHeight));

    const gridprint::Pagination& pages = *m_pPrintPages;

    int top = 0;
    if (pages.BandHasFixedRows(place.band)) {
        PrintFixedRows(dc, info);
        top = GetFixedRowHeight();
    }
    {
        // A row taller than the body is cut at the body's end rather than left out.
        int body = dc->SaveDC();
        CRect clip(offset - 4 * m_nPrintCharWidth, 0, offset + m_nPageWidth, m_nBodyHeight);
        dc->IntersectClipRect(clip);
        int first = m_nFixedRows + pages.BandFirstRow(place.band);
        int end = m_nFixedRows + pages.BandEndRow(place.band);
        for (int row = first; row < end && row < GetRowCount(); ++row)
            top = PrintRow(dc, row, top, false);
        dc->RestoreDC(body);
    }

    CRect footer(0, 0, m_nPageWidth - 8 * m_nPrintCharWidth, 2 * m_nPrintLineHeight);
    dc->SetWindowOrg(-4 * m_nPrintCharWidth, 2 * m_nPrintLineHeight - m_nPageHeight);
    info->m_rectDraw = footer;
    PrintFooter(dc, info);
    dc->SetWindowOrg(0, 0);
    info->m_rectDraw = draw;
    dc->SelectObject(oldFont);
    dc->RestoreDC(saved);
    m_bPrinting = false;
}

// The cells of one row side by side from the left edge; returns the next row's top. Cells off
// the page's slice are left out: a printer keeps what lies outside its page in the job.
int CGridCtrl::PrintRow(CDC* dc, int row, int top, bool fixed) {
    int bottom = top + GetRowHeight(row) - 1;
    int right = -1;
    for (int col = 0; col < GetColumnCount(); ++col) {
        CRect rect(right + 1, top, right + GetColumnWidth(col), bottom);
        right = rect.right;
        if (!dc->RectVisible(CRect(rect.left, rect.top, rect.right + 1, rect.bottom + 1))) continue;
        if (fixed) {
            DrawFixedCell(dc, row, col, rect);
        } else {
            PrintGridLines(dc, row, col, rect);
            DrawCell(dc, row, col, rect);
        }
    }
    return bottom + 1;
}

void CGridCtrl::PrintGridLines(CDC* dc, int row, int col, const CRect& rect) {
    if (m_nGridLines == 0) return;
    HGDIOBJ old =
        dc->SelectObject(m_hGridPen ? static_cast<HGDIOBJ>(m_hGridPen) : ::GetStockObject(BLACK_PEN));
    if (m_nGridLines == 3 || m_nGridLines == 1) {
        dc->MoveTo(rect.left, rect.bottom);
        dc->LineTo(rect.right + 1, rect.bottom);
        if (row == 0) {
            dc->MoveTo(rect.left, rect.top);
            dc->LineTo(rect.right + 1, rect.top);
        }
    }
    if (m_nGridLines == 3 || m_nGridLines == 2) {
        dc->MoveTo(rect.right, rect.top);
        dc->LineTo(rect.right, rect.bottom + 1);
        if (col == 0) {
            dc->MoveTo(rect.left, rect.top);
            dc->LineTo(rect.left, rect.bottom + 1);
        }
    }
    dc->SelectObject(old);
}

void CGridCtrl::PrintFixedRows(CDC* dc, CPrintInfo*) {
    int top = 0;
    for (int row = 0; row < m_nFixedRows && row < GetRowCount(); ++row)
        top = PrintRow(dc, row, top, true);
}

void CGridCtrl::PrintHeader(CDC* dc, CPrintInfo* info) {
    if (m_nHeaderLines <= 0 || !info) return;
    CBoldPrintFont bold(dc, m_PrinterFont);
    int mode = dc->SetBkMode(TRANSPARENT);
    CRect rect = info->m_rectDraw;
    dc->DrawText(m_strHeaderLeft, -1, &rect, kTextFlags);
    rect = info->m_rectDraw;
    dc->DrawText(m_strHeaderCentre, -1, &rect, kTextFlags | DT_CENTER);
    rect = info->m_rectDraw;
    dc->DrawText(m_strHeaderRight, -1, &rect, kTextFlags | DT_RIGHT);
    LineAlong(dc, info->m_rectDraw.left, info->m_rectDraw.right, info->m_rectDraw.bottom);
    dc->SetBkMode(mode);
}

std::string CGridCtrl::ServerText(const char* line) const {
    return m_serverReader ? m_serverReader(line) : std::string();
}

void CGridCtrl::PrintFooter(CDC* dc, CPrintInfo* info) {
    if (!info) return;
    CBoldPrintFont bold(dc, m_PrinterFont);
    int mode = dc->SetBkMode(TRANSPARENT);
    CRect rect = info->m_rectDraw;
    LineAlong(dc, rect.left, rect.right, rect.top);

    int page = static_cast<int>(info->m_nCurPage);
    int count = static_cast<int>(info->GetMaxPage());
    int across = PagesAcross(info);
    std::string extra = ServerText(gridprint::kFooterExtraLine);
    rect.OffsetRect(0, m_nPrintLineHeight / 2 - (extra.empty() ? 0 : 13));

    std::string left = ServerText(gridprint::kFooterLeftLine);
    if (left.empty()) left = gridprint::PageNumbering(page, count, across);
    CRect part = rect;
    dc->DrawText(left.c_str(), -1, &part, kFooterFlags);

    std::string right = ServerText(gridprint::kFooterRightLine);
    if (right.empty()) {
        char now[128] = {};
        std::time_t t = std::time(nullptr);
        if (const std::tm* local = std::localtime(&t)) std::strftime(now, sizeof now, "%c", local);
        right = now;
    }
    part = rect;
    dc->DrawText(right.c_str(), -1, &part, kFooterFlags | DT_RIGHT);

    std::string centre = ServerText(gridprint::kFooterCentreLine);
    if (centre.empty()) {
        CString title, appTitle;
        HWND parent = m_hWnd ? ::GetParent(m_hWnd) : nullptr;
        if (parent) title = fw::WindowText(parent).c_str();
        if (CWinApp* app = AfxGetApp()) app->GetAppTitle(appTitle);
        centre = gridprint::FooterCentre(appTitle.str(), title.str(), ServerText(gridprint::kFooterMemoLine));
    }
    part = rect;
    dc->DrawText(centre.c_str(), -1, &part, kFooterFlags | DT_CENTER);

    if (!extra.empty()) {
        part = rect;
        part.OffsetRect(0, m_nPrintLineHeight / 2 + 3);
        dc->DrawText(extra.c_str(), -1, &part, kFooterFlags | DT_CENTER);
    }
    dc->SetBkMode(mode);
}

void CGridCtrl::OnEndPrinting(CDC*, CPrintInfo*) {
    vorlan::TraceFunction("CGridCtrl::OnEndPrinting");
    m_PrinterFont.DeleteObject();
    m_pPrintPages.reset();
    m_bPrinting = false;
}
