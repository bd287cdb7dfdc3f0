// The form generator's reader, paging and merging against a scripted server and a measurer
// of fixed heights.
#include "services/FormularEngine.h"
#include "services/FormularLines.h"
#include "services/FormularWriter.h"
#include "tests/services/FormularFake.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using namespace vorlan::formular;
using vorlan::test::FakeLine;
using vorlan::test::FixedMeasurer;
using vorlan::test::FormularFakeServer;

namespace {

class Folder {
  public:
    Folder() {
        char pattern[] = "/tmp/formgen.XXXXXX";
        m_path = ::mkdtemp(pattern);
    }
    ~Folder() {
        std::string command = "rm -rf '" + m_path + "'";
        if (std::system(command.c_str()) != 0) ADD_FAILURE() << command;
    }
    std::string Path() const { return m_path + "/"; }
    void Write(const std::string& name, const std::string& text) const {
        std::ofstream(Path() + name, std::ios::binary) << text;
    }
    std::string Read(const std::string& name) const {
        std::ifstream in(name[0] == '/' ? name : Path() + name, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    bool Exists(const std::string& name) const { return std::ifstream(Path() + name).good(); }

  private:
    std::string m_path;
};

int ReadText(const std::string& rtf, TemplateReader& reader) {
    MemorySource source(rtf.data(), rtf.size());
    return reader.Read(source);
}

int ReadCode(const std::string& rtf) {
    FixedMeasurer measurer;
    TemplateReader reader(measurer);
    return ReadText(rtf, reader);
}

size_t Count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
        ++n;
    return n;
}

// A letter: first-page header, footer with the page number, a tagged body line. Paper 4000
// high with margins 500: 3000 twips for the body, less header and footer.
std::string Letter(const std::string& extraHead = "") {
    return "{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman Times;}}" + extraHead +
           "\\paperh4000\\margt500\\margb500\\headery0\\footery0"
           "{\\header \\pard\\plain *A1 Kopf @NAME\\par}"
           "{\\footer \\pard\\plain Seite #0\\par}"
           "\\pard\\plain *B1 Zeile @TEXT\\par"
           "}";
}

struct FormRun {
    Folder folder;
    FormularFakeServer server;
    FixedMeasurer measurer;
    std::vector<std::string> names;

    int Generate(const std::string& outName = "out.rtf", bool onePerPart = false, bool layoutOnly = false,
                 const std::string& filter = "") {
        FormularEngine engine(server, measurer, layoutOnly, filter);
        int scan = engine.Generate("BRIEF_", 1, folder.Path(), false, names);
        if (scan != kOk) return scan;
        parsed = engine.TemplatesRead();
        int merged =
            engine.Generate("BRIEF_", 0, outName.empty() ? "" : folder.Path() + outName, onePerPart, names);
        parsed = engine.TemplatesRead();
        args = engine.MessageArgs();
        return merged;
    }
    void BodyLines(const std::string& part, int count) {
        for (int i = 1; i <= count; ++i) {
            FakeLine& line = server.AddLine(part, "Z", std::to_string(i), "B1");
            line.fields["@TEXT"] = {"Position " + std::to_string(i), true, {}};
        }
    }
    int parsed = 0;
    std::vector<std::string> args;
};

} // namespace

TEST(FormularLines, ValuesArePastedAsLiterals) {
    EXPECT_EQ(SetPartLine("BRIEF_1_a\"b"), "S QCC=\"BRIEF_1_a\"\"b\"");
    EXPECT_EQ(TokenValueLine(4, "1", "B\"1", "@NAME"),
              "W $G(^ZDR(%JOB,%FORM,QCC,\"Z\",\"1\",\"B\"\"1\",\"@NAME\"))");
    EXPECT_EQ(TokenNextSubLine(1, "x", "A1", "@T"),
              "S %QCC=$O(^ZDR(%JOB,%FORM,QCC,\"K\",\"x\",\"A1\",\"@T\",%QCC)) W %QCC");
    EXPECT_EQ(NextLineLine(0), "S X=$O(^ZDR(%JOB,%FORM,QCC,\"KF\",X)) W X");
    EXPECT_EQ(LineCodeLine(2), "S Y=$O(^ZDR(%JOB,%FORM,QCC,\"FE\",X,\"\")) W Y");
    EXPECT_EQ(RestoreLineLine("a\nb"), "S X=\"a\"_$C(10)_\"b\"");
}

TEST(FormularReader, LineTagsSelectSlots) {
    EXPECT_EQ(SlotIndex("A1"), 1);
    EXPECT_EQ(SlotIndex("a1"), 1);
    EXPECT_EQ(SlotIndex("Z9"), 259);
    EXPECT_EQ(SlotIndex("B15"), 15); // the largest digit counts
    EXPECT_EQ(SlotIndex("1"), -1);
    EXPECT_EQ(SlotIndex("AB"), -1);
    EXPECT_EQ(SlotIndex(""), -1);

    FixedMeasurer measurer;
    TemplateReader reader(measurer);
    ASSERT_EQ(ReadText("{\\rtf1 head \\b *a1 eins *1 *AB\\par *Z9 neun}", reader), kOk);
    EXPECT_EQ(reader.Head(), "{\\rtf1 head \\b }");
    EXPECT_TRUE(reader.BodyTagged());
    const Section& body = reader.Sec(kBody);
    EXPECT_EQ(body.slots[1].text, "{\\s0 \\cs0 \\f0 \\fs40 \\b1 \\i0 \\ul0  eins *1 *AB\\par }");
    EXPECT_EQ(body.slots[1].height, 240);
    // The document's own "}" closes a group opened before the line: it is dropped.
    EXPECT_EQ(body.slots[259].text, "{\\s0 \\cs0 \\f0 \\fs40 \\b1 \\i0 \\ul0  neun}");
    // A line end after a control word becomes its blank.
    ASSERT_EQ(ReadText("{\\rtf1 *A1 x\\par\r\n@NAME\\b\r\n}", reader), kOk);
    EXPECT_EQ(reader.Sec(kBody).slots[1].text, "{\\s0 \\cs0 \\f0 \\fs40 \\b0 \\i0 \\ul0  x\\par @NAME\\b }");
}

TEST(FormularReader, SlotsAreBalancedAndEscapesKept) {
    FixedMeasurer measurer;
    TemplateReader reader(measurer);
    // \'7b and \'40 stay escaped, \'e4 becomes the character, \{ stays; an open group is closed.
    ASSERT_EQ(ReadText("{\\rtf1 {\\b *A2 x\\'7b\\'40\\'2a\\'e4\\{y {\\i z}}", reader), kOk);
    EXPECT_EQ(reader.Sec(kBody).slots[2].text, "{\\s0 \\cs0 \\f0 \\fs40 \\b1 \\i0 \\ul0 "
                                               " x\\'7b\\'40\\'2a\xe4\\{y {\\i z}}");
    // A destination that is not collected leaves nothing behind, not even its braces.
    ASSERT_EQ(ReadText("{\\rtf1{\\info{\\author A}}{\\*\\unknown {x}}{\\colortbl;\\red1;}*A1 t}", reader),
              kOk);
    EXPECT_EQ(reader.Head(), "{\\rtf1{\\colortbl;\\red1;}}");
    EXPECT_EQ(reader.Sec(kBody).slots[1].text, "{\\s0 \\cs0 \\f0 \\fs40 \\b0 \\i0 \\ul0  t}");
    // \bin passes exactly its bytes, braces and backslashes among them.
    ASSERT_EQ(ReadText(std::string("{\\rtf1 *A1 {\\pict\\bin4 }{\\#}}", 28), reader), kOk);
    EXPECT_NE(reader.Sec(kBody).slots[1].text.find("{\\pict\\bin4 }{\\#}"), std::string::npos);
}

TEST(FormularReader, AControlWordTakenOut) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"{\\rtf1\\titlepg\\paperh4000 x}", "{\\rtf1\\paperh4000 x}"},
        {"\\titlepg \\titlepg1 a\\titlepg", "a"},
        // The word before keeps its end, so that the text after it does not join it.
        {"\\b\\titlepg Text", "\\b Text"},
        {"\\b\\titlepg\\titlepg Text", "\\b Text"},
        {"\\fs-24\\titlepg 9", "\\fs-24 9"},
        {"\\b \\titlepg Text", "\\b Text"},
        {"\\'e4\\titlepg x", "\\'e4x"},
        // Other words, escaped backslashes and binary data are not the word.
        {"\\titlepgx \\title \\\\titlepg \\'5ctitlepg", "\\titlepgx \\title \\\\titlepg \\'5ctitlepg"},
        {"{\\pict\\bin9 \\titlepg}x", "{\\pict\\bin9 \\titlepg}x"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WithoutControlWord(c.in, "titlepg"), c.out) << c.in;
}

TEST(FormularReader, FontTableAndMeasuring) {
    FixedMeasurer measurer;
    TemplateReader reader(measurer);
    ASSERT_EQ(ReadText("{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f3\\fcharset0 Courier New;}}\\f3\\fs20 *A1 x\\par}",
                       reader),
              kOk);
    ASSERT_EQ(reader.Fonts().size(), 2u);
    EXPECT_EQ(reader.Fonts()[1].number, 3);
    EXPECT_EQ(reader.Fonts()[1].face, "Courier New");
    ASSERT_FALSE(measurer.faces.empty());
    EXPECT_EQ(measurer.faces.back(), "Courier New");
    // Outside the table an unknown font is an error.
    EXPECT_EQ(ReadText("{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f7 x}", reader), kBadState);
}

TEST(FormularReader, ResultCodes) {
    EXPECT_EQ(ReadCode("x{\\rtf1}"), kSyntax);
    EXPECT_EQ(ReadCode("{\\rtf1}}"), kUnbalanced);
    EXPECT_EQ(ReadCode("{\\rtf1 \\"), kEndAfterBackslash);
    EXPECT_EQ(ReadCode("{\\rtf1 *A1 {\\pict\\bin9 ab}}"), kEndAfterBackslash);
    EXPECT_EQ(ReadCode("{\\rtf1 \\'4g}"), kBadHex);
    EXPECT_EQ(ReadCode("{\\rtf1 \\'4"), kBadHex);
    std::string fonts = "{\\rtf1{\\fonttbl";
    for (int i = 0; i < 513; ++i)
        fonts += "{\\f" + std::to_string(i) + " F;}";
    EXPECT_EQ(ReadCode(fonts + "}}"), kFontTableFull);
    std::string row = "{\\rtf1\\trowd";
    for (int i = 0; i < 511; ++i)
        row += "\\cellx" + std::to_string(i);
    EXPECT_EQ(ReadCode(row + "}"), kOk);
    EXPECT_EQ(ReadCode(row + "\\cellx9}"), kNoMemory);
    EXPECT_EQ(ReadCode("{\\rtf1 *A1 " + std::string(65530, 'x') + "}"), kNoMemory);
    EXPECT_EQ(ReadCode("{\\rtf1 *A1 " + std::string(65000, 'x') + "}"), kOk);
    EXPECT_EQ(ReadCode(std::string(70000, '{')), kNoMemory);
}

TEST(FormularWriter, ValuesAndTokens) {
    EXPECT_EQ(ValueRtf("a{b}\\c"), "a\\{b\\}\\\\c");
    EXPECT_EQ(ValueRtf("eins\rzwei"), "eins\\par zwei");
    EXPECT_EQ(ValueRtf("rtf:{\\b fett}\rrtf:x"), "{\\b fett}\\par x");
    EXPECT_EQ(ValueRtf("rtf:{\\b fett"), "rtf:\\{\\\\b fett"); // unbalanced: plain text
    EXPECT_EQ(ValueRtf("Rechnung {2026} \\ Teil 1"), "Rechnung \\{2026\\} \\\\ Teil 1");

    auto value = [](const std::string& token) -> std::optional<std::string> {
        if (token == "@KEEP") return std::nullopt;
        return "<" + token + ">";
    };
    std::string out;
    WriteLine("@NAME    x #0}@ #-@KEEP \\'40A\\b1 @A.B", value, out);
    EXPECT_EQ(out, "<@NAME> x <#0>}@ #-@KEEP \\'40A\\b1 <@A.B>");
    out.clear();
    // A value never runs into the control word before it.
    WriteLine("\\par@NAME\\b1@A\\b @A\\'e4@A", value, out);
    EXPECT_EQ(out, "\\par <@NAME>\\b1 <@A>\\b <@A>\\'e4<@A>");
    out.clear();
    WriteLine("@ABCDEFGHIJKLMNOPQ rest", value, out);
    EXPECT_EQ(out, "<@ABCDEFGHIJKLMN>OPQ rest");
    out.clear();
    WriteLine(std::string("\\bin3 @AB @C", 12), value, out);
    EXPECT_EQ(out, "\\bin3 @AB <@C>");
}

TEST(FormularMerge, LetterPagesExactly) {
    // Usable: 4000 - 500 - 500 = 3000, less header (240 - 500 < 0) and footer: 3000 = 12 lines.
    for (int count : {12, 13}) {
        FormRun run;
        run.folder.Write("BRIEF_1_Brief.rtf", Letter());
        run.server.parts["1"].templateName = "1_Brief";
        run.BodyLines("1", count);
        FakeLine& head = run.server.AddLine("1", "K", "1", "A1");
        head.fields["@NAME"] = {"  Erika {M}  ", true, {}};
        ASSERT_EQ(run.Generate(), kOk) << count;
        std::string rtf = run.folder.Read("out.rtf");
        int pages = count == 12 ? 1 : 2;
        EXPECT_EQ(Count(rtf, "\\sbkpage\\sect "), size_t(pages - 1));
        EXPECT_EQ(Count(rtf, "Kopf Erika \\{M\\}\\par"), size_t(pages));
        EXPECT_EQ(Count(rtf, "Seite 1"), 1u);
        EXPECT_EQ(Count(rtf, "Seite 2"), size_t(pages - 1));
        EXPECT_EQ(Count(rtf, "Zeile Position"), size_t(count));
        EXPECT_EQ(rtf.substr(0, 6), "{\\rtf1");
        EXPECT_EQ(rtf.back(), '}');
        EXPECT_EQ(OpenGroups(rtf), 0);
        if (count == 13) {
            size_t page2 = rtf.find("\\sbkpage");
            EXPECT_LT(rtf.find("Position 12"), page2);
            EXPECT_GT(rtf.find("Position 13"), page2);
        }
        EXPECT_TRUE(run.server.unknown.empty()) << run.server.unknown.front();
    }
}

TEST(FormularMerge, TooTallLineAndTooManyLines) {
    FormRun run;
    run.folder.Write("BRIEF_1_Brief.rtf", Letter());
    run.server.parts["1"].templateName = "1_Brief";
    run.BodyLines("1", 1);
    run.server.extraHeight = "-2900";
    EXPECT_EQ(run.Generate(), kLineTooTall);
    EXPECT_NE(run.args.at(0).find("BRIEF_1_Brief.rtf"), std::string::npos);

    FormRun layout;
    layout.folder.Write("BRIEF_1_Brief.rtf", Letter());
    layout.server.parts["1"].templateName = "1_Brief";
    layout.BodyLines("1", 513);
    EXPECT_EQ(layout.Generate("out.rtf", false, true), kNoMemory);
}

// The pages of a merged document: what lies between its section breaks.
std::vector<std::string> Pages(const std::string& rtf) {
    std::vector<std::string> pages;
    const std::string mark = "\\sbkpage\\sect ";
    size_t from = 0;
    for (size_t at = rtf.find(mark); at != std::string::npos; at = rtf.find(mark, from)) {
        pages.push_back(rtf.substr(from, at - from));
        from = at + mark.size();
    }
    pages.push_back(rtf.substr(from));
    return pages;
}

TEST(FormularMerge, TitlePageAndLayoutOnly) {
    std::string rtf = "{\\rtf1{\\fonttbl{\\f0 Arial;}}\\titlepg\\paperh4000\\margt500\\margb500"
                      "{\\headerf *A1 Erste\\par}{\\header *A1 Folge\\par}"
                      "{\\footerf *A1 Weiter\\par}{\\footer *A1 Ende\\par}\\pard *B1 @TEXT\\par\\page}";
    FormRun run;
    run.folder.Write("BRIEF_1_Brief.rtf", rtf);
    run.server.parts["1"].templateName = "1_Brief";
    run.BodyLines("1", 20);
    for (const char* section : {"K", "KF", "F", "FE"})
        run.server.AddLine("1", section, "1", "A1");
    ASSERT_EQ(run.Generate(), kOk);
    std::string out = run.folder.Read("out.rtf");
    // The usable height is 3000 less 240 + 720 - 500 for the header and the same for the
    // footer: 8 lines a page, 20 lines on three pages. Each page, a section of its own, has
    // the header and footer chosen for it, in the words a reader shows on every page of a
    // section: the document carries no title-page flag that would choose again.
    std::vector<std::string> pages = Pages(out);
    ASSERT_EQ(pages.size(), 3u);
    const char* headers[] = {"Erste", "Folge", "Folge"};
    const char* footers[] = {"Weiter", "Weiter", "Ende"};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(Count(pages[i], "{\\header "), 1u) << i;
        EXPECT_EQ(Count(pages[i], "{\\footer "), 1u) << i;
        EXPECT_NE(pages[i].find(headers[i]), std::string::npos) << i;
        EXPECT_NE(pages[i].find(footers[i]), std::string::npos) << i;
    }
    EXPECT_EQ(Count(out, "Erste"), 1u);
    EXPECT_EQ(Count(out, "Ende"), 1u);
    for (const char* word : {"\\titlepg", "{\\headerf ", "{\\footerf "})
        EXPECT_EQ(Count(out, word), 0u) << word;
    EXPECT_NE(out.find("{\\rtf1{\\fonttbl{\\f0 Arial;}}\\paperh4000\\margt500\\margb500"), std::string::npos);
    // K and F serve every page without a page break in the template, and every page shows
    // them: a flag left in the head would have the reader look for a first-page variant.
    std::string noPage = rtf;
    noPage.replace(noPage.find("\\page}"), 6, "}");
    FormRun plain;
    plain.folder.Write("BRIEF_1_Brief.rtf", noPage);
    plain.server.parts["1"].templateName = "1_Brief";
    plain.BodyLines("1", 20);
    for (const char* section : {"K", "F"})
        plain.server.AddLine("1", section, "1", "A1");
    ASSERT_EQ(plain.Generate(), kOk);
    out = plain.folder.Read("out.rtf");
    EXPECT_EQ(Count(out, "{\\header "), 3u);
    EXPECT_EQ(Count(out, "Erste"), 3u);
    EXPECT_EQ(Count(out, "Weiter"), 3u);
    for (const char* word : {"\\titlepg", "{\\headerf ", "{\\footerf "})
        EXPECT_EQ(Count(out, word), 0u) << word;
    // Layout only: one page, all four sections, whatever the heights; the flag stays, so a
    // reader shows the first-page variants on the first page.
    FormRun layout;
    layout.folder.Write("BRIEF_1_Brief.rtf", rtf);
    layout.server.parts["1"].templateName = "1_Brief";
    layout.BodyLines("1", 40);
    ASSERT_EQ(layout.Generate("out.rtf", false, true), kOk);
    out = layout.folder.Read("out.rtf");
    EXPECT_EQ(Count(out, "\\sbkpage"), 0u);
    for (const char* word : {"{\\header ", "{\\headerf ", "{\\footer ", "{\\footerf ", "\\titlepg"})
        EXPECT_EQ(Count(out, word), 1u) << word;
    EXPECT_EQ(Count(out, "Position"), 40u);
}

TEST(FormularMerge, PageValuesAndSubNodes) {
    std::string rtf = "{\\rtf1\\paperh4000\\margt500\\margb500\\footery0{\\footer Summe #100 Seite #0\\par}"
                      "*B1 @TEXT @LIST |\\par}";
    FormRun run;
    run.folder.Write("BRIEF_1_Brief.rtf", rtf);
    run.server.parts["1"].templateName = "1_Brief";
    run.BodyLines("1", 13);
    run.server.parts["1"].sections["Z"]["12"].fields["#100"] = {"S12", true, {}};
    run.server.parts["1"].sections["Z"]["13"].fields["#100"] = {"S13", true, {}};
    run.server.parts["1"].sections["Z"]["1"].fields["@LIST"] = {"", false, {{"1", " a "}, {"2", "b"}}};
    ASSERT_EQ(run.Generate(), kOk);
    std::string out = run.folder.Read("out.rtf");
    EXPECT_NE(out.find("Summe S12 Seite 1"), std::string::npos);
    EXPECT_NE(out.find("Summe S13 Seite 2"), std::string::npos);
    EXPECT_NE(out.find("Position 1  a b |"), std::string::npos);
}

TEST(FormularMerge, PartsFilesAndFallbacks) {
    FormRun run;
    run.folder.Write("BRIEF_1_Brief.rtf", Letter());
    run.folder.Write("BRIEF_D_0.rtf", "{\\rtf1 *B1 Standard @TEXT\\par}");
    for (const char* part : {"1", "2", "3"}) {
        run.server.parts[part].templateName = part == std::string("3") ? "9_Fehlt" : "1_Brief";
        run.BodyLines(part, 2);
    }
    ASSERT_EQ(run.Generate("Brief.rtf", true), kOk);
    ASSERT_EQ(run.names.size(), 3u);
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(run.names[i - 1], run.folder.Path() + "Brief_" + std::to_string(i) + ".rtf");
        EXPECT_EQ(OpenGroups(run.folder.Read(run.names[i - 1])), 0);
    }
    EXPECT_NE(run.folder.Read("Brief_3.rtf").find("Standard Position 1"), std::string::npos);
    // Parts 1 and 2 share their template: read once; part 3 reads the default one.
    EXPECT_EQ(run.parsed, 2);

    // All parts in one document, each after a section break.
    FormRun one;
    one.folder.Write("BRIEF_1_Brief.rtf", Letter());
    for (const char* part : {"1", "2"}) {
        one.server.parts[part].templateName = "1_Brief";
        one.BodyLines(part, 1);
    }
    ASSERT_EQ(one.Generate("Alle.rtf"), kOk);
    std::string all = one.folder.Read("Alle.rtf");
    EXPECT_EQ(Count(all, "{\\rtf1"), 1u);
    EXPECT_EQ(Count(all, "\\sbkpage\\sect "), 1u);
    EXPECT_EQ(OpenGroups(all), 0);
    EXPECT_EQ(one.names, std::vector<std::string>{one.folder.Path() + "Alle.rtf"});

    // Names from the server: the folder given, and the part's name with ".rtf" added.
    FormRun named;
    named.folder.Write("BRIEF_1_Brief.rtf", Letter());
    named.server.parts["1"] = {"1_Brief", "", "Rechnung", {}};
    named.server.parts["2"] = {"1_Brief", "", "Mahnung.RTF", {}};
    ASSERT_EQ(named.Generate("", true), kOk); // no path: the part's folder (empty here)
    ASSERT_EQ(named.names.size(), 2u);
    EXPECT_EQ(named.names[0], named.folder.Path() + "Rechnung.rtf") << "beside the templates";
    EXPECT_EQ(named.names[1], named.folder.Path() + "Mahnung.RTF");
    EXPECT_TRUE(named.folder.Exists("Rechnung.rtf"));
    EXPECT_FALSE(std::ifstream("Rechnung.rtf").good()) << "not in the process's current folder";
    std::remove("Rechnung.rtf");
    std::remove("Mahnung.RTF");

    FormRun missing;
    missing.folder.Write("BRIEF_1_Brief.rtf", Letter());
    missing.server.parts["1"].templateName = "9_Fehlt";
    EXPECT_EQ(missing.Generate(), kCannotOpen);
    EXPECT_NE(missing.args.at(0).find("BRIEF_9_Fehlt.rtf"), std::string::npos);

    FormRun unwritable;
    unwritable.folder.Write("BRIEF_1_Brief.rtf", Letter());
    unwritable.server.parts["1"].templateName = "1_Brief";
    EXPECT_EQ(unwritable.Generate("nowhere/out.rtf"), kCannotCreate);
    EXPECT_EQ(unwritable.args.at(0), unwritable.folder.Path() + "nowhere/out.rtf");

    FormRun headless;
    headless.folder.Write("BRIEF_1_Brief.rtf", "{\\rtf1 x}");
    headless.folder.Write("BRIEF_2_Leer.rtf", "");
    headless.server.parts["1"].templateName = "2_Leer";
    EXPECT_EQ(headless.Generate(), kSyntax);
    // Nothing but the title-page flag, which the document does not carry: no head either.
    FormRun flagOnly;
    flagOnly.folder.Write("BRIEF_1_Brief.rtf", "\\titlepg");
    flagOnly.server.parts["1"].templateName = "1_Brief";
    EXPECT_EQ(flagOnly.Generate(), kSyntax);
}

TEST(FormularScan, FoldersAndFilter) {
    FormRun run;
    ::mkdir((run.folder.Path() + "H").c_str(), 0700);
    ::mkdir((run.folder.Path() + "H/M").c_str(), 0700);
    run.server.vars["%HOME"] = "H";
    run.server.vars["%MI"] = "M";
    run.server.vars["%LAN"] = "D";
    run.server.vars["%VER"] = "7";
    run.folder.Write("H/BRIEF_1_a.rtf", "{\\rtf1 x}");
    run.folder.Write("H/BRIEF_2_b.rtf", "{\\rtf1 }}");
    run.folder.Write("H/M/BRIEFX.rtf", "{\\rtf1 x}");
    FormularEngine engine(run.server, run.measurer, false, "");
    // H/M has no template of the form; H has two, the second broken.
    EXPECT_EQ(engine.Scan(run.folder.Path(), "BRIEF_"), kUnbalanced);
    EXPECT_EQ(engine.MessageArgs().at(0), run.folder.Path() + "H/BRIEF_2_b.rtf");
    std::vector<std::string> sent;
    for (const std::string& line : run.server.lines)
        if (line.rfind("S QCC=", 0) == 0) sent.push_back(line);
    EXPECT_EQ(sent, (std::vector<std::string>{"S QCC=\"BRIEF_1_a\"", "S QCC=\"BRIEF_2_b\""}));

    FormularEngine filtered(run.server, run.measurer, false, "brief_1_a");
    EXPECT_EQ(filtered.Scan(run.folder.Path(), "BRIEF_"), kOk);
    EXPECT_EQ(filtered.TemplateFolder(), run.folder.Path() + "H/");

    FormularEngine none(run.server, run.measurer, false, "");
    EXPECT_EQ(none.Scan(run.folder.Path(), "RECHNUNG_"), kNoTemplate);
    EXPECT_EQ(none.MessageArgs(), (std::vector<std::string>{run.folder.Path(), "RECHNUNG_", "D", "7"}));
}

TEST(FormularMerge, LineKeysAndTokensTravelQuoted) {
    FormRun run;
    run.folder.Write("BRIEF_1_Brief.rtf", "{\\rtf1 *B1 [@T\"X]\\par}");
    run.server.parts["1"].templateName = "1_Brief";
    FakeLine& line = run.server.AddLine("1", "Z", "a\"b", "B1");
    line.fields["@T"] = {"wert", true, {}};
    ASSERT_EQ(run.Generate(), kOk);
    EXPECT_NE(run.folder.Read("out.rtf").find("[wert\"X]"), std::string::npos);
    EXPECT_NE(std::find(run.server.lines.begin(), run.server.lines.end(),
                        "W $G(^ZDR(%JOB,%FORM,QCC,\"Z\",\"a\"\"b\",\"B1\",\"@T\"))"),
              run.server.lines.end());
    EXPECT_TRUE(run.server.unknown.empty());
}

TEST(FormularMerge, OutputFoldersAndTheLastName) {
    // No path: the part's folder, made usable by the caller's hook, and its name.
    FormRun run;
    run.folder.Write("BRIEF_1_Brief.rtf", Letter());
    run.server.parts["1"] = {"1_Brief", "ausgabe", "Brief", {}};
    std::string asked;
    FormularEngine engine(run.server, run.measurer, false, "");
    engine.prepareFolder = [&](const std::string& folder) {
        asked = folder;
        ::mkdir((run.folder.Path() + "ausgabe").c_str(), 0700);
        return run.folder.Path() + "ausgabe/";
    };
    ASSERT_EQ(engine.Generate("BRIEF_", 1, run.folder.Path(), false, run.names), kOk);
    ASSERT_EQ(engine.Generate("BRIEF_", 0, "", true, run.names), kOk);
    EXPECT_EQ(asked, "ausgabe/");
    EXPECT_EQ(run.names, std::vector<std::string>{run.folder.Path() + "ausgabe/Brief.rtf"});
    EXPECT_TRUE(run.folder.Exists("ausgabe/Brief.rtf"));

    // Relative output names and part folders, with no hook, lie beside the templates too.
    FormRun relative;
    relative.folder.Write("BRIEF_1_Brief.rtf", Letter());
    relative.server.parts["1"] = {"1_Brief", "teile", "Brief", {}};
    ::mkdir((relative.folder.Path() + "teile").c_str(), 0700);
    FormularEngine plain(relative.server, relative.measurer, false, "");
    ASSERT_EQ(plain.Generate("BRIEF_", 1, relative.folder.Path(), false, relative.names), kOk);
    ASSERT_EQ(plain.Generate("BRIEF_", 0, "Ein.rtf", false, relative.names), kOk);
    EXPECT_EQ(relative.names, std::vector<std::string>{relative.folder.Path() + "Ein.rtf"});
    EXPECT_TRUE(relative.folder.Exists("Ein.rtf"));
    ASSERT_EQ(plain.Generate("BRIEF_", 0, "", true, relative.names), kOk);
    EXPECT_EQ(relative.names, std::vector<std::string>{relative.folder.Path() + "teile/Brief.rtf"});
    EXPECT_TRUE(relative.folder.Exists("teile/Brief.rtf"));
    std::remove("Ein.rtf");

    // A 513th file is refused; the 512 written stay, with their names.
    FormRun many;
    many.folder.Write("BRIEF_1_Brief.rtf", "{\\rtf1 x}");
    for (int i = 1; i <= 513; ++i)
        many.server.parts[std::to_string(i)].templateName = "1_Brief";
    EXPECT_EQ(many.Generate("Teil.rtf", true), kNoMemory);
    EXPECT_EQ(many.names.size(), 512u);
    EXPECT_TRUE(many.folder.Exists("Teil_512.rtf"));
    EXPECT_FALSE(many.folder.Exists("Teil_513.rtf"));
}
