#pragma once
// The "D" request: a routine called as an extrinsic function with typed parameters.
// Type 1 passes by reference and comes back in the reply; every other type by value.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorlan::dbserver {

class JobInput;

struct CallParam {
    int type = 0;
    std::string value;
};

// "label^routine" or "^routine", a leading "$$" tolerated; returns it without the "$$".
std::optional<std::string> CheckRoutine(std::string_view text);

// Pairs the fields after the routine into (type, value). A client that shortens runs of empty fields sends a
// parameter's type at once but holds its empty value back until the next non-empty value
// (or the end), so "T1 T2 <empty> V2" means (T1, "") and (T2, V2); a client that does not
// sends every value right after its type. The first reading that fits the fields is taken.
std::optional<std::vector<CallParam>> PairParameters(const std::vector<std::string>& fields);

// The M line that calls `routine` with the parameters and leaves in $ZSO the list (see
// UnpackList) of its value and the final values of the by-reference parameters.
std::string RoutineCallCode(const std::string& routine, const std::vector<CallParam>& params,
                            JobInput& input);

} // namespace vorlan::dbserver
