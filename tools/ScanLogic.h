#pragma once
// Scanned pages without Windows in them: page names, the free-name rule, the bounded paths
// and the server lines of the barcode assignment.

#include "tools/FolderPaths.h"

#include <functional>
#include <string>
#include <string_view>

namespace vorlan::scan {

// The highest page number tried in a folder.
constexpr int kMaxPageNumber = 65534;

// "Bild 001.jpg" for 1 to 9, "Bild 010.jpg" for 10 to 99, "Bild 100.jpg" and on from 100.
std::string PageName(int number);

// The first page of 1..kMaxPageNumber in the folder for which `taken` says no file of that
// name is there (a page that exists but cannot be opened is taken, never overwritten). A
// path of 260 characters or more is refused, never cut.
FreeName FreePagePath(std::string_view folder, const std::function<bool(const std::string&)>& taken,
                      std::string& path);

// The server's name for the barcode function.
std::string ScanFunctionLine();
// The function's answer for a barcode: "W $$<function>(<barcode quoted>)". Empty when the
// function is not a plain entry reference (label^routine, or ^routine).
std::string AssignLine(std::string_view function, std::string_view barcode);

} // namespace vorlan::scan
