// The splitting of what components and devices answer, on arbitrary bytes: symbol lines
// hold no CR and are never empty, the first Code attribute lies inside the answer, DRG list
// items are short and non-empty, and a device answer loses only its line ends.
#include "services/OutsideLines.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    for (const std::string& line : vorlan::SymbolLines(text))
        if (line.empty() || line.find('\r') != std::string::npos || line.size() > text.size()) std::abort();
    std::string code;
    if (vorlan::FindCode(text, code) && (code.find('"') != std::string::npos || code.size() > text.size()))
        std::abort();
    for (const std::string& item : vorlan::SplitDrgItems(text))
        if (item.empty() || item.size() > 255 || item.find(';') != std::string::npos) std::abort();
    vorlan::DeviceAnswer answer = vorlan::SplitDeviceAnswer(text);
    size_t kept = 0;
    for (char c : text)
        kept += c != '\r' && c != '\n';
    if (answer.a.size() + answer.b.size() != kept || answer.a.size() > vorlan::kDeviceSplit) std::abort();
    vorlan::XmlAttributeEscape(text);
    return 0;
}
