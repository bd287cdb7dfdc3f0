// The demo's letter as a real RTF reader lays it out: LibreOffice turns the merged documents
// into PDF, and each printed page is checked for the letterhead and its own page number.
// Skipped only where LibreOffice or pdftotext is not installed.
#include "services/FormularEngine.h"
#include "tests/services/FormularFake.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

using namespace vorlan::formular;
using vorlan::test::FixedMeasurer;
using vorlan::test::FormularFakeServer;

namespace {

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

bool Installed(const char* program) {
    return std::system(("command -v " + std::string(program) + " >/dev/null 2>&1").c_str()) == 0;
}

struct Letter {
    std::string name;
    std::string rtf;
    int pages = 0; // as the generator broke them
};

class FormularOfficeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!Installed("soffice") || !Installed("pdftotext"))
            GTEST_SKIP() << "LibreOffice or pdftotext missing";
        char pattern[] = "/tmp/formoffice.XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_dir = pattern;
        m_template = Read(std::string(VORLAN_SOURCE_DIR) + "/dbserver/formulare/BRIEF_D_0.rtf");
        ASSERT_NE(m_template.find("\\titlepg"), std::string::npos);
        ASSERT_NE(m_template.find("\\page"), std::string::npos);
    }
    void TearDown() override {
        if (!m_dir.empty() && std::system(("rm -rf '" + m_dir + "'").c_str()) != 0) ADD_FAILURE() << m_dir;
    }

    // The template merged with a letter of `lines` positions into <name>.rtf.
    Letter Merge(const std::string& name, const std::string& templateText, int lines) {
        Letter letter{name, "", 0};
        std::string folder = m_dir + "/" + name + "/";
        EXPECT_EQ(std::system(("mkdir -p '" + folder + "'").c_str()), 0);
        std::ofstream(folder + "BRIEF_D_0.rtf", std::ios::binary) << templateText;
        FormularFakeServer server;
        server.parts["1"].templateName = "1_Brief";
        server.AddLine("1", "Z", "1", "A1").fields["@EMPFAENGER"] = {"Erika Mustermann", true, {}};
        for (int i = 1; i <= lines; ++i)
            server.AddLine("1", "Z", std::to_string(i + 1), "B1").fields["@TEXT"] = {
                "Position " + std::to_string(i), true, {}};
        // Taller than the reader's lines, so that no page of the generator runs over in it.
        FixedMeasurer measurer(400);
        FormularEngine engine(server, measurer, false, "");
        std::vector<std::string> names;
        EXPECT_EQ(engine.Generate("BRIEF_", 1, folder, false, names), kOk);
        std::string out = m_dir + "/" + name + ".rtf";
        EXPECT_EQ(engine.Generate("BRIEF_", 0, out, false, names), kOk);
        letter.rtf = Read(out);
        size_t breaks = 0;
        for (size_t at = letter.rtf.find("\\sbkpage"); at != std::string::npos;
             at = letter.rtf.find("\\sbkpage", at + 1))
            ++breaks;
        letter.pages = static_cast<int>(breaks) + 1;
        return letter;
    }

    // Every letter laid out by LibreOffice, in one run with a profile of its own: the text
    // of each printed page.
    std::vector<std::vector<std::string>> Printed(const std::vector<Letter>& letters) {
        std::string command = "cd '" + m_dir + "' && timeout 300 soffice -env:UserInstallation=file://" +
                              m_dir + "/profile --headless --convert-to pdf --outdir '" + m_dir + "'";
        for (const Letter& l : letters)
            command += " '" + l.name + ".rtf'";
        command += " >'" + m_dir + "/soffice.log' 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0) << Read(m_dir + "/soffice.log");
        std::vector<std::vector<std::string>> printed;
        for (const Letter& l : letters) {
            std::string pdf = m_dir + "/" + l.name + ".pdf", txt = m_dir + "/" + l.name + ".txt";
            EXPECT_EQ(std::system(("pdftotext '" + pdf + "' '" + txt + "'").c_str()), 0) << l.name;
            // pdftotext ends every page with a form feed.
            std::vector<std::string> pages;
            std::stringstream text(Read(txt));
            for (std::string page; std::getline(text, page, '\f');)
                pages.push_back(page);
            printed.push_back(pages);
        }
        return printed;
    }

    std::string m_dir;
    std::string m_template;
};

bool Shows(const std::string& page, const std::string& text) {
    return page.find(text) != std::string::npos;
}

} // namespace

TEST_F(FormularOfficeTest, EveryPrintedPageShowsTheHeaderAndFooterMadeForIt) {
    // As stored: a title page and a page break, so the letterhead heads the first page only.
    Letter titled = Merge("titled", m_template, 70);
    // Without the page break the title-page flag counts for nothing: the letterhead heads
    // every page.
    std::string noPage = m_template;
    noPage.erase(noPage.find("\\page"), 5);
    Letter plain = Merge("plain", noPage, 70);
    ASSERT_GE(titled.pages, 3);
    ASSERT_GE(plain.pages, 3);

    std::vector<std::vector<std::string>> printed = Printed({titled, plain});
    ASSERT_EQ(printed.size(), 2u);
    const std::vector<std::string>& t = printed[0];
    ASSERT_EQ(static_cast<int>(t.size()), titled.pages);
    for (int page = 1; page <= titled.pages; ++page) {
        const std::string& text = t[static_cast<size_t>(page - 1)];
        EXPECT_EQ(Shows(text, "Demo-Praxis VORLAN"), page == 1) << "page " << page << ":\n" << text;
        EXPECT_TRUE(Shows(text, "Seite " + std::to_string(page))) << "page " << page << ":\n" << text;
        for (int other = 1; other <= titled.pages; ++other)
            if (other != page) {
                EXPECT_FALSE(Shows(text, "Seite " + std::to_string(other) + "\n")) << page;
            }
    }
    EXPECT_TRUE(Shows(t[0], "Erika Mustermann"));

    const std::vector<std::string>& p = printed[1];
    ASSERT_EQ(static_cast<int>(p.size()), plain.pages);
    for (int page = 1; page <= plain.pages; ++page) {
        const std::string& text = p[static_cast<size_t>(page - 1)];
        EXPECT_TRUE(Shows(text, "Demo-Praxis VORLAN")) << "page " << page << ":\n" << text;
        EXPECT_TRUE(Shows(text, "Seite " + std::to_string(page))) << "page " << page << ":\n" << text;
    }
}
