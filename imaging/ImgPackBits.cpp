#include "imaging/ImgPackBits.h"

#include <algorithm>
#include <cstring>

namespace img {

size_t UnpackBits(const uint8_t* packed, size_t packedLength, uint8_t* out, size_t outLength,
                  size_t unitBytes) {
    size_t in = 0, written = 0;
    auto put = [&](const uint8_t* bytes, size_t count) {
        size_t room = outLength - written;
        count = std::min(count, room);
        std::memcpy(out + written, bytes, count);
        written += count;
    };
    while (in < packedLength && written < outLength) {
        uint8_t header = packed[in++];
        if (header < 128) {
            size_t want = (size_t(header) + 1) * unitBytes;
            size_t have = std::min(want, packedLength - in);
            put(packed + in, have);
            in += have;
        } else if (header > 128) {
            if (packedLength - in < unitBytes) break;
            const uint8_t* unit = packed + in;
            in += unitBytes;
            for (int i = 0; i < 257 - header && written < outLength; ++i)
                put(unit, unitBytes);
        }
        // 128 is a no-op by the format's rule.
    }
    return written;
}

} // namespace img
