/* Links the way the main program does: through the header and the import library. */
#include "client/kvxapi.h"

int main(void) {
    char output[16];
    char uci[] = "";
    int handle;
    if (kvx_initialize() != 0) return 1;
    handle = kvx_login("127.0.0.1", 1, uci, uci, "", 0, 0);
    kvx_timeout(handle, 1);
    kvx_partsize(handle, 20);
    kvx_xecute(handle, "W 1", output, sizeof output);
    kvx_logout(handle);
    PTDO2FINISH(handle);
    return kvx_rundown();
}
