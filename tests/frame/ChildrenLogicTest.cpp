// The list window's text read from the print output in the pieces the control asks for, and
// the split of a page link that calls the client.
#include "frame/ChildListLogic.h"
#include "frame/WebLinkLogic.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

using vorlan::ListStream;

namespace {

// Lines 1..n of `lines`, "§" after them; `failAt` fails that line.
struct Output {
    explicit Output(std::vector<std::string> l = {}, int fail = 0) : lines(std::move(l)), failAt(fail) {}
    std::vector<std::string> lines;
    int failAt;
    std::vector<int> asked;
    ListStream::LineSource Source() {
        return [this](int n, std::string& line) {
            asked.push_back(n);
            if (n == failAt) return false;
            line = n <= static_cast<int>(lines.size()) ? lines[static_cast<size_t>(n - 1)] : "\xA7";
            return true;
        };
    }
};

std::string ReadAll(ListStream& stream, size_t room) {
    std::string all;
    std::vector<char> piece(room);
    for (int calls = 0; calls < 1000000; ++calls) {
        size_t n = stream.Read(piece.data(), room);
        if (n == 0) return all;
        all.append(piece.data(), n);
    }
    ADD_FAILURE() << "the stream never ended";
    return all;
}

} // namespace

TEST(ListStream, LinesBecomeParagraphsAndBracesBrackets) {
    Output out{{"Kopf {fett}", "\\b Summe\\b0  12,50", ""}};
    ListStream stream(out.Source());
    EXPECT_EQ(ReadAll(stream, 4096), "{\\rtf Kopf [fett]\\par \\b Summe\\b0  12,50\\par \\par }");
    EXPECT_EQ(out.asked, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(stream.Read(nullptr, 0), 0u) << "nothing after the end";
}

TEST(ListStream, TheEndMarkerCountsFromTheSecondLineOn) {
    Output out{{"\xA7", "weiter"}};
    ListStream stream(out.Source());
    EXPECT_EQ(ReadAll(stream, 4096), "{\\rtf \xA7\\par weiter\\par }");
    Output nothing{{"\xA7"}};
    ListStream one(nothing.Source());
    EXPECT_EQ(ReadAll(one, 4096), "{\\rtf \xA7\\par }") << "the second line is the marker";
}

TEST(ListStream, ALongLineIsHandedOverAcrossCalls) {
    std::string big(70 * 1024, 'x');
    big[100] = '{';
    Output out{{"a", big, "z"}};
    for (size_t room : {size_t{1}, size_t{7}, size_t{4096}, size_t{200000}}) {
        ListStream stream(out.Source());
        std::string all = ReadAll(stream, room);
        std::string want = "{\\rtf a\\par " + big + "\\par z\\par }";
        want[std::string("{\\rtf a\\par ").size() + 100] = '[';
        EXPECT_EQ(all, want) << room;
    }
}

TEST(ListStream, AFailedLineOrEndlessEmptyLinesEndTheText) {
    Output failing{{"a", "b", "c"}, 2};
    ListStream stream(failing.Source());
    EXPECT_EQ(ReadAll(stream, 16), "{\\rtf a\\par }");
    Output first{{"a"}, 1};
    ListStream none(first.Source());
    EXPECT_EQ(ReadAll(none, 16), "{\\rtf }");

    int asked = 0;
    ListStream empty([&](int, std::string& line) {
        ++asked;
        line.clear();
        return true;
    });
    std::string all = ReadAll(empty, 4096);
    EXPECT_EQ(asked, vorlan::kListEmptyRunLimit);
    EXPECT_EQ(all.substr(all.size() - 6), "\\par }");
}

TEST(ListStream, EmptyLinesBetweenTextDoNotEndIt) {
    Output out;
    out.lines.assign(static_cast<size_t>(vorlan::kListEmptyRunLimit) - 1, "");
    out.lines.push_back("Ende");
    out.lines.insert(out.lines.end(), static_cast<size_t>(vorlan::kListEmptyRunLimit) - 1, "");
    ListStream stream(out.Source());
    std::string all = ReadAll(stream, 4096);
    EXPECT_NE(all.find("Ende"), std::string::npos);
    EXPECT_EQ(stream.LinesAsked(), 2 * vorlan::kListEmptyRunLimit);
    EXPECT_EQ(vorlan::PrintOutputLine(12), "W $$DRUCK^QCC(%JOB,12)");
}

TEST(WebLink, OnlyTargetsOfTheClientAreCalls) {
    struct Case {
        const char* url;
        const char* target;
        bool call;
        const char* command;
        const char* query;
    } cases[] = {
        {"http://s/seite.htm?nr=5&x=1", "vorlan:TERMIN", true, "TERMIN", "nr=5&x=1"},
        {"http://s/seite.htm", "vorlan:", true, "", "http://s/seite.htm"},
        {"a?b?c", "VORLAN:x", true, "x", "b?c"},
        {"http://s/?", "Vorlan:y", true, "y", ""},
        {"http://s/seite.htm", "_blank", false, "", ""},
        {"http://s/seite.htm", "vorlan", false, "", ""},
        {"http://s/seite.htm", "", false, "", ""},
        {"http://s/seite.htm", " vorlan:x", false, "", ""},
    };
    for (const Case& c : cases) {
        vorlan::WebCall call;
        ASSERT_EQ(vorlan::SplitWebLink(c.url, c.target, call), c.call) << c.target;
        if (!c.call) continue;
        EXPECT_EQ(call.command, c.command) << c.target;
        EXPECT_EQ(call.query, c.query) << c.url;
    }
}
