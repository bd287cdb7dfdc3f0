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

std::string DevicePath(std::string_view name) {
    if (!IsDevicePortName(name)) return std::string();
    if (name.substr(0, kDevicePrefix.size()) == kDevicePrefix) return std::string(name);
    return std::string(kDevicePrefix) + std::string(name);
}

} // namespace fw
