#pragma once
// The bytes of the application server's own protocol as the program builds and reads them,
// apart from the socket: each request is a 16-bit little-endian length and a command
// character with its text; replies end in NUL bytes.

#include <cstddef>
#include <string>

namespace vorlan::socketframes {

inline constexpr int kAccepted = 0;
inline constexpr int kLoginFailed = 10001;
inline constexpr int kLoginRefused = 10007;
inline constexpr int kServerError = 0xFFFFFF;

// Length, command and text into `buffer`; the frame's size, or -1 when it would not fit the
// buffer or its length field (it is never sent cut).
int BuildFrame(char command, const char* text, char* buffer, int capacity);
// True when the `count` bytes received end in `nuls` NUL bytes: the reply is whole.
bool EndsInNuls(const char* buffer, int count, int nuls);
// A whole log-in reply: kAccepted, kLoginRefused (reason "3") or kLoginFailed.
int LoginResult(const char* reply, int count);
// An execute reply of `received` bytes in `buffer`: 0 with the output at the buffer's start,
// or kServerError with the error text there (the raw reply when it does not begin with "1";
// nothing when it is not whole); leading form feeds removed from either.
int TakeExecuteReply(char* buffer, int received);

// What an execute reply brings beyond a buffer that its first bytes filled: its status text
// (as much as the buffer could take) and whether the reply has ended; the rest of the output
// is dropped. So a reply of any length is read to its end, as the client library reads output
// longer than its caller's buffer, and the connection serves the next line.
class ReplyBeyond {
  public:
    // `buffer` holds the reply's first `capacity` bytes, at least three.
    ReplyBeyond(const char* buffer, int capacity);
    void Add(const char* piece, int length);
    // The reply ends in three NULs.
    bool Whole() const;
    // From the byte after the output's NUL to the status text's own NUL.
    std::string Status() const;

  private:
    void Keep(const char* bytes, size_t length);

    size_t m_capacity;
    bool m_inStatus = false; // past the NUL that ends the output
    std::string m_status;
    char m_last[3]; // of the reply so far
};

// TakeExecuteReply for a whole reply whose first `capacity` bytes fill the buffer and whose
// rest `beyond` took: the output cut to capacity - 1 bytes, or the error text cut so.
int TakeLongExecuteReply(char* buffer, int capacity, const ReplyBeyond& beyond);

} // namespace vorlan::socketframes
