#include "app/VORLANSocket.h"

#include "app/ProtocolLog.h"
#include "app/SettingsBlock.h"
#include "app/SocketFrames.h"

#include <cstring>

using namespace vorlan;
using socketframes::BuildFrame;
using socketframes::EndsInNuls;

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

int CVORLANSocket::ReceivePiece(char* into, int room, const char* label) {
    CCallTrace trace(label);
    int n = Receive(into, room);
    int error = n == SOCKET_ERROR ? GetLastError() : 0;
    trace.After(n, error);
    if (n == 0) return -1; // the server closed
    if (n == SOCKET_ERROR) return error == WSAEWOULDBLOCK ? 0 : -1;
    return n;
}

int CVORLANSocket::ReceiveUntil(char* buffer, int toSend, int capacity, int trailingNuls, const char* label,
                                std::optional<vorlan::socketframes::ReplyBeyond>* beyond) {
    if (!IsOpen() || SendAll(buffer, toSend) != toSend) return -1;
    int received = 0;
    while (!EndsInNuls(buffer, received, trailingNuls)) {
        if (received >= capacity) {
            if (beyond) return ReceiveBeyond(buffer, capacity, label, *beyond) ? received : -1;
            // The rest of this reply would be read as the next one: the connection is spent.
            Close();
            return -1;
        }
        int n = ReceivePiece(buffer + received, capacity - received, label);
        if (n < 0) return -1;
        received += n;
    }
    return received;
}

bool CVORLANSocket::ReceiveBeyond(const char* buffer, int capacity, const char* label,
                                  std::optional<vorlan::socketframes::ReplyBeyond>& beyond) {
    beyond.emplace(buffer, capacity);
    char piece[4096];
    while (!beyond->Whole()) {
        int n = ReceivePiece(piece, sizeof piece, label);
        if (n < 0) return false;
        beyond->Add(piece, n);
    }
    return true;
}

int CVORLANSocket::ReceiveLine(char* buffer, int toSend, int capacity) {
    return ReceiveUntil(buffer, toSend, capacity, 1, "Receive1");
}

int CVORLANSocket::ReceiveReply(char* buffer, int toSend, int capacity) {
    return ReceiveUntil(buffer, toSend, capacity, 3, "Receive2");
}

int CVORLANSocket::Exchange(char command, const char* text, char* reply) {
    int length = BuildFrame(command, text, reply, kCommandCapacity);
    return length > 0 ? ReceiveLine(reply, length, kCommandCapacity) : -1;
}

bool CVORLANSocket::SendCommand(const char* login) {
    char reply[kCommandCapacity];
    return Exchange('C', login, reply) > 0 && reply[0] == '1';
}

int CVORLANSocket::Login(const char* login) {
    char reply[kCommandCapacity];
    int received = Exchange('/', login, reply);
    return received > 0 ? socketframes::LoginResult(reply, received) : kLoginFailed;
}

bool CVORLANSocket::Logout() {
    char reply[kCommandCapacity];
    return Exchange('L', nullptr, reply) > 0 && reply[0] == '1';
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
    std::optional<vorlan::socketframes::ReplyBeyond> beyond;
    int received = ReceiveUntil(out, length, capacity, 3, "Receive2", &beyond);
    if (received < 0) {
        out[0] = '\0';
        return kConnectionLost;
    }
    return beyond ? socketframes::TakeLongExecuteReply(out, capacity, *beyond)
                  : socketframes::TakeExecuteReply(out, received);
}
