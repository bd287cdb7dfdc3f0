#pragma once
// Reading the caller's global and subscript descriptors safely, and building the text of a
// global reference from them.

#include "client/kvxapi.h"

#include <cstdint>

namespace vorlan::client {

constexpr int32_t kSdbSize = sizeof(KVX_SDB);
constexpr int32_t kSdbBudget = 254;
constexpr int32_t kReferenceMax = 1024;

// Where subscripts 1 to count begin in the text area. Positions are found by walking the
// area (each text, its NUL and one spare byte), never by trusting the stored addresses, so a
// copied or damaged block cannot lead outside itself.
struct SdbLayout {
    int32_t count = 0;
    int32_t start[KVX_SDB_SUBSCRIPTS + 1] = {}; // start[count] is the first free byte
};

// False when the block is not a valid subscript descriptor.
bool ReadSdb(const KVX_SDB* sdb, SdbLayout* layout);

// Stores the addresses (32-bit build) or offsets (64-bit build) the layout describes.
void WriteSdbLinks(KVX_SDB* sdb, const SdbLayout& layout);

enum class ReferenceKind {
    Global, // a name, or a naked reference to the last subscript
    Lock,   // a name is required
    Unlock, // a name is required and no subscript may be empty
};

// The reference text of gdb and sdb into `out` (kReferenceMax bytes), terminated. Returns 0,
// 10021 for no gdb, 10024 for a missing or bad sdb, 10029 for neither name nor subscripts
// (Global), 10051 for no name (Lock, Unlock), 10032 for an empty subscript (Unlock).
int BuildReference(const KVX_GDB* gdb, const KVX_SDB* sdb, ReferenceKind kind, char* out, int32_t* length);

} // namespace vorlan::client
