#pragma once
// The printer choice: the server's output devices in a list; the chosen device is told to
// the server, and a real printer asks for orientation and paper tray.

#include "framework/Dialog.h"
#include "framework/ListView.h"

#include <string>

class CSelectPrinter : public CDialog {
  public:
    explicit CSelectPrinter(CWnd* parent);

    // Tells the server the device and returns its kind (the printer dialog's Cancel: 2).
    int SetDevice(const std::string& device);
    // The device of the row chosen with OK.
    const std::string& Device() const { return m_strDevice; }

    bool OnInitDialog() override;
    void OnOK() override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    void FillList();

    CReportList m_list;
    std::string m_strDevice;
};

class CPrinterDialog : public CDialog {
  public:
    explicit CPrinterDialog(CWnd* parent);

    bool m_bPortrait = true;

    bool OnInitDialog() override;
    void OnOK() override;
    bool OnCommand(WPARAM wParam, LPARAM lParam) override;

  private:
    void ShowOrientation();
};
