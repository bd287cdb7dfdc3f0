#include "app/VORLANSocket.h"

#include "app/ProtocolLog.h"
#include "app/SettingsBlock.h"

#include <cstring>

using namespace vorlan;

namespace {

bool Timed() {
    const SettingsBlock* settings = ProtocolSettings();
    return settings && settings->protocolTime;
}

// The timing trace of one socket call: "before" and "after" lines around it.
class CCallTrace {
  public:
    explicit CCallTrace(const char* label) : m_label(label), m_on(Timed()) {
        if (!m_on) return;
        WriteProtocol("Schleife", kLogTiming);
        m_before = ProtocolTicks();
        WriteProtocol("before %s: %d", kLogTiming, m_label, static_cast<int>(m_before));
    }
    void After(int bytes, int error) {
        if (!m_on) return;
        uint32_t after = ProtocolTicks();
        WriteProtocol("after %s: %d\nDifference: %d\nFehler: %d - %d", kLogTiming, m_label,
                      static_cast<int>(after), static_cast<int>(after - m_before), bytes, error);
    }

  private:
    const char* m_label;
    bool m_on;
    uint32_t m_before = 0;
};

bool EndsInNuls(const char* buffer, int count, int nuls) {
    if (count < nuls) return false;
    for (int i = count - nuls; i < count; ++i)
        if (buffer[i] != '\0') return false;
    return true;
}

} // namespace

bool CVORLANSocket::ConnectServer(const char* host, int port) {
    if (!Create()) return false;
    // Asked of the stack as the server side expects; a stack that refuses it still connects.
    SetSockOpt(SOL_SOCKET, SO_DEBUG, 1);
    if (!Connect(host, port)) {
        Close();
        return false;
    }
    return true;
}

int CVORLANSocket::BuildFrame(char command, const char* text, char* buffer, int capacity) {
    size_t length = text ? std::strlen(text) : 0;
    // The frame must fit the buffer and its length field.
    if (length + 3 > static_cast<size_t>(capacity) || length + 1 > 0xFFFF) return -1;
    unsigned size = static_cast<unsigned>(length + 1);
    buffer[0] = static_cast<char>(size & 0xFF);
    buffer[1] = static_cast<char>(size >> 8);
    buffer[2] = command;
    if (length) std::memcpy(buffer + 3, text, length);
    return static_cast<int>(length + 3);
}

int CVORLANSocket::SendAll(const char* bytes, int length) {
    int sent = 0;
    while (sent < length) {
        CCallTrace trace("Sending");
        int n = Send(bytes + sent, length - sent);
        // Read before the trace writes its file, which may set the thread's last error.
        int error = n == SOCKET_ERROR ? GetLastError() : 0;
        trace.After(n, error);
        if (n == SOCKET_ERROR) {
            if (error == WSAEWOULDBLOCK) continue;
            return -1;
        }
        sent += n;
    }
    return sent;
}

int CVORLANSocket::ReceiveUntil(char* buffer, int toSend, int capacity, int trailingNuls, const char* label) {
    if (!IsOpen() || SendAll(buffer, toSend) != toSend) return -1;
    int received = 0;
    while (!EndsInNuls(buffer, received, trailingNuls)) {
        if (received >= capacity) {
            // The rest of this reply would be read as the next one: the connection is spent.
            Close();
            return -1;
        }
        CCallTrace trace(label);
        int n = Receive(buffer + received, capacity - received);
        int error = n == SOCKET_ERROR ? GetLastError() : 0;
        trace.After(n, error);
        if (n == 0) return -1; // the server closed
        if (n == SOCKET_ERROR) {
            if (error == WSAEWOULDBLOCK) continue;
            return -1;
        }
        received += n;
    }
    return received;
}

int CVORLANSocket::ReceiveLine(char* buffer, int toSend, int capacity) {
    return ReceiveUntil(buffer, toSend, capacity, 1, "Receive1");
}

int CVORLANSocket::ReceiveReply(char* buffer, int toSend, int capacity) {
    return ReceiveUntil(buffer, toSend, capacity, 3, "Receive2");
}

bool CVORLANSocket::Exchange(char command, const char* text, char* reply) {
    int length = BuildFrame(command, text, reply, kCommandCapacity);
    return length > 0 && ReceiveLine(reply, length, kCommandCapacity) > 0;
}

bool CVORLANSocket::SendCommand(const char* login) {
    char reply[kCommandCapacity];
    return Exchange('C', login, reply) && reply[0] == '1';
}

int CVORLANSocket::Login(const char* login) {
    char reply[kCommandCapacity];
    if (!Exchange('/', login, reply)) return kLoginFailed;
    if (reply[0] != '0') return 0;
    // A one-byte refusal has its NUL where the reason would be.
    return reply[1] != '\0' && reply[2] == '3' ? kLoginRefused : kLoginFailed;
}

bool CVORLANSocket::Logout() {
    char reply[kCommandCapacity];
    return Exchange('L', nullptr, reply) && reply[0] == '1';
}

int CVORLANSocket::Execute(const char* code, char* out, int capacity) {
    if (!out || capacity <= 0) return kServerError;
    int length = BuildFrame('X', code, out, capacity);
    if (length < 0) {
        const char* text = "Die Zeile ist zu lang für den Puffer der Verbindung.";
        std::strncpy(out, text, static_cast<size_t>(capacity - 1));
        out[capacity - 1] = '\0';
        return kServerError;
    }
    int received = ReceiveReply(out, length, capacity);
    if (received < 0) {
        out[0] = '\0';
        return kConnectionLost;
    }
    // The reply ends in three NULs, so every text searched below is terminated.
    int rc = 0;
    if (out[0] != '1') {
        rc = kServerError;
    } else {
        char* output = out + 1;
        char* status = output + std::strlen(output) + 1;
        if (status >= out + received) status = out + received - 1; // no status: an empty one
        if (*status == '1') {
            std::memmove(out, output, std::strlen(output) + 1);
        } else {
            std::memmove(out, status + (*status ? 1 : 0), std::strlen(status) + 1);
            rc = kServerError;
        }
    }
    size_t feeds = std::strspn(out, "\f");
    if (feeds) std::memmove(out, out + feeds, std::strlen(out + feeds) + 1);
    return rc;
}
