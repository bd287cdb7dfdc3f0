#pragma once
// Puts the one application object into a known state: test mode with scratch settings, the
// language library, a fresh settings block and the given transport. Free of GoogleTest, so
// that the benchmarks start the application as the tests do.

#include "app/ProtocolLog.h"
#include "app/VORLANApp.h"
#include "framework/TestMode.h"

#include <cstring>
#include <memory>

namespace apptest {

// False when the language library is not beside the program; nothing is plugged in then.
inline bool SetUpApp(const char* scratch, std::unique_ptr<ISessionTransport> transport) {
    fw::TestMode::Enable("", scratch);
    fw::TestMode::ClearScratchKey();
    std::memset(&theApp.Settings(), 0, sizeof theApp.Settings());
    theApp.Settings().remote = 1;
    theApp.SetIdentity();
    if (!theApp.LoadLanguageDll()) return false;
    AppParts parts;
    parts.transport = std::move(transport);
    theApp.Plug(std::move(parts));
    return true;
}

inline void ReleaseApp() {
    theApp.Disconnect();
    theApp.Plug(AppParts());
    theApp.m_pMainWnd = nullptr;
    fw::TestMode::ClearScratchKey();
    fw::TestMode::Disable();
    vorlan::ResetProtocol();
}

} // namespace apptest
