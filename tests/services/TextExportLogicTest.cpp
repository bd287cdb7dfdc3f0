#include "services/TextExportLogic.h"
#include "services/PrintListLogic.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vorlan;

TEST(TextExport, LinesGoOutWithCrLfUntilTheMarkerAlone) {
    std::vector<std::string> answers{"Erste Zeile",
                                     "mit \xA7 darin",
                                     "\xA7"
                                     "x",
                                     "",
                                     "\xE4\xF6\xFC\xDF",
                                     "\xA7"};
    std::vector<std::string> asked;
    std::string file;
    ExportEnd end = ExportLines(
        [&](const std::string& line) -> std::optional<std::string> {
            asked.push_back(line);
            return answers.at(asked.size() - 1);
        },
        [&](const std::string& text) {
            file += text;
            return true;
        });
    EXPECT_EQ(end, ExportEnd::Done);
    EXPECT_EQ(file, "Erste Zeile\r\nmit \xA7 darin\r\n\xA7x\r\n\r\n\xE4\xF6\xFC\xDF\r\n");
    EXPECT_EQ(asked.front(), "W $$DRUCK^QCC(%JOB,1)");
    EXPECT_EQ(asked.back(), "W $$DRUCK^QCC(%JOB,6)");
}

TEST(TextExport, AFailedCallOrWriteStopsTheExport) {
    int calls = 0;
    auto failing = [&](const std::string&) -> std::optional<std::string> {
        if (++calls == 3) return std::nullopt;
        return std::string("Zeile");
    };
    std::string file;
    EXPECT_EQ(ExportLines(failing, [&](const std::string& t) { return file += t, true; }),
              ExportEnd::ServerFailed);
    EXPECT_EQ(file, "Zeile\r\nZeile\r\n");

    calls = 0;
    EXPECT_EQ(ExportLines([](const std::string&) -> std::optional<std::string> { return std::string("x"); },
                          [&](const std::string&) { return ++calls < 2; }),
              ExportEnd::WriteFailed);
    EXPECT_EQ(calls, 2);

    file.clear();
    EXPECT_EQ(
        ExportLines([](const std::string&) -> std::optional<std::string> { return std::string("\xA7"); },
                    [&](const std::string& t) { return file += t, true; }),
        ExportEnd::Done);
    EXPECT_TRUE(file.empty()) << "an empty report writes nothing";
}

// A server that answers empty lines for ever must not keep the export writing for ever; empty
// lines between text are lines of the report and do not count towards the bound.
TEST(TextExport, AnEndlessRunOfEmptyLinesEndsTheExport) {
    const size_t limit = static_cast<size_t>(kListEmptyRunLimit);
    std::vector<std::string> spaced(limit - 1, "");
    spaced.push_back("Mitte");
    spaced.insert(spaced.end(), limit - 1, "");
    spaced.push_back("\xA7");
    struct Case {
        std::vector<std::string> answers; // then "" for ever
        ExportEnd end;
        size_t asked, lines;
    } cases[] = {
        {{}, ExportEnd::Unended, limit, limit},
        {{"Kopf"}, ExportEnd::Unended, limit + 1, limit + 1},
        {spaced, ExportEnd::Done, 2 * limit, 2 * limit - 1},
    };
    for (const Case& c : cases) {
        size_t asked = 0;
        std::string file;
        ExportEnd end = ExportLines(
            [&](const std::string&) -> std::optional<std::string> {
                // A safety net for a reader without a bound: the call fails at last.
                if (++asked > 4 * limit) return std::nullopt;
                return asked <= c.answers.size() ? c.answers[asked - 1] : std::string();
            },
            [&](const std::string& text) { return file += text, true; });
        EXPECT_EQ(end, c.end) << c.answers.size();
        EXPECT_EQ(asked, c.asked) << c.answers.size();
        size_t lines = 0;
        for (size_t at = file.find("\r\n"); at != std::string::npos; at = file.find("\r\n", at + 2))
            ++lines;
        EXPECT_EQ(lines, c.lines) << "every line read is in the file";
    }
}

TEST(TextExport, TheSuggestedNameHoldsNoForbiddenCharacter) {
    EXPECT_EQ(ExportFileName("DRK"), "DRK");
    EXPECT_EQ(ExportFileName("a/b\\c:d*e?f\"g<h>i|j\tk"), "a_b_c_d_e_f_g_h_i_j_k");
    EXPECT_EQ(ExportFileName("Grüße"), "Grüße");
    EXPECT_EQ(ExportFileName(""), "");
    EXPECT_EQ(ExportFormLine(true), "S %DFORM=1");
    EXPECT_EQ(ExportFormLine(false), "S %DFORM=2");
}
