#pragma once
// Evaluates the small M expression grammar that MQuote produces ("..." literals and
// $C(n,...) joined by _), so tests can check a quoted value round-trips.

#include <optional>
#include <string>
#include <string_view>

namespace vorlan::test {

std::optional<std::string> EvalMLiteral(std::string_view expr);

}  // namespace vorlan::test
