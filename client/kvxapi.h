#ifndef KVXAPI_H
#define KVXAPI_H
/* KVXAPI32: the client side of the M database server's TCP protocol.
 *
 * Every function returns 0 or an error number from 10001 upwards; the log-ins return a
 * connection handle (1 to 1024) on success instead. Strings are NUL-terminated 8-bit texts;
 * output buffers belong to the caller and come with their capacity in bytes, of which at most
 * capacity - 1 receive text and one the terminating NUL. */

#include <stdint.h>

#if defined(_WIN32) && !defined(_WIN64)
#define KVXAPI __stdcall
#else
#define KVXAPI
#endif

#ifdef KVXAPI_BUILDING
#define KVXAPI_DECL /* the export lists name every entry point */
#else
#define KVXAPI_DECL __declspec(dllimport)
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Global descriptor: name, uci and vol of a global. 28 bytes on every target. */
typedef struct KVX_GDB {
    int32_t signature;   /* 25 after kvx_gdb_initialize */
    int32_t name_length; /* 0: naked reference */
    char name[9];        /* without "^" */
    char uci[4];         /* three upper-case letters or empty */
    char vol[4];
    char padding[3];
} KVX_GDB;

#define KVX_SDB_SUBSCRIPTS 84
#define KVX_SDB_TEXT 256

/* Subscript descriptor: up to 84 subscripts in a 256-byte text area of the block itself.
 * 608 bytes on every target. The 32-bit build keeps addresses into the block; the 64-bit
 * build keeps 32-bit offsets from the start of the block instead (0 = none). */
typedef struct KVX_SDB {
    int32_t size;  /* 608 */
    int32_t count; /* subscripts 1 to count are set */
    int32_t used;  /* bytes of the text area in use: length + 2 per subscript */
#if defined(_WIN64) || !defined(_WIN32)
    int32_t next_free;                     /* offset of the next free text byte */
    int32_t subscript[KVX_SDB_SUBSCRIPTS]; /* offset of the text of subscript 1 to 84 */
#else
    char* next_free;
    char* subscript[KVX_SDB_SUBSCRIPTS];
#endif
    char text[KVX_SDB_TEXT];
} KVX_SDB;

/* Parameter block of kvx_do2: 24 bytes in the 32-bit build, pointer-sized fields in the
 * 64-bit build; `size` must hold sizeof(KVX_DO2). */
typedef struct KVX_DO2 {
    int32_t size;
    int32_t count;       /* 0 to 9999 parameters */
    int32_t* types;      /* type 1: the value comes back */
    int32_t* lengths;    /* bytes to send of each value */
    int32_t* capacities; /* in: capacity of each value buffer; out: bytes received */
    char** values;
} KVX_DO2;

#ifdef __cplusplus
static_assert(sizeof(KVX_GDB) == 28, "gdb layout");
static_assert(sizeof(KVX_SDB) == 608, "sdb layout");
#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(KVX_DO2) == 24, "do2 layout");
#endif
#endif

/* Option bit of kvx_options: one connection attempt instead of three. */
#define KVX_OPTION_SINGLE_ATTEMPT 2
/* Flag bits of kvx_global_order. */
#define KVX_ORDER_UPDATE_SDB 1
#define KVX_ORDER_REVERSE 2

KVXAPI_DECL int KVXAPI kvx_version(char* buffer);
KVXAPI_DECL int KVXAPI kvx_initialize(void);
KVXAPI_DECL int KVXAPI kvx_rundown(void);
KVXAPI_DECL int KVXAPI kvx_options(int set, int clear);
KVXAPI_DECL int KVXAPI kvx_timeout(int handle, int seconds);
KVXAPI_DECL int KVXAPI kvx_error(const char* text);

KVXAPI_DECL int KVXAPI kvx_login(const char* host, int port, char* uci, char* vol, const char* caller,
                                 int number, int partition);
KVXAPI_DECL int KVXAPI kvx_login2(const char* host, int port, char* uci, char* vol, const char* caller,
                                  int number, int partition, const char* extra);
KVXAPI_DECL int KVXAPI kvx_login3(const char* host, int port, char* uci, char* vol, const char* caller,
                                  int number, int partition, const char* extra, char* version, int capacity);
KVXAPI_DECL int KVXAPI kvx_logout(int handle);
KVXAPI_DECL int KVXAPI kvx_keepalive(int handle);
KVXAPI_DECL int KVXAPI kvx_partsize(int handle, int kilobytes);

KVXAPI_DECL int KVXAPI kvx_xecute(int handle, const char* code, char* output, int capacity);
KVXAPI_DECL int KVXAPI kvx_xecute2(int handle, const char* code, char* output, int* capacity_length);

KVXAPI_DECL int KVXAPI kvx_local_get(int handle, const char* name, char* output, int capacity);
KVXAPI_DECL int KVXAPI kvx_local_set(int handle, const char* name, const char* value);
KVXAPI_DECL int KVXAPI kvx_local_kill(int handle, const char* name);

KVXAPI_DECL int KVXAPI kvx_gdb_initialize(int size, KVX_GDB* gdb);
KVXAPI_DECL int KVXAPI kvx_gdb_clear(KVX_GDB* gdb);
KVXAPI_DECL int KVXAPI kvx_gdb_insert(const char* name, KVX_GDB* gdb, char* uci, char* vol);
KVXAPI_DECL int KVXAPI kvx_gdb_extract(const KVX_GDB* gdb, char* name, int* name_length, char* uci,
                                       char* vol);
KVXAPI_DECL int KVXAPI kvx_sdb_initialize(int size, KVX_SDB* sdb);
KVXAPI_DECL int KVXAPI kvx_sdb_clear(KVX_SDB* sdb);
KVXAPI_DECL int KVXAPI kvx_sdb_count(const KVX_SDB* sdb, int* count);
KVXAPI_DECL int KVXAPI kvx_sdb_extract(const KVX_SDB* sdb, int index, char* output);
KVXAPI_DECL int KVXAPI kvx_sdb_insert(int index, const char* text, KVX_SDB* sdb);
KVXAPI_DECL int KVXAPI kvx_sdb_insert_null(int index, KVX_SDB* sdb);

KVXAPI_DECL int KVXAPI kvx_global_set(int handle, const KVX_GDB* gdb, const KVX_SDB* sdb, const char* value);
KVXAPI_DECL int KVXAPI kvx_global_set_null(int handle, const KVX_GDB* gdb, const KVX_SDB* sdb);
KVXAPI_DECL int KVXAPI kvx_global_get(int handle, const KVX_GDB* gdb, const KVX_SDB* sdb, char* output,
                                      int capacity);
KVXAPI_DECL int KVXAPI kvx_global_kill(int handle, const KVX_GDB* gdb, const KVX_SDB* sdb);
KVXAPI_DECL int KVXAPI kvx_global_data(int handle, const KVX_GDB* gdb, const KVX_SDB* sdb, int* result);
KVXAPI_DECL int KVXAPI kvx_global_order(int handle, const KVX_GDB* gdb, KVX_SDB* sdb, int flags, char* output,
                                        int capacity);
KVXAPI_DECL int KVXAPI kvx_global_query(int handle, const KVX_GDB* gdb, KVX_SDB* sdb, KVX_SDB* result);
KVXAPI_DECL int KVXAPI kvx_global_lock(int handle, int type, const KVX_GDB* gdb, const KVX_SDB* sdb,
                                       int timeout);
KVXAPI_DECL int KVXAPI kvx_global_unlock(int handle, int type, const KVX_GDB* gdb, const KVX_SDB* sdb);

KVXAPI_DECL int KVXAPI kvx_do(int handle, const char* routine, const char* parameters, char* output,
                              int capacity);
KVXAPI_DECL int KVXAPI kvx_do2(int handle, const char* routine, KVX_DO2* block, char* output,
                               int* capacity_length);

/* The streamed routine call: the caller owns the request buffer, its fill position (start
 * at 0) and the run counter of empty fields (start at 0; -1 sends every empty field). */
KVXAPI_DECL int KVXAPI PTDO2START(int handle, const char* routine, char* buffer, int capacity, int* position,
                                  int count);
KVXAPI_DECL int KVXAPI PTDO2START2(int handle, const char* routine, char* buffer, int capacity, int* position,
                                   int count, int call_type);
KVXAPI_DECL int KVXAPI PTDO2FIELD(int handle, char* buffer, int capacity, int* position, int type,
                                  const char* data, int length, int* run);
KVXAPI_DECL int KVXAPI PTDO2BLOCK(int handle, char* buffer, int capacity, int* position, int type,
                                  const char* data, int length);
KVXAPI_DECL int KVXAPI PTDO2ENDARRAY(int handle, char* buffer, int capacity, int* position, int* run);
KVXAPI_DECL int KVXAPI PTDO2SEND(int handle, char* buffer, int capacity, int* position, char* reply_type,
                                 int* reply_count, int unused);
KVXAPI_DECL int KVXAPI PTDO2SEND2(int handle, char* buffer, int unused1, int* position, char* reply_type,
                                  int* reply_count, int unused2, char* reply, int reply_capacity);
KVXAPI_DECL int KVXAPI PTDO2FIELDLENGTH(int handle, char* buffer, int capacity, int* length);
KVXAPI_DECL int KVXAPI PTDO2FIELDDATA(int handle, char* buffer, int capacity, int* length);
KVXAPI_DECL int KVXAPI PTDO2FINISH(int handle);

#ifdef __cplusplus
}
#endif

#endif /* KVXAPI_H */
