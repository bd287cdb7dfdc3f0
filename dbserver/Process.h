#pragma once
// Runs a helper program (GT.M's mumps, mupip) and collects what it printed.

#include <string>
#include <vector>

namespace vorlan::dbserver {

struct ProcessResult {
    int status = -1;    // exit status; -1 when it could not run or was killed
    std::string output; // stdout and stderr together
};

// Runs argv[0] (a path) with `input` on its standard input, in directory `cwd`, with the
// current environment.
ProcessResult RunProcess(const std::vector<std::string>& argv, const std::string& input,
                         const std::string& cwd);

} // namespace vorlan::dbserver
