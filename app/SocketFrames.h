#pragma once
// The bytes of the application server's own protocol as the program builds and reads them,
// apart from the socket: each request is a 16-bit little-endian length and a command
// character with its text; replies end in NUL bytes.

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

} // namespace vorlan::socketframes
