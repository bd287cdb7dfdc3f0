#include "framework/CommonDialog.h"
#include "framework/App.h"
#include "framework/TestMode.h"

int CCommonDialog::DoModal() {
    if (CWinApp* app = AfxGetApp()) return app->DoModalCommonDialog(*this);
    return fw::TestMode::IsOn() ? RunScripted() : RunModal();
}
