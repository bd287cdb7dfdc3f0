#pragma once
// The log-in challenge: the client sends a nonce, the server proves it knows the keys by
// answering (nonce * K1 + K2) mod K3. Both sides include this file so they cannot drift.

#include <cstdint>

namespace vorlan::nonce {

constexpr uint32_t K1 = 40503;
constexpr uint32_t K2 = 2531;
constexpr uint32_t K3 = 65521;

// The nonce the client draws lies in 10..16383.
constexpr int32_t kMin = 10;
constexpr int32_t kMax = 16383;

// Unsigned 32-bit arithmetic, so the product may wrap for large inputs exactly as it does on
// the other side.
constexpr uint32_t Answer(uint32_t nonce) {
    return (nonce * K1 + K2) % K3;
}

// The client compares only the low 16 bits of the expected value and the answer.
constexpr bool AnswerMatches(uint32_t nonce, uint32_t answer) {
    return (Answer(nonce) & 0xFFFFu) == (answer & 0xFFFFu);
}

} // namespace vorlan::nonce
