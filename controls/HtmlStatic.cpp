#include "controls/HtmlStatic.h"

#include "app/ProtocolLog.h"
#include "resources/resource.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

using vorlan::TraceFunction;

namespace {

const char* LabelMessageName(UINT msg) {
    switch (msg) {
    case WM_PAINT: return "WM_PAINT";
    case WM_SETTEXT: return "WM_SETTEXT";
    case WM_GETTEXT: return "WM_GETTEXT";
    case WM_SETFONT: return "WM_SETFONT";
    case WM_ENABLE: return "WM_ENABLE";
    case WM_SIZE: return "WM_SIZE";
    case WM_TIMER: return "WM_TIMER";
    case WM_MOUSELEAVE: return "WM_MOUSELEAVE";
    case WM_LBUTTONDOWN: return "WM_LBUTTONDOWN";
    case WM_HTML_HOVER: return "WM_HTML_HOVER";
    case WM_HTML_GETSIZE: return "WM_HTML_GETSIZE";
    default: return nullptr; // the mouse's many messages stay out of the trace
    }
}

// Counts a call of the drawer that may end in the label's own destruction.
class BusyScope {
  public:
    explicit BusyScope(int& busy) : m_busy(busy) { ++m_busy; }
    ~BusyScope() { --m_busy; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

  private:
    int& m_busy;
};

bool FitsClient(const CDibSection& picture, const CRect& client) {
    return picture.GetWidth() == client.Width() && picture.GetHeight() == client.Height();
}

} // namespace

std::string CHtmlStatic::BodyStyle(HFONT font) {
    LOGFONTA lf{};
    if (!font || !::GetObjectA(font, sizeof lf, &lf))
        ::GetObjectA(::GetStockObject(SYSTEM_FONT), sizeof lf, &lf);
    lf.lfFaceName[LF_FACESIZE - 1] = '\0';
    char text[160 + LF_FACESIZE];
    std::snprintf(text, sizeof text, "font-size:%dpx; color:0x%06X; font-family:%s; font-weight:%d",
                  static_cast<int>(lf.lfHeight), static_cast<unsigned>(::GetSysColor(COLOR_WINDOWTEXT)),
                  lf.lfFaceName, lf.lfWeight ? static_cast<int>(lf.lfWeight) : FW_NORMAL);
    std::string style = text;
    if (lf.lfItalic) style += "; font-style:italic";
    return style;
}

CHtmlStatic::~CHtmlStatic() {
    TraceFunction("CHtmlStatic::~CHtmlStatic");
    if (m_hWnd) {
        ::KillTimer(m_hWnd, kOtherTimer);
        ::KillTimer(m_hWnd, kHoverTimer);
    }
}

bool CHtmlStatic::Create(const char* text, DWORD style, const RECT& rect, HWND parent, UINT id) {
    TraceFunction("CHtmlStatic::Create");
    BusyScope busy(m_nBusy);
    // Without it the static lets the mouse through to its parent.
    return CStatic::Create(text, style | SS_NOTIFY, rect, parent, id);
}

void CHtmlStatic::UseFont(HFONT font) {
    m_hFont = font;
    m_drawer.SetStyleEntry("body", BodyStyle(font).c_str());
    m_bPrepared = false;
}

void CHtmlStatic::SetMarkup(const char* text) {
    m_strMarkup = text ? text : "";
    m_background.DeleteObject();
    m_picture.DeleteObject();
    m_bPrepared = false;
}

SIZE CHtmlStatic::NaturalSize() {
    // The colour override changes no size: the layout serves the next paint as well. A
    // context of the screen measures as the window's own would, without asking for it.
    CMemoryDC dc(nullptr);
    PrepareText(dc);
    return SIZE{m_nWidth, m_nHeight};
}

void CHtmlStatic::SetCallbackHyperlink(UINT message, LPARAM value) {
    TraceFunction("CHtmlStatic::SetCallbackHyperlink");
    m_drawer.SetCallbackHyperlink(::GetParent(m_hWnd), message, value);
}

CHtmlStatic* CHtmlStatic::FromHandle(HWND window) {
    return dynamic_cast<CHtmlStatic*>(CWnd::FromHandlePermanent(window));
}

void CHtmlStatic::PreSubclassWindow() {
    TraceFunction("CHtmlStatic::PreSubclassWindow");
    LONG style = ::GetWindowLongA(m_hWnd, GWL_STYLE);
    // Without it the static lets the mouse through to its parent (a label made here has it).
    if (!(style & SS_NOTIFY)) ::SetWindowLongA(m_hWnd, GWL_STYLE, style | SS_NOTIFY);
    m_bEnabled = !(style & WS_DISABLED);
    m_drawer.SetEnabled(m_bEnabled);
    m_drawer.SetCallbackHover(m_hWnd, WM_HTML_HOVER, 0);
    // Its layout is kept when it was made with the markup it was measured for.
    std::string text = fw::WindowText(m_hWnd);
    if (text != m_strMarkup) SetMarkup(text.c_str());
}

void CHtmlStatic::PostNcDestroy() {
    if (m_nBusy) {
        m_bWindowGone = true;
        return;
    }
    delete this;
}

LRESULT CHtmlStatic::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    vorlan::TraceWindowMessage("CHtmlStatic", LabelMessageName(msg));
    switch (msg) {
    case WM_NCCREATE: return OnNcCreate(reinterpret_cast<const CREATESTRUCTA*>(lParam), wParam, lParam);
    case WM_PAINT: return OnPaint();
    case WM_SETTEXT: return OnSetText(reinterpret_cast<const char*>(lParam));
    case WM_GETTEXT: return OnGetText(static_cast<size_t>(wParam), reinterpret_cast<char*>(lParam));
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(m_strMarkup.size());
    case WM_SETFONT: return OnSetFont(reinterpret_cast<HFONT>(wParam), LOWORD(lParam) != 0);
    case WM_GETFONT: return reinterpret_cast<LRESULT>(m_hFont);
    case WM_ENABLE: return OnEnable(wParam != 0);
    case WM_SIZE: return OnSize(wParam, lParam);
    case WM_SETCURSOR: return OnSetCursor(wParam, lParam);
    case WM_TIMER: return OnTimer(wParam, lParam);
    case WM_MOUSEMOVE: return OnMouseMove(wParam, lParam);
    case WM_MOUSELEAVE: Redraw(true); return 0;
    // Sent from inside the drawer's mouse-over: painted later, not in the middle of it.
    case WM_HTML_HOVER: Redraw(false); return 1;
    case WM_LBUTTONDOWN: return OnLButtonDown(wParam, lParam);
    case WM_HTML_GETSIZE: return OnGetSize(reinterpret_cast<SIZE*>(wParam));
    default: return CStatic::WindowProc(msg, wParam, lParam);
    }
}

LRESULT CHtmlStatic::OnNcCreate(const CREATESTRUCTA* cs, WPARAM wParam, LPARAM lParam) {
    if (cs && cs->lpszName && HIWORD(reinterpret_cast<ULONG_PTR>(cs->lpszName))) m_strMarkup = cs->lpszName;
    return CStatic::WindowProc(WM_NCCREATE, wParam, lParam);
}

void CHtmlStatic::PaintBackground(HDC composed, const CRect& client) {
    if (m_nBackgroundMode == 1) {
        HWND parent = ::GetParent(m_hWnd);
        if (!parent || !::SendMessageA(parent, WM_TAB_ERASEBKGND, reinterpret_cast<WPARAM>(composed),
                                       reinterpret_cast<LPARAM>(m_hWnd)))
            ::FillRect(composed, &client, ::GetSysColorBrush(COLOR_BTNFACE));
    } else {
        CBrush brush(m_crBackground);
        ::FillRect(composed, &client, brush);
    }
}

std::string CHtmlStatic::ShownText() const {
    if (m_crText == CLR_INVALID) return m_strMarkup;
    char open[32];
    std::snprintf(open, sizeof open, "<font color=0x%06X>", static_cast<unsigned>(m_crText));
    return open + m_strMarkup + "</font>";
}

void CHtmlStatic::PlaceOutput(const CRect& client) {
    UINT align = m_nAlign;
    if (!align) {
        LONG style = ::GetWindowLongA(m_hWnd, GWL_STYLE);
        LONG type = style & SS_TYPEMASK;
        align = type == SS_CENTER ? 3u : type == SS_RIGHT ? 2u : 1u;
        align |= (style & SS_CENTERIMAGE) ? 12u : 4u;
    }
    int x = client.left, y = client.top;
    switch (align & 3) {
    case 2: x = client.right - m_nWidth; break;
    case 3: x = client.left + (client.Width() - m_nWidth) / 2; break;
    default: break;
    }
    switch (align & 12) {
    case 8: y = client.bottom - m_nHeight; break;
    case 12: y = client.top + (client.Height() - m_nHeight) / 2; break;
    default: break;
    }
    m_rcOutput = CRect(x, y + 1, x + m_nWidth, y + 1 + m_nHeight);
}

void CHtmlStatic::PrepareText(HDC dc) {
    if (m_bPrepared) return;
    std::string text = ShownText();
    SIZE size{0, 0};
    m_drawer.Prepare(dc, text.c_str(), &size);
    m_nWidth = size.cx;
    m_nHeight = size.cy;
    m_bPrepared = true;
}

void CHtmlStatic::Compose(HDC dc, HDC composed, const CRect& client) {
    // Both pictures are top-down 32-bit sections of the client's size: rows copy as they are.
    const size_t bytes = static_cast<size_t>(m_picture.GetStride()) * static_cast<size_t>(client.Height());
    if (!FitsClient(m_background, client)) m_background.DeleteObject();
    if (m_background.m_hObject) {
        ::GdiFlush();
        std::memcpy(m_picture.GetBits(), m_background.GetBits(), bytes);
    } else {
        PaintBackground(composed, client);
        if (m_background.Create32(client.Width(), client.Height())) {
            ::GdiFlush();
            std::memcpy(m_background.GetBits(), m_picture.GetBits(), bytes);
        }
    }
    PrepareText(dc);
    PlaceOutput(client);
    if (!m_bEnabled) {
        // Embossed: a highlight one pixel down and right, the shadow on top of it.
        CRect lower = m_rcOutput;
        lower.OffsetRect(1, 1);
        m_drawer.SetDisabledColor(::GetSysColor(COLOR_BTNHIGHLIGHT));
        m_drawer.DrawPrepared(composed, lower);
        m_drawer.SetDisabledColor(::GetSysColor(COLOR_BTNSHADOW));
    }
    m_drawer.DrawPrepared(composed, m_rcOutput);
}

LRESULT CHtmlStatic::OnPaint() {
    CPaintDC dc(m_hWnd);
    CRect client = GetClientRect();
    if (client.IsRectEmpty()) return 0;
    if (!FitsClient(m_picture, client)) m_picture.DeleteObject();
    bool fresh = !m_picture.m_hObject;
    if (fresh && !m_picture.Create32(client.Width(), client.Height())) return 0;
    CBitmapDC memory(dc, m_picture);
    if (!memory.IsValid()) return 0;
    if (fresh) Compose(dc, memory, client);
    ::BitBlt(dc, 0, 0, client.Width(), client.Height(), memory, 0, 0, SRCCOPY);
    return 0;
}

LRESULT CHtmlStatic::OnSetText(const char* text) {
    m_strMarkup = text ? text : "";
    m_background.DeleteObject();
    Redraw(true);
    return TRUE;
}

LRESULT CHtmlStatic::OnGetText(size_t room, char* buffer) const {
    if (!buffer || room == 0) return 0;
    size_t length = std::min(room - 1, m_strMarkup.size());
    std::memcpy(buffer, m_strMarkup.data(), length);
    buffer[length] = '\0';
    return static_cast<LRESULT>(length);
}

LRESULT CHtmlStatic::OnSetFont(HFONT font, bool redraw) {
    TraceFunction("CHtmlStatic::OnSetFont");
    UseFont(font);
    Redraw(redraw);
    return 0;
}

LRESULT CHtmlStatic::OnEnable(bool enabled) {
    m_bEnabled = enabled;
    m_drawer.SetEnabled(enabled);
    Redraw(true);
    return 0;
}

LRESULT CHtmlStatic::OnSize(WPARAM wParam, LPARAM lParam) {
    m_background.DeleteObject();
    m_picture.DeleteObject();
    return CStatic::WindowProc(WM_SIZE, wParam, lParam);
}

bool CHtmlStatic::HoverAtCursor() {
    POINT p{};
    ::GetCursorPos(&p);
    ::ScreenToClient(m_hWnd, &p);
    return m_drawer.MouseOver(POINT{p.x - m_rcOutput.left, p.y - m_rcOutput.top}) != 0;
}

LRESULT CHtmlStatic::OnSetCursor(WPARAM wParam, LPARAM lParam) {
    ::KillTimer(m_hWnd, kHoverTimer);
    if (m_bEnabled && HoverAtCursor()) {
        // The cursor rests: only the timer sees it leave the link.
        ::SetTimer(m_hWnd, kHoverTimer, 100, nullptr);
        return TRUE;
    }
    return CStatic::WindowProc(WM_SETCURSOR, wParam, lParam);
}

LRESULT CHtmlStatic::OnTimer(WPARAM wParam, LPARAM lParam) {
    if (wParam != kHoverTimer) return CStatic::WindowProc(WM_TIMER, wParam, lParam);
    ::KillTimer(m_hWnd, kHoverTimer);
    if (HoverAtCursor()) ::SetTimer(m_hWnd, kHoverTimer, 100, nullptr);
    return 0;
}

LRESULT CHtmlStatic::OnMouseMove(WPARAM wParam, LPARAM lParam) {
    fw::TrackMouseLeave(m_hWnd);
    return CStatic::WindowProc(WM_MOUSEMOVE, wParam, lParam);
}

LRESULT CHtmlStatic::OnLButtonDown(WPARAM wParam, LPARAM lParam) {
    POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    if (m_bEnabled && m_rcOutput.PtInRect(p)) {
        BusyScope busy(m_nBusy);
        m_drawer.Click(POINT{p.x - m_rcOutput.left, p.y - m_rcOutput.top});
    }
    // The form's handler may have closed the form: nothing of the label is touched then.
    if (m_bWindowGone) {
        if (!m_nBusy) delete this;
        return 0;
    }
    return CStatic::WindowProc(WM_LBUTTONDOWN, wParam, lParam);
}

LRESULT CHtmlStatic::OnGetSize(SIZE* size) {
    if (size) *size = NaturalSize();
    return 1;
}

void CHtmlStatic::Redraw(bool now) {
    m_bPrepared = false;
    m_picture.DeleteObject();
    // A hidden label (or one whose redrawing is off) is painted whole when it shows.
    if (!m_hWnd || !::IsWindowVisible(m_hWnd)) return;
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    if (now) ::UpdateWindow(m_hWnd);
}
