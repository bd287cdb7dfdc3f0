#pragma once
// A print preview opened by the test and printed page by page onto the CUPS fixture's queue.

#include "framework/TestMode.h"
#include "resources/PrintIds.h"
#include "services/PrintPreview.h"
#include "tests/harness/Harness.h"
#include "tests/harness/PreviewSteps.h"
#include "tests/harness/PrintedPages.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace harness {

// Opens the preview (through `open`, which returns once it has closed) with the pages across
// set, and runs `then` in it. False when the steps did not all run.
inline bool InPreview(const std::function<void()>& open, int pagesAcross, std::function<void(HWND)> then) {
    PreviewSteps run({
        [&](HWND p) {
            HWND tool = FindDescendant(p, TOOLBARCLASSNAMEA);
            ::SetWindowTextA(::GetDlgItem(tool, ID_PREVIEW_USER_EDIT), std::to_string(pagesAcross).c_str());
            ::SendMessageA(p, WM_PREVIEW_PAGE, 0, 0);
        },
        then,
    });
    open();
    return run.AllRan();
}

// The text of each page from `first` to `last` (0: the preview's last page), each printed as a
// job of its own: the fixture's round trip through PDF cannot read a TrueType font on a later
// page of one job. An empty text stands for a page that did not come.
inline std::vector<std::string> PrintPages(const std::function<void()>& open, int pagesAcross, int first = 1,
                                           int last = 0) {
    if (last <= 0)
        InPreview(open, pagesAcross, [&](HWND p) {
            last = static_cast<int>(
                static_cast<CPrintPreview*>(CWnd::FromHandlePermanent(p))->Info().GetMaxPage());
            ::SendMessageA(p, WM_COMMAND, ID_PREVIEW_CLOSE, 0);
        });
    std::vector<std::string> pages;
    for (int page = first; page <= last; ++page) {
        ClearPrintFile();
        fw::TestMode::PushAnswer("dialog print printer:default pages:" + std::to_string(page) + "-" +
                                 std::to_string(page));
        InPreview(open, pagesAcross, [](HWND p) { ::SendMessageA(p, WM_COMMAND, ID_PREVIEW_PRINT, 0); });
        std::vector<std::string> printed = PrintedPages(90000);
        pages.push_back(printed.size() == 1 ? printed[0] : std::string());
    }
    return pages;
}

// The text by which a printed row is found again: Zeile007.
inline std::string RowMark(int row) {
    char text[16];
    std::snprintf(text, sizeof text, "Zeile%03d", row);
    return text;
}

// The footer's numbering of a page (from 1) of all pages; with pages across also its band.
inline std::string PageNumbering(size_t page, size_t pages, size_t across) {
    std::string text = "Seite " + std::to_string(page) + " von " + std::to_string(pages);
    if (across > 1)
        text +=
            " (Reihe " + std::to_string((page - 1) / across + 1) + "/" + std::to_string(pages / across) + ")";
    return text;
}

// How often the word occurs in the text.
inline size_t CountOf(const std::string& text, const std::string& word) {
    size_t n = 0;
    for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1))
        ++n;
    return n;
}

} // namespace harness
