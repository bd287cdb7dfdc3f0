#pragma once
// The barcode library "QSBarDll_H" as the scanner uses it. The program loads it by name and
// takes one entry by name; the test library shares this header.

#include <cstdint>

#ifdef _WIN32
#define QSBAR_CALL __stdcall
#else
#define QSBAR_CALL
#endif

// The library's file name (without extension, found on the program's search path).
constexpr const char* kBarcodeLibraryName = "QSBarDll_H";
// The entry's exported name.
constexpr const char* kBarcodeReadEntry = "QSBarReadDIB";

// Reads the first barcode in a packed device-independent bitmap (header, palette, pixels) of
// `size` bytes. Writes it NUL-terminated into `text` of `capacity` bytes and returns its
// length; 0 when the page holds none; -1 for a bitmap it cannot read or a text that does
// not fit.
using QSBarReadDIBProc = int32_t(QSBAR_CALL*)(const void* packedDib, uint32_t size, char* text,
                                              int32_t capacity);
