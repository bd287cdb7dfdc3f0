#pragma once
// Builds what one request hands to the job: its data values and a line of M code that reads
// them as $E($ZSO,from,to). Values never become part of the code, and the code stays short
// even when the client pasted long values into its line.

#include <string>
#include <string_view>
#include <vector>

namespace vorlan::dbserver {

// GT.M refuses to XECUTE longer lines.
inline constexpr size_t kMaxXecuteLine = 8192;

class JobInput {
  public:
    // Returns an M expression whose value is `value`.
    std::string Ref(std::string_view value);
    // The whole input: the position of the code as 8 digits, the data, the code.
    std::string Blob(std::string_view code) const;

  private:
    std::string m_data;
};

// Replaces the long string literals (and $C(...) of constant codes, and concatenations of
// both) of `line` by references into `input`, when the line is longer than GT.M takes.
// Pattern literals and everything else stay as they are.
std::string LiftLongLiterals(std::string_view line, JobInput& input, size_t limit = kMaxXecuteLine);

// Splits what %DBSRV returns as a list ("length value" items one after another); false
// when the text is not such a list.
bool UnpackList(std::string_view text, std::vector<std::string>& items);

} // namespace vorlan::dbserver
