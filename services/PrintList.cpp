#include "services/PrintList.h"

#include "app/FontSetting.h"
#include "app/ProtocolLog.h"
#include "app/Session.h"
#include "framework/App.h"
#include "framework/Print.h"
#include "resources/PrintChoiceIds.h"
#include "services/PrintListLogic.h"

#include <cstdio>
#include <string>

namespace {

constexpr char kFallbackFace[] = "MS LineDraw";
constexpr int kFallbackTenths = 140;
constexpr char kMeasureText[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSATUVWXYZ";

std::string Run(const std::string& line) {
    return TheSession().Execute(line).str();
}

std::string AppTitle() {
    CString title;
    if (CWinApp* app = AfxGetApp()) app->GetAppTitle(title);
    return title.str();
}

void DrawLine(HDC dc, RECT rect, const std::string& text, UINT align) {
    ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &rect,
                align | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
}

} // namespace

CPrintList::CPrintList(HWND owner) : m_hOwner(owner), m_dialog(IDD_PRINT_LIST, owner) {}

CPrintList::~CPrintList() {
    OnEndPrinting();
}

int CPrintList::Print() {
    vorlan::TraceFunction("CPrintList::Print");
    CPrintDialog dialog(false, PD_RETURNDC | PD_NOSELECTION | PD_NOPAGENUMS | PD_USEDEVMODECOPIESANDCOLLATE,
                        m_hOwner);
    dialog.PresetDevMode(1, true);
    if (dialog.DoModal() != IDOK || !dialog.m_pd.hDC) return 0;
    CPrinterDC printer;
    printer.Attach(dialog.m_pd.hDC);
    dialog.m_pd.hDC = nullptr;
    CPrintJob job(printer, AppTitle().c_str());
    if (!job.IsStarted()) return 1;
    if (!OnBeginPrinting(printer)) {
        // The job is aborted with its object: nothing half measured goes to the printer.
        AfxMessageBox("Auf dieser Seite hat keine Zeile der Liste Platz.", MB_OK | MB_ICONEXCLAMATION);
        OnEndPrinting();
        return 1;
    }
    bool allPages = true;
    for (int page = 0; page < PageCount() && allPages; ++page) {
        allPages = job.StartPage();
        if (!allPages) break;
        OnPrint(printer, page);
        allPages = job.EndPage();
    }
    OnEndPrinting();
    if (allPages) job.End();
    return 1;
}

bool CPrintList::OnBeginPrinting(HDC printer) {
    vorlan::TraceFunction("CPrintList::OnBeginPrinting");
    int chars = vorlan::CountOf(Run(vorlan::line::kCharsPerLine));
    FontSetting setting = ReadFontSetting(vorlan::kFontSlotPrint);
    bool own = !setting.name.IsEmpty();
    const char* face = own ? setting.name.c_str() : kFallbackFace;
    int tenths = own && setting.scaledSize > 0 ? setting.scaledSize : kFallbackTenths;
    // Measured on the screen: the page is laid out in screen units and mapped to the paper.
    m_font.CreatePointFont(tenths, face, nullptr, false);
    m_boldFont.CreatePointFont(tenths, face, nullptr, true);
    SIZE extent{};
    {
        CClientDC screen(m_hOwner);
        CSelectedObject font(screen, m_font);
        ::GetTextExtentPoint32A(screen, kMeasureText, static_cast<int>(sizeof kMeasureText - 1), &extent);
    }
    m_nLineHeight = extent.cy;
    m_nHorzRes = ::GetDeviceCaps(printer, HORZRES);
    m_nVertRes = ::GetDeviceCaps(printer, VERTRES);
    vorlan::ListLayout layout = vorlan::MeasureListLayout(
        chars, extent.cx / static_cast<int>(sizeof kMeasureText - 1), m_nLineHeight, m_nHorzRes, m_nVertRes);
    if (!layout.valid) return false;
    m_nPageWidth = layout.pageWidth;
    m_nPageHeight = layout.pageHeight;
    m_nBodyHeight = layout.bodyHeight;
    m_nLines = vorlan::CountOf(Run(vorlan::ReportLinesLine(layout.linesPerPage)));
    m_pageStarts = vorlan::PageStarts(m_nLines, m_nLineHeight, m_nBodyHeight);
    return true;
}

void CPrintList::OnPrint(HDC printer, int page) {
    CSaveDC saved(printer);
    ::SetMapMode(printer, MM_ANISOTROPIC);
    ::SetWindowExtEx(printer, m_nPageWidth, m_nPageHeight, nullptr);
    ::SetViewportExtEx(printer, m_nHorzRes, m_nVertRes, nullptr);
    ::SetBkMode(printer, TRANSPARENT);
    ::SetTextColor(printer, RGB(0, 0, 0));
    PrintHeader(printer);
    CSelectedObject font(printer, m_font);
    int first = m_pageStarts[static_cast<size_t>(page)];
    int last = vorlan::PageEnd(m_pageStarts, static_cast<size_t>(page), m_nLines);
    int y = 3 * m_nLineHeight;
    for (int n = first; n <= last; ++n, y += m_nLineHeight)
        DrawLine(printer, RECT{0, y, m_nPageWidth, y + m_nLineHeight}, Run(vorlan::PrintOutputLine(n)),
                 DT_LEFT);
    PrintFooter(printer, page + 1);
}

void CPrintList::PrintHeader(HDC printer) {
    CSelectedObject font(printer, m_boldFont);
    DrawLine(printer, RECT{0, 0, m_nPageWidth, m_nLineHeight},
             vorlan::ListHeaderText(Run(vorlan::line::kReportTitle)), DT_CENTER);
    CPen pen(PS_SOLID, 1, RGB(0, 0, 0));
    CSelectedObject rule(printer, pen);
    ::MoveToEx(printer, 0, 2 * m_nLineHeight, nullptr);
    ::LineTo(printer, m_nPageWidth, 2 * m_nLineHeight);
}

void CPrintList::PrintFooter(HDC printer, int page) {
    char text[64];
    std::snprintf(text, sizeof text, "Seite %d/%d", page, PageCount());
    CSelectedObject font(printer, m_boldFont);
    int top = m_nPageHeight - 2 * m_nLineHeight;
    DrawLine(printer, RECT{0, top, m_nPageWidth, top + m_nLineHeight}, text, DT_RIGHT);
}

void CPrintList::OnEndPrinting() {
    m_font.DeleteObject();
    m_boldFont.DeleteObject();
}
