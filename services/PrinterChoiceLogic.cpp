#include "services/PrinterChoiceLogic.h"

#include "app/ReplyFields.h"
#include "common/MQuote.h"

#include <set>

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
        // A confirmed printer runs the print routine, as every kind not named does.
        code = kSetUpOk;
    }
    if (device != "D") execute(line::kSetUpDevice);
    return code;
}

DeviceRow ParseDeviceRow(std::string_view answer) {
    return DeviceRow{PieceOf(answer, 1), PieceOf(answer, 2), PieceOf(answer, 3), PieceOf(answer, 4)};
}

std::vector<DeviceRow> ReadDeviceChain(const SilentExecute& execute) {
    std::vector<DeviceRow> rows;
    std::set<std::string> ports;
    std::string port;
    while (static_cast<int>(rows.size()) < kDeviceChainLimit) {
        std::optional<std::string> answer = execute(NextDeviceLine(port));
        if (!answer || answer->empty()) break;
        DeviceRow row = ParseDeviceRow(*answer);
        // A server that answers the same port again would keep the list growing for ever.
        if (row.port.empty() || !ports.insert(row.port).second) break;
        port = row.port;
        rows.push_back(std::move(row));
    }
    return rows;
}

int PreselectedRow(const std::vector<DeviceRow>& rows, std::string_view current) {
    for (size_t i = 0; i < rows.size(); ++i)
        if (rows[i].port == current) return static_cast<int>(i);
    return rows.empty() ? -1 : 0;
}

std::string SetDeviceLine(std::string_view device) {
    return "S %DEV=" + MQuote(device);
}

std::string PaperFormLine(bool landscape) {
    return landscape ? "S %PF=\"DINA4Q\"" : "S %PF=\"DINA4\"";
}

std::string NextDeviceLine(std::string_view port) {
    return "W $$PRINTER^QCC(" + MQuote(port) + ")";
}

std::string TrayLine(int tray) {
    return "S %ST=" + std::to_string(tray);
}

} // namespace vorlan
