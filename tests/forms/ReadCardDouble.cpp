// Linked into the card test program as one of its own objects: the linker takes the program's
// objects before any library, so it never pulls ReadCard.o out of vorlan_cards (and would
// stop on a duplicate symbol if anything else needed that object).
#include "tests/forms/ReadCardDouble.h"

#include "cards/ReadCard.h"

namespace readcarddouble {

int g_result = 1;

std::string Line(int i) {
    return "Zeile " + std::to_string(i) + ": \"M\xFCller\" <AOK>\r\nKarte g\xFCltig";
}

std::vector<std::pair<int, int>>& Made() {
    static std::vector<std::pair<int, int>> made;
    return made;
}

} // namespace readcarddouble

CReadCard::CReadCard(CWnd* form, int lines, int kind) : m_pForm(form), m_nKind(kind) {
    readcarddouble::Made().emplace_back(lines, kind);
    for (int i = 1; i <= lines; ++i)
        m_lines.push_back(readcarddouble::Line(i));
}

int CReadCard::DoModal() {
    return readcarddouble::g_result;
}

const char* CReadCard::GetLine(int i) const {
    if (i < 1 || static_cast<size_t>(i) > m_lines.size()) return "";
    return m_lines[static_cast<size_t>(i) - 1].c_str();
}
