// The M lines of the forms, for the compile test (tests/common/MLineTable.h).
#include "common/MQuote.h"
#include "forms/DeviceLogic.h"
#include "forms/FormDecor.h"
#include "forms/FormFieldLogic.h"
#include "forms/FormKeysLogic.h"
#include "forms/FormLogic.h"
#include "forms/GridLogic.h"
#include "forms/ListTabLogic.h"
#include "forms/PrintFormLogic.h"
#include "forms/PrintRoadLogic.h"
#include "forms/TextBoxLogic.h"
#include "resources/MainFrameIds.h"
#include "tests/common/MLineTable.h"

namespace vorlan::test {

namespace {

using V = LineValue;

MLines Walk(const NodeWalk& walk) {
    return {walk.start, walk.next, walk.value};
}

MLines FunctionKeyLines(unsigned other) {
    MLines all{FunctionKeyLine(other)};
    for (auto [first, last] : {std::pair{ID_FKEY_FIRST, ID_FKEY_LAST}, std::pair{ID_XKEY_FIRST, ID_XKEY_LAST},
                               std::pair{ID_MKEY_FIRST, ID_MKEY_LAST}})
        for (unsigned id = first; id <= static_cast<unsigned>(last); ++id)
            all.push_back(FunctionKeyLine(id));
    return all;
}

// The lines that store a text box's text, as the form sends them.
MLines TextBoxStoreLines(const std::string& text) {
    MLines all;
    MLines parts = TextBoxLines(text);
    for (size_t k = 0; k < parts.size(); ++k)
        all.push_back(TextBoxStoreLine(kSampleName, static_cast<int>(k + 1), parts[k]));
    return all;
}

HeaderLines FormLogicLines() {
    return {
        "forms/FormLogic.h",
        {
            {"DialogRoutineProbeLine", [](const V&) -> MLines { return {DialogRoutineProbeLine()}; }},
            {"DialogAllowedLine",
             [](const V& v) -> MLines {
                 return {DialogAllowedLine(v.text, true), DialogAllowedLine(v.text, false)};
             }},
            {"SaveOpenFormLine", [](const V&) -> MLines { return {SaveOpenFormLine()}; }},
            {"DestroyLine", [](const V& v) -> MLines { return {DestroyLine(v.text)}; }},
            // The keep list names variables of the screen; the kill text is the server's command.
            {"CreationKillLine",
             [](const V&) -> MLines {
                 return {CreationKillLine(true, "", ""), CreationKillLine(false, "", ""),
                         CreationKillLine(false, "*", ""),
                         CreationKillLine(false, "%ZA,ZB", "K (%DN,%USER)")};
             }},
            {"KillKeeping", [](const V&) -> MLines { return {KillKeeping("K (%DN,%USER)", "%ZA,ZB")}; }},
            // The opener's name comes already quoted.
            {"DialogNamesLine",
             [](const V& v) -> MLines {
                 return {DialogNamesLine(MQuote(v.text), v.text, v.text),
                         DialogNamesLine("", v.text, v.text)};
             }},
            {"DescriptionRecordLine", [](const V& v) -> MLines { return {DescriptionRecordLine(v.text)}; }},
            {"FetTitleLine",
             [](const V& v) -> MLines {
                 return {FetTitleLine(v.text, v.text, true), FetTitleLine(v.text, v.text, false)};
             }},
            {"FrameCaptionLine", [](const V& v) -> MLines { return {FrameCaptionLine(v.text)}; }},
            {"InitScreenLine", [](const V& v) -> MLines { return {InitScreenLine(v.text, v.text)}; }},
            {"SetStartFieldLine", [](const V& v) -> MLines { return {SetStartFieldLine(v.text)}; }},
            {"MaxLine", [](const V& v) -> MLines { return {MaxLine(v.text)}; }},
            {"EditLine", [](const V& v) -> MLines { return {EditLine(v.text, v.number)}; }},
            {"KeysLine", [](const V& v) -> MLines { return {KeysLine(v.text)}; }},
            {"ModuLine", [](const V& v) -> MLines { return {ModuLine(v.text, v.number)}; }},
            {"FunctionKeyLine",
             [](const V& v) -> MLines { return FunctionKeyLines(static_cast<unsigned>(v.number)); }},
            {"FieldSaveLine",
             [](const V& v) -> MLines { return {FieldSaveLine(v.number, v.number, v.number, v.text)}; }},
            {"FieldSaveAgainLine",
             [](const V& v) -> MLines { return {FieldSaveAgainLine(v.number, v.text)}; }},
            {"TextBoxLines", [](const V& v) -> MLines { return TextBoxStoreLines(v.text); }},
            {"TextBoxKillLine", [](const V&) -> MLines { return {TextBoxKillLine(kSampleName)}; }},
            {"TextBoxStoreLine",
             [](const V& v) -> MLines { return {TextBoxStoreLine(kSampleName, v.number, v.text)}; }},
            {"TextBoxFirstKeyLine", [](const V&) -> MLines { return {TextBoxFirstKeyLine()}; }},
            {"TextBoxNextKeyLine", [](const V&) -> MLines { return {TextBoxNextKeyLine(kSampleName)}; }},
            {"TextBoxReadLine", [](const V&) -> MLines { return {TextBoxReadLine(kSampleName)}; }},
            {"CaretLine", [](const V& v) -> MLines { return {CaretLine(v.number, v.number)}; }},
            {"SubDialogTakeOverLine", [](const V& v) -> MLines { return {SubDialogTakeOverLine(v.text)}; }},
            {"SaveWindowSizeLine",
             [](const V& v) -> MLines {
                 return {SaveWindowSizeLine(v.text, v.number, v.number, true),
                         SaveWindowSizeLine(v.text, v.number, v.number, false)};
             }},
            // A node: read as the frame reads it.
            {"WindowPositionNode",
             [](const V& v) -> MLines {
                 return {std::string(kWorkstationDefaultLine) + "W $G(" + WindowPositionNode(v.text, true) +
                             ")",
                         std::string(kWorkstationDefaultLine) + "W $G(" + WindowPositionNode(v.text, false) +
                             ")"};
             }},
            // A first command: alone and with the next.
            {"kWorkstationDefaultLine",
             [](const V&) -> MLines {
                 return {kWorkstationDefaultLine, std::string(kWorkstationDefaultLine) + "W 1"};
             }},
            {"MessagesLine",
             [](const V&) -> MLines {
                 return {MessagesLine(true), MessagesLine(false)};
             }},
            // The exit code is the program's, in decimal, or none.
            {"ProgramExitLine",
             [](const V& v) -> MLines {
                 return {ProgramExitLine(std::to_string(v.number), kSampleRoutine),
                         ProgramExitLine("", kSampleRoutine), ProgramExitLine("4294967295", kSampleRoutine)};
             }},
            {"CardResultLine", [](const V& v) -> MLines { return {CardResultLine(v.number, v.text)}; }},
            {"LoadVarsLine", [](const V& v) -> MLines { return {LoadVarsLine(v.text)}; }},
            {"KillVarsLine", [](const V& v) -> MLines { return {KillVarsLine(v.text)}; }},
            {"TabTextLine", [](const V& v) -> MLines { return {TabTextLine(v.text)}; }},
            {"TabNodeLine", [](const V& v) -> MLines { return {TabNodeLine(v.text, v.number)}; }},
            {"ScreenNodeLine",
             [](const V& v) -> MLines {
                 return {ScreenNodeLine(v.text, v.text), ScreenNodeLine(v.text, v.number)};
             }},
            {"ScreenInitLine", [](const V& v) -> MLines { return {ScreenInitLine(v.text)}; }},
            {"SwitchNamespaceLine", [](const V& v) -> MLines { return {SwitchNamespaceLine(v.text)}; }},
            {"DialogNodeExistsLine",
             [](const V& v) -> MLines { return {DialogNodeExistsLine(v.text, v.number)}; }},
            {"FocusEntryLine", [](const V& v) -> MLines { return {FocusEntryLine(v.number)}; }},
            {"FocusAgainLine", [](const V& v) -> MLines { return {FocusAgainLine(v.number)}; }},
            {"SelectAllRequestLine", [](const V& v) -> MLines { return {SelectAllRequestLine(v.number)}; }},
            {"ClosingKeyLine", [](const V& v) -> MLines { return {ClosingKeyLine(v.text)}; }},
            {"LockListLine", [](const V& v) -> MLines { return {LockListLine(v.number)}; }},
            {"CheckRunLine", [](const V& v) -> MLines { return {CheckRunLine(v.text)}; }},
            {"SearchLine", [](const V& v) -> MLines { return {SearchLine(v.text, kSampleRoutine)}; }},
            {"EventNextLine", [](const V& v) -> MLines { return {EventNextLine(v.text)}; }},
            {"EventValueLine",
             [](const V& v) -> MLines {
                 return {EventValueLine(v.text, v.text, true), EventValueLine(v.text, v.text, false),
                         EventValueLine(v.text)};
             }},
            {"EventCloseLine", [](const V& v) -> MLines { return {EventCloseLine(v.text)}; }},
            {"EventEventExistsLine", [](const V& v) -> MLines { return {EventEventExistsLine(v.text)}; }},
            {"PrintRoutineLine", [](const V& v) -> MLines { return {PrintRoutineLine(v.text)}; }},
            M_CONSTANT(line::kCurrentDialog),
            M_CONSTANT(line::kSaveCurrentVars),
            M_CONSTANT(line::kKillCommand),
            M_CONSTANT(line::kExecuteKill),
            M_CONSTANT(line::kKillNew),
            M_CONSTANT(line::kStartField),
            M_CONSTANT(line::kTitle),
            M_CONSTANT(line::kFrameTitle),
            M_CONSTANT(line::kDialogTitle),
            M_CONSTANT(line::kNoFatalError),
            M_CONSTANT(line::kTakeFatalError),
            M_CONSTANT(line::kFatalErrorExists),
            M_CONSTANT(line::kTakeFatalErrorOnly),
            M_CONSTANT(line::kTakeSubDialog),
            M_CONSTANT(line::kKillSubDialog),
            M_CONSTANT(line::kF3Action),
            M_CONSTANT(line::kAction),
            M_CONSTANT(line::kTakeAction),
            M_CONSTANT(line::kRunAction),
            M_CONSTANT(line::kKillAction),
            M_CONSTANT(line::kErrorExists),
            M_CONSTANT(line::kNoError),
            M_CONSTANT(line::kTakeError),
            M_CONSTANT(line::kError),
            M_CONSTANT(line::kErrorPlain),
            M_CONSTANT(line::kTakeErrorFlag),
            M_CONSTANT(line::kTakeRebuild),
            M_CONSTANT(line::kTakeRebuildOnFocus),
            M_CONSTANT(line::kTakeGridRebuild),
            M_CONSTANT(line::kTakeLeave),
            M_CONSTANT(line::kClosingKey),
            M_CONSTANT(line::kTakeCaretRequest),
            M_CONSTANT(line::kReadOnlyRequest),
            M_CONSTANT(line::kProtocolStamp),
            M_CONSTANT(line::kTakeFocusAction),
            M_CONSTANT(line::kTakeRefreshList),
            M_CONSTANT(line::kTakeNoRefresh),
            M_CONSTANT(line::kTakeRefresh),
            M_CONSTANT(line::kKillNewHandBack),
            M_CONSTANT(line::kSaveScratchVars),
            M_CONSTANT(line::kLoadScratchVars),
            M_CONSTANT(line::kUnsetCurrent),
            M_CONSTANT(line::kKillRepeatState),
            M_CONSTANT(line::kCurrentNamespace),
            M_CONSTANT(line::kTakeLeaveHandBack),
            M_CONSTANT(line::kParkListHeader),
            M_CONSTANT(line::kRestoreListHeader),
            M_CONSTANT(line::kStartChecks),
            M_CONSTANT(line::kCheck),
            M_CONSTANT(line::kKillStepState),
            M_CONSTANT(line::kKillExcel),
            M_CONSTANT(line::kCardLines),
            M_CONSTANT(line::kCardKind),
            M_CONSTANT(line::kCardRoutine),
            M_CONSTANT(line::kProgramPath),
            M_CONSTANT(line::kProgramParameters),
            M_CONSTANT(line::kProgramRoutine),
            M_CONSTANT(line::kKillProgram),
            M_CONSTANT(line::kWebAddress),
            M_CONSTANT(line::kKillWeb),
            M_CONSTANT(line::kTakeAutoClose),
            M_CONSTANT(line::kTakeClose),
            M_CONSTANT(line::kEventsExist),
            M_CONSTANT(line::kKillEvents),
            M_CONSTANT(line::kReplaceRoutine),
            M_CONSTANT(line::kSearchRoutine),
            M_CONSTANT(line::kGridColumn),
            M_CONSTANT(line::kGridRow),
            M_CONSTANT(line::kTakeSubDialogAndError),
            M_CONSTANT(line::kTakeStartField),
            M_CONSTANT(line::kFontDisabled),
        }};
}

HeaderLines FormFieldLines() {
    return {"forms/FormFieldLogic.h",
            {
                {"TableLine", [](const V& v) -> MLines { return {TableLine(v.number, v.text)}; }},
                {"ChosenRowLine", [](const V& v) -> MLines { return {ChosenRowLine(v.number)}; }},
                {"ChosenTableRowLine", [](const V& v) -> MLines { return {ChosenTableRowLine(v.number)}; }},
                {"TabxLine", [](const V& v) -> MLines { return {TabxLine(v.text, v.text)}; }},
                {"ScrollNodeLine", [](const V& v) -> MLines { return {ScrollNodeLine(v.text, v.number)}; }},
                {"ScrollRoutineLine", [](const V&) -> MLines { return {ScrollRoutineLine(kSampleRoutine)}; }},
                {"KillTabLine", [](const V& v) -> MLines { return {KillTabLine(v.text)}; }},
                {"SetDialogLine", [](const V& v) -> MLines { return {SetDialogLine(v.text)}; }},
            }};
}

HeaderLines DeviceLines() {
    return {"forms/DeviceLogic.h",
            {
                {"DisplayLineLine",
                 [](const V& v) -> MLines {
                     MLines all{DisplayLineLine('A'), DisplayLineLine('B')};
                     for (char c : v.text.substr(0, 8))
                         all.push_back(DisplayLineLine(c));
                     return all;
                 }},
                {"WalkOf", [](const V&) -> MLines { return Walk(WalkOf(kSampleArray)); }},
                {"kPrinterTextWalk", [](const V&) -> MLines { return Walk(kPrinterTextWalk); }},
                {"kDisplayMessageWalk", [](const V&) -> MLines { return Walk(kDisplayMessageWalk); }},
                M_CONSTANT(kRingLine),
                M_CONSTANT(kCustomerDisplayLine),
                M_CONSTANT(kCashDrawerLine),
                M_CONSTANT(kKillCashDrawerLine),
                M_CONSTANT(kPrinterTextLine),
                M_CONSTANT(kKillPrinterTextLine),
                M_CONSTANT(kComPortDisplayLine),
                M_CONSTANT(kComPortDrawerLine),
                M_CONSTANT(kComPortDrawerMessageLine),
            }};
}

HeaderLines GridLines() {
    return {
        "forms/GridLogic.h",
        {
            {"ScrollRecordLine", [](const V& v) -> MLines { return {ScrollRecordLine(v.text)}; }},
            {"ScrollColumnLine", [](const V& v) -> MLines { return {ScrollColumnLine(v.text, v.number)}; }},
            {"GetRowLine",
             [](const V& v) -> MLines { return {GetRowLine(v.text, v.number, v.number, v.number)}; }},
            {"GetCellLine", [](const V& v) -> MLines { return {GetCellLine(v.text, v.number, v.number)}; }},
            {"SavedWidthsLine", [](const V& v) -> MLines { return {SavedWidthsLine(v.text)}; }},
            {"KillSavedWidthsLine", [](const V& v) -> MLines { return {KillSavedWidthsLine(v.text)}; }},
            {"SaveWidthChunkLine",
             [](const V& v) -> MLines {
                 MLines all{SaveWidthChunkLine(v.text, v.number, v.text)};
                 for (const std::string& chunk : ColumnWidthChunks(std::vector<int>(200, v.number)))
                     all.push_back(SaveWidthChunkLine(v.text, 0, chunk));
                 return all;
             }},
            {"DragLine", [](const V& v) -> MLines { return {DragLine(v.number, v.number)}; }},
            {"DropCellLine", [](const V& v) -> MLines { return {DropCellLine(v.number, v.number)}; }},
            {"DropCellYesLine", [](const V& v) -> MLines { return {DropCellYesLine(v.number)}; }},
            {"EditClickLine", [](const V& v) -> MLines { return {EditClickLine(v.number)}; }},
            {"InsertRowLine", [](const V& v) -> MLines { return {InsertRowLine(v.number)}; }},
            {"DeleteRowLine", [](const V& v) -> MLines { return {DeleteRowLine(v.number)}; }},
            {"CellLeftLine", [](const V& v) -> MLines { return {CellLeftLine(v.number, v.number, v.text)}; }},
            {"CellFocusLine",
             [](const V& v) -> MLines {
                 return {CellFocusLine(v.number, v.number, v.text, false),
                         CellFocusLine(v.number, v.number, v.text, true)};
             }},
            {"TablesLine", [](const V& v) -> MLines { return {TablesLine(v.number, v.text)}; }},
            {"EnterLine", [](const V& v) -> MLines { return {EnterLine(v.number, v.number)}; }},
            {"ClickLine", [](const V& v) -> MLines { return {ClickLine(v.number, v.number)}; }},
            {"RightClickLine", [](const V& v) -> MLines { return {RightClickLine(v.number, v.number)}; }},
            {"InfoLine", [](const V& v) -> MLines { return {InfoLine(v.number, v.number)}; }},
            {"SizeLine", [](const V& v) -> MLines { return {SizeLine(v.number, v.number)}; }},
            {"CellKeyLine", [](const V& v) -> MLines { return {CellKeyLine(v.text, v.text)}; }},
            {"CellSaveLine",
             [](const V& v) -> MLines {
                 return {CellSaveLine(true, v.number, v.number, v.number, v.number, v.text),
                         CellSaveLine(false, v.number, v.number, v.number, v.number, v.text)};
             }},
            M_CONSTANT(gridline::kGlobalExists),
            M_CONSTANT(gridline::kLowestSubscript),
            M_CONSTANT(gridline::kHighestSubscript),
            M_CONSTANT(gridline::kMaxColumns),
            M_CONSTANT(gridline::kWidth),
            M_CONSTANT(gridline::kTakeFont),
            M_CONSTANT(gridline::kDragAndDrop),
            M_CONSTANT(gridline::kRightClickCopy),
            M_CONSTANT(gridline::kListMode),
            M_CONSTANT(gridline::kMarkSelection),
            M_CONSTANT(gridline::kEdit),
            M_CONSTANT(gridline::kAutoSize),
            M_CONSTANT(gridline::kGridLines),
            M_CONSTANT(gridline::kSizeAuto),
            M_CONSTANT(gridline::kDrag5),
            M_CONSTANT(gridline::kDrag6),
            M_CONSTANT(gridline::kDragSize),
            M_CONSTANT(gridline::kKillDragWord),
            M_CONSTANT(gridline::kTakeColumnFonts),
            M_CONSTANT(gridline::kKillSwitches),
            M_CONSTANT(gridline::kDropRow),
            M_CONSTANT(gridline::kDropColumn),
            M_CONSTANT(gridline::kRowEditing),
            M_CONSTANT(gridline::kRowDeleting),
            M_CONSTANT(gridline::kRowInserting),
            M_CONSTANT(gridline::kMaxRows),
            M_CONSTANT(gridline::kTable),
            M_CONSTANT(gridline::kLeaveExists),
            M_CONSTANT(gridline::kTakeCellsOnly),
            M_CONSTANT(gridline::kTakeRowEdits),
            M_CONSTANT(gridline::kChangedCells),
            M_CONSTANT(gridline::kNextChangedColumn),
            M_CONSTANT(gridline::kChangedColumnKind),
            M_CONSTANT(gridline::kNextChangedRow),
            M_CONSTANT(gridline::kKillChanged),
            M_CONSTANT(gridline::kNewWidths),
            M_CONSTANT(gridline::kTakeAutoSize),
            M_CONSTANT(gridline::kTitleRight),
            M_CONSTANT(gridline::kTitleCentre),
            M_CONSTANT(gridline::kTitleLeft),
            M_CONSTANT(gridline::kDropAnswer),
            M_CONSTANT(gridline::kCheckCells),
            M_CONSTANT(gridline::kKillHeaderRow),
        }};
}

HeaderLines ListTabLines() {
    return {"forms/ListTabLogic.h",
            {
                {"ListLayoutReadLine", [](const V& v) -> MLines { return {ListLayoutReadLine(v.text)}; }},
                {"ListLayoutWriteLine",
                 [](const V& v) -> MLines {
                     return {
                         ListLayoutWriteLine(v.text, v.number, v.number, {v.number, 1000, -1}),
                         ListLayoutWriteLine(v.text, v.number, v.number, std::vector<int>(400, v.number))};
                 }},
                {"NextBatchLine", [](const V& v) -> MLines { return {NextBatchLine(v.text)}; }},
                {"ListRowExistsLine", [](const V& v) -> MLines { return {ListRowExistsLine(v.number)}; }},
                {"ListCellLine", [](const V& v) -> MLines { return {ListCellLine(v.number, v.number)}; }},
                M_CONSTANT(kListColumnCountLine),
            }};
}

HeaderLines PrintFormLines() {
    namespace pl = printform::line;
    return {
        "forms/PrintFormLogic.h",
        {
            {"FilePrinterLine", [](const V& v) -> MLines { return {printform::FilePrinterLine(v.number)}; }},
            M_CONSTANT(pl::kMulti),
            M_CONSTANT(pl::kPrint),
            M_CONSTANT(pl::kLocal),
            M_CONSTANT(pl::kDir),
            M_CONSTANT(pl::kName),
            M_CONSTANT(pl::kFilter),
            M_CONSTANT(pl::kLoadDir),
            M_CONSTANT(pl::kSleep),
            M_CONSTANT(pl::kLayout),
            M_CONSTANT(pl::kFaxDirExists),
            M_CONSTANT(pl::kFaxDir),
            M_CONSTANT(pl::kFormPrefix),
            M_CONSTANT(pl::kFormName),
            M_CONSTANT(pl::kRunPrintRoutine),
            M_CONSTANT(pl::kPdfForm),
            M_CONSTANT(pl::kWait),
            M_CONSTANT(pl::kPrintWord),
            M_CONSTANT(pl::kPrinter),
            M_CONSTANT(pl::kFaxNoCheck),
            M_CONSTANT(pl::kFaxWord),
            M_CONSTANT(pl::kFaxPrinter),
        }};
}

HeaderLines PrintRoadLines() {
    return {"forms/PrintRoadLogic.h",
            {
                {"FormPrintLine", [](const V& v) -> MLines { return {FormPrintLine(v.text)}; }},
                M_CONSTANT(line::kSavedDevice),
                M_CONSTANT(line::kPrintBreak),
                M_CONSTANT(line::kKillPrintBreak),
                M_CONSTANT(line::kListPrintRoutine),
                M_CONSTANT(line::kListPrintText),
                M_CONSTANT(line::kOwnPrintRoutine),
                M_CONSTANT(line::kRunPrintRoutine),
                M_CONSTANT(line::kRunBatchPrint),
                M_CONSTANT(line::kExcelDataExists),
                M_CONSTANT(line::kPendingSubDialog),
                M_CONSTANT(line::kSubDialogWord),
                M_CONSTANT(line::kTakeSubDialogPath),
            }};
}

HeaderLines TextBoxLogicLines() {
    return {"forms/TextBoxLogic.h",
            {
                {"SearchGlobalLine",
                 [](const V& v) -> MLines {
                     MLines all;
                     for (char c : v.text.substr(0, 8))
                         all.push_back(SearchGlobalLine(std::string(1, c), kSampleRoutine));
                     all.push_back(SearchGlobalLine(v.text, kSampleRoutine));
                     return all;
                 }},
                M_CONSTANT(kSearchTableLine),
                M_CONSTANT(kSearchFirstKeyLine),
                M_CONSTANT(kSearchNextKeyLine),
                M_CONSTANT(kSearchEntryLine),
                M_CONSTANT(kSearchSecondLine),
            }};
}

} // namespace

LineTable FormLineTable() {
    return {
        FormLogicLines(),
        FormFieldLines(),
        DeviceLines(),
        GridLines(),
        ListTabLines(),
        PrintFormLines(),
        PrintRoadLines(),
        TextBoxLogicLines(),
        {"forms/FormDecor.h",
         {
             {"TextLine", [](const V& v) -> MLines { return {TextLine(v.text, v.text, v.number)}; }},
             {"IndiLine", [](const V& v) -> MLines { return {IndiLine(v.text, v.number)}; }},
         }},
        {"forms/FormKeysLogic.h", {M_CONSTANT(kFunkWalkLine), M_CONSTANT(kNoWindowLine)}},
        {"forms/FormGeometry.h", {NotALine("SplitToolTipLines", "the lines of a tool tip")}},
    };
}

} // namespace vorlan::test
