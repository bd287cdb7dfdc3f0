#include "tests/services/FormularFake.h"

#include "tests/common/MLiteral.h"

#include <cstdlib>

namespace vorlan::test {

namespace {

bool IsCanonicalNumber(const std::string& s) {
    if (s.empty() || s.size() > 15) return false;
    if (s == "0") return true;
    if (s[0] < '1' || s[0] > '9') return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

bool StartsWith(const std::string& s, const std::string& p) {
    return s.compare(0, p.size(), p) == 0;
}

// The M expressions of a comma-separated list, split outside literals and parentheses.
std::vector<std::string> Arguments(const std::string& text) {
    std::vector<std::string> out(1);
    int depth = 0;
    bool quoted = false;
    for (char c : text) {
        if (c == '"') quoted = !quoted;
        if (!quoted && c == '(') ++depth;
        if (!quoted && c == ')') --depth;
        if (!quoted && depth == 0 && c == ',') {
            out.emplace_back();
            continue;
        }
        out.back() += c;
    }
    return out;
}

std::string Eval(const std::string& expr) {
    auto v = EvalMLiteral(expr);
    return v ? *v : "<bad:" + expr + ">";
}

template <class Map> std::string NextKey(const Map& map, const std::string& after) {
    auto it = after.empty() ? map.begin() : map.upper_bound(after);
    return it == map.end() ? std::string() : it->first;
}

const std::string kSection = "^ZDR(%JOB,%FORM,QCC,\"";

} // namespace

bool MCollate::operator()(const std::string& a, const std::string& b) const {
    bool na = IsCanonicalNumber(a), nb = IsCanonicalNumber(b);
    if (na && nb) return std::atoll(a.c_str()) < std::atoll(b.c_str());
    if (na != nb) return na;
    return a < b;
}

FakeLine& FormularFakeServer::AddLine(const std::string& part, const std::string& section,
                                      const std::string& key, const std::string& code) {
    FakeLine& line = parts[part].sections[section][key];
    line.code = code;
    return line;
}

FakeValue* FormularFakeServer::Field(const std::string& args, std::string* section) {
    // "sec",x,y,token[,...]
    auto list = Arguments(args);
    if (list.size() < 4) return nullptr;
    std::string sec = Eval(list[0]);
    if (section) *section = sec;
    auto part = parts.find(m_qcc);
    if (part == parts.end()) return nullptr;
    auto lines = part->second.sections.find(sec);
    if (lines == part->second.sections.end()) return nullptr;
    auto line = lines->second.find(Eval(list[1]));
    if (line == lines->second.end() || line->second.code != Eval(list[2])) return nullptr;
    auto field = line->second.fields.find(Eval(list[3]));
    return field == line->second.fields.end() ? nullptr : &field->second;
}

std::string FormularFakeServer::Execute(const std::string& line) {
    lines.push_back(line);
    if (line == "S QCC=$O(^ZDR(%JOB,%FORM,QCC)) W QCC") return m_qcc = NextKey(parts, m_qcc);
    if (StartsWith(line, "S QCC=")) {
        m_qcc = Eval(line.substr(6));
        return "";
    }
    auto part = parts.find(m_qcc);
    if (line == "W $G(^ZDR(%JOB,%FORM,QCC))") return part == parts.end() ? "" : part->second.templateName;
    if (line == "W $G(^ZDR(%JOB,%FORM,QCC,\"NAME\"))") return part == parts.end() ? "" : part->second.name;
    if (line == "W $G(^ZDR(%JOB,%FORM,QCC,\"DIR\"))") return part == parts.end() ? "" : part->second.dir;
    if (line == "W $G(^ZDR(%JOB,\"SAVE\",\"HEIGHT\"))") return extraHeight;
    for (const char* var : {"%HOME", "%MI", "%LAN", "%VER"})
        if (line == std::string("W $G(") + var + ")") return vars[var];
    if (line == "K ^ZDR(%JOB)") return "";
    if (line == "S %QCC=\"\"") {
        m_sub.clear();
        return "";
    }
    if (StartsWith(line, "S X=$O(" + kSection) || StartsWith(line, "S Y=$O(" + kSection)) {
        bool isX = line[2] == 'X';
        std::string rest = line.substr(7 + kSection.size());
        std::string sec = rest.substr(0, rest.find('"'));
        if (part == parts.end()) return isX ? (m_x = "") : (m_y = "");
        auto lines = part->second.sections.find(sec);
        if (lines == part->second.sections.end()) return isX ? (m_x = "") : (m_y = "");
        if (isX) return m_x = NextKey(lines->second, m_x);
        auto it = lines->second.find(m_x);
        return m_y = it == lines->second.end() ? "" : it->second.code;
    }
    if (StartsWith(line, "S X=")) {
        m_x = Eval(line.substr(4));
        return "";
    }
    const std::string field = "(" + kSection;
    if (StartsWith(line, "S %QCC=$O" + field)) {
        std::string args = line.substr(9 + field.size() - 1);
        FakeValue* v = Field(args.substr(0, args.size() - std::string(",%QCC)) W %QCC").size()));
        return m_sub = v ? NextKey(v->subs, m_sub) : "";
    }
    if (StartsWith(line, "W $G" + field) || StartsWith(line, "W $D" + field)) {
        bool defined = line[3] == 'D';
        std::string args = line.substr(4 + field.size() - 1);
        args.resize(args.size() - 2);
        bool sub = args.size() > 5 && args.compare(args.size() - 5, 5, ",%QCC") == 0;
        if (sub) args.resize(args.size() - 5);
        FakeValue* v = Field(args);
        if (defined) return !v ? "0" : std::to_string((v->defined ? 1 : 0) + (v->subs.empty() ? 0 : 10));
        if (sub) return v && v->subs.count(m_sub) ? v->subs[m_sub] : "";
        return v && v->defined ? v->value : "";
    }
    unknown.push_back(line);
    return "";
}

} // namespace vorlan::test
