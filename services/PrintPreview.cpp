#include "services/PrintPreview.h"

#include "app/ProtocolLog.h"
#include "framework/App.h"
#include "framework/Dialog.h"
#include "framework/StatusDialog.h"
#include "resources/PrintIds.h"

namespace {

constexpr UINT kToolId = 0xE800;
constexpr UINT kReBarId = 0xE81B;
constexpr UINT kFrameId = 0xE900;

int g_nInstances = 0;

// A copy the print dialog may change or free while ours stays.
HGLOBAL CopyBlock(HGLOBAL block) {
    if (!block) return nullptr;
    SIZE_T size = ::GlobalSize(block);
    HGLOBAL copy = ::GlobalAlloc(GMEM_MOVEABLE, size);
    if (!copy) return nullptr;
    void* from = ::GlobalLock(block);
    void* to = ::GlobalLock(copy);
    if (from && to) memcpy(to, from, size);
    if (to) ::GlobalUnlock(copy);
    if (from) ::GlobalUnlock(block);
    return copy;
}

} // namespace

CPrintPreview::CPrintPreview(CWnd* owner, PagePainter painter, void* user)
    : m_pOwner(owner), m_pPainter(painter), m_pUser(user), m_frame(painter, user, m_info, m_paper) {
    vorlan::TraceFunction("CPrintPreview::CPrintPreview");
    if (g_nInstances++ == 0) {
        HINSTANCE res = AfxGetResourceHandle();
        RegisterWindowClass("PrintPreview", 0, ::LoadIconA(res, MAKEINTRESOURCEA(IDI_PRINT_PREVIEW)),
                            ::LoadCursorA(nullptr, IDC_ARROW), ::GetSysColorBrush(COLOR_BTNFACE));
        RegisterWindowClass("PrintPreviewFrame", 0, nullptr, ::LoadCursorA(nullptr, IDC_ARROW),
                            ::GetSysColorBrush(COLOR_APPWORKSPACE));
        HCURSOR zoom = ::LoadCursorA(res, MAKEINTRESOURCEA(IDC_PREVIEW_ZOOM_CURSOR));
        RegisterWindowClass("PrintPreviewPage", 0, nullptr, zoom ? zoom : ::LoadCursorA(nullptr, IDC_ARROW),
                            nullptr);
    }
    m_pd.lStructSize = sizeof m_pd;
    m_info.m_lpUserData = &m_nUserValue;
}

CPrintPreview::~CPrintPreview() {
    if (m_hWnd) DestroyWindow();
    fw::FreePrinterBlocks(m_pd.hDevMode, m_pd.hDevNames);
    if (--g_nInstances == 0) {
        UnregisterWindowClass("PrintPreview");
        UnregisterWindowClass("PrintPreviewFrame");
        UnregisterWindowClass("PrintPreviewPage");
    }
}

int CPrintPreview::DoModal() {
    vorlan::TraceFunction("CPrintPreview::DoModal");
    if (!Create()) return -1;
    HWND owner = m_pOwner ? m_pOwner->m_hWnd : nullptr;
    CWinApp* app = AfxGetApp();
    HWND main = app && app->m_pMainWnd ? app->m_pMainWnd->m_hWnd : owner;
    CenterWindow(main);
    int result = 0;
    {
        CModalOwnerGuard guard(owner, [owner] {
            if (owner && ::IsWindow(owner)) ::SetActiveWindow(owner);
        });
        ShowWindow(SW_SHOW);
        UpdateWindow();
        m_pLoop = std::make_unique<CModalLoop>(*this);
        result = m_pLoop->Run();
        if (m_hWnd) ShowWindow(SW_HIDE);
    }
    if (m_hWnd) DestroyWindow();
    m_pLoop.reset();
    PrinterGone();
    m_printer.Delete();
    fw::FreePrinterBlocks(m_pd.hDevMode, m_pd.hDevNames);
    return result < 0 ? 0 : result;
}

bool CPrintPreview::Create() {
    HWND owner = m_pOwner ? m_pOwner->m_hWnd : nullptr;
    return CreateEx(0, "PrintPreview", "Druckvorschau",
                    WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, CRect(0, 0, 640, 480), owner, 0);
}

bool CPrintPreview::PreTranslateMessage(MSG* msg) {
    if (m_hAccel && ::TranslateAcceleratorA(m_hWnd, m_hAccel, msg)) return true;
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) {
        OnEnter();
        return true;
    }
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE) {
        ::SetFocus(m_frame);
        return true;
    }
    return CWnd::PreTranslateMessage(msg);
}

LRESULT CPrintPreview::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CREATE: return OnCreate();
    case WM_SIZE: OnSize(); return 0;
    case WM_SETFOCUS:
        if (m_frame.m_hWnd) ::SetFocus(m_frame);
        return 0;
    case WM_COMMAND: return OnCommand(LOWORD(wParam));
    case WM_CLOSE:
        if (m_pLoop) m_pLoop->End(0);
        return 0;
    case WM_PREVIEW_ZOOM: return OnZoom(static_cast<int>(wParam), static_cast<int>(lParam));
    case WM_PREVIEW_PAGE: return OnPageMessage();
    default: return CWnd::WindowProc(msg, wParam, lParam);
    }
}

LRESULT CPrintPreview::OnCreate() {
    vorlan::TraceFunction("CPrintPreview::OnCreate");
    if (!ChooseDefaultPrinter()) {
        AfxMessageBox(IDP_NO_PRINTER, MB_OK | MB_ICONEXCLAMATION);
        return -1;
    }
    m_pd.nCopies = 1;
    m_pd.nFromPage = m_pd.nToPage = 1;
    PrinterReady();
    ComputeGeometry();
    m_hAccel = ::LoadAcceleratorsA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_PRINT_PREVIEW));
    if (!m_tool.Create(*this) || !m_rebar.Create(m_hWnd, kReBarId, CSizableReBar::kToolBar, true))
        return -1;
    ::SetParent(m_tool, m_rebar);
    m_tool.SendMessage(TB_SETPARENT, reinterpret_cast<WPARAM>(m_hWnd));
    m_rebar.AddBar(m_tool);
    if (!m_frame.Create(m_hWnd, CRect(0, 0, 0, 0), kFrameId)) return -1;
    ComputeGeometry();
    OnSize();
    m_tool.ShowZoomMode(m_frame.ZoomMode(), m_frame.EffectiveZoom());
    ShowPage(1);
    return 0;
}

bool CPrintPreview::ChooseDefaultPrinter() {
    PRINTDLGA found{};
    if (fw::GetDefaultPrinter(found, true)) return AdoptPrinter(found.hDC, found.hDevMode, found.hDevNames);
    CPrintDialog dlg(false, PD_RETURNDC | PD_NOSELECTION | PD_NOPAGENUMS,
                     m_pOwner ? m_pOwner->m_hWnd : nullptr);
    if (dlg.DoModal() != IDOK || !dlg.m_pd.hDC) return false;
    HGLOBAL mode, names;
    dlg.DetachBlocks(mode, names);
    HDC dc = dlg.m_pd.hDC;
    dlg.m_pd.hDC = nullptr;
    return AdoptPrinter(dc, mode, names);
}

bool CPrintPreview::AdoptPrinter(HDC dc, HGLOBAL devMode, HGLOBAL devNames) {
    m_printer.Attach(dc);
    fw::FreePrinterBlocks(m_pd.hDevMode, m_pd.hDevNames);
    m_pd.hDevMode = devMode;
    m_pd.hDevNames = devNames;
    return dc != nullptr;
}

int CPrintPreview::CallPainter(int code, HDC dc) {
    if (!m_pPainter) return 0;
    CDC target(dc);
    target.m_bPrinting = true;
    return m_pPainter(code, &target, &m_info, m_pUser);
}

void CPrintPreview::PrinterReady() {
    if (m_bPrinterReady || !m_printer.m_hDC) return;
    m_info.m_bPreview = true;
    CallPainter(kPagePrinterReady, m_printer);
    m_bPrinterReady = true;
}

void CPrintPreview::PrinterGone() {
    if (!m_bPrinterReady) return;
    CallPainter(kPagePrinterGone, m_printer);
    m_bPrinterReady = false;
}

void CPrintPreview::ComputeGeometry() {
    if (!m_printer.m_hDC) return;
    HDC dc = m_printer;
    preview::PrinterMetrics p;
    p.physicalWidth = ::GetDeviceCaps(dc, PHYSICALWIDTH);
    p.physicalHeight = ::GetDeviceCaps(dc, PHYSICALHEIGHT);
    p.offsetX = ::GetDeviceCaps(dc, PHYSICALOFFSETX);
    p.offsetY = ::GetDeviceCaps(dc, PHYSICALOFFSETY);
    p.printableWidth = ::GetDeviceCaps(dc, HORZRES);
    p.printableHeight = ::GetDeviceCaps(dc, VERTRES);
    p.dpiX = ::GetDeviceCaps(dc, LOGPIXELSX);
    p.dpiY = ::GetDeviceCaps(dc, LOGPIXELSY);
    // Devices without a physical size (plotters, some drivers) count the printable area.
    if (p.physicalWidth <= 0) p.physicalWidth = p.printableWidth;
    if (p.physicalHeight <= 0) p.physicalHeight = p.printableHeight;
    CClientDC screen(nullptr);
    m_paper =
        preview::ComputeGeometry(p, ::GetDeviceCaps(screen, LOGPIXELSX), ::GetDeviceCaps(screen, LOGPIXELSY));
    if (m_frame.m_hWnd) m_frame.SetPageSize(m_paper.width + 5, m_paper.height + 5);
}

void CPrintPreview::OnSize() {
    if (!m_rebar.m_hWnd || !m_frame.m_hWnd) return;
    m_rebar.OnParentSize();
    CRect client = GetClientRect();
    int top = m_rebar.GetHeight();
    m_frame.MoveWindow(CRect(0, top, client.right, client.bottom < top ? top : client.bottom));
}

void CPrintPreview::ShowPage(int page) {
    m_nPage = preview::ClampPage(page, static_cast<int>(m_info.GetMinPage()),
                                 static_cast<int>(m_info.GetMaxPage()));
    m_info.m_nCurPage = static_cast<UINT>(m_nPage);
    UpdateTool();
    if (m_frame.m_hWnd) m_frame.RepaintPage();
}

void CPrintPreview::UpdateTool() {
    if (!m_tool.m_hWnd) return;
    m_tool.Update(m_nPage, static_cast<int>(m_info.GetMinPage()), static_cast<int>(m_info.GetMaxPage()),
                  m_nUserValue, m_frame.EffectiveZoom());
}

LRESULT CPrintPreview::OnCommand(UINT id) {
    switch (id) {
    case ID_PREVIEW_CLOSE:
        if (m_pLoop) m_pLoop->End(0);
        break;
    case ID_PREVIEW_PRINT: OnPrint(); break;
    case ID_PREVIEW_PRINTER: OnPrinterSetup(); break;
    case ID_PREVIEW_FIRST: ShowPage(1); break;
    case ID_PREVIEW_PREVIOUS: ShowPage(m_nPage - 1); break;
    case ID_PREVIEW_NEXT: ShowPage(m_nPage + 1); break;
    case ID_PREVIEW_LAST: ShowPage(static_cast<int>(m_info.GetMaxPage())); break;
    case ID_PREVIEW_ZOOM_IN: OnZoom(0, 1); break;
    case ID_PREVIEW_ZOOM_OUT: OnZoom(0, -1); break;
    case ID_PREVIEW_PAGE_EDIT: m_tool.FocusPage(); break;
    case ID_PREVIEW_USER_EDIT: m_tool.FocusUser(); break;
    default: return 0;
    }
    return 0;
}

LRESULT CPrintPreview::OnZoom(int mode, int steps) {
    if (steps != 0) {
        int zoom = preview::SteppedZoom(m_frame.EffectiveZoom(), steps);
        m_frame.SetZoomMode(zoom);
        m_tool.ShowZoom(zoom);
    } else {
        m_frame.SetZoomMode(mode);
        m_tool.ShowZoomMode(mode, m_frame.EffectiveZoom());
    }
    UpdateTool();
    return 0;
}

LRESULT CPrintPreview::OnPageMessage() {
    int page = preview::ParseNumber(m_tool.PageText());
    int user = preview::ClampUserValue(preview::ParseNumber(m_tool.UserText()));
    if (user != m_nUserValue) {
        m_nUserValue = user;
        PrinterGone();
        PrinterReady();
        ComputeGeometry();
    }
    ShowPage(page);
    return 0;
}

void CPrintPreview::OnEnter() {
    if (m_tool.ZoomHasFocus()) {
        if (auto zoom = preview::ParseZoomText(m_tool.ZoomText())) OnZoom(*zoom, 0);
        return;
    }
    PostMessage(WM_PREVIEW_PAGE);
}

void CPrintPreview::OnPrinterSetup() {
    vorlan::TraceFunction("CPrintPreview::OnPrinterSetup");
    CPrintDialog dlg(true, PD_RETURNDC, m_hWnd);
    ChoosePrinter(dlg);
}

// Offers the dialog with a copy of the printer in use; on OK the painter lets the old printer
// go, gets the new one, and the page is laid out for it.
bool CPrintPreview::ChoosePrinter(CPrintDialog& dlg) {
    dlg.m_pd.hDevMode = CopyBlock(m_pd.hDevMode);
    dlg.m_pd.hDevNames = CopyBlock(m_pd.hDevNames);
    if (dlg.DoModal() != IDOK || !dlg.m_pd.hDC) return false;
    PrinterGone();
    HGLOBAL mode, names;
    dlg.DetachBlocks(mode, names);
    AdoptPrinter(dlg.m_pd.hDC, mode, names);
    dlg.m_pd.hDC = nullptr;
    PrinterReady();
    ComputeGeometry();
    ShowPage(m_nPage);
    return true;
}

void CPrintPreview::OnPrint() {
    vorlan::TraceFunction("CPrintPreview::OnPrint");
    CPrintDialog dlg(false, PD_RETURNDC | PD_USEDEVMODECOPIESANDCOLLATE, m_hWnd);
    dlg.m_pd.nMinPage = static_cast<WORD>(m_info.GetMinPage());
    dlg.m_pd.nMaxPage = static_cast<WORD>(m_info.GetMaxPage());
    dlg.m_pd.nFromPage = dlg.m_pd.nMinPage;
    dlg.m_pd.nToPage = dlg.m_pd.nMaxPage;
    if (!ChoosePrinter(dlg)) return;
    preview::PageRange range = preview::PagesToPrint(
        dlg.PrintSelection(), dlg.PrintRange(), dlg.m_pd.nFromPage, dlg.m_pd.nToPage, m_nPage,
        static_cast<int>(m_info.GetMinPage()), static_cast<int>(m_info.GetMaxPage()));
    PrintPages(range.first, range.last);
    if (m_pLoop) m_pLoop->End(1);
}

void CPrintPreview::PrintPages(int first, int last) {
    CStatusDialog status(IDD_PRINT_STATUS, m_hWnd);
    CDC dc(m_printer);
    dc.m_bPrinting = true;
    CPrintJob job(m_printer, "VORLAN");
    m_info.m_bPreview = false;
    m_info.m_rectDraw = CRect(0, 0, ::GetDeviceCaps(m_printer, HORZRES), ::GetDeviceCaps(m_printer, VERTRES));
    for (int page = first; job.IsStarted() && page <= last; ++page) {
        CString text;
        text.FormatId(IDS_PREVIEW_PRINTING, page, static_cast<int>(m_info.GetMaxPage()));
        status.SetText(IDC_PRINT_STATUS_TEXT, text);
        m_info.m_nCurPage = static_cast<UINT>(page);
        if (!job.StartPage()) {
            job.Abort();
            break;
        }
        if (m_pPainter) m_pPainter(kPageDraw, &dc, &m_info, m_pUser);
        if (!job.EndPage()) break;
    }
    job.End();
    m_info.m_bPreview = true;
    m_info.m_nCurPage = static_cast<UINT>(m_nPage);
}
