#include "frame/FrameViewer.h"

#include "framework/App.h"
#include "framework/LoadedLibrary.h"
#include "framework/TestMode.h"
#include "resources/MainFrameIds.h"

namespace {

constexpr UINT kHtmlHelpDisplayTopic = 0;
using HtmlHelpFn = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);

bool Recorded(const char* what, const CString& target) {
    if (!fw::TestMode::IsOn()) return false;
    fw::TestMode::RecordItem(fw::ShownItem{"viewer", 0, what, target.str(), 0});
    return true;
}

class CFrameViewer : public IFrameViewer {
  public:
    void ShowManual(const CString& path, const CString& title) override {
        if (Recorded(title, path)) return;
        AfxMessageBox(IDS_NOT_AVAILABLE, MB_OK | MB_ICONINFORMATION);
    }
    void ShowHtmlHelp(const CString& topic) override {
        if (Recorded("HtmlHelp", topic)) return;
        // Loaded on the first call and kept: the help window lives on after it returns.
        if (!m_help) m_help = std::make_unique<CLoadedLibrary>("hhctrl.ocx");
        if (auto help = m_help->Entry<HtmlHelpFn>("HtmlHelpA")) help(::GetDesktopWindow(), topic, kHtmlHelpDisplayTopic, 0);
    }
    HWND OpenWebPage(const CString& address, bool newWindow, const CString& title) override {
        (void)newWindow;
        (void)title;
        if (!Recorded("web", address)) AfxMessageBox(IDS_NOT_AVAILABLE, MB_OK | MB_ICONINFORMATION);
        return nullptr;
    }
    HWND OpenTerminal(bool ssh) override {
        if (!Recorded(ssh ? "ssh" : "telnet", ""))
            AfxMessageBox(IDS_NOT_AVAILABLE, MB_OK | MB_ICONINFORMATION);
        return nullptr;
    }

  private:
    std::unique_ptr<CLoadedLibrary> m_help;
};

} // namespace

std::unique_ptr<IFrameViewer> MakeFrameViewer() {
    return std::make_unique<CFrameViewer>();
}
