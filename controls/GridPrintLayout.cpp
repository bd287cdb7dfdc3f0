#include "controls/GridPrintLayout.h"

#include <algorithm>
#include <cstdio>

namespace gridprint {

int PagesAcross(int userValue) {
    return userValue < 1 ? 1 : userValue;
}

Pagination::Pagination(std::vector<int> heights, int fixedHeight, int bodyHeight, int pagesAcross)
    : m_rows(static_cast<int>(heights.size())), m_across(PagesAcross(pagesAcross)) {
    m_starts.push_back(0);
    long long running = fixedHeight;
    bool pageHasRow = false;
    for (int r = 0; r < m_rows; ++r) {
        long long h = heights[static_cast<size_t>(r)];
        running += h;
        // A page that holds no row yet takes the row even when it does not fit.
        if (running > bodyHeight && pageHasRow) {
            m_starts.push_back(r);
            running = h + (m_across < 2 ? fixedHeight : 0);
        }
        pageHasRow = true;
    }
}

int Pagination::BandFirstRow(int band) const {
    if (band < 1) return 0;
    if (band > BandCount()) return m_rows;
    return m_starts[static_cast<size_t>(band - 1)];
}

int Pagination::BandEndRow(int band) const {
    if (band < 1) return 0;
    if (band >= BandCount()) return m_rows;
    return m_starts[static_cast<size_t>(band)];
}

PagePlace PlaceOfPage(int page, int pagesAcross) {
    int n = PagesAcross(pagesAcross);
    int p = std::max(page, 1);
    if (n < 2) return PagePlace{p, 0};
    return PagePlace{(p - 1) / n + 1, (p - 1) % n};
}

std::string BandSuffix(int page, int pageCount, int pagesAcross) {
    if (pagesAcross < 2) return std::string();
    char text[64];
    std::snprintf(text, sizeof text, " (Reihe %d/%d)", PlaceOfPage(page, pagesAcross).band,
                  pageCount / pagesAcross);
    return text;
}

std::string PageNumbering(int page, int pageCount, int pagesAcross) {
    char text[64];
    std::snprintf(text, sizeof text, "Seite %d von %d", page, pageCount);
    return text + BandSuffix(page, pageCount, pagesAcross);
}

int HeaderLineCount(const std::string& left, const std::string& centre, const std::string& right) {
    int n = 0;
    for (const std::string* s : {&left, &centre, &right})
        n += static_cast<int>(std::count(s->begin(), s->end(), '\r'));
    if (n == 0 && !(left.empty() && centre.empty() && right.empty())) n = 1;
    return n;
}

std::string FooterCentre(const std::string& appTitle, const std::string& windowTitle,
                         const std::string& memo) {
    std::string text = appTitle + " - " + windowTitle;
    if (!memo.empty()) text += " [" + memo + "]";
    return text;
}

} // namespace gridprint
