#include "dbserver/Database.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <glob.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace vorlan::dbserver {

namespace {

std::string Upper(std::string_view s) {
    std::string out(s);
    for (auto& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw DatabaseError("cannot read " + path);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace

bool IsFile(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string AbsoluteDir(const std::string& dir) {
    char buf[PATH_MAX];
    if (!realpath(dir.c_str(), buf)) throw DatabaseError("no such directory: " + dir);
    std::string abs = buf;
    // gtmroutines separates its directories with spaces, and GT.M takes no quoting there.
    if (abs.find_first_of(" \t\"") != std::string::npos)
        throw DatabaseError("the database path must not contain spaces or quotes: " + abs);
    return abs;
}

Database Database::Parse(const std::string& dir, std::string_view text) {
    Database db;
    db.m_dir = dir;
    bool haveDefault = false, haveSystem = false;
    std::istringstream in{std::string(text)};
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        std::istringstream words(line);
        std::string uci, vol, gld, flag, extra;
        if (!(words >> uci) || uci[0] == '#') continue;
        if (!(words >> vol >> gld) || (words >> flag && words >> extra) ||
            (!flag.empty() && flag != "default" && flag != "system"))
            throw DatabaseError(dir + "/" + kConfFile + " line " + std::to_string(number) +
                                ": expected UCI VOL GLD [default|system]");
        if (gld[0] != '/') gld = dir + "/" + gld;
        if (flag == "default") {
            db.m_default = db.m_namespaces.size();
            haveDefault = true;
        } else if (flag == "system") {
            db.m_system = db.m_namespaces.size();
            haveSystem = true;
        }
        db.m_namespaces.push_back({Upper(uci), Upper(vol), gld});
    }
    if (!haveDefault || !haveSystem)
        throw DatabaseError(dir + "/" + kConfFile + ": needs a default and a system namespace");
    return db;
}

Database Database::Open(const std::string& dir) {
    std::string abs = AbsoluteDir(dir);
    std::string conf = abs + "/" + kConfFile;
    if (!IsFile(conf)) throw DatabaseError(abs + " is not a dbserver database (run dbserver init)");
    return Parse(abs, ReadFile(conf));
}

const Namespace* Database::Find(std::string_view uci, std::string_view vol) const {
    const Namespace* ns = nullptr;
    if (uci.empty()) {
        ns = &Default();
    } else {
        std::string u = Upper(uci);
        for (const auto& n : m_namespaces)
            if (n.uci == u) ns = &n;
    }
    if (ns && !vol.empty() && Upper(vol) != ns->vol) return nullptr;
    return ns;
}

std::string FindGtmDist() {
    if (const char* env = std::getenv("gtm_dist"); env && IsFile(std::string(env) + "/libgtmshr.so"))
        return env;
    std::vector<std::string> found;
    for (const char* pattern : {"/usr/lib/x86_64-linux-gnu/fis-gtm/*/libgtmshr.so",
                                "/usr/lib/*/fis-gtm/*/libgtmshr.so", "/usr/lib/fis-gtm/*/libgtmshr.so",
                                "/usr/local/lib/fis-gtm/*/libgtmshr.so", "/opt/fis-gtm/*/libgtmshr.so"}) {
        glob_t g{};
        if (glob(pattern, 0, nullptr, &g) == 0)
            for (size_t i = 0; i < g.gl_pathc; ++i)
                found.emplace_back(g.gl_pathv[i]);
        globfree(&g);
    }
    if (found.empty()) throw DatabaseError("GT.M not found (install fis-gtm or set gtm_dist)");
    std::string newest = *std::max_element(found.begin(), found.end());
    return newest.substr(0, newest.rfind('/'));
}

void SetGtmEnvironment(const std::string& gtmDist, const Database& db) {
    std::vector<std::string> drop;
    for (char** e = environ; *e; ++e) {
        std::string_view var(*e);
        std::string name(var.substr(0, var.find('=')));
        std::string lower = name;
        for (auto& c : lower)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (lower.rfind("gtm", 0) == 0 || lower.rfind("ydb", 0) == 0) drop.push_back(name);
    }
    for (const auto& name : drop)
        unsetenv(name.c_str());
    std::string routines = db.RoutineDir();
    if (IsFile(gtmDist + "/libgtmutil.so")) routines += " " + gtmDist + "/libgtmutil.so";
    routines += " " + gtmDist;
    setenv("gtm_dist", gtmDist.c_str(), 1);
    setenv("gtmgbldir", db.Default().gld.c_str(), 1);
    setenv("gtm_chset", "M", 1);
    setenv("gtmroutines", routines.c_str(), 1);
    setenv("GTMCI", db.CallInTable().c_str(), 1);
}

} // namespace vorlan::dbserver
