#include "framework/PortName.h"

#include <cctype>

namespace fw {

namespace {

constexpr std::string_view kDevicePrefix = "\\\\.\\";

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
    return true;
}

// A decimal number from low to high; anything else is -1.
long NumberIn(std::string_view text, long low, long high) {
    if (text.empty() || text.size() > 9) return -1;
    long n = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return -1;
        n = n * 10 + (c - '0');
    }
    return n >= low && n <= high ? n : -1;
}

} // namespace

bool IsDevicePortName(std::string_view name) {
    if (name.substr(0, kDevicePrefix.size()) == kDevicePrefix) name.remove_prefix(kDevicePrefix.size());
    if (!StartsWithNoCase(name, "COM") && !StartsWithNoCase(name, "LPT")) return false;
    std::string_view digits = name.substr(3);
    if (digits.empty() || digits.size() > 3 || digits[0] == '0') return false;
    int n = 0;
    for (char c : digits) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
        n = n * 10 + (c - '0');
    }
    return n >= 1 && n <= 255;
}

bool IsComPortName(std::string_view name) {
    std::string_view bare = name.substr(0, kDevicePrefix.size()) == kDevicePrefix ? name.substr(kDevicePrefix.size()) : name;
    return IsDevicePortName(name) && StartsWithNoCase(bare, "COM");
}

std::string DevicePath(std::string_view name) {
    if (!IsDevicePortName(name)) return std::string();
    if (name.substr(0, kDevicePrefix.size()) == kDevicePrefix) return std::string(name);
    return std::string(kDevicePrefix) + std::string(name);
}

PortFrame BoundedPortFrame(std::string_view bytes) {
    PortFrame frame{};
    bytes.copy(frame.data(), frame.size());
    return frame;
}

PortFrame TextPortFrame(std::string_view head, std::string_view text) {
    std::string sequence(head);
    sequence.append(text.substr(0, kPortFrameSize)).append("\r");
    return BoundedPortFrame(sequence);
}

PortLine ParsePortRecord(std::string_view record, char delimiter) {
    std::string_view pieces[5];
    for (int i = 0; i < 5; ++i) {
        size_t end = record.find(delimiter);
        pieces[i] = record.substr(0, end);
        if (end == std::string_view::npos) break;
        record.remove_prefix(end + 1);
    }
    PortLine line;
    line.name = std::string(pieces[0]);
    line.baud = NumberIn(pieces[1], 1, 4000000);
    line.stopBits = static_cast<int>(NumberIn(pieces[2], 0, 2));
    line.byteSize = static_cast<int>(NumberIn(pieces[3], 4, 8));
    line.parity = static_cast<int>(NumberIn(pieces[4], 0, 4));
    return line;
}

} // namespace fw
