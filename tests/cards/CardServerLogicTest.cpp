#include "cards/CardServerLogic.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace vorlan;

TEST(CardServerLogic, StatusWordsInAnyCase) {
    struct {
        const char* word;
        int status;
    } cases[] = {
        {"wait", 110},   {"WAIT", 110},    {"Detect", 120}, {"invalid", 130}, {"INVALID", 130},
        {"valid", 140},  {"active", 150},  {"LOCKED", 160}, {"init", 100},    {"", 100},
        {"valid ", 100}, {"waiting", 100}, {"lock", 100},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CardStatusNumber(c.word), c.status) << '"' << c.word << '"';
    EXPECT_TRUE(IsInitReply("INIT"));
    EXPECT_TRUE(IsInitReply("Init"));
    EXPECT_FALSE(IsInitReply("initialised"));
    EXPECT_FALSE(IsInitReply(""));
}

TEST(CardServerLogic, RepliesAreAlwaysTerminatedInsideTheirBuffer) {
    char full[8];
    std::memset(full, 'x', sizeof full); // the library filled it without an end
    struct {
        const char* what;
        const char* buffer;
        size_t size, length;
        std::string reply;
    } cases[] = {
        {"a filled buffer loses its last byte", full, sizeof full, sizeof full, std::string(7, 'x')},
        {"a length beyond the buffer", full, sizeof full, 1000, std::string(7, 'x')},
        {"up to the first NUL", "KVK\0xyz", 8, 8, "KVK"},
        {"not past the claimed length", "KVK2", 8, 3, "KVK"},
        {"no bytes", "", 1, 0, ""},
        {"no buffer", nullptr, 0, 5, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CardServerReply(c.buffer, c.size, c.length), c.reply) << c.what;
}

TEST(CardServerLogic, OnlyTheMemoryCardApplicationIsRead) {
    EXPECT_TRUE(IsKvkApplication("KVK"));
    for (const char* other : {"KVK2", "kvk", "KV", "", "EGK"})
        EXPECT_FALSE(IsKvkApplication(other)) << other;
}

TEST(CardServerLogic, FieldsAreReadByTheirNames) {
    EXPECT_EQ(KvkFieldCommand(1), "Apps,KVK,Krankenkasse,");
    EXPECT_EQ(KvkFieldCommand(16), "Apps,KVK,Gultigkeit,");
    EXPECT_EQ(KvkFieldCommand(17), "");
}

namespace {

using Step = KeyboardFields::Step;

std::vector<Step> Type(KeyboardFields& fields, const std::string& keys) {
    std::vector<Step> steps;
    for (char c : keys)
        steps.push_back(fields.Take(c));
    return steps;
}

} // namespace

TEST(KeyboardFields, EndingsAndLineFeeds) {
    struct {
        int count;
        std::string keys;
        std::vector<std::string> fields;
        bool complete;
    } cases[] = {
        {3, "AOK\r\n1234\r\nAnna\r\n", {"AOK", "1234", "Anna"}, true},
        {3, "a?b?c?", {"a", "b", "c"}, true},
        {3, "a?b\r", {"a", "b", ""}, false},
        {2, "\n\nx\ny\r", {"xy", ""}, false},
        {1, "\r", {""}, true},
        {2, "a?b?c?d", {"a", "b"}, true}, // after the last field nothing more is taken
    };
    for (const auto& c : cases) {
        KeyboardFields fields(c.count);
        Type(fields, c.keys);
        EXPECT_EQ(fields.IsComplete(), c.complete) << c.keys;
        for (int i = 1; i <= c.count; ++i)
            EXPECT_EQ(fields.Field(i), c.fields[static_cast<size_t>(i) - 1]) << c.keys << " field " << i;
    }
}

TEST(KeyboardFields, TheFirstKeyStartsAndTheLastEndingCompletes) {
    KeyboardFields fields(2);
    EXPECT_EQ(Type(fields, "\nab?c?x"),
              (std::vector<Step>{Step::Started, Step::Taken, Step::Taken, Step::Taken, Step::Taken,
                                 Step::Complete, Step::Ignored}));
    KeyboardFields other(2);
    EXPECT_EQ(other.Take('a'), Step::Started);
}

TEST(KeyboardFields, FieldsKeepTheirFirst255Characters) {
    KeyboardFields fields(2);
    std::string typed(300, 'x');
    typed[0] = 'A';
    Type(fields, typed + "?B?");
    EXPECT_EQ(fields.Field(1), typed.substr(0, 255));
    EXPECT_EQ(fields.Field(2), "B");
    EXPECT_TRUE(fields.IsComplete());
}

TEST(KeyboardFields, CountIsCappedAt32) {
    KeyboardFields many(100);
    EXPECT_EQ(many.Count(), 32);
    std::string keys;
    for (int i = 0; i < 32; ++i)
        keys += "f?";
    Type(many, keys);
    EXPECT_TRUE(many.IsComplete());
    EXPECT_EQ(many.Field(32), "f");
    EXPECT_EQ(many.Field(33), "");
    EXPECT_EQ(KeyboardFields(0).Count(), 1);
}
