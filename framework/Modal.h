#pragma once
// Whatever runs modally, a dialog from a template or one of the system's own: it goes
// through the application object, which in test mode runs it from the script instead of
// waiting for a person.

class CModal {
  public:
    virtual ~CModal() = default;
    CModal(const CModal&) = delete;
    CModal& operator=(const CModal&) = delete;

    // IDOK, IDCANCEL or the dialog's own result.
    int DoModal();
    // The real dialog, or in test mode the script's run of it: what the application object
    // does with it.
    int Run();
    virtual int RunModal() = 0;
    virtual int RunScripted() = 0;

  protected:
    CModal() = default;
};
