// The M lines of the application core, for the compile test (tests/common/MLineTable.h).
#include "app/AppLogic.h"
#include "app/OptionsLogic.h"
#include "tests/common/MLineTable.h"

namespace vorlan::test {

namespace {
using V = LineValue;
} // namespace

LineTable AppLineTable() {
    return {
        {"app/AppLogic.h",
         {
             // The name of a variable the server keeps: M code, never a value.
             {"VariableLine",
              [](const V&) -> MLines {
                  return {VariableLine("%DN"), VariableLine(kSampleName), VariableLine("%JOB")};
              }},
             // Each M system's own version text.
             {"DebuggerPlaceLine",
              [](const V& v) -> MLines {
                  return {DebuggerPlaceLine(v.text), DebuggerPlaceLine("Cache for Windows"),
                          DebuggerPlaceLine("GT.M V7.0-005 Linux x86_64")};
              }},
             {"ServerErrorLine", [](const V& v) -> MLines { return {ServerErrorLine(v.text)}; }},
             {"UnmountLine", [](const V& v) -> MLines { return {UnmountLine(v.text)}; }},
             {"WaitingLine", [](const V& v) -> MLines { return {WaitingLine(v.text)}; }},
             M_CONSTANT(kQRelLine),
             M_CONSTANT(kSystemVersionLine),
             M_CONSTANT(kCurrentClientLine),
             M_CONSTANT(kRelLine),
             M_CONSTANT(kAboutNamespaceLine),
             M_CONSTANT(kSupportCopyLine),
             M_CONSTANT(kHorologLine),
             M_CONSTANT(kJobLine),
             M_CONSTANT(kLocalDeviceLine),
         }},
        {"app/OptionsLogic.h",
         {
             {"WordPathLine", [](const V& v) -> MLines { return {WordPathLine(v.text)}; }},
             {"SetWordPathLine", [](const V& v) -> MLines { return {SetWordPathLine(v.text, v.text)}; }},
             M_CONSTANT(kCurrentUserLine),
         }},
    };
}

} // namespace vorlan::test
