#pragma once
// The socket library, bound by name at run time: "ws2_32.dll" at version 2.2, else
// "wsock32.dll" at 1.1. Nothing in this library links against either.

#include <winsock2.h>

namespace vorlan::client {

struct Winsock {
    HMODULE module = nullptr; // null: not initialised; every protocol call tests it
    int kind = 1;             // 1 = the older library at 1.1, 2 = ws2_32 at 2.2

    int(WSAAPI* WSAStartup)(WORD, LPWSADATA) = nullptr;
    int(WSAAPI* WSACleanup)() = nullptr;
    int(WSAAPI* WSAGetLastError)() = nullptr;
    SOCKET(WSAAPI* socket)(int, int, int) = nullptr;
    int(WSAAPI* connect)(SOCKET, const sockaddr*, int) = nullptr;
    int(WSAAPI* send)(SOCKET, const char*, int, int) = nullptr;
    int(WSAAPI* recv)(SOCKET, char*, int, int) = nullptr;
    int(WSAAPI* shutdown)(SOCKET, int) = nullptr;
    int(WSAAPI* closesocket)(SOCKET) = nullptr;
    unsigned long(WSAAPI* inet_addr)(const char*) = nullptr;
    u_short(WSAAPI* htons)(u_short) = nullptr;
    int(WSAAPI* select)(int, fd_set*, fd_set*, fd_set*, const timeval*) = nullptr;
    int(WSAAPI* WSAFDIsSet)(SOCKET, fd_set*) = nullptr;
    FARPROC WSASetBlockingHook = nullptr;    // required to be present, never called
    FARPROC WSAUnhookBlockingHook = nullptr; // required to be present, never called
    BOOL(WSAAPI* WSAIsBlocking)() = nullptr;
    int(WSAAPI* ioctlsocket)(SOCKET, long, u_long*) = nullptr;
    int(WSAAPI* getsockname)(SOCKET, sockaddr*, int*) = nullptr;
    FARPROC gethostname = nullptr; // required to be present, never called
    hostent*(WSAAPI* gethostbyname)(const char*) = nullptr;
    // Not in the older list, but every connection needs it: without TCP_NODELAY a request
    // written in two sends stalls under delayed acknowledgement.
    int(WSAAPI* setsockopt)(SOCKET, int, int, const char*, int) = nullptr;
    // Optional (only ws2_32 has it): hands a request's pieces to the socket in one call;
    // without it they go out one send each.
    int(WSAAPI* WSASend)(SOCKET, LPWSABUF, DWORD, LPDWORD, DWORD, LPWSAOVERLAPPED,
                         LPWSAOVERLAPPED_COMPLETION_ROUTINE) = nullptr;

    bool Bind(HMODULE library);
    // The socket library's last error as one of our numbers.
    int LastError() const;
};

extern Winsock g_winsock;

} // namespace vorlan::client
