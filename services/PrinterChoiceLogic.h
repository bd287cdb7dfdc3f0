#pragma once
// The printer choice without windows: the server's device chain, the device kinds a chosen
// code gives and the lines that tell the server the choice.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorlan {

// The device kinds of a choice; every kind not named here asks for the screen's print routine.
enum DeviceCode : int {
    kDeviceCancel = 2,
    kDeviceListPrint = 3, // the screen's own list print
    kDeviceTextFile = 4,
    kDevicePrinterSetUp = 116,
    kDeviceListPrinter = 117,
    kDeviceFormPrinter = 118,
    kDeviceExcel = 119,
};
// The printer set-up dialog's OK, and the kind a confirmed printer gives.
constexpr int kSetUpOk = 1;
// The kind of a device code, or 0 when the code names a printer that the set-up dialog sets up.
int DeviceCodeOf(std::string_view device);
// The choice of a device code: the server is told the device (%DEV), a code that names no
// device of its own goes through the printer set-up dialog (its result, landscape or not),
// and the server sets up the chosen device, except a text file and a set-up left without OK.
// Returns the device kind.
int ChooseDevice(const std::function<void(const std::string&)>& execute, const std::string& device,
                 const std::function<int(bool& landscape)>& printerSetUp);

// One row of the device list.
struct DeviceRow {
    std::string port, printer, location, paper;
};
DeviceRow ParseDeviceRow(std::string_view answer);

// A silent server call: no value when the call failed.
using SilentExecute = std::function<std::optional<std::string>(const std::string& line)>;
// The chain stops after this many rows, whatever the server answers.
inline constexpr int kDeviceChainLimit = 1000;
// The device rows, asked one after the other from the last row's port. The chain ends on an
// empty answer, a failed call, an empty port or a port already listed.
std::vector<DeviceRow> ReadDeviceChain(const SilentExecute& execute);
// The row to preselect: the one whose port is the user's current device, else the first
// (-1 without rows).
int PreselectedRow(const std::vector<DeviceRow>& rows, std::string_view current);

std::string SetDeviceLine(std::string_view device);
std::string PaperFormLine(bool landscape);
std::string NextDeviceLine(std::string_view port);
// The tray of a printer, from 1.
std::string TrayLine(int tray);

namespace line {
constexpr const char* kSetUpDevice = "D SET^WQDA";
constexpr const char* kCurrentDevice = "W $$GETDEV^QCC()";
// Nothing to subscript without a device: no trays.
constexpr const char* kTrayCount = "W $S($G(%DEV)=\"\":0,1:$G(^Z(\"DR\",%DEV,6)))";
} // namespace line

} // namespace vorlan
