#include "common/ErrorTable.h"

#include <cstring>

namespace vorlan::kvx {

// Searched in this order; the first row that is a prefix of the text wins.
const ServerErrorRow error_table[kServerErrorRows] = {
    {"<SBSCR>", 10028}, {"<NAKED>", 10051},  {"<PROT >", 10052},  {"<UNDEF>", 10053},  {"<PGMOV>", 10054},
    {"<STKOV>", 10055}, {"<NOSIB>", 10023},  {"<SYNTX>", 10057},  {"<NOPGM>", 10058},  {"<MXSTR>", 10034},
    {"<DKSER>", 10060}, {"<DKHER>", 10061},  {"<CMMND>", 10062},  {"<FUNCT>", 10063},  {"<INDER>", 10064},
    {"<DIVER>", 10066}, {"<DKFUL>", 10067},  {"<LINER>", 10068},  {"<MERGE>", 10069},  {"<MODER>", 10070},
    {"<MXMEM>", 10071}, {"<MXNUM>", 10072},  {"<NODEV>", 10073},  {"<NOPEN>", 10074},  {"<SYSTM>", 10075},
    {"<DDPER>", 10076}, {"<BADCH>", 10077},  {"<ASYNC>", 10078},  {"<BKERR>", 10079},  {"<DKRES>", 10080},
    {"<DPARM>", 10081}, {"<EXPER>", 10082},  {"<INHIB>", 10083},  {"<ISYNT>", 10084},  {"<MTERR>", 10086},
    {"<NOSYS>", 10087}, {"<NOUCI>", 10088},  {"<PCERR>", 10089},  {"<PLDER>", 10090},  {"<VWERR>", 10091},
    {"<ZCALL>", 10092}, {"<ZCERR>", 10093},  {"<ZSAVE>", 10094},  {"<ZSVGP>", 10095},  {"<TPROC>", 10096},
    {"<DSCON>", 10097}, {"<CLOBR>", 10098},  {"<PART>", 10044},   {"<VER>", 10045},    {"<INVR>", 10046},
    {"<ALLOW>", 10047}, {"<PASSWD>", 10009}, {"<NOPART>", 10014}, {"<NOPORT>", 10036},
};

int ServerErrorNumber(const char* text, size_t length) {
    if (!text) return kErrUnknownServerError;
    for (const auto& row : error_table) {
        size_t n = std::strlen(row.text);
        if (n <= length && std::memcmp(row.text, text, n) == 0) return row.number;
    }
    return kErrUnknownServerError;
}

int MapSocketError(int wsaError) {
    switch (wsaError) {
    case 10024: return kErrTooManySockets;
    case 10050: return kErrNetworkDown;
    case 10093: return kErrNotInitialized;
    default: return kErrConnectionLost;
    }
}

} // namespace vorlan::kvx
