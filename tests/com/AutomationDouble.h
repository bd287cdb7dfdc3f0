#pragma once
// The scriptable automation double that stands in for the outside components of the form
// services (groupers, coding, barcodes, quality assurance). One object kind answers every
// ProgID: it logs each call and answers property gets, method results and by-reference
// outputs from a script, and raises an automation exception where the script says.
//
// Beside the double's files lie AutomationDouble.script and AutomationDouble.log. A script
// line is "<ProgID> <get|put|call> <DISPID in hex> <slot>=<value>" with slot "result",
// "argN" (the N-th argument, 1-based, by reference) or "raise" (the description); \r, \n, \t
// and \\ in the value are escapes. Several lines of one key answer one call each, the last
// one every call after. A log line is "<ProgID> <kind> <DISPID> <arguments>", each argument
// as "BSTR:text", "I2:n", "I4:n", "R8:x", by reference with "&" after the type, followed
// by "  out argN=<value>" lines for what the script put into them. Unscripted answers are
// empty, but for the finished property of "QSMED", which is 1: a wait for it has no end.

#include "tests/com/ComDouble.h"

#include <string>
#include <vector>

namespace automationdouble {

struct ProgIdClass {
    const char* progId;
    bool inProcess; // served by the DLL; else by the program
};
extern const ProgIdClass kClasses[];
extern const size_t kClassCount;
CLSID ClassId(size_t index);

// The folder of the module this code lives in (the DLL or the program), with a separator.
std::string ModuleFolder();

comdouble::Object* Create(const std::string& progId);

// Registers (or removes) the in-process classes for the DLL beside the program; names:
// only those ProgIDs, all when empty.
bool RegisterInProcess(const std::vector<std::string>& names, bool on);

} // namespace automationdouble
