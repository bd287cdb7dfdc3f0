#pragma once
// The library's process-wide state: fixed tables; the only allocation is each connection's
// buffers, taken once when it is registered.

#include <winsock2.h>

#include <cstdint>

namespace vorlan::client {

constexpr int kSlots = 1024;
constexpr int32_t kLoginTimeout = 30;

struct ConnectionBuffers;

// A connection handle is its slot index + 1: small, so it can never be mistaken for an error
// number, and independent of how wide a SOCKET is.
struct SocketSlot {
    SOCKET socket;              // INVALID_SOCKET: free
    int32_t timeout;            // seconds every wait for data on the connection may take
    ConnectionBuffers* buffers; // owned; taken with the slot, given back with it
};

struct ProcessSlot {
    HANDLE key; // GetCurrentProcess(); null: free
    int32_t options;
    int32_t count; // successful initialisations not yet run down
};

extern SocketSlot socket_table[kSlots];
extern ProcessSlot process_table[kSlots];
extern int32_t newer_server; // set by a log-in to a server newer than 4.0.0

void ClearTablesOnce();

// The first free slot takes the socket; 0 when the table is full or the connection's buffers
// cannot be had.
int RegisterSocket(SOCKET socket, int32_t timeout);
void UnregisterHandle(int handle);
SocketSlot* FindSlot(int handle);

ProcessSlot* CurrentProcess();
ProcessSlot* RegisterProcess();
int ConnectAttempts();

} // namespace vorlan::client
