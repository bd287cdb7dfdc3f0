#include "cards/CardLines.h"

#include "tests/common/MLiteral.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace vorlan;

namespace {

// The value the server would assign, evaluated from the line's right-hand side.
std::string Assigned(const std::string& line) {
    size_t at = line.find(")=");
    EXPECT_NE(at, std::string::npos) << line;
    auto value = test::EvalMLiteral(line.substr(at + 2));
    EXPECT_TRUE(value.has_value()) << line;
    return value.value_or("<invalid>");
}

} // namespace

TEST(CardLines, FieldValuesArriveWhateverTheyHold) {
    const std::string texts[] = {
        "M\xFCller", "Der \"Blaue\" Reiter", std::string("A\0B", 3), "Zeile\r\nZwei", "", "\"\""};
    for (const std::string& text : texts) {
        std::string line = KvkFieldLine(4, text);
        EXPECT_EQ(line.rfind("S %WIN(\"READCARD\",4)=", 0), 0u) << line;
        EXPECT_EQ(Assigned(line), text);
        EXPECT_EQ(line.find_first_of(std::string("\r\n\0", 3)), std::string::npos) << "one whole line";
    }
}

TEST(CardLines, KindAndPortLines) {
    EXPECT_EQ(CardKindLine(kCardKindKvk), "S %WIN(\"READCARD\",\"CARD\")=\"KVK\"");
    EXPECT_EQ(CardKindLine(kCardKindEgk), "S %WIN(\"READCARD\",\"CARD\")=\"EGK\"");
    EXPECT_EQ(CardPortLine(3), "S %WIN(\"READCARD\",\"PORT\")=3");
}

TEST(CardLines, EgkPiecesDropLineBreaksAndQuoteTheRest) {
    struct {
        EgkDocument document;
        int n;
        std::string piece, value;
    } cases[] = {
        {EgkDocument::PD, 1, "<a x=\"1\">\r\n", "<a x=\"1\">"},
        {EgkDocument::VD, 7, "\r\n\r\n", ""},
        {EgkDocument::GVD, 12, "a\tb\0c", "a\tb\0c"},
        {EgkDocument::PD, 2, "\xC3\xA4rztin", "\xC3\xA4rztin"}, // UTF-8 of the document stays bytes
    };
    for (const auto& c : cases) {
        std::string line = EgkPieceLine(c.document, c.n, c.piece);
        std::string head =
            std::string("S ^TEMPEGK(%JOB,\"") + EgkNodeName(c.document) + "\"," + std::to_string(c.n) + ")=";
        EXPECT_EQ(line.rfind(head, 0), 0u) << line;
        EXPECT_EQ(Assigned(line), c.value) << line;
    }
    EXPECT_EQ(EgkPieceLine(EgkDocument::VD, 3, "\r\n"), "S ^TEMPEGK(%JOB,\"EGK-EF-VD\",3)=\"\"");
    EXPECT_EQ(EgkPackedPath(EgkDocument::GVD), "C:\\TEMP\\EF.GVD.xml.gz");
    EXPECT_EQ(EgkPieceLine(EgkDocument::PD, 1, "say \"hi\""),
              "S ^TEMPEGK(%JOB,\"EGK-EF-PD\",1)=\"say \"\"hi\"\"\"");
}

TEST(CardLines, MessagesAreDistinctCodePage1252Texts) {
    std::set<std::string> texts;
    for (int m = static_cast<int>(CardMessage::LibraryMissing);
         m <= static_cast<int>(CardMessage::TestLibraryMissing); ++m) {
        std::string text = CardMessageText(static_cast<CardMessage>(m));
        EXPECT_FALSE(text.empty()) << m;
        EXPECT_EQ(text.find('\xC3'), std::string::npos) << "no UTF-8 in a box: " << text;
        texts.insert(text);
    }
    EXPECT_EQ(texts.size(), static_cast<size_t>(CardMessage::TestLibraryMissing) + 1);
    EXPECT_STREQ(CardMessageText(CardMessage::TerminalNoAnswer), "Keine Verbindung zum Kartenleseger\xE4t!");
    EXPECT_NE(std::string(CardMessageText(CardMessage::ZlibMissing))
                  .find("zlibwapi.dll konnte nicht geladen werden.\n"),
              std::string::npos);
}
