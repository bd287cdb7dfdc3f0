#pragma once
// The application object for a test (AppSetup.h, failing the test when it cannot start) and
// what tests read back.

#include "tests/app/AppSetup.h"
#include "tests/harness/Harness.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <utility>

namespace apptest {

inline void PrepareApp(const char* scratch, std::unique_ptr<ISessionTransport> transport) {
    ASSERT_TRUE(SetUpApp(scratch, std::move(transport))) << "no language library beside the test";
}

// The protocol log goes to a folder of the test's own while the object lives; the folder
// before comes back after.
class ProtocolInFolder {
  public:
    explicit ProtocolInFolder(std::string folder)
        : m_previous(vorlan::ProtocolFolder()), m_folder(std::move(folder)) {
        vorlan::SetProtocolFolder(m_folder);
    }
    ~ProtocolInFolder() { vorlan::SetProtocolFolder(m_previous); }
    ProtocolInFolder(const ProtocolInFolder&) = delete;
    ProtocolInFolder& operator=(const ProtocolInFolder&) = delete;

    const std::string& Folder() const { return m_folder; }
    // The log of the session's job; empty before the log-in has named it.
    std::string Text() const {
        std::string file = vorlan::ProtocolFileName();
        return file.empty() ? std::string() : harness::ReadTextFile(file);
    }

  private:
    std::string m_previous, m_folder;
};

} // namespace apptest
