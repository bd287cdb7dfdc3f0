#pragma once
// The M lines of the SQL service and the rules it reads statements and writes values by.

#include <string>
#include <string_view>
#include <vector>

namespace vorlan {

// Statements this long or longer are refused whole rather than cut.
constexpr size_t kSqlStatementLimit = 4096;

// Statement i of the request; also resets the server's row counter.
std::string SqlStatementLine(int i);
// Only an upper-case "SELECT" at the very start reads rows; anything else just runs.
bool IsSqlQuery(std::string_view statement);
std::string SqlResultKillLine();
std::string SqlNextRowLine();
// The value of the current column of row ROW of statement i, then the next column.
// Double quotes become the acute accent, as the server's routines expect.
std::vector<std::string> SqlValueLines(int i, std::string_view value);
// %F and %ODBC, the routine, and what it leaves in %F.
std::string SqlFinalLine(std::string_view error, std::string_view connect, std::string_view routine);
// The box for a statement that failed.
std::string SqlFailureText(std::string_view statement);

} // namespace vorlan
