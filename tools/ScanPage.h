#pragma once
// What the record explorer does with each page a scanner transfers: the page becomes a
// 32-bit bitmap and a JPEG file, either under the next free page name of a folder, at the
// path the target window's text names (a picture field), or at the path the server assigns
// to the page's barcode.

#include <windows.h>

#include <string>

struct ScanPageTarget {
    // Receives the written path as its text; with windowTextPath its text is the path.
    HWND targetWindow = nullptr;
    bool windowTextPath = false;
    // Without windowTextPath: the folder the page goes into as "Bild 00n.jpg".
    std::string folder;
    // The barcode library reads the page's code and the server answers its path.
    bool barcode = false;
};

// Saves one page from a packed bitmap in global memory (the block is only read). Every
// failure is told the user through the application object. Returns the path written, or
// empty when no file was written.
std::string SaveScannedPage(HANDLE dib, const ScanPageTarget& target);
