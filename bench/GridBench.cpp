// The grid beside the raw Windows controls, in one run:
//   grid_bench [DBSERVER_PORT]
// fill:   100,000 rows of five columns into the grid with redraw off, then on, beside a
//         report-mode list view filled by LVM_INSERTITEM + LVM_SETITEMTEXT with redraw off;
// paint:  the grid (1000 x 700) repainted whole at the top and at the end of the rows, beside
//         the same visible cells drawn with one DrawText per cell and PatBlt grid lines into a
//         memory DC copied to a window of the same size (the larger ratio counts);
// scroll: Page Down from the first row to the last, End and Home, the bar's bottom and top
//         and the thumb at every tenth of the range, each with its repaint: the slowest single
//         step over the raw page paint;
// and the grid's memory for the 100,000 rows. With a dbserver port and the load benchmark
// linked (bench/GridLoadBench.h), the form's loading of GRX follows.
#include "bench/GridLoadBench.h"
#include "controls/GridCtrl.h"
#include "forms/GridFill.h"
#include "framework/ScrollBar.h"
#include "tests/harness/Harness.h"

#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRows = 100000;
constexpr int kCols = 5;
constexpr int kWidth = 1000;
constexpr int kHeight = 700;

double Ms(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The message loop waits for the next input between steps, as a program does between a
// user's key presses (Wine shows what was drawn while the program is idle); not timed.
void Idle() {
    harness::Pump();
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    harness::Pump();
}

// The texts every filler gets, made before any clock runs.
std::vector<std::string> Texts() {
    std::vector<std::string> texts;
    texts.reserve(static_cast<size_t>(kRows) * kCols);
    char buf[64];
    for (int r = 1; r <= kRows; ++r)
        for (int c = 0; c < kCols; ++c) {
            std::snprintf(buf, sizeof buf, c == 0 ? "%d" : "Zeile %d Spalte %d", r, c);
            texts.emplace_back(buf);
        }
    return texts;
}

size_t PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX pmc{};
    pmc.cb = sizeof pmc;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc), sizeof pmc);
    // Wine leaves PrivateUsage at 0; the committed pages tell the same.
    return pmc.PrivateUsage ? pmc.PrivateUsage : pmc.PagefileUsage;
}

HWND MakeHost(const char* title) {
    CWnd::RegisterWindowClass("GridBenchHost", 0, nullptr, nullptr, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    RECT r{0, 0, kWidth, kHeight};
    ::AdjustWindowRect(&r, WS_POPUP, FALSE);
    HWND host = ::CreateWindowExA(0, "GridBenchHost", title, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                                  r.right - r.left, r.bottom - r.top, nullptr, nullptr, nullptr, nullptr);
    harness::Pump();
    return host;
}

double FillListView(HWND host, const std::vector<std::string>& texts) {
    HWND list = ::CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, kWidth, kHeight,
                                  host, nullptr, nullptr, nullptr);
    for (int c = 0; c < kCols; ++c) {
        LVCOLUMNA col{};
        col.mask = LVCF_TEXT | LVCF_WIDTH;
        col.cx = 150;
        col.pszText = const_cast<char*>("Spalte");
        ::SendMessageA(list, LVM_INSERTCOLUMNA, c, reinterpret_cast<LPARAM>(&col));
    }
    harness::Pump();
    auto start = Clock::now();
    ::SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    for (int r = 0; r < kRows; ++r) {
        const std::string* row = &texts[static_cast<size_t>(r) * kCols];
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = r;
        item.pszText = const_cast<char*>(row[0].c_str());
        int at = static_cast<int>(::SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
        for (int c = 1; c < kCols; ++c) {
            LVITEMA sub{};
            sub.iSubItem = c;
            sub.pszText = const_cast<char*>(row[c].c_str());
            ::SendMessageA(list, LVM_SETITEMTEXTA, at, reinterpret_cast<LPARAM>(&sub));
        }
    }
    ::SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, TRUE);
    ::UpdateWindow(list);
    double ms = Ms(start);
    ::DestroyWindow(list);
    harness::Pump();
    return ms;
}

// Each row as $$GETROW^QCC answers it: plain cell records, each ended by $C(255).
std::vector<std::string> RowRecords(const std::vector<std::string>& texts) {
    std::vector<std::string> records(kRows);
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kCols; ++c)
            (records[r] += texts[static_cast<size_t>(r) * kCols + c]) += '\xFF';
    return records;
}

// The grid as the form loads it: sized first, then each row through the form's row-record code.
double FillGrid(CGridCtrl& grid, const std::vector<std::string>& records) {
    auto start = Clock::now();
    grid.SetRedraw(false);
    grid.SetRowCount(kRows + 1);
    for (int r = 1; r <= kRows; ++r)
        vorlan::FillGridRow(grid, r, 0, kCols - 1, records[r - 1]);
    grid.SetRedraw(true, true);
    grid.UpdateWindow();
    return Ms(start);
}

// The middle of the times: a shared machine's stalls do not move it.
double Median(std::vector<double> times) {
    if (times.empty()) return 0;
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Milliseconds of one whole repaint of the window (the median of the rounds).
double Repaint(HWND wnd, int rounds) {
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        Idle();
        auto start = Clock::now();
        ::InvalidateRect(wnd, nullptr, FALSE);
        ::UpdateWindow(wnd);
        ::GdiFlush();
        times.push_back(Ms(start));
    }
    return Median(times);
}

// The raw page: the visible cells of the grid, one DrawText each, PatBlt lines, one copy.
struct RawPage {
    HWND wnd;
    const CGridCtrl* grid;
    int firstRow;
    void Paint(HDC target) const {
        HDC mem = ::CreateCompatibleDC(target);
        HBITMAP bmp = ::CreateCompatibleBitmap(target, kWidth, kHeight);
        HGDIOBJ oldBmp = ::SelectObject(mem, bmp);
        HGDIOBJ oldFont = ::SelectObject(mem, grid->GetFont());
        RECT all{0, 0, kWidth, kHeight};
        ::SetBkColor(mem, ::GetSysColor(COLOR_WINDOW));
        ::ExtTextOutA(mem, 0, 0, ETO_OPAQUE, &all, nullptr, 0, nullptr);
        ::SetBkMode(mem, TRANSPARENT);
        HGDIOBJ oldBrush = ::SelectObject(mem, ::GetStockObject(LTGRAY_BRUSH));
        int y = 0;
        for (int r = 0; r < grid->GetRowCount() && y < kHeight; ++r) {
            int row = r < grid->GetFixedRowCount() ? r : r - grid->GetFixedRowCount() + firstRow;
            if (row >= grid->GetRowCount()) break;
            int h = grid->GetRowHeight(row);
            int x = 0;
            for (int c = 0; c < grid->GetColumnCount() && x < kWidth; ++c) {
                int w = grid->GetColumnWidth(c);
                CString text = grid->GetItemText(row, c);
                RECT cell{x + 3, y, x + w - 3, y + h - 1};
                ::DrawTextA(mem, text, text.GetLength(), &cell, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
                ::PatBlt(mem, x + w - 1, y, 1, h, PATCOPY);
                x += w;
            }
            ::PatBlt(mem, 0, y + h - 1, x, 1, PATCOPY);
            y += h;
        }
        ::BitBlt(target, 0, 0, kWidth, kHeight, mem, 0, 0, SRCCOPY);
        ::SelectObject(mem, oldBrush);
        ::SelectObject(mem, oldFont);
        ::SelectObject(mem, oldBmp);
        ::DeleteObject(bmp);
        ::DeleteDC(mem);
    }
    // A repaint of its window, as the grid's is measured: invalidated, then painted.
    double Step() const {
        Idle();
        auto start = Clock::now();
        ::InvalidateRect(wnd, nullptr, FALSE);
        ::UpdateWindow(wnd);
        ::GdiFlush();
        return Ms(start);
    }
    double Time(int rounds) const {
        std::vector<double> times;
        for (int i = 0; i < rounds; ++i) times.push_back(Step());
        return Median(times);
    }
};

LRESULT CALLBACK RawPageProc(HWND wnd, UINT msg, WPARAM w, LPARAM l) {
    auto* page = reinterpret_cast<RawPage*>(::GetWindowLongPtrA(wnd, GWLP_USERDATA));
    if (msg == WM_ERASEBKGND) return 1;
    if (msg != WM_PAINT || !page) return ::DefWindowProcA(wnd, msg, w, l);
    PAINTSTRUCT ps{};
    HDC dc = ::BeginPaint(wnd, &ps);
    page->Paint(dc);
    ::EndPaint(wnd, &ps);
    return 0;
}

// A window of the grid's size beside it that paints the raw page.
HWND MakeRawWindow(HWND host, RawPage* page) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = RawPageProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "GridBenchRaw";
    ::RegisterClassA(&wc);
    HWND wnd = ::CreateWindowExA(0, "GridBenchRaw", "", WS_CHILD | WS_VISIBLE, 0, 0, kWidth, kHeight, host, nullptr,
                                 nullptr, nullptr);
    ::SetWindowLongPtrA(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(page));
    page->wnd = wnd;
    return wnd;
}

// One scroll step and its repaint. Through the grid's own scroll handler when it moves the
// bar; otherwise (a tree without the input code) by setting the position as it would.
struct Scroller {
    CGridCtrl& grid;
    bool handlerSeen = false;
    bool handlerMissing = false;
    double Step(WPARAM code, int fallbackPos) {
        Idle();
        auto start = Clock::now();
        int before = grid.GetScrollPos32(SB_VERT);
        grid.SendMessage(WM_VSCROLL, code, 0);
        int after = grid.GetScrollPos32(SB_VERT);
        if (after == before && fallbackPos != before) {
            handlerMissing = true;
            grid.SetScrollPos32(SB_VERT, fallbackPos);
            ::InvalidateRect(grid.m_hWnd, nullptr, FALSE);
        } else if (after != before) {
            handlerSeen = true;
        }
        grid.UpdateWindow();
        ::GdiFlush();
        return Ms(start);
    }
    double Thumb(int pos) {
        Idle();
        auto start = Clock::now();
        grid.SetScrollPos32(SB_VERT, pos);
        ::InvalidateRect(grid.m_hWnd, nullptr, FALSE);
        grid.UpdateWindow();
        ::GdiFlush();
        return Ms(start);
    }
};

} // namespace

int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&icc);
    std::vector<std::string> texts = Texts();
    std::vector<std::string> records = RowRecords(texts);

    HWND host = MakeHost("Grid-Benchmark");
    double listMs = FillListView(host, texts);

    size_t memoryBefore = PrivateBytes();
    auto grid = std::make_unique<CGridCtrl>(1, nullptr, 85, 2, kCols, 1, kCols, 20, 0, 1);
    if (!grid->Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, kWidth, kHeight), host, kGridControlId)) return 5;
    for (int c = 0; c < kCols; ++c) grid->SetItemText(0, c, c == 0 ? "Nr." : "Spalte");
    for (int c = 0; c < kCols; ++c) grid->SetColumnWidth(c, kWidth / kCols);
    harness::Pump();
    double gridMs = FillGrid(*grid, records);
    size_t memoryAfter = PrivateBytes();
    std::printf("fill: grid %.0f ms (through the form's row records), "
                "list view %.0f ms\n",
                gridMs, listMs);

    const int rounds = 101;
    // The raw window lies under the grid; each is brought to the top while it is measured.
    RawPage raw{nullptr, grid.get(), 1};
    HWND rawWnd = MakeRawWindow(host, &raw);
    auto top = [](HWND wnd) {
        ::SetWindowPos(wnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        harness::Pump();
    };
    // Turn about, so that a change in the machine's load falls on both alike.
    auto sideBySide = [&](double& rawMs, double& gridMs) {
        std::vector<double> rawTimes;
        std::vector<double> gridTimes;
        for (int i = 0; i < rounds; ++i) {
            top(rawWnd);
            rawTimes.push_back(raw.Step());
            top(grid->m_hWnd);
            gridTimes.push_back(Repaint(grid->m_hWnd, 1));
        }
        rawMs = Median(rawTimes);
        gridMs = Median(gridTimes);
    };
    double rawTop = 0, gridTop = 0, rawEnd = 0, gridEnd = 0;
    sideBySide(rawTop, gridTop);
    grid->EnsureVisible(kRows, 1);
    int bottom = grid->GetScrollPos32(SB_VERT);
    raw.firstRow = grid->GetTopleftNonFixedCell().row;
    sideBySide(rawEnd, gridEnd);
    std::printf("paint: grid %.2f ms at the top, %.2f ms at the end; raw page %.2f / %.2f ms\n", gridTop, gridEnd,
                rawTop, rawEnd);

    Scroller scroll{*grid};
    grid->SetScrollPos32(SB_VERT, 0);
    grid->UpdateWindow();
    int page = grid->GetClientRect().Height() - grid->GetFixedRowHeight();
    double slowest = 0;
    const char* slowestName = "";
    auto note = [&](double ms, const char* name) {
        if (ms > slowest) slowest = ms, slowestName = name;
    };
    int steps = 0;
    std::vector<double> pageDowns;
    while (grid->GetScrollPos32(SB_VERT) < bottom && steps < 100000) {
        int pos = grid->GetScrollPos32(SB_VERT);
        pageDowns.push_back(scroll.Step(SB_PAGEDOWN, std::min(pos + page, bottom)));
        note(pageDowns.back(), "Page Down");
        ++steps;
    }
    std::vector<double> sorted = pageDowns;
    std::sort(sorted.begin(), sorted.end());
    if (!sorted.empty())
        std::printf("scroll: Page Down median %.2f ms, 99th percentile %.2f ms, slowest at step %d\n",
                    sorted[sorted.size() / 2], sorted[sorted.size() * 99 / 100],
                    static_cast<int>(std::max_element(pageDowns.begin(), pageDowns.end()) - pageDowns.begin()));
    note(scroll.Step(SB_TOP, 0), "SB_TOP");
    note(scroll.Step(SB_BOTTOM, bottom), "SB_BOTTOM");
    note(scroll.Step(SB_TOP, 0), "SB_TOP");
    // End and Home move the focus cell and scroll it into view.
    Idle();
    auto start = Clock::now();
    grid->SetFocusCell(kRows, 1);
    grid->EnsureVisible(kRows, 1);
    grid->UpdateWindow();
    note(Ms(start), "End");
    Idle();
    start = Clock::now();
    grid->SetFocusCell(1, 1);
    grid->EnsureVisible(1, 1);
    grid->UpdateWindow();
    note(Ms(start), "Home");
    for (int tenth = 0; tenth <= 10; ++tenth) note(scroll.Thumb(static_cast<int>(1LL * bottom * tenth / 10)), "thumb");
    // The raw page painted as often, under the same conditions: its slowest paint is what the
    // slowest step is held against, so a stall of the machine itself does not count as the
    // grid's.
    top(rawWnd);
    std::vector<double> rawSteps;
    for (int i = 0; i < steps; ++i) rawSteps.push_back(raw.Step());
    std::sort(rawSteps.begin(), rawSteps.end());
    double rawSlowest = rawSteps.back();
    std::printf("scroll: %d Page Down steps; slowest step %s %.2f ms; raw page over as many paints: median %.2f ms, "
                "slowest %.2f ms%s\n",
                steps, slowestName, slowest, rawSteps[rawSteps.size() / 2], rawSlowest,
                scroll.handlerMissing ? " (positions set directly: the grid's scroll handler is not linked here)"
                                      : "");
    std::printf("memory: %.1f MB for %d rows of %d columns\n",
                static_cast<double>(memoryAfter - std::min(memoryAfter, memoryBefore)) / (1024.0 * 1024.0), kRows,
                kCols);
    std::printf("fill ratio %.2f\n", listMs > 0 ? gridMs / listMs : 0.0);
    std::printf("paint ratio %.2f\n", std::max(rawTop > 0 ? gridTop / rawTop : 0.0, rawEnd > 0 ? gridEnd / rawEnd : 0.0));
    std::printf("scroll ratio %.2f\n", rawSlowest > 0 ? slowest / rawSlowest : 0.0);
    std::fflush(stdout);
    grid.reset();
    ::DestroyWindow(host);
#ifdef VORLAN_GRID_LOAD_BENCH
    if (argc > 1) return RunGridLoadBench(argv[1]);
#else
    (void)argc;
    (void)argv;
#endif
    return 0;
}
