#pragma once
// The Excel export's rules without Excel: the fill area of a template sheet, cell names,
// marker cells and their values, the server lines of the export and its file names.

#include "services/FolderPath.h"

#include <optional>
#include <string>
#include <string_view>

namespace vorlan {

// A template sheet names its fill area in A1 as "letters:row" (K:40 = A1 to K40). Larger
// areas than kMaxFillColumns columns (ZZ) or kMaxFillCells cells are refused.
constexpr int kMaxFillColumns = 702;
constexpr int kMaxFillCells = 100000;
struct FillArea {
    int columns = 0;
    int rows = 0;
};
std::optional<FillArea> ParseFillArea(std::string_view text);
// A1-style name of column (1 = A, 702 = ZZ) and row; empty outside A to ZZ.
std::string CellName(int column, int row);

// A marker cell: "#", ">", "*", "<" or "$", an optional "-", the key.
struct Marker {
    char kind = 0;
    bool negate = false;
    std::string key;
};
std::optional<Marker> ParseMarker(std::string_view formula);
// A name or ^name with subscripts that are literals or plain variable names: what a "$"
// marker may read. Anything else would run as code on the server.
bool IsVariableReference(std::string_view text);
// The line that writes the marker's value; empty when the marker reads nothing.
std::string MarkerLine(const Marker& marker);

// What goes into a cell: a number or a text.
struct CellValue {
    bool number = false;
    double value = 0;
    std::string text;
};
// A decimal number as the server writes one ("-3.5", "12", ".5").
bool IsDecimalNumber(std::string_view text);
// The marker's value rules: "$" markers and empty values as text, a leading "$" keeps the
// rest as text, everything else a number (negated for "-"), or text when it is none.
CellValue MarkerValue(const Marker& marker, std::string_view value);
// A cell of the cell list: its value trimmed, a number when flagged and numeric.
CellValue ListValue(std::string_view value, std::string_view flag);

// "%s~#%2d %s": the temporary folder (with its trailing backslash), the number, the name.
std::string TemporaryWorkbookName(std::string_view tempFolder, int number, std::string_view workbook);

namespace excel {
constexpr const char* kDataExists = "W:$D(^QTEMP(%JOB,\"EXCEL\")) 1";
constexpr const char* kFirstJob = "S AUSW=1";
constexpr const char* kNextJob = "S AUSW=AUSW+1";
constexpr const char* kJobExists = "W:$D(^QTEMP(%JOB,\"EXCEL\",AUSW)) 1";
constexpr const char* kJobName = "W $G(^QTEMP(%JOB,\"EXCEL\",AUSW,\"NAME\"))";
constexpr const char* kJobSave = "W $G(^QTEMP(%JOB,\"EXCEL\",AUSW,\"SAVE\"))";
constexpr const char* kJobSheet = "W $G(^QTEMP(%JOB,\"EXCEL\",AUSW,\"MAPPE\"))";
constexpr const char* kFirstMap = "S %MAP=$O(^QTEMP(%JOB,\"EXCEL\",AUSW,\"MAPPE\",\"\")) W %MAP";
constexpr const char* kMapSheet = "W $G(^QTEMP(%JOB,\"EXCEL\",AUSW,\"MAPPE\",%MAP))";
constexpr const char* kNextMap = "S %MAP=$O(^QTEMP(%JOB,\"EXCEL\",AUSW,\"MAPPE\",%MAP)) W %MAP";
constexpr const char* kKillFill = "K ^QTEMP(%JOB,\"EXCEL\"),^FQS(%JOB),^FQM(%JOB)";
constexpr const char* kRunPrintRoutine = "D:$G(%RTN)'=\"\" @%RTN";
constexpr const char* kMemo = "W $G(%MEMO)";
constexpr const char* kFirstCell = "S (SZ,S)=\"\"";
constexpr const char* kNextCell = "S SZ=$O(^QTEMP(%JOB,\"EXCEL\",SZ)) W SZ";
std::string CellValueLine(std::string_view cell);
std::string CellFlagLine(std::string_view cell);
} // namespace excel

} // namespace vorlan
