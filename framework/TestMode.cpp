#include "framework/TestMode.h"
#include "framework/Sync.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fstream>

namespace fw {

namespace {

struct State {
    CCriticalSection lock;
    bool on = false;
    std::string dir;
    std::string scratch;
    std::deque<std::string> answers;
    // How far script.txt has been read: a test may add answers while the program runs.
    size_t scriptRead = 0;
    std::vector<ShownItem> shown;
    bool recordCommands = false;
};

State& S() {
    static State s;
    return s;
}

std::vector<std::string> SplitBlanks(const std::string& line) {
    std::vector<std::string> out;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t')
            ++i;
        if (i > start) out.push_back(line.substr(start, i - start));
    }
    return out;
}

int ParseAnswer(const std::string& word, UINT type) {
    static const struct {
        const char* name;
        int value;
    } names[] = {{"IDOK", IDOK},         {"IDCANCEL", IDCANCEL}, {"IDABORT", IDABORT}, {"IDRETRY", IDRETRY},
                 {"IDIGNORE", IDIGNORE}, {"IDYES", IDYES},       {"IDNO", IDNO}};
    for (const auto& n : names)
        if (word == n.name) return n.value;
    if (!word.empty() && (std::isdigit(static_cast<unsigned char>(word[0])) != 0))
        return std::atoi(word.c_str());
    return DefaultMessageBoxAnswer(type);
}

void AppendRecord(const State& s, const ShownItem& item) {
    if (s.dir.empty()) return;
    std::string path = s.dir + "\\shown.txt";
    FILE* f = std::fopen(path.c_str(), "ab");
    if (!f) return;
    std::string line = item.kind + "\t" + std::to_string(item.id) + "\t" + EscapeRecordField(item.caption) +
                       "\t" + EscapeRecordField(item.text) + "\t" + std::to_string(item.answer) + "\n";
    std::fwrite(line.data(), 1, line.size(), f);
    std::fclose(f); // at once: a box may be the last thing before the process ends
}

// The script's complete lines that were added since the last look.
void ReadNewScriptLines(State& s) {
    if (s.dir.empty()) return;
    std::ifstream in(s.dir + "\\script.txt", std::ios::binary);
    if (!in) return;
    in.seekg(0, std::ios::end);
    std::streamoff size = in.tellg();
    if (size < 0 || static_cast<size_t>(size) <= s.scriptRead) return;
    in.seekg(static_cast<std::streamoff>(s.scriptRead));
    std::string text(static_cast<size_t>(size) - s.scriptRead, '\0');
    in.read(&text[0], static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<size_t>(in.gcount()));
    // A line still being written waits for its end; the last line of a file written at once
    // needs none.
    size_t end = text.rfind('\n');
    bool whole = s.scriptRead == 0 && end != text.size() - 1;
    size_t take = whole ? text.size() : end == std::string::npos ? 0 : end + 1;
    s.scriptRead += take;
    size_t at = 0;
    while (at < take) {
        size_t nl = text.find('\n', at);
        if (nl == std::string::npos || nl > take) nl = take;
        std::string line = text.substr(at, nl - at);
        at = nl + 1;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
            line.pop_back();
        if (!line.empty() && line[0] != '#') s.answers.push_back(line);
    }
}

// Takes the first queued answer of the given kind whose second word fits (any, for kinds
// other than "dialog").
template <typename Fits>
bool TakeAnswer(State& s, const char* kind, Fits fits, std::vector<std::string>& words) {
    ReadNewScriptLines(s);
    for (auto it = s.answers.begin(); it != s.answers.end(); ++it) {
        auto w = SplitBlanks(*it);
        if (w.empty() || w[0] != kind) continue;
        if (std::strcmp(kind, "dialog") == 0 && (w.size() < 2 || !fits(w[1]))) continue;
        words = w;
        s.answers.erase(it);
        return true;
    }
    return false;
}

std::string Unblank(std::string t) {
    for (size_t p; (p = t.find("\\s")) != std::string::npos;)
        t.replace(p, 2, " ");
    return t;
}

std::vector<DialogStep> ParseSteps(const std::vector<std::string>& words) {
    std::vector<DialogStep> steps;
    for (size_t i = 2; i < words.size(); ++i) {
        const std::string& w = words[i];
        DialogStep step;
        size_t colon = w.find(':');
        if (colon == std::string::npos || colon == 0) continue;
        if (w.rfind("cmd:", 0) == 0) {
            step.kind = DialogStep::Command;
            step.control = ParseAnswer(w.substr(4), MB_OK);
        } else if (w.rfind("set:", 0) == 0) {
            size_t eq = w.find('=');
            if (eq == std::string::npos) continue;
            step.kind = DialogStep::SetText;
            step.control = std::atoi(w.substr(4, eq - 4).c_str());
            step.text = Unblank(w.substr(eq + 1));
        } else {
            step.kind = DialogStep::Verb;
            step.verb = w.substr(0, colon);
            step.text = Unblank(w.substr(colon + 1));
        }
        steps.push_back(step);
    }
    return steps;
}

std::string SanitizeKeyName(const std::string& name) {
    std::string out;
    for (char c : name)
        out += (std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.') ? c : '_';
    return out.empty() ? std::string("default") : out;
}

} // namespace

bool IsTestModeSwitch(const char* word) {
    return (word[0] == '-' || word[0] == '/') && ::lstrcmpiA(word + 1, "testmode") == 0;
}

int DefaultMessageBoxAnswer(UINT type) {
    static const int buttons[][3] = {
        {IDOK, 0, 0},     {IDOK, IDCANCEL, 0},    {IDABORT, IDRETRY, IDIGNORE}, {IDYES, IDNO, IDCANCEL},
        {IDYES, IDNO, 0}, {IDRETRY, IDCANCEL, 0},
    };
    UINT set = type & MB_TYPEMASK;
    if (set >= sizeof(buttons) / sizeof(buttons[0])) return IDOK;
    UINT def = (type & MB_DEFMASK) >> 8;
    if (def > 2 || buttons[set][def] == 0) def = 0;
    return buttons[set][def];
}

std::string EscapeRecordField(const std::string& s) {
    std::string out;
    for (char c : s) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default: out += c;
        }
    }
    return out;
}

std::string UnescapeRecordField(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\' || i + 1 == s.size()) {
            out += s[i];
            continue;
        }
        char n = s[++i];
        out += n == 'n' ? '\n' : n == 'r' ? '\r' : n == 't' ? '\t' : n;
    }
    return out;
}

bool ParseShownLine(const std::string& line, ShownItem& out) {
    std::vector<std::string> f;
    size_t start = 0;
    for (;;) {
        size_t tab = line.find('\t', start);
        f.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos) break;
        start = tab + 1;
    }
    if (f.size() != 5) return false;
    out.kind = f[0];
    out.id = std::atoi(f[1].c_str());
    out.caption = UnescapeRecordField(f[2]);
    out.text = UnescapeRecordField(f[3]);
    out.answer = std::atoi(f[4].c_str());
    return true;
}

bool TestMode::IsOn() {
    CSingleLock lock(S().lock);
    return S().on;
}

void TestMode::Enable(const std::string& dir, const std::string& scratchName) {
    State& s = S();
    CSingleLock lock(s.lock);
    s.on = true;
    s.dir = dir;
    s.scratch = ScratchKeyFor(scratchName.empty() ? dir : scratchName);
    s.answers.clear();
    s.shown.clear();
    s.scriptRead = 0;
    ReadNewScriptLines(s);
}

bool TestMode::EnableFromEnvironment(int argc, char** argv) {
    for (int i = 1; i + 1 < argc; ++i) {
        if (IsTestModeSwitch(argv[i])) {
            Enable(argv[i + 1], "");
            return true;
        }
    }
    const char* env = std::getenv("FWTEST_DIR");
    if (env && *env) {
        Enable(env, "");
        return true;
    }
    return IsOn();
}

void TestMode::Disable() {
    CSingleLock lock(S().lock);
    S().on = false;
    S().answers.clear();
}

void TestMode::PushAnswer(const std::string& scriptLine) {
    CSingleLock lock(S().lock);
    S().answers.push_back(scriptLine);
}

std::vector<ShownItem> TestMode::Shown() {
    CSingleLock lock(S().lock);
    return S().shown;
}

void TestMode::ClearShown() {
    CSingleLock lock(S().lock);
    S().shown.clear();
}

std::string TestMode::ScratchKey() {
    CSingleLock lock(S().lock);
    return S().scratch;
}

std::string TestMode::ScratchKeyFor(const std::string& dir) {
    return "Software\\FwTest\\" + SanitizeKeyName(dir);
}

std::string TestMode::Dir() {
    CSingleLock lock(S().lock);
    return S().dir;
}

int TestMode::AnswerMessageBox(const char* text, const char* caption, UINT type) {
    State& s = S();
    CSingleLock lock(s.lock);
    std::vector<std::string> words;
    int answer = DefaultMessageBoxAnswer(type);
    if (TakeAnswer(
            s, "box", [](const std::string&) { return true; }, words) &&
        words.size() > 1)
        answer = ParseAnswer(words[1], type);
    RecordItem(ShownItem{"box", static_cast<int>(type), caption ? caption : "", text ? text : "", answer});
    return answer;
}

std::vector<DialogStep> TestMode::DialogScript(int templateId) {
    State& s = S();
    CSingleLock lock(s.lock);
    std::vector<std::string> words;
    auto fits = [templateId](const std::string& w) {
        return w == "*" ||
               (std::isdigit(static_cast<unsigned char>(w[0])) != 0 && std::atoi(w.c_str()) == templateId);
    };
    if (!TakeAnswer(s, "dialog", fits, words)) return {};
    return ParseSteps(words);
}

std::vector<DialogStep> TestMode::DialogScript(const std::string& name) {
    State& s = S();
    CSingleLock lock(s.lock);
    std::vector<std::string> words;
    if (!TakeAnswer(
            s, "dialog", [&name](const std::string& w) { return w == name; }, words))
        return {};
    return ParseSteps(words);
}

void TestMode::RecordDialog(int templateId, const std::string& title, const std::string& texts, int result) {
    RecordItem(ShownItem{"dialog", templateId, title, texts, result});
}

void TestMode::RecordItem(const ShownItem& item) {
    State& s = S();
    CSingleLock lock(s.lock);
    s.shown.push_back(item);
    AppendRecord(s, item);
}

void TestMode::RecordCommands(bool on) {
    State& s = S();
    CSingleLock lock(s.lock);
    s.recordCommands = on;
}

void TestMode::RecordCommand(unsigned id, bool ran) {
    {
        State& s = S();
        CSingleLock lock(s.lock);
        if (!s.on || !s.recordCommands) return;
    }
    RecordItem(ShownItem{"command", static_cast<int>(id), "", "", ran ? 1 : 0});
}

void TestMode::ClearScratchKey() {
    std::string key = ScratchKey();
    if (!key.empty()) ::RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str());
}

} // namespace fw
