#pragma once
// The M lines of the outside-component services (barcodes, DRG grouping, coding, quality
// assurance, the measuring device, sound and pocket) and the reading and splitting of what
// the server and the components answer, apart from any window. Every value from the server,
// a component or a device goes into a line through MQuote; request pieces are read whole.

#include "framework/PortName.h"

#include <string>
#include <string_view>
#include <vector>

namespace vorlan {

// Barcodes: "text§target", the target an open reference to which "<line>)" is appended.
struct SymbolRequest {
    std::string text, target;
};
SymbolRequest ParseSymbolRequest(std::string_view value);
// The symbol's lines: split at CR, a line feed after the CR dropped when present, ended by
// the first empty line; a result of one character or none has no lines.
std::vector<std::string> SymbolLines(std::string_view result);
std::string SymbolLineSet(std::string_view target, int line, std::string_view text);

// DRG grouping. The request: variant, callback, a value, a text for one grouper, the grouper.
struct DrgRequest {
    bool variant = false; // piece 1 is "1"
    std::string callback, value, idText;
    int grouper = 0; // 1 scout, 2 ID, 3 AR; other: the first installed
};
DrgRequest ParseDrgRequest(std::string_view value);
std::string DrgFieldLine(std::string_view field);
std::string DrgFieldPartLine(std::string_view field, int part);
// The joined parts of a list field split at ";" into items of at most 255 characters; the
// first empty item ends the list.
std::vector<std::string> SplitDrgItems(std::string_view joined);
std::string DrgResultSet(std::string_view result, std::string_view value);
// "%f": six decimals and always a decimal point.
std::string FormatDrgNumber(double value);
// Leading decimal digits (with a sign) as the components take them; 0 without any.
long LeadingInteger(std::string_view text);
double LeadingReal(std::string_view text);

// Coding: mode, callback, the text for the case component.
struct KodipRequest {
    int mode = 0;
    std::string callback, caseText;
};
KodipRequest ParseKodipRequest(std::string_view value);
// The diagnoses (op false) or procedures (op true) of the request and of the results.
std::string KodipNextLine(bool op, long n);
std::string KodipFieldLine(bool op, long n, std::string_view field);
std::string KodipResultSet(bool op, long n, std::string_view field, std::string_view value);
// The facade's context document (attribute values escaped; the caller converts it to
// UTF-16): catalogue version, diagnoses (KD) or procedures (KP), the text to code.
std::string FacadeContext(std::string_view catalogue, bool procedures, std::string_view text);
std::string XmlAttributeEscape(std::string_view text);
// The value of the first attribute named Code in the answer; false without one.
bool FindCode(std::string_view answer, std::string& code);
// Stores the code under the server's target (%PP) and its "ICD" subscript.
std::vector<std::string> FacadeStoreLines(std::string_view code);

// Quality assurance.
std::string QsMedFieldNameLine(int n); // sets FIELD to n and writes the field's name
std::string QsMedFieldValueLine();     // the value of field FIELD
extern const char* const kQsFilterKillLine;
extern const char* const kQsCaseStartLine;
extern const char* const kQsCaseNextLine;
std::string QsCaseFieldLine(std::string_view field);
extern const char* const kQsFeeStartLine;
extern const char* const kQsFeeNextLine;
extern const char* const kQsFeeValueLine;
// which: "MODUL", "VERPFLICHTUNG" or "BEZ".
std::string QsResultSet(std::string_view admission, int i, std::string_view which, std::string_view value);
// The eleven case fields in the order they are read.
extern const char* const kQsCaseFields[];
extern const int kQsCaseFieldCount;

// The measuring device: port settings, countdown and blocks of 130 bytes.
struct DeviceRequest {
    fw::PortLine line;
    int countdown = 0;
    int blocks = 0;
};
DeviceRequest ParseDeviceRequest(std::string_view value);
constexpr size_t kDeviceBuffer = 1501, kDeviceBlock = 130, kDeviceSplit = 1001;
size_t DeviceReadLength(int blocks);
// Whether second i (0-based) of the countdown ends with a beep: the last three do.
bool CountdownBeeps(int i, int countdown);
struct DeviceAnswer {
    std::string a, b;
};
// Index 0 to 1,000 to A, the rest to B, carriage returns and line feeds dropped; every other
// byte (NUL included) kept.
DeviceAnswer SplitDeviceAnswer(std::string_view bytes);
std::string DeviceAnswerSet(std::string_view which, std::string_view text);

// Sound: the play flags for the exact mode texts, 0 (nothing plays) for any other.
constexpr unsigned kSoundFileName = 0x20000, kSoundAsync = 0x0001;
unsigned SoundFlags(std::string_view para);

extern const char* const kPocketRequestKindLine;

} // namespace vorlan
