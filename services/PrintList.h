#pragma once
// The print list: the job's report lines, which the server prepares, printed page by page
// with the report's title above and the page number below, in the list font.

#include "framework/Gdi.h"
#include "framework/StatusDialog.h"

#include <windows.h>

#include <vector>

class CPrintList {
  public:
    // The dialog of the run is shown over the owner while the list prints.
    explicit CPrintList(HWND owner);
    ~CPrintList();
    CPrintList(const CPrintList&) = delete;
    CPrintList& operator=(const CPrintList&) = delete;

    // The whole run; 0 when the print dialog was cancelled, 1 otherwise.
    int Print();

    // Measures the paper and asks the server for the lines; false when no line fits a page.
    bool OnBeginPrinting(HDC printer);
    void OnPrint(HDC printer, int page);
    void OnEndPrinting();
    void PrintHeader(HDC printer);
    void PrintFooter(HDC printer, int page);

    int PageCount() const { return static_cast<int>(m_pageStarts.size()); }

  private:
    HWND m_hOwner;
    CStatusDialog m_dialog;
    CFont m_font, m_boldFont;
    int m_nLines = 0;
    int m_nLineHeight = 0;
    int m_nPageWidth = 0, m_nPageHeight = 0, m_nBodyHeight = 0;
    int m_nHorzRes = 0, m_nVertRes = 0;
    std::vector<int> m_pageStarts;
};
