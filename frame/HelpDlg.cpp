#include "frame/HelpDlg.h"

#include "app/ProtocolLog.h"
#include "app/Session.h"
#include "frame/FrameDialogsLogic.h"
#include "frame/MainFrame.h"
#include "framework/LoadedLibrary.h"
#include "resources/MainFrameIds.h"

#include <richedit.h>

namespace {

// The rich edit class of the template lives in this library; it stays loaded once used.
void LoadRichEdit() {
    static CLoadedLibrary library("riched20.dll");
}

} // namespace

CHelpDlg::CHelpDlg(CWnd* parent) : CDialog(IDD_HELP, parent) {}

CHelpDlg* CHelpDlg::Open(CWnd* parent) {
    LoadRichEdit();
    auto* dialog = new CHelpDlg(parent);
    if (!dialog->Create(IDD_HELP, parent)) {
        delete dialog;
        return nullptr;
    }
    return dialog;
}

bool CHelpDlg::OnInitDialog() {
    vorlan::TraceFunction("CHelpDlg::OnInitDialog");
    CDialog::OnInitDialog();
    ::SendDlgItemMessageA(m_hWnd, IDC_HELP_TEXT, EM_SETBKGNDCOLOR, 0, ::GetSysColor(COLOR_INFOBK));
    LoadHelp();
    // The right quarter of the screen, from top to bottom.
    int width = ::GetSystemMetrics(SM_CXFULLSCREEN), height = ::GetSystemMetrics(SM_CYFULLSCREEN);
    int quarter = width / 4;
    SetWindowPos(nullptr, 3 * quarter, 0, quarter, height, SWP_NOZORDER | SWP_SHOWWINDOW);
    return false; // LoadHelp gave the text the focus
}

DWORD CALLBACK CHelpDlg::EditStreamIn(DWORD_PTR cookie, BYTE* buffer, LONG wanted, LONG* copied) {
    auto* stream = reinterpret_cast<vorlan::HelpStream*>(cookie);
    *copied = static_cast<LONG>(stream->Read(reinterpret_cast<char*>(buffer), wanted > 0 ? wanted : 0));
    return 0;
}

void CHelpDlg::LoadHelp() {
    vorlan::TraceFunction("CHelpDlg::LoadHelp");
    CSession& session = TheSession();
    std::string joined;
    session.Execute(vorlan::kHelpLoadLine);
    for (;;) {
        if (session.Execute(vorlan::kHelpNextNodeLine).IsEmpty()) break;
        joined += session.Execute(vorlan::kHelpNodeValueLine).str();
    }
    vorlan::HelpText help = vorlan::MakeHelpText(std::move(joined));
    vorlan::HelpStream stream(help.text);
    EDITSTREAM es{};
    es.dwCookie = reinterpret_cast<DWORD_PTR>(&stream);
    es.pfnCallback = &CHelpDlg::EditStreamIn;
    HWND text = GetDlgItem(IDC_HELP_TEXT);
    ::SendMessageA(text, EM_STREAMIN, help.rich ? SF_RTF : SF_TEXT, reinterpret_cast<LPARAM>(&es));
    ::SetFocus(text);
    ::SendMessageA(text, EM_SETSEL, 0, 0);
}

void CHelpDlg::OnSize(int width, int height) {
    if (HWND text = GetDlgItem(IDC_HELP_TEXT)) ::MoveWindow(text, 0, 0, width, height, TRUE);
}

void CHelpDlg::OnDestroy() {
    if (CMainFrame* main = CMainFrame::Get()) main->ForgetHelpWindow(this);
}

LRESULT CHelpDlg::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_SIZE: OnSize(LOWORD(lParam), HIWORD(lParam)); break;
    case WM_CLOSE: DestroyWindow(); return 0;
    case WM_DESTROY: OnDestroy(); break;
    default: break;
    }
    return CDialog::WindowProc(msg, wParam, lParam);
}
