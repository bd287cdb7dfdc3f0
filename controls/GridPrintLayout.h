#pragma once
// How a grid's rows fall onto printed pages, without windows: row bands down the pages,
// slices across them, and the footer's page numbering.

#include <string>
#include <vector>

namespace gridprint {

// The preview's user value as pages across: values below 1 count as 1.
int PagesAcross(int userValue);

// Row bands down the pages. A band holds the rows whose bottom stays within the body height,
// under the fixed rows when they repeat (pages across below 2) or on the first band. A row
// taller than the body gets a band of its own and prints clipped rather than being lost.
class Pagination {
  public:
    Pagination(std::vector<int> bodyRowHeights, int fixedHeight, int bodyHeight, int pagesAcross);
    int BandCount() const { return static_cast<int>(m_starts.size()); }
    int PageCount() const { return BandCount() * m_across; }
    // First body row (0-based among the body rows) and one past the last of a band (1-based).
    int BandFirstRow(int band) const;
    int BandEndRow(int band) const;
    bool BandHasFixedRows(int band) const { return m_across < 2 || band == 1; }

  private:
    std::vector<int> m_starts;
    int m_rows;
    int m_across;
};

// Which part of the rows a page shows: its row band (1-based) and its slice across (0-based).
struct PagePlace {
    int band = 1;
    int slice = 0;
};
PagePlace PlaceOfPage(int page, int pagesAcross);

// " (Reihe b/n)" for pages across of 2 and more, else empty.
std::string BandSuffix(int page, int pageCount, int pagesAcross);
// "Seite p von n" with the band suffix.
std::string PageNumbering(int page, int pageCount, int pagesAcross);
// Carriage returns in the three header texts; 1 when there are none but a text is set.
int HeaderLineCount(const std::string& left, const std::string& centre, const std::string& right);
// The footer's centre: "<app title> - <window title>" with " [<memo>]" when there is one.
std::string FooterCentre(const std::string& appTitle, const std::string& windowTitle,
                         const std::string& memo);

// The footer's texts of the server (each empty for the grid's own) and the memo of the window.
inline constexpr char kFooterLeftLine[] = "W $G(%WIN(\"SCRFOOT\",\"L\"))";
inline constexpr char kFooterCentreLine[] = "W $G(%WIN(\"SCRFOOT\",\"C\"))";
inline constexpr char kFooterRightLine[] = "W $G(%WIN(\"SCRFOOT\",\"R\"))";
inline constexpr char kFooterExtraLine[] = "W $G(%WIN(\"SCRFOOT\",\"C-EXTRA\"))";
inline constexpr char kFooterMemoLine[] = "W $G(%MEMO)";

} // namespace gridprint
