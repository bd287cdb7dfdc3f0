#include "dbserver/RoutineCall.h"

#include "dbserver/GlobalRef.h"
#include "dbserver/JobInput.h"

#include <cctype>
#include <climits>
#include <cstdint>

namespace vorlan::dbserver {

namespace {

// A field, or consecutive empty fields taken together (a run, as a shortening client sends it).
struct CallItem {
    std::string data;
    uint32_t run = 0; // > 0: this many empty fields
};

std::optional<int> TypeNumber(const std::string& s) {
    size_t i = (!s.empty() && s[0] == '-') ? 1 : 0;
    if (i == s.size() || s.size() - i > 9) return std::nullopt;
    for (size_t k = i; k < s.size(); ++k)
        if (!std::isdigit(static_cast<unsigned char>(s[k]))) return std::nullopt;
    return std::stoi(s);
}

class Pairs {
  public:
    bool Add(const std::string& type, std::string value) {
        auto t = TypeNumber(type);
        if (!t) return false;
        m_params.push_back({*t, std::move(value)});
        return true;
    }
    std::vector<CallParam> Take() { return std::move(m_params); }

  private:
    std::vector<CallParam> m_params;
};

// Values held back: between two runs of empties there are (a value of the type carried over
// the previous run), pairs, the types of the held-back values, and the type of the value
// that follows the run (when one follows).
std::optional<std::vector<CallParam>> PairHeldBack(const std::vector<CallItem>& items) {
    Pairs pairs;
    std::vector<const std::string*> segment;
    const std::string* carried = nullptr;
    auto close = [&](uint32_t empties, bool more) {
        size_t pos = 0;
        if (carried) {
            if (segment.empty() || !pairs.Add(*carried, *segment[0])) return false;
            pos = 1;
            carried = nullptr;
        }
        size_t trailing = empties + (more ? 1 : 0);
        if (segment.size() < pos + trailing || (segment.size() - pos - trailing) % 2) return false;
        size_t middleEnd = segment.size() - trailing;
        for (; pos < middleEnd; pos += 2)
            if (!pairs.Add(*segment[pos], *segment[pos + 1])) return false;
        for (uint32_t k = 0; k < empties; ++k)
            if (!pairs.Add(*segment[pos++], "")) return false;
        if (more) carried = segment.back();
        segment.clear();
        return true;
    };
    for (size_t i = 0; i < items.size(); ++i) {
        if (uint32_t n = items[i].run) {
            if (!close(n, i + 1 < items.size())) return std::nullopt;
        } else {
            segment.push_back(&items[i].data);
        }
    }
    if (!close(0, false)) return std::nullopt;
    return pairs.Take();
}

std::optional<std::vector<CallParam>> PairInPlace(const std::vector<std::string>& fields) {
    if (fields.size() % 2) return std::nullopt;
    Pairs pairs;
    for (size_t i = 0; i < fields.size(); i += 2)
        if (!pairs.Add(fields[i], fields[i + 1])) return std::nullopt;
    return pairs.Take();
}

bool IsLabel(std::string_view s) {
    if (s.empty()) return true;
    bool digits = true;
    for (char c : s)
        digits = digits && std::isdigit(static_cast<unsigned char>(c));
    return (digits && s.size() <= 31) || IsMName(s);
}

} // namespace

std::optional<std::string> CheckRoutine(std::string_view text) {
    if (text.substr(0, 2) == "$$") text.remove_prefix(2);
    size_t caret = text.find('^');
    if (caret == std::string_view::npos || !IsLabel(text.substr(0, caret)) ||
        !IsMName(text.substr(caret + 1)))
        return std::nullopt;
    return std::string(text);
}

std::optional<std::vector<CallParam>> PairParameters(const std::vector<std::string>& fields) {
    std::vector<CallItem> items;
    for (const auto& f : fields) {
        if (!f.empty())
            items.push_back({f, 0});
        else if (!items.empty() && items.back().run)
            ++items.back().run;
        else
            items.push_back({"", 1});
    }
    if (auto p = PairHeldBack(items)) return p;
    return PairInPlace(fields);
}

std::string RoutineCallCode(const std::string& routine, const std::vector<CallParam>& params,
                            JobInput& input) {
    std::string names, initial, args;
    size_t refs = 0;
    for (const auto& p : params) {
        if (!args.empty()) args += ',';
        if (p.type != 1) {
            args += input.Ref(p.value);
            continue;
        }
        std::string name = "%dbsrv" + std::to_string(++refs);
        names += (refs > 1 ? "," : "") + name;
        initial += std::to_string(p.value.size()) + " " + p.value;
        args += "." + name;
    }
    std::string code;
    if (refs) code = "N " + names + " D REFS^%DBSRV(" + input.Ref(initial) + ") ";
    code += "S $ZSO=$$" + routine + "(" + args + ") S $ZSO=$$PACK^%DBSRV($ZSO," + std::to_string(refs) + ")";
    return code;
}

} // namespace vorlan::dbserver
