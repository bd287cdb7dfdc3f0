// The small services of the workstation: a measuring device's answer on a serial port, a
// sound, and the pocket request.
#include "app/ProtocolLog.h"
#include "framework/App.h"
#include "framework/PortWriter.h"
#include "framework/Sound.h"
#include "resources/ServiceIds.h"
#include "services/HubLines.h"
#include "services/NodeServices.h"
#include "services/OutsideLines.h"
#include "services/RequestHub.h"
#include "services/RequestNodes.h"

#include <cstdio>
#include <string>
#include <vector>

namespace vorlan {

namespace {

// The device answers within this; a silent one ends the read.
constexpr unsigned kReadTotal = 3000, kReadInterval = 500;

std::string SystemText(DWORD error) {
    char text[512] = "";
    if (!::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                          sizeof text, nullptr))
        std::snprintf(text, sizeof text, "Fehler %lu", static_cast<unsigned long>(error));
    std::string s = text;
    while (!s.empty() && (s.back() == '\r' || s.back() == '\n' || s.back() == ' '))
        s.pop_back();
    return s;
}

// Reads the device's answer; false with the error when the port could not be opened, set
// or read.
bool ReadDevice(const DeviceRequest& request, std::string& bytes, DWORD& error) {
    if (!fw::IsComPortName(request.line.name)) {
        error = ERROR_INVALID_NAME;
        return false;
    }
    CPortWriter port;
    std::vector<char> buffer(kDeviceBuffer, '\0');
    size_t got = 0;
    DCB previous{};
    bool ok = port.Open(request.line.name.c_str()) && port.SetLine(request.line, &previous);
    if (ok)
        WriteProtocol("USYS10 - BaudRate %lu ByteSize %d Parity %d StopBits %d", kLogTiming,
                      static_cast<unsigned long>(previous.BaudRate), previous.ByteSize, previous.Parity,
                      previous.StopBits);
    ok = ok && port.SetReadTimeouts(kReadTotal, kReadInterval) &&
         port.Read(buffer.data(), DeviceReadLength(request.blocks), got);
    if (!ok) error = ::GetLastError();
    // The time-out ends a read without error; with nothing read the device did not answer.
    if (ok && got == 0 && DeviceReadLength(request.blocks) > 0) {
        ok = false;
        error = ERROR_TIMEOUT;
    }
    WriteProtocol("USYS10 - BytesRead - %d", kLogTiming, static_cast<int>(got));
    bytes.assign(buffer.data(), got);
    return ok;
}

} // namespace

void ServeDevice(CRequestHub& hub, const RequestNode& node) {
    TraceFunction("CChildDialog::USYS10");
    DeviceRequest request = ParseDeviceRequest(hub.Execute(NodeKeyValueLine(node.node, "PORT")));
    if (request.line.name.empty()) return;
    for (int i = 0; i < request.countdown; ++i) {
        fw::Wait(1000);
        if (CountdownBeeps(i, request.countdown)) fw::Beep(0);
    }
    std::string bytes;
    DWORD error = 0;
    bool read = ReadDevice(request, bytes, error);
    DeviceAnswer answer = SplitDeviceAnswer(bytes);
    WriteProtocol("USYS10 - szResponseA - %s", kLogTiming, answer.a.c_str());
    WriteProtocol("USYS10 - szResponseB - %s", kLogTiming, answer.b.c_str());
    hub.Execute(DeviceAnswerSet("A", answer.a));
    hub.Execute(DeviceAnswerSet("B", answer.b));
    fw::Beep(0);
    if (!read) {
        CString shown;
        shown.FormatId(IDS_DEVICE_FAILED, request.line.name, SystemText(error));
        AfxMessageBox(shown.c_str(), MB_OK | MB_ICONEXCLAMATION);
    }
}

void ServeSound(CRequestHub& hub, const RequestNode& node) {
    TraceFunction("CChildDialog::SOUND");
    std::string path = hub.Execute(NodeKeyValueLine(node.node, "PATH"));
    unsigned flags = SoundFlags(hub.Execute(NodeKeyValueLine(node.node, "PARA")));
    if (flags) fw::PlaySoundFile(path.c_str(), flags);
}

// The configured kind is read; nothing on the workstation depends on it.
void ServePocket(CRequestHub& hub, const RequestNode&) {
    TraceFunction("CChildDialog::PocketConnect");
    LeadingInteger(hub.Execute(kPocketRequestKindLine));
}

} // namespace vorlan
