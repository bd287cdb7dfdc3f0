// Packed bitmaps as a scanner driver might hand them over: a block the check accepts is
// read within its size, and its 32-bit copy has the picture's size and a fourth byte of 0.
#include "tools/DIB.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    // The block gets its own allocation, so that a read beyond it is seen.
    unsigned char* block = static_cast<unsigned char*>(std::malloc(size ? size : 1));
    if (size) std::memcpy(block, data, size);
    DibLayout layout;
    bool ok = CheckPackedDib(block, size, layout);
    CDIB dib, out;
    if (dib.CreateFromPacked(block, size) != ok) std::abort();
    if (ok && dib.ConvertTo32(out)) {
        if (out.GetWidth() != layout.width || out.GetHeight() != layout.height) std::abort();
        for (int32_t y = 0; y < out.GetHeight(); ++y)
            for (int32_t x = 0; x < out.GetWidth(); ++x)
                if (out.GetRow(y)[4 * x + 3] != 0) std::abort();
    }
    std::free(block);
    return 0;
}
