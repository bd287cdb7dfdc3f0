#include "controls/HtmlLayout.h"

namespace html {

Layout::Layout(const SystemColourSource& systemColour)
    : m_colours(systemColour), m_disabledColour(m_colours.System(16)) {}

Size Layout::Prepare(Canvas&, const std::string& text, int availableWidth) {
    m_text = text;
    m_availableWidth = availableWidth;
    return Size{};
}

void Layout::Draw(Canvas&, const Rect&) {}

int Layout::HitTest(int x, int y) const {
    for (size_t i = 0; i < m_hotAreas.size(); ++i)
        if (m_hotAreas[i].rect.Contains(x, y)) return static_cast<int>(i);
    return -1;
}

HoverResult Layout::MouseOver(int, int) {
    return HoverResult{};
}

ClickResult Layout::Click(int, int) const {
    return ClickResult{};
}

std::string HandlerCommandLine(const std::string& command, const std::string&) {
    return command;
}

} // namespace html
