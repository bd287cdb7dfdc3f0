// Pictures whose headers promise far more than their few bytes hold (fuzz/seeds/pictures, made
// by scripts/make-short-pictures.py): each decode ends as its data allows, and its peak memory,
// measured in a child process of its own, stays far below the promised picture.
#include "imaging/ImgAnyDecoder.h"
#include "imaging/ImgMemBitmap.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Outcome {
    int32_t type = -1;
    int32_t code = -1;
    int32_t width = 0;
    int32_t height = 0;
    long growthKb = -1; // -1: the peak could not be measured
};

// A process's peak resident size in kB, from its status.
long PeakKb() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmHWM:") {
            long kb = -1;
            status >> kb;
            return kb;
        }
        status.ignore(1 << 12, '\n');
    }
    return -1;
}

// The decode runs in a child whose peak is reset to its resident size first, so neither the
// test process's earlier peaks nor the memory of other decodes count.
Outcome DecodeInChild(const std::string& path) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) return {};
    pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        Outcome o;
        std::ofstream reset("/proc/self/clear_refs");
        reset << "5" << std::flush;
        const long before = reset ? PeakKb() : -1;
        ImgAnyDecoder decoder;
        ImgMemBitmap bitmap;
        try {
            decoder.DecodeFile(path.c_str(), &bitmap);
            o.code = 0;
            o.width = bitmap.GetWidth();
            o.height = bitmap.GetHeight();
        } catch (const ImgTextException& e) {
            o.code = e.GetCode();
        }
        o.type = decoder.GetDetectedType();
        const long after = PeakKb();
        o.growthKb = before < 0 || after < 0 ? -1 : after - before;
        ssize_t written = ::write(pipeEnds[1], &o, sizeof o);
        ::_exit(written == sizeof o ? 0 : 1);
    }
    ::close(pipeEnds[1]);
    Outcome o;
    if (child < 0 || ::read(pipeEnds[0], &o, sizeof o) != sizeof o) o = Outcome{};
    ::close(pipeEnds[0]);
    if (child > 0) ::waitpid(child, nullptr, 0);
    return o;
}

} // namespace

TEST(ImgShortPictures, EndWithTheirDataWithoutAllocatingThePromisedPicture) {
    constexpr long kLimitKb = 64 * 1024;
    struct Case {
        const char* file;
        int32_t type;
        int32_t code;
        int32_t height; // of a picture that decodes
    } cases[] = {
        {"pcx-no-data.pcx", kImgTypePCX, kImgEndOfData, 0},
        {"pcx-one-line.pcx", kImgTypePCX, 0, 1}, // a truncated PCX keeps the lines its data reaches
        {"psd-no-rows.psd", kImgTypePSD, kImgEndOfData, 0},
        {"psd-short-rows.psd", kImgTypePSD, kImgEndOfData, 0},
        {"tga-rle-true.tga", kImgTypeTGA, kImgEndOfData, 0},
        {"tga-rle-gray.tga", kImgTypeTGA, kImgEndOfData, 0},
        {"bmp-rle8-one-line.bmp", kImgTypeBMP, kImgEndOfData, 0},
        {"bmp-rle4-one-line.bmp", kImgTypeBMP, kImgEndOfData, 0},
        {"pict-direct-no-rows.pict", kImgTypePICT, kImgEndOfData, 0},
        {"ppm-ascii.ppm", kImgTypePPM, kImgEndOfData, 0},
        {"pgm-ascii.pgm", kImgTypePGM, kImgEndOfData, 0},
        {"png-ztxt.png", kImgTypePNG, kImgBadData, 0}, // the text is skipped up to the end of the file
        {"png-short-idat.png", kImgTypePNG, kImgEndOfData, 0},
        {"gif-screen-only.gif", kImgTypeGIF, kImgEndOfData, 0},
        {"tiff-gray-one-byte.tif", kImgTypeTIFF, kImgEndOfData, 0},
        {"tiff-rgb-deflate.tif", kImgTypeTIFF, kImgEndOfData, 0},
        {"jpeg-no-scan.jpg", kImgTypeJPEG, kImgEndOfData, 0},
    };
    for (const Case& c : cases) {
        Outcome o = DecodeInChild(std::string(VORLAN_SHORT_PICTURES) + "/" + c.file);
        ASSERT_GE(o.growthKb, 0) << c.file << ": no peak measured";
        EXPECT_LT(o.growthKb, kLimitKb) << c.file;
        EXPECT_EQ(o.type, c.type) << c.file;
        EXPECT_EQ(o.code, c.code) << c.file;
        if (c.code == 0) {
            EXPECT_EQ(o.height, c.height) << c.file;
        }
    }
}
