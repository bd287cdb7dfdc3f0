#include "forms/FormOutput.h"

#include "app/Session.h"
#include "forms/PrintForm.h"
#include "forms/PrintRoadLogic.h"
#include "framework/App.h"
#include "framework/ShellFiles.h"
#include "framework/TestMode.h"
#include "framework/Wnd.h"
#include "resources/FormIds.h"
#include "services/ExcelExport.h"

namespace vorlan {

namespace {

void SayMissing(UINT text) {
    AfxMessageBox(text, MB_OK | MB_ICONINFORMATION);
}

std::function<void()>& ListWindowOpener() {
    static std::function<void()> open;
    return open;
}

int NoPrinterSetUp(bool&) {
    SayMissing(IDS_PRINTER_SETUP_MISSING);
    return kDeviceCancel;
}

// Until the documents-and-printing services are plugged in, the choice offers no device (a
// test script may choose one) and each of those services says that it is missing.
class CBuiltInOutput : public IFormOutput {
  public:
    int ChoosePrinter(HWND form) override {
        std::string device;
        int result = kDeviceCancel;
        for (const fw::DialogStep& step : fw::TestMode::DialogScript("printer"))
            if (step.kind == fw::DialogStep::Verb && step.verb == "device") device = step.text;
        if (!device.empty()) result = SetDevice(form, device);
        if (fw::TestMode::IsOn()) fw::TestMode::RecordItem(fw::ShownItem{"printer", 0, "", device, result});
        return result;
    }
    int SetDevice(HWND, const std::string& device) override {
        return ChooseDevice([](const std::string& line) { TheSession().Execute(line); }, device,
                            NoPrinterSetUp);
    }
    void PrintList(HWND) override { SayMissing(IDS_LIST_PRINTER_MISSING); }
    void PrintForm(HWND form, const std::string& device) override { PrintFormOf(form, device); }
    void SendToFile(HWND) override { SayMissing(IDS_TEXT_FILE_MISSING); }
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
