#pragma once
// The system's own dialogs (file, folder): run modally through the application object, which
// in test mode runs them from the script instead of waiting for a person.

class CCommonDialog {
  public:
    CCommonDialog() = default;
    virtual ~CCommonDialog() = default;
    CCommonDialog(const CCommonDialog&) = delete;
    CCommonDialog& operator=(const CCommonDialog&) = delete;

    // IDOK or IDCANCEL.
    virtual int DoModal();
    // Called by the application object: the real dialog, or test mode's script.
    virtual int RunModal() = 0;
    virtual int RunScripted() = 0;
};
