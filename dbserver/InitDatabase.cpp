#include "dbserver/Database.h"

#include "common/MQuote.h"
#include "dbserver/Embedded.h"
#include "dbserver/Process.h"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <sys/stat.h>

namespace vorlan::dbserver {

namespace {

bool EndsWith(const std::string& s, const char* tail) {
    const std::string t(tail);
    return s.size() > t.size() && s.compare(s.size() - t.size(), t.size(), t) == 0;
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

void Run(const std::vector<std::string>& argv, const std::string& input, const std::string& cwd,
         const char* what) {
    ProcessResult r = RunProcess(argv, input, cwd);
    if (r.status != 0) throw DatabaseError(std::string(what) + " failed:\n" + r.output);
}

// Every region holds records up to GT.M's largest string, so any value the client sends fits.
// An application namespace keeps its globals in NS.dat, except those that are the whole
// system's whichever namespace names them: %-globals (^%CONTROL), the users, the modules and
// the trace of the demo's routines and its card screen's record, which live in SYS.dat.
std::string GdeScript(const std::string& dir, const std::string& appNamespace) {
    const std::string sizes = " -record_size=1048576 -key_size=1019\n";
    // GDE takes the rest of the line for the file name.
    const std::string space = " -allocation=1000 -extension_count=1000 -file_name=";
    std::string s;
    if (!appNamespace.empty()) {
        s += "change -segment DEFAULT" + space + dir + "/" + appNamespace + ".dat\n";
        s += "change -region DEFAULT" + sizes;
        s += "add -segment SYS" + space + dir + "/SYS.dat\n";
        s += "add -region SYS -dynamic_segment=SYS" + sizes;
        for (const char* name : {"%*", "MV", "QUSR", "ZTRACE", "ZCARD"})
            s += std::string("add -name ") + name + " -region=SYS\n";
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
                         "ABR DBK ABR.gld\n"
                         "SYS DBK SYS.gld system\n";

} // namespace

void InitDatabase(const std::string& dirArg) {
    MakeDir(dirArg);
    const std::string dir = AbsoluteDir(dirArg);
    if (IsFile(dir + "/" + kConfFile)) throw DatabaseError(dir + " already holds a database");
    MakeDir(dir + "/r");
    MakeDir(dir + "/formulare");

    std::vector<std::string> routines, globals;
    for (size_t i = 0; i < kEmbeddedFileCount; ++i) {
        const auto& f = kEmbeddedFiles[i];
        std::string name = f.name;
        bool routine = EndsWith(name, ".m");
        // The form templates are read by the client, from the folder the demo names.
        bool form = EndsWith(name, ".rtf");
        WriteFile((routine ? dir + "/r/" : form ? dir + "/formulare/" : dir + "/") + name,
                  std::string_view(f.data, f.size));
        if (routine) routines.push_back(name);
        else if (EndsWith(name, ".zwr")) globals.push_back(name);
    }
    // globals.zwr lays the ground (users, menu, namespaces); each screen group's file adds to it.
    std::sort(globals.begin(), globals.end(), [](const std::string& a, const std::string& b) {
        return (a == "globals.zwr") != (b == "globals.zwr") ? a == "globals.zwr" : a < b;
    });
    WriteFile(dir + "/dbserver.ci", kCallInTable);
    WriteFile(dir + "/" + kConfFile, kConfText);

    Database db = Database::Open(dir);
    const std::string gtm = FindGtmDist();
    SetGtmEnvironment(gtm, db);

    // Extended references name a namespace by its global directory ("^[\"ABR\"]X" is ./ABR.gld):
    // every application namespace's file is named after it.
    const Namespace& sys = db.System();
    setenv("gtmgbldir", sys.gld.c_str(), 1);
    Run({gtm + "/mumps", "-run", "GDE"}, GdeScript(dir, ""), dir, "GDE (system namespace)");
    Run({gtm + "/mupip", "create"}, "", dir, "mupip create (system namespace)");
    for (const char* app : {"VOR", "ABR"}) {
        const Namespace* ns = db.Find(app, "");
        setenv("gtmgbldir", ns->gld.c_str(), 1);
        Run({gtm + "/mumps", "-run", "GDE"}, GdeScript(dir, app), dir, "GDE (application namespace)");
        Run({gtm + "/mupip", "create", "-region=DEFAULT"}, "", dir, "mupip create (application namespace)");
    }
    setenv("gtmgbldir", db.Default().gld.c_str(), 1);

    std::vector<std::string> compile{gtm + "/mumps"};
    compile.insert(compile.end(), routines.begin(), routines.end());
    Run(compile, "", dir + "/r", "compiling the routines");

    for (const std::string& name : globals) {
        const std::string load = "S %SYS=" + MQuote(sys.gld) + " D LOAD^%DBSRV(" + MQuote(dir + "/" + name) + ")";
        ProcessResult r = RunProcess({gtm + "/mumps", "-run", "%XCMD", load}, "", dir);
        if (r.status != 0 || !r.output.empty()) throw DatabaseError("loading " + name + " failed:\n" + r.output);
    }

    // The demo administrator's Word forms are the templates in formulare/, named as the client
    // on this machine names that folder: Wine's drive Z: and backslashes.
    std::string forms = "Z:" + dir + "/formulare/";
    std::replace(forms.begin(), forms.end(), '/', '\\');
    const std::string wordPath =
        "S %SYS=" + MQuote(sys.gld) + ",^[%SYS]EXTRAS(\"admin\",\"WORDPATH\")=" + MQuote(forms);
    ProcessResult r = RunProcess({gtm + "/mumps", "-run", "%XCMD", wordPath}, "", dir);
    if (r.status != 0 || !r.output.empty())
        throw DatabaseError("setting the Word forms folder failed:\n" + r.output);
}

} // namespace vorlan::dbserver
