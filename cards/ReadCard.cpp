// Until the card terminals are served the dialog reads nothing, says so in the protocol and
// ends without a result, so that the server's routine decides what the user learns.
#include "cards/ReadCard.h"

#include "app/ProtocolLog.h"

CReadCard::CReadCard(CWnd* form, int lines, int kind)
    : m_pForm(form), m_nKind(kind), m_lines(static_cast<size_t>(lines < 0           ? 0
                                                                : lines > kMaxLines ? kMaxLines
                                                                                    : lines)) {}

int CReadCard::DoModal() {
    vorlan::TraceFunction("CReadCard::DoModal");
    vorlan::WriteProtocol("CReadCard::DoModal - card reader kind %d not served", vorlan::kLogNote, m_nKind);
    return 0;
}

const char* CReadCard::GetLine(int i) const {
    if (i < 1 || static_cast<size_t>(i) > m_lines.size()) return "";
    return m_lines[static_cast<size_t>(i) - 1].c_str();
}
