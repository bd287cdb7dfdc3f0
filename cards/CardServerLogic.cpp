#include "cards/CardServerLogic.h"
#include "common/TextChars.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace vorlan {

namespace {

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    return vorlan::TextEqualsNoCase(a, b);
}

constexpr const char* kFieldNames[kCardServerFields] = {
    "Krankenkasse,", "KNummer,", "VkNr,",     "VNummer,", "Status,", "StatusExt,", "Titel,", "Vorname,",
    "Zusatz,",       "Name,",    "GebDatum,", "Strasse,", "Land,",   "PLZ,",       "Ort,",   "Gultigkeit,"};

} // namespace

std::string CardServerReply(const char* buffer, size_t size, size_t length) {
    if (!buffer || size == 0) return {};
    size_t limit = std::min(length, size - 1);
    const void* nul = std::memchr(buffer, '\0', limit);
    return std::string(buffer, nul ? static_cast<size_t>(static_cast<const char*>(nul) - buffer) : limit);
}

int CardStatusNumber(std::string_view word) {
    // "invalid" before "valid": the order the library's words are told apart in.
    static constexpr struct {
        const char* word;
        int number;
    } kWords[] = {{"wait", kCardStatusWaiting},    {"detect", kCardStatusDetected},
                  {"invalid", kCardStatusInvalid}, {"valid", kCardStatusValid},
                  {"active", kCardStatusActive},   {"locked", kCardStatusLocked}};
    for (const auto& w : kWords)
        if (SameIgnoringCase(word, w.word)) return w.number;
    return kCardStatusSearching;
}

bool IsInitReply(std::string_view reply) {
    return SameIgnoringCase(reply, "init");
}

bool IsKvkApplication(std::string_view reply) {
    return reply == "KVK";
}

std::string AnnounceWindowCommand(long window, long message) {
    return "System,AddHWndMsg," + std::to_string(window) + "," + std::to_string(message);
}

std::string RemoveWindowCommand(long window) {
    return "System,DelHWnd," + std::to_string(window);
}

std::string KvkFieldCommand(int i) {
    if (i < 1 || i > kCardServerFields) return {};
    return std::string("Apps,KVK,") + kFieldNames[i - 1];
}

KeyboardFields::KeyboardFields(int count)
    : m_count(std::clamp(count, 1, kMaxCardFields)), m_fields(static_cast<size_t>(m_count)) {}

KeyboardFields::Step KeyboardFields::Take(char c) {
    // A NUL would end the field's text in the dialog's buffers.
    if (m_complete || c == '\0') return Step::Ignored;
    bool starting = m_current < 0;
    if (starting) m_current = 0;
    Step taken = starting ? Step::Started : Step::Taken;
    if (c == '\n') return starting ? Step::Started : Step::Ignored;
    if (c == '\r' || c == '?') {
        if (m_current + 1 >= m_count) {
            m_complete = true;
            return Step::Complete;
        }
        ++m_current;
        return taken;
    }
    std::string& field = m_fields[static_cast<size_t>(m_current)];
    if (field.size() >= kCardFieldSize - 1) return starting ? Step::Started : Step::Ignored;
    field += c;
    return taken;
}

const std::string& KeyboardFields::Field(int i) const {
    static const std::string kNone;
    if (i < 1 || i > m_count) return kNone;
    return m_fields[static_cast<size_t>(i) - 1];
}

} // namespace vorlan
