#include "forms/DeviceLogic.h"

#include "app/ReplyFields.h"
#include "common/MQuote.h"

#include <algorithm>

namespace vorlan {

std::string DisplayLineLine(char line) {
    return "W $G(^QTEMP(%JOB,%DN,\"COMPORT\",\"DISPLAY\"," + MQuote(std::string(1, line)) + "))";
}

DisplayLine ReadDisplayLine(std::string_view answer) {
    DisplayLine d;
    d.text = PieceOf(answer, 1).substr(0, kDisplayFrameSize);
    d.port = PieceOf(answer, 2).substr(0, kDisplayFrameSize);
    return d;
}

std::array<char, kDisplayFrameSize> CustomerDisplayFrame(char line, std::string_view text) {
    return fw::TextPortFrame(std::string("\x1b"
                                         "F") +
                                 line,
                             text);
}

fw::PortFrame CashDrawerFrame(std::string_view text) {
    return fw::TextPortFrame("\x1b"
                             "F",
                             text);
}

NodeWalk WalkOf(std::string_view node) {
    std::string inner(node.substr(0, node.size() - 1)); // without its closing ")"
    return NodeWalk{"S %QCC=\"\"", "S %QCC=$O(" + inner + ",%QCC)) W %QCC", "W $G(" + inner + ",%QCC))"};
}

const NodeWalk kPrinterTextWalk = WalkOf("^QTEMP(%JOB,%DN,\"LPT1\")");
const NodeWalk kDisplayMessageWalk = WalkOf("^QTEMP(%JOB,\"COMPORT\",\"DISPLAY\",\"MSG\")");

bool AppendPrinterText(std::string& text, std::string_view value) {
    text.append(value.substr(0, kPrinterTextLimit - std::min(text.size(), kPrinterTextLimit)));
    return text.size() < kPrinterTextLimit;
}

} // namespace vorlan
