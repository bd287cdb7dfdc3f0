// Data sources, format recognition and the decoder base's rules.
#include "imaging/ImgAnyDecoder.h"
#include "imaging/ImgMemBitmap.h"
#include "imaging/ImgTrace.h"

#include "tests/imaging/ImgTestCode.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

using imgtest::CodeOf;

namespace {

// Bytes on the heap of exactly their size, so a read past them is caught by the sanitizer.
std::unique_ptr<uint8_t[]> Exact(const std::vector<uint8_t>& bytes) {
    std::unique_ptr<uint8_t[]> copy(new uint8_t[bytes.size() ? bytes.size() : 1]);
    if (!bytes.empty()) std::memcpy(copy.get(), bytes.data(), bytes.size());
    return copy;
}

int32_t Detect(std::vector<uint8_t> bytes) {
    auto exact = Exact(bytes);
    return ImgAnyDecoder::DetectType(exact.get(), bytes.size());
}

std::vector<uint8_t> Bytes(const char* text, size_t size) {
    std::vector<uint8_t> b(size, 0);
    std::memcpy(b.data(), text, std::min(size, std::strlen(text)));
    return b;
}

// A 2x1 24-bit BMP: red, then blue.
std::vector<uint8_t> SmallBmp() {
    std::vector<uint8_t> b(14 + 40 + 8, 0);
    b[0] = 'B';
    b[1] = 'M';
    b[10] = 54;
    b[14] = 40;
    b[18] = 2;
    b[22] = 1;
    b[26] = 1;
    b[28] = 24;
    b[54 + 2] = 255;
    b[54 + 3] = 255;
    return b;
}

class Recorder : public ImgProgressNotification {
  public:
    void OnProgress(double fraction) override { calls.push_back(fraction); }
    std::vector<double> calls;
};

} // namespace

TEST(ImgDataSource, ReadsNeverPassTheEnd) {
    std::vector<uint8_t> data(10, 7);
    ImgMemSource source;
    ASSERT_EQ(source.Open(data.data(), data.size()), 0);
    EXPECT_STREQ(source.GetName(), "Mem");
    EXPECT_EQ(source.ReadNBytes(4), data.data());
    EXPECT_EQ(source.GetBufferPtr(512), data.data() + 4);
    EXPECT_EQ(source.GetBytesLeft(), 6);
    EXPECT_EQ(CodeOf([&] { source.ReadNBytes(7); }), kImgEndOfData);
    EXPECT_EQ(CodeOf([&] { source.ReadNBytes(-1); }), kImgEndOfData);
    EXPECT_EQ(source.GetBytesConsumed(), 4); // a refused read consumes nothing
    EXPECT_EQ(source.ReadNBytes(6), data.data() + 4);
    EXPECT_EQ(CodeOf([&] { source.ReadNBytes(1); }), kImgEndOfData);
    try {
        source.ReadNBytes(1);
    } catch (const ImgTextException& e) {
        EXPECT_STREQ(e.GetText(), "End of file reached while decoding.\n");
    }
}

TEST(ImgDataSource, ProgressAtEachKilobyteAndOneAtClose) {
    std::vector<uint8_t> data(4096, 0);
    ImgMemSource source;
    Recorder progress;
    source.SetProgressNotification(&progress);
    source.Open(data.data(), data.size());
    source.ReadNBytes(1000);
    EXPECT_TRUE(progress.calls.empty());
    source.ReadNBytes(100);  // crosses 1024
    source.ReadNBytes(2000); // crosses 2048 and 3072: one call
    source.ReadNBytes(0);
    ASSERT_EQ(progress.calls.size(), 2u);
    EXPECT_DOUBLE_EQ(progress.calls[0], 1100.0 / 4096);
    source.Close();
    EXPECT_DOUBLE_EQ(progress.calls.back(), 1.0);
    EXPECT_STREQ(source.GetName(), "");
}

TEST(ImgAnyDecoder, DetectionRulesInTheirOrder) {
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        int32_t type;
    };
    std::vector<uint8_t> tga(18, 0);
    tga[2] = 2;
    tga[16] = 24;
    std::vector<uint8_t> pict(541, 0);
    pict[522] = 0x00;
    pict[523] = 0x11;
    pict[524] = 0x02;
    pict[525] = 0xFF;
    std::vector<uint8_t> pictV1 = pict;
    pictV1[524] = 0x01;
    pictV1[525] = 0x77;
    std::vector<uint8_t> pictOther = pict;
    pictOther[522] = 0x11;
    pictOther[523] = 0x01;
    pictOther[524] = 0x01;
    pictOther[525] = 0x00;
    std::vector<uint8_t> shortPict(pict.begin(), pict.begin() + 540);
    std::vector<uint8_t> eps = Bytes("\xC5\xD0\xD3\xC6", 30);
    eps[20] = 30;
    eps[24] = 1;
    std::vector<uint8_t> epsNoTiff = eps;
    epsNoTiff[20] = 0;
    std::vector<uint8_t> epsBig = Bytes("\xC6\xD3\xD0\xC5", 30);
    epsBig[21] = 1;
    epsBig[26] = 1;
    Case cases[] = {
        {"BM", Bytes("BM", 2), kImgTypeBMP},
        {"BA", Bytes("BA", 2), kImgTypeBMP},
        {"IC", Bytes("IC", 2), kImgTypeBMP},
        {"CI", Bytes("CI", 2), kImgTypeBMP},
        {"CP", Bytes("CP", 2), kImgTypeBMP},
        {"B alone", Bytes("B", 1), kImgTypeUnknown},
        {"TGA", tga, kImgTypeTGA},
        {"TGA header cut", std::vector<uint8_t>(tga.begin(), tga.begin() + 16), kImgTypeUnknown},
        {"TIFF II", Bytes("II\x2A", 4), kImgTypeTIFF},
        {"GIF", Bytes("GIF89a", 6), kImgTypeGIF},
        {"PICT v2", pict, kImgTypePICT},
        {"PICT v1", pictV1, kImgTypePICT},
        {"PICT other", pictOther, kImgTypePICT},
        {"PICT of 540 bytes", shortPict, kImgTypeUnknown},
        {"JPEG", Bytes("\xFF\xD8\xFF", 3), kImgTypeJPEG},
        {"JPEG cut", Bytes("\xFF\xD8", 2), kImgTypeUnknown},
        {"PNG", Bytes("\x89PNG", 4), kImgTypePNG},
        {"EPS", eps, kImgTypeEPS},
        {"EPS other order", epsBig, kImgTypeEPS},
        {"EPS without TIFF", epsNoTiff, kImgTypeUnknown},
        {"EPS header cut", std::vector<uint8_t>(eps.begin(), eps.begin() + 27), kImgTypeUnknown},
        {"PCX", Bytes("\x0A\x05\x01", 3), kImgTypePCX},
        {"PCX wrong encoding", Bytes("\x0A\x05\x02", 3), kImgTypeUnknown},
        {"P2", Bytes("P2", 2), kImgTypePGM},
        {"P5", Bytes("P5", 2), kImgTypePGM},
        {"P3", Bytes("P3", 2), kImgTypePPM},
        {"P6", Bytes("P6", 2), kImgTypePPM},
        {"P4", Bytes("P4", 2), kImgTypeUnknown},
        {"PSD", Bytes("8BPS", 4), kImgTypePSD},
        {"empty", {}, kImgTypeUnknown},
        {"text", Bytes("Hallo", 5), kImgTypeUnknown},
    };
    for (auto& c : cases)
        EXPECT_EQ(Detect(c.bytes), c.type) << c.what;
    std::vector<uint8_t> mm = {'M', 'M', 0, 0x2A};
    EXPECT_EQ(Detect(mm), kImgTypeTIFF);
}

TEST(ImgAnyDecoder, MetafileNamesCountInTheFileNameOnly) {
    EXPECT_EQ(ImgAnyDecoder::TypeFromName("C:\\Bilder\\PHOTO.wmf"), kImgTypeWMF);
    EXPECT_EQ(ImgAnyDecoder::TypeFromName("A.EMF.BMP"), kImgTypeEMF);
    EXPECT_EQ(ImgAnyDecoder::TypeFromName("x.wmf.emf"), kImgTypeWMF);
    EXPECT_EQ(ImgAnyDecoder::TypeFromName("C:\\ALT.WMF\\bild.bmp"), kImgTypeUnknown);
    EXPECT_EQ(ImgAnyDecoder::TypeFromName("/tmp/x.emf/bild.bmp"), kImgTypeUnknown);
    EXPECT_EQ(ImgAnyDecoder::TypeFromName("Mem"), kImgTypeUnknown);
    EXPECT_EQ(ImgAnyDecoder::TypeFromName(nullptr), kImgTypeUnknown);
}

TEST(ImgAnyDecoder, UnknownMissingAndAbsentFormatsHaveTheirCodes) {
    ImgAnyDecoder decoder;
    ImgMemBitmap bitmap;
    auto text = Bytes("kein Bild", 9);
    auto exact = Exact(text);
    try {
        decoder.DecodeMemory(exact.get(), text.size(), &bitmap);
        ADD_FAILURE();
    } catch (const ImgTextException& e) {
        EXPECT_EQ(e.GetCode(), kImgUnknownType);
        EXPECT_STREQ(e.GetText(), "Unknown file type.");
    }
    EXPECT_EQ(decoder.GetDetectedType(), kImgTypeUnknown);

    // An EPS whose TIFF would start at or past its end.
    auto eps = Bytes("\xC5\xD0\xD3\xC6", 30);
    eps[20] = 30;
    eps[24] = 1;
    exact = Exact(eps);
    EXPECT_EQ(CodeOf([&] { decoder.DecodeMemory(exact.get(), eps.size(), &bitmap); }), kImgBadData);
    EXPECT_EQ(decoder.GetDetectedType(), kImgTypeEPS);
}

TEST(ImgAnyDecoder, RequestedDepthConvertsUpAndRefusesDown) {
    auto bmp = SmallBmp();
    ImgAnyDecoder decoder;
    ImgMemBitmap bitmap;
    decoder.DecodeMemory(bmp.data(), bmp.size(), &bitmap);
    EXPECT_EQ(decoder.GetDetectedType(), kImgTypeBMP);
    EXPECT_EQ(bitmap.GetBitsPerPixel(), 32);
    EXPECT_EQ(bitmap.GetLine(0)[2], 255);
    EXPECT_EQ(bitmap.GetLine(0)[4], 255);
    try {
        decoder.DecodeMemory(bmp.data(), bmp.size(), &bitmap, 8);
        ADD_FAILURE();
    } catch (const ImgTextException& e) {
        EXPECT_EQ(e.GetCode(), kImgNotSupported);
        EXPECT_STREQ(e.GetText(), "Image bit depth doesn't match request.");
    }
    // A 1-bit picture asked for at 32 bits comes back converted.
    auto mono = SmallBmp();
    mono[28] = 1;
    mono[10] = 62;
    mono.insert(mono.begin() + 54, {0, 0, 0, 0, 255, 255, 255, 0});
    mono.resize(62 + 4);
    mono[62] = 0x40; // pixel 1 white
    decoder.DecodeMemory(mono.data(), mono.size(), &bitmap, 32);
    EXPECT_EQ(bitmap.GetBitsPerPixel(), 32);
    EXPECT_EQ(bitmap.GetLine(0)[0], 0);
    EXPECT_EQ(bitmap.GetLine(0)[4], 255);
}

TEST(ImgAnyDecoder, OpenFailuresAndEmptyFilesHaveTheirCodes) {
#ifdef _WIN32
    GTEST_SKIP() << "the Windows codes are tested under Wine";
#else
    char folder[] = "/tmp/imgsourceXXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    std::string base = folder;
    ImgAnyDecoder decoder;
    ImgMemBitmap bitmap;
    auto failure = [&](const std::string& path) {
        try {
            decoder.DecodeFile(path.c_str(), &bitmap);
        } catch (const ImgTextException& e) {
            return std::to_string(e.GetCode()) + " " + e.GetText();
        }
        return std::string("ok");
    };
    EXPECT_EQ(failure(base + "/fehlt/a.bmp"), "3 Decoder error: Opening " + base + "/fehlt/a.bmp failed\n");
    EXPECT_EQ(failure(base + "/fehlt.bmp").substr(0, 2), "4 ");
    std::string empty = base + "/leer.bmp";
    std::fclose(std::fopen(empty.c_str(), "wb"));
    EXPECT_EQ(failure(empty).substr(0, 3), "11 ");
    std::string good = base + "/gut.bmp";
    auto bmp = SmallBmp();
    FILE* f = std::fopen(good.c_str(), "wb");
    std::fwrite(bmp.data(), 1, bmp.size(), f);
    std::fclose(f);
    EXPECT_EQ(failure(good), "ok");
    EXPECT_EQ(bitmap.GetWidth(), 2);
    // The name makes it a metafile whatever it holds; this tree reads none.
    std::string metafile = base + "/foto.Wmf";
    std::rename(good.c_str(), metafile.c_str());
    EXPECT_EQ(failure(metafile), "6 Library not compiled for this file type.");
    std::rename(metafile.c_str(), good.c_str());
    if (geteuid() != 0) {
        chmod(good.c_str(), 0);
        EXPECT_EQ(failure(good).substr(0, 2), "5 ");
    }
    unlink(good.c_str());
    unlink(empty.c_str());
    rmdir(folder);
#endif
}

TEST(ImgAnyDecoder, TraceLinesGoToTheFileUpToTheLevel) {
    char path[] = "/tmp/imgtraceXXXXXX";
#ifdef _WIN32
    std::string file = "imgtrace.txt";
    (void)path;
#else
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    std::string file = path;
#endif
    std::remove(file.c_str());
    g_strImgTracePath = file;
    g_nImgTraceLevel = 1;
    auto bmp = SmallBmp();
    ImgMemBitmap bitmap;
    ImgAnyDecoder().DecodeMemory(bmp.data(), bmp.size(), &bitmap);
    g_nImgTraceLevel = 2;
    bmp[14] = 20; // no header has that size
    EXPECT_EQ(CodeOf([&] { ImgAnyDecoder().DecodeMemory(bmp.data(), bmp.size(), &bitmap); }), kImgBadData);
    g_strImgTracePath.clear();
    g_nImgTraceLevel = 0;

    std::string text;
    if (FILE* f = std::fopen(file.c_str(), "r")) { // written in text mode
        char buffer[4096];
        text.assign(buffer, std::fread(buffer, 1, sizeof buffer, f));
        std::fclose(f);
    }
    std::remove(file.c_str());
    EXPECT_EQ(text.find("--- Decoding from memory at "), 0u) << text;
    EXPECT_EQ(text.find("Windows bitmap recognized.\n"), text.rfind("Windows bitmap recognized.\n"))
        << "level 2 only in the second decode";
    EXPECT_NE(text.find("Bitmap file signature found\n"), std::string::npos);
    EXPECT_NE(text.find("Decoder error: Bitmap header size 20 unknown.\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("Decoding finished.\n"), std::string::npos) << "the second decode never gets there";
}
