// The M lines of the request hub's services, for the compile test (tests/common/MLineTable.h).
#include "services/DataLines.h"
#include "services/ExcelLogic.h"
#include "services/FormularLines.h"
#include "services/HubLines.h"
#include "services/LocalFileLines.h"
#include "services/OutsideLines.h"
#include "services/PrintListLogic.h"
#include "services/PrinterChoiceLogic.h"
#include "services/SqlLines.h"
#include "services/TextExportLogic.h"
#include "tests/common/MLineTable.h"

namespace vorlan::test {

namespace {

using V = LineValue;

// Open references the server names for results ("" is the service's own).
const char* const kResultRefs[] = {"", "^QTEMP(%JOB,\"DIR\","};
template <typename Line> MLines ForResultRefs(Line line) {
    MLines all;
    for (const char* ref : kResultRefs)
        all.push_back(line(ref));
    return all;
}

const char kSampleTarget[] = "^QTEMP(%JOB,\"QR\",1,";
const char kSampleReference[] = "^QTEMP(%JOB,\"X\",2)";

HeaderLines DataLines() {
    return {"services/DataLines.h",
            {
                {"AppendingSetLines",
                 [](const V& v) -> MLines {
                     return Joined(
                         {AppendingSetLines(kSampleReference, ValueParts(v.text)),
                          AppendingSetLines(kSampleReference, ValueParts(v.text, true), ",COUNT=COUNT+1"),
                          AppendingSetLines(kSampleReference, {})});
                 }},
                // Parts of a value: in the line they are set with.
                {"ValueParts",
                 [](const V& v) -> MLines {
                     return Joined({AppendingSetLines(kSampleReference, ValueParts(v.text, false)),
                                    AppendingSetLines(kSampleReference, ValueParts(v.text, true))});
                 }},
                {"CharCodes", [](const V& v) -> MLines { return {"S X=" + CharCodes(v.text)}; }},
            }};
}

HeaderLines ExcelLines() {
    return {"services/ExcelLogic.h",
            {
                {"MarkerLine",
                 [](const V& v) -> MLines {
                     MLines all;
                     for (char kind : {'#', '>', '*', '<', '$', '?'})
                         all.push_back(MarkerLine(Marker{kind, false, v.text}));
                     // What a "$" marker may read, and what it must not.
                     for (const char* key : {"%MEMO", "^ABC(1,\"x\"\"y\",Z)", "ABC(\"x\"", "A(1) K ^A",
                                             "A(B(1))", "^A(-1.5,\"\")"})
                         all.push_back(MarkerLine(Marker{'$', false, key}));
                     return all;
                 }},
                {"CellValueLine", [](const V& v) -> MLines { return {excel::CellValueLine(v.text)}; }},
                {"CellFlagLine", [](const V& v) -> MLines { return {excel::CellFlagLine(v.text)}; }},
                M_CONSTANT(excel::kDataExists),
                M_CONSTANT(excel::kFirstJob),
                M_CONSTANT(excel::kNextJob),
                M_CONSTANT(excel::kJobExists),
                M_CONSTANT(excel::kJobName),
                M_CONSTANT(excel::kJobSave),
                M_CONSTANT(excel::kJobSheet),
                M_CONSTANT(excel::kFirstMap),
                M_CONSTANT(excel::kMapSheet),
                M_CONSTANT(excel::kNextMap),
                M_CONSTANT(excel::kKillFill),
                M_CONSTANT(excel::kRunPrintRoutine),
                M_CONSTANT(excel::kMemo),
                M_CONSTANT(excel::kFirstCell),
                M_CONSTANT(excel::kNextCell),
            }};
}

HeaderLines FormularLines() {
    using namespace formular;
    return {
        "services/FormularLines.h",
        {
            {"SetPartLine", [](const V& v) -> MLines { return {SetPartLine(v.text)}; }},
            {"NextLineLine",
             [](const V& v) -> MLines {
                 return {NextLineLine(v.number), NextLineLine(2)};
             }},
            {"RestoreLineLine", [](const V& v) -> MLines { return {RestoreLineLine(v.text)}; }},
            {"LineCodeLine",
             [](const V& v) -> MLines {
                 return {LineCodeLine(v.number), LineCodeLine(0)};
             }},
            {"PageValueLine", [](const V& v) -> MLines { return {PageValueLine(v.number, v.text, v.text)}; }},
            {"TokenDefinedLine",
             [](const V& v) -> MLines { return {TokenDefinedLine(v.number, v.text, v.text, v.text)}; }},
            {"TokenValueLine",
             [](const V& v) -> MLines { return {TokenValueLine(v.number, v.text, v.text, v.text)}; }},
            {"TokenNextSubLine",
             [](const V& v) -> MLines { return {TokenNextSubLine(v.number, v.text, v.text, v.text)}; }},
            {"TokenSubValueLine",
             [](const V& v) -> MLines { return {TokenSubValueLine(v.number, v.text, v.text, v.text)}; }},
            M_CONSTANT(kResetPart),
            M_CONSTANT(kNextPart),
            M_CONSTANT(kPartTemplate),
            M_CONSTANT(kPartName),
            M_CONSTANT(kPartDir),
            M_CONSTANT(kExtraHeight),
            M_CONSTANT(kHome),
            M_CONSTANT(kModule),
            M_CONSTANT(kLanguage),
            M_CONSTANT(kVersion),
            M_CONSTANT(kKillJob),
            M_CONSTANT(kResetLine),
            M_CONSTANT(kResetSub),
        }};
}

HeaderLines HubLines() {
    return {"services/HubLines.h",
            {
                {"PasteReadLine", [](const V&) -> MLines { return {PasteReadLine()}; }},
                {"NodeTestLine", [](const V& v) -> MLines { return {NodeTestLine(v.text)}; }},
                {"NodeKillLine",
                 [](const V& v) -> MLines {
                     return {NodeKillLine(v.text), NodeKillLine(v.text, v.text)};
                 }},
                {"NodeValueLine", [](const V& v) -> MLines { return {NodeValueLine(v.text)}; }},
                {"NodeKeyValueLine", [](const V& v) -> MLines { return {NodeKeyValueLine(v.text, v.text)}; }},
                {"NextKeyLine", [](const V& v) -> MLines { return {NextKeyLine(v.text, v.text)}; }},
                // The routine is the server's, named in its request.
                {"DoLine",
                 [](const V&) -> MLines {
                     return {DoLine(kSampleRoutine), DoLine("")};
                 }},
                {"PackResultLine",
                 [](const V& v) -> MLines {
                     return {PackResultLine(v.text, kSampleRoutine), PackResultLine(v.text, "")};
                 }},
                {"MessageReadLine", [](const V&) -> MLines { return {MessageReadLine()}; }},
                {"MessageKillLine", [](const V&) -> MLines { return {MessageKillLine()}; }},
                {"ReportLine", [](const V&) -> MLines { return {ReportLine()}; }},
            }};
}

HeaderLines LocalFileLines() {
    return {
        "services/LocalFileLines.h",
        {
            {"FileNextJobLine", [](const V& v) -> MLines { return {FileNextJobLine(v.text)}; }},
            {"FileJobPathLine", [](const V& v) -> MLines { return {FileJobPathLine(v.text)}; }},
            {"FileJobKillLine", [](const V& v) -> MLines { return {FileJobKillLine(v.text)}; }},
            {"FileJobParamsLine", [](const V& v) -> MLines { return {FileJobParamsLine(v.text)}; }},
            {"FileNextDataLine", [](const V& v) -> MLines { return {FileNextDataLine(v.text, v.number)}; }},
            {"FileDataLine", [](const V& v) -> MLines { return {FileDataLine(v.text, v.number)}; }},
            {"FileReadLines", [](const V& v) -> MLines { return FileReadLines(v.text, v.number, v.text); }},
            {"FileDoneLine",
             [](const V& v) -> MLines {
                 return {FileDoneLine(v.text, true, kSampleRoutine), FileDoneLine(v.text, false, "")};
             }},
            {"FileRequestKillLine", [](const V&) -> MLines { return {FileRequestKillLine()}; }},
            {"ListStartLine", [](const V&) -> MLines { return {ListStartLine()}; }},
            {"ListEntryLine",
             [](const V& v) -> MLines {
                 return ForResultRefs([&](const char* ref) { return ListEntryLine(ref, v.text, v.text); });
             }},
            {"CountEndLine", [](const V&) -> MLines { return {CountEndLine()}; }},
            {"CollectNameLine",
             [](const V& v) -> MLines {
                 return ForResultRefs([&](const char* ref) { return CollectNameLine(ref, v.text, v.text); });
             }},
            {"ImportedTestLine",
             [](const V& v) -> MLines {
                 return ForResultRefs([&](const char* ref) { return ImportedTestLine(ref, v.text); });
             }},
            {"ImportLine",
             [](const V& v) -> MLines {
                 return ForResultRefs([&](const char* ref) { return ImportLine(ref, v.text, v.text); });
             }},
            // A file's lines: imported as the batch imports them.
            {"MapImportLine",
             [](const V& v) -> MLines {
                 return {ImportLine("", "A.TXT", MapImportLine(v.text, false)),
                         ImportLine("", "A.TXT", MapImportLine(v.text, true))};
             }},
            {"SplitLines",
             [](const V& v) -> MLines {
                 MLines all;
                 for (const std::string& part : SplitLines(v.text, 255))
                     all.push_back(ImportLine("", "A.TXT", MapImportLine(part, false)));
                 return all;
             }},
            {"ArchiveNameLine",
             [](const V& v) -> MLines {
                 MLines all;
                 for (const char* ref : kResultRefs) {
                     all.push_back(ArchiveNameLine(ref, v.text, v.text));
                     all.push_back(ArchiveNameLine(ref, "", v.text));
                 }
                 return all;
             }},
        }};
}

HeaderLines OutsideLines() {
    return {
        "services/OutsideLines.h",
        {
            // A component's symbol: its lines set under the request's target.
            {"SymbolLines",
             [](const V& v) -> MLines {
                 MLines all;
                 MLines parts = SymbolLines(v.text + "\r" + v.text + "\r\n");
                 for (size_t i = 0; i < parts.size(); ++i)
                     all.push_back(SymbolLineSet(kSampleTarget, static_cast<int>(i + 1), parts[i]));
                 return all;
             }},
            {"SymbolLineSet",
             [](const V& v) -> MLines { return {SymbolLineSet(kSampleTarget, v.number, v.text)}; }},
            {"DrgFieldLine", [](const V& v) -> MLines { return {DrgFieldLine(v.text)}; }},
            {"DrgFieldPartLine", [](const V& v) -> MLines { return {DrgFieldPartLine(v.text, v.number)}; }},
            {"DrgResultSet",
             [](const V& v) -> MLines {
                 return {DrgResultSet(v.text, v.text), DrgResultSet(v.text, FormatDrgNumber(v.number / 7.0))};
             }},
            {"KodipNextLine",
             [](const V& v) -> MLines {
                 return {KodipNextLine(true, v.number), KodipNextLine(false, v.number)};
             }},
            {"KodipFieldLine",
             [](const V& v) -> MLines {
                 return {KodipFieldLine(true, v.number, v.text), KodipFieldLine(false, v.number, v.text)};
             }},
            {"KodipResultSet",
             [](const V& v) -> MLines {
                 return {KodipResultSet(true, v.number, v.text, v.text),
                         KodipResultSet(false, v.number, v.text, v.text)};
             }},
            {"FacadeStoreLines", [](const V& v) -> MLines { return FacadeStoreLines(v.text); }},
            {"QsMedFieldNameLine", [](const V& v) -> MLines { return {QsMedFieldNameLine(v.number)}; }},
            {"QsMedFieldValueLine", [](const V&) -> MLines { return {QsMedFieldValueLine()}; }},
            {"QsCaseFieldLine",
             [](const V& v) -> MLines {
                 MLines all{QsCaseFieldLine(v.text)};
                 for (int i = 0; i < kQsCaseFieldCount; ++i)
                     all.push_back(QsCaseFieldLine(kQsCaseFields[i]));
                 return all;
             }},
            {"QsResultSet",
             [](const V& v) -> MLines { return {QsResultSet(v.text, v.number, v.text, v.text)}; }},
            {"DeviceAnswerSet", [](const V& v) -> MLines { return {DeviceAnswerSet(v.text, v.text)}; }},
            M_CONSTANT(kQsFilterKillLine),
            M_CONSTANT(kQsCaseStartLine),
            M_CONSTANT(kQsCaseNextLine),
            M_CONSTANT(kQsFeeStartLine),
            M_CONSTANT(kQsFeeNextLine),
            M_CONSTANT(kQsFeeValueLine),
            M_CONSTANT(kPocketRequestKindLine),
        }};
}

HeaderLines PrintListLines() {
    return {"services/PrintListLogic.h",
            {
                {"PrintOutputLine", [](const V& v) -> MLines { return {PrintOutputLine(v.number)}; }},
                {"ReportLinesLine", [](const V& v) -> MLines { return {ReportLinesLine(v.number)}; }},
                M_CONSTANT(line::kCharsPerLine),
                M_CONSTANT(line::kReportTitle),
            }};
}

HeaderLines PrinterChoiceLines() {
    return {"services/PrinterChoiceLogic.h",
            {
                {"SetDeviceLine", [](const V& v) -> MLines { return {SetDeviceLine(v.text)}; }},
                {"PaperFormLine",
                 [](const V&) -> MLines {
                     return {PaperFormLine(true), PaperFormLine(false)};
                 }},
                {"NextDeviceLine", [](const V& v) -> MLines { return {NextDeviceLine(v.text)}; }},
                {"TrayLine", [](const V& v) -> MLines { return {TrayLine(v.number)}; }},
                M_CONSTANT(line::kSetUpDevice),
                M_CONSTANT(line::kCurrentDevice),
                M_CONSTANT(line::kTrayCount),
            }};
}

HeaderLines SqlLines() {
    return {"services/SqlLines.h",
            {
                {"SqlStatementLine", [](const V& v) -> MLines { return {SqlStatementLine(v.number)}; }},
                {"SqlResultKillLine", [](const V&) -> MLines { return {SqlResultKillLine()}; }},
                {"SqlNextRowLine", [](const V&) -> MLines { return {SqlNextRowLine()}; }},
                {"SqlValueLines", [](const V& v) -> MLines { return SqlValueLines(v.number, v.text); }},
                {"SqlFinalLine",
                 [](const V& v) -> MLines {
                     return {SqlFinalLine(v.text, v.text, kSampleRoutine), SqlFinalLine(v.text, v.text, "")};
                 }},
            }};
}

} // namespace

LineTable ServiceLineTable() {
    return {
        DataLines(),
        ExcelLines(),
        FormularLines(),
        HubLines(),
        LocalFileLines(),
        OutsideLines(),
        PrintListLines(),
        PrinterChoiceLines(),
        SqlLines(),
        {"services/TextExportLogic.h",
         {
             {"ExportFormLine",
              [](const V&) -> MLines {
                  return {ExportFormLine(true), ExportFormLine(false)};
              }},
             M_CONSTANT(line::kRunExportRoutine),
         }},
    };
}

} // namespace vorlan::test
