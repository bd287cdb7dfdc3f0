#pragma once
// The form printer: the server's print job merged from the form's RTF templates into
// documents, which are then opened, saved as PDF, printed or faxed as the device text says.

#include <windows.h>

#include <string>

class CWnd;
namespace fw {
class CShellProcess;
}

namespace vorlan {

// form: owner of the generator's progress and of the messages (may be null). The process of
// the last shell launch of viewing, opening, printing or faxing goes into launch, which is
// emptied first. 1 when the documents were written (with "?Z": when the templates were
// found), 0 on refusal or failure.
int PrintForm(CWnd* form, const std::string& command, fw::CShellProcess& launch);
// The form's print road, with the device saved or chosen. Nothing follows the launched
// programs.
void PrintFormOf(HWND form, const std::string& device);

} // namespace vorlan
