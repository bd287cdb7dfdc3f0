#include "forms/PrintRoadLogic.h"

#include "app/ReplyFields.h"
#include "common/MQuote.h"
#include "forms/FormLogic.h"

namespace vorlan {

PrintStep PrintStepOf(int code) {
    switch (code) {
    case kDeviceCancel: return PrintStep::None;
    case kDeviceListPrint: return PrintStep::ListPrint;
    case kDeviceTextFile: return PrintStep::TextFile;
    case kDeviceListPrinter: return PrintStep::ListPrinter;
    case kDeviceFormPrinter: return PrintStep::FormPrinter;
    case kDeviceExcel: return PrintStep::Excel;
    default: return PrintStep::Routine;
    }
}

CardIndexEnd ParseCardIndexEnd(std::string_view node) {
    CardIndexEnd end;
    end.repeatFirst = PieceOf(node, 2) == "J";
    end.routine = PieceOf(node, 3);
    return end;
}

std::string FormPrintLine(std::string_view description) {
    // The init node is the description's; the print node is read under %DN, which a form
    // named apart from its description would miss, so both go by the description.
    std::string d = MQuote(description);
    return "S %RTN=$G(^QM(" + d + ",0,\"FDINIT\")) D:%RTN'=\"\" @%RTN S %RTN=$G(^QM(" + d +
           ",0,\"FDRUCK\")) W %RTN";
}

} // namespace vorlan
