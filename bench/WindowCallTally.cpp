#include "bench/WindowCallTally.h"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <vector>

namespace vorlan::bench {

namespace {

using Clock = std::chrono::steady_clock;
using Kind = WindowCallTally::Kind;

WindowCallTally::Count g_counts[WindowCallTally::kAll];
// Per entry point (messages by number), for the detail table.
std::map<std::string, WindowCallTally::Count> g_entries;
DWORD g_thread = 0;
std::set<HWND> g_toolTips;
std::map<std::string, WindowCallTally::Count> g_classes;

// With VORLAN_CALL_TRACE naming a file, every counted call is written there as it ends:
// nesting depth, entry point, own and whole time.
FILE* g_trace = nullptr;

// The calls in progress, each with the time its counted inner calls took.
double g_inner[256];
int g_depth = 0;

// The class of the window a traced call is about, as the trace names it.
std::string TracedClass(HWND window) {
    static auto className = reinterpret_cast<decltype(&::GetClassNameA)>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("user32.dll"), "GetClassNameA")));
    char name[48] = "";
    if (window) className(window, name, sizeof name);
    return name;
}

class Timed {
  public:
    Timed(Kind k, const char* entry, HWND window = nullptr) : kind_(k), entry_(entry), start_(Clock::now()) {
        if (g_depth < 255) g_inner[++g_depth] = 0;
        if (g_trace && window) window_ = TracedClass(window);
    }
    ~Timed() {
        double total = std::chrono::duration<double, std::micro>(Clock::now() - start_).count();
        double inner = g_inner[g_depth];
        if (g_depth > 0) --g_depth;
        if (g_depth > 0) g_inner[g_depth] += total;
        ++g_counts[kind_].calls;
        g_counts[kind_].microseconds += total - inner;
        if (entry_) {
            WindowCallTally::Count& c = g_entries[entry_];
            ++c.calls;
            c.microseconds += total - inner;
        }
        if (g_trace)
            std::fprintf(g_trace, "%*s%s %s %s %.0f/%.0fus\n", g_depth * 2, "", WindowCallTally::Name(kind_),
                         entry_ ? entry_ : "", window_.c_str(), total - inner, total);
    }
    double Elapsed() const {
        return std::chrono::duration<double, std::micro>(Clock::now() - start_).count();
    }

  private:
    Kind kind_;
    const char* entry_;
    Clock::time_point start_;
    std::string window_;
};

template <class... A> HWND FirstWindow(A...) {
    return nullptr;
}
template <class... A> HWND FirstWindow(HWND window, A...) {
    return window;
}

bool Counting() {
    return g_thread != 0 && ::GetCurrentThreadId() == g_thread;
}

// One entry point: N tells entries of the same type apart.
template <int N, int K, class Fn> struct Entry;
template <int N, int K, class R, class... A> struct Entry<N, K, R (*)(A...)> {
    static inline R (*real)(A...) = nullptr;
    static inline const char* name = nullptr;
    static R Call(A... a) {
        if (!Counting()) return real(a...);
        Timed t(static_cast<Kind>(K), name, FirstWindow(a...));
        return real(a...);
    }
};

Kind KindOfMessage(HWND window, UINT msg) {
    if (g_toolTips.count(window)) return WindowCallTally::Tooltips;
    switch (msg) {
    case WM_SETFONT:
    case WM_GETFONT: return WindowCallTally::Fonts;
    case WM_SETTEXT:
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
    case BM_SETCHECK:
    case BM_GETCHECK: return WindowCallTally::Texts;
    case WM_SETREDRAW: return WindowCallTally::Redraws;
    case WM_GETDLGCODE: return WindowCallTally::Lookups;
    case 0x465: return WindowCallTally::Measures; // the label's natural size
    default: return WindowCallTally::Messages;
    }
}

// "SendMessageA 0x30": one name per message number, kept for the whole run.
const char* MessageEntry(UINT msg) {
    static std::map<UINT, std::string> names;
    auto it = names.find(msg);
    if (it == names.end()) {
        char text[32];
        std::snprintf(text, sizeof text, "SendMessageA 0x%X", msg);
        it = names.emplace(msg, text).first;
    }
    return it->second.c_str();
}

LRESULT(WINAPI* g_sendMessage)(HWND, UINT, WPARAM, LPARAM) = nullptr;
LRESULT(WINAPI* g_dispatchMessage)(const MSG*) = nullptr;

// "DispatchMessageA 0xF Edit": the message dispatched and its window's class.
const char* DispatchEntry(const MSG* m) {
    static std::set<std::string> names;
    char text[96] = "DispatchMessageA";
    if (m) {
        char name[48] = "";
        static auto className = reinterpret_cast<decltype(&::GetClassNameA)>(
            reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("user32.dll"), "GetClassNameA")));
        if (m->hwnd) className(m->hwnd, name, sizeof name);
        std::snprintf(text, sizeof text, "DispatchMessageA 0x%X %s", m->message, name);
    }
    return names.insert(text).first->c_str();
}

LRESULT WINAPI CountedDispatchMessage(const MSG* m) {
    if (!Counting()) return g_dispatchMessage(m);
    Timed t(WindowCallTally::Messages, DispatchEntry(m));
    return g_dispatchMessage(m);
}
HWND(WINAPI* g_createWindow)
(DWORD, LPCSTR, LPCSTR, DWORD, int, int, int, int, HWND, HMENU, HINSTANCE, LPVOID) = nullptr;

LRESULT WINAPI CountedSendMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!Counting()) return g_sendMessage(window, msg, wParam, lParam);
    Timed t(KindOfMessage(window, msg), MessageEntry(msg), window);
    return g_sendMessage(window, msg, wParam, lParam);
}

HWND WINAPI CountedCreateWindow(DWORD exStyle, LPCSTR classOrAtom, LPCSTR title, DWORD style, int x, int y,
                                int cx, int cy, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
    if (!Counting())
        return g_createWindow(exStyle, classOrAtom, title, style, x, y, cx, cy, parent, menu, instance,
                              param);
    HWND made;
    double took;
    {
        Timed t(WindowCallTally::Creation, "CreateWindowExA");
        made =
            g_createWindow(exStyle, classOrAtom, title, style, x, y, cx, cy, parent, menu, instance, param);
        took = t.Elapsed();
    }
    if (!made) return made;
    char name[64] = "";
    // The shim's own look-up, past the counted slot.
    static auto className = reinterpret_cast<decltype(&::GetClassNameA)>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("user32.dll"), "GetClassNameA")));
    className(made, name, sizeof name);
    WindowCallTally::Count& c = g_classes[name];
    ++c.calls;
    c.microseconds += took;
    if (_stricmp(name, TOOLTIPS_CLASSA) == 0) g_toolTips.insert(made);
    return made;
}

struct Patch {
    const char* name;
    void** real;
    void* counted;
    const char** entryName;
};

#define COUNTED(fn, kind)                                                                                    \
    Patch {                                                                                                  \
#fn, reinterpret_cast < void**>(&Entry <__LINE__, WindowCallTally::kind, decltype(&::fn)>::real),    \
            reinterpret_cast < void*>(&Entry <__LINE__, WindowCallTally::kind, decltype(&::fn)>::Call),      \
            &Entry < __LINE__, WindowCallTally::kind, decltype(&::fn)> ::name                                \
    }

Patch g_patches[] = {
    {"SendMessageA", reinterpret_cast<void**>(&g_sendMessage), reinterpret_cast<void*>(&CountedSendMessage),
     nullptr},
    {"CreateWindowExA", reinterpret_cast<void**>(&g_createWindow),
     reinterpret_cast<void*>(&CountedCreateWindow), nullptr},
    COUNTED(DestroyWindow, Creation),
    COUNTED(SetWindowPos, Moves),
    COUNTED(MoveWindow, Moves),
    COUNTED(ShowWindow, Moves),
    COUNTED(BringWindowToTop, Moves),
    COUNTED(SetWindowTextA, Texts),
    COUNTED(GetWindowTextA, Texts),
    COUNTED(GetWindowTextLengthA, Texts),
    COUNTED(SetWindowLongPtrA, Subclassing),
    COUNTED(SetWindowLongA, Subclassing),
    COUNTED(SetClassLongPtrA, Subclassing),
    COUNTED(SetWindowsHookExA, Subclassing),
    COUNTED(UnhookWindowsHookEx, Subclassing),
    COUNTED(CallNextHookEx, Subclassing),
    COUNTED(SetPropA, Subclassing),
    COUNTED(RemovePropA, Subclassing),
    COUNTED(InvalidateRect, Redraws),
    COUNTED(ValidateRect, Redraws),
    COUNTED(UpdateWindow, Redraws),
    COUNTED(RedrawWindow, Redraws),
    COUNTED(LockWindowUpdate, Redraws),
    COUNTED(BeginPaint, Redraws),
    COUNTED(EndPaint, Redraws),
    COUNTED(FillRect, Redraws),
    COUNTED(DrawTextA, Redraws),
    COUNTED(DrawEdge, Redraws),
    COUNTED(SetFocus, Focus),
    COUNTED(GetFocus, Focus),
    COUNTED(EnableWindow, Enabling),
    COUNTED(IsWindowEnabled, Enabling),
    COUNTED(GetDlgItem, Lookups),
    COUNTED(GetWindow, Lookups),
    COUNTED(GetParent, Lookups),
    COUNTED(GetWindowRect, Lookups),
    COUNTED(GetClientRect, Lookups),
    COUNTED(MapWindowPoints, Lookups),
    COUNTED(ScreenToClient, Lookups),
    COUNTED(ClientToScreen, Lookups),
    COUNTED(GetWindowLongPtrA, Lookups),
    COUNTED(GetWindowLongA, Lookups),
    COUNTED(GetClassLongPtrA, Lookups),
    COUNTED(GetClassNameA, Lookups),
    COUNTED(GetClassInfoA, Lookups),
    COUNTED(GetDlgCtrlID, Lookups),
    COUNTED(IsWindow, Lookups),
    COUNTED(IsWindowVisible, Lookups),
    COUNTED(IsChild, Lookups),
    COUNTED(IsIconic, Lookups),
    COUNTED(IsZoomed, Lookups),
    COUNTED(GetPropA, Lookups),
    COUNTED(GetSystemMetrics, Lookups),
    COUNTED(PostMessageA, Messages),
    COUNTED(PeekMessageA, Messages),
    {"DispatchMessageA", reinterpret_cast<void**>(&g_dispatchMessage),
     reinterpret_cast<void*>(&CountedDispatchMessage), nullptr},
    COUNTED(SetTimer, Messages),
    COUNTED(KillTimer, Messages),
    COUNTED(GetDC, Measures),
    COUNTED(ReleaseDC, Measures),
    COUNTED(LoadImageA, Resources),
    COUNTED(LoadCursorA, Resources),
    COUNTED(SetCursor, Resources),
    COUNTED(CreateMenu, Resources),
    COUNTED(CreatePopupMenu, Resources),
    COUNTED(InsertMenuItemA, Resources),
    COUNTED(AppendMenuA, Resources),
    COUNTED(DestroyMenu, Resources),
    COUNTED(ImageList_Create, Resources),
    COUNTED(ImageList_Add, Resources),
    COUNTED(ImageList_AddMasked, Resources),
    COUNTED(ImageList_Destroy, Resources),
    COUNTED(InitCommonControlsEx, Resources),
};

const char* const kLibraries[] = {"user32.dll", "gdi32.dll", "comctl32.dll"};

// The program's import slots of a library, by name.
template <class Visit> void ForEachSlot(const char* library, Visit visit) {
    auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleA(nullptr));
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!dir.VirtualAddress) return;
    for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); d->Name; ++d) {
        if (_stricmp(reinterpret_cast<const char*>(base + d->Name), library) != 0) continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(
            base + (d->OriginalFirstThunk ? d->OriginalFirstThunk : d->FirstThunk));
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            visit(reinterpret_cast<const char*>(byName->Name), reinterpret_cast<void**>(&slots->u1.Function));
        }
    }
}

// Entry points of the window system's libraries that are not timed above are only counted:
// a stub per import slot adds one to its counter and jumps on.
struct Stub {
    std::string name;
    void** slot;
    void* real;
    volatile LONG64 count;
};
std::vector<Stub*> g_stubs;

void* MakeStub(Stub* stub) {
    // mov r11, &count; lock inc qword [r11]; mov r11, real; jmp r11
    unsigned char code[32] = {0x49, 0xBB};
    size_t n = 2;
    auto put = [&](const void* value) {
        std::memcpy(code + n, &value, 8);
        n += 8;
    };
    put(const_cast<LONG64*>(&stub->count));
    const unsigned char inc[] = {0xF0, 0x49, 0xFF, 0x03, 0x49, 0xBB};
    std::memcpy(code + n, inc, sizeof inc);
    n += sizeof inc;
    put(stub->real);
    const unsigned char jump[] = {0x41, 0xFF, 0xE3};
    std::memcpy(code + n, jump, sizeof jump);
    n += sizeof jump;
    void* memory = ::VirtualAlloc(nullptr, n, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE);
    if (memory) std::memcpy(memory, code, n);
    return memory;
}

void WriteSlot(void** slot, void* value) {
    DWORD old = 0;
    ::VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &old);
    *slot = value;
    ::VirtualProtect(slot, sizeof *slot, old, &old);
}

} // namespace

WindowCallTally::WindowCallTally() {
    for (const char* library : kLibraries)
        ForEachSlot(library, [](const char* name, void** slot) {
            for (Patch& p : g_patches)
                if (std::strcmp(p.name, name) == 0) {
                    *p.real = *slot;
                    if (p.entryName) *p.entryName = p.name;
                    WriteSlot(slot, p.counted);
                    return;
                }
            auto* stub = new Stub{name, slot, *slot, 0};
            if (void* code = MakeStub(stub)) {
                g_stubs.push_back(stub);
                WriteSlot(slot, code);
            } else {
                delete stub;
            }
        });
    Reset();
    if (const char* path = std::getenv("VORLAN_CALL_TRACE")) g_trace = std::fopen(path, "w");
    g_thread = ::GetCurrentThreadId();
}

WindowCallTally::~WindowCallTally() {
    g_thread = 0;
    if (g_trace) std::fclose(g_trace);
    g_trace = nullptr;
    for (const char* library : kLibraries)
        ForEachSlot(library, [](const char* name, void** slot) {
            for (Patch& p : g_patches)
                if (std::strcmp(p.name, name) == 0 && *p.real) WriteSlot(slot, *p.real);
        });
    // The stubs stay: a call may still be inside one.
    for (Stub* stub : g_stubs)
        WriteSlot(stub->slot, stub->real);
}

WindowCallTally::Outside::Outside(Kind k) : timed_(Counting() ? new Timed(k, nullptr) : nullptr) {}

WindowCallTally::Outside::~Outside() {
    delete static_cast<Timed*>(timed_);
}

void WindowCallTally::Suspend() {
    g_thread = 0;
}

void WindowCallTally::Resume() {
    g_thread = ::GetCurrentThreadId();
}

void WindowCallTally::Reset() {
    for (auto& c : g_counts)
        c = Count{};
    g_entries.clear();
    g_classes.clear();
    for (Stub* stub : g_stubs)
        stub->count = 0;
}

const WindowCallTally::Count& WindowCallTally::operator[](Kind k) const {
    return g_counts[k];
}

const char* WindowCallTally::Name(Kind k) {
    static const char* const names[kAll] = {"creation",    "moves",    "fonts",     "texts",    "tooltips",
                                            "subclassing", "redraws",  "focus",     "enabling", "lookups",
                                            "messages",    "measures", "resources", "M lines",  "own code"};
    return names[k];
}

int64_t WindowCallTally::AllCalls() const {
    int64_t n = 0;
    for (int k = 0; k < kKinds; ++k)
        n += g_counts[k].calls;
    return n;
}

double WindowCallTally::AllMicroseconds() const {
    double n = 0;
    for (int k = 0; k < kKinds; ++k)
        n += g_counts[k].microseconds;
    return n;
}

std::string WindowCallTally::Table(double per) const {
    std::string out;
    char row[160];
    for (int k = 0; k < kKinds; ++k) {
        const Count& c = g_counts[k];
        if (c.calls == 0) continue;
        std::snprintf(row, sizeof row, "  %-12s %8.1f calls %8.2f ms\n", Name(static_cast<Kind>(k)),
                      double(c.calls) / per, c.microseconds / 1000.0 / per);
        out += row;
    }
    std::snprintf(row, sizeof row, "  %-12s %8.1f calls %8.2f ms\n", "all", double(AllCalls()) / per,
                  AllMicroseconds() / 1000.0 / per);
    out += row;
    for (int k = kKinds; k < kAll; ++k) {
        if (g_counts[k].calls == 0) continue;
        std::snprintf(row, sizeof row, "  (%s %.2f ms)\n", Name(static_cast<Kind>(k)),
                      g_counts[k].microseconds / 1000.0 / per);
        out += row;
    }
    if (!g_classes.empty()) {
        out += "  windows made (count, time):";
        for (const auto& [name, c] : g_classes) {
            std::snprintf(row, sizeof row, " %s %.1f %.2f ms;", name.c_str(), double(c.calls) / per,
                          c.microseconds / 1000.0 / per);
            out += row;
        }
        out += "\n";
    }
    return out;
}

std::string WindowCallTally::Uncounted(double per) const {
    std::vector<const Stub*> used;
    for (const Stub* stub : g_stubs)
        if (stub->count) used.push_back(stub);
    std::sort(used.begin(), used.end(), [](const Stub* a, const Stub* b) { return a->count > b->count; });
    std::string out;
    char row[96];
    for (const Stub* stub : used) {
        std::snprintf(row, sizeof row, " %s %.1f", stub->name.c_str(), double(stub->count) / per);
        out += row;
    }
    return out;
}

std::string WindowCallTally::Entries(double per, size_t most) const {
    std::vector<std::pair<std::string, Count>> rows(g_entries.begin(), g_entries.end());
    std::sort(rows.begin(), rows.end(),
              [](const auto& a, const auto& b) { return a.second.microseconds > b.second.microseconds; });
    if (rows.size() > most) rows.resize(most);
    std::string out;
    char row[160];
    for (const auto& [name, c] : rows) {
        std::snprintf(row, sizeof row, "    %-26s %8.1f calls %8.2f ms\n", name.c_str(),
                      double(c.calls) / per, c.microseconds / 1000.0 / per);
        out += row;
    }
    return out;
}

} // namespace vorlan::bench
