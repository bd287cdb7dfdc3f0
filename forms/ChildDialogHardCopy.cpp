// The form's own print commands: the grid's, the text box printed page by page, and a hard
// copy of the frame window.
#include "forms/ChildDialog.h"

#include "app/FontSetting.h"
#include "app/ProtocolLog.h"
#include "framework/App.h"
#include "framework/Gdi.h"
#include "framework/Print.h"
#include "forms/TextPaging.h"
#include "framework/RichEdit.h"
#include "resources/MainFrameIds.h"

#include <richedit.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string>

namespace {

constexpr char kMeasureText[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSATUVWXYZ";
constexpr UINT kHiddenRichEditId = 0xFFFF;

std::string AppTitle() {
    CString title;
    if (CWinApp* app = AfxGetApp()) app->GetAppTitle(title);
    return title.str();
}

void DrawSingleLine(HDC dc, RECT rect, const std::string& text, UINT format) {
    ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &rect, format | DT_SINGLELINE | DT_NOPREFIX);
}

// The printer context of a confirmed print dialog, taken over by the caller; none on Cancel.
HDC AskPrinter(HWND owner, DWORD flags) {
    CPrintDialog dialog(false, PD_RETURNDC | PD_USEDEVMODECOPIESANDCOLLATE | flags, owner);
    dialog.PresetDevMode(1, true);
    if (dialog.DoModal() != IDOK) return nullptr;
    HDC dc = dialog.m_pd.hDC;
    dialog.m_pd.hDC = nullptr;
    return dc;
}

int Twips(int pixels, int perInch) {
    return ::MulDiv(pixels, 1440, perInch);
}

} // namespace

LRESULT CChildDialog::OnPrintCommands(UINT id) {
    vorlan::TraceFunction("CChildDialog::OnPrintCommands");
    if (HasGrid()) {
        if (id != 0x8102) OnGridCommand(id);
        return 1;
    }
    if (id != ID_GRID_PRINT) return 1;
    if (m_hMultiEdit)
        PrintTextBox();
    else if (HWND focus = ::GetFocus())
        ::SendMessageA(focus, WM_PRINT, 0, 0);
    return 1;
}

bool CChildDialog::HardCopy() {
    vorlan::TraceFunction("CChildDialog::HardCopy");
    HWND frame = Frame();
    RECT window{};
    ::GetWindowRect(frame, &window);
    const int w = window.right - window.left, h = window.bottom - window.top;
    if (w <= 0 || h <= 0) return false;
    CBitmap bitmap;
    {
        CWindowDC source(frame);
        bitmap.Attach(::CreateCompatibleBitmap(source, w, h));
        CMemoryDC copy(source);
        CSelectedObject into(copy, bitmap);
        ::BitBlt(copy, 0, 0, w, h, source, 0, 0, SRCCOPY);
    }
    CPrinterDC printer;
    printer.Attach(AskPrinter(m_hWnd, PD_NOSELECTION | PD_NOPAGENUMS));
    if (!printer.m_hDC) return false;

    const int horz = ::GetDeviceCaps(printer, HORZRES), vert = ::GetDeviceCaps(printer, VERTRES);
    const int pageHeight = ::MulDiv(w, vert, horz);
    ::SetMapMode(printer, MM_ANISOTROPIC);
    ::SetWindowExtEx(printer, w, pageHeight, nullptr);
    ::SetViewportExtEx(printer, horz, vert, nullptr);
    ::SetWindowOrgEx(printer, 0, 0, nullptr);

    CPrintJob job(printer, AppTitle().c_str());
    if (!job.StartPage()) return false;

    FontSetting setting = ReadFontSetting(vorlan::kFontSlotPrint);
    LOGFONTA lf{};
    lf.lfHeight = 12;
    lf.lfWeight = FW_BOLD;
    lstrcpynA(lf.lfFaceName, setting.name.IsEmpty() ? "MS LineDraw" : setting.name.c_str(), LF_FACESIZE);
    CFont font;
    font.CreateFontIndirect(lf);
    CSelectedObject footerFont(printer, font);
    SIZE extent{};
    ::GetTextExtentPoint32A(printer, kMeasureText, static_cast<int>(sizeof kMeasureText - 1), &extent);
    const int footerTop = pageHeight - extent.cy;

    // The picture keeps its proportions and stays above the footer; a wide one fills the width.
    int drawW = w, drawH = h;
    if (h > footerTop && footerTop > 0) {
        drawH = footerTop;
        drawW = ::MulDiv(w, footerTop, h);
    }
    {
        CMemoryDC source(printer);
        CSelectedObject from(source, bitmap);
        if (drawW == w && drawH == h)
            ::BitBlt(printer, 0, 0, w, h, source, 0, 0, SRCCOPY);
        else
            ::StretchBlt(printer, (w - drawW) / 2, 0, drawW, drawH, source, 0, 0, w, h, SRCCOPY);
    }

    ::SetBkMode(printer, TRANSPARENT);
    ::MoveToEx(printer, 0, footerTop, nullptr);
    ::LineTo(printer, w, footerTop);
    char now[128] = "";
    std::time_t t = std::time(nullptr);
    if (const std::tm* local = std::localtime(&t)) std::strftime(now, sizeof now, "%c", local);
    RECT footer{0, footerTop, w, pageHeight};
    DrawSingleLine(printer, footer, now, DT_RIGHT | DT_NOCLIP);
    std::string caption = AppTitle() + " - " + fw::WindowText(frame);
    DrawSingleLine(printer, footer, caption, DT_CENTER | DT_NOCLIP);
    return job.EndPage() && job.End();
}

int CChildDialog::PrintTextBox() {
    vorlan::TraceFunction("CChildDialog::PrintTextBox");
    CPrinterDC printer;
    printer.Attach(AskPrinter(m_hWnd, PD_NOSELECTION | PD_NOPAGENUMS));
    if (!printer.m_hDC) return 0;
    CPrintJob job(printer, AppTitle().c_str());
    if (!job.IsStarted()) return 0;

    FontSetting setting = ReadFontSetting(vorlan::kFontSlotPrint);
    bool own = !setting.name.IsEmpty();
    const char* face = own ? setting.name.c_str() : "Times New Roman";
    int tenths = own && setting.scaledSize > 0 ? setting.scaledSize : 120;
    CFont body, header, screenBody;
    body.CreatePointFont(tenths, face, printer, false);
    header.CreatePointFont(tenths, face, printer, true);
    screenBody.CreatePointFont(tenths, face, nullptr, false);
    std::string headerText = AppTitle() + " - " + fw::WindowText(m_hWnd);

    std::string boxText = fw::WindowText(m_hMultiEdit);
    CRichEditCtrl text;
    if (!text.Create(WS_CHILD | ES_MULTILINE, RECT{0, 0, 0, 0}, m_hWnd, kHiddenRichEditId)) return 0;
    text.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(static_cast<HFONT>(screenBody)), 0);
    text.LimitText(0x7FFFFFFF);
    text.SetWindowText(boxText.c_str());
    const long length = text.GetTextLength();

    const int horz = ::GetDeviceCaps(printer, HORZRES), vert = ::GetDeviceCaps(printer, VERTRES);
    const int dpiX = ::GetDeviceCaps(printer, LOGPIXELSX), dpiY = ::GetDeviceCaps(printer, LOGPIXELSY);
    const int m = dpiX / 3, n = dpiY / 3;
    const RECT headerRect{m, n, horz - m, vert / 10};
    const RECT footerRect{m, vert * 9 / 10, horz - m, vert - n};
    const RECT bodyRect{m, vert / 10, horz - m, vert * 9 / 10};
    const RECT textRect{bodyRect.left + m, bodyRect.top + n, bodyRect.right - m, bodyRect.bottom - n};

    FORMATRANGE range{};
    range.hdc = range.hdcTarget = printer;
    range.rcPage = RECT{0, 0, Twips(horz, dpiX), Twips(vert, dpiY)};
    auto format = [&](long first, bool render) {
        range.rc = RECT{Twips(textRect.left, dpiX), Twips(textRect.top, dpiY), Twips(textRect.right, dpiX),
                        Twips(textRect.bottom, dpiY)};
        range.chrg.cpMin = first;
        range.chrg.cpMax = -1;
        return static_cast<long>(
            text.SendMessage(EM_FORMATRANGE, render ? TRUE : FALSE, reinterpret_cast<LPARAM>(&range)));
    };
    // A control that formats no range at all (Wine's) leaves the paging to us: the plain text
    // wrapped in the body font, so that the text box still prints whole.
    const bool formats = length == 0 || format(0, false) > 0;
    vorlan::TextPages ownPages;
    int lineHeight = 1;
    int pages = 0;
    if (formats) {
        for (long first = 0;;) {
            ++pages;
            long next = format(first, false);
            if (next <= first || next >= length) break;
            first = next;
        }
    } else {
        CSelectedObject normal(printer, body);
        TEXTMETRICA metrics{};
        ::GetTextMetricsA(printer, &metrics);
        lineHeight = std::max(1, static_cast<int>(metrics.tmHeight + metrics.tmExternalLeading));
        ownPages = vorlan::PageText(
            boxText, textRect.right - textRect.left, (textRect.bottom - textRect.top) / lineHeight,
            [&](std::string_view piece) {
                SIZE size{};
                ::GetTextExtentPoint32A(printer, piece.data(), static_cast<int>(piece.size()), &size);
                return static_cast<int>(size.cx);
            });
        pages = static_cast<int>(ownPages.size());
    }

    bool allPages = true;
    long first = 0;
    for (int page = 1; page <= pages; ++page) {
        if (!job.StartPage()) {
            allPages = false;
            break;
        }
        ::SetTextColor(printer, RGB(0, 0, 0));
        ::SetBkMode(printer, TRANSPARENT);
        {
            CSelectedObject bold(printer, header);
            RECT r = headerRect;
            ::DrawTextA(printer, headerText.c_str(), static_cast<int>(headerText.size()), &r,
                        DT_CENTER | DT_SINGLELINE | DT_EXPANDTABS | DT_EXTERNALLEADING | DT_NOPREFIX);
        }
        long next = first;
        if (formats) {
            next = format(first, true);
        } else {
            CSelectedObject normal(printer, body);
            int y = textRect.top;
            for (const std::string& line : ownPages[static_cast<size_t>(page - 1)]) {
                ::TextOutA(printer, textRect.left, y, line.c_str(), static_cast<int>(line.size()));
                y += lineHeight;
            }
        }
        {
            CSelectedObject normal(printer, body);
            char footer[64];
            std::snprintf(footer, sizeof footer, "Seite %d von %d", page, pages);
            DrawSingleLine(printer, footerRect, footer, DT_CENTER | DT_BOTTOM);
        }
        {
            CSelectedObject pen(printer, ::GetStockObject(BLACK_PEN));
            CSelectedObject brush(printer, ::GetStockObject(NULL_BRUSH));
            ::Rectangle(printer, textRect.left, textRect.top, textRect.right, textRect.bottom);
        }
        if (!job.EndPage()) {
            allPages = false;
            break;
        }
        if (formats && (next <= first || next >= length)) break;
        first = next;
    }
    text.SendMessage(EM_FORMATRANGE, FALSE, 0);
    text.DestroyWindow();
    if (allPages) job.End();
    return allPages ? 1 : 0;
}
