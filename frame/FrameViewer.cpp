#include "frame/FrameViewer.h"

#include "frame/ChildTerminal.h"
#include "frame/ChildWebBrowser.h"
#include "frame/MainFrame.h"
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
        if (CMainFrame* frame = CMainFrame::Get()) frame->WebBrowser(path, false, title);
    }
    void ShowHtmlHelp(const CString& topic) override {
        if (Recorded("HtmlHelp", topic)) return;
        // Loaded on the first call and kept: the help window lives on after it returns.
        if (!m_help) m_help = std::make_unique<CLoadedLibrary>("hhctrl.ocx");
        if (auto help = m_help->Entry<HtmlHelpFn>("HtmlHelpA"))
            help(::GetDesktopWindow(), topic, kHtmlHelpDisplayTopic, 0);
    }
    HWND OpenWebPage(const CString& address, bool newWindow, const CString& title) override {
        CMainFrame* frame = CMainFrame::Get();
        CChildWebBrowser* child =
            frame ? frame->WebBrowser(address.IsEmpty() ? nullptr : address.c_str(), newWindow,
                                      title.IsEmpty() ? nullptr : title.c_str())
                  : nullptr;
        return child ? child->m_hWnd : nullptr;
    }
    HWND OpenTerminal(bool ssh) override {
        CMainFrame* frame = CMainFrame::Get();
        CChildTerminal* child = frame ? frame->Telnet(ssh) : nullptr;
        return child ? child->m_hWnd : nullptr;
    }

  private:
    std::unique_ptr<CLoadedLibrary> m_help;
};

} // namespace

std::unique_ptr<IFrameViewer> MakeFrameViewer() {
    return std::make_unique<CFrameViewer>();
}
