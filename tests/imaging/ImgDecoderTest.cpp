// Decoding files, memory and resources through the decoder callers use.
#include "imaging/ImgAnyDecoder.h"
#include "imaging/ImgWinBitmap.h"
#include "tests/harness/Harness.h"
#include "tests/imaging/BmpBytes.h"
#include "tests/imaging/Surface.h"

#include <gtest/gtest.h>

using imgtest::MakeBmp;
using imgtest::Surface;

namespace {

std::string AsText(const std::vector<uint8_t>& b) {
    return std::string(b.begin(), b.end());
}

int32_t CodeOf(const std::function<void()>& decode) {
    try {
        decode();
    } catch (const ImgTextException& e) {
        return e.GetCode();
    }
    return 0;
}

} // namespace

TEST(ImgAnyDecoder, BmpOfEveryDepthAndLineOrderDrawsTopLeftFirst) {
    struct Case {
        int bpp;
        bool topDown;
    } cases[] = {{24, false}, {24, true}, {8, false}, {8, true}};
    for (const auto& c : cases) {
        auto bytes = MakeBmp(
            6, 4, c.bpp, [](int x, int y) { return imgtest::Quarters(x, y, 6, 4); }, c.topDown);
        ImgWinBitmap bitmap;
        ImgAnyDecoder().DecodeMemory(bytes.data(), bytes.size(), &bitmap);
        EXPECT_EQ(bitmap.GetWidth(), 6);
        EXPECT_EQ(bitmap.GetHeight(), 4);
        Surface s(6, 4);
        bitmap.Draw(s.dc(), 0, 0, SRCCOPY);
        EXPECT_EQ(s.At(0, 0), 0xFF0000u) << c.bpp << (c.topDown ? " top-down" : "");
        EXPECT_EQ(s.At(5, 0), 0x00FF00u) << c.bpp << (c.topDown ? " top-down" : "");
        EXPECT_EQ(s.At(5, 3), 0xFFFF00u) << c.bpp << (c.topDown ? " top-down" : "");
    }
}

TEST(ImgAnyDecoder, FilesAndResourcesFailWithTheirCodes) {
    std::string folder = harness::FreshFolder("ImgAnyDecoder");
    auto good = MakeBmp(3, 2, 24, [](int, int) { return 0x123456u; });
    harness::WriteTextFile(folder + "gut.bmp", AsText(good));
    harness::WriteTextFile(folder + "text.bmp", "Hallo Welt, kein Bild");
    auto cut = good;
    cut.resize(cut.size() - 4);
    harness::WriteTextFile(folder + "kurz.bmp", AsText(cut));

    ImgWinBitmap bitmap;
    ImgAnyDecoder decoder;
    decoder.DecodeFile((folder + "gut.bmp").c_str(), &bitmap);
    EXPECT_EQ(bitmap.GetWidth(), 3);

    EXPECT_EQ(CodeOf([&] { decoder.DecodeFile((folder + "fehlt\\a.bmp").c_str(), &bitmap); }),
              kImgPathNotFound);
    EXPECT_EQ(CodeOf([&] { decoder.DecodeFile((folder + "fehlt.bmp").c_str(), &bitmap); }), kImgCannotOpen);
    EXPECT_EQ(CodeOf([&] { decoder.DecodeFile((folder + "kurz.bmp").c_str(), &bitmap); }), kImgEndOfData);
    EXPECT_EQ(
        CodeOf([&] { decoder.DecodeResource(GetModuleHandleA(nullptr), 4711, &bitmap, 0, "DIALOGBACK"); }),
        kImgCannotOpen);
    EXPECT_EQ(CodeOf([&] { decoder.DecodeFile((folder + "text.bmp").c_str(), &bitmap); }), kImgUnknownType);
}
