// Start and end of the library, the process entry and the calls that only touch the tables.
#include "client/Tables.h"
#include "client/Winsock.h"
#include "client/kvxapi.h"
#include "common/ErrorTable.h"

#include <cstring>

using namespace vorlan;
using namespace vorlan::client;

namespace {

constexpr char kApiVersion[] = "4.4.0";

int FailStart(HMODULE library, bool started, int error) {
    if (started) g_winsock.WSACleanup();
    FreeLibrary(library);
    g_winsock.module = nullptr;
    return error;
}

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
    return TRUE;
}

int KVXAPI kvx_initialize(void) {
    WORD requested = MAKEWORD(2, 2);
    HMODULE library = LoadLibraryA("ws2_32.dll");
    if (library) {
        g_winsock.kind = 2;
    } else {
        library = LoadLibraryA("wsock32.dll");
        if (!library) {
            g_winsock.module = nullptr;
            return kvx::kErrNoSocketLibrary;
        }
        requested = MAKEWORD(1, 1);
    }
    g_winsock.module = library;
    if (!g_winsock.Bind(library)) return FailStart(library, false, kvx::kErrNoSocketLibrary);

    WSADATA data;
    if (g_winsock.WSAStartup(requested, &data) != 0)
        return FailStart(library, true, kvx::kErrNoSocketLibrary);
    const BYTE expected = g_winsock.kind == 1 ? 1 : 2;
    if (LOBYTE(data.wVersion) != expected || HIBYTE(data.wVersion) != expected)
        return FailStart(library, true, kvx::kErrSocketVersion);

    ClearTablesOnce();
    RegisterProcess();
    return 0;
}

int KVXAPI kvx_rundown(void) {
    if (!g_winsock.module) return 0;
    ProcessSlot* process = CurrentProcess();
    int count = process ? process->count : 0;
    for (int i = 0; i < count; ++i) {
        if (g_winsock.WSACleanup() != 0 && g_winsock.WSAGetLastError() != WSANOTINITIALISED) {
            FreeLibrary(g_winsock.module);
            g_winsock.module = nullptr;
            break;
        }
    }
    if (process) *process = {nullptr, 0, 0};
    return 0;
}

int KVXAPI kvx_options(int set, int clear) {
    // Flags set while the process has no entry are not kept.
    if (ProcessSlot* process = CurrentProcess()) process->options = (process->options & ~clear) | set;
    return 0;
}

int KVXAPI kvx_timeout(int handle, int seconds) {
    if (seconds < 0) return kvx::kErrTimeout;
    SocketSlot* slot = FindSlot(handle);
    if (!slot) return kvx::kErrBadHandle;
    slot->timeout = seconds;
    return 0;
}

int KVXAPI kvx_version(char* buffer) {
    if (!buffer) return kvx::kErrBadArgument;
    std::memcpy(buffer, kApiVersion, sizeof kApiVersion);
    return 0;
}

int KVXAPI kvx_error(const char* text) {
    if (!text) return kvx::kErrUnknownServerError;
    return kvx::ServerErrorNumber(text, std::strlen(text));
}
