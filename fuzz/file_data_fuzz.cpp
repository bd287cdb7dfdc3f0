// The local file service on arbitrary bytes: decoded nodes never grow, import lines never
// hold a line end, and every value sent to the server comes back exactly from its lines.
#include "services/DataLines.h"
#include "services/LocalFileLines.h"
#include "tests/common/MLiteral.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    vorlan::DataNodeDecoder decoder;
    size_t half = size / 2;
    std::string decoded = decoder.Decode(text.substr(0, half));
    decoded += decoder.Decode(text.substr(half));
    if (decoded.size() > size) std::abort();
    size_t total = 0;
    for (const std::string& line : vorlan::SplitLines(text, 1023)) {
        total += line.size();
        if (line.size() > 1024) std::abort();
        for (bool wide : {false, true}) {
            std::string mapped = vorlan::MapImportLine(line, wide);
            if (mapped.find_first_of("\r\n") != std::string::npos) std::abort();
            if (!wide && mapped.find('"') != std::string::npos) std::abort();
            std::string imported = vorlan::ImportLine("", "N", mapped);
            if (imported.find_first_of("\r\n") != std::string::npos) std::abort();
        }
    }
    if (total != size) std::abort();
    for (bool codes : {false, true}) {
        std::string back;
        for (const std::string& part : vorlan::ValueParts(text, codes)) {
            auto value = vorlan::test::EvalMLiteral(part);
            if (!value) std::abort();
            back += *value;
        }
        if (back != text) std::abort();
    }
    return 0;
}
