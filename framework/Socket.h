#pragma once
// A blocking stream socket over Winsock, in the manner of MFC's CSocket: the few calls the
// program's own protocols need, errors as Winsock numbers.

#include <winsock2.h>

class CSocket {
  public:
    CSocket() = default;
    virtual ~CSocket() { Close(); }
    CSocket(const CSocket&) = delete;
    CSocket& operator=(const CSocket&) = delete;

    // A stream socket on any local port, in blocking mode.
    bool Create();
    bool SetSockOpt(int level, int name, int value);
    // Connect names the host by address or name.
    bool Connect(const char* host, int port);
    // Both return the bytes moved or SOCKET_ERROR; Receive returns 0 when the peer closed.
    int Send(const void* data, int length);
    int Receive(void* data, int length);
    void Close();
    bool IsOpen() const { return m_hSocket != INVALID_SOCKET; }
    static int GetLastError() { return ::WSAGetLastError(); }

  protected:
    SOCKET m_hSocket = INVALID_SOCKET;
};
