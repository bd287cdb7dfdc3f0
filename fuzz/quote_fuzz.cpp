// Every byte string quoted for M must evaluate back to itself.
#include "common/MQuote.h"
#include "tests/common/MLiteral.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    std::string_view in(reinterpret_cast<const char*>(data), size);
    auto back = vorlan::test::EvalMLiteral(vorlan::MQuote(in));
    if (!back || *back != in) std::abort();
    return 0;
}
