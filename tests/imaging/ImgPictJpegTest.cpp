// A PICT holding QuickTime JPEG data, written by ImageMagick at test time: the picture is the
// JPEG's.
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

class PictJpeg : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* convert = std::getenv("IMAGEMAGICK_CONVERT");
        m_convert = convert ? convert : "/usr/bin/convert";
        char pattern[] = "/tmp/imgmagickXXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_dir = std::string(pattern) + "/";
    }
    void TearDown() override {
        if (!m_dir.empty()) Shell("rm -rf " + m_dir);
    }

    std::string m_dir;
    std::string m_convert;
};

} // namespace

// QuickTime JPEG inside a PICT gives the same picture as the JPEG data decoded on its own.
TEST_F(PictJpeg, PictWithJpegGivesTheJpegPicture) {
    const std::string path = m_dir + "jpeg.pict";
    ASSERT_TRUE(Shell(m_convert + " -size 23x9 -seed 5 plasma:fractal -compress JPEG PICT:" + path));
    std::vector<uint8_t> bytes = ReadAll(path);
    static const uint8_t kStart[3] = {0xFF, 0xD8, 0xFF};
    auto jpeg = std::search(bytes.begin() + 512, bytes.end(), kStart, kStart + 3);
    ASSERT_NE(jpeg, bytes.end());

    ImgMemBitmap direct, embedded;
    ImgAnyDecoder decoder;
    decoder.DecodeMemory(&*jpeg, static_cast<size_t>(bytes.end() - jpeg), &direct);
    decoder.DecodeFile(path.c_str(), &embedded);
    EXPECT_EQ(decoder.GetDetectedType(), kImgTypePICT);
    ASSERT_EQ(embedded.GetWidth(), direct.GetWidth());
    ASSERT_EQ(embedded.GetHeight(), direct.GetHeight());
    ASSERT_EQ(embedded.GetBitsPerPixel(), direct.GetBitsPerPixel());
    for (int y = 0; y < direct.GetHeight(); ++y)
        ASSERT_EQ(0, std::memcmp(embedded.GetLine(y), direct.GetLine(y), direct.GetBytesPerLine())) << y;
}
