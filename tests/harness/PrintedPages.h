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
// A Windows path on C: or Z: as the Unix side sees it.
std::string UnixPath(const std::string& windows);
// What pdftotext reads in the PDF, in code page 1252; empty when it reads nothing.
std::string PdfText(const std::string& pdf);

} // namespace harness
