#pragma once
// The text export without windows: its server lines, the file name it suggests and the loop
// that copies the report's lines into the file.

#include "services/PrinterChoiceLogic.h"

#include <functional>
#include <string>
#include <string_view>

namespace vorlan {

// Question 33's Yes (form 1) or No (form 2).
std::string ExportFormLine(bool yes);
namespace line {
constexpr const char* kRunExportRoutine = "D SET^WQDA,@%RTN";
} // namespace line

// The report's title as a file name: characters that no file name may hold become "_".
std::string ExportFileName(std::string_view title);

enum class ExportEnd { Done, ServerFailed, WriteFailed, Unended };
// Lines 1, 2, ... of the report, each written with CR LF and its bytes as they came, until
// the answer is "§" alone. Stops on a failed call or a failed write, and as the list window
// does after kListEmptyRunLimit empty lines in a row (Unended).
ExportEnd ExportLines(const SilentExecute& execute, const std::function<bool(const std::string&)>& write);

} // namespace vorlan
