#include "app/AppLogic.h"

#include "common/MQuote.h"

namespace vorlan {

std::string VariableLine(std::string_view name) {
    return "W $G(" + std::string(name) + ")";
}

std::string DebuggerPlaceLine(std::string_view version) {
    if (version.find("CACHE") != std::string_view::npos || version.find("Cache") != std::string_view::npos)
        return "W $ZNSPACE_\" (\"_$ZV_\")\"";
    if (version.find("GT.M") != std::string_view::npos)
        return "W $ZPARSE($ZGBLDIR,\"NAME\")_\" (\"_$ZV_\")\"";
    return "W $ZU(0)_\" (\"_$ZV_\")\"";
}

std::string ServerErrorLine(std::string_view errorText) {
    return "W $$ERROR^QCC(" + MQuote(errorText) + ")";
}

std::string UnmountLine(std::string_view volume) {
    return "W $$UNMOUNT^%kvv(" + MQuote(volume) + ")";
}

std::string WaitingLine(std::string_view job) {
    return "W $$WAITING^QCC(" + MQuote(job) + ")";
}

} // namespace vorlan
