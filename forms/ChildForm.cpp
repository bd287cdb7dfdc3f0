#include "forms/ChildForm.h"

#include "app/ProtocolLog.h"
#include "app/Session.h"
#include "app/SettingsBlock.h"
#include "controls/Diagramm.h"
#include "controls/FormatWnd.h"
#include "controls/HtmlStatic.h"
#include "controls/InPlaceEdit.h"
#include "controls/ListField.h"
#include "forms/FormGeometry.h"
#include "forms/FormMessages.h"
#include "imaging/ImgAnyDecoder.h"
#include "imaging/ImgWinBitmap.h"
#include "resources/resource.h"
#include "tools/DataExplorer.h"
#include "tools/Explorer.h"

namespace {

constexpr const char* kFormClass = "VORLAN Form";
// With the pictures switch a control shows at once: child, visible and the bit 0x80.
constexpr DWORD kPicturesStyle = 0x50000080;
constexpr DWORD kPictureStyle = 9;
constexpr int kFirstBackgroundResource = 99; // picture number n is resource n + 99

CChildForm::Looks g_looks;

// A control object that deletes itself with its window, created on the form with its font.
template <class Control> HWND InsertOwned(HWND form, HFONT font, UINT id, const RECT& rect) {
    auto* control = new Control;
    if (!control->Create(form, rect, id)) {
        delete control;
        return nullptr;
    }
    control->SetFont(font, false);
    return control->m_hWnd;
}

HBRUSH SystemBrush(int colour) {
    return reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(colour + 1));
}

} // namespace

CChildForm::CChildForm() = default;
CChildForm::~CChildForm() = default;

void CChildForm::SetLooks(const Looks& looks) {
    g_looks = looks;
}

const CChildForm::Looks& CChildForm::GetLooks() {
    return g_looks;
}

void CChildForm::RegisterTabEdit() {
    vorlan::TraceFunction("CChildForm::RegisterTabEdit");
    UINT shadow = g_looks.menuShadow ? CS_DROPSHADOW : 0;
    RegisterWindowClass(kStaticBitmapClass, CS_DBLCLKS | shadow, nullptr, nullptr, nullptr, 0,
                        WndProcStaticBitmap);
    RegisterWindowClass(kChartClass, CS_DBLCLKS, nullptr, nullptr, nullptr);
    RegisterWindowClass(kPictureClass, CS_DBLCLKS | CS_SAVEBITS, nullptr, nullptr, SystemBrush(COLOR_BTNFACE),
                        0, WndProcBitmap);
    // The anchor of a tooltip in its two window words.
    RegisterWindowClass(kToolTipClass, shadow, nullptr, nullptr, SystemBrush(COLOR_INFOBK), 2 * sizeof(LONG),
                        WndProcToolTip);
    CInPlaceEdit::SetTabEditProc(&WndProcTabEdit);
}

void CChildForm::UnRegisterTabEdit() {
    vorlan::TraceFunction("CChildForm::UnRegisterTabEdit");
    UnregisterWindowClass(kStaticBitmapClass);
    UnregisterWindowClass(kChartClass);
    UnregisterWindowClass(kPictureClass);
}

bool CChildForm::Create(const RECT& rect, HWND parent) {
    vorlan::TraceFunction("CChildForm::Create");
    RegisterWindowClass(kFormClass, CS_DBLCLKS, nullptr, nullptr, SystemBrush(COLOR_BTNFACE));
    if (!CreateEx(0, kFormClass, "", WS_CHILD | WS_CLIPSIBLINGS, rect, parent, 0)) return false;
    // A form repaints what changed itself; a whole repaint on every size step flickers. (The
    // class is registered without them: only a class changed elsewhere needs the call.)
    ULONG_PTR style = ::GetClassLongPtrA(m_hWnd, GCL_STYLE);
    if (style & (CS_HREDRAW | CS_VREDRAW))
        ::SetClassLongPtrA(m_hWnd, GCL_STYLE, static_cast<LONG_PTR>(style & ~(CS_HREDRAW | CS_VREDRAW)));
    return true;
}

HWND CChildForm::InsertControl(const char* className, UINT id, const RECT& rect, const char* text,
                               DWORD exStyle, DWORD style, WNDPROC* oldProc, WNDPROC newProc, HFONT font) {
    vorlan::TraceFunction("CChildForm::InsertControl");
    if (!::IsWindowEnabled(m_hWnd)) style |= WS_DISABLED;
    // Without the switch the control starts hidden and the form shows it.
    style |= TheSession().Settings().pics ? kPicturesStyle : WS_CHILD;
    HWND control = ::CreateWindowExA(exStyle, className, text ? text : "", style, rect.left, rect.top,
                                     rect.right - rect.left, rect.bottom - rect.top, m_hWnd,
                                     reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                     ::GetModuleHandleA(nullptr), nullptr);
    if (!control) return nullptr;
    if (newProc && oldProc) fw::SubclassShared(control, newProc, oldProc);
    ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font ? font : m_hFont), FALSE);
    // Only the tab edit's frame changes with its procedure (the drop button); asking every
    // control to measure its frame again costs a round of window-system calls each.
    if (newProc == &WndSuperProcTabEdit)
        ::SetWindowPos(control, nullptr, 0, 0, 0, 0,
                       SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    return control;
}

HWND CChildForm::InsertButton(UINT id, const RECT& rect, DWORD style, const char* text) {
    return InsertControl("Button", id, rect, text, 0, style | WS_VISIBLE, nullptr, nullptr);
}

HWND CChildForm::InsertBitmap(UINT id, const RECT& rect, DWORD style, const char* path) {
    return InsertControl(kPictureClass, id, rect, path, WS_EX_CLIENTEDGE, style | kPictureStyle, nullptr,
                         nullptr);
}

namespace {

// The label object with its font, before its window exists.
CHtmlStatic* NewLabel(HFONT font) {
    auto* label = new CHtmlStatic;
    label->UseFont(font);
    return label;
}

} // namespace

HWND CChildForm::MakeLabel(CHtmlStatic* label, const RECT& rect, UINT id, const char* text, DWORD style) {
    style |= WS_CHILD | WS_VISIBLE;
    if (!::IsWindowEnabled(m_hWnd)) style |= WS_DISABLED;
    if (!label->Create(text, style, rect, m_hWnd, id)) {
        delete label;
        return nullptr;
    }
    label->SetCallbackHyperlink(WM_HTML_HYPERLINK, 0);
    return label->m_hWnd;
}

HWND CChildForm::InsertStatic(const RECT& rect, UINT id, const char* text, DWORD style) {
    vorlan::TraceFunction("CChildForm::InsertStatic");
    return MakeLabel(NewLabel(m_hFont), rect, id, text, style);
}

HWND CChildForm::InsertFittedStatic(int x, int y, UINT id, const char* text, DWORD style, HFONT font,
                                    SIZE* size, const char* blank) {
    vorlan::TraceFunction("CChildForm::InsertFittedStatic");
    CHtmlStatic* label = NewLabel(font);
    label->SetMarkup(text);
    // Laid out before it is made: made at its place and size, it is neither moved nor painted
    // twice.
    SIZE natural = label->NaturalSize();
    if (natural.cx == 0 || natural.cy == 0) {
        if (blank) {
            std::string shown = text && *text ? text : blank;
            natural = fw::LineExtentInFont(font, shown.c_str(), static_cast<int>(shown.size()));
        } else {
            natural = fw::TextExtentInFont(font, text);
        }
    }
    int left = (style & SS_TYPEMASK) == SS_RIGHT ? x - natural.cx : x;
    HWND window = MakeLabel(label, RECT{left, y, left + natural.cx, y + natural.cy}, id, text, style);
    if (size) *size = natural;
    return window;
}

HWND CChildForm::InsertExplorer(int kind, const RECT& rect, UINT id, const char* array) {
    vorlan::TraceFunction("CChildForm::InsertExplorer");
    if (kind == 0) return InsertRecordExplorer(rect, id);
    if (kind != 1) return nullptr;
    auto* explorer = new CDataExplorer;
    if (!explorer->Create(m_hWnd, rect, id)) {
        delete explorer;
        return nullptr;
    }
    HWND window = explorer->m_hWnd;
    if (!::IsWindowEnabled(m_hWnd)) ::EnableWindow(window, FALSE);
    // Filling asks the server and may run its routines: the window can be gone afterwards.
    explorer->SetWindowText(array ? array : "");
    return ::IsWindow(window) ? window : nullptr;
}

HWND CChildForm::InsertRecordExplorer(const RECT& rect, UINT id) {
    if (!RegisterExplorerArea()) return nullptr;
    // Once its window stands, the window owns the object: a failed creation took it along.
    auto* explorer = new CExplorer;
    // Creating it fills it from the server, which may close the form: look again afterwards.
    if (!explorer->Create(m_hWnd, rect, id, WS_CHILD | WS_VISIBLE)) return nullptr;
    HWND window = explorer->m_hWnd;
    if (!::IsWindow(window)) return nullptr;
    if (!::IsWindowEnabled(m_hWnd)) ::EnableWindow(window, FALSE);
    return window;
}

HWND CChildForm::InsertListField(UINT id, const RECT& rect) {
    vorlan::TraceFunction("CChildForm::InsertListField");
    return InsertOwned<CListField>(m_hWnd, m_hFont, id, rect);
}

HWND CChildForm::InsertDiagramm(UINT id, const RECT& rect) {
    vorlan::TraceFunction("CChildForm::InsertDiagramm");
    return InsertOwned<CDiagramm>(m_hWnd, m_hFont, id, rect);
}

HWND CChildForm::InsertRichEdit(UINT id, const RECT& rect) {
    vorlan::TraceFunction("CChildForm::InsertRichEdit");
    auto* field = new CFormatWnd;
    if (!field->Create(rect, m_hWnd, id)) {
        delete field;
        return nullptr;
    }
    m_hRichEdit = field->m_hWnd;
    return m_hRichEdit;
}

void CChildForm::SetStaticText(SIZE* size, HWND label, const char* text) {
    // Painted once, at its new size: not first at the old one as well.
    SIZE natural{0, 0};
    if (CHtmlStatic* html = CHtmlStatic::FromHandle(label)) {
        html->SetMarkup(text);
        natural = html->NaturalSize();
    } else {
        // Turning redrawing on shows a window, so a hidden one is left as it is.
        bool shown = (::GetWindowLongA(label, GWL_STYLE) & WS_VISIBLE) != 0;
        if (shown) ::SendMessageA(label, WM_SETREDRAW, FALSE, 0);
        ::SetWindowTextA(label, text);
        if (shown) ::SendMessageA(label, WM_SETREDRAW, TRUE, 0);
        ::SendMessageA(label, WM_HTML_GETSIZE, reinterpret_cast<WPARAM>(&natural), 0);
    }
    if (natural.cx == 0 || natural.cy == 0) natural = fw::TextExtentInWindowFont(label, text);
    RECT now{};
    ::GetWindowRect(label, &now);
    // A new size invalidates the whole label (no bits copied); the same size moves nothing.
    bool resized = now.right - now.left != natural.cx || now.bottom - now.top != natural.cy;
    if (resized)
        ::SetWindowPos(label, nullptr, 0, 0, natural.cx, natural.cy,
                       SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOCOPYBITS);
    // A label that is not shown is painted whole when it shows.
    if (::IsWindowVisible(label)) {
        if (!resized) ::InvalidateRect(label, nullptr, TRUE);
        if (!m_bLabelPaintDeferred) ::UpdateWindow(label);
    }
    if (size) *size = natural;
}

HBITMAP CChildForm::CompatibleBitmapOf(const ImgWinBitmap& image, HDC like, COLORREF* topLeft) {
    HBITMAP bitmap = ::CreateCompatibleBitmap(like, image.GetWidth(), image.GetHeight());
    if (!bitmap) return nullptr;
    CMemoryDC memory(like);
    CSelectedObject select(memory, bitmap);
    image.Draw(memory, 0, 0, SRCCOPY);
    if (topLeft) *topLeft = ::GetPixel(memory, 0, 0);
    return bitmap;
}

COLORREF CChildForm::SetBitmap(const char* picture, CBitmap& bitmap) {
    vorlan::TraceFunction("CChildForm::SetBitmap");
    bitmap.DeleteObject();
    if (!picture || !*picture) return CLR_INVALID;
    ImgWinBitmap image;
    try {
        ImgAnyDecoder decoder;
        if (int n = vorlan::PictureNumber(picture))
            decoder.DecodeResource(::GetModuleHandleA(nullptr), n + kFirstBackgroundResource, &image, 0,
                                   "DIALOGBACK");
        else
            decoder.DecodeFile(picture, &image);
    } catch (const ImgTextException&) {
        return CLR_INVALID; // a field without a picture
    }
    COLORREF topLeft = CLR_INVALID;
    CClientDC screen(nullptr);
    bitmap.Attach(CompatibleBitmapOf(image, screen, &topLeft));
    return bitmap.m_hObject ? topLeft : CLR_INVALID;
}

void CChildForm::TellParent(int code) {
    vorlan::ChildMessageRecord record{code, m_hWnd, 0};
    ::SendMessageA(::GetParent(m_hWnd), WM_CHILDMESSAGE, 0, reinterpret_cast<LPARAM>(&record));
}

LRESULT CChildForm::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_NCCREATE: {
        LRESULT created = CWnd::WindowProc(msg, wParam, lParam);
        if (created) TellParent(vorlan::kChildRegister);
        return created;
    }
    case WM_DESTROY: TellParent(vorlan::kChildClose); break;
    case WM_ERASEBKGND: return OnEraseBackground(reinterpret_cast<HDC>(wParam));
    default: break;
    }
    return CWnd::WindowProc(msg, wParam, lParam);
}

LRESULT CChildForm::OnEraseBackground(HDC dc) {
    CRect client = GetClientRect();
    CSaveDC saved(dc);
    for (UINT id : m_excluded) {
        HWND control = GetDlgItem(static_cast<int>(id));
        if (!control) continue;
        CRect r;
        ::GetWindowRect(control, &r);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
        ::ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
    }
    bool painted = g_looks.visualStyles &&
                   ::SendMessageA(::GetParent(m_hWnd), WM_TAB_ERASEBKGND, reinterpret_cast<WPARAM>(dc),
                                  reinterpret_cast<LPARAM>(m_hWnd)) != 0;
    if (!painted) ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_BTNFACE));
    BITMAP bm{};
    if (m_background.GetBitmap(bm)) {
        CMemoryDC memory(dc);
        CSelectedObject select(memory, m_background);
        ::BitBlt(dc, (client.Width() - bm.bmWidth) / 2, (client.Height() - bm.bmHeight) / 2, bm.bmWidth,
                 bm.bmHeight, memory, 0, 0, SRCCOPY);
    }
    return 1;
}
