#pragma once
// DbClient for GoogleTest: Exec returns the output and fails the test on an error.

#include "tests/dbserver/DbClient.h"

#include <gtest/gtest.h>

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

} // namespace vorlan::dbserver::test
