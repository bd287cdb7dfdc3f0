#pragma once
// The program's own protocol to an application server that runs M lines for it: each
// request is a 16-bit little-endian length and a command character with its text; replies
// end in NUL bytes.

#include "app/SocketFrames.h"
#include "framework/Socket.h"

#include <optional>

class CVORLANSocket : public CSocket {
  public:
    static constexpr int kCommandCapacity = 1000; // buffer of the "C", "/" and "L" exchanges
    static constexpr int kLoginFailed = 10001;
    static constexpr int kConnectionLost = 10006;
    static constexpr int kLoginRefused = 10007;
    static constexpr int kServerError = 0xFFFFFF;

    bool ConnectServer(const char* host, int port);
    // Switches a logged-in connection to another UCI (and volume: "UCI,volume").
    bool SendCommand(const char* login);
    int Login(const char* login);
    bool Logout();
    // 0 with the output in `out`; kConnectionLost; kServerError with the error text in `out`.
    int Execute(const char* code, char* out, int capacity);

    int SendAll(const char* bytes, int length);
    // Send the `toSend` bytes at the buffer's start, then receive into the buffer from its
    // start until the reply's end; the count received or -1.
    int ReceiveLine(char* buffer, int toSend, int capacity);
    int ReceiveReply(char* buffer, int toSend, int capacity);

  private:
    // A reply that fills the capacity before its end is read on into `beyond` when given;
    // otherwise the connection is spent.
    int ReceiveUntil(char* buffer, int toSend, int capacity, int trailingNuls, const char* label,
                     std::optional<vorlan::socketframes::ReplyBeyond>* beyond = nullptr);
    bool ReceiveBeyond(const char* buffer, int capacity, const char* label,
                       std::optional<vorlan::socketframes::ReplyBeyond>& beyond);
    // One receive: the count received, 0 to receive again, -1 when the connection failed.
    int ReceivePiece(char* into, int room, const char* label);
    // The bytes received, or -1.
    int Exchange(char command, const char* text, char* reply);
};
