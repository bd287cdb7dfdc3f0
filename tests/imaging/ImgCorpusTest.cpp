// The picture libraries' own test files, broken ones included: every file decodes or fails
// with the layer's exception, through the recognising decoder and through each library decoder
// on its own. In the host tree this runs under the sanitizers.
#include "imaging/ImgAnyDecoder.h"
#include "imaging/ImgGIFDecoder.h"
#include "imaging/ImgJPEGDecoder.h"
#include "imaging/ImgMemBitmap.h"
#include "imaging/ImgPNGDecoder.h"
#include "imaging/ImgTIFFDecoder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::vector<std::string> Corpora() {
    std::vector<std::string> folders;
    std::stringstream list(VORLAN_IMAGE_CORPORA);
    for (std::string folder; std::getline(list, folder, '|');)
        if (!folder.empty()) folders.push_back(folder);
    return folders;
}

std::string Prefixed(const std::string& path) {
#ifdef _WIN32
    return "Z:" + path; // Unix paths through Wine's drive of the root
#else
    return path;
#endif
}

std::vector<uint8_t> ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct Outcome {
    bool decoded = false;
    int32_t code = 0;
    int32_t width = 0, height = 0, bpp = 0;
};

// Anything but a picture or ImgTextException ends the test program, which is the point.
Outcome Decode(ImgPictureDecoder& decoder, const std::vector<uint8_t>& bytes) {
    Outcome outcome;
    // Exactly the file's bytes on the heap: a read past them is caught.
    std::unique_ptr<uint8_t[]> exact(new uint8_t[bytes.size() ? bytes.size() : 1]);
    std::copy(bytes.begin(), bytes.end(), exact.get());
    ImgMemBitmap bitmap;
    try {
        decoder.DecodeMemory(exact.get(), bytes.size(), &bitmap);
        outcome.decoded = true;
        outcome.width = bitmap.GetWidth();
        outcome.height = bitmap.GetHeight();
        outcome.bpp = bitmap.GetBitsPerPixel();
        // Every line is there and readable to its end.
        unsigned sum = 0;
        for (int32_t y = 0; y < bitmap.GetHeight(); ++y) sum += bitmap.GetLine(y)[bitmap.GetBytesPerLine() - 1];
        (void)sum;
    } catch (const ImgTextException& e) {
        outcome.code = e.GetCode();
        EXPECT_NE(e.GetText(), nullptr);
    }
    return outcome;
}

Outcome DecodeFile(const std::string& relative) {
    for (const std::string& folder : Corpora()) {
        fs::path path = fs::path(Prefixed(folder)) / relative;
        if (fs::exists(path)) {
            ImgAnyDecoder decoder;
            return Decode(decoder, ReadAll(path));
        }
    }
    ADD_FAILURE() << "no corpus file " << relative;
    return {};
}

TEST(ImgCorpus, EveryFileDecodesOrFailsWithTheLayersException) {
    ImgAnyDecoder any;
    ImgJPEGDecoder jpeg;
    ImgPNGDecoder png;
    ImgTIFFDecoder tiff;
    ImgGIFDecoder gif;
    ImgPictureDecoder* decoders[] = {&any, &jpeg, &png, &tiff, &gif};
    for (const std::string& folder : Corpora()) {
        fs::path root(Prefixed(folder));
        ASSERT_TRUE(fs::is_directory(root)) << folder << ": run scripts/setup";
        int files = 0, decoded = 0;
        for (const auto& entry : fs::recursive_directory_iterator(root)) {
            if (!entry.is_regular_file()) continue;
            ++files;
            std::vector<uint8_t> bytes = ReadAll(entry.path());
            SCOPED_TRACE(entry.path().string());
            for (ImgPictureDecoder* decoder : decoders) {
                Outcome outcome = Decode(*decoder, bytes);
                if (decoder == &any && outcome.decoded) ++decoded;
            }
        }
        EXPECT_GT(files, 0) << folder;
        EXPECT_GT(decoded, 0) << folder;
    }
}

// A few files whose outcome the libraries' own notes fix.
TEST(ImgCorpus, KnownFiles) {
    Outcome o = DecodeFile("basn0g16.png"); // 16-bit gray, stripped to 8
    EXPECT_TRUE(o.decoded);
    EXPECT_EQ(o.bpp, 8);
    o = DecodeFile("basn2c16.png");
    EXPECT_TRUE(o.decoded);
    EXPECT_EQ(o.bpp, 32);
    o = DecodeFile("ibasn3p08.png"); // interlaced palette
    EXPECT_TRUE(o.decoded);
    EXPECT_EQ(o.width, 32);
    EXPECT_EQ(o.bpp, 8);
    EXPECT_EQ(DecodeFile("crashers/badcrc.png").code, kImgBadData);
    EXPECT_FALSE(DecodeFile("crashers/huge_IDAT.png").decoded);

    o = DecodeFile("testorig.jpg");
    EXPECT_TRUE(o.decoded);
    EXPECT_EQ(o.width, 227);
    EXPECT_EQ(o.height, 149);
    EXPECT_TRUE(DecodeFile("testimgari.jpg").decoded); // arithmetic coding
    EXPECT_EQ(DecodeFile("testorig12.jpg").code, kImgNotSupported); // 12 bits a sample

    o = DecodeFile("palette-1c-4b.tiff");
    EXPECT_TRUE(o.decoded);
    EXPECT_EQ(o.bpp, 8);
    EXPECT_EQ(DecodeFile("miniswhite-1c-1b.tiff").bpp, 1);
    EXPECT_EQ(DecodeFile("minisblack-2c-8b-alpha.tiff").bpp, 32); // planes apart: libtiff joins them
    EXPECT_EQ(DecodeFile("rgb-3c-16b.tiff").bpp, 32);

    o = DecodeFile("treescap-interlaced.gif");
    EXPECT_TRUE(o.decoded);
    EXPECT_EQ(o.bpp, 8);
}

} // namespace
