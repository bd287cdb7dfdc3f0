#pragma once
// Word forms: an RTF form from the user's Word forms folder (the server's, else the
// workstation's), opened with the program the shell associates with it.

namespace vorlan {

// The file dialog and the shell launch are owned by the main window, which is minimised once
// a form was opened. 1 when the user chose a form, 0 on Cancel.
int OpenWordForm();

} // namespace vorlan
