#include "services/TextExportLogic.h"

#include "services/PrintListLogic.h"

#include <cstring>

namespace vorlan {

std::string ExportFormLine(bool yes) {
    return yes ? "S %DFORM=1" : "S %DFORM=2";
}

std::string ExportFileName(std::string_view title) {
    std::string name(title);
    for (char& c : name)
        if (static_cast<unsigned char>(c) < 32 || std::strchr("<>:\"/\\|?*", c)) c = '_';
    return name;
}

ExportEnd ExportLines(const SilentExecute& execute, const std::function<bool(const std::string&)>& write) {
    int emptyRun = 0;
    for (int n = 1;; ++n) {
        std::optional<std::string> answer = execute(PrintOutputLine(n));
        if (!answer) return ExportEnd::ServerFailed;
        if (*answer == "\xA7") return ExportEnd::Done;
        if (!write(*answer + "\r\n")) return ExportEnd::WriteFailed;
        emptyRun = answer->empty() ? emptyRun + 1 : 0;
        if (emptyRun >= kListEmptyRunLimit) return ExportEnd::Unended;
    }
}

} // namespace vorlan
