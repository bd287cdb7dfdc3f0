#include "services/Components.h"

namespace vorlan {

using namespace fw;

namespace {
constexpr unsigned short M = kDispMethod, G = kDispGet, P = kDispPut;
} // namespace

const char* const kQrCodeProgId = "IDAuto.QRCode.1";
const char* const kDataMatrixProgId = "IDAuto.Datamatrix.1";
const DispMember kQrCodeMake{18, M, 0, "sllllS"};
const DispMember kDataMatrixMake{18, M, 0, "slllS"};

const char* const kGrouperScout = "DRGscout.Grouper";
const char* const kGrouperId = "Idgrouper.JKrgrouper";
const char* const kGrouperAr = "ARDRG_GE.GROUPER";

const char* const kDrgFields[] = {
    "ICDVER",      "OPSVER",   "GESCHLECHT", "GEBDATUM",         "AUFNDATUM", "ENTLDATUM", "ALTERJAHR",
    "ALTERTAG",    "VWD",      "UNZULVWD",   "BEURLAUBUNGSTAGE", "TAGESFALL", "ENTLMODUS", "GEBGEWICHT",
    "AUFNGEWICHT", "BEATMUNG", "BEHANDLUNG", "AUFNANLASS",       "ABTTYP",    "ICD",       "OPSDATUM",
    "OPS",         "ENTLART",  "AUFNGRUND",  "NACHNAME",         "VORNAME",   "FALLNR"};
const int kDrgFieldCount = static_cast<int>(sizeof kDrgFields / sizeof kDrgFields[0]);

const char* const kDrgResults[] = {"DRG",  "DRGTEXT", "MDC",  "MDCTEXT", "PCCL",  "PCCLTEXT",
                                   "DVWD", "KLTP",    "LLTP", "DRGCW",   "DRGDM", "VERSION"};
const int kDrgResultCount = static_cast<int>(sizeof kDrgResults / sizeof kDrgResults[0]);

// The admission weight follows the birth weight on the same property: the grouper keeps it.
const DrgPut kDrgPutsA[] = {
    {"GESCHLECHT", {0x19, P, 0, "s"}}, {"GEBDATUM", {0x1A, P, 0, "s"}},
    {"AUFNDATUM", {0x1B, P, 0, "s"}},  {"ENTLDATUM", {0x1C, P, 0, "s"}},
    {"ALTERJAHR", {0x08, P, 0, "h"}},  {"ALTERTAG", {0x07, P, 0, "h"}},
    {"VWD", {0x1D, P, 0, "h"}},        {"BEURLAUBUNGSTAGE", {0x4B, P, 0, "h"}},
    {"TAGESFALL", {0x1E, P, 0, "s"}},  {"ENTLMODUS", {0x1F, P, 0, "s"}},
    {"GEBGEWICHT", {0x2F, P, 0, "h"}}, {"AUFNGEWICHT", {0x2F, P, 0, "h"}},
    {"BEATMUNG", {0x20, P, 0, "h"}},   {"BEHANDLUNG", {0x21, P, 0, "s"}},
    {"ABTTYP", {0x3C, P, 0, "h"}},     {"AUFNGRUND", {0x54, P, 0, "s"}},
};
const int kDrgPutsACount = static_cast<int>(sizeof kDrgPutsA / sizeof kDrgPutsA[0]);

const DrgPut kDrgPutsI[] = {
    {"GESCHLECHT", {0x11, P, 0, "l"}},  {"GEBDATUM", {0x0F, P, 0, "s"}}, {"AUFNDATUM", {0x0E, P, 0, "s"}},
    {"ENTLDATUM", {0x10, P, 0, "s"}},   {"VWD", {0x14, P, 0, "l"}},      {"UNZULVWD", {0x15, P, 0, "l"}},
    {"AUFNGEWICHT", {0x12, P, 0, "l"}}, {"BEATMUNG", {0x17, P, 0, "l"}}, {"AUFNANLASS", {0x83, P, 0, "s"}},
    {"ABTTYP", {0x3E, P, 0, "l"}},      {"ENTLART", {0x19, P, 0, "l"}},  {"AUFNGRUND", {0x82, P, 0, "s"}},
    {"NACHNAME", {0x93, P, 0, "s"}},    {"VORNAME", {0x94, P, 0, "s"}},  {"FALLNR", {0x92, P, 0, "s"}},
};
const int kDrgPutsICount = static_cast<int>(sizeof kDrgPutsI / sizeof kDrgPutsI[0]);

const DrgSlot kDrgSlots[] = {{"AUFNDATUM", 1}, {"ENTLDATUM", 2}, {"GEBDATUM", 3},   {"GESCHLECHT", 4},
                             {"ENTLART", 5},   {"BEATMUNG", 6},  {"AUFNGEWICHT", 7}};
const int kDrgSlotCount = static_cast<int>(sizeof kDrgSlots / sizeof kDrgSlots[0]);

namespace {
constexpr DispMember kNone{0, 0, 0, ""};
} // namespace

const DrgResultRead kDrgResultsA[] = {
    {{0x0A, G, 's', ""}, nullptr, false}, {{0x0B, G, 's', ""}, nullptr, false},
    {{0x0C, G, 's', ""}, nullptr, false}, {{0x0D, G, 's', ""}, nullptr, false},
    {{0x0E, G, 'h', ""}, nullptr, false}, {{0x2C, G, 's', ""}, nullptr, false},
    {{0x0F, G, 'd', ""}, nullptr, false}, {{0x10, G, 'd', ""}, nullptr, false},
    {{0x11, G, 'd', ""}, nullptr, false}, {{0x40, G, 'd', ""}, nullptr, false},
    {{0x45, G, 'd', ""}, nullptr, false}, {kNone, "", false},
};
const DrgResultRead kDrgResultsS[] = {
    {{0x68030030, G, 's', ""}, nullptr, false},
    {{0x68030041, G, 's', ""}, nullptr, false},
    {{0x6803002F, G, 's', ""}, nullptr, false},
    {{0x68030032, G, 's', ""}, nullptr, false},
    {{0x6803002E, G, 's', ""}, nullptr, true},
    {{0x6803002E, G, 's', ""}, nullptr, false},
    {{0x68030012, G, 's', ""}, nullptr, false},
    {kNone, "", false},
    {kNone, "", false},
    {{0x68030040, G, 'd', ""}, nullptr, false},
    {kNone, "", false},
    {kNone, "KODIP DRG-Grouper", false},
};
const DrgResultRead kDrgResultsI[] = {
    {{0x29, G, 's', ""}, nullptr, false},
    {{0x2A, G, 's', ""}, nullptr, false},
    {{0x08, G, 's', ""}, nullptr, false},
    {{0x27, G, 's', ""}, nullptr, false},
    {{0x2D, G, 'l', ""}, nullptr, false},
    {kNone, "", false},
    {{0x44, G, 'd', ""}, nullptr, false},
    {kNone, "", false},
    {kNone, "", false},
    {{0x52, G, 'd', ""}, nullptr, false},
    {kNone, "", false},
    {kNone, "ID Grouper", false},
};

namespace drg {
const DispMember kAOption9{0x09, M, 0, "h"}, kAOption14{0x14, M, 0, "h"}, kAOption34{0x34, M, 0, "h"},
    kANewCase{0x01, M, 0, ""}, kAPiece3{0x3A, M, 0, "h"}, kAIcdOwn{0x3E7, P, 0, "s"},
    kAOpsJoined{0x05, P, 0, "s"}, kAGroupVariant{0x02, M, 0, ""}, kAGroup{0x03, M, 0, ""};
const DispMember kSNewCase{0x60030058, M, 0, ""}, kSFlag{0x68030051, P, 0, "H"},
    kSPiece3{0x6803002C, P, 0, "S"}, kSIcdItem{0x60030052, M, 0, "S"}, kSOpsItem{0x60030086, M, 0, "SS"},
    kSAufnGrund{0x6803007A, P, 0, "S"}, kSNachname{0x68030003, P, 0, "S"}, kSVorname{0x68030004, P, 0, "S"},
    kSFallNr{0x68030005, P, 0, "S"}, kSCase{0x60030059, M, 0, "SSSSSSSS"},
    kSAufnAnlass{0x6803001B, P, 0, "S"}, kSAbtTyp{0x6803001C, P, 0, "L"}, kSVariant{0x68030031, P, 0, "H"},
    kSGroup{0x60030055, M, 0, ""};
const DispMember kINewCase{0x2F, M, 0, ""}, kIPiece4{0x33, P, 0, "s"}, kIIcdFirst{0x09, P, 0, "s"},
    kIIcdMore{0x5C, M, 0, "s"}, kIOpsItem{0x5D, M, 0, "s"}, kIGroup{0x67, M, 's', ""},
    kIAfterGroup{0x26, M, 0, "l"}, kIBefore1{0x52, G, 'd', ""}, kIBefore2{0x43, G, 'd', ""};
const DispMember kKAufnGrund{0x68030055, P, 0, "S"}, kKNachname{0x68030052, P, 0, "S"},
    kKVorname{0x68030051, P, 0, "S"}, kKFallNr{0x68030053, P, 0, "S"}, kKAbtTyp{0x68030057, P, 0, "S"},
    kKGroup{0x6003005B, M, 0, "SSSSSSSSSSS"}, kKAufnAnlass{0x68030050, P, 0, "S"};
} // namespace drg

const char* const kCodingDiagnosis = "KODIP.Diagnose";
const char* const kCodingProcedure = "KODIPp.OP";
const char* const kCodingCase = "KODIPclp.DiagnoseOP";
const char* const kCodingFacade = "MmmHisFacadeCom.Start";

namespace {
const CodingField kDiagnosisFields[] = {
    {"ICD", {0x68030028, G, 's', ""}},         {"ICD9", {0x68030054, G, 's', ""}},
    {"AOKODE", {0x6803006C, G, 's', ""}},      {"LOKALISATION", {0x68030058, G, 's', ""}},
    {"DIAGZUSATZ", {0x6803006F, G, 's', ""}},  {"DIAGZUSATZTEXT", {0x6803006E, G, 's', ""}},
    {"AUSGABETEXT", {0x6803003C, G, 's', ""}}, {"FKODE1", {0x6803006B, G, 's', ""}},
    {"FKODE2", {0x68030069, G, 's', ""}},      {"FKODE1ID", {0x6803006A, G, 'h', ""}},
    {"FKODE2ID", {0x68030068, G, 'h', ""}},
};
const CodingField kProcedureFields[] = {
    {"OPS", {0x68030034, G, 's', ""}},         {"KODE", {0x68030053, G, 's', ""}},
    {"KODETEXT", {0x6803004A, G, 's', ""}},    {"LOKALISATION", {0x68030040, G, 's', ""}},
    {"AUSGABETEXT", {0x68030030, G, 's', ""}}, {"FKODE1", {0x6803004F, G, 's', ""}},
    {"FKODE2", {0x6803004D, G, 's', ""}},      {"FKODE1ID", {0x6803004E, G, 'h', ""}},
    {"FKODE2ID", {0x6803004C, G, 'h', ""}},
};
} // namespace

const CodingSingle kCodingDiagnosisCalls{
    {0x68030030, P, 0, "S"},
    {0x6003004C, M, 0, ""},
    {0x60030074, M, 0, ""},
    {0x68030061, G, 'l', ""},
    {0x68030060, P, 0, "L"},
    kDiagnosisFields,
    static_cast<int>(sizeof kDiagnosisFields / sizeof kDiagnosisFields[0])};
const CodingSingle kCodingProcedureCalls{
    {0x68030028, P, 0, "S"},
    {0x6003003C, M, 0, ""},
    {0x6003005A, M, 0, ""},
    {0x68030051, G, 'l', ""},
    {0x68030050, P, 0, "L"},
    kProcedureFields,
    static_cast<int>(sizeof kProcedureFields / sizeof kProcedureFields[0])};

namespace kodip {
const DispMember kNewCase{0x6003004C, M, 0, ""}, kPiece3{0x6803003A, P, 0, "S"},
    kAddDiagnosis{0x6003004D, M, 0, "SSSSSSSSSSSSSSS"}, kAddProcedure{0x6003004E, M, 0, "SSSSSSSSS"},
    kCatalogue{0x68030046, P, 0, "S"}, kDialog{0x6003004B, M, 0, ""}, kCancelled{0x68030029, G, 's', ""},
    kDiagCount{0x68030045, G, 'l', ""}, kDiagIndex{0x68030041, P, 0, "l"}, kProcCount{0x68030043, G, 'l', ""},
    kProcIndex{0x6803003C, P, 0, "l"};
const CodingField kDiagResults[] = {
    {"ICD10", {0x6803003F, G, 's', ""}},        {"ICD9", {0x6803003E, G, 's', ""}},
    {"HAUPTDIAGKZ", {0x6803002F, G, 's', ""}},  {"AOKODE", {0x6803002C, G, 's', ""}},
    {"LOKALISATION", {0x6803002E, G, 's', ""}}, {"DIAGZUSATZ", {0x6803002D, G, 's', ""}},
    {"TEXTID", {0x6803002B, G, 's', ""}},       {"EXTERNID", {0x68030047, G, 's', ""}},
    {"TEXT", {0x6803003D, G, 's', ""}},
};
const int kDiagResultCount = static_cast<int>(sizeof kDiagResults / sizeof kDiagResults[0]);
const CodingField kProcResults[] = {
    {"OPS", {0x68030038, G, 's', ""}},
    {"LOKALISATION", {0x6803002E, G, 's', ""}},
    {"HAUPTPROZKZ", {0x68030030, G, 's', ""}},
    {"EXTERNID", {0x68030047, G, 's', ""}},
};
const int kProcResultCount = static_cast<int>(sizeof kProcResults / sizeof kProcResults[0]);
const char* const kDiagInputs[] = {"TEXT", "ICD", "LOKALISATION", "DIAGZUSATZ", "HAUPTDIAGKZ", "EXTERNID"};
const int kDiagInputCount = 6;
const char* const kProcInputs[] = {"TEXT", "OPS", "LOKALISATION", "HAUPTPROZKZ", "EXTERNID"};
const int kProcInputCount = 5;
const DispMember kFacadeClient{0x04, M, 'l', "s"}, kFacadeCoding{0x08, M, 's', "lss"};
} // namespace kodip

const char* const kQsMedProgId = "QSMED";
const char* const kQsFilterProgId = "QSFilter3M";

namespace qs {
const DispMember kLogin{0x60020002, M, 'h', "s"}, kCase{0x60020003, M, 0, "ssssss"},
    kFormData{0x60020023, P, 0, "s"}, kField{0x60020008, M, 0, "ss"}, kShow{0x60020004, M, 'h', ""},
    kFinished{0x60020021, G, 'h', ""}, kClose{0x60020012, M, 'h', ""}, kStatus{0x6002001D, M, 'l', ""},
    kEnd1{0x6002000A, M, 0, ""}, kEnd2{0x6002000B, M, 0, ""};
const DispMember kOpen{0x5A, M, 0, "l"}, kInstitution{0x34, P, 0, "s"}, kYear{0x72, M, 'l', "s"},
    kNewCase{0x03, M, 0, ""}, kCheck{0x06, M, 'l', "s"}, kCount{0x30, M, 'l', ""}, kSelect{0x2F, M, 's', "l"},
    kModule{0x21, G, 's', ""}, kObligation{0x22, G, 's', ""}, kDescription{0x23, G, 's', ""},
    kFinish{0x36, M, 0, ""}, kCloseFilter{0x5B, M, 0, "l"}, kAddFee{0x62, M, 0, "s"};
const DispMember kSlots[9] = {
    {0x6002001C, M, 0, "S"},  {0x6002001E, M, 0, "S"},  {0x6002002F, M, 0, "S"},
    {0x60020030, M, 0, "sS"}, {0x60020031, M, 0, "lS"}, {0x60020034, M, 0, "S"},
    {0x60020035, M, 0, "ss"}, {0x60020036, M, 0, "ss"}, {0x60020037, M, 0, ""},
};
const FilterPut kFilterPuts[] = {
    {"AUFNNR", {0x3D, P, 0, "s"}},      {"AUFNDATUM", {0x2B, P, 0, "s"}},
    {"AUFNGRUND", {0x60, P, 0, "s"}},   {"ENTLDATUM", {0x2C, P, 0, "s"}},
    {"ENTLGRUND", {0x10, P, 0, "s"}},   {"ALTERJ", {0x0C, P, 0, "l"}},
    {"ALTERT", {0x0D, P, 0, "l"}},      {"SUMANZBEATMUNGSTD", {0x0E, P, 0, "l"}},
    {"AUFNGEWICHT", {0x0F, P, 0, "l"}}, {"ICD", {0x19, P, 0, "s"}},
    {"OPS", {0x1A, P, 0, "s"}},
};
const int kFilterPutCount = static_cast<int>(sizeof kFilterPuts / sizeof kFilterPuts[0]);
} // namespace qs

} // namespace vorlan
