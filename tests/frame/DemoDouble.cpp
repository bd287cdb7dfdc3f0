#include "tests/frame/DemoDouble.h"

#include <algorithm>
#include <cstdlib>

namespace {

bool StartsWith(const std::string& s, const std::string& prefix) {
    return s.compare(0, prefix.size(), prefix) == 0;
}

// The quoted M literals of a line, in order ("" doubled inside).
std::vector<std::string> Literals(const std::string& line) {
    std::vector<std::string> out;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] != '"') continue;
        std::string v;
        for (++i; i < line.size(); ++i) {
            if (line[i] == '"') {
                if (i + 1 < line.size() && line[i + 1] == '"') {
                    v += '"';
                    ++i;
                    continue;
                }
                break;
            }
            v += line[i];
        }
        out.push_back(v);
    }
    return out;
}

} // namespace

bool DemoDouble::Saw(const std::string& line) const {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

int DemoDouble::Count(const std::string& prefix) const {
    return static_cast<int>(std::count_if(lines.begin(), lines.end(),
                                          [&](const std::string& l) { return StartsWith(l, prefix); }));
}

std::string DemoDouble::Answer(const std::string& line) {
    lines.push_back(line);
    auto lit = Literals(line);
    if (line == "W $JOB") return "4711";
    if (line == "W $G(^QSYS(\"QREL\"))") return release;
    if (line == "W $D(^MV(\"MP\"))") return modules.empty() ? "0" : "10";
    if (StartsWith(line, "W $$LOGIN^QCC(") && lit.size() >= 2) {
        auto it = users.find(lit[0]);
        if (it == users.end() || it->second.password != lit[1]) return "";
        user = lit[0];
        group = it->second.group;
        return user;
    }
    if (line == "S %QCC=\"\"") {
        m_module = m_client = m_year = 0;
        return "";
    }
    if (line == "S %AP=\"\"") {
        m_workplace = 0;
        return "";
    }
    if (line == "S %QCC=$O(^MV(\"MP\",%QCC)) W:%QCC'=\"\" ^MV(\"MP\",%QCC)")
        return m_module < modules.size() ? modules[m_module++] : "";
    if (StartsWith(line, "W:$D(^[") && lit.size() >= 2)
        return moduleOnlyForDevelopers.count(lit[0]) && group != 999 ? "" : "1";
    if (line == "W $G(^MV(%USER,\"MP\"))") return storedModule;
    if (line == "W $$INIT^QCC()") return initAnswer;
    if (StartsWith(line, "S %H=$H,%EG=\"\" D ^QDT")) return currentYear;
    if (line == "S %AP=$O(^Z(\"BDR\",%AP)) W %AP")
        return m_workplace < workplaces.size() ? workplaces[m_workplace++] : "";
    if (StartsWith(line, "S %QCC=$O(^QTEMP(%JOB,\"MI\",%QCC))")) {
        if (m_client >= clients.size()) return "";
        m_lastClientNumber = clients[m_client].first;
        return clients[m_client++].second;
    }
    if (line == "W %QCC") return m_lastClientNumber;
    if (StartsWith(line, "S %QCC=$O(^QTEMP(%JOB,\"WJ\",") && lit.size() >= 2) {
        if (lit[1] != m_yearClient) {
            m_yearClient = lit[1];
            m_year = 0;
        }
        const auto& list = years[lit[1]];
        return m_year < list.size() ? list[m_year++] : "";
    }
    if (line == "W $G(%USER)") return user;
    if (line == "W $G(%AP)") return "EMPFANG";
    if (line == "W:$G(%BG)=999 1") return group == 999 ? "1" : "";
    if (line == "W:$G(%BG)>997 1") return group > 997 ? "1" : "";
    if (line == "W $$INIMNU^QCC()") return "Hauptmen\xFC";
    if (line == "W $G(%MEMO)") return memo;
    if (StartsWith(line, "W $G(^QSYS(\"WEB\",") && lit.size() >= 2) {
        auto it = webEntries.find(lit[1]);
        return it == webEntries.end() ? "" : it->second;
    }
    if (StartsWith(line, "W $$SELECTM^QCC(\"") && !lit.empty()) {
        auto it = memos.find(lit[0]);
        memo = lit[0];
        return it == memos.end() ? "" : it->second;
    }
    if (StartsWith(line, "W $$SELECTM^QCC(")) {
        int number = std::atoi(line.c_str() + 16);
        if (number == 7) return "7\xA7PAT\xA7Patient\xA7PATIENT\xA7";
        if (number == 8) return "8\xA7X\xA7Routine\xA7^XY\xA7";
        return "";
    }
    if (StartsWith(line, "S DN=")) {
        dn = lit.empty() ? "" : lit.back();
        return "";
    }
    if (line == "W $G(%DN)") return dn;
    // Every screen of the double has one text field and no fatal error.
    if (line == "W:'$D(%FF) 1") return "1";
    if (line == "W $G(%TITLE)") {
        auto it = titles.find(dn);
        return it == titles.end() ? "" : it->second;
    }
    if (StartsWith(line, "W $$MAX^QCC(")) return "1";
    if (StartsWith(line, "W $$EDIT^QCC("))
        return "10\xA7"
               "5\xA7"
               "20\xA7"
               "Feld\xA7\xA7"
               "1\xA7"
               "1";
    if (StartsWith(line, "F %QCC=1:1:"))
        return "0\xA7"
               "0\xA7";
    if (StartsWith(line, "W $G(^QM(") && lit.size() == 1) {
        auto it = titles.find(lit[0]);
        return it == titles.end() ? "" : it->second;
    }
    if (StartsWith(line, "W $G(^QM(") && lit.size() >= 2 && lit[1] == "KARTEI") {
        int n = std::atoi(line.c_str() + line.rfind(',') + 1);
        auto it = tabs.find(lit[0]);
        if (it == tabs.end() || n < 1 || n > static_cast<int>(it->second.size())) return "";
        return it->second[static_cast<size_t>(n - 1)];
    }
    if (StartsWith(line, "W $G(^QM(") && lit.size() >= 2 && lit[1] == "INIT") {
        auto it = initCodes.find(lit[0]);
        return it == initCodes.end() ? "" : it->second;
    }
    if (StartsWith(line, "W $D(^ZM(") && lit.size() >= 3) return hiddenTabs.count(lit[2]) ? "1" : "0";
    if (StartsWith(line, "K %F,%INF D PRGINIT^QCC(") && !lit.empty()) {
        std::string code = lit[0];
        if (code.find("%NOKILL") != std::string::npos) noKill = "Bitte erst speichern.";
        return !refusingInit.empty() && code == refusingInit ? "Kein Zugriff auf diese Maske." : "!";
    }
    if (line == "W $G(%NOKILL)") return noKill;
    if (line == "W $$UCI1^QUCI()") return "PRAXIS";
    if (line == "W $G(%LAN)") return language;
    if (StartsWith(line, "W $G(^Z(\"MEMOHIST\",%USER,")) {
        size_t n = static_cast<size_t>(std::atoi(line.c_str() + line.find("%USER,") + 6));
        return n < memoHistory.size() ? memoHistory[n] : "";
    }
    if (StartsWith(line, "S ^Z(\"MEMOHIST\",%USER,") && !lit.empty()) {
        size_t n = static_cast<size_t>(std::atoi(line.c_str() + line.find("%USER,") + 6));
        if (memoHistory.size() <= n) memoHistory.resize(n + 1);
        memoHistory[n] = lit.back();
        return "";
    }
    if (line == "W $$SPACETST^QCC()") return spaceTest;
    if (line == "W $$SPACE^QCC()") return space;
    if (line == "W $$TIP^QCC(5)") return "Tipp " + std::to_string(++tipAsked) + "\nSuchen nach Namen";
    return "";
}
