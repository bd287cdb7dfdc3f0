// Locals by name and globals by descriptor: set, get, kill, $DATA, $ORDER and $QUERY.
#include "client/Call.h"
#include "client/Descriptors.h"
#include "client/kvxapi.h"

#include <cstring>

using namespace vorlan;
using namespace vorlan::client;

namespace {

constexpr size_t kMaxLocalName = 8;
constexpr size_t kMaxGlobalValue = 512;

int CheckLocalName(const char* name) {
    if (!name || !*name) return kvx::kErrBadName;
    for (size_t n = 0; name[n]; ++n)
        if (n >= kMaxLocalName) return kvx::kErrBadName;
    return 0;
}

struct Reference {
    char text[kReferenceMax];
    int32_t length = 0;
};

int MakeReference(const KVX_GDB* gdb, const KVX_SDB* sdb, Reference* ref) {
    return BuildReference(gdb, sdb, ReferenceKind::Global, ref->text, &ref->length);
}

// One request with a reference as its only field.
template <class OnResult>
int ReferenceCall(int handle, const char* code, const Reference& ref, OnResult&& onResult) {
    return Exchange(
        handle,
        [&](wire::RequestWriter& w) { w.Header(code, 1).Field(ref.text, static_cast<size_t>(ref.length)); },
        ErrorText{}, onResult);
}

// Splits the subscripts of a $QUERY result such as ^PAT(1,"A,""B)") into `out`: the list
// ends at the parenthesis that closes the first one, quotes are honoured, a doubled quote
// inside a quoted subscript is one quote. A result without subscripts leaves `out` empty.
void SplitQueryResult(const char* text, KVX_SDB* out) {
    kvx_sdb_clear(out);
    const char* p = std::strchr(text, '(');
    if (!p) return;
    char subscript[kReferenceMax];
    size_t n = 0;
    bool quoted = false;
    int index = 1;
    for (++p; *p; ++p) {
        char c = *p;
        if (quoted) {
            if (c == '"' && p[1] == '"') {
                subscript[n++] = '"';
                ++p;
            } else if (c == '"') {
                quoted = false;
            } else {
                subscript[n++] = c;
            }
            continue;
        }
        if (c == '"') {
            quoted = true;
        } else if (c == ',' || c == ')') {
            subscript[n] = '\0';
            // Like a full block, a failing insert ends the list without an error.
            if (kvx_sdb_insert(index++, subscript, out) != 0 || c == ')') return;
            n = 0;
        } else {
            subscript[n++] = c;
        }
    }
}

} // namespace

int KVXAPI kvx_local_set(int handle, const char* name, const char* value) {
    if (int rc = CheckInitialized()) return rc;
    if (int rc = CheckLocalName(name)) return rc;
    if (!value) value = "";
    return Exchange(
        handle, [&](wire::RequestWriter& w) { w.Header("1", 2).Text(name).Text(value); }, ErrorText{},
        IgnoreResult);
}

int KVXAPI kvx_local_get(int handle, const char* name, char* output, int capacity) {
    if (int rc = CheckInitialized()) return rc;
    if (int rc = CheckLocalName(name)) return rc;
    if (!output || capacity < 1) return kvx::kErrBadArgument;
    output[0] = '\0';
    return Exchange(
        handle, [&](wire::RequestWriter& w) { w.Header("2", 1).Text(name); }, ErrorText{output, capacity},
        StringResult(output, capacity));
}

int KVXAPI kvx_local_kill(int handle, const char* name) {
    if (int rc = CheckInitialized()) return rc;
    if (int rc = CheckLocalName(name)) return rc;
    return Exchange(
        handle, [&](wire::RequestWriter& w) { w.Header("8", 1).Text(name); }, ErrorText{}, IgnoreResult);
}

int KVXAPI kvx_global_set(int handle, const KVX_GDB* gdb, const KVX_SDB* sdb, const char* value) {
    if (int rc = CheckInitialized()) return rc;
    if (!value) value = "";
    size_t length = std::strlen(value);
    if (length > kMaxGlobalValue) return kvx::kErrBadArgument;
    Reference ref;
    if (int rc = MakeReference(gdb, sdb, &ref)) return rc;
    return Exchange(
        handle,
        [&](wire::RequestWriter& w) {
            w.Header("3", 2).Field(ref.text, static_cast<size_t>(ref.length)).Field(value, length);
        },
        ErrorText{}, IgnoreResult);
}

int KVXAPI kvx_global_set_null(int handle, const KVX_GDB* gdb, const KVX_SDB* sdb) {
    return kvx_global_set(handle, gdb, sdb, "");
}

int KVXAPI kvx_global_get(int handle, const KVX_GDB* gdb, const KVX_SDB* sdb, char* output, int capacity) {
    if (int rc = CheckInitialized()) return rc;
    if (!output || capacity < 1) return kvx::kErrBadArgument;
    output[0] = '\0';
    Reference ref;
    if (int rc = MakeReference(gdb, sdb, &ref)) return rc;
    return ReferenceCall(handle, "4", ref, StringResult(output, capacity));
}

int KVXAPI kvx_global_kill(int handle, const KVX_GDB* gdb, const KVX_SDB* sdb) {
    if (int rc = CheckInitialized()) return rc;
    Reference ref;
    if (int rc = MakeReference(gdb, sdb, &ref)) return rc;
    return ReferenceCall(handle, "7", ref, IgnoreResult);
}

int KVXAPI kvx_global_data(int handle, const KVX_GDB* gdb, const KVX_SDB* sdb, int* result) {
    if (int rc = CheckInitialized()) return rc;
    Reference ref;
    if (int rc = MakeReference(gdb, sdb, &ref)) return rc;
    return ReferenceCall(handle, "5", ref, [&](ReplyFields& f) {
        if (f.left() != 1) return 0;
        int32_t value;
        int rc = f.Number(&value);
        if (rc == 0 && result) *result = value;
        return rc;
    });
}

int KVXAPI kvx_global_order(int handle, const KVX_GDB* gdb, KVX_SDB* sdb, int flags, char* output,
                            int capacity) {
    if (int rc = CheckInitialized()) return rc;
    Reference ref;
    if (int rc = MakeReference(gdb, sdb, &ref)) return rc;
    if (!output || capacity < 1) return kvx::kErrBadArgument;
    output[0] = '\0';
    const bool walk = (flags & KVX_ORDER_UPDATE_SDB) != 0;
    return ReferenceCall(handle, (flags & KVX_ORDER_REVERSE) ? "17" : "6", ref, [&](ReplyFields& f) {
        if (f.left() != 1) return 0;
        int32_t n;
        if (int rc = f.String(output, capacity, &n)) return rc;
        if (n == 0) {
            // The end of the level: the walked subscript is given up.
            if (walk && sdb->count > 0) {
                SdbLayout layout;
                ReadSdb(sdb, &layout);
                --layout.count;
                WriteSdbLinks(sdb, layout);
            }
            return kvx::kErrNoFurtherSubscript;
        }
        // Storing the next subscript may fail (the block's budget); a walk must then stop
        // instead of asking for the same subscript again.
        return walk ? kvx_sdb_insert(sdb->count, output, sdb) : 0;
    });
}

int KVXAPI kvx_global_query(int handle, const KVX_GDB* gdb, KVX_SDB* sdb, KVX_SDB* result) {
    if (int rc = CheckInitialized()) return rc;
    Reference ref;
    if (int rc = MakeReference(gdb, sdb, &ref)) return rc;
    KVX_SDB* target = result ? result : sdb;
    if (result && result->size != kSdbSize) return kvx::kErrNoSdb;
    return ReferenceCall(handle, "12", ref, [&](ReplyFields& f) {
        if (f.left() != 1) return 0;
        char text[kReferenceMax];
        int32_t n;
        if (int rc = f.String(text, sizeof text, &n)) return rc;
        SplitQueryResult(text, target);
        return 0;
    });
}
