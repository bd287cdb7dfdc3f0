// Log-in with the nonce challenge, log-out, keep-alive and the partition size.
#include "client/Connection.h"
#include "client/Winsock.h"
#include "client/kvxapi.h"
#include "common/ErrorTable.h"
#include "common/Nonce.h"

#include <cstdio>
#include <cstring>
#include <ctime>

using namespace vorlan;
using namespace vorlan::client;

namespace {

constexpr int32_t kTextArea = 1024;
constexpr int kLoginVersionCapacity = 32;

// uci and vol are upper-cased in the caller's text; 0 or 3 characters.
int CheckNamespace(char* text, int error) {
    if (!text) return 0;
    size_t n = 0;
    for (; text[n]; ++n)
        if (text[n] >= 'a' && text[n] <= 'z') text[n] = static_cast<char>(text[n] - 'a' + 'A');
    return n == 0 || n == 3 ? 0 : error;
}

// Three dots between parts that read as 0 to 255 make a dotted address; anything else, and a
// dotted address the socket library rejects, is looked up as a name. A failed lookup leaves
// 0.0.0.0, which then fails to connect.
in_addr ResolveHost(const char* host) {
    char text[1024];
    std::strncpy(text, host, sizeof text - 1);
    text[sizeof text - 1] = '\0';

    int dots = 0;
    for (const char* part = text; const char* dot = std::strchr(part, '.'); part = dot + 1) {
        int32_t value = wire::ParseNumber(part, static_cast<size_t>(dot - part));
        if (value < 0 || value > 255) {
            dots = 0;
            break;
        }
        ++dots;
    }
    in_addr address{};
    if (dots == 3) {
        address.s_addr = g_winsock.inet_addr(text);
        if (address.s_addr != INADDR_NONE) return address;
        address.s_addr = 0;
    }
    if (hostent* entry = g_winsock.gethostbyname(text))
        if (entry->h_addrtype == AF_INET && entry->h_addr_list && entry->h_addr_list[0])
            std::memcpy(&address, entry->h_addr_list[0], sizeof address);
    return address;
}

// Each attempt takes a fresh socket: a socket whose connect failed cannot be used again.
int Connect(in_addr address, int port, SOCKET* out) {
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_port = g_winsock.htons(static_cast<u_short>(port));
    target.sin_addr = address;
    for (int attempt = ConnectAttempts(); attempt > 0; --attempt) {
        SOCKET s = g_winsock.socket(AF_INET, SOCK_STREAM, 0);
        if (s == INVALID_SOCKET) return g_winsock.LastError();
        if (g_winsock.connect(s, reinterpret_cast<const sockaddr*>(&target), sizeof target) == 0) {
            // Requests leave in more than one send; never let the stack hold back the last one.
            BOOL on = TRUE;
            g_winsock.setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
            *out = s;
            return 0;
        }
        g_winsock.closesocket(s);
    }
    return kvx::kErrConnect;
}

int ConnectAndRegister(in_addr address, int port, int* handle) {
    SOCKET s = INVALID_SOCKET;
    if (int rc = Connect(address, port, &s)) return rc;
    *handle = RegisterSocket(s, kLoginTimeout);
    if (*handle == 0) {
        CloseSocket(s);
        return kvx::kErrTooManySockets;
    }
    return 0;
}

void LocalAddress(int handle, char* out) {
    sockaddr_in local{};
    int size = sizeof local;
    const SocketSlot* slot = FindSlot(handle);
    if (!slot || g_winsock.getsockname(slot->socket, reinterpret_cast<sockaddr*>(&local), &size) != 0)
        local.sin_addr.s_addr = 0;
    const auto* b = reinterpret_cast<const unsigned char*>(&local.sin_addr);
    std::snprintf(out, 16, "%d.%d.%d.%d", b[0], b[1], b[2], b[3]);
}

// No waiting for the clock to move: any nonce from 10 to 16383 will do.
int32_t DrawNonce() {
    auto t = static_cast<uint64_t>(std::time(nullptr));
    return nonce::kMin + static_cast<int32_t>(t % (nonce::kMax + 1 - nonce::kMin));
}

struct LoginAnswer {
    int32_t answer = 0;
    int32_t refused = 0;
    char refusal[kTextArea] = "";
    char version[kTextArea] = "";
    int32_t redirect = 0;
};

int ReadAnswer(Connection& c, LoginAnswer* a) {
    char type;
    int32_t count;
    if (int rc = wire::ReadReplyHeader(c, &type, &count)) return rc;
    if (type != 'V' || count != 5) return kvx::kErrProtocol;
    int32_t n;
    int rc = wire::ReadNumberField(c, &a->answer);
    if (rc == 0) rc = wire::ReadNumberField(c, &a->refused);
    if (rc == 0) rc = wire::ReadStringField(c, a->refusal, kTextArea, &n);
    if (rc == 0) rc = wire::ReadStringField(c, a->version, kTextArea, &n);
    if (rc == 0) rc = wire::ReadNumberField(c, &a->redirect);
    return rc;
}

} // namespace

int KVXAPI kvx_login3(const char* host, int port, char* uci, char* vol, const char* caller, int number,
                      int partition, const char* extra, char* version, int capacity) {
    if (!host || !*host) return kvx::kErrConnect;
    if (int rc = CheckNamespace(uci, kvx::kErrBadUci)) return rc;
    if (int rc = CheckNamespace(vol, kvx::kErrBadVol)) return rc;
    const char* u = uci ? uci : "";
    const char* v = vol ? vol : "";
    if (!caller) caller = "";
    if (!extra) extra = "";
    if (partition != 0 && partition < 20) return kvx::kErrPartitionSize;
    if (*v && !*u) return kvx::kErrBadVol;
    if (std::strcmp(host, "local") == 0) return kvx::kErrConnectionLost;
    if (!g_winsock.module)
        if (int rc = kvx_initialize()) return rc;

    in_addr address = ResolveHost(host);
    int handle = 0;
    if (int rc = ConnectAndRegister(address, port, &handle)) return rc;
    Connection c(handle);

    char local[16];
    LocalAddress(handle, local);
    const int32_t challenge = DrawNonce();
    uint8_t buffer[wire::kRequestBufferSize];
    int32_t position = 0;
    wire::RequestWriter request(c, buffer, sizeof buffer, position);
    request.Header("L", 10).Number(partition).Text("API4.4.0").Text("KVX-TCP").Text(local).Text(extra);
    request.Text(caller).Text(u).Text(v).Number(number).Number(challenge);
    if (int rc = request.Flush()) {
        c.Close();
        return rc;
    }

    LoginAnswer answer;
    int rc = ReadAnswer(c, &answer);
    if (version && capacity > 0) {
        std::strncpy(version, answer.version, static_cast<size_t>(capacity - 1));
        version[capacity - 1] = '\0';
    }
    c.Drain();
    if (std::strcmp(answer.version, "4.0.0") > 0) newer_server = 1;
    if (rc == 0 &&
        !nonce::AnswerMatches(static_cast<uint32_t>(challenge), static_cast<uint32_t>(answer.answer)))
        rc = kvx::kErrWrongNonce;
    if (rc == 0 && answer.refused != 0)
        rc = kvx::ServerErrorNumber(answer.refusal, std::strlen(answer.refusal));
    if (rc != 0) {
        c.Close();
        return rc;
    }
    if (answer.redirect == 0) return handle;

    // The server hands the session to another port; the first connection has served.
    c.Close();
    int moved = 0;
    if (int rc2 = ConnectAndRegister(address, answer.redirect, &moved)) return rc2;
    return moved;
}

int KVXAPI kvx_login2(const char* host, int port, char* uci, char* vol, const char* caller, int number,
                      int partition, const char* extra) {
    char version[kLoginVersionCapacity + 1];
    return kvx_login3(host, port, uci, vol, caller, number, partition, extra, version, sizeof version);
}

int KVXAPI kvx_login(const char* host, int port, char* uci, char* vol, const char* caller, int number,
                     int partition) {
    return kvx_login2(host, port, uci, vol, caller, number, partition, "");
}

int KVXAPI kvx_logout(int handle) {
    if (int rc = CheckInitialized()) return rc;
    Connection c(handle);
    if (!c.valid()) return kvx::kErrConnectionLost;
    // The server answers nothing to Q: do not wait for it.
    int rc = SendRequest<32>(c, [](wire::RequestWriter& w) { w.Header("Q", 0); });
    c.Close();
    return rc;
}

int KVXAPI kvx_keepalive(int handle) {
    if (int rc = CheckInitialized()) return rc;
    Connection c(handle);
    if (!c.valid()) return kvx::kErrConnectionLost;
    int rc = SendRequest(c, [](wire::RequestWriter& w) { w.Header("K", 0); });
    c.Drain();
    return rc;
}

int KVXAPI kvx_partsize(int handle, int kilobytes) {
    if (kilobytes < 20 || kilobytes > 16384) return kvx::kErrPartitionSize;
    char code[128];
    std::snprintf(code, sizeof code, "N %%K S %%K=%d D INT^%%PARTSIZ K %%K W $V(108,$J,4)/1024", kilobytes);
    char output[128] = "";
    int rc = kvx_xecute(handle, code, output, sizeof output);
    if (wire::ParseNumber(output, std::strlen(output)) != kilobytes) return kvx::kErrPartitionNotConfirmed;
    return rc;
}
