#include "frame/FormFrameLogic.h"

#include "app/ReplyFields.h"
#include "common/MQuote.h"
#include "forms/FormLogic.h"

#include <cstdlib>

namespace vorlan {

std::string TabHiddenLine(std::string_view screen, std::string_view tab) {
    return "W $D(^ZM(" + MQuote(screen) + ",0,\"KARTEI\"," + MQuote(tab) + "))";
}

std::string TabHiddenByJobLine(std::string_view screen, std::string_view tab) {
    return "W $D(%WIN(\"KARTEI\"," + MQuote(screen) + "," + MQuote(tab) + "))";
}

std::string TabButtonsLine(std::string_view screen) {
    return "W $P($G(^QM(" + MQuote(screen) + ",0,\"KARTEI\")),%DL,5)";
}

std::string PrgInitLine(std::string_view initCode) {
    return "K %F,%INF D PRGINIT^QCC(" + MQuote(initCode) + ") W:$D(%F)&$D(%INF) \"!\" W $G(%F,\"!\")";
}

InitAnswer ReadInitAnswer(std::string_view answer) {
    InitAnswer a;
    a.accepted = !answer.empty() && answer[0] == '!';
    a.text = std::string(a.accepted ? answer.substr(1) : answer);
    return a;
}

} // namespace vorlan
