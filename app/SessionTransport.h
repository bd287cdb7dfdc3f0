#pragma once
// What the session needs of a transport to the M server; the database client library is
// the usual one. Results of 10000 and above are error numbers.

#include <memory>

class ISessionTransport {
  public:
    virtual ~ISessionTransport() = default;
    virtual int Initialize() = 0;
    // Returns the connection handle, or an error number (10000 and above).
    virtual int Login(const char* host, int port, const char* uci, const char* volume,
                      const char* password) = 0;
    virtual int Timeout(int handle, int seconds) = 0;
    virtual int PartSize(int handle, int kilobytes) = 0;
    // Output (NUL-terminated) or, on an error, the error text in out.
    virtual int Xecute(int handle, const char* code, char* out, int capacity) = 0;
    virtual int Logout(int handle) = 0;
    virtual int Rundown() = 0;
};

// A login result that is a connection handle, not an error number.
inline bool IsConnectionHandle(int loginResult) {
    return loginResult > 0 && loginResult < 10000;
}

// The database client library KVXAPI32 (defined where the program links it).
std::unique_ptr<ISessionTransport> MakeClientLibraryTransport();
