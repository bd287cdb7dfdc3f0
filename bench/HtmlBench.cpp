// Form labels beside plain painted windows, in one run:
//   html_bench [ROUNDS]
// A window of 1000 x 700 holds 200 labels made as a form makes them (InsertStatic, then
// SetStaticText sizing each through its own measure), 40 each of plain text, styled text, a
// link, a 3 x 2 table with a border and coloured cells, and a picture. The baseline is the same
// window with 200 plain child windows at the labels' rectangles, each painting its text
// without markup with one DrawText in the same font. Both are made, laid out and painted
// ROUNDS times, each round also repainting the whole window; the best round of each counts.
// Prints the figures, then "label ratio R" and "repaint ratio R" (target: at most 3.0 each),
// and the window-system calls of one round of each by kind (WindowCallTally), counted after the
// timed rounds.
#include "app/VORLANApp.h"
#include "bench/WindowCallTally.h"
#include "forms/ChildForm.h"
#include "framework/Gdi.h"
#include "tests/app/AppSetup.h"
#include "tests/harness/Harness.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

constexpr int kWidth = 1000, kHeight = 700;
constexpr int kPerKind = 40, kKinds = 5;
constexpr const char* kPlainClass = "HtmlBench.Plain";
constexpr const char* kHostClass = "HtmlBench.Host";

struct Label {
    std::string markup, plain;
    RECT rect;
};

std::vector<Label> MakeLabels() {
    std::vector<Label> labels;
    char markup[512], plain[128];
    for (int i = 0; i < kPerKind * kKinds; ++i) {
        int n = i / kKinds + 1;
        switch (i % kKinds) {
        case 0:
            std::snprintf(markup, sizeof markup, "Beschriftung %d:", n);
            std::snprintf(plain, sizeof plain, "Beschriftung %d:", n);
            break;
        case 1:
            std::snprintf(markup, sizeof markup,
                          "<b>fett %d</b> <i>kursiv</i> <font color=red>rot</font> <font face=Arial "
                          "size=2>klein</font>",
                          n);
            std::snprintf(plain, sizeof plain, "fett %d kursiv rot klein", n);
            break;
        case 2:
            std::snprintf(markup, sizeof markup, "Verweis <a fkey=f5>Taste %d</a>", n);
            std::snprintf(plain, sizeof plain, "Verweis Taste %d", n);
            break;
        case 3:
            std::snprintf(
                markup, sizeof markup,
                "<table border=1><tr><td bgeffect=solid bgcolor=lime>%d</td><td bgeffect=solid "
                "bgcolor=yellow>b</td><td bgeffect=solid bgcolor=red>c</td></tr><tr><td bgeffect=solid "
                "bgcolor=silver>d</td><td bgeffect=solid bgcolor=white>e</td><td bgeffect=solid "
                "bgcolor=gray>f</td></tr></table>",
                n);
            std::snprintf(plain, sizeof plain, "%d b c\nd e f", n);
            break;
        default:
            std::snprintf(markup, sizeof markup, "Bild %d <bmp idres=1>", n);
            std::snprintf(plain, sizeof plain, "Bild %d", n);
            break;
        }
        // Five columns of 200 pixels, rows 17 pixels apart.
        int column = i % 5, row = i / 5;
        labels.push_back({markup, plain, RECT{column * 200, row * 17, column * 200 + 10, row * 17 + 10}});
    }
    return labels;
}

HFONT g_font = nullptr;

LRESULT CALLBACK PlainProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != WM_PAINT) return ::DefWindowProcA(window, msg, wParam, lParam);
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(window, &ps);
    RECT r;
    ::GetClientRect(window, &r);
    ::FillRect(dc, &r, ::GetSysColorBrush(COLOR_BTNFACE));
    char text[128];
    int length = ::GetWindowTextA(window, text, sizeof text);
    HGDIOBJ old = ::SelectObject(dc, g_font);
    ::SetBkMode(dc, TRANSPARENT);
    ::DrawTextA(dc, text, length, &r, DT_LEFT | DT_TOP | DT_NOPREFIX);
    ::SelectObject(dc, old);
    ::EndPaint(window, &ps);
    return 0;
}

void Flush() {
    ::GdiFlush();
    harness::Pump();
}

// The labels on a form that fills the window; their rectangles after sizing go to `placed`,
// what each kind took (made, sized and painted) to `perKind`.
double MakeLabelsOnForm(HWND host, CChildForm& form, const std::vector<Label>& labels,
                        std::vector<RECT>& placed, double* perKind) {
    auto start = Clock::now();
    form.Create(CRect(0, 0, kWidth, kHeight), host);
    form.ShowWindow(SW_SHOW);
    placed.clear();
    std::fill(perKind, perKind + kKinds, 0.0);
    for (size_t i = 0; i < labels.size(); ++i) {
        const Label& l = labels[i];
        auto one = Clock::now();
        HWND label = form.InsertStatic(l.rect, 0xFFFF, "", SS_LEFT);
        SIZE size{};
        form.SetStaticText(&size, label, l.markup.c_str());
        perKind[i % kKinds] += Milliseconds(one);
        placed.push_back(RECT{l.rect.left, l.rect.top, l.rect.left + size.cx, l.rect.top + size.cy});
    }
    ::UpdateWindow(host);
    Flush();
    return Milliseconds(start);
}

double MakePlainWindows(HWND host, HWND& container, const std::vector<Label>& labels,
                        const std::vector<RECT>& placed) {
    auto start = Clock::now();
    container = ::CreateWindowExA(0, kHostClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, kWidth,
                                  kHeight, host, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    for (size_t i = 0; i < labels.size(); ++i) {
        const RECT& r = placed[i];
        ::CreateWindowExA(0, kPlainClass, labels[i].plain.c_str(), WS_CHILD | WS_VISIBLE, r.left, r.top,
                          r.right - r.left, r.bottom - r.top, container, nullptr, ::GetModuleHandleA(nullptr),
                          nullptr);
    }
    ::UpdateWindow(host);
    Flush();
    return Milliseconds(start);
}

double Repaint(HWND window, int rounds) {
    auto start = Clock::now();
    for (int i = 0; i < rounds; ++i) {
        ::RedrawWindow(window, nullptr, nullptr,
                       RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        ::GdiFlush();
    }
    return Milliseconds(start) / rounds;
}

} // namespace

int main(int argc, char** argv) {
    int rounds = argc > 1 ? std::atoi(argv[1]) : 10;
    if (rounds < 1) rounds = 1;
    if (!apptest::SetUpApp("HtmlBench", nullptr)) {
        std::fprintf(stderr, "no language library beside the benchmark\n");
        return 2;
    }
    // The picture of the labels is the benchmark's own (HtmlBench.rc).
    theApp.m_hImageResources = ::GetModuleHandleA(nullptr);
    CChildForm::RegisterTabEdit();
    CWnd::RegisterWindowClass(kPlainClass, 0, nullptr, nullptr, nullptr, 0, PlainProc);
    CWnd::RegisterWindowClass(kHostClass, 0, nullptr, nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    CFont font;
    font.CreatePointFont(80, "Tahoma");
    g_font = font;

    HWND host = ::CreateWindowExA(0, kHostClass, "HtmlBench", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                                  kWidth, kHeight, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    std::vector<Label> labels = MakeLabels();
    std::vector<RECT> placed;

    // One round of each to warm up (fonts, pictures, classes).
    double perKind[kKinds], bestPerKind[kKinds] = {};
    {
        CChildForm form;
        form.m_hFont = font;
        MakeLabelsOnForm(host, form, labels, placed, perKind);
        form.DestroyWindow();
        HWND container = nullptr;
        MakePlainWindows(host, container, labels, placed);
        ::DestroyWindow(container);
    }

    // The best round of each counts: the machine's other work only ever adds time.
    double labelMs = 1e300, plainMs = 1e300, labelRepaint = 1e300, plainRepaint = 1e300;
    for (int i = 0; i < rounds; ++i) {
        CChildForm form;
        form.m_hFont = font;
        double made = MakeLabelsOnForm(host, form, labels, placed, perKind);
        if (made < labelMs) std::copy(perKind, perKind + kKinds, bestPerKind);
        labelMs = std::min(labelMs, made);
        labelRepaint = std::min(labelRepaint, Repaint(host, 5));
        form.DestroyWindow();
        Flush();

        HWND container = nullptr;
        plainMs = std::min(plainMs, MakePlainWindows(host, container, labels, placed));
        plainRepaint = std::min(plainRepaint, Repaint(host, 5));
        ::DestroyWindow(container);
        Flush();
    }

    std::printf("200 labels made, sized and painted: %.2f ms; 200 plain windows with DrawText: %.2f ms\n",
                labelMs, plainMs);
    std::printf("of which, 40 labels each: plain %.2f ms, styled %.2f ms, link %.2f ms, table %.2f ms, "
                "picture %.2f ms\n",
                bestPerKind[0], bestPerKind[1], bestPerKind[2], bestPerKind[3], bestPerKind[4]);
    std::printf("the whole window repainted: labels %.2f ms, plain windows %.2f ms\n", labelRepaint,
                plainRepaint);
    std::printf("label ratio %.2f\n", plainMs > 0 ? labelMs / plainMs : 0.0);
    std::printf("repaint ratio %.2f\n", plainRepaint > 0 ? labelRepaint / plainRepaint : 0.0);
    {
        vorlan::bench::WindowCallTally tally;
        CChildForm form;
        form.m_hFont = font;
        {
            vorlan::bench::WindowCallTally::Outside driver(vorlan::bench::WindowCallTally::Driver);
            MakeLabelsOnForm(host, form, labels, placed, perKind);
        }
        std::printf("window-system calls of 200 labels made, sized and painted:\n%s", tally.Table(1).c_str());
        std::printf("  longest entry points:\n%s", tally.Entries(1, 20).c_str());
        std::printf("  other calls:%s\n", tally.Uncounted(1).c_str());
        tally.Suspend();
        form.DestroyWindow();
        Flush();
        tally.Reset();
        tally.Resume();
        HWND container = nullptr;
        {
            vorlan::bench::WindowCallTally::Outside driver(vorlan::bench::WindowCallTally::Driver);
            MakePlainWindows(host, container, labels, placed);
        }
        std::printf("window-system calls of 200 plain windows:\n%s", tally.Table(1).c_str());
        std::printf("  longest entry points:\n%s", tally.Entries(1, 20).c_str());
        std::printf("  other calls:%s\n", tally.Uncounted(1).c_str());
        tally.Suspend();
        ::DestroyWindow(container);
        Flush();
    }
    ::DestroyWindow(host);
    apptest::ReleaseApp();
    return 0;
}
