#pragma once
// PackBits, the run-length packing of Photoshop and Macintosh pictures.

#include <cstddef>
#include <cstdint>

namespace img {

// No packed byte unpacks to more: a run of 128 units of up to 2 bytes costs 2 or 3 bytes.
constexpr int64_t kPackBitsLargestExpansion = 128;

// Unpacks `packed` (exactly packedLength bytes) into `out` (outLength bytes). Runs and literals
// count in units of unitBytes (1, or 2 for 16-bit PICT pixels). Nothing is read past the packed
// data and nothing written past the row: what would overflow it is dropped. Returns the bytes
// written; the rest of the row is left as it was.
size_t UnpackBits(const uint8_t* packed, size_t packedLength, uint8_t* out, size_t outLength,
                  size_t unitBytes = 1);

} // namespace img
