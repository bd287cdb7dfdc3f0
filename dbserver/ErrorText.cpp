#include "dbserver/ErrorText.h"

#include <algorithm>
#include <vector>

namespace vorlan::dbserver {

namespace {

struct Mapping {
    const char* mnemonic;
    const char* code;
};

const Mapping kMappings[] = {
    {"LVUNDEF", "UNDEF"},     {"GVUNDEF", "UNDEF"},    {"UNDEF", "UNDEF"},
    {"GVNAKED", "NAKED"},     {"DIVZERO", "DIVER"},    {"MAXSTRLEN", "MXSTR"},
    {"NUMOFLOW", "MXNUM"},    {"NULSUBSC", "SBSCR"},   {"LVNULLSUBS", "SBSCR"},
    {"KEY2BIG", "SBSCR"},     {"GVSUBOFLOW", "SBSCR"}, {"MAXNRSUBSCRIPTS", "SBSCR"},
    {"ZLINKFILE", "NOPGM"},   {"FILENOTFND", "NOPGM"}, {"LABELMISSING", "LINER"},
    {"INVCMD", "CMMND"},      {"INVFCN", "FUNCT"},     {"STACKCRIT", "STKOV"},
    {"STACKOFLOW", "STKOV"},  {"ZGBLDIRACC", "NOUCI"}, {"GBLOFLOW", "DKFUL"},
    {"TOTALBLKMAX", "DKFUL"}, {"DBPRIVERR", "PROT "},
};

// Errors of GT.M's compiler: the line itself is malformed.
const char* const kSyntaxErrors[] = {
    "ALIASEXPECTED", "CMD",           "COMMA",         "COMMAORRPAREXP", "CTLMNEXPECTED",
    "DEVPARUNK",     "DLRCILLEGAL",   "DLRCTOOBIG",    "DLRCUNXEOR",     "EQUAL",
    "EXPR",          "EXTGBLDEL",     "FCHARMAXARGS",  "FCNSVNEXPECTED", "FMLLSTMISSING",
    "FNARGINC",      "GBLEXPECTED",   "GVNAKEDEXTNM",  "INDEXTRACHARS",  "INDRMAXLEN",
    "INVSVN",        "JOBACTREF",     "KEYWRDBAD",     "LABELEXPECTED",  "LABELONLY",
    "LKNAMEXPECTED", "LPARENMISSING", "LSEXPECTED",    "MAXARGCNT",      "NAMEEXPECTED",
    "NOPLACE",       "NUMERR",        "PATCLASS",      "PATCODE",        "PATLIT",
    "PATMAXLEN",     "PATUPPERLIM",   "PCONDEXPECTED", "QUITARGLST",     "RHMISSING",
    "RPARENMISSING", "RPARENREQD",    "RTNNAME",       "SELECTSYNTAX",   "SPOREOL",
    "STRUNXEOR",     "SVNEXPECTED",   "SVNONEW",       "SVNOSET",        "TEXTARG",
    "VAREXPECTED",   "ZSTEPARG",
};

std::string CodeOf(std::string_view mnemonic) {
    for (const auto& m : kMappings)
        if (mnemonic == m.mnemonic) return m.code;
    for (const char* s : kSyntaxErrors)
        if (mnemonic == s) return "SYNTX";
    return std::string(mnemonic);
}

// "%GTM-E-NAME, text" -> NAME and text.
bool SplitMessage(std::string_view msg, std::string_view& mnemonic, std::string_view& text) {
    if (msg.size() < 8 || msg[0] != '%') return false;
    size_t dash = msg.find('-', msg.find('-') + 1);
    size_t comma = msg.find(',');
    if (dash == std::string_view::npos || comma == std::string_view::npos || comma < dash) return false;
    mnemonic = msg.substr(dash + 1, comma - dash - 1);
    text = msg.substr(comma + 1);
    while (!text.empty() && (text[0] == ' ' || text[0] == '\t'))
        text.remove_prefix(1);
    return true;
}

} // namespace

std::string ErrorText(std::string_view code, std::string_view detail) {
    std::string text = "<" + std::string(code) + ">" + std::string(detail);
    if (text.size() > kMaxErrorText) text.resize(kMaxErrorText);
    return text;
}

std::string TranslateZStatus(std::string_view zstatus) {
    // number,place,%GTM-E-MNEMONIC, text[,%GTM-I-MORE, more text]...; an error outside M code
    // (a call-in's argument) has no place.
    size_t first = zstatus.find(',');
    if (first == std::string_view::npos) return ErrorText("SYSTM", zstatus);
    std::string_view place, rest = zstatus.substr(first + 1);
    if (rest.substr(0, 1) != "%") {
        size_t second = rest.find(',');
        if (second == std::string_view::npos) return ErrorText("SYSTM", zstatus);
        place = rest.substr(0, second);
        rest.remove_prefix(second + 1);
    }

    // Split the messages at ",%" so that commas inside a message stay.
    std::vector<std::string_view> messages;
    size_t start = 0;
    for (size_t at; (at = rest.find(",%", start)) != std::string_view::npos; start = at + 1)
        messages.push_back(rest.substr(start, at - start));
    messages.push_back(rest.substr(start));

    std::string_view mnemonic, text;
    if (!SplitMessage(messages[0], mnemonic, text)) return ErrorText("SYSTM", zstatus);
    std::string code = CodeOf(mnemonic);
    std::string detail(place);
    if (!place.empty()) detail += ' ';
    detail += text;
    for (size_t i = 1; i < messages.size(); ++i) {
        std::string_view m, t;
        if (!SplitMessage(messages[i], m, t)) continue;
        detail += "; ";
        detail += t;
    }
    std::replace(detail.begin(), detail.end(), '\t', ' ');
    return ErrorText(code, detail);
}

} // namespace vorlan::dbserver
