// The checks that stand between a picture file and GDI.
#include "imaging/ImgDib.h"
#include "imaging/ImgObject.h"
#include "tests/imaging/BmpBytes.h"

#include <gtest/gtest.h>

#include <string>

using imgtest::MakeBmp;
using imgtest::Put16;
using imgtest::Put32;

namespace {

std::vector<uint8_t> Plain(int width = 3, int height = 2, int bpp = 24) {
    return MakeBmp(width, height, bpp, [](int x, int y) { return static_cast<uint32_t>(x * 40 + y); });
}

} // namespace

TEST(ImgDib, ReadsWhereHeaderTableAndPixelsLie) {
    auto rgb = Plain();
    img::BmpLayout l = img::ReadBmpLayout(rgb.data(), rgb.size());
    EXPECT_EQ(l.infoOffset, 14u);
    EXPECT_EQ(l.infoSize, 40u);
    EXPECT_EQ(l.bitsOffset, 54u);
    EXPECT_EQ(l.bitsSize, 2 * 12u);
    EXPECT_EQ(l.width, 3);
    EXPECT_EQ(l.height, 2);

    auto indexed = MakeBmp(5, 4, 8, [](int x, int) { return static_cast<uint32_t>(x * 40); }); // five colours
    l = img::ReadBmpLayout(indexed.data(), indexed.size());
    EXPECT_EQ(l.infoSize, 40u + 5 * 4);
    EXPECT_EQ(l.bitsOffset, 14u + 60);
    EXPECT_EQ(l.bitsSize, 4 * 8u);

    auto topDown = MakeBmp(
        2, 3, 24, [](int, int) { return 0u; }, true);
    EXPECT_EQ(img::ReadBmpLayout(topDown.data(), topDown.size()).height, -3);

    auto noOffset = Plain();
    Put32(noOffset, 10, 0); // some writers leave it out
    EXPECT_EQ(img::ReadBmpLayout(noOffset.data(), noOffset.size()).bitsOffset, 54u);

    auto rle = Plain(4, 2, 8);
    Put32(rle, 30, 1);
    Put32(rle, 34, 6);
    EXPECT_EQ(img::ReadBmpLayout(rle.data(), rle.size()).bitsSize, 6u) << "GDI unpacks no further";
}

TEST(ImgDib, FilesThatGdiWouldMisreadOrReadPastAreRefused) {
    struct Case {
        const char* what;
        std::function<void(std::vector<uint8_t>&)> spoil;
        int32_t code;
    } cases[] = {
        {"no BMP signature", [](auto& b) { b[0] = 'G'; }, kImgWrongFormat},
        {"shorter than the headers", [](auto& b) { b.resize(20); }, kImgEndOfData},
        {"info header cut off", [](auto& b) { b.resize(40); }, kImgEndOfData},
        {"unknown header length", [](auto& b) { Put32(b, 14, 64); }, kImgBadData},
        {"two planes", [](auto& b) { Put16(b, 26, 2); }, kImgBadData},
        {"seven bits per pixel", [](auto& b) { Put16(b, 28, 7); }, kImgBadData},
        {"JPEG inside", [](auto& b) { Put32(b, 30, 4); }, kImgNotSupported},
        {"RLE4 at 8 bits", [](auto& b) { Put32(b, 30, 2); }, kImgBadData},
        {"no width", [](auto& b) { Put32(b, 18, 0); }, kImgBadData},
        {"negative width", [](auto& b) { Put32(b, 18, 0xFFFFFFFF); }, kImgBadData},
        {"no lines", [](auto& b) { Put32(b, 22, 0); }, kImgBadData},
        {"far too large",
         [](auto& b) {
             Put32(b, 18, 100000);
             Put32(b, 22, 100000);
         },
         kImgOutOfMemory},
        {"colour table beyond the file", [](auto& b) { Put32(b, 46, 200); }, kImgEndOfData},
        {"pixels before the colour table", [](auto& b) { Put32(b, 10, 20); }, kImgBadData},
        {"pixels beyond the file", [](auto& b) { Put32(b, 10, 5000); }, kImgBadData},
        {"last pixel byte missing", [](auto& b) { b.pop_back(); }, kImgEndOfData},
        {"more colours than 8 bits index", [](auto& b) { Put32(b, 46, 300); }, kImgBadData},
        {"compressed without its length",
         [](auto& b) {
             Put32(b, 30, 1);
             Put32(b, 34, 0);
         },
         kImgEndOfData},
    };
    for (const auto& c : cases) {
        auto bytes = Plain(4, 2, 8);
        c.spoil(bytes);
        try {
            img::ReadBmpLayout(bytes.data(), bytes.size());
            ADD_FAILURE() << c.what << ": accepted";
        } catch (const ImgTextException& e) {
            EXPECT_EQ(e.GetCode(), c.code) << c.what << ": " << e.GetText();
            EXPECT_GT(std::string(e.GetText()).size(), 10u) << c.what;
        }
    }
}
