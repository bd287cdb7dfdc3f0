#include "tests/common/MCompile.h"

#include "dbserver/Database.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace vorlan::test {

namespace {

constexpr size_t kKeptCharacters = 8;
constexpr size_t kKeptAtoms = 4;

// Each input line is one M line in hexadecimal, each output line "" or the line's error.
// XECUTE compiles its whole text before running any of it, and behind the leading QUIT
// nothing runs: no variable, global or routine of the line is touched.
constexpr char kCheckRoutine[] = R"(MLCHECK ; compiles lines without running them
 N in,out,hex,ctl,i
 S in=$P($ZCMDLINE," ",1),out=$P($ZCMDLINE," ",2),ctl=""
 F i=0:1:31 S ctl=ctl_$C(i)
 O in:(READONLY) O out:(NEWVERSION)
 F  U in R hex Q:$ZEOF  U out W $TR($$CHECK($$UNHEX(hex)),ctl),!
 C in,out
 Q
CHECK(line) N err
 S err="" D TRY(line)
 Q err
TRY(line) N $ET S $ET="S err=$P($ZS,"","",3,99),$EC="""" Q"
 X "Q  "_line
 Q
UNHEX(hex) N i,out S out=""
 F i=1:2:$L(hex) S out=out_$C($F("0123456789ABCDEF",$E(hex,i))-2*16+$F("0123456789ABCDEF",$E(hex,i+1))-2)
 Q out
)";

bool IsDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// The end of the string literal at `at`, or `at` when none ends there (an open one is left
// to the engine as it is).
size_t LiteralEnd(std::string_view s, size_t at) {
    if (s[at] != '"') return at;
    for (size_t i = at + 1; i < s.size(); ++i) {
        if (s[i] != '"') continue;
        if (i + 1 < s.size() && s[i + 1] == '"') {
            ++i;
            continue;
        }
        return i + 1;
    }
    return at;
}

// The end of "$C(" numbers ")" at `at`, or `at`.
size_t CharEnd(std::string_view s, size_t at) {
    if (s.compare(at, 3, "$C(") != 0 ||
        (at > 0 && (s[at - 1] == '$' || std::isalnum(static_cast<unsigned char>(s[at - 1])))))
        return at;
    for (size_t i = at + 3;;) {
        size_t digits = i;
        while (i < s.size() && IsDigit(s[i]))
            ++i;
        if (i == digits || i >= s.size()) return at;
        if (s[i] == ')') return i + 1;
        if (s[i] != ',') return at;
        ++i;
    }
}

size_t AtomEnd(std::string_view s, size_t at) {
    size_t end = LiteralEnd(s, at);
    return end != at ? end : CharEnd(s, at);
}

std::string ShortAtom(std::string_view atom) {
    if (atom[0] != '"') {
        size_t comma = atom.find(',');
        return comma == std::string_view::npos ? std::string(atom) : std::string(atom.substr(0, comma)) + ")";
    }
    std::string out = "\"";
    for (size_t i = 1, kept = 0; i + 1 < atom.size() && kept < kKeptCharacters; ++i, ++kept) {
        out += atom[i];
        if (atom[i] == '"') out += atom[++i];
    }
    return out + "\"";
}

std::string Hex(std::string_view bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A scratch folder, gone with the object.
struct ScratchFolder {
    std::filesystem::path path;
    ScratchFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "mlines.XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("no scratch folder for the engine");
        path = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

// Runs the check routine over `input` into `output`; the engine's own words go to `log`.
void RunEngine(const std::filesystem::path& folder, const std::string& input, const std::string& output,
               const std::string& log) {
    const std::string dist = dbserver::FindGtmDist();
    std::string routines = folder.string();
    if (std::filesystem::exists(dist + "/libgtmutil.so")) routines += " " + dist + "/libgtmutil.so";
    routines += " " + dist;
    // Only the engine's own settings: none of the caller's gtm or ydb variables.
    std::vector<std::string> env = {"gtm_dist=" + dist, "gtmroutines=" + routines, "gtm_chset=M",
                                    "PATH=/usr/bin:/bin"};
    std::vector<char*> envp;
    for (auto& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string program = dist + "/mumps";
    std::vector<std::string> args = {program, "-run", "MLCHECK", input, output};
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    pid_t pid = 0;
    int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) throw std::runtime_error("cannot start " + program);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("the engine failed: " + ReadFile(log));
}

} // namespace

std::string ShortenedForCompile(std::string_view line) {
    if (line.size() <= kCompileLimit) return std::string(line);
    std::string out;
    for (size_t i = 0; i < line.size();) {
        size_t end = AtomEnd(line, i);
        if (end == i) {
            out += line[i++];
            continue;
        }
        for (size_t atoms = 0;; ++atoms) {
            if (atoms < kKeptAtoms) out += (atoms ? "_" : "") + ShortAtom(line.substr(i, end - i));
            i = end;
            if (i >= line.size() || line[i] != '_') break;
            size_t next = AtomEnd(line, i + 1);
            if (next == i + 1) break;
            ++i;
            end = next;
        }
    }
    return out;
}

std::vector<std::string> CompileErrors(const std::vector<std::string>& lines) {
    std::vector<std::string> errors(lines.size());
    ScratchFolder scratch;
    std::ofstream(scratch.path / "MLCHECK.m", std::ios::binary) << kCheckRoutine;
    {
        std::ofstream input(scratch.path / "lines.hex", std::ios::binary);
        for (size_t i = 0; i < lines.size(); ++i) {
            std::string shortened = ShortenedForCompile(lines[i]);
            if (shortened.size() > kCompileLimit) {
                errors[i] = "a line of " + std::to_string(lines[i].size()) +
                            " bytes stays too long for the engine: " + std::to_string(shortened.size());
                shortened.clear();
            }
            input << Hex(shortened) << '\n';
        }
    }
    const auto output = scratch.path / "errors.txt";
    RunEngine(scratch.path, (scratch.path / "lines.hex").string(), output.string(),
              (scratch.path / "engine.log").string());
    std::istringstream answers(ReadFile(output));
    std::string answer;
    size_t n = 0;
    for (; n < lines.size() && std::getline(answers, answer); ++n)
        if (errors[n].empty()) errors[n] = answer;
    if (n != lines.size())
        throw std::runtime_error("the engine answered " + std::to_string(n) + " of " +
                                 std::to_string(lines.size()) +
                                 " lines: " + ReadFile(scratch.path / "engine.log"));
    return errors;
}

} // namespace vorlan::test
