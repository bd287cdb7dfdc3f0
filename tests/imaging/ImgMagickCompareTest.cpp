// Photoshop and PICT pictures written by ImageMagick at test time, decoded here and compared
// pixel by pixel with ImageMagick's own reading of the same file.
#include "imaging/ImgAnyDecoder.h"
#include "imaging/ImgMemBitmap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

bool Shell(const std::string& command) {
    return std::system((command + " 2>/dev/null").c_str()) == 0;
}

std::vector<uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

class MagickCompare : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!Shell("command -v convert >/dev/null")) GTEST_SKIP() << "ImageMagick is not installed";
        char pattern[] = "/tmp/imgmagickXXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_dir = std::string(pattern) + "/";
    }
    void TearDown() override {
        if (!m_dir.empty()) Shell("rm -rf " + m_dir);
    }

    // Writes the picture with ImageMagick, decodes it and compares every pixel (red, green,
    // blue and, where the decode has it, alpha) with ImageMagick's reading.
    void Compare(const std::string& name, const std::string& make, int expectedBpp, bool alpha) {
        SCOPED_TRACE(name);
        const std::string path = m_dir + name;
        // Eight bits a sample, so that a file's 16-bit colours are exact in their high byte.
        ASSERT_TRUE(Shell("convert " + make + " -depth 8 " + path));
        // The first frame is the merged picture; Photoshop files hold their layers after it.
        ASSERT_TRUE(Shell("convert '" + path + "[0]' -depth 8 RGBA:" + path + ".rgba"));
        std::vector<uint8_t> expected = ReadAll(path + ".rgba");

        ImgMemBitmap bitmap;
        ImgAnyDecoder decoder;
        try {
            decoder.DecodeFile(path.c_str(), &bitmap);
        } catch (const ImgTextException& e) {
            FAIL() << "code " << e.GetCode() << ": " << e.GetText();
        }
        EXPECT_EQ(bitmap.GetBitsPerPixel(), expectedBpp);
        EXPECT_EQ(bitmap.HasAlpha(), alpha);
        const int width = bitmap.GetWidth(), height = bitmap.GetHeight();
        ASSERT_EQ(expected.size(), size_t(width) * height * 4);
        int differing = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const uint8_t* want = &expected[(size_t(y) * width + x) * 4];
                uint8_t got[4];
                if (bitmap.GetBitsPerPixel() == 8) {
                    const ImgColor& c = bitmap.GetPalette()[bitmap.GetLine(y)[x]];
                    got[0] = c.red, got[1] = c.green, got[2] = c.blue, got[3] = 255;
                } else {
                    const uint8_t* p = bitmap.GetLine(y) + 4 * x;
                    got[0] = p[2], got[1] = p[1], got[2] = p[0], got[3] = alpha ? p[3] : 255;
                }
                bool same = got[0] == want[0] && got[1] == want[1] && got[2] == want[2] && got[3] == want[3];
                if (!same && differing++ < 3)
                    ADD_FAILURE() << "pixel " << x << "," << y << ": " << int(got[0]) << " " << int(got[1])
                                  << " " << int(got[2]) << " " << int(got[3]) << " wanted " << int(want[0])
                                  << " " << int(want[1]) << " " << int(want[2]) << " " << int(want[3]);
            }
        EXPECT_EQ(differing, 0);
    }

    std::string m_dir;
};

const char* const kPlasma = "-size 23x9 -seed 5 plasma:fractal";

} // namespace

// The decoder reads RLE only; ImageMagick packs when asked to.
TEST_F(MagickCompare, PhotoshopRgbGrayAndNarrow) {
    Compare("rgb.psd", std::string(kPlasma) + " -compress RLE", 32, false);
    Compare("gray.psd", std::string(kPlasma) + " -colorspace gray -compress RLE", 8, false);
    Compare("narrow.psd", "-size 5x4 -seed 2 plasma:fractal -compress RLE", 32, false);
    Compare("narrowgray.psd", "-size 3x4 -seed 2 plasma:fractal -colorspace gray -compress RLE", 8, false);
}

TEST_F(MagickCompare, PictDirectAndPalette) {
    Compare("direct.pict", kPlasma, 32, false);
    Compare("wide.pict", "-size 300x3 -seed 9 plasma:fractal", 32, false); // two-byte row lengths
    Compare("palette.pict", std::string(kPlasma) + " -type palette -colors 40", 8, false);
}

// QuickTime JPEG inside a PICT gives the same picture as the JPEG data decoded on its own.
TEST_F(MagickCompare, PictWithJpegGivesTheJpegPicture) {
    const std::string path = m_dir + "jpeg.pict";
    ASSERT_TRUE(Shell(std::string("convert ") + kPlasma + " -depth 8 -compress JPEG " + path));
    std::vector<uint8_t> bytes = ReadAll(path);
    static const uint8_t kStart[3] = {0xFF, 0xD8, 0xFF};
    auto jpeg = std::search(bytes.begin() + 512, bytes.end(), kStart, kStart + 3);
    ASSERT_NE(jpeg, bytes.end());

    ImgMemBitmap direct, embedded;
    ImgAnyDecoder decoder;
    try {
        decoder.DecodeMemory(&*jpeg, static_cast<size_t>(bytes.end() - jpeg), &direct);
    } catch (const ImgTextException& e) {
        if (e.GetCode() == kImgNotSupported) GTEST_SKIP() << "no JPEG decoder in this build";
        FAIL() << e.GetText();
    }
    decoder.DecodeFile(path.c_str(), &embedded);
    EXPECT_EQ(decoder.GetDetectedType(), kImgTypePICT);
    ASSERT_EQ(embedded.GetWidth(), direct.GetWidth());
    ASSERT_EQ(embedded.GetHeight(), direct.GetHeight());
    ASSERT_EQ(embedded.GetBitsPerPixel(), direct.GetBitsPerPixel());
    for (int y = 0; y < direct.GetHeight(); ++y)
        ASSERT_EQ(0, std::memcmp(embedded.GetLine(y), direct.GetLine(y), direct.GetBytesPerLine())) << y;
}
