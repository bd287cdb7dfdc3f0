#pragma once
// The printing and export services a form's print road calls, one seam each: the printer
// choice, the list and form printers, the text file, Excel, the list window and the shell.
// The built-in services are the real ones; tests plug in their own. The form printer says
// that it is missing until it is plugged in.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

namespace vorlan {

class IFormOutput {
  public:
    virtual ~IFormOutput() = default;
    // The printer choice as a modal dialog owned by the form: a device code (2: Cancel), and
    // the device text of the row chosen.
    virtual int ChoosePrinter(HWND form, std::string& device) = 0;
    // A device the server saved, turned into a choice without a dialog.
    virtual int SetDevice(HWND form, const std::string& device) = 0;
    virtual void PrintList(HWND form) = 0;
    virtual void PrintForm(HWND form, const std::string& device) = 0;
    virtual void SendToFile(HWND form) = 0;
    virtual void SendToExcel(HWND form, bool open, bool exportData) = 0;
    // The screen's list print shown in a list window of the main frame.
    virtual void ShowList(const std::string& text) = 0;
    // A document the server named, opened with its program.
    virtual void OpenDocument(const std::string& path) = 0;
};

// The services in use; SetFormOutput(nullptr) brings back the built-in ones.
IFormOutput& FormOutput();
void SetFormOutput(std::unique_ptr<IFormOutput> output);
// The main frame's list window, which the built-in services open for the list print (an
// empty function: the window is missing).
void SetListWindowOpener(std::function<void()> open);

} // namespace vorlan
