#pragma once
// DbClient for GoogleTest: Exec returns the output and fails the test on an error.

#include "tests/dbserver/DbClient.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace vorlan::dbserver::test {

using client::DbClient;
using client::FixtureDatabase;
using client::FixturePort;
using client::Reply;

class TestClient : public DbClient {
  public:
    using DbClient::DbClient;
    using DbClient::Exec;
    std::string Exec(const std::string& code) {
        std::string out;
        int e = Exec(code, out);
        EXPECT_EQ(e, 0) << code.substr(0, 200) << ": " << out;
        return out;
    }
};

// A connection to the server on `port`, logged in to `uci` (empty: the default namespace).
inline std::unique_ptr<TestClient> ConnectTo(int port, const std::string& uci = "") {
    auto c = std::make_unique<TestClient>(port);
    EXPECT_TRUE(c->connected());
    Reply r = c->Login(uci);
    EXPECT_EQ(r.type, 'V');
    EXPECT_EQ(r.fields.size(), 5u);
    if (r.fields.size() == 5) {
        EXPECT_EQ(r.fields[1], "0") << r.fields[2];
    }
    return c;
}

// The same to the fixture's server.
inline std::unique_ptr<TestClient> Connect(const std::string& uci = "") {
    return ConnectTo(FixturePort(), uci);
}

// Tests that need the fixture's server: without one every case would fail on its own.
class FixtureTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { ASSERT_GT(FixturePort(), 0) << "no dbserver fixture (VORLAN_STATE_DIR)"; }
};

} // namespace vorlan::dbserver::test
