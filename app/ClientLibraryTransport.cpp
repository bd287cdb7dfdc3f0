#include "app/SessionTransport.h"
#include "client/kvxapi.h"

#include <windows.h>

namespace {

class CClientLibraryTransport : public ISessionTransport {
  public:
    int Initialize() override { return kvx_initialize(); }
    int Login(const char* host, int port, const char* uci, const char* volume,
              const char* password) override {
        // The library takes writable namespace buffers; ours are the caller's constants.
        char u[16] = {}, v[16] = {};
        lstrcpynA(u, uci ? uci : "", sizeof u);
        lstrcpynA(v, volume ? volume : "", sizeof v);
        return kvx_login(host, port, u, v, password, 0, 256);
    }
    int Timeout(int handle, int seconds) override { return kvx_timeout(handle, seconds); }
    int PartSize(int handle, int kilobytes) override { return kvx_partsize(handle, kilobytes); }
    int Xecute(int handle, const char* code, char* out, int capacity) override {
        return kvx_xecute(handle, code, out, capacity);
    }
    int Logout(int handle) override { return kvx_logout(handle); }
    int Rundown() override { return kvx_rundown(); }
};

} // namespace

std::unique_ptr<ISessionTransport> MakeClientLibraryTransport() {
    return std::make_unique<CClientLibraryTransport>();
}
