// The label markup on arbitrary bytes: the text before the first NUL is a style sheet, the rest
// the label. Cutting, tags, properties and both layout passes must end, stay within their
// bounds and keep every rectangle ordered.
#include "controls/HtmlLayout.h"
#include "tests/controls/HtmlFakeCanvas.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    std::string input(reinterpret_cast<const char*>(data), size);
    std::string sheet, text = input;
    size_t nul = input.find('\0');
    if (nul != std::string::npos) {
        sheet = input.substr(0, nul);
        text = input.substr(nul + 1);
    }

    html::ColourTable colours([](int index) { return static_cast<html::Colour>(index * 0x10101); });
    html::Units units;
    units.xHeight = 7;
    units.charHeight = 16;
    for (const html::Piece& p : html::CutText(text)) {
        if (p.end > text.size() || p.begin >= p.end) std::abort();
        if (p.kind != html::Piece::TagText) continue;
        html::Tag tag = html::ReadTag(p.text);
        html::Style style;
        html::ApplyProperties(style, p.text, colours, units);
        html::ReadPicture(tag, colours, units);
        if (html::RepeatCount(tag.Value(tag.name)) > html::kMaxRepeat) std::abort();
    }
    html::ReadBackgroundPicture(text);
    html::HandlerCommandLine(sheet, text);

    FakeCanvas canvas;
    canvas.pictureSizes[1] = html::Size{20, 10};
    canvas.pictureSizes[2] = html::Size{16, 16};
    canvas.strings[1] = "Hallo";
    html::Layout layout([](int index) { return static_cast<html::Colour>(index); });
    if (!sheet.empty()) layout.SetStyleSheet(sheet);
    layout.SetEnabled(size % 7 != 0);
    for (int pass = 0; pass < 2; ++pass) {
        html::Size s = layout.Prepare(canvas, text, static_cast<int>(size % 3) * 150);
        if (s.cx < 0 || s.cy < 0 || s.cx > (1 << 29) || s.cy > (1 << 29)) std::abort();
        if ((s.cx == 0) != text.empty()) std::abort();
        layout.Draw(canvas, html::Rect{3, 5, 3 + s.cx, 5 + s.cy});
        for (const auto& t : canvas.rects)
            if (t.rect.right < t.rect.left || t.rect.bottom < t.rect.top) std::abort();
        for (const auto& t : canvas.fills)
            if (t.rect.right < t.rect.left || t.rect.bottom < t.rect.top) std::abort();
        for (const html::HotArea& a : layout.HotAreas()) {
            if (a.rect.right < a.rect.left || a.rect.bottom < a.rect.top) std::abort();
            int x = a.rect.left + a.rect.Width() / 2, y = a.rect.top + a.rect.Height() / 2;
            layout.MouseOver(x, y);
            layout.Click(x, y);
        }
        layout.MouseOver(-1, -1);
        canvas.Clear();
    }
    return 0;
}
