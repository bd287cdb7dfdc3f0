#include "client/Tables.h"

#include "client/ConnectionBuffers.h"

#include <new>

namespace vorlan::client {

SocketSlot socket_table[kSlots];
ProcessSlot process_table[kSlots];
int32_t newer_server = 0;

namespace {
bool g_socketTableCleared = false;
bool g_processTableCleared = false;
} // namespace

void ClearTablesOnce() {
    if (!g_processTableCleared) {
        for (auto& slot : process_table)
            slot = {nullptr, 0, 0};
        g_processTableCleared = true;
    }
    if (!g_socketTableCleared) {
        for (auto& slot : socket_table)
            slot = {INVALID_SOCKET, 0, nullptr};
        g_socketTableCleared = true;
    }
}

int RegisterSocket(SOCKET socket, int32_t timeout) {
    if (!g_socketTableCleared) return 0;
    for (int i = 0; i < kSlots; ++i) {
        if (socket_table[i].socket == INVALID_SOCKET) {
            auto* buffers = new (std::nothrow) ConnectionBuffers;
            if (!buffers) return 0;
            socket_table[i] = {socket, timeout, buffers};
            return i + 1;
        }
    }
    return 0;
}

void UnregisterHandle(int handle) {
    if (SocketSlot* slot = FindSlot(handle)) {
        delete slot->buffers;
        *slot = {INVALID_SOCKET, slot->timeout, nullptr};
    }
}

SocketSlot* FindSlot(int handle) {
    if (!g_socketTableCleared || handle < 1 || handle > kSlots) return nullptr;
    SocketSlot* slot = &socket_table[handle - 1];
    return slot->socket == INVALID_SOCKET ? nullptr : slot;
}

ProcessSlot* CurrentProcess() {
    if (!g_processTableCleared) return nullptr;
    HANDLE key = GetCurrentProcess();
    for (auto& slot : process_table)
        if (slot.key == key) return &slot;
    return nullptr;
}

ProcessSlot* RegisterProcess() {
    if (ProcessSlot* slot = CurrentProcess()) {
        ++slot->count;
        return slot;
    }
    for (auto& slot : process_table) {
        if (slot.key == nullptr) {
            slot = {GetCurrentProcess(), 1, 1};
            return &slot;
        }
    }
    return nullptr;
}

int ConnectAttempts() {
    const ProcessSlot* slot = CurrentProcess();
    return slot && (slot->options & 2) ? 1 : 3;
}

} // namespace vorlan::client
