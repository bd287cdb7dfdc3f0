// Routine calls: value parameters, the typed parameter block, and the streamed call in which
// the caller builds the request field by field in a buffer of its own. Each streamed append
// pushes what it sent before it returns: the caller's data is only lent for the call.
#include "client/Call.h"
#include "client/Tables.h"
#include "client/kvxapi.h"

#include <algorithm>
#include <cstring>

using namespace vorlan;
using namespace vorlan::client;

namespace {

constexpr int32_t kMaxDo2Parameters = 9999;

int32_t RequestCount(int64_t parameters) {
    return static_cast<int32_t>(std::min<int64_t>(2 * parameters + 1, INT32_MAX));
}

bool ValidDo2Block(const KVX_DO2* block) {
    if (!block || block->size != static_cast<int32_t>(sizeof(KVX_DO2))) return false;
    if (block->count < 0 || block->count > kMaxDo2Parameters) return false;
    if (block->count == 0) return true;
    if (!block->types || !block->lengths || !block->capacities || !block->values) return false;
    for (int32_t i = 0; i < block->count; ++i)
        if (block->lengths[i] < 0 || (block->lengths[i] > 0 && !block->values[i])) return false;
    return true;
}

// A pending run of empty fields goes out as one empty field or as a run marker.
void FlushRun(wire::RequestWriter& w, int* run) {
    if (!run || *run <= 0) return;
    if (*run == 1)
        w.Field(nullptr, 0);
    else
        w.Run(*run);
    *run = 0;
}

// The streamed call's checks: library, position and connection.
int OpenStream(const int* position, const Connection* c) {
    if (int rc = CheckInitialized()) return rc;
    if (!position) return kvx::kErrBadArgument;
    return c->valid() ? 0 : kvx::kErrConnectionLost;
}

uint8_t* Bytes(char* buffer) {
    return reinterpret_cast<uint8_t*>(buffer);
}

} // namespace

int KVXAPI kvx_do(int handle, const char* routine, const char* parameters, char* output, int capacity) {
    if (int rc = CheckInitialized()) return rc;
    if (!routine || !*routine || !output || capacity < 1) return kvx::kErrBadArgument;
    output[0] = '\0';
    int64_t n = parameters ? 1 + std::count(parameters, parameters + std::strlen(parameters), ',') : 0;
    return Exchange(
        handle,
        [&](wire::RequestWriter& w) {
            w.Header("D", RequestCount(n)).Text(routine);
            for (const char* p = parameters; p;) {
                const char* comma = std::strchr(p, ',');
                size_t length = comma ? static_cast<size_t>(comma - p) : std::strlen(p);
                w.Text("0").Field(p, length);
                p = comma ? comma + 1 : nullptr;
            }
        },
        ErrorText{output, capacity}, StringResult(output, capacity));
}

int KVXAPI kvx_do2(int handle, const char* routine, KVX_DO2* block, char* output, int* capacity_length) {
    if (int rc = CheckInitialized()) return rc;
    if (!routine || !*routine) return kvx::kErrBadArgument;
    if (!ValidDo2Block(block)) return kvx::kErrBadDo2Block;
    if (!capacity_length || !output || *capacity_length < 1) return kvx::kErrBadArgument;
    const int capacity = *capacity_length;
    output[0] = '\0';
    *capacity_length = 0;
    return Exchange(
        handle,
        [&](wire::RequestWriter& w) {
            w.Header("D", RequestCount(block->count)).Text(routine);
            for (int32_t i = 0; i < block->count; ++i)
                w.Number(block->types[i]).Field(block->values[i], static_cast<size_t>(block->lengths[i]));
        },
        ErrorText{output, capacity, capacity_length},
        [&](ReplyFields& f) {
            if (f.left() < 1) return 0;
            int32_t read = 0;
            int rc = f.String(output, capacity, &read);
            *capacity_length = read;
            // The remaining fields are the values of the by-reference parameters, in order.
            for (int32_t i = 0; rc == 0 && i < block->count && f.left() > 0; ++i) {
                if (block->types[i] != 1) continue;
                int32_t room = block->values[i] ? std::max(block->capacities[i], 0) : 0;
                rc = f.Raw(Bytes(block->values[i]), room, &read);
                if (rc == 0) block->capacities[i] = read;
            }
            return rc;
        });
}

int KVXAPI PTDO2START2(int handle, const char* routine, char* buffer, int capacity, int* position, int count,
                       int call_type) {
    if (int rc = CheckInitialized()) return rc;
    if (!routine || !*routine) return kvx::kErrBadArgument;
    Connection c(handle);
    if (int rc = OpenStream(position, &c)) return rc;
    c.Drain();
    const char* code = call_type == 1 ? "DD" : call_type == 2 ? "DE" : "D";
    wire::RequestWriter w(c, Bytes(buffer), capacity, *position);
    return w.Header(code, static_cast<int32_t>(static_cast<int64_t>(count) + 1)).Text(routine).Push();
}

int KVXAPI PTDO2START(int handle, const char* routine, char* buffer, int capacity, int* position, int count) {
    return PTDO2START2(handle, routine, buffer, capacity, position, count, 0);
}

int KVXAPI PTDO2FIELD(int handle, char* buffer, int capacity, int* position, int type, const char* data,
                      int length, int* run) {
    Connection c(handle);
    if (int rc = OpenStream(position, &c)) return rc;
    if (length < 0 || (length > 0 && !data)) return kvx::kErrBadArgument;
    wire::RequestWriter w(c, Bytes(buffer), capacity, *position);
    if (type != -1) {
        // The server pairs each type with the field after it, so a pending run must go first.
        FlushRun(w, run);
        w.Number(type);
    }
    if (length == 0 && newer_server && run && *run != -1) {
        ++*run;
        return w.Push();
    }
    FlushRun(w, run);
    return w.Field(data, static_cast<size_t>(length)).Push();
}

int KVXAPI PTDO2BLOCK(int handle, char* buffer, int capacity, int* position, int type, const char* data,
                      int length) {
    Connection c(handle);
    if (int rc = OpenStream(position, &c)) return rc;
    if (length < 0 || (length > 0 && !data)) return kvx::kErrBadArgument;
    wire::RequestWriter w(c, Bytes(buffer), capacity, *position);
    if (type != -1) w.Number(type);
    return w.Bytes(data, static_cast<size_t>(length)).Push();
}

int KVXAPI PTDO2ENDARRAY(int handle, char* buffer, int capacity, int* position, int* run) {
    Connection c(handle);
    if (int rc = OpenStream(position, &c)) return rc;
    wire::RequestWriter w(c, Bytes(buffer), capacity, *position);
    FlushRun(w, run);
    return w.Push();
}

namespace {

// Sends the buffered request and reads the reply header. The caller's position is left as it
// was.
int SendStream(int handle, char* buffer, int capacity, const int* position, char* reply_type,
               int* reply_count) {
    Connection c(handle);
    if (int rc = OpenStream(position, &c)) return rc;
    int32_t pending = *position;
    wire::RequestWriter w(c, Bytes(buffer), capacity, pending);
    if (int rc = w.Flush()) return rc;
    char type = 0;
    int32_t count = 0;
    int rc = wire::ReadReplyHeader(c, &type, &count);
    if (reply_type) *reply_type = type;
    if (reply_count) *reply_count = count;
    return rc;
}

} // namespace

int KVXAPI PTDO2SEND(int handle, char* buffer, int capacity, int* position, char* reply_type,
                     int* reply_count, int) {
    return SendStream(handle, buffer, capacity, position, reply_type, reply_count);
}

// The reply header comes back through the out arguments; neither buffer is written.
int KVXAPI PTDO2SEND2(int handle, char* buffer, int, int* position, char* reply_type, int* reply_count, int,
                      char*, int) {
    return SendStream(handle, buffer, position ? std::max(*position, 1) : 1, position, reply_type,
                      reply_count);
}

int KVXAPI PTDO2FIELDLENGTH(int handle, char* buffer, int capacity, int* length) {
    if (int rc = CheckInitialized()) return rc;
    if (!buffer || capacity < 4 || !length) return kvx::kErrBadArgument;
    *length = 0;
    Connection c(handle);
    if (!c.valid()) return kvx::kErrConnectionLost;
    int32_t got = 0;
    if (int rc = c.Receive(Bytes(buffer), 4, true, &got)) return rc;
    if (got < 4) return kvx::kErrConnectionLost;
    *length = wire::GetInt32(Bytes(buffer));
    return 0;
}

int KVXAPI PTDO2FIELDDATA(int handle, char* buffer, int capacity, int* length) {
    if (int rc = CheckInitialized()) return rc;
    if (!length) return kvx::kErrBadArgument;
    Connection c(handle);
    if (!c.valid()) return kvx::kErrConnectionLost;
    int32_t read = 0;
    int rc = wire::ReadFieldData(c, Bytes(buffer), capacity, *length, &read);
    *length = read;
    return rc;
}

int KVXAPI PTDO2FINISH(int handle) {
    if (int rc = CheckInitialized()) return rc;
    Connection c(handle);
    if (!c.valid()) return kvx::kErrConnectionLost;
    c.Drain();
    return 0;
}
