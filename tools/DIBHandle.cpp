#include "tools/DIB.h"

#include <cstring>

bool CDIB::CreateFromHandle(HGLOBAL handle) {
    *this = CDIB{};
    if (!handle) return false;
    // The block may be larger than asked for, never smaller: its size bounds every read.
    size_t size = ::GlobalSize(handle);
    const void* block = ::GlobalLock(handle);
    if (!block) return false;
    bool ok = CreateFromPacked(block, size);
    ::GlobalUnlock(handle);
    return ok;
}

HGLOBAL CDIB::GetHandle() const {
    std::vector<uint8_t> packed = GetPacked();
    if (packed.empty()) return nullptr;
    HGLOBAL handle = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, packed.size());
    if (!handle) return nullptr;
    void* block = ::GlobalLock(handle);
    if (!block) {
        ::GlobalFree(handle);
        return nullptr;
    }
    std::memcpy(block, packed.data(), packed.size());
    ::GlobalUnlock(handle);
    return handle;
}
