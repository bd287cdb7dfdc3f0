#pragma once
// What the doubles of Word and its viewer make of a document: its text (RTF read for its
// visible text, any other file as it stands), a small real PDF holding that text, a GDI print
// of it on the default printer, and a line telling what the printer and the fax software
// see at that moment.

#include <string>
#include <vector>

namespace docdouble {

// The visible lines of an RTF document (font, colour and style tables, pictures and other
// hidden destinations left out); a file that is no RTF gives its own lines.
std::vector<std::string> DocumentLines(const std::string& bytes);
// False when the file cannot be read.
bool ReadFile(const std::string& path, std::string& bytes);
// A PDF of the lines in Helvetica, WinAnsi-encoded (code page 1252), 50 lines a page.
std::string PdfOf(const std::vector<std::string>& lines);
// The lines as a print job named title on the current default printer; false (printer
// empty when there is no default) when the spooler refused it.
bool PrintLines(const std::string& title, const std::vector<std::string>& lines, std::string& printer);
std::string DefaultPrinter();
// "printer=NAME Rufnummer=NUMBER titles=TITLE:NUMBER|..." as the fax software would read it.
std::string PrintContext();
// One line appended to the program's log (its own path with ".log" for ".exe").
void LogLine(const std::string& line);
// "BackgroundPrint=REG_SZ:0", "=REG_DWORD:1" or "=absent", as Word's viewer reads it.
std::string BackgroundPrintSeen();

} // namespace docdouble
