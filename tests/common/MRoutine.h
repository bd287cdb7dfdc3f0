#pragma once
// Routines of a test's own in the scratch database that the dbserver fixture serves: one M
// line, sent over any connection (the client library's or the tests' own), writes NAME.m
// into the job's routine directory and links it. Jobs that start later link the new
// version by themselves; one that already ran an older version keeps it.

#include "common/MQuote.h"

#include <string>
#include <vector>

namespace mroutine {

// `lines` as in a .m file: the first one "NAME ; comment", the others starting with a
// label or a blank.
inline std::string RoutineLine(const std::string& name, const std::vector<std::string>& lines) {
    // An explicit source and object compile even when the last version is of the same second.
    const std::string source = "%zd_" + vorlan::MQuote("/" + name + ".m");
    std::string m = "N %zd S %zd=$P($ZRO,\" \") O " + source + ":NEWVERSION U " + source;
    for (const auto& line : lines)
        m += " W " + vorlan::MQuote(line) + ",!";
    return m + " C " + source + " ZLINK " + source + ":\"-object=\"_%zd_" + vorlan::MQuote("/" + name + ".o");
}

} // namespace mroutine
