#pragma once
// Window object core. Each CWnd is found from its handle through a map of our own (the
// window user data belongs to the program). Windows we create are subclassed at creation,
// so WindowProc sees every message from WM_NCCREATE on: a window of a class registered here
// meets its object through the class procedure, one of any other class through a creation
// hook, unless its object can do without the creation messages (SubclassesAfterCreation).

#include "framework/FwString.h"
#include "framework/Geometry.h"

#include <windows.h>

#include <optional>
#include <string>

class CCmdUI;

class CWnd {
  public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    static CWnd* FromHandlePermanent(HWND hwnd);

    bool CreateEx(DWORD exStyle, const char* className, const char* title, DWORD style, const RECT& rect,
                  HWND parent, UINT idOrMenu, void* param = nullptr);
    bool Create(const char* className, const char* title, DWORD style, const RECT& rect, HWND parent,
                UINT id);
    // Takes over an existing window: its messages now pass through WindowProc first.
    bool SubclassWindow(HWND hwnd);
    bool SubclassDlgItem(UINT id, HWND parent) {
        return SubclassWindow(::GetDlgItem(parent, static_cast<int>(id)));
    }
    HWND UnsubclassWindow();
    // Map only, no subclassing (for handles owned elsewhere).
    bool Attach(HWND hwnd);
    HWND Detach();
    virtual bool DestroyWindow();

    virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
    virtual bool PreCreateWindow(CREATESTRUCTA& cs);
    // The object meets its window here, before any message of it passes through WindowProc:
    // at creation before WM_NCCREATE, else when an existing window is subclassed.
    virtual void PreSubclassWindow() {}
    // True for an object that needs none of its window's creation messages: a window of a
    // system class is then subclassed once CreateEx has made it, without the creation hook
    // (whose setting, call and removal each go to the window system).
    virtual bool SubclassesAfterCreation() const { return false; }
    // Called after the last message; a window that owns itself deletes itself here.
    virtual void PostNcDestroy() {}
    // Offered every queued message for this window or a descendant before dispatch.
    virtual bool PreTranslateMessage(MSG* msg);
    // Command routing (see CmdUI.h): true when this window's tables took the command.
    virtual bool OnCmdMsg(UINT id, int code, CCmdUI* ui) {
        (void)id;
        (void)code;
        (void)ui;
        return false;
    }

    // Registers a window class. Without a procedure the class takes the framework's: a window
    // that CreateEx makes meets its object at its first message, and any other window is
    // served as the default procedure serves it.
    static bool RegisterWindowClass(const char* name, UINT style, HICON icon, HCURSOR cursor,
                                    HBRUSH background, int windowExtra = 0, WNDPROC proc = nullptr);
    static void UnregisterWindowClass(const char* name);

    LRESULT SendMessage(UINT msg, WPARAM w = 0, LPARAM l = 0) const {
        return ::SendMessageA(m_hWnd, msg, w, l);
    }
    bool PostMessage(UINT msg, WPARAM w = 0, LPARAM l = 0) const {
        return ::PostMessageA(m_hWnd, msg, w, l) != 0;
    }
    void SetWindowText(const char* text) { ::SetWindowTextA(m_hWnd, text); }
    void GetWindowText(CString& out) const;
    CString GetWindowText() const {
        CString s;
        GetWindowText(s);
        return s;
    }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    void SetDlgItemText(int id, const char* text) { ::SetDlgItemTextA(m_hWnd, id, text); }
    CString GetDlgItemText(int id) const;
    bool ShowWindow(int cmd) { return ::ShowWindow(m_hWnd, cmd) != 0; }
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }
    bool IsWindow() const { return m_hWnd && ::IsWindow(m_hWnd); }
    bool IsWindowVisible() const { return ::IsWindowVisible(m_hWnd) != 0; }
    bool EnableWindow(bool enable = true) { return ::EnableWindow(m_hWnd, enable) != 0; }
    CRect GetClientRect() const;
    CRect GetWindowRect() const;
    bool MoveWindow(const RECT& r, bool repaint = true) {
        return ::MoveWindow(m_hWnd, r.left, r.top, r.right - r.left, r.bottom - r.top, repaint) != 0;
    }
    bool SetWindowPos(HWND after, int x, int y, int cx, int cy, UINT flags) {
        return ::SetWindowPos(m_hWnd, after, x, y, cx, cy, flags) != 0;
    }
    void SetFont(HFONT font, bool redraw = true) {
        SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
    }
    void CenterWindow(HWND alternateOwner = nullptr);

  protected:
    WNDPROC m_pfnSuper = nullptr;
    // While set, a window that is refused and destroyed stays its creator's object:
    // PostNcDestroy is not called, so a creator that deletes it on failure deletes it once.
    bool m_bBeingCreated = false;

  private:
    friend LRESULT CALLBACK FwWndProc(HWND, UINT, WPARAM, LPARAM);
    friend LRESULT CALLBACK FwClassProc(HWND, UINT, WPARAM, LPARAM);
    friend LRESULT CALLBACK FwCbtHook(int, WPARAM, LPARAM);
    LRESULT Dispatch(UINT msg, WPARAM wParam, LPARAM lParam);
    void AttachSubclassed(HWND hwnd);
    // The window of a framework class, met at its first message: no procedure to replace.
    void AttachByClass(HWND hwnd);
    // Set while the window's messages reach the object through its class procedure.
    bool m_bByClass = false;
};

LRESULT CALLBACK FwWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// The procedure of the classes RegisterWindowClass registers without one of their own.
LRESULT CALLBACK FwClassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

namespace fw {
// A window's text, at most `limit` characters of it (-1: all).
std::string WindowText(HWND window, int limit = -1);

// SetWindowPos for a child without a new z-order, called only when the place or size it sets
// differs from the window's (each call may be a round trip to the window server); true when
// it was called.
bool PlaceChild(HWND window, int x, int y, int width, int height, UINT flags);

// Asks for one WM_MOUSELEAVE when the pointer leaves the window's client area; false when the
// system refused.
bool TrackMouseLeave(HWND window);

// Puts proc in front of the window's own procedure. Every window subclassed with the same
// proc shares one slot for the procedure it replaced (they are all of one class), so the
// slot is all proc needs to pass messages on.
void SubclassShared(HWND hwnd, WNDPROC proc, WNDPROC* slot);

// The framework's plain window class (double clicks, redrawn when sized, arrow cursor, no
// background), registered on first use; for windows that paint everything themselves.
const char* DefaultWindowClass();

// The creation record of CreateWindowEx's arguments, for PreCreateWindow to change.
CREATESTRUCTA MakeCreateStruct(DWORD exStyle, const char* className, const char* title, DWORD style,
                               const RECT& rect, HWND parent, UINT idOrMenu, void* param);

// Subclasses the next window created on this thread (the object is attached at
// HCBT_CREATEWND, before WM_NCCREATE). Used by window and dialog creation.
class CreationHook {
  public:
    explicit CreationHook(CWnd* wnd);
    ~CreationHook();
    CreationHook(const CreationHook&) = delete;
    CreationHook& operator=(const CreationHook&) = delete;

  private:
    HHOOK m_hook;
    CWnd* m_previous;
};

// Whether windows of the class (of the program's instance) reach their objects through the
// framework's class procedure.
bool IsFrameworkClass(const char* className);

// How the next window created on this thread meets its object: through its class procedure
// when the class is the framework's, else through a creation hook. Used by window and MDI
// child creation.
class CreationScope {
  public:
    CreationScope(CWnd* wnd, const char* className);
    // For a caller that already asked whether the class is the framework's.
    CreationScope(CWnd* wnd, bool byClass);
    ~CreationScope();
    CreationScope(const CreationScope&) = delete;
    CreationScope& operator=(const CreationScope&) = delete;

  private:
    bool m_byClass;
    CWnd* m_previous = nullptr;
    std::optional<CreationHook> m_hook;
};
} // namespace fw
