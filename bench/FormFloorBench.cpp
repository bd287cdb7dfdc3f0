// The floor of opening a screen: what the window system itself needs for the windows the
// address screen ADR shows, made by a plain Win32 program without framework or server:
//   form_floor [ROUNDS]
// Inside an MDI frame that stands already (as the main frame does), each round makes an MDI
// child 620 x 420 with a band of two toolbars of 8 buttons, a tab control of two tabs, a form
// window on it with 5 labels, 5 edits with text, a button and a check box, a tooltip control
// with a tool per edit, all in one font; shows it, gives the first edit the focus, lets it be
// painted to the end and destroys it again. Prints "floor: MS ms per opening".
#include <windows.h>

#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kChildWidth = 620, kChildHeight = 420;
constexpr int kButtons = 8;
constexpr int kFields = 5;

HINSTANCE g_instance;
HFONT g_font;
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

HWND MakeToolbar(HWND band, int firstId) {
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
        std::snprintf(texts[i], sizeof texts[i], "F%d Taste", i + 5);
        buttons[i].iBitmap = I_IMAGENONE;
        buttons[i].idCommand = firstId + i;
        buttons[i].fsState = TBSTATE_ENABLED;
        buttons[i].fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE | BTNS_SHOWTEXT;
        buttons[i].iString = reinterpret_cast<INT_PTR>(texts[i]);
    }
    SendMessageA(bar, TB_ADDBUTTONSA, kButtons, reinterpret_cast<LPARAM>(buttons));
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

    HWND band = CreateWindowExA(WS_EX_TOOLWINDOW, REBARCLASSNAMEA, nullptr,
                                WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | CCS_NODIVIDER |
                                    CCS_NOPARENTALIGN | RBS_VARHEIGHT | RBS_BANDBORDERS,
                                0, 0, client.right, 0, child, nullptr, g_instance, nullptr);
    SendMessageA(band, WM_SETFONT, reinterpret_cast<WPARAM>(g_font), 0);
    AddBand(band, MakeToolbar(band, 2001));
    AddBand(band, MakeToolbar(band, 32800));
    RECT bandRect;
    GetWindowRect(band, &bandRect);
    int top = bandRect.bottom - bandRect.top;

    HWND tabs = CreateWindowExA(0, WC_TABCONTROLA, nullptr,
                                WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TCS_MULTILINE, 6, top + 6,
                                client.right - 12, client.bottom - top - 12, child,
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
    RECT page{6, top + 6, client.right - 6, client.bottom - 6};
    SendMessageA(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&page));

    HWND form = CreateWindowExA(WS_EX_CONTROLPARENT, "FloorForm", nullptr,
                                WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, page.left, page.top,
                                page.right - page.left, page.bottom - page.top, child,
                                reinterpret_cast<HMENU>(1), g_instance, nullptr);
    // A new child goes below its siblings: the page is lifted above the tab control.
    SetWindowPos(form, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    HWND tips = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, form, nullptr,
                                g_instance, nullptr);
    static const char* labels[kFields] = {"Name", "Vorname", "Ort", "Geburtsdatum", "Nummer"};
    static const char* texts[kFields] = {"Mustermann", "Erika", "Musterstadt", "12.08.1964", "17"};
    HWND firstEdit = nullptr;
    for (int i = 0; i < kFields; ++i) {
        int y = 10 + i * 28;
        HWND label = CreateWindowExA(0, "STATIC", labels[i], WS_CHILD | WS_VISIBLE | SS_LEFT, 10, y + 3, 100,
                                     16, form, nullptr, g_instance, nullptr);
        SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(g_font), 0);
        HWND edit = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", texts[i],
                                    WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 120, y, 200, 22, form,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(100 + i)), g_instance,
                                    nullptr);
        SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(g_font), 0);
        if (!firstEdit) firstEdit = edit;
        TTTOOLINFOA tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = form;
        tool.uId = reinterpret_cast<UINT_PTR>(edit);
        tool.lpszText = const_cast<char*>(labels[i]);
        SendMessageA(tips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
    HWND button = CreateWindowExA(0, "BUTTON", "Hinweis", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                                  340, 10, 100, 24, form, reinterpret_cast<HMENU>(200), g_instance, nullptr);
    SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(g_font), 0);
    HWND check = CreateWindowExA(0, "BUTTON", "aktiv", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX,
                                 340, 44, 100, 20, form, reinterpret_cast<HMENU>(201), g_instance, nullptr);
    SendMessageA(check, WM_SETFONT, reinterpret_cast<WPARAM>(g_font), 0);
    SendMessageA(check, BM_SETCHECK, BST_CHECKED, 0);

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
    return 0;
}
