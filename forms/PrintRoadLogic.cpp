#include "forms/PrintRoadLogic.h"

#include "app/ReplyFields.h"
#include "common/MQuote.h"
#include "forms/FormLogic.h"

namespace vorlan {

int DeviceCodeOf(std::string_view device) {
    if (device == "A") return kDeviceListPrinter;
    if (device == "EXCEL") return kDeviceExcel;
    if (!device.empty() && device[0] == 'W') return kDeviceFormPrinter;
    if (device == "D") return kDeviceTextFile;
    if (device == "0") return kDeviceListPrint;
    if (device == "3") return 1;
    return 0;
}

int ChooseDevice(const std::function<void(const std::string&)>& execute, const std::string& device,
                 const std::function<int(bool& landscape)>& printerSetUp) {
    execute(SetDeviceLine(device));
    int code = DeviceCodeOf(device);
    if (code == 0) {
        bool landscape = false;
        code = printerSetUp(landscape);
        if (code != kSetUpOk) return code;
        execute(PaperFormLine(landscape));
        code = kDevicePrinterSetUp;
    }
    if (device != "D") execute(line::kSetUpDevice);
    return code;
}

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

std::string SetDeviceLine(std::string_view device) {
    return "S %DEV=" + MQuote(device);
}

std::string PaperFormLine(bool landscape) {
    return landscape ? "S %PF=\"DINA4Q\"" : "S %PF=\"DINA4\"";
}

std::string FormPrintLine(std::string_view description) {
    // The init node is the description's; the print node is read under %DN, which a form
    // named apart from its description would miss, so both go by the description.
    std::string d = MQuote(description);
    return "S %RTN=$G(^QM(" + d + ",0,\"FDINIT\")) D:%RTN'=\"\" @%RTN S %RTN=$G(^QM(" + d +
           ",0,\"FDRUCK\")) W %RTN";
}

} // namespace vorlan
