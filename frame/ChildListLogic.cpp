#include "frame/ChildListLogic.h"

#include <algorithm>
#include <cstring>

namespace vorlan {

namespace {

constexpr char kEndMarker[] = "\xA7";

// Braces of the server's text must not open or close groups of the document.
void AppendText(std::string& out, const std::string& line) {
    for (char c : line)
        out += c == '{' ? '[' : c == '}' ? ']' : c;
}

} // namespace

void ListStream::NextLine() {
    m_pending.clear();
    m_offset = 0;
    std::string line;
    bool first = ++m_counter == 1;
    bool ok = m_source(m_counter, line);
    if (first) m_pending = "{\\rtf ";
    if (!ok) {
        m_pending += "}";
        m_ended = true;
        return;
    }
    if (!first && line == kEndMarker) {
        m_pending = "}";
        m_ended = true;
        return;
    }
    m_emptyRun = line.empty() ? m_emptyRun + 1 : 0;
    AppendText(m_pending, line);
    m_pending += "\\par ";
    if (m_emptyRun >= kListEmptyRunLimit) {
        m_pending += "}";
        m_ended = true;
    }
}

size_t ListStream::Read(char* out, size_t room) {
    while (m_offset == m_pending.size()) {
        if (m_ended) return 0;
        NextLine();
    }
    size_t n = std::min(room, m_pending.size() - m_offset);
    if (n) std::memcpy(out, m_pending.data() + m_offset, n);
    m_offset += n;
    return n;
}

} // namespace vorlan
