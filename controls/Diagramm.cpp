#include "controls/Diagramm.h"

#include "app/ProtocolLog.h"
#include "controls/FormColours.h"
#include "framework/App.h"
#include "framework/Clipboard.h"
#include "framework/Print.h"
#include "resources/ChartIds.h"

#include <algorithm>
#include <utility>

using chart::kUnits;

namespace {

chart::Executor& TheExecutor() {
    static chart::Executor executor;
    return executor;
}

COLORREF Colour(uint32_t formColour, COLORREF fallback) {
    return formColour == kDefaultColour ? fallback : static_cast<COLORREF>(formColour);
}

constexpr const char* kFace = "Tahoma";

HFONT MakeFont(int height, int escapement, int weight) {
    return ::CreateFontA(height, 0, escapement, escapement, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, kFace);
}

// The chart's fonts, in chart units, for one drawing.
struct ChartFonts {
    explicit ChartFonts(const chart::Content& c) {
        int sum = c.maxX + c.maxY;
        textHeight = sum / 30;
        label = MakeFont(sum / 40, c.escapement, FW_NORMAL);
        text = MakeFont(textHeight, 0, FW_NORMAL);
        bold = MakeFont(textHeight, 0, FW_BOLD);
        title = MakeFont(textHeight * 5 / 4, 0, FW_BOLD);
    }
    ~ChartFonts() {
        for (HFONT f : {label, text, bold, title})
            if (f) ::DeleteObject(f);
    }
    ChartFonts(const ChartFonts&) = delete;
    ChartFonts& operator=(const ChartFonts&) = delete;
    int textHeight;
    HFONT label, text, bold, title;
};

void Line(HDC dc, int x1, int y1, int x2, int y2) {
    ::MoveToEx(dc, x1, y1, nullptr);
    ::LineTo(dc, x2, y2);
}

void Text(HDC dc, int x, int y, UINT align, const std::string& text) {
    if (text.empty()) return;
    ::SetTextAlign(dc, align);
    ::TextOutA(dc, x, y, text.c_str(), static_cast<int>(text.size()));
}

// A pen selected for the lifetime of the object.
class SelectedPen {
  public:
    SelectedPen(HDC dc, int width, COLORREF colour)
        : m_dc(dc), m_pen(::CreatePen(PS_SOLID, width, colour)), m_old(::SelectObject(dc, m_pen)) {}
    ~SelectedPen() {
        ::SelectObject(m_dc, m_old);
        ::DeleteObject(m_pen);
    }
    SelectedPen(const SelectedPen&) = delete;
    SelectedPen& operator=(const SelectedPen&) = delete;

  private:
    HDC m_dc;
    HPEN m_pen;
    HGDIOBJ m_old;
};

void DrawSeries(HDC dc, const chart::Series& s) {
    if (s.kind < 0 || s.kind > 2 || s.points.empty()) return;
    COLORREF colour = Colour(s.colour, RGB(0, 0, 0));
    HBRUSH brush = ::CreateSolidBrush(colour);
    HGDIOBJ oldBrush = ::SelectObject(dc, brush);
    if (s.kind == 1) {
        HGDIOBJ oldPen = ::SelectObject(dc, ::GetStockObject(NULL_PEN));
        for (const chart::Point& p : s.points)
            ::Rectangle(dc, p.x - s.width, kUnits - p.y, p.x + s.width, kUnits);
        ::SelectObject(dc, oldPen);
    } else {
        SelectedPen pen(dc, s.width, colour);
        ::MoveToEx(dc, s.points[0].x, kUnits - s.points[0].y, nullptr);
        for (const chart::Point& p : s.points)
            ::LineTo(dc, p.x, kUnits - p.y);
        if (s.kind == 0) {
            int half = (s.width + chart::kTick) / 2;
            for (const chart::Point& p : s.points)
                ::Ellipse(dc, p.x - half, kUnits - p.y - half, p.x + half, kUnits - p.y + half);
        }
    }
    ::SelectObject(dc, oldBrush);
    ::DeleteObject(brush);
}

} // namespace

void CDiagramm::SetExecutor(chart::Executor executor) {
    TheExecutor() = std::move(executor);
}

CDiagramm::~CDiagramm() {
    if (m_tip && ::IsWindow(m_tip)) ::DestroyWindow(m_tip);
}

bool CDiagramm::Create(HWND parent, const RECT& rect, UINT id, void*) {
    vorlan::TraceFunction("CDiagramm::Create");
    m_bEmbedded = true;
    return CreateEx(0, kClassName, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, rect, parent, id);
}

CDiagramm* CDiagramm::Create(const CDiagramm& source) {
    vorlan::TraceFunction("CDiagramm::Create");
    RECT frame{0, 0, 0, 0};
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd && app->m_pMainWnd->m_hWnd) ::GetWindowRect(app->m_pMainWnd->m_hWnd, &frame);
    else ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &frame, 0);
    int w = frame.right - frame.left, h = frame.bottom - frame.top;
    RECT r{frame.left + w / 4, frame.top + h / 4, frame.right - w / 4, frame.bottom - h / 4};
    CString title;
    title.LoadString(IDS_CHART_ENLARGED);
    std::string caption = title.str() + source.m_content.title;
    auto* copy = new CDiagramm;
    copy->m_bEmbedded = false;
    copy->m_content = source.m_content;
    copy->m_hFont = source.m_hFont;
    if (!copy->CreateEx(0, kClassName, caption.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, r, nullptr, 0)) {
        delete copy;
        return nullptr;
    }
    return copy;
}

void CDiagramm::PostNcDestroy() {
    delete this;
}

void CDiagramm::SetContent(const char* name) {
    vorlan::TraceFunction("CDiagramm::SetContent");
    HideTip();
    StopTipTimer();
    m_content = chart::Content();
    std::string message;
    if (TheExecutor()) m_content = chart::Load(name ? name : "", TheExecutor(), message);
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    if (!message.empty()) AfxMessageBox(message.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

// ---- drawing

int CDiagramm::LegendHeight() const {
    if (!m_content.valid) return 0;
    int rows = static_cast<int>(std::count_if(m_content.series.begin(), m_content.series.end(),
                                              [](const chart::Series& s) { return !s.text.empty(); }));
    if (rows == 0) return 0;
    // The rows start below the X axis' labels.
    int sum = m_content.maxX + m_content.maxY;
    return rows * (sum / 30) + chart::kTick + sum / 40;
}

chart::Mapping CDiagramm::ClientMapping() const {
    CRect client = GetClientRect();
    return chart::MapClient(client.Width(), client.Height(), m_content.escapement != 0, LegendHeight());
}

void CDiagramm::SetMapping(HDC dc, const RECT& client) const {
    chart::Mapping m = chart::MapClient(client.right - client.left, client.bottom - client.top,
                                        m_content.escapement != 0, LegendHeight());
    ::SetMapMode(dc, MM_ANISOTROPIC);
    ::SetWindowExtEx(dc, m.windowX, m.windowY, nullptr);
    ::SetViewportExtEx(dc, std::max(1, m.extentX), std::max(1, m.extentY), nullptr);
    ::SetViewportOrgEx(dc, client.left + m.originX, client.top + m.originY, nullptr);
}

void CDiagramm::Draw(HDC dc, const RECT& client, bool focusFrame) const {
    const chart::Content& c = m_content;
    COLORREF back = c.valid ? Colour(c.backColour, ::GetSysColor(COLOR_BTNFACE)) : ::GetSysColor(COLOR_BTNFACE);
    HBRUSH backBrush = ::CreateSolidBrush(back);
    ::FillRect(dc, &client, backBrush);
    if (c.valid) {
        int saved = ::SaveDC(dc);
        SetMapping(dc, client);
        ChartFonts fonts(c);
        ::SetBkMode(dc, TRANSPARENT);
        COLORREF axis = Colour(c.axisColour, RGB(0, 0, 0));
        ::SetTextColor(dc, axis);

        ::SelectObject(dc, fonts.title);
        Text(dc, kUnits / 2, -kUnits / 8, TA_CENTER | TA_TOP, c.title);

        if (c.rasterColour != kDefaultColour) {
            SelectedPen pen(dc, 0, static_cast<COLORREF>(c.rasterColour));
            for (int x : chart::Steps(c.rasterX, c.rasterX))
                Line(dc, x, 0, x, kUnits);
            for (int y : chart::Steps(c.rasterY, c.rasterY))
                Line(dc, 0, kUnits - y, kUnits, kUnits - y);
        }
        {
            SelectedPen pen(dc, 0, axis);
            Line(dc, 0, 0, 0, kUnits);
            Line(dc, 0, kUnits, kUnits, kUnits);
            ::SelectObject(dc, fonts.label);
            bool rotated = c.escapement != 0;
            std::vector<int> ticksX = chart::Steps(c.rasterX, 0);
            for (size_t i = 0; i < ticksX.size(); ++i) {
                Line(dc, ticksX[i], kUnits, ticksX[i], kUnits + chart::kTick);
                Text(dc, ticksX[i], kUnits + chart::kTick, (rotated ? TA_LEFT : TA_CENTER) | TA_TOP,
                     chart::TickLabel(c.labelsX, i));
            }
            std::vector<int> ticksY = chart::Steps(c.rasterY, 0);
            for (size_t i = 0; i < ticksY.size(); ++i) {
                Line(dc, -chart::kTick, kUnits - ticksY[i], 0, kUnits - ticksY[i]);
                Text(dc, -chart::kTick, kUnits - ticksY[i], TA_RIGHT | TA_BASELINE, chart::TickLabel(c.labelsY, i));
            }
        }
        ::SelectObject(dc, fonts.bold);
        Text(dc, 0, 0, TA_LEFT | TA_BOTTOM, c.captionY);
        ::SelectObject(dc, fonts.text);
        Text(dc, kUnits, kUnits, TA_CENTER | TA_BOTTOM, c.captionX);

        for (size_t i = c.series.size(); i-- > 0;)
            DrawSeries(dc, c.series[i]);

        // The legend below the labels of the X axis.
        int y = kUnits + chart::kTick + (c.maxX + c.maxY) / 40;
        for (const chart::Series& s : c.series) {
            if (s.text.empty()) continue;
            int middle = y + fonts.textHeight / 2;
            COLORREF colour = Colour(s.colour, RGB(0, 0, 0));
            {
                SelectedPen thick(dc, std::max(s.width, 1), colour);
                Line(dc, 0, middle, kUnits / 10, middle);
            }
            {
                SelectedPen thin(dc, 0, colour);
                Line(dc, 0, middle, kUnits / 10, middle);
            }
            Text(dc, kUnits / 10 + chart::kTick, y, TA_LEFT | TA_TOP, s.text);
            y += fonts.textHeight;
        }
        ::RestoreDC(dc, saved);
    }
    if (focusFrame) {
        HBRUSH frame = m_bFocus ? ::GetSysColorBrush(COLOR_HIGHLIGHT) : backBrush;
        ::FrameRect(dc, &client, frame);
    }
    ::DeleteObject(backBrush);
}

void CDiagramm::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(m_hWnd, &ps);
    CRect client = GetClientRect();
    HDC memory = ::CreateCompatibleDC(dc);
    HBITMAP bitmap = ::CreateCompatibleBitmap(dc, std::max(1, client.Width()), std::max(1, client.Height()));
    if (memory && bitmap) {
        HGDIOBJ old = ::SelectObject(memory, bitmap);
        Draw(memory, client, true);
        ::BitBlt(dc, 0, 0, client.Width(), client.Height(), memory, 0, 0, SRCCOPY);
        ::SelectObject(memory, old);
    } else {
        Draw(dc, client, true);
    }
    if (bitmap) ::DeleteObject(bitmap);
    if (memory) ::DeleteDC(memory);
    ::EndPaint(m_hWnd, &ps);
}

// ---- clipboard and printer

bool CDiagramm::CopyToClipboard() {
    vorlan::TraceFunction("CDiagramm::CopyToClipboard");
    CRect client = GetClientRect();
    HDC screen = ::GetDC(m_hWnd);
    if (!screen) return false;
    int widthMM = ::GetDeviceCaps(screen, HORZSIZE), heightMM = ::GetDeviceCaps(screen, VERTSIZE);
    int widthPx = std::max(1, ::GetDeviceCaps(screen, HORZRES)), heightPx = std::max(1, ::GetDeviceCaps(screen, VERTRES));
    RECT frame{0, 0, ::MulDiv(client.Width(), widthMM * 100, widthPx), ::MulDiv(client.Height(), heightMM * 100, heightPx)};
    std::string description = "VORLAN";
    description += '\0';
    description += fw::WindowText(m_hWnd);
    description += '\0';
    description += '\0';
    HDC meta = ::CreateEnhMetaFileA(screen, nullptr, &frame, description.c_str());
    ::ReleaseDC(m_hWnd, screen);
    if (!meta) return false;
    Draw(meta, client, false);
    HENHMETAFILE picture = ::CloseEnhMetaFile(meta);
    if (!picture) return false;
    return fw::SetClipboardEnhMetaFile(m_hWnd, picture);
}

bool CDiagramm::Print() {
    vorlan::TraceFunction("CDiagramm::Print");
    CPrintDialog dlg(false, PD_RETURNDC | PD_NOPAGENUMS | PD_NOSELECTION, m_hWnd);
    // The chart's orientation and colour are where the dialog starts; the user has the last word.
    dlg.PresetDevMode(1, true, m_content.orientation == 2 ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT);
    if (dlg.DoModal() != IDOK || !dlg.m_pd.hDC) return false;
    CPrinterDC printer;
    printer.Attach(dlg.m_pd.hDC);
    dlg.m_pd.hDC = nullptr;
    CString title;
    if (CWinApp* app = AfxGetApp()) app->GetAppTitle(title);
    CPrintJob job(printer, title.c_str());
    if (!job.IsStarted() || !job.StartPage()) return false;
    RECT page{0, 0, ::GetDeviceCaps(printer, HORZRES), ::GetDeviceCaps(printer, VERTRES)};
    Draw(printer, page, false);
    return job.EndPage() && job.End();
}

// ---- tooltip

chart::Hit CDiagramm::HitAt(POINT client) const {
    return chart::HitTest(m_content, ClientMapping(), client.x, client.y);
}

std::string CDiagramm::HintText() const {
    CString hint;
    hint.LoadString(m_bEmbedded ? IDS_CHART_HINT : IDS_CHART_HINT_TOPLEVEL);
    return hint.str();
}

void CDiagramm::StopTipTimer() {
    if (m_nTimer && m_hWnd) ::KillTimer(m_hWnd, kTipTimer);
    m_nTimer = 0;
    m_ptFirst = POINT{-1, -1};
}

void CDiagramm::HideTip() {
    if (m_tip && ::IsWindow(m_tip)) ::DestroyWindow(m_tip);
    m_tip = nullptr;
}

void CDiagramm::ShowTip(const std::string& text, POINT screen) {
    HideTip();
    if (text.empty()) return;
    m_tip = ::CreateWindowExA(WS_EX_TOPMOST, kToolTipClass, text.c_str(), WS_POPUP | WS_BORDER | WS_VISIBLE,
                              screen.x, screen.y + 20, 0, 0, m_hWnd, nullptr, ::GetModuleHandleA(nullptr),
                              m_hFont);
}

void CDiagramm::OnMouseMove(POINT point) {
    if (!m_content.valid) return;
    fw::TrackMouseLeave(m_hWnd);
    chart::Hit hit = HitAt(point);
    if (hit == m_hitMove && (m_nTimer || m_tip)) return;
    m_hitMove = hit;
    HideTip();
    StopTipTimer();
    m_nTimer = ::SetTimer(m_hWnd, kTipTimer, kTipDelay, nullptr);
}

void CDiagramm::OnTimer(UINT_PTR id) {
    if (id != kTipTimer) return;
    POINT p;
    ::GetCursorPos(&p);
    POINT screen = p;
    ::ScreenToClient(m_hWnd, &p);
    if (m_ptFirst.x == -1) {
        m_ptFirst = p;
        m_hitFirst = HitAt(p);
        return;
    }
    bool still = p.x == m_ptFirst.x && p.y == m_ptFirst.y;
    StopTipTimer();
    CRect client = GetClientRect();
    HWND active = ::GetActiveWindow();
    bool activeHere = active && (active == m_hWnd || ::IsChild(active, m_hWnd) ||
                                 active == ::GetAncestor(m_hWnd, GA_ROOT));
    if (!still || !activeHere || !::PtInRect(&client, p)) return;
    chart::Hit hit = HitAt(p);
    std::string text;
    if (hit.series >= 0 && hit == m_hitFirst) {
        text = m_content.series[static_cast<size_t>(hit.series)].points[static_cast<size_t>(hit.point)].text;
        // The hovered series is drawn last, on top of the others.
        if (hit.series > 0) {
            std::swap(m_content.series[0], m_content.series[static_cast<size_t>(hit.series)]);
            hit.series = 0;
            ::InvalidateRect(m_hWnd, nullptr, FALSE);
            ::UpdateWindow(m_hWnd);
        }
    } else {
        text = HintText();
    }
    m_hitMove = hit;
    m_ptShown = p;
    ShowTip(text, screen);
    // Mouse moves on the same point keep the tip; a move elsewhere starts over.
    m_nTimer = 0;
}

// ---- messages

void CDiagramm::OnContextMenu(WPARAM wParam, LPARAM lParam) {
    if (m_bEmbedded) {
        ::SendMessageA(::GetParent(m_hWnd), WM_CONTEXTMENU, wParam, lParam);
        return;
    }
    HMENU menu = ::LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_CHART_MENU));
    if (!menu) return;
    POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    if (lParam == -1) ::GetCursorPos(&p);
    if (HMENU popup = ::GetSubMenu(menu, 0)) ::TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, p.x, p.y, 0, m_hWnd, nullptr);
    ::DestroyMenu(menu);
}

void CDiagramm::OnFocus(bool focused) {
    m_bFocus = focused;
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

LRESULT CDiagramm::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_SETTEXT:
        vorlan::TraceFunction("CDiagramm::WindowProc - WM_SETTEXT");
        CWnd::WindowProc(msg, wParam, lParam);
        if (m_bEmbedded) SetContent(reinterpret_cast<const char*>(lParam));
        return 1;
    case WM_SETFONT: m_hFont = reinterpret_cast<HFONT>(wParam); return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(m_hFont);
    case WM_SIZE: ::InvalidateRect(m_hWnd, nullptr, FALSE); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: OnPaint(); return 0;
    case WM_SETFOCUS: OnFocus(true); return 0;
    case WM_KILLFOCUS: OnFocus(false); return 0;
    case WM_COPY: CopyToClipboard(); return 0;
    case WM_PRINT:
        if (wParam == 0) {
            Print();
            return 0;
        }
        break;
    case WM_COMMAND:
        if (LOWORD(wParam) == kCopyCommand) CopyToClipboard();
        else if (LOWORD(wParam) == kPrintCommand) Print();
        else break;
        return 0;
    case WM_CONTEXTMENU: OnContextMenu(wParam, lParam); return 0;
    case WM_LBUTTONDOWN:
        if (m_bEmbedded || m_bPressed) ::SetFocus(m_hWnd);
        m_bPressed = true;
        break;
    case WM_LBUTTONUP: m_bPressed = false; break;
    case WM_LBUTTONDBLCLK:
        if (m_bEmbedded && m_content.valid) Create(*this);
        return 0;
    case WM_MOUSEMOVE: OnMouseMove(POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))}); break;
    case WM_MOUSELEAVE:
        HideTip();
        StopTipTimer();
        return 0;
    case WM_TIMER: OnTimer(wParam); return 0;
    case WM_DESTROY:
        StopTipTimer();
        HideTip();
        break;
    default: break;
    }
    return CWnd::WindowProc(msg, wParam, lParam);
}
