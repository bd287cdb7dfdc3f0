#pragma once
// The layout of a label's markup in two passes: measuring (Prepare) fills the line records,
// drawing (Draw) places runs, rules, pictures and tables through a Canvas and rebuilds the
// links' hot areas. Mouse and click decisions come back as plain values for the window to
// carry out.

#include "controls/HtmlCanvas.h"
#include "controls/HtmlMarkup.h"

#include <string>
#include <vector>

namespace html {

// Link kinds.
enum LinkKind { kLinkNone = 0, kLinkHref = 1, kLinkMessage = 2, kLinkKey = 3 };

// No link is under the mouse.
constexpr int kNoLink = -2;

// A piece of a link on the surface, relative to the drawing origin.
struct HotArea {
    Rect rect;
    int kind = kLinkNone;
    int link = -1;
    std::string text;
};

// What a mouse move over the label asks of the window.
struct HoverResult {
    // The link under the mouse changed: notify the hover callback with link (kNoLink when
    // the mouse left every link) and the hover-text callback with text (none when leaving).
    bool notify = false;
    int link = kNoLink;
    bool hasText = false;
    std::string text;
    // The hand cursor applies.
    bool hand = false;
};

// What a click asks of the window: open the text through the shell (kLinkHref), or send it
// to the link callback (kLinkMessage, kLinkKey); kLinkNone does nothing.
struct ClickResult {
    int kind = kLinkNone;
    std::string text;
};

// Line record of the measuring pass, relative to the box the line lies in.
struct LineRecord {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int align = 0;
    int descent = 0;
};

// What the measuring pass found of a table, for the drawing pass.
struct TableRecord {
    std::vector<int> columns; // widths
    std::vector<int> rows;    // heights
    std::vector<Size> cells;  // content sizes, in the order of the cells
    Size need;
};

class Layout {
  public:
    explicit Layout(const SystemColourSource& systemColour);

    // Empty loads the default sheet.
    void SetStyleSheet(const std::string& text) { m_sheet.Set(text); }
    void SetStyleEntry(const std::string& selector, const std::string& properties) {
        m_sheet.SetEntry(selector, properties);
    }
    const StyleSheet& Sheet() const { return m_sheet; }
    const ColourTable& Colours() const { return m_colours; }

    // While disabled every colour resolves to the disabled colour and links do not react.
    void SetEnabled(bool enabled) { m_enabled = enabled; }
    bool Enabled() const { return m_enabled; }
    void SetDisabledColour(Colour colour) { m_disabledColour = colour; }
    Colour DisabledColour() const { return m_disabledColour; }

    // Measures the text; its width and height each plus 1, 0 x 0 for an empty text, and 1 x 1
    // (the text cleared) when it measures nothing. availableWidth is what percentages of rules
    // and tables are shares of; 0 when unknown (they then take no room beyond their need).
    Size Prepare(Canvas& canvas, const std::string& text, int availableWidth = 0);
    // Draws the prepared text at the rectangle's top left; its width is the available width.
    void Draw(Canvas& canvas, const Rect& rect);
    const std::string& Text() const { return m_text; }

    // Index of the first hot area holding the point (relative to the drawing origin), or -1.
    int HitTest(int x, int y) const;
    HoverResult MouseOver(int x, int y);
    ClickResult Click(int x, int y) const;

    const std::vector<HotArea>& HotAreas() const { return m_hotAreas; }
    const std::vector<LineRecord>& Lines() const { return m_lines; }
    int LinkUnderMouse() const { return m_hoverLink; }
    // Forgets the link under the mouse (the mouse left the window).
    void ClearLinkUnderMouse() { m_hoverLink = kNoLink; }

  private:
    friend class LayoutPass;
    ColourTable m_colours;
    StyleSheet m_sheet;
    bool m_enabled = true;
    Colour m_disabledColour;
    std::string m_text;
    int m_availableWidth = 0;
    Size m_measured;
    std::vector<LineRecord> m_lines;
    std::vector<TableRecord> m_tables;
    std::vector<HotArea> m_hotAreas;
    int m_hoverLink = kNoLink;
};

// The command line of the registered HTML handler for a link: the registry's "open" command
// cut before its "%1" (before the quote that opens it), the link text as one quoted argument.
std::string HandlerCommandLine(const std::string& command, const std::string& linkText);

} // namespace html
