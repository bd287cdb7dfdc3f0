// The run-length unpacking shared by the Photoshop and PICT decoders.
#include "imaging/ImgPackBits.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<uint8_t> Unpack(const std::vector<uint8_t>& packed, size_t rowBytes, size_t unit = 1) {
    std::vector<uint8_t> row(rowBytes + 4, 0xEE); // guard bytes after the row
    size_t written = img::UnpackBits(packed.data(), packed.size(), row.data(), rowBytes, unit);
    for (size_t i = rowBytes; i < row.size(); ++i)
        EXPECT_EQ(row[i], 0xEE) << "written past the row";
    row.resize(written);
    return row;
}

} // namespace

TEST(ImgPackBits, LiteralsRunsAndNoOps) {
    using V = std::vector<uint8_t>;
    struct Case {
        V packed;
        size_t rowBytes;
        V expected;
    } cases[] = {
        {{2, 1, 2, 3}, 3, {1, 2, 3}},                   // literal of h + 1
        {{0xFE, 7}, 3, {7, 7, 7}},                      // run of 257 - h
        {{0x80, 0, 9, 0xFE, 4}, 4, {9, 4, 4, 4}},       // 128 is nothing
        {{0x80, 1, 5, 6, 0xFF, 8}, 4, {5, 6, 8, 8}},    // mixed
        {{0x81, 3}, 5, {3, 3, 3, 3, 3}},                // a run longer than the row is cut
        {{5, 1, 2, 3}, 10, {1, 2, 3}},                  // a literal cut by the packed length
        {{0xFD}, 4, {}},                                // a run without its byte
        {{1, 1, 2, 0xFF, 3, 0xFF, 4}, 4, {1, 2, 3, 3}}, // what follows a full row is ignored
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Unpack(c.packed, c.rowBytes), c.expected);
    }
}

TEST(ImgPackBits, TwoByteUnitsRepeatPairs) {
    std::vector<uint8_t> got = Unpack({0xFE, 0x12, 0x34, 0x00, 0xAB, 0xCD}, 8, 2);
    EXPECT_EQ(got, (std::vector<uint8_t>{0x12, 0x34, 0x12, 0x34, 0x12, 0x34, 0xAB, 0xCD}));
    // A run of units cut inside a unit stops at the row end, not after it.
    EXPECT_EQ(Unpack({0xFD, 1, 2}, 5, 2), (std::vector<uint8_t>{1, 2, 1, 2, 1}));
}
