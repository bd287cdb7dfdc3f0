#include "cards/KvkRecords.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vorlan;

namespace {

using Bytes = std::vector<uint8_t>;

void Append(Bytes& b, uint8_t tag, const std::string& value) {
    b.push_back(tag);
    b.push_back(static_cast<uint8_t>(value.size()));
    b.insert(b.end(), value.begin(), value.end());
}

Bytes WithStatus(Bytes b, uint8_t sw1 = 0x90, uint8_t sw2 = 0x00) {
    b.push_back(sw1);
    b.push_back(sw2);
    return b;
}

std::vector<std::pair<int, std::string>> Walk(const Bytes& answer) {
    std::vector<std::pair<int, std::string>> out;
    for (const KvkField& f : WalkKvk(answer.data(), answer.size()))
        out.emplace_back(f.number, f.text);
    return out;
}

} // namespace

TEST(KvkRecords, EveryKnownTagHasItsFieldAndOthersNone) {
    const std::pair<uint8_t, int> known[] = {{0x80, 1},  {0x81, 2},  {0x8F, 3},  {0x82, 4},  {0x83, 5},
                                             {0x90, 6},  {0x84, 7},  {0x85, 8},  {0x86, 9},  {0x87, 10},
                                             {0x88, 11}, {0x89, 12}, {0x8A, 13}, {0x8B, 14}, {0x8C, 15},
                                             {0x8D, 16}, {0x91, 17}, {0x92, 18}};
    std::vector<int> seen(19, 0);
    for (const auto& [tag, field] : known) {
        EXPECT_EQ(KvkFieldNumber(tag), field) << std::hex << int(tag);
        ++seen[static_cast<size_t>(field)];
    }
    for (int n = 1; n <= 18; ++n)
        EXPECT_EQ(seen[static_cast<size_t>(n)], 1) << "field " << n << " has one tag";
    for (int tag : {0x00, 0x7F, 0x8E, 0x93, 0xFF})
        EXPECT_EQ(KvkFieldNumber(static_cast<uint8_t>(tag)), 0) << std::hex << tag;
}

TEST(KvkRecords, GermanSevenBitSetBecomesCodePage1252) {
    EXPECT_EQ(FromDin66003("[\\]{|}~"), "\xC4\xD6\xDC\xE4\xF6\xFC\xDF");
    EXPECT_EQ(FromDin66003("M{ller-L}denscheid, Stra~e 7"), "M\xE4ller-L\xFC"
                                                            "denscheid, Stra\xDF"
                                                            "e 7");
    EXPECT_EQ(FromDin66003(std::string("a\0\"\xC4", 4)), std::string("a\0\"\xC4", 4)) << "others as they are";
}

TEST(KvkRecords, WalkStartsAtTheFirstRecordAndSkipsChecksumAndUnknownTags) {
    Bytes card = {0x82, 0x13, 0x00, 0x45}; // header bytes, one of them a tag value
    Append(card, 0x80, "AOK [ssen");
    Append(card, 0x8E, "\x12"); // checksum
    Append(card, 0x87, "Gr~n");
    Append(card, 0xA5, "unbekannt"); // unknown
    Append(card, 0x88, "01011970");
    EXPECT_EQ(Walk(WithStatus(card)), (std::vector<std::pair<int, std::string>>{
                                          {1, "AOK \xC4ssen"}, {10, "Gr\xDFn"}, {11, "01011970"}}));
}

TEST(KvkRecords, ATagTwiceComesTwiceAndMissingTagsStayAway) {
    Bytes card;
    Append(card, 0x80, "BKK");
    Append(card, 0x85, "Anna");
    Append(card, 0x85, "Berta");
    Append(card, 0x8D, "1299");
    auto fields = Walk(WithStatus(card, 0x62, 0x82));
    ASSERT_EQ(fields.size(), 4u);
    EXPECT_EQ(fields[1], std::make_pair(8, std::string("Anna")));
    EXPECT_EQ(fields[2], std::make_pair(8, std::string("Berta")));
    for (const auto& f : fields)
        EXPECT_LT(f.first, 17) << "no records 91 and 92 on the card";
}

TEST(KvkRecords, RecordRunningPastTheDataEndsTheWalk) {
    struct {
        const char* what;
        Bytes answer;
        size_t fields;
    } cases[] = {
        // The length would reach into the status word: that is no card data.
        {"into the status word", WithStatus({0x80, 0x05, 'A', 'O', 'K'}), 0},
        {"after a good record", WithStatus({0x80, 0x01, 'A', 0x81, 0xFF, 'x'}), 1},
        {"a tag without its length", WithStatus({0x80, 0x01, 'A', 0x81}), 1},
        {"an empty value", WithStatus({0x80, 0x00, 0x81, 0x01, '7'}), 2},
        {"no record start", WithStatus({0x01, 0x02, 0x03}), 0},
        {"only the status word", {0x90, 0x00}, 0},
        {"a failed command", {0x80}, 0},
        {"nothing", {}, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WalkKvk(c.answer.data(), c.answer.size()).size(), c.fields) << c.what;
}
