#include "client/Winsock.h"

#include "common/ErrorTable.h"

namespace vorlan::client {

Winsock g_winsock;

namespace {

template <class F> bool Resolve(HMODULE library, const char* name, F& slot) {
    slot = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(library, name)));
    return slot != nullptr;
}

} // namespace

bool Winsock::Bind(HMODULE library) {
    Resolve(library, "WSASend", WSASend);
    return Resolve(library, "WSAStartup", WSAStartup) && Resolve(library, "WSACleanup", WSACleanup) &&
           Resolve(library, "WSAGetLastError", WSAGetLastError) && Resolve(library, "socket", socket) &&
           Resolve(library, "connect", connect) && Resolve(library, "send", send) &&
           Resolve(library, "recv", recv) && Resolve(library, "shutdown", shutdown) &&
           Resolve(library, "closesocket", closesocket) && Resolve(library, "inet_addr", inet_addr) &&
           Resolve(library, "htons", htons) && Resolve(library, "select", select) &&
           Resolve(library, "__WSAFDIsSet", WSAFDIsSet) &&
           Resolve(library, "WSASetBlockingHook", WSASetBlockingHook) &&
           Resolve(library, "WSAUnhookBlockingHook", WSAUnhookBlockingHook) &&
           Resolve(library, "WSAIsBlocking", WSAIsBlocking) && Resolve(library, "ioctlsocket", ioctlsocket) &&
           Resolve(library, "getsockname", getsockname) && Resolve(library, "gethostname", gethostname) &&
           Resolve(library, "gethostbyname", gethostbyname) && Resolve(library, "setsockopt", setsockopt);
}

int Winsock::LastError() const {
    return kvx::MapSocketError(WSAGetLastError());
}

} // namespace vorlan::client
