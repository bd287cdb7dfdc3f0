#include "tests/harness/Person.h"
#include "framework/App.h"
#include "framework/MessageHooks.h"
#include "framework/TestProbe.h"
#include "framework/Thread.h"
#include "framework/Wnd.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace harness {

namespace {

struct KeyName {
    const char* name;
    WORD vk;
};

const KeyName kKeys[] = {
    {"Tab", VK_TAB},     {"Return", VK_RETURN},  {"Enter", VK_RETURN}, {"Esc", VK_ESCAPE},
    {"Space", VK_SPACE}, {"Back", VK_BACK},      {"Del", VK_DELETE},   {"Ins", VK_INSERT},
    {"Home", VK_HOME},   {"End", VK_END},        {"Up", VK_UP},        {"Down", VK_DOWN},
    {"Left", VK_LEFT},   {"Right", VK_RIGHT},    {"PgUp", VK_PRIOR},   {"PgDn", VK_NEXT},
    {"Plus", VK_ADD},    {"Minus", VK_SUBTRACT}, {"Apps", VK_APPS},
};

WORD KeyOf(const std::string& name) {
    for (const auto& k : kKeys)
        if (name == k.name) return k.vk;
    if (name.size() > 1 && name[0] == 'F' && std::isdigit(static_cast<unsigned char>(name[1]))) {
        int n = std::atoi(name.c_str() + 1);
        if (n >= 1 && n <= 24) return static_cast<WORD>(VK_F1 + n - 1);
    }
    if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0])))
        return static_cast<WORD>(std::toupper(static_cast<unsigned char>(name[0])));
    return 0;
}

bool IsExtended(WORD vk) {
    switch (vk) {
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_INSERT:
    case VK_DELETE:
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_APPS: return true;
    default: return false;
    }
}

INPUT KeyInput(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(::MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (IsExtended(vk) ? KEYEVENTF_EXTENDEDKEY : 0);
    return in;
}

INPUT CharInput(wchar_t c, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wScan = c;
    in.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
    return in;
}

void Send(std::vector<INPUT>& inputs) {
    if (inputs.empty()) return;
    UINT sent = ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    if (sent != inputs.size())
        std::fprintf(stderr, "Person: SendInput took %u of %zu\n", sent, inputs.size());
}

// The key sequence of one character: its key with Shift when the layout has one, else the
// character itself.
void AddCharacter(std::vector<INPUT>& out, unsigned char c) {
    if (c == '\t' || c == '\n') {
        WORD vk = c == '\t' ? VK_TAB : VK_RETURN;
        out.push_back(KeyInput(vk, false));
        out.push_back(KeyInput(vk, true));
        return;
    }
    wchar_t wide = 0;
    char narrow = static_cast<char>(c);
    ::MultiByteToWideChar(1252, 0, &narrow, 1, &wide, 1);
    // The test display's layout has no keys of its own for the letters above ASCII, and the
    // layout's nearest key (the "a" for an "\xE4") would type another letter.
    SHORT scan = c < 128 ? ::VkKeyScanW(wide) : SHORT(-1);
    int shifts = scan == -1 ? -1 : HIBYTE(scan);
    if (shifts < 0 || (shifts & ~1) != 0) {
        out.push_back(CharInput(wide, false));
        out.push_back(CharInput(wide, true));
        return;
    }
    WORD vk = LOBYTE(scan);
    if (shifts & 1) out.push_back(KeyInput(VK_SHIFT, false));
    out.push_back(KeyInput(vk, false));
    out.push_back(KeyInput(vk, true));
    if (shifts & 1) out.push_back(KeyInput(VK_SHIFT, true));
}

// Finds the probe of the program's process.
HWND FindProbe(DWORD processId) {
    std::string title = std::to_string(processId);
    return ::FindWindowExA(HWND_MESSAGE, nullptr, fw::kTestProbeClass, title.c_str());
}

// One message of this thread as the program's own pump handles it.
void PumpOne(MSG& msg) {
    fw::CPumpedMessage pumped(&msg);
    if (fw::OfferToMessageHooks(&msg)) return;
    CWinApp* app = AfxGetApp();
    bool taken = app ? app->PreTranslateMessage(&msg) : fw::WalkPreTranslateTree(nullptr, &msg);
    if (taken) return;
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
}

BOOL CALLBACK PaintNow(HWND window, LPARAM) {
    if (::IsWindowVisible(window)) ::RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    return TRUE;
}

struct ListFinder {
    DWORD thread;
    HWND found;
};

BOOL CALLBACK FindDroppedList(HWND window, LPARAM param) {
    auto* f = reinterpret_cast<ListFinder*>(param);
    char name[32] = {};
    ::GetClassNameA(window, name, sizeof name);
    if (::lstrcmpiA(name, "ComboLBox") == 0 && ::IsWindowVisible(window) &&
        ::GetWindowThreadProcessId(window, nullptr) == f->thread) {
        f->found = window;
        return FALSE;
    }
    return TRUE;
}

POINT Centre(HWND window) {
    RECT r{};
    ::GetClientRect(window, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

} // namespace

Person::Person(DWORD processId) : m_process(processId) {
    m_request = ::RegisterWindowMessageA(fw::kTestProbeRequest);
    if (processId == 0) {
        m_thread = ::GetCurrentThreadId();
        return;
    }
    // The program makes its probe when its message loop starts.
    for (DWORD start = ::GetTickCount(); !m_probe && ::GetTickCount() - start < 60000; ::Sleep(20))
        m_probe = FindProbe(processId);
    if (m_probe)
        m_thread = ::GetWindowThreadProcessId(m_probe, nullptr);
    else
        std::fprintf(stderr, "Person: the program %lu has no settle probe (is it in test mode?)\n",
                     processId);
}

void Person::Type(const std::string& text) {
    std::vector<INPUT> inputs;
    for (unsigned char c : text)
        AddCharacter(inputs, c);
    Send(inputs);
    Settle();
}

void Person::Press(const std::string& chord) {
    Keys(chord, true);
}

void Person::Keys(const std::string& chord, bool settle) {
    std::vector<WORD> modifiers;
    std::string rest = chord;
    const struct {
        const char* prefix;
        WORD vk;
    } mods[] = {{"Ctrl+", VK_CONTROL}, {"Shift+", VK_SHIFT}, {"Alt+", VK_MENU}};
    for (bool more = true; more;) {
        more = false;
        for (const auto& m : mods) {
            size_t n = std::char_traits<char>::length(m.prefix);
            if (rest.compare(0, n, m.prefix) == 0 && rest.size() > n) {
                modifiers.push_back(m.vk);
                rest = rest.substr(n);
                more = true;
            }
        }
    }
    WORD vk = rest == "Alt"     ? VK_MENU
              : rest == "Ctrl"  ? VK_CONTROL
              : rest == "Shift" ? VK_SHIFT
                                : KeyOf(rest);
    if (vk == 0) {
        std::fprintf(stderr, "Person: no key \"%s\"\n", chord.c_str());
        return;
    }
    std::vector<INPUT> inputs;
    for (WORD m : modifiers)
        inputs.push_back(KeyInput(m, false));
    inputs.push_back(KeyInput(vk, false));
    inputs.push_back(KeyInput(vk, true));
    for (auto m = modifiers.rbegin(); m != modifiers.rend(); ++m)
        inputs.push_back(KeyInput(*m, true));
    Send(inputs);
    if (settle) Settle();
}

void Person::MoveTo(HWND window, POINT client) {
    POINT screen = client;
    ::ClientToScreen(window, &screen);
    int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
    // The smallest normalised value that maps onto the pixel, however the system rounds.
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = static_cast<LONG>((65536LL * screen.x + w - 1) / w);
    in.mi.dy = static_cast<LONG>((65536LL * screen.y + h - 1) / h);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(1, &in, sizeof in);
    // Under Wine the input moves the program's pointer but not the display's, whose next event
    // (a window mapped or entered) puts it back where the display has it: the display's
    // pointer is moved too, and the buttons wait until both agree twice in a row.
    ::SetCursorPos(screen.x, screen.y);
    for (int steady = 0, tries = 0; steady < 2 && tries < 200; ++tries) {
        Settle();
        POINT now{};
        ::GetCursorPos(&now);
        if (now.x == screen.x && now.y == screen.y) {
            ++steady;
        } else {
            steady = 0;
            ::SetCursorPos(screen.x, screen.y);
        }
    }
}

void Person::SeparateFromLastClick() {
    if (!m_clicked) return;
    POINT at{};
    ::GetCursorPos(&at);
    if (std::abs(at.x - m_lastClick.x) > ::GetSystemMetrics(SM_CXDOUBLECLK) ||
        std::abs(at.y - m_lastClick.y) > ::GetSystemMetrics(SM_CYDOUBLECLK))
        return;
    // As a person pauses between two single clicks on one spot.
    DWORD wait = ::GetDoubleClickTime() + 50;
    DWORD since = ::GetTickCount() - m_lastClickTime;
    if (since < wait) ::Sleep(wait - since);
}

void Person::Buttons(DWORD down, DWORD up, int times) {
    SeparateFromLastClick();
    std::vector<INPUT> inputs;
    for (int i = 0; i < times; ++i) {
        for (DWORD flag : {down, up}) {
            INPUT in{};
            in.type = INPUT_MOUSE;
            in.mi.dwFlags = flag;
            inputs.push_back(in);
        }
    }
    Send(inputs);
    ::GetCursorPos(&m_lastClick);
    m_lastClickTime = ::GetTickCount();
    m_clicked = true;
    Settle();
}

void Person::Click(HWND window, POINT client) {
    MoveTo(window, client);
    Buttons(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 1);
}

void Person::Click(HWND window) {
    Click(window, Centre(window));
}

void Person::DoubleClick(HWND window, POINT client) {
    MoveTo(window, client);
    Buttons(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 2);
}

void Person::DoubleClick(HWND window) {
    DoubleClick(window, Centre(window));
}

void Person::RightClick(HWND window, POINT client) {
    MoveTo(window, client);
    Buttons(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, 1);
}

void Person::RightClick(HWND window) {
    RightClick(window, Centre(window));
}

void Person::Drag(HWND window, POINT from, POINT to) {
    MoveTo(window, from);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    SeparateFromLastClick();
    ::SendInput(1, &in, sizeof in);
    ::GetCursorPos(&m_lastClick);
    m_lastClickTime = ::GetTickCount();
    m_clicked = true;
    Settle();
    // Several steps: a drag starts only once the pointer has left the click's small square.
    const int steps = 6;
    for (int i = 1; i <= steps; ++i)
        MoveTo(window, POINT{from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps});
    in.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(1, &in, sizeof in);
    Settle();
}

void Person::Choose(HWND combo, int index) {
    RECT r{};
    ::GetClientRect(combo, &r);
    // The drop button at the right; a list-only box opens wherever it is clicked.
    int button = ::GetSystemMetrics(SM_CXVSCROLL);
    Click(combo, POINT{r.right - button / 2 - 1, (r.top + r.bottom) / 2});
    ListFinder finder{::GetWindowThreadProcessId(combo, nullptr), nullptr};
    ::EnumWindows(FindDroppedList, reinterpret_cast<LPARAM>(&finder));
    if (!finder.found) {
        std::fprintf(stderr, "Person: the combo box's list did not open\n");
        return;
    }
    HWND list = finder.found;
    int top = static_cast<int>(::SendMessageA(list, LB_GETTOPINDEX, 0, 0));
    int height = static_cast<int>(::SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
    RECT lr{};
    ::GetClientRect(list, &lr);
    int visible = height > 0 ? (lr.bottom - lr.top) / height : 0;
    if (index < top || index >= top + visible) {
        // As a person would scroll the list to the entry.
        ::SendMessageA(list, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
        Settle();
        top = static_cast<int>(::SendMessageA(list, LB_GETTOPINDEX, 0, 0));
    }
    Click(list, POINT{(lr.left + lr.right) / 2, (index - top) * height + height / 2});
}

bool Person::Settle(DWORD timeoutMs) {
    if (m_process == 0) return SettleThisThread(timeoutMs);
    if (!m_probe || !::IsWindow(m_probe)) return false;
    UINT_PTR number = ++m_next;
    ::PostMessageA(m_probe, m_request, number, 0);
    for (DWORD start = ::GetTickCount(); ::GetTickCount() - start < timeoutMs; ::Sleep(2)) {
        if (!::IsWindow(m_probe)) return false;
        if (reinterpret_cast<UINT_PTR>(::GetPropA(m_probe, fw::kTestProbeDone)) == number) return true;
    }
    std::fprintf(stderr, "Person: the program is still busy after %lu ms\n", timeoutMs);
    return false;
}

bool Person::SettleThisThread(DWORD timeoutMs) {
    const DWORD queued = QS_KEY | QS_MOUSE | QS_POSTMESSAGE | QS_SENDMESSAGE | QS_HOTKEY | QS_PAINT;
    DWORD start = ::GetTickCount();
    for (int pass = 0; pass < 2; ++pass) {
        for (int quiet = 0; quiet < 3;) {
            if (::GetTickCount() - start > timeoutMs) return false;
            MSG msg;
            if (HIWORD(::GetQueueStatus(queued)) != 0 && ::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message != WM_QUIT) PumpOne(msg);
                quiet = 0;
                continue;
            }
            ::MsgWaitForMultipleObjectsEx(0, nullptr, 5, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
            ++quiet;
        }
        // What the main loop does when it runs idle, then every pending paint.
        CWinApp* app = AfxGetApp();
        if (app && app->m_pMainWnd && app->m_pMainWnd->m_hWnd)
            app->m_pMainWnd->SendMessage(WM_IDLEUPDATECMDUI, TRUE);
        ::EnumThreadWindows(::GetCurrentThreadId(), PaintNow, 0);
    }
    return true;
}

HWND Person::Focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return ::GetGUIThreadInfo(m_thread, &info) ? info.hwndFocus : nullptr;
}

HWND Person::ActiveWindow() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return ::GetGUIThreadInfo(m_thread, &info) ? info.hwndActive : nullptr;
}

std::string TextOf(HWND window) {
    DWORD_PTR length = 0;
    if (!::SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 10000, &length)) return "";
    std::string text(static_cast<size_t>(length) + 1, '\0');
    DWORD_PTR got = 0;
    ::SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]),
                          SMTO_ABORTIFHUNG, 10000, &got);
    text.resize(static_cast<size_t>(got));
    return text;
}

COLORREF ColourAt(HWND window, POINT client) {
    POINT screen = client;
    ::ClientToScreen(window, &screen);
    HDC dc = ::GetDC(nullptr);
    COLORREF c = ::GetPixel(dc, screen.x, screen.y);
    ::ReleaseDC(nullptr, dc);
    return c;
}

bool HoldsFocus(HWND window, HWND focus) {
    return focus && (focus == window || ::IsChild(window, focus));
}

void AddAnswer(const std::string& folder, const std::string& line) {
    std::string path = folder + "script.txt";
    // The program reads whole lines only: a last line without its end is closed first.
    bool needsBreak = false;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        if (std::fseek(f, -1, SEEK_END) == 0) needsBreak = std::fgetc(f) != '\n';
        std::fclose(f);
    }
    if (FILE* f = std::fopen(path.c_str(), "ab")) {
        std::string text = (needsBreak ? "\n" : "") + line + "\n";
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
}

} // namespace harness
