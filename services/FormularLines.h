#pragma once
// The form generator's lines to the server: its parts, data lines and field values under
// ^ZDR(%JOB,%FORM,QCC,...). Every value from a template or a data line goes through MQuote.

#include <string>

namespace vorlan::formular {

// The server's name of a section's data: "KF", "K", "FE", "F", "Z" for 0 to 4.
const char* SectionName(int section);

std::string SetPartLine(const std::string& baseName); // S QCC="..."
extern const char* const kResetPart;                  // S QCC=""
extern const char* const kNextPart;                   // the next part, written
extern const char* const kPartTemplate;               // the part's template name part
extern const char* const kPartName;                   // its output name
extern const char* const kPartDir;                    // its output folder
extern const char* const kExtraHeight;                // ^ZDR(%JOB,"SAVE","HEIGHT")
extern const char* const kHome;
extern const char* const kModule;
extern const char* const kLanguage;
extern const char* const kVersion;
extern const char* const kKillJob; // K ^ZDR(%JOB)
extern const char* const kResetLine;
extern const char* const kResetSub;

// S X=$O(...,"sec",X) W X
std::string NextLineLine(int section);
// S X=x: the walk goes on after that line.
std::string RestoreLineLine(const std::string& x);
// S Y=$O(...,"sec",X,"") W Y
std::string LineCodeLine(int section);
// W $G(...,"sec",x,y,"#100")
std::string PageValueLine(int section, const std::string& x, const std::string& y);
// W $D(...,"sec",x,y,token)
std::string TokenDefinedLine(int section, const std::string& x, const std::string& y,
                             const std::string& token);
// W $G(...,"sec",x,y,token)
std::string TokenValueLine(int section, const std::string& x, const std::string& y, const std::string& token);
// S %QCC=$O(...,token,%QCC) W %QCC
std::string TokenNextSubLine(int section, const std::string& x, const std::string& y,
                             const std::string& token);
// W $G(...,token,%QCC)
std::string TokenSubValueLine(int section, const std::string& x, const std::string& y,
                              const std::string& token);

} // namespace vorlan::formular
