#pragma once
// The outside components that the form services call, as rows of DISPIDs and argument types:
// the one place that knows them. The same rows serve the x86_64 and the i686 program (the
// components on site are 32-bit).

#include "framework/DispMember.h"

namespace vorlan {

using fw::DispMember;

// Barcodes: the text, zero integers, the symbol by reference.
extern const char* const kQrCodeProgId;
extern const char* const kDataMatrixProgId;
extern const DispMember kQrCodeMake;
extern const DispMember kDataMatrixMake;

// DRG groupers.
extern const char* const kGrouperScout; // kind S
extern const char* const kGrouperId;    // kind I
extern const char* const kGrouperAr;    // kind A

// One case field passed by a plain put of its value (its type from the row).
struct DrgPut {
    const char* field;
    DispMember member;
};
extern const DrgPut kDrgPutsA[];
extern const int kDrgPutsACount;
extern const DrgPut kDrgPutsI[];
extern const int kDrgPutsICount;
// The fields collected for kinds S and K: slots 1 to 7 of the case row.
struct DrgSlot {
    const char* field;
    int slot;
};
extern const DrgSlot kDrgSlots[];
extern const int kDrgSlotCount;

// The case fields in the order they are read, and the results in the order they are written.
extern const char* const kDrgFields[];
extern const int kDrgFieldCount;
extern const char* const kDrgResults[];
extern const int kDrgResultCount;

// How a grouper answers one result: read member (id 0: the fixed text, or empty).
struct DrgResultRead {
    DispMember member;
    const char* fixed;
    bool numberFromText; // a text answer written as a number
};
extern const DrgResultRead kDrgResultsA[];
extern const DrgResultRead kDrgResultsS[];
extern const DrgResultRead kDrgResultsI[];

namespace drg {
// Kind A
extern const DispMember kAOption9, kAOption14, kAOption34, kANewCase, kAPiece3, kAIcdOwn, kAOpsJoined,
    kAGroupVariant, kAGroup;
// Kind S
extern const DispMember kSNewCase, kSFlag, kSPiece3, kSIcdItem, kSOpsItem, kSAufnGrund, kSNachname, kSVorname,
    kSFallNr, kSCase, kSAufnAnlass, kSAbtTyp, kSVariant, kSGroup;
// Kind I
extern const DispMember kINewCase, kIPiece4, kIIcdFirst, kIIcdMore, kIOpsItem, kIGroup, kIAfterGroup,
    kIBefore1, kIBefore2;
// Kind K (the coding component's own grouping)
extern const DispMember kKAufnGrund, kKNachname, kKVorname, kKFallNr, kKAbtTyp, kKGroup, kKAufnAnlass;
} // namespace drg

// Coding components.
extern const char* const kCodingDiagnosis; // modes 1, 2
extern const char* const kCodingProcedure; // modes 3, 4
extern const char* const kCodingCase;      // mode 5
extern const char* const kCodingFacade;    // modes 6, 7

struct CodingField {
    const char* field;
    DispMember member;
};
// One component of modes 1 to 4: input, the two coding methods, the result count and index,
// the fields per result.
struct CodingSingle {
    DispMember input, codeFirst, codeSecond, count, index;
    const CodingField* fields;
    int fieldCount;
};
extern const CodingSingle kCodingDiagnosisCalls;
extern const CodingSingle kCodingProcedureCalls;

namespace kodip {
extern const DispMember kNewCase, kPiece3, kAddDiagnosis, kAddProcedure, kCatalogue, kDialog, kCancelled,
    kDiagCount, kDiagIndex, kProcCount, kProcIndex;
extern const CodingField kDiagResults[];
extern const int kDiagResultCount;
extern const CodingField kProcResults[];
extern const int kProcResultCount;
// The input fields of a diagnosis and of a procedure, in the order they are read.
extern const char* const kDiagInputs[];
extern const int kDiagInputCount;
extern const char* const kProcInputs[];
extern const int kProcInputCount;
extern const DispMember kFacadeClient, kFacadeCoding;
} // namespace kodip

// Quality assurance.
extern const char* const kQsMedProgId;
extern const char* const kQsFilterProgId;
namespace qs {
extern const DispMember kLogin, kCase, kFormData, kField, kShow, kFinished, kClose, kStatus, kEnd1, kEnd2;
extern const DispMember kOpen, kInstitution, kYear, kNewCase, kCheck, kCount, kSelect, kModule, kObligation,
    kDescription, kFinish, kCloseFilter, kAddFee;
// The typed driver's own operations of "QSMED", in slot order.
extern const DispMember kSlots[9];
// A case field put by the filter (texts and the four 32-bit numbers).
struct FilterPut {
    const char* field;
    DispMember member;
};
extern const FilterPut kFilterPuts[];
extern const int kFilterPutCount;
} // namespace qs

} // namespace vorlan
