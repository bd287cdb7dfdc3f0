// The card server library's replies on arbitrary bytes, as the library would leave them in a
// field buffer of 256 bytes with any claimed length: the text stays inside the buffer and ends
// before its last byte, and the status, "init" and application tests take any of them.
#include "cards/CardServerLogic.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    if (size < 2) return 0;
    size_t claimed = static_cast<size_t>(data[0]) << 8 | data[1];
    char buffer[vorlan::kCardFieldSize];
    size_t n = std::min(size - 2, sizeof buffer);
    std::memcpy(buffer, data + 2, n);
    std::memset(buffer + n, 0xAA, sizeof buffer - n); // no end where the library wrote none
    std::string reply = vorlan::CardServerReply(buffer, sizeof buffer, claimed);
    if (reply.size() >= sizeof buffer || reply.size() > claimed) std::abort();
    if (reply.find('\0') != std::string::npos) std::abort();
    int status = vorlan::CardStatusNumber(reply);
    if (status < 100 || status > 160 || status % 10 != 0) std::abort();
    if (vorlan::IsInitReply(reply) && status != vorlan::kCardStatusSearching) std::abort();
    if (vorlan::IsKvkApplication(reply) && reply != "KVK") std::abort();
    vorlan::KeyboardFields fields(data[0]);
    for (size_t i = 2; i < size; ++i)
        fields.Take(static_cast<char>(data[i]));
    for (int i = 1; i <= fields.Count(); ++i)
        if (fields.Field(i).size() >= vorlan::kCardFieldSize) std::abort();
    return 0;
}
