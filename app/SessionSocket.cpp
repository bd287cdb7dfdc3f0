// The session over the application server's own protocol (transport kind 1).
#include "app/Session.h"
#include "app/SettingsBlock.h"
#include "app/VORLANSocket.h"
#include "framework/App.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr int kSecondConnectionTimeout = 5000; // ms; the wait dialog must not hang on it

// What the server's log-in and change commands take: the UCI, and the volume after a comma.
std::string LoginText(const char* uci, const char* volume) {
    std::string text = uci ? uci : "";
    if (volume && *volume) text.append(",").append(volume);
    return text;
}

} // namespace

bool CSession::LoginSocket(const char* host, int port, const char* uci, const char* volume) {
    std::string login = LoginText(uci, volume);
    if (m_pSocket && m_hConnection) {
        // A refused change leaves the connection in its old UCI, which must stay known.
        if (m_pSocket->SendCommand(login.c_str())) return true;
        CString text;
        text.Format("VORLAN konnte nicht in den Namensbereich \"%s\" wechseln.\n\n"
                    "  Bitte stellen Sie sicher, dass die Einstellungen korrekt sind.",
                    login.c_str());
        AfxMessageBox(text, MB_OK | MB_ICONSTOP);
        return false;
    }
    if (m_hConnection && m_pTransport)
        m_pTransport->Logout(m_hConnection); // the settings changed the transport
    m_hConnection = 0;
    auto socket = std::make_unique<CVORLANSocket>();
    if (!socket->ConnectServer(host, port)) {
        ShowNoServerMessage();
        return false;
    }
    if (socket->Login(login.c_str()) != 0) {
        socket->Close();
        AfxMessageBox("VORLAN konnte sich nicht am Server anmelden.\n\n"
                      "  Bitte stellen Sie sicher, dass die Einstellungen korrekt sind.",
                      MB_OK | MB_ICONSTOP);
        return false;
    }
    m_pSocket = std::move(socket);
    m_hConnection = 1;
    return true;
}

bool CSession::ExecuteOnceSocket(const char* code, char* out, int capacity) {
    CVORLANSocket socket;
    if (!socket.ConnectServer(m_settings.address, std::atoi(m_settings.apiPort))) return false;
    socket.SetSockOpt(SOL_SOCKET, SO_RCVTIMEO, kSecondConnectionTimeout);
    std::string login = LoginText(m_strUCI, m_strVolume);
    if (socket.Login(login.c_str()) != 0) return false;
    int rc = socket.Execute(code, out, capacity);
    if (rc != CVORLANSocket::kConnectionLost) socket.Logout(); // a dead server would be waited for twice
    socket.Close();
    if (rc != 0) {
        out[0] = '\0';
        return false;
    }
    return true;
}

void CSession::CloseSocket() {
    m_pSocket->Logout();
    m_pSocket.reset(); // closes it
    m_hConnection = 0;
}

bool CSession::UsesSocket() const {
    return m_settings.apiType == 1;
}
