#include "tools/IconListLogic.h"

#include "common/MQuote.h"

namespace vorlan {

namespace {

std::string SizeLine(std::string_view node, int width, int height) {
    return "S %WIN(" + MQuote(node) + ")=" + std::to_string(width) + "_\",\"_" + std::to_string(height);
}

} // namespace

std::string ClientSizeLine(int width, int height) {
    return SizeLine("CLIENTSIZE", width, height);
}

std::string ScreenSizeLine(int width, int height) {
    return SizeLine("SCREENSIZE", width, height);
}

} // namespace vorlan
