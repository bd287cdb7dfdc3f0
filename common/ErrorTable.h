#pragma once
// Error numbers of the client library and the table that turns the server's error texts
// into numbers. Own numbers and server numbers share one range: 10023, 10028, 10034 and
// 10051 each stand for a server text and an own condition alike.

#include <cstddef>
#include <cstdint>

namespace vorlan::kvx {

constexpr int kOk = 0;
constexpr int kErrConnect = 10001;            // no host, no socket, every connect failed
constexpr int kErrNotInitialized = 10003;     // socket library not bound; socket error 10093
constexpr int kErrNetworkDown = 10004;        // socket error 10050
constexpr int kErrTooManySockets = 10005;     // socket error 10024; connection table full
constexpr int kErrConnectionLost = 10006;     // any other socket error, peer closed, bad type field
constexpr int kErrBadHandle = 10007;          // handle not in the connection table
constexpr int kErrPartitionSize = 10008;      // partition size out of range
constexpr int kErrNoSocketLibrary = 10010;    // no library, missing entry point, start failed
constexpr int kErrSocketVersion = 10011;      // the library reports another version
constexpr int kErrBlocking = 10013;           // a blocking socket call is in progress
constexpr int kErrTimeout = 10016;            // no data within the time-out; negative time-out
constexpr int kErrGdbSize = 10020;            // gdb size other than 28
constexpr int kErrNoGdb = 10021;              // gdb missing
constexpr int kErrLockType = 10022;           // lock or unlock type other than 0, 1, 2
constexpr int kErrNoFurtherSubscript = 10023; // $ORDER found nothing ("<NOSIB>" too)
constexpr int kErrNoSdb = 10024;              // sdb missing or of the wrong size
constexpr int kErrSubscriptIndex = 10025;     // subscript index out of range; too many subscripts
constexpr int kErrPartitionNotConfirmed = 10026;
constexpr int kErrLockNotGranted = 10027;
constexpr int kErrSubscriptBudget = 10028; // subscript texts over the block's area ("<SBSCR>" too)
constexpr int kErrBadName = 10029;         // local or global name missing, too long, invalid
constexpr int kErrBadUci = 10030;
constexpr int kErrBadVol = 10031;
constexpr int kErrNoSubscript = 10032; // subscript text missing; empty subscript to unlock
constexpr int kErrNoSdbToInit = 10033;
constexpr int kErrBadArgument = 10034;        // missing buffer, code, routine or value; too long
constexpr int kErrUnknownServerError = 10035; // a server text that matches no row
constexpr int kErrWrongNonce = 10038;
constexpr int kErrProtocol = 10039; // unexpected reply type, count or framing
constexpr int kErrBadDo2Block = 10040;
constexpr int kErrNoGlobalName = 10051; // lock of a gdb without a name ("<NAKED>" too)

struct ServerErrorRow {
    const char* text; // the start of a server error text
    int number;
};

constexpr size_t kServerErrorRows = 54;
extern const ServerErrorRow error_table[kServerErrorRows];

// The number of the first row whose text begins `text` (exact bytes), else 10035.
int ServerErrorNumber(const char* text, size_t length);

// Winsock error values as the library reports them.
int MapSocketError(int wsaError);

} // namespace vorlan::kvx
