#include "app/OptionsLogic.h"

#include <gtest/gtest.h>

using namespace vorlan;

TEST(OptionsLogic, FontSizeBox) {
    struct {
        const char* typed;
        int size;
        const char* shown;
    } cases[] = {{"99", 64, "64"}, {"64", 64, "64"}, {"x", 8, "8"}, {"0", 8, "8"},
                 {"", 0, ""},      {"12", 12, "12"}, {"-3", 8, "8"}};
    for (const auto& c : cases) {
        FontSizeInput in = ReadFontSize(c.typed);
        EXPECT_EQ(in.size, c.size) << c.typed;
        EXPECT_EQ(in.text, c.shown) << c.typed;
    }
}

TEST(OptionsLogic, SlotTextsConnectionTransportAndWordFolderLines) {
    EXPECT_EQ(FontSlotTextId(0), 133u);
    EXPECT_EQ(FontSlotTextId(9), 142u);
    EXPECT_EQ(FontSlotTextId(10), 51u);
    // Absent is the server; a stored value goes back as it stands unless the choice changed.
    struct {
        const char* stored;
        bool remote;
        const char* written;
    } kinds[] = {{"", true, "1"},     {"1", true, "1"},  {"0", false, "0"},
                 {"ja", false, "ja"}, {"1", false, "0"}, {"ja", true, "1"}};
    for (const auto& k : kinds) {
        EXPECT_EQ(IsRemoteConnection(k.stored), std::string(k.stored) == "1") << k.stored;
        EXPECT_EQ(RemoteConnectionValue(k.stored, k.remote), k.written) << k.stored << " " << k.remote;
    }
    EXPECT_EQ(TransportIndex("1"), 1);
    EXPECT_EQ(TransportIndex("7"), 0);
    EXPECT_EQ(TransportIndex(""), 0);
    EXPECT_EQ(SetWordPathLine("demo", "C:\\Vor\"lagen"),
              "S ^[%SYS]EXTRAS(\"demo\",\"WORDPATH\")=\"C:\\Vor\"\"lagen\"");
    EXPECT_EQ(WordPathLine("de\"mo"), "W $G(^[%SYS]EXTRAS(\"de\"\"mo\",\"WORDPATH\"))");
}
