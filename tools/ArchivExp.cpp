#include "tools/ArchivExp.h"

#include <utility>

// Stand-in until the export comes: the dialog ends at once.

CArchivExp::CArchivExp(HWND explorerTree, FileNameFunction fileName, CWnd* parent)
    : CDialog(359, parent), m_hExplorerTree(explorerTree), m_fileName(std::move(fileName)) {}

bool CArchivExp::OnInitDialog() {
    EndDialog(IDCANCEL);
    return true;
}

void CArchivExp::OnOK() { EndDialog(IDCANCEL); }
