#pragma once
// The card-reading dialog of reader kinds 0 and 1: reads an insured person's card and holds
// the result lines the form hands to the server.

#include <windows.h>

#include <string>
#include <vector>

class CWnd;

class CReadCard {
  public:
    static constexpr int kMaxLines = 64;
    static constexpr int kLineSize = 256;

    CReadCard(CWnd* form, int lines, int kind);
    // 1 when the card was read; the lines are then valid.
    int DoModal();
    // Line i from 1; empty for lines out of range.
    const char* GetLine(int i) const;

  private:
    CWnd* m_pForm;
    int m_nKind;
    std::vector<std::string> m_lines;
};
