#pragma once
// The text export: the server's print output written into a text file that the user names.

#include <windows.h>

namespace vorlan {

// The export of the form's print routine; the owner is the form. 1 when the file was
// written whole, 0 otherwise.
int SendToFile(HWND form);

} // namespace vorlan
