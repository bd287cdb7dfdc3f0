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
    std::memset(&theApp.m_Settings, 0, sizeof theApp.m_Settings);
    theApp.m_Settings.remote = 1;
    theApp.SetRegistryKey(kMakerWord);
    theApp.m_pszProfileName = kProductKey;
    theApp.m_strGeneralKey = "Software\\Tarvell\\VORLAN\\General";
    theApp.m_hConnection = 0;
    theApp.m_bConsoleOpen = false;
    theApp.m_makeConsole = nullptr;
    ASSERT_TRUE(theApp.LoadLanguageDll());
    theApp.SetTransport(std::move(transport));
}

inline void ReleaseApp() {
    theApp.Disconnect();
    theApp.SetTransport(nullptr);
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
