// Draws the theme library's pictures at build time: 32-bit image strips with alpha (rows of
// square icons) and 32-bit icons. A strip whose ID the program also carries starts with the
// program's own icons, in the same order, taken from its 24-bit strip; the colour of its
// top-left pixel is transparent there, as in the program's masked image lists.
//
//   MakeThemeArt OUTDIR (strip:ID:WIDTH:HEIGHT[:PROGRAM.bmp] | icon:ID | states:ID:WIDTH:HEIGHT)...
//
// Writes OUTDIR/stripID.bmp and OUTDIR/iconID.ico.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct Rgba {
    double r = 0, g = 0, b = 0, a = 0; // straight colour, 0..255; alpha 0..1
};

struct Colour {
    int r, g, b;
};

const Colour kInk{40, 40, 40};
const Colour kPaper{255, 255, 255};
const Colour kGrey{150, 150, 150};
const Colour kGold{220, 170, 30};
const Colour kPalette[] = {{30, 90, 200},  {20, 140, 40},  {200, 30, 30},
                           {220, 170, 30}, {120, 60, 170}, {0, 140, 150}};

// One square picture, painted with shapes in coordinates 0..1 and 4x4 samples per pixel, so
// that edges come out soft.
class Picture {
  public:
    explicit Picture(int side) : m_side(side), m_px(static_cast<size_t>(side) * side) {}
    int Side() const { return m_side; }
    Rgba& At(int x, int y) { return m_px[static_cast<size_t>(y) * m_side + x]; }
    const Rgba& At(int x, int y) const { return m_px[static_cast<size_t>(y) * m_side + x]; }

    void Paint(const std::function<bool(double, double)>& inside, Colour c, double opacity = 1.0) {
        const int n = 4;
        for (int y = 0; y < m_side; ++y)
            for (int x = 0; x < m_side; ++x) {
                int hits = 0;
                for (int sy = 0; sy < n; ++sy)
                    for (int sx = 0; sx < n; ++sx)
                        if (inside((x + (sx + 0.5) / n) / m_side, (y + (sy + 0.5) / n) / m_side)) ++hits;
                if (hits) Over(At(x, y), c, opacity * hits / (n * n));
            }
    }
    void Disc(double cx, double cy, double r, Colour c) {
        Paint([=](double x, double y) { return Sq(x - cx) + Sq(y - cy) <= r * r; }, c);
    }
    void Ring(double cx, double cy, double r, double w, Colour c) {
        Paint(
            [=](double x, double y) {
                double d = std::sqrt(Sq(x - cx) + Sq(y - cy));
                return d <= r && d >= r - w;
            },
            c);
    }
    void Box(double x0, double y0, double x1, double y1, Colour c) {
        Paint([=](double x, double y) { return x >= x0 && x <= x1 && y >= y0 && y <= y1; }, c);
    }
    void Frame(double x0, double y0, double x1, double y1, double w, Colour line, Colour fill) {
        Box(x0, y0, x1, y1, line);
        Box(x0 + w, y0 + w, x1 - w, y1 - w, fill);
    }
    void Line(double x0, double y0, double x1, double y1, double w, Colour c) {
        Paint(
            [=](double x, double y) {
                double dx = x1 - x0, dy = y1 - y0;
                double t = std::clamp(((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
                return Sq(x - x0 - t * dx) + Sq(y - y0 - t * dy) <= w * w / 4;
            },
            c);
    }

  private:
    static double Sq(double v) { return v * v; }
    static void Over(Rgba& dst, Colour c, double a) {
        double out = a + dst.a * (1 - a);
        if (out <= 0) return;
        dst.r = (c.r * a + dst.r * dst.a * (1 - a)) / out;
        dst.g = (c.g * a + dst.g * dst.a * (1 - a)) / out;
        dst.b = (c.b * a + dst.b * dst.a * (1 - a)) / out;
        dst.a = out;
    }

    int m_side;
    std::vector<Rgba> m_px;
};

// The pictograms of the positions the program has no picture for, by index.
Picture Pictogram(int side, int index) {
    Picture p(side);
    Colour accent = kPalette[index % std::size(kPalette)];
    switch ((index / static_cast<int>(std::size(kPalette))) % 8) {
    case 0: // page with lines
        p.Frame(0.2, 0.1, 0.8, 0.9, 0.07, kInk, kPaper);
        for (double y : {0.35, 0.5, 0.65})
            p.Line(0.32, y, 0.68, y, 0.06, accent);
        break;
    case 1: // folder
        p.Frame(0.08, 0.22, 0.5, 0.4, 0.06, kInk, accent);
        p.Frame(0.08, 0.32, 0.92, 0.84, 0.06, kInk, accent);
        break;
    case 2: // mark
        p.Disc(0.5, 0.5, 0.38, kInk);
        p.Disc(0.5, 0.5, 0.32, accent);
        break;
    case 3: // tick
        p.Line(0.18, 0.52, 0.42, 0.78, 0.14, accent);
        p.Line(0.42, 0.78, 0.84, 0.22, 0.14, accent);
        break;
    case 4: // cross
        p.Line(0.22, 0.22, 0.78, 0.78, 0.14, accent);
        p.Line(0.78, 0.22, 0.22, 0.78, 0.14, accent);
        break;
    case 5: // arrow
        p.Line(0.18, 0.5, 0.8, 0.5, 0.14, accent);
        p.Line(0.55, 0.25, 0.82, 0.5, 0.14, accent);
        p.Line(0.55, 0.75, 0.82, 0.5, 0.14, accent);
        break;
    case 6: // person
        p.Disc(0.5, 0.3, 0.17, accent);
        p.Paint([](double x,
                   double y) { return y >= 0.55 && (x - 0.5) * (x - 0.5) + (y - 0.92) * (y - 0.92) <= 0.13; },
                accent);
        break;
    default: // calendar
        p.Frame(0.12, 0.16, 0.88, 0.88, 0.06, kInk, kPaper);
        p.Box(0.12, 0.16, 0.88, 0.34, accent);
        for (double y : {0.48, 0.64, 0.78})
            for (double x : {0.28, 0.5, 0.72})
                p.Box(x - 0.05, y - 0.04, x + 0.05, y + 0.04, kGrey);
        break;
    }
    return p;
}

// A tree's state images: none, box, checked box, both greyed, radio button off and on, both
// inactive.
Picture StateImage(int side, int index) {
    Picture p(side);
    // A picture without any alpha counts as opaque to image lists and would show black: "none"
    // gets one all but invisible pixel.
    if (index == 0) p.At(0, 0).a = 1.0 / 255;
    bool grey = index == 3 || index == 4 || index >= 7;
    Colour line = grey ? kGrey : kInk;
    Colour mark = grey ? kGrey : Colour{20, 20, 20};
    if (index >= 1 && index <= 4) {
        p.Frame(0.16, 0.16, 0.84, 0.84, 0.08, line, grey ? Colour{230, 230, 230} : kPaper);
        if (index == 2 || index == 4) {
            p.Line(0.3, 0.5, 0.45, 0.68, 0.12, mark);
            p.Line(0.45, 0.68, 0.72, 0.32, 0.12, mark);
        }
    } else if (index >= 5) {
        p.Disc(0.5, 0.5, 0.36, line);
        p.Disc(0.5, 0.5, 0.29, grey ? Colour{230, 230, 230} : kPaper);
        if (index == 6 || index == 8) p.Disc(0.5, 0.5, 0.14, mark);
    }
    return p;
}

// A chip card, and a plain mark.
Picture IconPicture(int side, int id) {
    Picture p(side);
    if (id == 541) {
        p.Frame(0.06, 0.2, 0.94, 0.8, 0.05, kInk, Colour{60, 120, 200});
        p.Frame(0.18, 0.36, 0.4, 0.6, 0.03, kInk, kGold);
        p.Line(0.52, 0.66, 0.84, 0.66, 0.05, kPaper);
    } else {
        p.Disc(0.5, 0.5, 0.44, kInk);
        p.Disc(0.5, 0.5, 0.38, kPalette[id % std::size(kPalette)]);
        p.Disc(0.5, 0.3, 0.07, kPaper);
        p.Line(0.5, 0.45, 0.5, 0.74, 0.12, kPaper);
    }
    return p;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

uint32_t Le(const std::string& b, size_t at, int bytes) {
    if (at + bytes > b.size()) throw std::runtime_error("bitmap file too short");
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | static_cast<uint8_t>(b[at + i]);
    return v;
}

// The program's 24-bit strip cut into square pictures of the strip's height.
std::vector<Picture> ProgramIcons(const std::string& path) {
    std::string b = ReadFile(path);
    if (b.compare(0, 2, "BM") != 0) throw std::runtime_error(path + ": not a bitmap");
    uint32_t offset = Le(b, 10, 4);
    int width = static_cast<int32_t>(Le(b, 18, 4));
    int height = static_cast<int32_t>(Le(b, 22, 4));
    if (Le(b, 28, 2) != 24 || Le(b, 30, 4) != 0 || width <= 0 || height == 0)
        throw std::runtime_error(path + ": not an uncompressed 24-bit bitmap");
    bool bottomUp = height > 0;
    height = std::abs(height);
    size_t row = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
    if (offset + row * height > b.size()) throw std::runtime_error(path + ": pixels missing");
    auto pixel = [&](int x, int y) {
        size_t at = offset + row * (bottomUp ? height - 1 - y : y) + static_cast<size_t>(x) * 3;
        return Colour{static_cast<uint8_t>(b[at + 2]), static_cast<uint8_t>(b[at + 1]),
                      static_cast<uint8_t>(b[at])};
    };
    Colour key = pixel(0, 0);
    std::vector<Picture> icons;
    for (int i = 0; i < width / height; ++i) {
        Picture p(height);
        bool seen = false;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < height; ++x) {
                Colour c = pixel(i * height + x, y);
                if (c.r == key.r && c.g == key.g && c.b == key.b) continue;
                p.At(x, y) = Rgba{double(c.r), double(c.g), double(c.b), 1.0};
                seen = true;
            }
        // An empty picture ("none" of the state images) gets the faint pixel that keeps an
        // image list from showing it black.
        if (!seen) p.At(0, 0).a = 1.0 / 255;
        icons.push_back(p);
    }
    return icons;
}

uint8_t Byte(double v) {
    return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0, 255.0)));
}

void Put(std::string& out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::string InfoHeader(int width, int height, uint32_t imageBytes) {
    std::string h;
    Put(h, 40, 4);
    Put(h, static_cast<uint32_t>(width), 4);
    Put(h, static_cast<uint32_t>(height), 4);
    Put(h, 1, 2);  // planes
    Put(h, 32, 2); // bits per pixel
    Put(h, 0, 4);  // BI_RGB
    Put(h, imageBytes, 4);
    Put(h, 2835, 4);
    Put(h, 2835, 4);
    Put(h, 0, 4);
    Put(h, 0, 4);
    return h;
}

// Bottom-up BGRA rows. Strips carry their colours premultiplied by alpha: image lists blend
// them that way, and a straight reading only darkens the soft edges a little.
std::string Pixels(const std::vector<Picture>& icons, bool premultiplied) {
    int side = icons.front().Side();
    std::string data;
    for (int y = side - 1; y >= 0; --y)
        for (const auto& icon : icons)
            for (int x = 0; x < side; ++x) {
                const Rgba& p = icon.At(x, y);
                double f = premultiplied ? p.a : 1.0;
                if (p.a <= 0) f = 0;
                data += static_cast<char>(Byte(p.b * f));
                data += static_cast<char>(Byte(p.g * f));
                data += static_cast<char>(Byte(p.r * f));
                data += static_cast<char>(Byte(p.a * 255));
            }
    return data;
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    if (!out) throw std::runtime_error("cannot write " + path);
}

void WriteStrip(const std::string& path, const std::vector<Picture>& icons) {
    int side = icons.front().Side();
    int width = side * static_cast<int>(icons.size());
    std::string data = Pixels(icons, true);
    std::string file = "BM";
    Put(file, static_cast<uint32_t>(54 + data.size()), 4);
    Put(file, 0, 4);
    Put(file, 54, 4);
    file += InfoHeader(width, side, static_cast<uint32_t>(data.size())) + data;
    WriteFile(path, file);
}

// An icon file with a 16 and a 32 pixel image, straight alpha and an empty AND mask.
void WriteIcon(const std::string& path, int id) {
    const int sides[] = {16, 32};
    std::vector<std::string> images;
    for (int side : sides) {
        std::string colour = Pixels({IconPicture(side, id)}, false);
        std::string mask(static_cast<size_t>(side) * ((side + 31) / 32 * 4), '\0');
        images.push_back(InfoHeader(side, 2 * side, static_cast<uint32_t>(colour.size() + mask.size())) +
                         colour + mask);
    }
    std::string file;
    Put(file, 0, 2);
    Put(file, 1, 2); // icon
    Put(file, static_cast<uint32_t>(images.size()), 2);
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        Put(file, static_cast<uint32_t>(sides[i]), 1);
        Put(file, static_cast<uint32_t>(sides[i]), 1);
        Put(file, 0, 2); // no palette, reserved
        Put(file, 1, 2);
        Put(file, 32, 2);
        Put(file, static_cast<uint32_t>(images[i].size()), 4);
        Put(file, offset, 4);
        offset += static_cast<uint32_t>(images[i].size());
    }
    for (const auto& image : images)
        file += image;
    WriteFile(path, file);
}

// At most five parts: the last one, a file path, may hold colons of its own.
std::vector<std::string> Split(const std::string& text) {
    std::vector<std::string> parts;
    size_t from = 0;
    while (parts.size() < 4) {
        size_t at = text.find(':', from);
        if (at == std::string::npos) break;
        parts.push_back(text.substr(from, at - from));
        from = at + 1;
    }
    parts.push_back(text.substr(from));
    return parts;
}

void MakeStrip(const std::string& outDir, const std::vector<std::string>& spec) {
    if (spec.size() < 4) throw std::runtime_error("strip needs ID:WIDTH:HEIGHT");
    int width = std::stoi(spec[2]), height = std::stoi(spec[3]);
    if (height <= 0 || width % height != 0)
        throw std::runtime_error("strip " + spec[1] + " is no row of squares");
    std::vector<Picture> icons;
    if (spec.size() > 4) icons = ProgramIcons(spec[4]);
    if (!icons.empty() && icons.front().Side() != height)
        throw std::runtime_error("strip " + spec[1] + ": the program's pictures have another size");
    if (static_cast<int>(icons.size()) > width / height)
        throw std::runtime_error("strip " + spec[1] + ": the program carries more pictures");
    bool states = spec[0] == "states";
    for (int i = static_cast<int>(icons.size()); i < width / height; ++i)
        icons.push_back(states ? StateImage(height, i) : Pictogram(height, i));
    WriteStrip(outDir + "/strip" + spec[1] + ".bmp", icons);
}

} // namespace

int main(int argc, char** argv) {
    try {
        if (argc < 2) throw std::runtime_error("usage: MakeThemeArt OUTDIR SPEC...");
        std::string outDir = argv[1];
        for (int i = 2; i < argc; ++i) {
            std::vector<std::string> spec = Split(argv[i]);
            if (spec.size() == 2 && spec[0] == "icon")
                WriteIcon(outDir + "/icon" + spec[1] + ".ico", std::stoi(spec[1]));
            else if (!spec.empty() && (spec[0] == "strip" || spec[0] == "states"))
                MakeStrip(outDir, spec);
            else
                throw std::runtime_error(std::string("unknown picture ") + argv[i]);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "MakeThemeArt: %s\n", e.what());
        return 1;
    }
    return 0;
}
