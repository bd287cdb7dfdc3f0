#include "controls/HtmlDrawer.h"

#include "app/ProtocolLog.h"
#include "controls/DrawManager.h"
#include "controls/HtmlGdiCanvas.h"
#include "controls/HtmlLayout.h"
#include "controls/HtmlPicture.h"

#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <vector>

using vorlan::TraceFunction;

namespace {

// The default text value of an open key, as long as it is.
LONG QueryDefault(HKEY key, std::string& out) {
    DWORD type = 0, size = 0;
    LONG rc = ::RegQueryValueExA(key, nullptr, nullptr, &type, nullptr, &size);
    if (rc != ERROR_SUCCESS) return rc;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return ERROR_INVALID_DATA;
    std::vector<char> value(size + 1, '\0');
    rc = ::RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &size);
    if (rc != ERROR_SUCCESS) return rc;
    // A stored value need not carry its terminator.
    value[std::min<size_t>(size, value.size() - 1)] = '\0';
    out = value.data();
    if (type == REG_EXPAND_SZ) {
        DWORD needed = ::ExpandEnvironmentStringsA(out.c_str(), nullptr, 0);
        std::vector<char> expanded(needed + 1, '\0');
        if (needed > 0 && ::ExpandEnvironmentStringsA(out.c_str(), expanded.data(), needed) > 0)
            out = expanded.data();
    }
    return ERROR_SUCCESS;
}

LONG ReadDefaultValue(HKEY root, const char* path, std::string& out) {
    HKEY key = nullptr;
    LONG rc = ::RegOpenKeyExA(root, path ? path : "", 0, KEY_READ, &key);
    if (rc != ERROR_SUCCESS) return rc;
    rc = QueryDefault(key, out);
    ::RegCloseKey(key);
    return rc;
}

// The system's hand cursor; where there is none, the help program's pointing hand, copied so
// that the program need not stay loaded.
HCURSOR LoadHandCursor(bool& owned) {
    owned = false;
    if (HCURSOR hand = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32649))) return hand;
    char folder[MAX_PATH] = {};
    UINT length = ::GetWindowsDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    std::string path = std::string(folder) + "\\winhlp32.exe";
    HMODULE help = ::LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!help) return nullptr;
    HCURSOR copy = nullptr;
    if (HCURSOR pointing = ::LoadCursorA(help, MAKEINTRESOURCEA(106))) {
        copy = reinterpret_cast<HCURSOR>(::CopyIcon(reinterpret_cast<HICON>(pointing)));
        owned = copy != nullptr;
    }
    ::FreeLibrary(help);
    return copy;
}

class CSystemShell : public IHtmlShell {
  public:
    HWND m_hOwner = nullptr;

    INT_PTR Open(const char* target, int show) override {
        return reinterpret_cast<INT_PTR>(::ShellExecuteA(m_hOwner, "open", target, nullptr, nullptr, show));
    }
    bool Start(const char* commandLine, int show) override {
        std::vector<char> line(commandLine, commandLine + std::strlen(commandLine) + 1);
        STARTUPINFOA start{};
        start.cb = sizeof start;
        start.dwFlags = STARTF_USESHOWWINDOW;
        start.wShowWindow = static_cast<WORD>(show);
        PROCESS_INFORMATION process{};
        if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start,
                              &process))
            return false;
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
        return true;
    }
};

} // namespace

std::string RegisteredBrowserCommand(const std::string& target) {
    std::string type, command;
    if (ReadDefaultValue(HKEY_CLASSES_ROOT, ".htm", type) != ERROR_SUCCESS || type.empty())
        return std::string();
    if (ReadDefaultValue(HKEY_CLASSES_ROOT, (type + "\\shell\\open\\command").c_str(), command) !=
        ERROR_SUCCESS)
        return std::string();
    return html::HandlerCommandLine(command, target);
}

std::unique_ptr<IHtmlShell> MakeSystemShell(HWND owner) {
    auto shell = std::make_unique<CSystemShell>();
    shell->m_hOwner = owner;
    return shell;
}

namespace {

struct Callback {
    HWND window = nullptr;
    UINT message = 0;
    LPARAM value = 0;
    bool IsSet() const { return window && message; }
    LRESULT Send(WPARAM wParam) const { return ::SendMessageA(window, message, wParam, value); }
};

} // namespace

class CHtmlDrawerState {
  public:
    CHtmlDrawerState() : layout([](int index) { return static_cast<html::Colour>(::GetSysColor(index)); }) {}
    ~CHtmlDrawerState() {
        if (ownHand && hand) ::DestroyCursor(hand);
    }
    // Loaded when the pointer first rests on a link: most labels have none, and loading it is
    // a trip to the window system.
    HCURSOR Hand() {
        if (!handLoaded) hand = LoadHandCursor(ownHand);
        handLoaded = true;
        return hand;
    }

    html::Layout layout;
    CDrawManager draw;
    HtmlShadow shadow;
    bool ownHand = false;
    bool handLoaded = false;
    HCURSOR hand = nullptr;
    Callback hover, hyperlink, hoverText;
    CSystemShell systemShell;
    IHtmlShell* shell = nullptr;
    HIMAGELIST imageList = nullptr;
    // Callbacks may destroy the label and its drawer; a weak copy tells whether it still lives.
    std::shared_ptr<char> alive = std::make_shared<char>();

    CHtmlGdiCanvas Canvas(HDC dc) {
        return CHtmlGdiCanvas(dc, draw, ApplicationPictureSources(imageList), shadow, layout.Enabled());
    }
};

CHtmlDrawer::CHtmlDrawer() : m_state(std::make_unique<CHtmlDrawerState>()) {
    TraceFunction("CHtmlDrawer::CHtmlDrawer");
}

CHtmlDrawer::~CHtmlDrawer() {
    TraceFunction("CHtmlDrawer::~CHtmlDrawer");
}

void CHtmlDrawer::SetStyleSheet(const char* text) {
    TraceFunction("CHtmlDrawer::SetStyleSheet");
    m_state->layout.SetStyleSheet(text ? text : "");
}

void CHtmlDrawer::SetStyleEntry(const char* selector, const char* properties) {
    TraceFunction("CHtmlDrawer::SetStyleEntry");
    if (!selector) return;
    m_state->layout.SetStyleEntry(selector, properties ? properties : "");
}

void CHtmlDrawer::SetEnabled(bool enabled) {
    TraceFunction("CHtmlDrawer::SetEnabled");
    m_state->layout.SetEnabled(enabled);
}

void CHtmlDrawer::SetDisabledColor(COLORREF colour) {
    TraceFunction("CHtmlDrawer::SetDisabledColor");
    m_state->layout.SetDisabledColour(colour);
}

void CHtmlDrawer::SetCallbackHover(HWND window, UINT message, LPARAM value) {
    TraceFunction("CHtmlDrawer::SetCallbackHover");
    m_state->hover = Callback{window, message, value};
}

void CHtmlDrawer::SetCallbackHyperlink(HWND window, UINT message, LPARAM value) {
    TraceFunction("CHtmlDrawer::SetCallbackHyperlink");
    m_state->hyperlink = Callback{window, message, value};
}

void CHtmlDrawer::SetCallbackHoverText(HWND window, UINT message, LPARAM value) {
    TraceFunction("CHtmlDrawer::SetCallbackHoverText");
    m_state->hoverText = Callback{window, message, value};
}

void CHtmlDrawer::SetShell(IHtmlShell* shell) {
    TraceFunction("CHtmlDrawer::SetShell");
    m_state->shell = shell;
}

void CHtmlDrawer::SetImageList(HIMAGELIST list) {
    TraceFunction("CHtmlDrawer::SetImageList");
    m_state->imageList = list;
}

LONG CHtmlDrawer::GetRegKey(HKEY root, const char* path, char* out) {
    TraceFunction("CHtmlDrawer::GetRegKey");
    constexpr size_t kRoom = 260;
    HKEY key = nullptr;
    LONG rc = ::RegOpenKeyExA(root, path ? path : "", 0, KEY_READ, &key);
    if (rc != ERROR_SUCCESS) return rc;
    std::string value;
    rc = QueryDefault(key, value);
    ::RegCloseKey(key);
    // The room holds the terminator too.
    if (rc == ERROR_SUCCESS && value.size() >= kRoom) rc = ERROR_MORE_DATA;
    if (rc != ERROR_SUCCESS) value.clear();
    if (out) std::memcpy(out, value.c_str(), value.size() + 1);
    return rc;
}

void CHtmlDrawer::Prepare(HDC dc, const char* text, SIZE* size) {
    TraceFunction("CHtmlDrawer::Prepare");
    CHtmlGdiCanvas canvas = m_state->Canvas(dc);
    html::Size measured = m_state->layout.Prepare(canvas, text ? text : "");
    if (size) *size = SIZE{measured.cx, measured.cy};
}

void CHtmlDrawer::DrawPrepared(HDC dc, const RECT& rect) {
    TraceFunction("CHtmlDrawer::DrawPrepared");
    CHtmlGdiCanvas canvas = m_state->Canvas(dc);
    m_state->layout.Draw(canvas, html::Rect{rect.left, rect.top, rect.right, rect.bottom});
}

int CHtmlDrawer::HitTest(POINT point) const {
    TraceFunction("CHtmlDrawer::HitTest");
    return m_state->layout.HitTest(point.x, point.y);
}

BOOL CHtmlDrawer::MouseOver(POINT point) {
    TraceFunction("CHtmlDrawer::MouseOver");
    // Everything the callbacks need is copied first: they may repaint, or destroy, the label.
    html::HoverResult hover = m_state->layout.MouseOver(point.x, point.y);
    const Callback hoverCallback = m_state->hover, textCallback = m_state->hoverText;
    const HCURSOR hand = hover.hand ? m_state->Hand() : nullptr;
    std::weak_ptr<char> alive = m_state->alive;
    if (hover.notify) {
        if (hoverCallback.IsSet()) hoverCallback.Send(static_cast<WPARAM>(static_cast<INT_PTR>(hover.link)));
        if (textCallback.IsSet())
            textCallback.Send(hover.hasText ? reinterpret_cast<WPARAM>(hover.text.c_str()) : 0);
        if (alive.expired()) return FALSE;
    }
    if (!hover.hand || !hand) return FALSE;
    ::SetCursor(hand);
    return TRUE;
}

void CHtmlDrawer::Click(POINT point) {
    TraceFunction("CHtmlDrawer::Click");
    const html::ClickResult click = m_state->layout.Click(point.x, point.y);
    if (click.text.empty()) return;
    if (click.kind == html::kLinkHref) {
        IHtmlShell* shell = m_state->shell;
        if (!shell) {
            m_state->systemShell.m_hOwner = m_state->hyperlink.window;
            shell = &m_state->systemShell;
        }
        std::weak_ptr<char> alive = m_state->alive;
        if (shell->Open(click.text.c_str(), SW_SHOW) > 32 || alive.expired()) return;
        // The shell knows no way to open it: ask the registered handler of HTML files.
        std::string line = RegisteredBrowserCommand(click.text);
        if (!line.empty()) shell->Start(line.c_str(), SW_SHOW);
        return;
    }
    if (click.kind == html::kLinkMessage || click.kind == html::kLinkKey) {
        // The form's handler may set the label's text or close the form: the text it reads is a
        // copy, and nothing of the drawer is touched once it returns.
        const Callback link = m_state->hyperlink;
        if (link.IsSet()) link.Send(reinterpret_cast<WPARAM>(click.text.c_str()));
    }
}

void CHtmlDrawer::DrawBackgroundPicture(HDC dc, const RECT& rect, const char* description) {
    TraceFunction("CHtmlDrawer::DrawBackgroundPicture");
    if (!description || std::strlen(description) < 6) return;
    CHtmlGdiCanvas canvas = m_state->Canvas(dc);
    canvas.DrawBackgroundPicture(html::Rect{rect.left, rect.top, rect.right, rect.bottom}, description);
}
