#include "forms/FormOutput.h"

#include "app/Session.h"
#include "forms/PrintForm.h"
#include "forms/PrintRoadLogic.h"
#include "framework/App.h"
#include "framework/LentWnd.h"
#include "framework/ShellFiles.h"
#include "framework/TestMode.h"
#include "framework/Wnd.h"
#include "resources/FormIds.h"
#include "services/ExcelExport.h"
#include "services/PrintList.h"
#include "services/SelectPrinter.h"
#include "services/TextExport.h"

namespace vorlan {

namespace {

std::function<void()>& ListWindowOpener() {
    static std::function<void()> open;
    return open;
}

// The printer choice, the list printer, the form printer and the text file are the services'
// own.
class CBuiltInOutput : public IFormOutput {
  public:
    int ChoosePrinter(HWND form, std::string& device) override {
        CLentWnd parent(form);
        CSelectPrinter dialog(parent.Get());
        int code = dialog.DoModal();
        device = dialog.Device();
        return code;
    }
    int SetDevice(HWND form, const std::string& device) override {
        CLentWnd parent(form);
        CSelectPrinter dialog(parent.Get());
        return dialog.SetDevice(device);
    }
    void PrintList(HWND form) override { CPrintList(form).Print(); }
    void PrintForm(HWND form, const std::string& device) override { PrintFormOf(form, device); }
    void SendToFile(HWND form) override { vorlan::SendToFile(form); }
    void SendToExcel(HWND form, bool open, bool exportData) override {
        ExcelRequest request;
        request.execute = [](const std::string& line) { return TheSession().Execute(line).str(); };
        request.owner = form;
        vorlan::SendToExcel(request, open, exportData);
    }
    // The window reads the job's print output itself; the main frame opens it.
    void ShowList(const std::string&) override {
        if (ListWindowOpener()) ListWindowOpener()();
    }
    void OpenDocument(const std::string& path) override {
        if (fw::TestMode::IsOn()) {
            fw::TestMode::RecordItem(fw::ShownItem{"shell", 0, "open", path, 0});
            return;
        }
        CWinApp* app = AfxGetApp();
        fw::ShellOpenFile(app && app->m_pMainWnd ? app->m_pMainWnd->m_hWnd : nullptr, path);
    }
};

std::unique_ptr<IFormOutput>& Installed() {
    static std::unique_ptr<IFormOutput> output;
    return output;
}

} // namespace

IFormOutput& FormOutput() {
    std::unique_ptr<IFormOutput>& output = Installed();
    if (!output) output = std::make_unique<CBuiltInOutput>();
    return *output;
}

void SetFormOutput(std::unique_ptr<IFormOutput> output) {
    Installed() = std::move(output);
}

void SetListWindowOpener(std::function<void()> open) {
    ListWindowOpener() = std::move(open);
}

} // namespace vorlan
