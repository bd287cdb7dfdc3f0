#pragma once
// A dbserver database directory: its namespaces (UCI and volume to a GT.M global directory),
// the routines of the application, and the GT.M environment that its jobs run in.
//
// Layout of DIR:
//   dbserver.conf   one namespace per line: UCI VOL GLD [default|system]
//   dbserver.ci     the call-in table of the server's M routine %DBSRV
//   *.gld, *.dat    global directories and database files
//   r/              routines (sources and objects)
//   globals.zwr     the initial globals that "dbserver init" loaded

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vorlan::dbserver {

inline constexpr char kConfFile[] = "dbserver.conf";

struct DatabaseError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Namespace {
    std::string uci; // upper case, as the client sends it
    std::string vol;
    std::string gld; // absolute path of the global directory
};

class Database {
  public:
    // Reads DIR/dbserver.conf; throws DatabaseError.
    static Database Open(const std::string& dir);

    // The namespace of a login or an extended reference: an empty UCI is the default
    // namespace; a given VOL must be the namespace's. Null when there is none.
    const Namespace* Find(std::string_view uci, std::string_view vol) const;
    const Namespace& Default() const { return m_namespaces[m_default]; }
    const Namespace& System() const { return m_namespaces[m_system]; }

    const std::string& Dir() const { return m_dir; }
    std::string RoutineDir() const { return m_dir + "/r"; }
    std::string CallInTable() const { return m_dir + "/dbserver.ci"; }

    // Parses the text of dbserver.conf (exposed for tests).
    static Database Parse(const std::string& dir, std::string_view text);

  private:
    std::string m_dir;
    std::vector<Namespace> m_namespaces;
    size_t m_default = 0;
    size_t m_system = 0;
};

// True when `path` names a regular file.
bool IsFile(const std::string& path);

// The absolute path of an existing directory; GT.M needs it free of spaces and quotes.
// Throws DatabaseError.
std::string AbsoluteDir(const std::string& dir);

// The GT.M installation: $gtm_dist when it holds libgtmshr.so, else the newest fis-gtm
// version in the usual Debian and /opt places. Throws DatabaseError.
std::string FindGtmDist();

// Makes this process's environment the one GT.M jobs of `db` need (gtm_dist, gtmgbldir,
// gtm_chset=M, gtmroutines, GTMCI), dropping any other gtm or ydb settings of the caller.
void SetGtmEnvironment(const std::string& gtmDist, const Database& db);

// "dbserver init DIR": a fresh database with the namespaces VOR (default) and SYS (%SYS),
// the server's and the demo application's routines compiled and the demo globals loaded.
void InitDatabase(const std::string& dir);

} // namespace vorlan::dbserver
