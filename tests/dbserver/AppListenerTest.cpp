// The fixture's second listener (--app-listen): the application protocol against real jobs.
#include "dbserver/AppProtocol.h"
#include "tests/dbserver/TestClient.h"

#include <arpa/inet.h>
#include <chrono>
#include <fstream>
#include <netinet/in.h>
#include <poll.h>
#include <sstream>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace vorlan::dbserver::test {
namespace {

using namespace std::string_literals;

// A raw connection to the application listener.
class AppClient {
  public:
    AppClient() {
        m_socket = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(static_cast<uint16_t>(client::FixtureAppPort()));
        inet_pton(AF_INET, "127.0.0.1", &addr.sin_addr);
        if (connect(m_socket, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
            close(m_socket);
            m_socket = -1;
        }
    }
    ~AppClient() {
        if (m_socket >= 0) close(m_socket);
    }
    bool connected() const { return m_socket >= 0; }

    void SendRaw(const std::string& bytes) {
        ASSERT_EQ(send(m_socket, bytes.data(), bytes.size(), 0), ssize_t(bytes.size()));
    }
    // Sends the request and reads its reply up to `nuls` NUL bytes at its end ("" when the
    // server closed or took longer than 20 s).
    std::string Ask(char command, const std::string& text, int nuls = 1) {
        SendRaw(app::EncodeFrame(command, text));
        return Read(nuls);
    }
    std::string Read(int nuls) {
        std::string reply;
        auto endsInNuls = [&] {
            return reply.size() >= size_t(nuls) &&
                   reply.find_first_not_of('\0', reply.size() - nuls) == std::string::npos;
        };
        while (!endsInNuls()) {
            pollfd p{m_socket, POLLIN, 0};
            if (poll(&p, 1, 20000) <= 0) return "";
            char buffer[65536];
            ssize_t n = recv(m_socket, buffer, sizeof buffer, 0);
            if (n <= 0) return "";
            reply.append(buffer, size_t(n));
        }
        return reply;
    }
    // The output of a line, or "ERR:" and the error text.
    std::string Exec(const std::string& code) {
        std::string reply = Ask('X', code, 3);
        if (reply.size() < 5 || reply[0] != '1') return "BAD:" + reply;
        size_t nul = reply.find('\0');
        std::string status = reply.substr(nul + 1, reply.size() - nul - 4);
        if (status == "1") return reply.substr(1, nul - 1);
        return "ERR:" + status.substr(1);
    }
    bool ClosedByServer() {
        pollfd p{m_socket, POLLIN, 0};
        if (poll(&p, 1, 10000) <= 0) return false;
        char c;
        return recv(m_socket, &c, 1, 0) == 0;
    }
    bool LogIn(const std::string& login = "VOR") { return Ask('/', login) == "1\0"s; }

  private:
    int m_socket = -1;
};

std::string ServerLog() {
    std::ifstream in(client::FixtureDatabase() + "/../dbserver.log");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class AppListenerTest : public FixtureTest {
  protected:
    static void SetUpTestSuite() {
        ASSERT_GT(client::FixtureAppPort(), 0) << "no --app-listen in the fixture";
    }
};

TEST_F(AppListenerTest, LogInMapsNamespaceAndVolumeOrRefuses) {
    struct Case {
        std::string login, reply;
    } cases[] = {{"VOR", "1\0"s}, {"ABR", "1\0"s}, {"", "1\0"s}, {"NIX", "0,1\0"s}, {"VOR,FALSCH", "0,1\0"s}};
    for (const auto& c : cases) {
        AppClient a;
        ASSERT_TRUE(a.connected());
        EXPECT_EQ(a.Ask('/', c.login), c.reply) << c.login;
        if (c.reply[0] == '0') {
            EXPECT_TRUE(a.ClosedByServer()) << c.login;
        }
    }
}

TEST_F(AppListenerTest, FirstRequestMustBeTheLogIn) {
    AppClient a;
    a.SendRaw(app::EncodeFrame('X', "W 1"));
    EXPECT_TRUE(a.ClosedByServer());
}

TEST_F(AppListenerTest, LogInLongerThanALogInIsClosed) {
    AppClient a;
    a.SendRaw(app::EncodeFrame('/', "VOR," + std::string(1000, 'V')));
    EXPECT_TRUE(a.ClosedByServer());
    EXPECT_NE(ServerLog().find("malformed log-in, closing: a request longer than allowed"),
              std::string::npos);
    AppClient b;
    EXPECT_EQ(b.Ask('/', "VOR" + std::string(996, ' ')), "0,1\0"s) << "read whole, and refused";
}

TEST_F(AppListenerTest, ExecuteOutputErrorsAndTheJobsState) {
    AppClient a;
    ASSERT_TRUE(a.LogIn());
    EXPECT_EQ(a.Exec("S x=41 W \"a\",$C(12),x+1"), "a\f42");
    EXPECT_EQ(a.Exec("W x"), "41"); // locals stay with the job
    EXPECT_EQ(a.Exec("W \"\""), "");
    std::string error = a.Exec("W y");
    EXPECT_EQ(error.rfind("ERR:<UNDEF>", 0), 0u) << error;
    EXPECT_EQ(a.Exec("W $C(0)"), "ERR:<SYSTM>output contains a NUL byte");
    EXPECT_EQ(a.Exec("W x"), "41"); // and survive its errors
}

TEST_F(AppListenerTest, LongLinesAndLongOutput) {
    AppClient a;
    ASSERT_TRUE(a.LogIn());
    std::string text(20000, 'q');
    EXPECT_EQ(a.Exec("S t=\"" + text + "\" W $L(t)"), "20000"); // beyond what GT.M executes
    std::string out = a.Exec("W $J(\"\",70000)");
    EXPECT_EQ(out.size(), app::kMaxOutput);
    EXPECT_EQ(a.Exec("W 1"), "1");
}

TEST_F(AppListenerTest, ChangeKeepsLocalsAndLogoutEndsTheJob) {
    AppClient a;
    ASSERT_TRUE(a.LogIn("VOR"));
    a.Exec("S ^ZAPPTEST=\"vor\",keep=7");
    EXPECT_EQ(a.Ask('C', "ABR"), "1\0"s);
    EXPECT_EQ(a.Exec("W $D(^ZAPPTEST),keep"), "07");
    EXPECT_EQ(a.Ask('C', "NIX"), "0\0"s);
    EXPECT_EQ(a.Exec("W $D(^ZAPPTEST)"), "0"); // still in ABR
    EXPECT_EQ(a.Ask('C', "VOR"), "1\0"s);
    EXPECT_EQ(a.Exec("W ^ZAPPTEST K ^ZAPPTEST"), "vor");
    EXPECT_EQ(a.Ask('L', ""), "1\0"s);
    EXPECT_TRUE(a.ClosedByServer());
}

TEST_F(AppListenerTest, SecondConnectionIsServedWhileTheFirstIsBusy) {
    AppClient busy, other;
    ASSERT_TRUE(busy.LogIn());
    ASSERT_TRUE(other.LogIn());
    std::string job = busy.Exec("W $J");
    busy.SendRaw(app::EncodeFrame('X', "D BUSY^QCC(\"Rechnet\") H 3 W \"done\""));
    std::string waiting;
    for (int i = 0; i < 100 && waiting.rfind("Rechnet", 0) != 0; ++i) {
        waiting = other.Exec("W $$WAITING^QCC(\"" + job + "\")");
        usleep(10000);
    }
    EXPECT_EQ(waiting.rfind("Rechnet", 0), 0u) << waiting;
    EXPECT_EQ(busy.Read(3), "1done\0"
                            "1\0\0\0"s);
}

TEST_F(AppListenerTest, MalformedFramingClosesAndIsLogged) {
    struct Case {
        const char* name;
        std::string bytes;
    } cases[] = {{"empty frame", "\0\0"s},
                 {"unknown command", "\2\0?x"s},
                 {"log-in again", app::EncodeFrame('/', "VOR")}};
    for (const auto& c : cases) {
        AppClient a;
        ASSERT_TRUE(a.LogIn());
        a.SendRaw(c.bytes);
        EXPECT_TRUE(a.ClosedByServer()) << c.name;
    }
    std::string log = ServerLog();
    EXPECT_NE(log.find("malformed request, closing: a request without its command"), std::string::npos);
    EXPECT_NE(log.find("malformed request, closing: an unknown command"), std::string::npos);
    EXPECT_NE(log.find("unexpected request, closing: request / after the log-in"), std::string::npos);
}

} // namespace
} // namespace vorlan::dbserver::test
