#pragma once
// What the CUPS fixture's queue VORLAN-DRUCKER printed: its job file read back page by page
// through Ghostscript's text output.

#include <windows.h>

#include <string>
#include <vector>

namespace harness {

// The job file as Wine sees it (Z:\...), empty without the fixture.
std::string PrintFile();
// Empties the job file, so that only the next job is read.
void ClearPrintFile();
// Waits until a job has arrived whole and returns the text of each page; empty when none came.
std::vector<std::string> PrintedPages(DWORD timeoutMs);

} // namespace harness
