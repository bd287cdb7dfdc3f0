// Whatever a BMP file says, the layout handed to GDI lies inside the file.
#include "imaging/ImgDib.h"
#include "imaging/ImgObject.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    try {
        img::BmpLayout l = img::ReadBmpLayout(data, size);
        if (l.infoOffset + l.infoSize > size || l.bitsOffset + l.bitsSize > size || l.width <= 0 ||
            l.height == 0)
            std::abort();
    } catch (const ImgTextException&) {
    }
    return 0;
}
