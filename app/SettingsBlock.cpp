#include "app/SettingsBlock.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

namespace vorlan {

namespace {

enum Kind { kText = 1, kSet = 2, kClear = 3, kNumber = 4 };

struct Row {
    const char* name;
    size_t offset;
    size_t width;
    Kind kind;
};

#define FIELD(f) offsetof(SettingsBlock, f), sizeof(SettingsBlock::f)

// First match wins; names compare without regard to case.
const Row kTable[] = {
    {"a", FIELD(a), kText},
    {"u", FIELD(user), kText},
    {"b", FIELD(user), kText},
    {"p", FIELD(password), kText},
    {"m", FIELD(module), kText},
    {"j", FIELD(year), kText},
    {"y", FIELD(year), kText},
    {"f", FIELD(client), kText},
    {"q", FIELD(q), kSet},
    {"d", FIELD(debug), kSet},
    {"com", FIELD(com), kSet},
    {"noWin", FIELD(noWin), kSet},
    {"ring", FIELD(ring), kSet},
    {"lpt", FIELD(lpt), kSet},
    {"protocol", FIELD(protocol), kSet},
    {"protocol-time", FIELD(protocolTime), kSet},
    {"pics", FIELD(pics), kSet},
    {"ip", FIELD(address), kText},
    {"port", FIELD(apiPort), kText},
    {"pass", FIELD(apiPassword), kText},
    {"db", FIELD(dbName), kText},
    {"var", FIELD(afterLogin), kText},
    {"s", FIELD(uciAndVolume), kText},
    {"n", FIELD(remote), kSet},
    {"r", FIELD(remote), kSet},
    {"l", FIELD(remote), kClear},
    {"?", FIELD(help), kSet},
    {"api", FIELD(apiType), kNumber},
    {"background", FIELD(background), kNumber},
    {"dev", FIELD(dev), kSet},
    {"protocol-all", FIELD(protocolAll), kSet},
};

#undef FIELD

bool SameNoCase(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b)
        if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b)))
            return false;
    return *a == *b;
}

int32_t* IntAt(SettingsBlock& b, size_t offset) {
    return reinterpret_cast<int32_t*>(reinterpret_cast<char*>(&b) + offset);
}

std::string PortOr(const std::string& value, const char* fallback) {
    return std::atoi(value.c_str()) == 0 ? std::string(fallback) : value;
}

} // namespace

void SetField(char* field, size_t width, const std::string& text) {
    if (width == 0) return;
    size_t n = text.size() < width - 1 ? text.size() : width - 1;
    std::memcpy(field, text.data(), n);
    std::memset(field + n, 0, width - n);
}

void TerminateTextFields(SettingsBlock& b) {
    auto end = [](auto& field) { field[sizeof field - 1] = '\0'; };
    end(b.a);
    end(b.user);
    end(b.password);
    end(b.module);
    end(b.client);
    end(b.year);
    end(b.startEntry);
    end(b.address);
    end(b.apiPort);
    end(b.telnetPort);
    end(b.apiPassword);
    end(b.dbName);
    end(b.uciAndVolume);
    end(b.afterLogin);
}

void ReadConnectionSettings(SettingsBlock& b,
                            const std::function<std::string(const char* name, const char* def)>& get) {
    b.remote = get("RemoteConnection", "1") == "1" ? 1 : 0;
    SetField(b.address, get("IPaddress", ""));
    SetField(b.apiPassword, get("Password", ""));
    SetField(b.apiPort, PortOr(get("APIport", "1666"), "1666"));
    SetField(b.telnetPort, PortOr(get("TelnetPort", "23"), "23"));
    SetField(b.dbName, get("DBname", ""));
    SetField(b.uciAndVolume, get("UCIandVG", ""));
    b.partitionSize = std::atoi(get("PartitionSize", "0").c_str());
    int api = std::atoi(get("APIType", "0").c_str());
    b.apiType = (api == 1) ? 1 : 0; // only two kinds exist; anything else is the client library
}

SettingsCommandLine::SettingsCommandLine(SettingsBlock& block)
    : m_block(block), m_target(Text), m_offset(offsetof(SettingsBlock, startEntry)),
      m_width(sizeof(SettingsBlock::startEntry)) {}

void SettingsCommandLine::Param(const char* word, bool isSwitch) {
    if (isSwitch) {
        m_target = None;
        for (const Row& r : kTable) {
            if (!SameNoCase(word, r.name)) continue;
            switch (r.kind) {
            case kSet: *IntAt(m_block, r.offset) = 1; break;
            case kClear: *IntAt(m_block, r.offset) = 0; break;
            case kText: m_target = Text; break;
            case kNumber: m_target = Number; break;
            }
            m_offset = r.offset;
            m_width = r.width;
            break;
        }
        return;
    }
    // The target stays pending: a later plain word replaces the value.
    if (m_target == Text)
        SetField(reinterpret_cast<char*>(&m_block) + m_offset, m_width, word);
    else if (m_target == Number)
        *IntAt(m_block, m_offset) = std::atoi(word);
}

} // namespace vorlan
