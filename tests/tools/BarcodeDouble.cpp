// The barcode library "QSBarDll_H" for the tests: it finds the code the scanner test source
// wrote into the top rows of the page, so the text comes out of the pixels it is handed.
#include "tests/tools/ScanPattern.h"
#include "tools/BarcodeLibrary.h"
#include "tools/DIB.h"

#include <cstring>
#include <string>

extern "C" __declspec(dllexport) int32_t QSBAR_CALL
    QSBarReadDIB(const void* packedDib, uint32_t size, char* text, int32_t capacity) {
    CDIB page, page32;
    if (!text || capacity <= 0 || !page.CreateFromPacked(packedDib, size) || !page.ConvertTo32(page32))
        return -1;
    std::string code = scanpattern::ReadMarker(page32.GetWidth(), page32.GetHeight(), [&](int x, int y) {
        return page32.GetRow(y)[4 * x + 1] >= 128;
    });
    if (static_cast<int32_t>(code.size()) >= capacity) return -1;
    std::memcpy(text, code.c_str(), code.size() + 1);
    return static_cast<int32_t>(code.size());
}
