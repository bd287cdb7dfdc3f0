// Until the MDI main frame exists, the start-up ends in this bare main window: it carries
// the main window class (a second start finds it), the title, and takes over a settings
// block handed on by a second start.
#include "app/MainFrameHook.h"
#include "app/VORLANApp.h"
#include "framework/Wnd.h"
#include "resources/resource.h"

#include <cstring>

namespace {

class CStartupFrame : public CWnd {
  public:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        switch (msg) {
        case WM_COPYDATA: return OnCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
        case WM_DESTROY: ::PostQuitMessage(0); return 0;
        case WM_COMMAND: return OnCommand(LOWORD(wParam));
        case WM_ERASEBKGND: return OnEraseBackground(reinterpret_cast<HDC>(wParam));
        default: return CWnd::WindowProc(msg, wParam, lParam);
        }
    }
    void PostNcDestroy() override { delete this; }

  private:
    LRESULT OnEraseBackground(HDC dc) {
        CRect r = GetClientRect();
        ::FillRect(dc, &r, ::GetSysColorBrush(COLOR_APPWORKSPACE));
        return 1;
    }
    LRESULT OnCommand(UINT id) {
        if (id == ID_APP_ABOUT) theApp.OnAppAbout();
        return 0;
    }
    LRESULT OnCopyData(const COPYDATASTRUCT* cds) {
        if (!cds || cds->dwData != WM_INITAPP || cds->cbData != sizeof(vorlan::SettingsBlock)) return FALSE;
        std::memcpy(&theApp.m_Settings, cds->lpData, sizeof(vorlan::SettingsBlock));
        return TRUE;
    }
};

} // namespace

bool CreateMainFrame(CVORLANApp& app) {
    auto* frame = new CStartupFrame;
    CString title;
    app.GetAppTitle(title);
    if (!frame->CreateEx(0, "VORLAN.MainWindow", title, 0x06FF0000,
                         CRect(CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT + 800, CW_USEDEFAULT + 600),
                         nullptr, 0)) {
        delete frame;
        return false;
    }
    app.m_pMainWnd = frame;
    return true;
}
