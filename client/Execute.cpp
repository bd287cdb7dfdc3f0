// M code execution: the output streams back raw up to the end marker the request names.
#include "client/Connection.h"
#include "client/Winsock.h"
#include "client/kvxapi.h"
#include "common/ErrorTable.h"

using namespace vorlan;
using namespace vorlan::client;

int KVXAPI kvx_xecute2(int handle, const char* code, char* output, int* capacity_length) {
    if (int rc = CheckInitialized()) return rc;
    if (!capacity_length) return kvx::kErrBadArgument;
    const int capacity = *capacity_length;
    if (!code || !*code || !output || capacity < 1) return kvx::kErrBadArgument;
    output[0] = '\0';
    *capacity_length = 0;
    Connection c(handle);
    if (!c.valid()) return kvx::kErrConnectionLost;

    int rc = SendRequest(
        c, [code](wire::RequestWriter& w) { w.Header("X", 2).Text(code).Text(wire::kExecEndMarker); });
    int32_t length = 0;
    if (rc == 0)
        rc =
            g_winsock.WSAIsBlocking() ? kvx::kErrBlocking : wire::ReadExecReply(c, output, capacity, &length);
    *capacity_length = length;
    return rc;
}

int KVXAPI kvx_xecute(int handle, const char* code, char* output, int capacity) {
    return kvx_xecute2(handle, code, output, &capacity);
}
