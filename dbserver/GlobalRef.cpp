#include "dbserver/GlobalRef.h"

#include "common/MQuote.h"
#include "dbserver/JobInput.h"

#include <cctype>

namespace vorlan::dbserver {

namespace {

class Reader {
  public:
    explicit Reader(std::string_view s) : m_s(s) {}
    bool AtEnd() const { return m_i == m_s.size(); }
    bool Take(char c) {
        if (m_i < m_s.size() && m_s[m_i] == c) return ++m_i, true;
        return false;
    }
    std::optional<std::string> Quoted() {
        if (!Take('"')) return std::nullopt;
        std::string v;
        while (m_i < m_s.size()) {
            char c = m_s[m_i++];
            if (c != '"') {
                v += c;
            } else if (Take('"')) {
                v += '"';
            } else {
                return v;
            }
        }
        return std::nullopt;
    }
    std::string Name() {
        size_t start = m_i;
        while (m_i < m_s.size() && (std::isalnum(static_cast<unsigned char>(m_s[m_i])) || m_s[m_i] == '%'))
            ++m_i;
        return std::string(m_s.substr(start, m_i - start));
    }

  private:
    std::string_view m_s;
    size_t m_i = 0;
};

std::string Quote(std::string_view s) {
    std::string out = "\"";
    for (char c : s) {
        out += c;
        if (c == '"') out += '"';
    }
    return out + "\"";
}

} // namespace

bool IsMName(std::string_view s) {
    if (s.empty() || s.size() > 31) return false;
    if (s[0] != '%' && !std::isalpha(static_cast<unsigned char>(s[0]))) return false;
    for (size_t i = 1; i < s.size(); ++i)
        if (!std::isalnum(static_cast<unsigned char>(s[i]))) return false;
    return true;
}

std::optional<GlobalRef> ParseGlobalRef(std::string_view text) {
    Reader r(text);
    GlobalRef ref;
    if (r.Take('[')) {
        ref.extended = true;
        auto uci = r.Quoted();
        if (!uci) return std::nullopt;
        ref.uci = *uci;
        if (r.Take(',')) {
            auto vol = r.Quoted();
            if (!vol) return std::nullopt;
            ref.vol = *vol;
        }
        if (!r.Take(']')) return std::nullopt;
    }
    ref.name = r.Name();
    if (!ref.name.empty() && !IsMName(ref.name)) return std::nullopt;
    if (ref.name.empty() && ref.extended) return std::nullopt;
    if (r.Take('(')) {
        do {
            auto sub = r.Quoted();
            if (!sub) return std::nullopt;
            ref.subscripts.push_back(std::move(*sub));
        } while (r.Take(','));
        if (!r.Take(')')) return std::nullopt;
    }
    if (!r.AtEnd() || (ref.name.empty() && ref.subscripts.empty())) return std::nullopt;
    return ref;
}

std::string GlobalCode(const GlobalRef& ref, const std::string& gld, JobInput& input) {
    std::string code = "^";
    if (!ref.name.empty()) {
        if (!gld.empty()) code += "|" + MQuote(gld) + "|";
        code += ref.name;
    }
    if (!ref.subscripts.empty()) {
        code += '(';
        for (size_t i = 0; i < ref.subscripts.size(); ++i) {
            if (i) code += ',';
            code += input.Ref(ref.subscripts[i]);
        }
        code += ')';
    }
    return code;
}

std::string FormatQueryReply(const GlobalRef& request, const std::string& name,
                             const std::vector<std::string>& subscripts) {
    std::string out;
    if (request.extended) {
        out = "[" + Quote(request.uci);
        if (!request.vol.empty()) out += "," + Quote(request.vol);
        out += "]";
    }
    out += name;
    if (!subscripts.empty()) {
        out += '(';
        for (size_t i = 0; i < subscripts.size(); ++i)
            out += (i ? "," : "") + Quote(subscripts[i]);
        out += ')';
    }
    return out;
}

} // namespace vorlan::dbserver
