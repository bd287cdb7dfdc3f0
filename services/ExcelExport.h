#pragma once
// Server data into Excel through its automation interface: workbook templates whose marker
// cells are filled with server values (the form's print road), a new workbook from the
// server's cell list (the request hub and the Excel device), or a workbook the user opens.

#include <windows.h>

#include <functional>
#include <string>

namespace vorlan {

struct ExcelRequest {
    // Runs a line of M code on the server and gives what it writes.
    std::function<std::string(const std::string&)> execute;
    // Owner of the status dialog, the file dialog and the boxes; may be null.
    HWND owner = nullptr;
};

// openOnly: the user picks a workbook and Excel shows it. prepared: the cell list. Neither:
// the template fill. 1 when the run went to its end; 0 when Excel could not be started, a
// file dialog was cancelled or (template fill) there was nothing to do.
int SendToExcel(const ExcelRequest& request, bool openOnly, bool prepared);

} // namespace vorlan
