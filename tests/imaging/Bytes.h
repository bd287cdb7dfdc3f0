#pragma once
// Hand-built files for the decoders: the bytes written one field after the other.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace imgtest {

// Little-endian unless said otherwise.
struct Bytes {
    std::vector<uint8_t> b;
    Bytes& u8(std::initializer_list<int> values) {
        for (int v : values)
            b.push_back(static_cast<uint8_t>(v));
        return *this;
    }
    Bytes& u16(uint32_t v) { return u8({int(v & 0xFF), int(v >> 8 & 0xFF)}); }
    Bytes& u32(uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
    Bytes& be16(uint32_t v) { return u8({int(v >> 8 & 0xFF), int(v & 0xFF)}); }
    Bytes& be32(uint32_t v) { return be16(v >> 16).be16(v & 0xFFFF); }
    Bytes& text(const std::string& s) {
        b.insert(b.end(), s.begin(), s.end());
        return *this;
    }
    Bytes& zeros(size_t n) {
        b.insert(b.end(), n, 0);
        return *this;
    }
};

} // namespace imgtest
