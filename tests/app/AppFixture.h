#pragma once
// The application object for a test (AppSetup.h, failing the test when it cannot start) and
// what tests read back.

#include "tests/app/AppSetup.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <utility>

namespace apptest {

inline void PrepareApp(const char* scratch, std::unique_ptr<ISessionTransport> transport) {
    ASSERT_TRUE(SetUpApp(scratch, std::move(transport))) << "no language library beside the test";
}

inline std::string ReadFile(const char* path) {
    std::string text;
    if (FILE* f = std::fopen(path, "rb")) {
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
            text.append(buf, n);
        std::fclose(f);
    }
    return text;
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
        return file.empty() ? std::string() : ReadFile(file.c_str());
    }

  private:
    std::string m_previous, m_folder;
};

} // namespace apptest
