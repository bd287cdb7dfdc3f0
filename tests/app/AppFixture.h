#pragma once
// Puts the one application object into a known state for a test: test mode with scratch
// settings, the language library, a fresh settings block and the given transport.

#include "app/ProtocolLog.h"
#include "app/VORLANApp.h"
#include "framework/TestMode.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace apptest {

inline void PrepareApp(const char* scratch, std::unique_ptr<ISessionTransport> transport) {
    fw::TestMode::Enable("", scratch);
    fw::TestMode::ClearScratchKey();
    std::memset(&theApp.Settings(), 0, sizeof theApp.Settings());
    theApp.Settings().remote = 1;
    theApp.SetIdentity();
    ASSERT_TRUE(theApp.LoadLanguageDll());
    AppParts parts;
    parts.transport = std::move(transport);
    theApp.Plug(std::move(parts));
}

inline void ReleaseApp() {
    theApp.Disconnect();
    theApp.Plug(AppParts());
    theApp.m_pMainWnd = nullptr;
    fw::TestMode::ClearScratchKey();
    fw::TestMode::Disable();
    vorlan::ResetProtocol();
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

} // namespace apptest
