// The global descriptor (name, uci, vol) and the subscript descriptor (up to 84 subscripts in
// a 256-byte area of the block itself).
#include "client/Descriptors.h"

#include "common/ErrorTable.h"

#include <cstddef>
#include <cstring>

using namespace vorlan;
using namespace vorlan::client;

namespace {

constexpr int32_t kGdbSize = sizeof(KVX_GDB);
constexpr int32_t kGdbSignature = 25;
constexpr int32_t kTextOffset = offsetof(KVX_SDB, text);

size_t BoundedLength(const char* text, size_t max) {
    size_t n = 0;
    while (n < max && text[n])
        ++n;
    return n;
}

bool IsAlpha(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool ValidGlobalName(const char* name, size_t n) {
    if (n == 0 || !(name[0] == '%' || IsAlpha(name[0]))) return false;
    for (size_t i = 1; i < n; ++i)
        if (!IsAlpha(name[i]) && !IsDigit(name[i])) return false;
    return true;
}

// Upper-cases the caller's text in place; it must then have exactly three characters.
bool TakeNamespace(char* text, char* out) {
    size_t n = 0;
    for (; text[n]; ++n)
        if (text[n] >= 'a' && text[n] <= 'z') text[n] = static_cast<char>(text[n] - 'a' + 'A');
    if (n != 3) return false;
    std::memcpy(out, text, 4);
    return true;
}

class ReferenceText {
  public:
    ReferenceText(char* out) : out_(out) {}

    void Put(char c) {
        if (n_ < kReferenceMax - 1) out_[n_++] = c;
    }
    void Put(const char* text, size_t length) {
        for (size_t i = 0; i < length; ++i)
            Put(text[i]);
    }
    // Quoted, with every quote inside doubled.
    void Quoted(const char* text) {
        Put('"');
        for (; *text; ++text) {
            if (*text == '"') Put('"');
            Put(*text);
        }
        Put('"');
    }
    int32_t Finish() {
        out_[n_] = '\0';
        return n_;
    }

  private:
    char* out_;
    int32_t n_ = 0;
};

} // namespace

namespace vorlan::client {

bool ReadSdb(const KVX_SDB* sdb, SdbLayout* layout) {
    if (!sdb || sdb->size != kSdbSize || sdb->count < 0 || sdb->count > KVX_SDB_SUBSCRIPTS) return false;
    int32_t at = 0;
    for (int32_t i = 0; i < sdb->count; ++i) {
        if (at >= KVX_SDB_TEXT) return false;
        layout->start[i] = at;
        size_t n = BoundedLength(sdb->text + at, static_cast<size_t>(KVX_SDB_TEXT - at));
        if (at + static_cast<int32_t>(n) >= KVX_SDB_TEXT) return false; // no terminator
        at += static_cast<int32_t>(n) + 2;
    }
    layout->count = sdb->count;
    layout->start[sdb->count] = at;
    return true;
}

void WriteSdbLinks(KVX_SDB* sdb, const SdbLayout& layout) {
    sdb->count = layout.count;
    sdb->used = layout.start[layout.count];
    for (int32_t i = 0; i < KVX_SDB_SUBSCRIPTS; ++i) {
#if defined(_WIN64)
        sdb->subscript[i] = i < layout.count ? kTextOffset + layout.start[i] : 0;
#else
        sdb->subscript[i] = i < layout.count ? sdb->text + layout.start[i] : nullptr;
#endif
    }
#if defined(_WIN64)
    sdb->next_free = kTextOffset + layout.start[layout.count];
#else
    sdb->next_free = sdb->text + layout.start[layout.count];
#endif
}

int BuildReference(const KVX_GDB* gdb, const KVX_SDB* sdb, ReferenceKind kind, char* out, int32_t* length) {
    out[0] = '\0';
    *length = 0;
    if (!gdb) return kvx::kErrNoGdb;
    SdbLayout layout;
    if (!ReadSdb(sdb, &layout)) return kvx::kErrNoSdb;
    const bool named = gdb->name_length != 0;
    if (!named && kind != ReferenceKind::Global) return kvx::kErrNoGlobalName;
    if (!named && layout.count == 0) return kvx::kErrBadName;
    if (kind == ReferenceKind::Unlock)
        for (int32_t i = 0; i < layout.count; ++i)
            if (!sdb->text[layout.start[i]]) return kvx::kErrNoSubscript;

    ReferenceText text(out);
    if (!named) {
        // Naked: only the last subscript, whatever its length.
        text.Put('(');
        text.Quoted(sdb->text + layout.start[layout.count - 1]);
        text.Put(')');
        *length = text.Finish();
        return 0;
    }
    size_t uci = BoundedLength(gdb->uci, 3), vol = BoundedLength(gdb->vol, 3);
    if (uci == 3) {
        text.Put("[\"", 2);
        text.Put(gdb->uci, 3);
        text.Put('"');
        if (vol == 3) {
            text.Put(",\"", 2);
            text.Put(gdb->vol, 3);
            text.Put('"');
        }
        text.Put(']');
    }
    text.Put(gdb->name, BoundedLength(gdb->name, 8));
    if (layout.count > 0) {
        text.Put('(');
        for (int32_t i = 0; i < layout.count; ++i) {
            if (i > 0) text.Put(',');
            text.Quoted(sdb->text + layout.start[i]);
        }
        text.Put(')');
    }
    *length = text.Finish();
    return 0;
}

} // namespace vorlan::client

int KVXAPI kvx_gdb_initialize(int size, KVX_GDB* gdb) {
    if (size != kGdbSize) return kvx::kErrGdbSize;
    if (!gdb) return kvx::kErrNoGdb;
    std::memset(gdb, 0, sizeof *gdb);
    gdb->signature = kGdbSignature;
    return 0;
}

int KVXAPI kvx_gdb_clear(KVX_GDB* gdb) {
    if (!gdb) return kvx::kErrNoGdb;
    gdb->name_length = 0;
    gdb->name[0] = gdb->uci[0] = gdb->vol[0] = '\0';
    return 0;
}

int KVXAPI kvx_gdb_insert(const char* name, KVX_GDB* gdb, char* uci, char* vol) {
    if (!gdb) return kvx::kErrNoGdb;
    if (!name) return kvx::kErrBadName;
    size_t n = BoundedLength(name, 9);
    if (n > 8 || !ValidGlobalName(name, n)) return kvx::kErrBadName;
    std::memcpy(gdb->name, name, n);
    gdb->name[n] = '\0';
    gdb->name_length = static_cast<int32_t>(n);
    gdb->uci[0] = gdb->vol[0] = '\0';
    if (!uci) return 0; // a vol without uci is ignored
    if (!TakeNamespace(uci, gdb->uci)) return kvx::kErrBadUci;
    if (vol && !TakeNamespace(vol, gdb->vol)) return kvx::kErrBadVol;
    return 0;
}

int KVXAPI kvx_gdb_extract(const KVX_GDB* gdb, char* name, int* name_length, char* uci, char* vol) {
    if (!gdb) return kvx::kErrNoGdb;
    if (name) {
        size_t n = BoundedLength(gdb->name, 8);
        std::memcpy(name, gdb->name, n);
        name[n] = '\0';
    }
    if (name_length) *name_length = gdb->name_length;
    if (uci) {
        size_t n = BoundedLength(gdb->uci, 3);
        std::memcpy(uci, gdb->uci, n);
        uci[n] = '\0';
    }
    if (vol) {
        size_t n = BoundedLength(gdb->vol, 3);
        std::memcpy(vol, gdb->vol, n);
        vol[n] = '\0';
    }
    return 0;
}

int KVXAPI kvx_sdb_initialize(int size, KVX_SDB* sdb) {
    if (size != kSdbSize) return kvx::kErrNoSdb;
    if (!sdb) return kvx::kErrNoSdbToInit;
    std::memset(sdb, 0, sizeof *sdb);
    sdb->size = kSdbSize;
    WriteSdbLinks(sdb, SdbLayout{});
    return 0;
}

int KVXAPI kvx_sdb_clear(KVX_SDB* sdb) {
    SdbLayout layout;
    if (!sdb || sdb->size != kSdbSize) return kvx::kErrNoSdb;
    WriteSdbLinks(sdb, layout);
    return 0;
}

int KVXAPI kvx_sdb_count(const KVX_SDB* sdb, int* count) {
    if (!sdb || sdb->size != kSdbSize) return kvx::kErrNoSdb;
    if (count) *count = sdb->count;
    return 0;
}

int KVXAPI kvx_sdb_extract(const KVX_SDB* sdb, int index, char* output) {
    SdbLayout layout;
    if (!ReadSdb(sdb, &layout)) return kvx::kErrNoSdb;
    if (index < 1 || index > layout.count) return kvx::kErrSubscriptIndex;
    if (output) std::strcpy(output, sdb->text + layout.start[index - 1]);
    return 0;
}

int KVXAPI kvx_sdb_insert(int index, const char* text, KVX_SDB* sdb) {
    SdbLayout layout;
    if (!ReadSdb(sdb, &layout)) return kvx::kErrNoSdb;
    if (!text) return kvx::kErrNoSubscript;
    if (index < 1 || index > layout.count + 1 || index > KVX_SDB_SUBSCRIPTS) return kvx::kErrSubscriptIndex;
    // Subscripts index to count are given back before the budget is checked, so replacing the
    // last subscript of a full block works; a refused insert changes nothing.
    int32_t at = layout.start[index - 1];
    size_t n = BoundedLength(text, kSdbBudget + 1);
    if (at + static_cast<int32_t>(n) > kSdbBudget) return kvx::kErrSubscriptBudget;
    std::memcpy(sdb->text + at, text, n);
    sdb->text[at + n] = '\0';
    sdb->text[at + n + 1] = '\0';
    layout.count = index;
    layout.start[index] = at + static_cast<int32_t>(n) + 2;
    WriteSdbLinks(sdb, layout);
    return 0;
}

int KVXAPI kvx_sdb_insert_null(int index, KVX_SDB* sdb) {
    return kvx_sdb_insert(index, "", sdb);
}
