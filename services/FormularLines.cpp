#include "services/FormularLines.h"

#include "common/MQuote.h"

namespace vorlan::formular {

namespace {

const char* const kSectionNames[] = {"KF", "K", "FE", "F", "Z"};

std::string Section(int section) {
    return std::string("^ZDR(%JOB,%FORM,QCC,\"") + SectionName(section) + "\"";
}

std::string Field(int section, const std::string& x, const std::string& y, const std::string& token) {
    return Section(section) + "," + MQuote(x) + "," + MQuote(y) + "," + MQuote(token);
}

} // namespace

const char* SectionName(int section) {
    return section >= 0 && section < 5 ? kSectionNames[section] : "Z";
}

std::string SetPartLine(const std::string& baseName) {
    return "S QCC=" + MQuote(baseName);
}

const char* const kResetPart = "S QCC=\"\"";
const char* const kNextPart = "S QCC=$O(^ZDR(%JOB,%FORM,QCC)) W QCC";
const char* const kPartTemplate = "W $G(^ZDR(%JOB,%FORM,QCC))";
const char* const kPartName = "W $G(^ZDR(%JOB,%FORM,QCC,\"NAME\"))";
const char* const kPartDir = "W $G(^ZDR(%JOB,%FORM,QCC,\"DIR\"))";
const char* const kExtraHeight = "W $G(^ZDR(%JOB,\"SAVE\",\"HEIGHT\"))";
const char* const kHome = "W $G(%HOME)";
const char* const kModule = "W $G(%MI)";
const char* const kLanguage = "W $G(%LAN)";
const char* const kVersion = "W $G(%VER)";
const char* const kKillJob = "K ^ZDR(%JOB)";
const char* const kResetLine = "S X=\"\"";
const char* const kResetSub = "S %QCC=\"\"";

std::string NextLineLine(int section) {
    return "S X=$O(" + Section(section) + ",X)) W X";
}

std::string RestoreLineLine(const std::string& x) {
    return "S X=" + MQuote(x);
}

std::string LineCodeLine(int section) {
    return "S Y=$O(" + Section(section) + ",X,\"\")) W Y";
}

std::string PageValueLine(int section, const std::string& x, const std::string& y) {
    return "W $G(" + Field(section, x, y, "#100") + "))";
}

std::string TokenDefinedLine(int section, const std::string& x, const std::string& y,
                             const std::string& token) {
    return "W $D(" + Field(section, x, y, token) + "))";
}

std::string TokenValueLine(int section, const std::string& x, const std::string& y,
                           const std::string& token) {
    return "W $G(" + Field(section, x, y, token) + "))";
}

std::string TokenNextSubLine(int section, const std::string& x, const std::string& y,
                             const std::string& token) {
    return "S %QCC=$O(" + Field(section, x, y, token) + ",%QCC)) W %QCC";
}

std::string TokenSubValueLine(int section, const std::string& x, const std::string& y,
                              const std::string& token) {
    return "W $G(" + Field(section, x, y, token) + ",%QCC))";
}

} // namespace vorlan::formular
