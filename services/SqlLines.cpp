#include "services/SqlLines.h"
#include "common/MQuote.h"
#include "services/DataLines.h"
#include "services/HubLines.h"

namespace vorlan {

std::string SqlStatementLine(int i) {
    return "S ROW=0 W $G(^QTEMP(%JOB,\"%SQL\",\"SQL\"," + std::to_string(i) + "))";
}

bool IsSqlQuery(std::string_view statement) {
    return statement.substr(0, 6) == "SELECT";
}

std::string SqlResultKillLine() {
    return "K ^TEMPSQL(%JOB)";
}

std::string SqlNextRowLine() {
    return "S ROW=ROW+1,COLUMN=1";
}

std::vector<std::string> SqlValueLines(int i, std::string_view value) {
    std::string text(value);
    for (char& c : text)
        if (c == '"') c = '\xB4';
    return AppendingSetLines("^TEMPSQL(%JOB," + std::to_string(i) + ",ROW,COLUMN)", ValueParts(text),
                             ",COLUMN=COLUMN+1");
}

std::string SqlFinalLine(std::string_view error, std::string_view connect, std::string_view routine) {
    std::string line = "S %F=" + MQuote(error) + ",%ODBC=" + MQuote(connect);
    if (!routine.empty()) line += " " + DoLine(routine);
    return line + " W $G(%F) K %F";
}

std::string SqlFailureText(std::string_view statement) {
    return "Folgende Anweisung konnte nicht ausgeführt werden:\n\n" + std::string(statement);
}

} // namespace vorlan
