#include "tests/dbserver/DbClient.h"

#include "common/ErrorTable.h"

#include <arpa/inet.h>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vorlan::dbserver::client {

namespace {

const int kWaitMs = 60000;

std::string StateDir() {
    const char* dir = std::getenv("VORLAN_STATE_DIR");
    return dir ? dir : "";
}

// State and parent of a process from /proc; false when it is gone.
bool ProcessStat(pid_t pid, char& state, pid_t& parent) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string stat;
    if (!std::getline(in, stat)) return false;
    // The name in parentheses may hold blanks and parentheses itself.
    std::istringstream rest(stat.substr(stat.rfind(')') + 1));
    return static_cast<bool>(rest >> state >> parent);
}

} // namespace

namespace {

int PortFile(const char* name) {
    std::ifstream in(StateDir() + "/" + name);
    int port = 0;
    in >> port;
    return port;
}

} // namespace

int FixturePort() {
    return PortFile("dbserver.port");
}

int FixtureAppPort() {
    return PortFile("dbserver.appport");
}

std::string FixtureDatabase() {
    return StateDir() + "/dbserver-db";
}

ServerProcess::ServerProcess(const std::string& exe, const std::string& dir,
                             const std::vector<std::string>& options) {
    std::vector<std::string> args{exe, "serve", dir, "--listen", "127.0.0.1:0", "--log", "/dev/null"};
    args.insert(args.end(), options.begin(), options.end());
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    int out[2];
    if (pipe(out) != 0) return;
    m_pid = fork();
    if (m_pid == 0) {
        dup2(out[1], 1);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(out[1]);
    // The server prints its port once it listens; nothing when it cannot start.
    std::string text;
    char c;
    while (m_pid > 0 && read(out[0], &c, 1) == 1 && c != '\n')
        text += c;
    close(out[0]);
    m_port = std::atoi(text.c_str());
}

ServerProcess::~ServerProcess() {
    if (m_pid <= 0) return;
    kill(m_pid, SIGTERM);
    waitpid(m_pid, nullptr, 0);
}

std::vector<pid_t> ServerProcess::Jobs() const {
    std::vector<pid_t> jobs;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        const std::string name = entry.path().filename();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        char state;
        pid_t parent;
        pid_t pid = std::stoi(name);
        if (ProcessStat(pid, state, parent) && parent == m_pid) jobs.push_back(pid);
    }
    return jobs;
}

bool ProcessRuns(pid_t pid) {
    char state;
    pid_t parent;
    return ProcessStat(pid, state, parent) && state != 'Z';
}

DbClient::DbClient(int port) {
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    m_socket = socket(AF_INET, SOCK_STREAM, 0);
    if (connect(m_socket, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        close(m_socket);
        m_socket = -1;
        return;
    }
    // A long request leaves in several sends, as from the client library: none may wait.
    int on = 1;
    setsockopt(m_socket, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

DbClient::~DbClient() {
    if (m_socket >= 0) close(m_socket);
}

int DbClient::Send(const uint8_t* data, int32_t length) {
    while (length > 0) {
        ssize_t n = send(m_socket, data, static_cast<size_t>(length), MSG_NOSIGNAL);
        if (n <= 0) return kvx::kErrConnectionLost;
        data += n;
        length -= static_cast<int32_t>(n);
    }
    return 0;
}

int DbClient::Receive(uint8_t* buffer, int32_t length, bool all, int32_t* received) {
    *received = 0;
    while (*received < length) {
        pollfd p{m_socket, POLLIN, 0};
        int r = poll(&p, 1, kWaitMs);
        if (r == 0) return kvx::kErrTimeout;
        if (r < 0) return kvx::kErrConnectionLost;
        ssize_t n = recv(m_socket, buffer + *received, static_cast<size_t>(length - *received), 0);
        if (n < 0) return kvx::kErrConnectionLost;
        if (n == 0) return 0;
        *received += static_cast<int32_t>(n);
        if (!all) return 0;
    }
    return 0;
}

int DbClient::Drain() {
    uint8_t scratch[128];
    pollfd p{m_socket, POLLIN, 0};
    while (poll(&p, 1, 0) == 1 && recv(m_socket, scratch, sizeof scratch, 0) > 0) {
    }
    return 0;
}

void DbClient::SendRaw(const std::string& bytes) {
    Send(reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<int32_t>(bytes.size()));
}

std::string DbClient::Run(int32_t count) {
    return "\xff" + std::to_string(count);
}

Reply DbClient::Call(const std::string& code, const std::vector<std::string>& fields) {
    uint8_t buffer[wire::kRequestBufferSize];
    int32_t position = 0;
    wire::RequestWriter w(*this, buffer, sizeof buffer, position);
    int32_t count = 0;
    for (const auto& f : fields)
        count += f.size() > 1 && f[0] == '\xff' ? std::stoi(f.substr(1)) : 1;
    w.Header(code.c_str(), count);
    for (const auto& f : fields) {
        if (f.size() > 1 && f[0] == '\xff')
            w.Run(std::stoi(f.substr(1)));
        else
            w.Field(f.data(), f.size());
    }
    if (int e = w.Flush()) return {e, 0, {}};
    return ReadReply();
}

Reply DbClient::ReadReply() {
    Reply r;
    int32_t count = 0;
    r.status = wire::ReadReplyHeader(*this, &r.type, &count);
    for (int32_t i = 0; r.status == 0 && i < count; ++i) {
        int32_t length = 0;
        r.status = wire::ReadFieldLength(*this, &length);
        if (r.status) break;
        std::string data(static_cast<size_t>(std::max(length, 0)), '\0');
        int32_t read = 0;
        r.status = wire::ReadFieldData(*this, reinterpret_cast<uint8_t*>(data.data()), length, length, &read);
        data.resize(static_cast<size_t>(read));
        r.fields.push_back(std::move(data));
    }
    return r;
}

Reply DbClient::Login(const std::string& uci, const std::string& vol, const std::string& password,
                      int32_t nonce, const std::string& api) {
    return Call("L", {"0", api, "KVX-TCP", "127.0.0.1", "", password, uci, vol, "0", std::to_string(nonce)});
}

int DbClient::Exec(const std::string& code, std::string& output) {
    uint8_t buffer[wire::kRequestBufferSize];
    int32_t position = 0;
    wire::RequestWriter w(*this, buffer, sizeof buffer, position);
    w.Header("X", 2).Field(code.data(), code.size()).Text(wire::kExecEndMarker);
    if (int e = w.Flush()) return e;
    if (m_output.empty()) m_output.resize(4 << 20);
    int32_t length = 0;
    int result = wire::ReadExecReply(*this, m_output.data(), static_cast<int32_t>(m_output.size()), &length);
    output.assign(m_output.data(), static_cast<size_t>(length));
    return result;
}

bool DbClient::ClosedByServer() {
    pollfd p{m_socket, POLLIN, 0};
    if (poll(&p, 1, kWaitMs) != 1) return false;
    char c;
    return recv(m_socket, &c, 1, 0) == 0;
}

bool DbClient::ReplyWaiting() {
    pollfd p{m_socket, POLLIN, 0};
    return poll(&p, 1, 0) == 1;
}

} // namespace vorlan::dbserver::client
