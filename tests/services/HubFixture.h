#pragma once
// A form for the request hub to serve: a window of its own, an optional paste target, and
// a count of its pending-action runs.

#include "framework/Wnd.h"
#include "services/RequestHub.h"

#include <functional>
#include <string>
#include <vector>

namespace hubtest {

class FormDouble : public IRequestHubForm {
  public:
    FormDouble() {
        CWnd::RegisterWindowClass("HubTest.Form", 0, nullptr, nullptr, nullptr);
        m_window.CreateEx(0, "HubTest.Form", "Formular", WS_POPUP | WS_VISIBLE, CRect(10, 10, 300, 200),
                          nullptr, 0);
    }
    ~FormDouble() override { m_window.DestroyWindow(); }
    HWND HubWindow() const override { return m_window.m_hWnd; }
    HWND PasteTarget() const override { return m_paste; }
    int ExecuteDDN(const char* call) override {
        ddn.push_back(call ? call : "(null)");
        if (onDdn) onDdn();
        return 1;
    }
    void ComPort() override { ++comPorts; }

    HWND m_paste = nullptr;
    std::vector<std::string> ddn;
    int comPorts = 0;
    std::function<void()> onDdn;

  private:
    CWnd m_window;
};

} // namespace hubtest
