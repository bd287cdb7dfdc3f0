#include "framework/Wnd.h"
#include "framework/Menu.h"
#include "framework/Sync.h"

#include <unordered_map>

namespace {

// Texts read up to this length take one call into a buffer on the stack.
constexpr int kOneCallTextLimit = 1024;

// Process-wide: worker threads create windows too (the wait dialog).
CCriticalSection& MapLock() {
    static CCriticalSection cs;
    return cs;
}
std::unordered_map<HWND, CWnd*>& HandleMap() {
    static std::unordered_map<HWND, CWnd*> map;
    return map;
}

thread_local CWnd* t_creating = nullptr;
// The object whose window of a framework class is being made on this thread.
thread_local CWnd* t_byClass = nullptr;

void MapAdd(HWND hwnd, CWnd* wnd) {
    CSingleLock lock(MapLock());
    HandleMap()[hwnd] = wnd;
}

void MapRemove(HWND hwnd) {
    CSingleLock lock(MapLock());
    HandleMap().erase(hwnd);
}

} // namespace

CWnd* CWnd::FromHandlePermanent(HWND hwnd) {
    if (!hwnd) return nullptr;
    CSingleLock lock(MapLock());
    auto it = HandleMap().find(hwnd);
    return it == HandleMap().end() ? nullptr : it->second;
}

LRESULT CALLBACK FwCbtHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && t_creating) {
        CWnd* wnd = t_creating;
        t_creating = nullptr; // only the outermost window; its children are its own business
        wnd->AttachSubclassed(reinterpret_cast<HWND>(wParam));
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

namespace fw {

CreationHook::CreationHook(CWnd* wnd)
    : m_hook(::SetWindowsHookExA(WH_CBT, FwCbtHook, nullptr, ::GetCurrentThreadId())),
      m_previous(t_creating) {
    t_creating = wnd;
}

CreationHook::~CreationHook() {
    t_creating = m_previous;
    if (m_hook) ::UnhookWindowsHookEx(m_hook);
}

bool IsFrameworkClass(const char* className) {
    WNDCLASSA wc{};
    return className && ::GetClassInfoA(::GetModuleHandleA(nullptr), className, &wc) &&
           wc.lpfnWndProc == FwClassProc;
}

CreationScope::CreationScope(CWnd* wnd, const char* className) : CreationScope(wnd, IsFrameworkClass(className)) {}

CreationScope::CreationScope(CWnd* wnd, bool byClass) : m_byClass(byClass) {
    if (!m_byClass) {
        m_hook.emplace(wnd);
        return;
    }
    m_previous = t_byClass;
    t_byClass = wnd;
}

CreationScope::~CreationScope() {
    if (m_byClass) t_byClass = m_previous;
}

} // namespace fw

void CWnd::AttachSubclassed(HWND hwnd) {
    m_hWnd = hwnd;
    MapAdd(hwnd, this);
    PreSubclassWindow();
    auto old = reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
    if (old != FwWndProc) {
        m_pfnSuper = old;
        ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FwWndProc));
    } else {
        m_pfnSuper = ::DefWindowProcA;
    }
}

void CWnd::AttachByClass(HWND hwnd) {
    m_hWnd = hwnd;
    MapAdd(hwnd, this);
    m_bByClass = true;
    m_pfnSuper = ::DefWindowProcA;
    PreSubclassWindow();
}

LRESULT CALLBACK FwWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    CWnd* wnd = CWnd::FromHandlePermanent(hwnd);
    if (!wnd) return ::DefWindowProcA(hwnd, msg, wParam, lParam);
    return wnd->Dispatch(msg, wParam, lParam);
}

LRESULT CALLBACK FwClassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    CWnd* wnd = CWnd::FromHandlePermanent(hwnd);
    // A window's first message comes from inside CreateWindowEx: the object being created is
    // its own.
    if (!wnd && t_byClass && (msg == WM_NCCREATE || msg == WM_GETMINMAXINFO)) {
        wnd = t_byClass;
        t_byClass = nullptr;
        wnd->AttachByClass(hwnd);
    }
    // An object that subclassed the window itself already had the message; one that only
    // lends its handle never gets it.
    if (wnd && wnd->m_bByClass) return wnd->Dispatch(msg, wParam, lParam);
    return ::DefWindowProcA(hwnd, msg, wParam, lParam);
}

LRESULT CWnd::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    try {
        // Owner-drawn menus measure and draw their items themselves, whoever owns them.
        if ((msg == WM_MEASUREITEM || msg == WM_DRAWITEM) && fw::DispatchMenuItemMessage(m_hWnd, msg, lParam))
            return TRUE;
        result = WindowProc(msg, wParam, lParam);
    } catch (...) {
        // No exception may cross the system's window procedure caller.
        result = 0;
    }
    if (msg == WM_NCDESTROY) {
        MapRemove(m_hWnd);
        m_hWnd = nullptr;
        m_pfnSuper = nullptr;
        m_bByClass = false;
        if (!m_bBeingCreated) PostNcDestroy();
    }
    return result;
}

CWnd::~CWnd() {
    if (m_hWnd) {
        // The object goes first: let the window live on without us.
        HWND h = m_hWnd;
        if (m_pfnSuper && reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(h, GWLP_WNDPROC)) == FwWndProc)
            ::SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
        MapRemove(h);
    }
}

bool CWnd::PreCreateWindow(CREATESTRUCTA&) {
    return true;
}

namespace fw {

void SubclassShared(HWND hwnd, WNDPROC proc, WNDPROC* slot) {
    auto old =
        reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc)));
    if (old && old != proc) *slot = old;
}

CREATESTRUCTA MakeCreateStruct(DWORD exStyle, const char* className, const char* title, DWORD style,
                               const RECT& rect, HWND parent, UINT idOrMenu, void* param) {
    CREATESTRUCTA cs{};
    cs.dwExStyle = exStyle;
    cs.lpszClass = className;
    cs.lpszName = title;
    cs.style = static_cast<LONG>(style);
    cs.x = rect.left;
    cs.y = rect.top;
    cs.cx = rect.right - rect.left;
    cs.cy = rect.bottom - rect.top;
    cs.hwndParent = parent;
    cs.hMenu = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(idOrMenu));
    cs.hInstance = ::GetModuleHandleA(nullptr);
    cs.lpCreateParams = param;
    return cs;
}

} // namespace fw

bool CWnd::CreateEx(DWORD exStyle, const char* className, const char* title, DWORD style, const RECT& rect,
                    HWND parent, UINT idOrMenu, void* param) {
    CREATESTRUCTA cs = fw::MakeCreateStruct(exStyle, className, title, style, rect, parent, idOrMenu, param);
    if (!PreCreateWindow(cs)) return false;
    auto create = [&cs] {
        return ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, static_cast<DWORD>(cs.style), cs.x,
                                 cs.y, cs.cx, cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance,
                                 cs.lpCreateParams);
    };
    HWND hwnd;
    const bool byClass = fw::IsFrameworkClass(cs.lpszClass);
    if (SubclassesAfterCreation() && !byClass) {
        hwnd = create();
        if (hwnd) AttachSubclassed(hwnd);
        return hwnd != nullptr;
    }
    {
        fw::CreationScope scope(this, byClass);
        m_bBeingCreated = true;
        hwnd = create();
        m_bBeingCreated = false;
    }
    // A window that never reached its object while it was made (no hook could be set) is
    // subclassed as it stands.
    if (hwnd && !m_hWnd && !FromHandlePermanent(hwnd)) AttachSubclassed(hwnd);
    if (!hwnd && m_hWnd) {
        // Creation refused after WM_NCCREATE: the window is already gone.
        MapRemove(m_hWnd);
        m_hWnd = nullptr;
    }
    return hwnd != nullptr;
}

bool CWnd::Create(const char* className, const char* title, DWORD style, const RECT& rect, HWND parent,
                  UINT id) {
    return CreateEx(0, className, title, style | (parent ? WS_CHILD : 0), rect, parent, id);
}

bool CWnd::SubclassWindow(HWND hwnd) {
    if (!hwnd || m_hWnd || FromHandlePermanent(hwnd)) return false;
    AttachSubclassed(hwnd);
    return true;
}

HWND CWnd::UnsubclassWindow() {
    HWND h = m_hWnd;
    if (!h) return nullptr;
    // A window of a framework class keeps its class procedure, which serves it as the default
    // procedure would once the object is gone.
    if (m_pfnSuper && !m_bByClass)
        ::SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
    m_bByClass = false;
    MapRemove(h);
    m_hWnd = nullptr;
    return h;
}

bool CWnd::Attach(HWND hwnd) {
    // A window that has an object already keeps it: its messages go through that object.
    if (!hwnd || m_hWnd || FromHandlePermanent(hwnd)) return false;
    m_hWnd = hwnd;
    MapAdd(hwnd, this);
    return true;
}

HWND CWnd::Detach() {
    HWND h = m_hWnd;
    if (h) MapRemove(h);
    m_hWnd = nullptr;
    m_bByClass = false;
    return h;
}

bool CWnd::DestroyWindow() {
    return m_hWnd && ::DestroyWindow(m_hWnd) != 0;
}

LRESULT CWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProc(msg, wParam, lParam);
}

LRESULT CWnd::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper) return ::CallWindowProcA(m_pfnSuper, m_hWnd, msg, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, msg, wParam, lParam);
}

bool CWnd::PreTranslateMessage(MSG*) {
    return false;
}

bool CWnd::RegisterWindowClass(const char* name, UINT style, HICON icon, HCURSOR cursor, HBRUSH background,
                               int windowExtra, WNDPROC proc) {
    WNDCLASSA wc{};
    HINSTANCE inst = ::GetModuleHandleA(nullptr);
    if (::GetClassInfoA(inst, name, &wc)) return true;
    wc = WNDCLASSA{};
    wc.style = style;
    wc.lpfnWndProc = proc ? proc : FwClassProc;
    wc.hInstance = inst;
    wc.hIcon = icon;
    wc.hCursor = cursor ? cursor : ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = background;
    wc.cbWndExtra = windowExtra;
    wc.lpszClassName = name;
    return ::RegisterClassA(&wc) != 0;
}

void CWnd::UnregisterWindowClass(const char* name) {
    ::UnregisterClassA(name, ::GetModuleHandleA(nullptr));
}

const char* fw::DefaultWindowClass() {
    static const char kName[] = "FwWnd";
    static bool registered =
        CWnd::RegisterWindowClass(kName, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, nullptr, nullptr, nullptr);
    (void)registered;
    return kName;
}

bool fw::TrackMouseLeave(HWND window) {
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof track;
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = window;
    return ::TrackMouseEvent(&track) != 0;
}

bool fw::PlaceChild(HWND window, int x, int y, int width, int height, UINT flags) {
    RECT r;
    if (!::GetWindowRect(window, &r)) return false;
    ::MapWindowPoints(nullptr, ::GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    bool moves = !(flags & SWP_NOMOVE) && (r.left != x || r.top != y);
    bool sizes = !(flags & SWP_NOSIZE) && (r.right - r.left != width || r.bottom - r.top != height);
    if (!moves && !sizes && !(flags & (SWP_FRAMECHANGED | SWP_SHOWWINDOW | SWP_HIDEWINDOW))) return false;
    ::SetWindowPos(window, nullptr, x, y, width, height, flags | SWP_NOZORDER);
    return true;
}

std::string fw::WindowText(HWND window, int limit) {
    if (limit >= 0 && limit <= kOneCallTextLimit) {
        // One message instead of two: a control's messages may each cost a trip to the window
        // system (a tooltip's subclassing looks up its data on every one).
        char text[kOneCallTextLimit + 1];
        int got = ::GetWindowTextA(window, text, limit + 1);
        return std::string(text, static_cast<size_t>(got > 0 ? got : 0));
    }
    int length = ::GetWindowTextLengthA(window);
    if (limit >= 0 && length > limit) length = limit;
    std::string text(static_cast<size_t>(length) + 1, '\0');
    int got = ::GetWindowTextA(window, &text[0], length + 1);
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    return text;
}

void CWnd::GetWindowText(CString& out) const {
    out = CString(fw::WindowText(m_hWnd));
}

CString CWnd::GetDlgItemText(int id) const {
    HWND item = GetDlgItem(id);
    return item ? CString(fw::WindowText(item)) : CString();
}

CRect CWnd::GetClientRect() const {
    CRect r;
    ::GetClientRect(m_hWnd, &r);
    return r;
}

CRect CWnd::GetWindowRect() const {
    CRect r;
    ::GetWindowRect(m_hWnd, &r);
    return r;
}

void CWnd::CenterWindow(HWND alternateOwner) {
    CRect area;
    HWND owner = alternateOwner ? alternateOwner : ::GetWindow(m_hWnd, GW_OWNER);
    if (owner && ::IsWindowVisible(owner) && !::IsIconic(owner))
        ::GetWindowRect(owner, &area);
    else
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    CRect me = GetWindowRect();
    int x = area.left + (area.Width() - me.Width()) / 2;
    int y = area.top + (area.Height() - me.Height()) / 2;
    SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
