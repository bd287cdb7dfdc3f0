#include "frame/FrameViewer.h"

#include "framework/App.h"
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
    ~CFrameViewer() override {
        if (m_hHelp) ::FreeLibrary(m_hHelp);
    }
    void ShowManual(const CString& path, const CString& title) override {
        if (Recorded(title, path)) return;
        AfxMessageBox(IDS_NOT_AVAILABLE, MB_OK | MB_ICONINFORMATION);
    }
    void ShowHtmlHelp(const CString& topic) override {
        if (Recorded("HtmlHelp", topic)) return;
        if (!m_hHelp) m_hHelp = ::LoadLibraryA("hhctrl.ocx");
        auto help = m_hHelp ? reinterpret_cast<HtmlHelpFn>(
                                  reinterpret_cast<void*>(::GetProcAddress(m_hHelp, "HtmlHelpA")))
                            : nullptr;
        if (help) help(::GetDesktopWindow(), topic, kHtmlHelpDisplayTopic, 0);
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
    HMODULE m_hHelp = nullptr;
};

} // namespace

std::unique_ptr<IFrameViewer> MakeFrameViewer() {
    return std::make_unique<CFrameViewer>();
}
