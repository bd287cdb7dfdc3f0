// The form generator's value writer on arbitrary bytes: a plain value can neither open nor
// close a group of the document, and a value is never cut.
#include "services/FormularReader.h"
#include "services/FormularWriter.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    using namespace vorlan::formular;
    std::string value(reinterpret_cast<const char*>(data), size);
    std::string rtf = ValueRtf(value);
    if (value.find("rtf:{\\") == std::string::npos) {
        // Every brace escaped: the document's groups stay as they were.
        std::string wrapped = "{" + rtf + "}";
        if (Balanced(wrapped) != wrapped) std::abort();
        if (rtf.size() < value.size()) std::abort();
    }
    return 0;
}
