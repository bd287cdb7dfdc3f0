#include "framework/Modal.h"
#include "framework/App.h"
#include "framework/TestMode.h"

int CModal::DoModal() {
    if (CWinApp* app = AfxGetApp()) return app->DoModalDialog(*this);
    return Run();
}

int CModal::Run() {
    return fw::TestMode::IsOn() ? RunScripted() : RunModal();
}
