#pragma once
// A surface for the label layout with fixed metrics: every character 8 pixels wide, the font's
// height its pixel size (16 unless a style says otherwise), three quarters of it ascent. It
// records what is drawn. Pictures and string resources are whatever the test gives it.

#include "controls/HtmlCanvas.h"

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

class FakeCanvas : public html::Canvas {
  public:
    struct TextOut {
        int x, y;
        std::string text;
        html::Colour colour;
        bool opaque;
        html::Style font;
    };
    struct LineOut {
        int x1, y1, x2, y2;
        html::Colour colour;
        int pen, width;
    };
    struct RectOut {
        html::Rect rect;
        html::Colour light, dark;
        int pen, width;
    };
    struct FillOut {
        html::Rect rect;
        int effect;
        html::Colour start;
    };
    struct PictureOut {
        html::Rect rect;
        std::string effects;
        bool disabled;
    };

    static constexpr int kCharWidth = 8;

    html::FontMetrics SelectFont(const html::Style& style) override {
        m_font = style;
        int h = std::abs(style.fontHeight);
        if (h == 0) h = 16;
        m_metrics.height = h;
        m_metrics.ascent = h * 3 / 4;
        m_metrics.descent = h - m_metrics.ascent;
        m_metrics.xHeight = h / 2;
        ++fontSelections;
        return m_metrics;
    }
    int PixelsPerInchY() override { return 96; }
    html::Size MeasureText(const std::string& text) override {
        return html::Size{static_cast<int>(text.size()) * kCharWidth, m_metrics.height};
    }
    void DrawText(int x, int y, const std::string& text, html::Colour colour, html::Colour,
                  bool opaque) override {
        texts.push_back(TextOut{x, y, text, colour, opaque, m_font});
    }
    void DrawLine(int x1, int y1, int x2, int y2, html::Colour colour, int pen, int width) override {
        lines.push_back(LineOut{x1, y1, x2, y2, colour, pen, width});
    }
    void DrawRectangle(const html::Rect& r, html::Colour light, html::Colour dark, int pen,
                       int width) override {
        rects.push_back(RectOut{r, light, dark, pen, width});
    }
    void FillEffect(const html::Rect& r, int effect, html::Colour start, html::Colour,
                    html::Colour) override {
        fills.push_back(FillOut{r, effect, start});
    }
    void DrawBackgroundPicture(const html::Rect& r, const std::string&) override { backgrounds.push_back(r); }
    html::Size PictureSize(const html::Picture& p) override {
        auto it = pictureSizes.find(p.idres);
        return p.hasIdres && it != pictureSizes.end() ? it->second : html::Size{};
    }
    void DrawPicture(const html::Picture&, const html::Rect& r, const std::string& effects, bool disabled,
                     html::Colour) override {
        pictures.push_back(PictureOut{r, effects, disabled});
    }
    std::string StringResource(uint32_t id) override {
        auto it = strings.find(id);
        return it == strings.end() ? std::string() : it->second;
    }

    void Clear() {
        texts.clear();
        lines.clear();
        rects.clear();
        fills.clear();
        backgrounds.clear();
        pictures.clear();
    }
    // The first drawn run with that text, or null.
    const TextOut* Find(const std::string& text) const {
        for (const TextOut& t : texts)
            if (t.text == text) return &t;
        return nullptr;
    }

    std::map<uint32_t, html::Size> pictureSizes;
    std::map<uint32_t, std::string> strings;
    std::vector<TextOut> texts;
    std::vector<LineOut> lines;
    std::vector<RectOut> rects;
    std::vector<FillOut> fills;
    std::vector<html::Rect> backgrounds;
    std::vector<PictureOut> pictures;
    int fontSelections = 0;

  private:
    html::Style m_font;
    html::FontMetrics m_metrics;
};
