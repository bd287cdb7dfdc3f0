#include "dbserver/Database.h"

#include "common/MQuote.h"
#include "dbserver/Embedded.h"
#include "dbserver/Process.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <glob.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace vorlan::dbserver {

namespace {

const char kConfName[] = "dbserver.conf";

std::string Upper(std::string_view s) {
    std::string out(s);
    for (auto& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

bool IsFile(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw DatabaseError("cannot read " + path);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const std::string& path, std::string_view data) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
    if (!out.flush()) throw DatabaseError("cannot write " + path);
}

void MakeDir(const std::string& path) {
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        std::string part = path.substr(0, slash);
        if (mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) throw DatabaseError("cannot create " + part);
        if (slash == std::string::npos) return;
    }
}

std::string AbsoluteDir(const std::string& dir) {
    MakeDir(dir);
    char buf[PATH_MAX];
    if (!realpath(dir.c_str(), buf)) throw DatabaseError("cannot resolve " + dir);
    std::string abs = buf;
    // gtmroutines separates its directories with spaces, and GT.M takes no quoting there.
    if (abs.find_first_of(" \t\"") != std::string::npos)
        throw DatabaseError("the database path must not contain spaces or quotes: " + abs);
    return abs;
}

void Run(const std::vector<std::string>& argv, const std::string& input, const std::string& cwd,
         const char* what) {
    ProcessResult r = RunProcess(argv, input, cwd);
    if (r.status != 0) throw DatabaseError(std::string(what) + " failed:\n" + r.output);
}

// Every region holds records up to GT.M's largest string, so any value the client sends fits.
std::string GdeScript(const std::string& dir, bool withSystemRegion) {
    const std::string sizes = " -record_size=1048576 -key_size=1019\n";
    // GDE takes the rest of the line for the file name.
    const std::string space = " -allocation=1000 -extension_count=1000 -file_name=";
    std::string s;
    if (withSystemRegion) {
        s += "change -segment DEFAULT" + space + dir + "/VOR.dat\n";
        s += "change -region DEFAULT" + sizes;
        // %-globals (^%CONTROL and the like) are the system's, whichever namespace names them.
        s += "add -segment SYS" + space + dir + "/SYS.dat\n";
        s += "add -region SYS -dynamic_segment=SYS" + sizes;
        s += "add -name %* -region=SYS\n";
    } else {
        s += "change -segment DEFAULT" + space + dir + "/SYS.dat\n";
        s += "change -region DEFAULT" + sizes;
    }
    return s + "exit\n";
}

const char kCallInTable[] = "put: void PUT^%DBSRV(I:gtm_string_t*)\n"
                            "xec: void XEC^%DBSRV()\n"
                            "eval: gtm_string_t* EVAL^%DBSRV()\n"
                            "start: void START^%DBSRV(I:gtm_string_t*,I:gtm_string_t*)\n"
                            "reset: void RESET^%DBSRV()\n";

const char kConfText[] = "# dbserver namespaces: UCI VOL global-directory [default|system]\n"
                         "VOR DBK VOR.gld default\n"
                         "SYS DBK SYS.gld system\n";

} // namespace

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
            throw DatabaseError(dir + "/" + kConfName + " line " + std::to_string(number) +
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
        throw DatabaseError(dir + "/" + kConfName + ": needs a default and a system namespace");
    return db;
}

Database Database::Open(const std::string& dir) {
    std::string abs = AbsoluteDir(dir);
    std::string conf = abs + "/" + kConfName;
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

void InitDatabase(const std::string& dirArg) {
    const std::string dir = AbsoluteDir(dirArg);
    if (IsFile(dir + "/" + kConfName)) throw DatabaseError(dir + " already holds a database");
    MakeDir(dir + "/r");

    std::vector<std::string> routines;
    for (size_t i = 0; i < kEmbeddedFileCount; ++i) {
        const auto& f = kEmbeddedFiles[i];
        std::string name = f.name;
        bool routine = name.size() > 2 && name.compare(name.size() - 2, 2, ".m") == 0;
        WriteFile((routine ? dir + "/r/" : dir + "/") + name, std::string_view(f.data, f.size));
        if (routine) routines.push_back(name);
    }
    WriteFile(dir + "/dbserver.ci", kCallInTable);
    WriteFile(dir + "/" + kConfName, kConfText);

    Database db = Database::Open(dir);
    const std::string gtm = FindGtmDist();
    SetGtmEnvironment(gtm, db);

    const Namespace& sys = db.System();
    const Namespace& def = db.Default();
    setenv("gtmgbldir", sys.gld.c_str(), 1);
    Run({gtm + "/mumps", "-run", "GDE"}, GdeScript(dir, false), dir, "GDE (system namespace)");
    Run({gtm + "/mupip", "create"}, "", dir, "mupip create (system namespace)");
    setenv("gtmgbldir", def.gld.c_str(), 1);
    Run({gtm + "/mumps", "-run", "GDE"}, GdeScript(dir, true), dir, "GDE (default namespace)");
    Run({gtm + "/mupip", "create", "-region=DEFAULT"}, "", dir, "mupip create (default namespace)");

    std::vector<std::string> compile{gtm + "/mumps"};
    compile.insert(compile.end(), routines.begin(), routines.end());
    Run(compile, "", dir + "/r", "compiling the routines");

    const std::string load =
        "S %SYS=" + MQuote(sys.gld) + " D LOAD^%DBSRV(" + MQuote(dir + "/globals.zwr") + ")";
    ProcessResult r = RunProcess({gtm + "/mumps", "-run", "%XCMD", load}, "", dir);
    if (r.status != 0 || !r.output.empty()) throw DatabaseError("loading globals.zwr failed:\n" + r.output);
}

} // namespace vorlan::dbserver
