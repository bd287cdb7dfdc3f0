// The floor of opening a screen: what the window system itself needs for the windows the
// address screen ADR shows, made by a plain Win32 program without framework or server:
//   form_floor [ROUNDS]
// Inside an MDI frame that stands already (as the main frame does), each round makes an MDI
// child 546 x 314 with a band window holding a rebar of a one-entry title menu bar and a
// toolbar of 8 keys, a tab control of two tabs, a form window on it with 6 labels, 4 edits
// and a multi-line edit, a check box and a button, a second form hidden for the other tab, a
// tooltip control with a tool per field; in the places, sizes, styles and the two fonts the
// address screen shows; shows it, gives the first edit the focus, lets it be painted to the
// end and destroys it again. Prints "floor: MS ms per opening".
#include <windows.h>

#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kChildWidth = 546, kChildHeight = 314;
constexpr int kButtons = 8;

HINSTANCE g_instance;
HFONT g_font, g_fixed;
HWND g_client;

// Everything queued handled, paints included, as the form benchmark's pump does.
void Pump() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        CLIENTCREATESTRUCT ccs{nullptr, 0xFF00};
        g_client = CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", nullptr,
                                   WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0, 0, 0,
                                   window, nullptr, g_instance, &ccs);
        return 0;
    }
    return DefFrameProcA(window, g_client, message, wParam, lParam);
}

LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK ChildProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefMDIChildProcA(window, message, wParam, lParam);
}

// A toolbar of text buttons: the 8 keys F5-F12, or the title menu bar's one entry `only`.
HWND MakeToolbar(HWND band, int firstId, const char* only = nullptr) {
    HWND bar = CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr,
                               WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | CCS_NODIVIDER |
                                   CCS_NORESIZE | CCS_NOPARENTALIGN | TBSTYLE_FLAT | TBSTYLE_LIST |
                                   TBSTYLE_TOOLTIPS,
                               0, 0, 0, 0, band, nullptr, g_instance, nullptr);
    SendMessageA(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(bar, WM_SETFONT, reinterpret_cast<WPARAM>(g_font), 0);
    SendMessageA(bar, TB_SETBITMAPSIZE, 0, MAKELONG(0, 0));
    TBBUTTON buttons[kButtons] = {};
    char texts[kButtons][16];
    for (int i = 0; i < kButtons; ++i) {
        if (only)
            std::snprintf(texts[i], sizeof texts[i], "%s", only);
        else
            std::snprintf(texts[i], sizeof texts[i], "F%d Taste", i + 5);
        buttons[i].iBitmap = I_IMAGENONE;
        buttons[i].idCommand = firstId + i;
        buttons[i].fsState = TBSTATE_ENABLED;
        buttons[i].fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE | BTNS_SHOWTEXT;
        buttons[i].iString = reinterpret_cast<INT_PTR>(texts[i]);
    }
    SendMessageA(bar, TB_ADDBUTTONSA, only ? 1 : kButtons, reinterpret_cast<LPARAM>(buttons));
    return bar;
}

void AddBand(HWND band, HWND bar) {
    SIZE size{};
    SendMessageA(bar, TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&size));
    REBARBANDINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_STYLE | RBBIM_SIZE;
    info.fStyle = RBBS_CHILDEDGE | RBBS_GRIPPERALWAYS;
    info.hwndChild = bar;
    info.cxMinChild = 0;
    info.cyMinChild = size.cy;
    info.cx = size.cx + 20;
    SendMessageA(band, RB_INSERTBANDA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&info));
}

// One screen made, shown, focused, painted and destroyed; the milliseconds until it stood.
double OpenOnce() {
    auto start = Clock::now();
    MDICREATESTRUCTA mcs{};
    mcs.szClass = "FloorChild";
    mcs.szTitle = "Adressen";
    mcs.hOwner = g_instance;
    mcs.x = 18;
    mcs.y = 18;
    mcs.cx = kChildWidth;
    mcs.cy = kChildHeight;
    mcs.style = WS_CHILD | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    // Made hidden and shown once it stands, so that nothing is drawn twice.
    HWND child = reinterpret_cast<HWND>(SendMessageA(g_client, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs)));
    RECT client;
    GetClientRect(child, &client);

    // The band window holds the rebar, as the screen's does.
    HWND holder = CreateWindowExA(0, "FloorForm", nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0,
                                  client.right, 21, child, nullptr, g_instance, nullptr);
    HWND band = CreateWindowExA(WS_EX_TOOLWINDOW, REBARCLASSNAMEA, nullptr,
                                WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_BORDER |
                                    CCS_TOP | CCS_NODIVIDER | CCS_NOPARENTALIGN | RBS_VARHEIGHT |
                                    RBS_BANDBORDERS | RBS_AUTOSIZE,
                                0, 0, client.right, 21, holder, nullptr, g_instance, nullptr);
    SendMessageA(band, WM_SETFONT, reinterpret_cast<WPARAM>(g_font), 0);
    AddBand(band, MakeToolbar(band, 2001, "Adresse"));
    AddBand(band, MakeToolbar(band, 32800));
    const int top = 21;

    HWND tabs = CreateWindowExA(0, WC_TABCONTROLA, nullptr,
                                WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TCS_MULTILINE, 6, top + 6, 528, 256, child,
                                reinterpret_cast<HMENU>(49152), g_instance, nullptr);
    SendMessageA(tabs, WM_SETFONT, reinterpret_cast<WPARAM>(g_font), 0);
    const char* tabTexts[2] = {"Adresse", "Kommunikation"};
    for (int i = 0; i < 2; ++i) {
        TCITEMA item{};
        item.mask = TCIF_TEXT | TCIF_PARAM;
        item.pszText = const_cast<char*>(tabTexts[i]);
        item.lParam = i + 1;
        SendMessageA(tabs, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
    HWND form = CreateWindowExA(0, "FloorForm", nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                                10, 55, 521, 225, child, reinterpret_cast<HMENU>(1), g_instance, nullptr);
    // A new child goes below its siblings: the page is lifted above the tab control.
    SetWindowPos(form, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    // The other tab's page, made hidden.
    CreateWindowExA(0, "FloorForm", nullptr, WS_CHILD | WS_CLIPSIBLINGS, 10, 55, 521, 0, child,
                    reinterpret_cast<HMENU>(2), g_instance, nullptr);
    HWND tips = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, form, nullptr,
                                g_instance, nullptr);
    struct Field {
        const char* label;
        int labelX, labelY, labelWidth;
        const char* cls;
        DWORD style, exStyle;
        const char* text;
        int x, y, width, height;
        bool fixedFont;
    };
    constexpr DWORD kLine = WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | ES_AUTOHSCROLL;
    static const Field fields[] = {
        {"Name", 89, 10, 32, "EDIT", kLine, WS_EX_CLIENTEDGE, "", 126, 8, 279, 20, false},
        {"Vorname", 73, 31, 48, "EDIT", kLine, WS_EX_CLIENTEDGE, "", 126, 29, 279, 20, false},
        {"Ort", 104, 52, 17, "EDIT", kLine, WS_EX_CLIENTEDGE, "", 126, 50, 261, 20, false},
        {"Geburtsdatum", 46, 73, 75, "EDIT", kLine, WS_EX_CLIENTEDGE, "", 126, 71, 99, 20, false},
        {nullptr, 0, 0, 0, "BUTTON",
         WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_NOTIFY | BS_LEFTTEXT | BS_AUTOCHECKBOX, 0, "Aktiv", 96, 94, 43, 20,
         false},
        {"Notiz", 93, 115, 28, "EDIT",
         WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_GROUP | WS_TABSTOP | ES_WANTRETURN | ES_AUTOVSCROLL | ES_MULTILINE,
         WS_EX_CLIENTEDGE, "", 126, 113, 369, 62, true},
        {nullptr, 0, 0, 0, "BUTTON", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_NOTIFY | BS_VCENTER | BS_PUSHBUTTON, 0,
         "Details ...", 126, 196, 117, 21, false},
    };
    HWND firstEdit = nullptr;
    int id = 4097;
    for (const Field& f : fields) {
        if (f.label) {
            HWND label = CreateWindowExA(0, "STATIC", f.label, WS_CHILD | WS_VISIBLE | SS_RIGHT | SS_NOTIFY,
                                         f.labelX, f.labelY, f.labelWidth, 14, form, nullptr, g_instance, nullptr);
            SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(g_font), 0);
        }
        HWND control = CreateWindowExA(f.exStyle, f.cls, f.text, f.style, f.x, f.y, f.width, f.height, form,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(id++)), g_instance, nullptr);
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(f.fixedFont ? g_fixed : g_font), 0);
        if (!firstEdit) firstEdit = control;
        if (std::strcmp(f.text, "Details ...") == 0) continue;
        TTTOOLINFOA tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = form;
        tool.uId = reinterpret_cast<UINT_PTR>(control);
        tool.lpszText = const_cast<char*>(f.label ? f.label : f.text);
        SendMessageA(tips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }

    SendMessageA(g_client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(child), 0);
    ShowWindow(child, SW_SHOW);
    SetFocus(firstEdit);
    UpdateWindow(child);
    Pump();
    double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();

    SendMessageA(g_client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(child), 0);
    Pump();
    return ms;
}

bool Register(const char* name, WNDPROC proc) {
    WNDCLASSA wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = proc;
    wc.hInstance = g_instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = name;
    return RegisterClassA(&wc) != 0;
}

} // namespace

int main(int argc, char** argv) {
    int rounds = argc > 1 ? std::atoi(argv[1]) : 50;
    if (rounds < 1) {
        std::fprintf(stderr, "usage: form_floor [ROUNDS]\n");
        return 2;
    }
    g_instance = GetModuleHandleA(nullptr);
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES | ICC_COOL_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&icc);
    if (!Register("FloorFrame", FrameProc) || !Register("FloorChild", ChildProc) ||
        !Register("FloorForm", FormProc))
        return 3;
    g_font = CreateFontA(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                         CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Tahoma");
    g_fixed = CreateFontA(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                          CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH, "Courier New");
    HWND frame = CreateWindowExA(0, "FloorFrame", "Floor", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 1000,
                                 740, nullptr, nullptr, g_instance, nullptr);
    if (!frame || !g_client) return 4;
    ShowWindow(frame, SW_SHOW);
    UpdateWindow(frame);
    Pump();

    OpenOnce(); // warm-up: classes and fonts loaded
    double total = 0, least = 1e9;
    for (int i = 0; i < rounds; ++i) {
        double ms = OpenOnce();
        total += ms;
        if (ms < least) least = ms;
    }
    std::printf("floor: %.2f ms per opening (least %.2f ms, %d rounds)\n", total / rounds, least, rounds);
    DestroyWindow(frame);
    DeleteObject(g_font);
    DeleteObject(g_fixed);
    return 0;
}
