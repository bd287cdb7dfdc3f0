#pragma once
// A client of dbserver for tests and benchmarks: real sockets, the shared codec for every byte.

#include "common/ReplyReader.h"
#include "common/WireFormat.h"

#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

namespace vorlan::dbserver::client {

// The fixture's server: the port and database directory that scripts/dbserver-ctl wrote.
int FixturePort();
// Its port of the application protocol (--app-listen).
int FixtureAppPort();
std::string FixtureDatabase();

// A dbserver of one's own on a free loopback port: "EXE serve DIR" with its log dropped and
// `options` added; ended (SIGTERM) with the object. port() is 0 when it did not start.
class ServerProcess {
  public:
    ServerProcess(const std::string& exe, const std::string& dir,
                  const std::vector<std::string>& options = {});
    ~ServerProcess();
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    int port() const { return m_port; }
    // Its child processes, its jobs: ended ones it has not reaped yet included.
    std::vector<pid_t> Jobs() const;

  private:
    pid_t m_pid = -1;
    int m_port = 0;
};

// True while `pid` runs: neither gone nor ended and waiting for its parent.
bool ProcessRuns(pid_t pid);

struct Reply {
    int status = 0; // 0 or the error number of reading it
    char type = 0;
    std::vector<std::string> fields;
};

class DbClient : public wire::ByteSink, public wire::ByteSource {
  public:
    explicit DbClient(int port);
    ~DbClient();
    DbClient(const DbClient&) = delete;
    DbClient& operator=(const DbClient&) = delete;

    bool connected() const { return m_socket >= 0; }

    // Sends "L" with the ten fields and reads the 'V' answer.
    Reply Login(const std::string& uci = "", const std::string& vol = "", const std::string& password = "",
                int32_t nonce = 1234, const std::string& api = "API4.4.0");
    // "X": the output (or the error text) and the error number of the reply.
    int Exec(const std::string& code, std::string& output);
    // A request whose fields are given; every field sent as is, run markers where a field
    // is the "\xff" + count text that Run() makes.
    Reply Call(const std::string& code, const std::vector<std::string>& fields);
    static std::string Run(int32_t count);
    void SendRaw(const std::string& bytes);
    Reply ReadReply();
    // True when the server closed the connection without sending anything more.
    bool ClosedByServer();
    // True when a reply is waiting right now.
    bool ReplyWaiting();

    int Send(const uint8_t* data, int32_t length) override;
    int Receive(uint8_t* buffer, int32_t length, bool all, int32_t* received) override;
    int Drain() override;

  private:
    int m_socket = -1;
    std::vector<char> m_output;
};

} // namespace vorlan::dbserver::client
