// Locks and unlocks of global nodes through the connection's server job.
#include "client/Call.h"
#include "client/Descriptors.h"
#include "client/kvxapi.h"

using namespace vorlan;
using namespace vorlan::client;

int KVXAPI kvx_global_lock(int handle, int type, const KVX_GDB* gdb, const KVX_SDB* sdb, int timeout) {
    if (int rc = CheckInitialized()) return rc;
    char ref[kReferenceMax];
    int32_t length = 0;
    if (int rc = BuildReference(gdb, sdb, ReferenceKind::Lock, ref, &length)) return rc;
    static const char* const kCodes[] = {"9", "10", "11"};
    if (type < 0 || type > 2) return kvx::kErrLockType;
    return Exchange(
        handle,
        [&](wire::RequestWriter& w) {
            w.Header(kCodes[type], 2).Field(ref, static_cast<size_t>(length)).Number(timeout);
        },
        ErrorText{},
        [](ReplyFields& f) {
            if (f.left() != 1) return 0;
            int32_t granted;
            int rc = f.Number(&granted);
            return rc != 0 ? rc : granted == 0 ? kvx::kErrLockNotGranted : 0;
        });
}

int KVXAPI kvx_global_unlock(int handle, int type, const KVX_GDB* gdb, const KVX_SDB* sdb) {
    if (int rc = CheckInitialized()) return rc;
    if (type == 0)
        return Exchange(
            handle, [](wire::RequestWriter& w) { w.Header("13", 0); }, ErrorText{}, IgnoreResult);
    if (type != 1 && type != 2) return kvx::kErrLockType;
    char ref[kReferenceMax] = "";
    int32_t length = 0;
    if (gdb || sdb)
        if (int rc = BuildReference(gdb, sdb, ReferenceKind::Unlock, ref, &length)) return rc;
    return Exchange(
        handle,
        [&](wire::RequestWriter& w) {
            w.Header(type == 1 ? "14" : "15", 1).Field(ref, static_cast<size_t>(length));
        },
        ErrorText{}, IgnoreResult);
}
