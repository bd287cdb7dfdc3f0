// How long dbserver's jobs live: a job ends with its client, also in the middle of a line,
// and a connection that overstays a limit is closed. Each test runs a server of its own on
// the fixture's database, so that it can count that server's processes.
#include "common/MQuote.h"
#include "tests/common/WireBytes.h"
#include "tests/dbserver/TestClient.h"

#include <chrono>
#include <fstream>
#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <thread>
#include <unistd.h>

namespace vorlan::dbserver::test {
namespace {

using client::ProcessRuns;
using client::ServerProcess;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using testing::HasSubstr;
using testing::Not;
using vorlan::test::Be32;
using vorlan::test::FieldBytes;
using vorlan::test::HeaderBytes;

// Whether `done` comes true within `limit`.
bool Within(std::chrono::milliseconds limit, const std::function<bool()>& done) {
    for (const auto end = Clock::now() + limit;; usleep(20000)) {
        if (done()) return true;
        if (Clock::now() >= end) return false;
    }
}

// Ends the process when the test did not see it ended, so that a failure leaves nothing running.
struct Reaper {
    pid_t pid = 0;
    ~Reaper() {
        if (pid > 0 && ProcessRuns(pid)) kill(pid, SIGKILL);
    }
};

// The bytes of an "X" request for `code`.
std::string ExecBytes(const std::string& code) {
    return HeaderBytes("X", "2") + FieldBytes(code) + FieldBytes(wire::kExecEndMarker);
}

// A server of the test's own whose log is kept in a file of the test's own.
class OwnServer {
  public:
    explicit OwnServer(std::vector<std::string> options = {})
        : m_log("/tmp/dbserver-lifetime-" + std::to_string(getpid()) + "-" + std::to_string(++s_count) +
                ".log"),
          m_server(VORLAN_DBSERVER_EXE, FixtureDatabase(), With(options, {"--log", m_log})) {}
    ~OwnServer() { unlink(m_log.c_str()); }

    int port() const { return m_server.port(); }
    size_t JobCount() const { return m_server.Jobs().size(); }
    std::string Log() const {
        std::ifstream in(m_log);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

  private:
    static std::vector<std::string> With(std::vector<std::string> a, const std::vector<std::string>& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    }

    static inline int s_count = 0;
    std::string m_log;
    ServerProcess m_server;
};

class JobLifetimeTest : public FixtureTest {};

TEST_F(JobLifetimeTest, ClientClosingMidLineEndsTheJobAndWhatItStarted) {
    OwnServer server;
    ASSERT_GT(server.port(), 0);
    auto bystander = ConnectTo(server.port());
    const std::string file = "/tmp/dbserver-lifetime-" + std::to_string(getpid()) + ".pid";
    const std::string writePid = "O F:NEWVERSION U F W $J C F ";
    struct Case {
        const char* name;
        std::string code; // writes the pid of what runs it to F first
    } cases[] = {
        {"endless loop", writePid + "F  S X=1"},
        {"hang", writePid + "H 100"},
        {"shell command", "ZSYSTEM " + MQuote("echo $$ >" + file + "; exec sleep 100")},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        unlink(file.c_str());
        auto c = ConnectTo(server.port());
        c->SendRaw(ExecBytes("S F=" + MQuote(file) + " " + k.code));
        pid_t runner = 0;
        Reaper reaper;
        ASSERT_TRUE(Within(5s, [&] { return std::ifstream(file) >> runner && runner > 0; }));
        reaper.pid = runner;
        c.reset();
        // Only the bystander's job is left, and the other connection goes on.
        EXPECT_TRUE(Within(2s, [&] { return server.JobCount() == 1 && !ProcessRuns(runner); }));
        EXPECT_EQ(bystander->Exec("W 1"), "1");
    }
    unlink(file.c_str());
    EXPECT_THAT(server.Log(), HasSubstr("client gone during a request, stopping the job"));
}

TEST_F(JobLifetimeTest, LogOutFollowedByCloseEndsTheJobInOrder) {
    OwnServer server;
    ASSERT_GT(server.port(), 0);
    // The client library closes its socket right after "Q": the server sees the end of the
    // stream while it takes the request, which must not count as leaving a running request.
    // Which of the two it notices first varies, so many rounds.
    const int kRounds = 100;
    for (int i = 0; i < kRounds; ++i) {
        auto c = ConnectTo(server.port());
        c->SendRaw(HeaderBytes("Q", "0"));
    }
    EXPECT_TRUE(Within(5s, [&] { return server.JobCount() == 0; })) << server.JobCount() << " left";
    const std::string log = server.Log();
    EXPECT_THAT(log, Not(HasSubstr("client gone during a request")));
    size_t ended = 0;
    for (size_t at = 0; (at = log.find("job ended", at)) != std::string::npos; ++at)
        ++ended;
    EXPECT_EQ(ended, size_t{kRounds}) << "a job was stopped instead of ending in order";
}

TEST_F(JobLifetimeTest, StalledLogInOrRequestIsClosedAfterItsLimit) {
    OwnServer server({"--login-limit", "1", "--request-limit", "1"});
    ASSERT_GT(server.port(), 0);
    // Time between requests counts for neither limit.
    auto quiet = ConnectTo(server.port());
    const auto quietSince = Clock::now();
    struct Case {
        const char* name;
        bool login;
        std::string bytes;
    } cases[] = {
        {"nothing sent", false, ""},
        {"log-in half-sent", false, HeaderBytes("L", "10") + FieldBytes("0")},
        {"request half-sent", true, HeaderBytes("X", "2") + FieldBytes("W 1")},
    };
    // All at once, each timed from before its limit can have begun.
    std::vector<std::pair<std::unique_ptr<TestClient>, Clock::time_point>> stalled;
    for (const auto& k : cases) {
        auto c = k.login ? ConnectTo(server.port()) : nullptr;
        const auto start = Clock::now();
        if (!c) c = std::make_unique<TestClient>(server.port());
        c->SendRaw(k.bytes);
        stalled.emplace_back(std::move(c), start);
    }
    for (size_t i = 0; i < stalled.size(); ++i) {
        SCOPED_TRACE(cases[i].name);
        auto& [c, start] = stalled[i];
        EXPECT_TRUE(c->ClosedByServer());
        double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        EXPECT_GE(seconds, 1.0);
        EXPECT_LT(seconds, 2.0);
    }
    std::this_thread::sleep_until(quietSince + 1500ms);
    EXPECT_EQ(quiet->Exec("W 1"), "1");
    const std::string log = server.Log();
    EXPECT_THAT(log, HasSubstr("no log-in within 1 s, closing"));
    EXPECT_THAT(log, HasSubstr("request half-sent for 1 s, closing"));
}

TEST_F(JobLifetimeTest, LogInMaySendOnlyWhatALogInNeeds) {
    OwnServer server({"--login-limit", "1"});
    ASSERT_GT(server.port(), 0);
    struct Case {
        const char* name;
        std::string bytes;
        const char* why;
    } cases[] = {
        {"a field longer than a log-in's",
         HeaderBytes("L", "10") + FieldBytes("0") + FieldBytes(std::string(1025, 'x')),
         "field longer than allowed"},
        {"a field of 64 MB announced", HeaderBytes("L", "10") + Be32(64 << 20), "field longer than allowed"},
        {"more fields than a log-in's", HeaderBytes("L", "11"), "more fields than allowed"},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        TestClient c(server.port());
        c.SendRaw(k.bytes);
        EXPECT_TRUE(c.ClosedByServer());
        EXPECT_THAT(server.Log(), HasSubstr(std::string("malformed log-in, closing: ") + k.why));
    }
    // A log-in at the bounds, and the logged-in limits after it.
    auto c = std::make_unique<TestClient>(server.port());
    Reply r = c->Login("", "", std::string(1024, 'p'));
    ASSERT_EQ(r.fields.size(), 5u);
    EXPECT_EQ(r.fields[1], "0") << r.fields[2];
    EXPECT_EQ(c->Exec("W $L(" + MQuote(std::string(100000, 'x')) + ")"), "100000");
}

TEST_F(JobLifetimeTest, ConnectionsBeyondTheLimitAreClosedAtOnce) {
    OwnServer server({"--max-connections", "2"});
    ASSERT_GT(server.port(), 0);
    auto first = ConnectTo(server.port());
    TestClient notLoggedIn(server.port()); // counts as well
    TestClient refused(server.port());
    EXPECT_TRUE(refused.ClosedByServer());
    EXPECT_THAT(server.Log(), HasSubstr("2 connections already, refusing one"));
    EXPECT_EQ(first->Exec("W 1"), "1");

    first.reset();
    ASSERT_TRUE(Within(5s, [&] { return server.JobCount() == 1; }));
    EXPECT_EQ(ConnectTo(server.port())->Exec("W 2"), "2") << "room again";
}

TEST_F(JobLifetimeTest, ReplyNotTakenIsClosedAfterTheRequestLimit) {
    OwnServer server({"--request-limit", "1"});
    ASSERT_GT(server.port(), 0);
    auto bystander = ConnectTo(server.port());
    // A reply far beyond what the socket buffers of both ends hold (all a line may write),
    // never read.
    auto stuck = ConnectTo(server.port());
    stuck->SendRaw(ExecBytes("F I=1:1:16 W $J(\"\",1048576)"));
    // Filling the buffers takes a while on a busy machine; the limit itself is 1 s.
    EXPECT_TRUE(Within(30s, [&] { return server.JobCount() == 1; })) << server.JobCount() << " jobs";
    EXPECT_THAT(server.Log(), HasSubstr("reply not taken for 1 s, closing"));
    EXPECT_EQ(bystander->Exec("W 1"), "1");
}

TEST_F(JobLifetimeTest, IdleLimitClosesIdleConnectionsOnly) {
    OwnServer server({"--idle", "1"});
    ASSERT_GT(server.port(), 0);
    // Its limit began before the log-in's reply came; closing early shows in the busy part.
    auto idle = ConnectTo(server.port());
    const auto start = Clock::now();
    EXPECT_TRUE(idle->ClosedByServer());
    EXPECT_LT(std::chrono::duration<double>(Clock::now() - start).count(), 2.0);
    EXPECT_THAT(server.Log(), HasSubstr("idle for 1 s, closing"));

    // A request longer than the limit, then requests closer together than it for longer.
    auto busy = ConnectTo(server.port());
    EXPECT_EQ(busy->Exec("H 1.5 W 2"), "2");
    for (int i = 0; i < 3; ++i) {
        usleep(600000);
        EXPECT_EQ(busy->Exec("W 1"), "1");
    }
}

TEST_F(JobLifetimeTest, DroppedConnectionsLeaveNoProcess) {
    OwnServer server;
    ASSERT_GT(server.port(), 0);
    enum Stage { Connected, LoggedIn, HalfSent, Running, kStages };
    std::vector<std::unique_ptr<TestClient>> clients;
    for (int i = 0; i < 20; ++i) {
        const auto stage = static_cast<Stage>(i % kStages);
        auto c = stage == Connected ? std::make_unique<TestClient>(server.port()) : ConnectTo(server.port());
        if (stage == HalfSent) c->SendRaw(HeaderBytes("X", "2"));
        if (stage == Running) c->SendRaw(ExecBytes("F  S X=1"));
        clients.push_back(std::move(c));
    }
    clients.clear();
    EXPECT_TRUE(Within(2s, [&] { return server.JobCount() == 0; })) << server.JobCount() << " left";
}

} // namespace
} // namespace vorlan::dbserver::test
