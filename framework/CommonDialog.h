#pragma once
// The system's own dialogs (file, folder), which test mode scripts by name.

#include "framework/Modal.h"

#include <string>

class CCommonDialog : public CModal {
  protected:
    // Test mode's answer for a dialog that chooses a path: the last "path:" step of the
    // script for name is chosen (IDOK); without one path stays as it is (IDCANCEL). Either
    // way the dialog is recorded with its title and path.
    static int ChooseScriptedPath(const char* name, const std::string& title, std::string& path);
};
