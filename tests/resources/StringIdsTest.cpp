// Within one language library every string id has one text: the resource compiler keeps only
// one of two, and the other window shows the wrong words.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

namespace {

const std::filesystem::path kResources = std::filesystem::path(VORLAN_SOURCE_DIR) / "resources";

std::string Read(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::map<std::string, long> Defines() {
    std::map<std::string, long> ids;
    std::regex define(R"(^#define\s+(\w+)\s+(\d+)\s*$)");
    for (const auto& entry : std::filesystem::directory_iterator(kResources)) {
        if (entry.path().extension() != ".h") continue;
        std::istringstream lines(Read(entry.path()));
        std::smatch m;
        for (std::string line; std::getline(lines, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (std::regex_match(line, m, define)) ids.emplace(m[1], std::stol(m[2]));
        }
    }
    return ids;
}

// id -> the names and texts of the string tables of one library.
std::map<long, std::set<std::string>> StringTexts(const std::string& library,
                                                  const std::map<std::string, long>& defines) {
    std::vector<std::string> files = {library};
    std::regex include(R"re(#include "resources/(\w+\.rc)")re");
    std::string top = Read(kResources / library);
    for (std::sregex_iterator it(top.begin(), top.end(), include), end; it != end; ++it)
        files.push_back((*it)[1]);
    std::map<long, std::set<std::string>> texts;
    std::regex entry(R"re(^\s*(\w+)\s*,?\s*"((?:[^"]|"")*)")re");
    for (const auto& file : files) {
        std::istringstream lines(Read(kResources / file));
        bool inTable = false;
        std::smatch m;
        for (std::string line; std::getline(lines, line);) {
            if (line.rfind("STRINGTABLE", 0) == 0) inTable = true;
            else if (inTable && (line == "END" || line == "}" || line == "END\r" || line == "}\r"))
                inTable = false;
            else if (inTable && std::regex_search(line, m, entry)) {
                std::string name = m[1];
                long id = std::isdigit(static_cast<unsigned char>(name[0])) ? std::stol(name) : -1;
                if (auto d = defines.find(name); d != defines.end()) id = d->second;
                if (id >= 0) texts[id].insert(file + ": " + name + " \"" + m[2].str() + "\"");
            }
        }
    }
    return texts;
}

} // namespace

TEST(StringIds, EveryIdHasOneTextWithinALibrary) {
    auto defines = Defines();
    ASSERT_GT(defines.size(), 100u);
    for (const char* library : {"VORLAND.rc", "VORLANE.rc"}) {
        auto texts = StringTexts(library, defines);
        EXPECT_GT(texts.size(), 100u) << library;
        for (const auto& [id, seen] : texts) {
            if (seen.size() < 2) continue;
            std::string all;
            for (const auto& s : seen) all += "\n  " + s;
            ADD_FAILURE() << library << ": id " << id << " has " << seen.size() << " texts:" << all;
        }
    }
}
