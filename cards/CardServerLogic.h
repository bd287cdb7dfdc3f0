#pragma once
// The card server library's (SCARD32) replies and the keyboard reader's fields, apart from
// any window.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vorlan {

// Status numbers of the card server.
constexpr int kCardStatusSearching = 100;
constexpr int kCardStatusWaiting = 110;
constexpr int kCardStatusDetected = 120;
constexpr int kCardStatusInvalid = 130;
constexpr int kCardStatusValid = 140;
constexpr int kCardStatusActive = 150;
constexpr int kCardStatusLocked = 160;

// A reply the library wrote into a buffer of `size` bytes, claiming `length` bytes: up to its
// first NUL, never past the claimed length, and at most size - 1 bytes.
std::string CardServerReply(const char* buffer, size_t size, size_t length);
// The status number of a status word, compared without regard to case; anything unknown is
// 100.
int CardStatusNumber(std::string_view word);
// The start sequence goes on while the library answers "init" in any case.
bool IsInitReply(std::string_view reply);
// At most this many "init" rounds; then the start goes on with status 100.
constexpr int kMaxInitRounds = 20;
// The card holds the memory-card application exactly.
bool IsKvkApplication(std::string_view reply);

// Commands of the card server.
constexpr const char* kCardStatusQuestion = "Card,Info,Status";
std::string AnnounceWindowCommand(long window, long message);
std::string RemoveWindowCommand(long window);
// The command that reads field i (1..16) by its name.
std::string KvkFieldCommand(int i);
constexpr int kCardServerFields = 16;

// The reading dialog's result texts.
constexpr int kMaxCardFields = 32;
constexpr size_t kCardFieldSize = 256;

// Fields typed by a keyboard card reader: every character goes through Take.
class KeyboardFields {
  public:
    enum class Step {
        Ignored,  // nothing changed
        Started,  // the first character: the reading began (and the character was taken)
        Taken,    // appended, or a field ended and the next one started
        Complete, // the last expected field ended
    };
    // The field count is capped at 32; below 1 counts as 1.
    explicit KeyboardFields(int count);
    Step Take(char c);
    int Count() const { return m_count; }
    // Field i from 1; empty outside 1..count.
    const std::string& Field(int i) const;
    bool IsComplete() const { return m_complete; }

  private:
    int m_count;
    int m_current = -1;
    bool m_complete = false;
    std::vector<std::string> m_fields;
};

} // namespace vorlan
