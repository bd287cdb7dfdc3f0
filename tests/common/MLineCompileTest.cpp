// Every M line the client builds, compiled by the GT.M engine with ordinary and hostile
// values: a line that only compiles for friendly values fails the server as surely as one
// that never compiles. The registry (MLineTable.h) is checked against the sources, so that a
// new builder or named line without its case here is noticed.
#include "common/MQuote.h"
#include "tests/common/MCompile.h"
#include "tests/common/MLineTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

using namespace vorlan::test;

namespace {

// ab"§ÿ and a control character, over and over: a literal broken up by $C(...) at every turn.
std::string LongHostile(size_t n) {
    const std::string cycle = "ab\"\xA7\xFF\x01";
    std::string text;
    while (text.size() < n)
        text += cycle;
    text.resize(n);
    return text;
}

// A letter and a control character by turns: every other byte quoted as $C(...).
std::string LongControls(size_t n) {
    std::string text;
    for (size_t i = 0; i < n; ++i)
        text += i % 2 ? static_cast<char>(1 + i % 31) : 'a';
    return text;
}

const std::vector<LineValue>& Values() {
    static const std::vector<LineValue> values = {
        {"Meier", 1},
        {"M\xFCller-L\xFC"
         "denscheidt, Bad T\xF6lz 12",
         7},
        {"", 0},
        {"\"", -1},
        {"a\"b\"\"c\")) K ^X W \"", 2},
        {"\xFF\xFF", 65535},
        {"\xA7"
         "1\xA7\xA7"
         "2",
         3},
        {std::string("\0\x01\t\r\n\x1b\x7f", 7) + "x", 1000000},
        {std::string(60000, 'x'), 12},
        {LongHostile(60000), 99999},
        {LongControls(20000), 5},
    };
    return values;
}

// A value or a line as a reader can take it in a message: escaped, and cut when long.
std::string Shown(const std::string& text) {
    std::string out;
    for (unsigned char c : text.substr(0, 300)) {
        if (c < 32 || c == 127 || c >= 128) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    if (text.size() > 300) out += "... (" + std::to_string(text.size()) + " bytes)";
    return out;
}

LineTable AllLines() {
    LineTable all;
    for (LineTable (*table)() : {FormLineTable, FrameLineTable, AppLineTable, ServiceLineTable, ToolLineTable,
                                 CardLineTable, ControlLineTable}) {
        LineTable part = table();
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

struct Rendered {
    std::string where; // header, name and value
    std::string line;
};

TEST(MLines, EveryBuilderAndNamedLineCompilesWithOrdinaryAndHostileValues) {
    std::vector<Rendered> rendered;
    for (const HeaderLines& header : AllLines())
        for (const LineCase& c : header.cases) {
            if (!c.lines) continue;
            for (size_t v = 0; v < Values().size(); ++v)
                for (const std::string& line : c.lines(Values()[v]))
                    rendered.push_back({header.header + " " + c.name + " with value " + std::to_string(v) +
                                            " \"" + Shown(Values()[v].text) + "\", " +
                                            std::to_string(Values()[v].number),
                                        line});
        }
    // Each different line once.
    std::map<std::string, size_t> index;
    std::vector<std::string> lines;
    for (const Rendered& r : rendered)
        if (index.emplace(r.line, lines.size()).second) lines.push_back(r.line);
    std::vector<std::string> errors = CompileErrors(lines);
    std::set<std::string> reported;
    for (const Rendered& r : rendered) {
        const std::string& error = errors[index[r.line]];
        // One report for each builder and error, however many values fail alike.
        if (error.empty() || !reported.insert(r.where.substr(0, r.where.find(" with ")) + error).second)
            continue;
        ADD_FAILURE() << r.where << ":\n  " << error << "\n  line: " << Shown(r.line);
    }
    EXPECT_GT(lines.size(), 1000u) << "the tables render their lines";
}

TEST(MLines, TheEngineRefusesWhatTheServerWouldRefuse) {
    const std::string longValue = LongHostile(60000);
    const std::string quoted = vorlan::MQuote(longValue);
    struct Case {
        std::string line;
        bool compiles;
    } cases[] = {
        {"S %TABZ=3", true},
        {"S %%TABZ=3", false},
        {"S X=\"a", false},
        {"W $G(^X(1)", false},
        {"S X=1 ZZZ 2", false},
        {"W $$EXPAND^%kvv(\"VOL\",5) K (%DN,%USER)", true},
        {"U $P:(::::4096) W $ZU(0)", true}, // another M system's words are no syntax errors
        // Long lines: their values shortened, the rest as it is.
        {"S X=" + quoted + ",Y=" + quoted + " W X", true},
        {"S X=" + quoted + " W $G(", false},
        {"S X=\"" + longValue, false},
        {"S X=\"" + std::string(9000, 'a') + "\"\" W 1", false},
        {"S X=\"" + vorlan::MCellLiteralBody(longValue) + "\" W X", true},
        {"I X?1\"" + std::string(9000, 'a') + "\" W 1", true},
        {"S X=" + std::string(9000, '1'), false}, // too long for the engine, whatever it is
    };
    std::vector<std::string> lines;
    for (const Case& c : cases)
        lines.push_back(c.line);
    std::vector<std::string> errors = CompileErrors(lines);
    for (size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(errors[i].empty(), cases[i].compiles) << Shown(lines[i]) << "\n  " << errors[i];
}

// ---- the registry against the sources

const char* const kFolders[] = {"forms", "frame", "app", "services", "tools", "cards", "controls"};

std::string ReadText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::filesystem::path Source(const std::string& relative) {
    return std::filesystem::path(VORLAN_SOURCE_DIR) / relative;
}

bool IsWordChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

// Literal text that starts like a line of M: a command (abbreviated or not), maybe with a
// postcondition, then a blank.
bool LooksLikeMLine(std::string_view text) {
    size_t n = 0;
    if (text.substr(0, 3) == "TRO" || text.substr(0, 3) == "TRE")
        n = 3;
    else if (text.substr(0, 2) == "TC" || text.substr(0, 2) == "TS")
        n = 2;
    else if (!text.empty() && text[0] == 'Z')
        for (n = 1; n < text.size() && std::isupper(static_cast<unsigned char>(text[n]));)
            ++n;
    else if (!text.empty() && std::strchr("BCDEFGHIJKLMNOQRSUWX", text[0]))
        n = 1;
    if (n == 0 || (text[0] == 'Z' && n == 1)) return false;
    if (n < text.size() && text[n] == ':') {
        if (n + 1 >= text.size() || text[n + 1] == ' ' || text[n + 1] == '\\') return false;
        n = text.find(' ', n);
        if (n == std::string_view::npos) return false;
    }
    return n < text.size() && text[n] == ' ';
}

// The string literal starting at `at` (a double quote), its escapes as written; `at` moves past it.
std::string LiteralAt(const std::string& text, size_t& at) {
    std::string body;
    for (++at; at < text.size() && text[at] != '"'; ++at) {
        if (text[at] == '\\' && at + 1 < text.size()) body += text[at++];
        body += text[at];
    }
    ++at;
    return body;
}

// The string literals of a source (character literals, comments and directives left out).
std::vector<std::string> Literals(const std::string& text) {
    std::vector<std::string> found;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') continue;
        for (size_t i = first; i < line.size();) {
            if (line.compare(i, 2, "//") == 0) break;
            if (line[i] == '\'') {
                for (++i; i < line.size() && line[i] != '\''; ++i)
                    if (line[i] == '\\') ++i;
                ++i;
            } else if (line[i] == '"') {
                found.push_back(LiteralAt(line, i));
            } else {
                ++i;
            }
        }
    }
    return found;
}

bool EndsWith(const std::string& s, const char* end) {
    size_t n = std::strlen(end);
    return s.size() >= n && s.compare(s.size() - n, n, end) == 0;
}

// The builders a header declares (free functions named ...Line, ...Lines, ...Set) and the
// named lines (char constants) it or its source defines.
std::set<std::string> DeclaredLines(const std::filesystem::path& header) {
    std::set<std::string> names;
    std::istringstream lines(ReadText(header));
    for (std::string line; std::getline(lines, line);) {
        size_t at = 0;
        for (const char* type : {"std::string ", "std::vector<std::string> "})
            if (line.compare(0, std::strlen(type), type) == 0) at = std::strlen(type);
        if (at == 0) continue;
        size_t end = at;
        while (end < line.size() && IsWordChar(line[end]))
            ++end;
        std::string name = line.substr(at, end - at);
        if (end < line.size() && line[end] == '(' &&
            (EndsWith(name, "Line") || EndsWith(name, "Lines") || EndsWith(name, "Set")))
            names.insert(name);
    }
    std::filesystem::path source = header;
    source.replace_extension(".cpp");
    for (const auto& file : {header, source}) {
        if (!std::filesystem::exists(file)) continue;
        const std::string text = ReadText(file);
        // Each "name = "literal"": a named line when its declaration is of chars.
        for (size_t eq = text.find('='); eq != std::string::npos; eq = text.find('=', eq + 1)) {
            size_t value = text.find_first_not_of(" \t\r\n", eq + 1);
            if (value == std::string::npos || text[value] != '"') continue;
            size_t end = text.find_last_not_of(" \t[]", eq - 1);
            if (end == std::string::npos || !IsWordChar(text[end])) continue;
            size_t begin = end;
            while (begin > 0 && IsWordChar(text[begin - 1]))
                --begin;
            size_t declaration = text.find_last_of(";{}", begin);
            size_t from = declaration == std::string::npos ? 0 : declaration + 1;
            std::string head = text.substr(from, begin - from);
            if (head.find("char") == std::string::npos || head.find("const") == std::string::npos) continue;
            std::string literal;
            for (size_t at = value; at < text.size() && text[at] == '"';
                 at = text.find_first_not_of(" \t\r\n", at))
                literal += LiteralAt(text, at);
            if (LooksLikeMLine(literal)) names.insert(text.substr(begin, end + 1 - begin));
        }
    }
    return names;
}

std::string Unqualified(const std::string& name) {
    size_t colons = name.rfind("::");
    return colons == std::string::npos ? name : name.substr(colons + 2);
}

TEST(MLines, EveryBuilderAndNamedLineOfTheSourcesIsInTheTable) {
    std::map<std::string, std::set<std::string>> table;
    for (const HeaderLines& header : AllLines())
        for (const LineCase& c : header.cases)
            table[header.header].insert(Unqualified(c.name));

    for (const char* folder : kFolders)
        for (const auto& entry : std::filesystem::directory_iterator(Source(folder))) {
            if (entry.path().extension() != ".h") continue;
            const std::string header = std::string(folder) + "/" + entry.path().filename().string();
            for (const std::string& name : DeclaredLines(entry.path()))
                EXPECT_TRUE(table[header].count(name))
                    << name << " of " << header
                    << " has no case in the table of its folder (tests/<folder>/*LineTable.cpp)";
        }

    // And the other way: the table names what is there.
    for (const auto& [header, names] : table) {
        ASSERT_TRUE(std::filesystem::exists(Source(header))) << header;
        std::filesystem::path source = Source(header);
        std::string text = ReadText(source);
        source.replace_extension(".cpp");
        if (std::filesystem::exists(source)) text += ReadText(source);
        std::set<std::string> words;
        for (size_t i = 0; i < text.size();) {
            size_t end = i;
            while (end < text.size() && IsWordChar(text[end]))
                ++end;
            if (end > i) words.insert(text.substr(i, end - i));
            i = end + 1;
        }
        for (const std::string& name : names)
            EXPECT_TRUE(words.count(name)) << name << " is not in " << header;
    }
}

TEST(MLines, WindowCodeBuildsNoLinesOfItsOwn) {
    std::set<std::string> builders;
    for (const HeaderLines& header : AllLines())
        builders.insert(std::filesystem::path(header.header).replace_extension(".cpp").string());
    for (const char* folder : kFolders)
        for (const auto& entry : std::filesystem::directory_iterator(Source(folder))) {
            const std::string file = std::string(folder) + "/" + entry.path().filename().string();
            if (entry.path().extension() != ".cpp" || builders.count(file)) continue;
            for (const std::string& literal : Literals(ReadText(entry.path())))
                EXPECT_FALSE(LooksLikeMLine(literal))
                    << file << " builds the M line \"" << literal << "\": name it beside its window's logic";
        }
}

} // namespace
