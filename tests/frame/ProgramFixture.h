#pragma once
// VORLAN.exe as a test starts it against the fixture's dbserver: in test mode, with a folder
// and scratch settings of the test's own.

#include "tests/harness/Harness.h"

#include <gtest/gtest.h>

#include <string>

class ProgramFixture : public ::testing::Test {
  protected:
    std::string dir;

    void SetUp() override {
        ASSERT_NE(harness::DbServerPort(), 0) << "the dbserver fixture tells the port";
        dir = harness::FreshFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
        harness::ClearTestModeSettings(dir);
    }
    void TearDown() override { harness::ClearTestModeSettings(dir); }
    // With VORLAN_ARTIFACTS set, a picture of the screen goes there under the file name, once
    // settle has let the program finish drawing.
    template <class Settle> void SavePicture(const std::string& file, Settle settle) {
        char folder[MAX_PATH];
        if (!GetEnvironmentVariableA("VORLAN_ARTIFACTS", folder, sizeof folder)) return;
        settle();
        CreateDirectoryA(folder, nullptr);
        EXPECT_TRUE(harness::SaveScreen(std::string(folder) + "\\" + file)) << "something was drawn";
    }
    // The program's command line: the arguments, then the fixture's server.
    std::string Command(const std::string& args) const {
        return harness::TestModeCommand(harness::BinFolder() + "VORLAN.exe", dir,
                                        args + " -r -ip 127.0.0.1 -port " +
                                            std::to_string(harness::DbServerPort()));
    }
};
