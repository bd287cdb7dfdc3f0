// The memory card's record walk on arbitrary READ BINARY answers: it reads nothing beyond the
// answer's data, every field it finds is a known one, and every field line the server gets
// is one whole line that assigns exactly the field's text.
#include "cards/CardLines.h"
#include "cards/KvkRecords.h"
#include "tests/common/MLiteral.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    size_t total = 0;
    for (const vorlan::KvkField& field : vorlan::WalkKvk(data, size)) {
        if (field.number < 1 || field.number > 18) std::abort();
        total += field.text.size() + 2;
        std::string line = vorlan::KvkFieldLine(field.number, field.text);
        if (line.find_first_of(std::string("\r\n\0", 3)) != std::string::npos) std::abort();
        auto value = vorlan::test::EvalMLiteral(line.substr(line.find(")=") + 2));
        if (!value || *value != field.text) std::abort();
    }
    if (size < 2 ? total != 0 : total > size - 2) std::abort();
    return 0;
}
