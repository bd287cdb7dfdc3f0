#include "frame/ChildTerminal.h"

#include "app/ProtocolLog.h"
#include "app/VORLANApp.h"
#include "frame/FrameLogic.h"
#include "frame/MainFrame.h"
#include "framework/LoadedLibrary.h"
#include "resources/ChildrenIds.h"
#include "resources/resource.h"

#include <memory>

namespace {

using StartTerminalFn = int(WINAPI*)(HINSTANCE, HWND, const char*);
constexpr DWORD kFrameStyles = 0x40CA0000; // child, caption, system menu, minimize box

} // namespace

DWORD WINAPI ThreadTerminal(void* param) {
    std::unique_ptr<TerminalRecord> record(static_cast<TerminalRecord*>(param));
    // The library's window goes into the child: the thread must be on the child's desktop, and
    // Wine starts new threads on the default one.
    if (HDESK desktop = ::GetThreadDesktop(::GetWindowThreadProcessId(record->child, nullptr)))
        ::SetThreadDesktop(desktop);
    CLoadedLibrary library("VOREXT.DLL");
    if (auto start = library.Entry<StartTerminalFn>("StartTerminal"))
        start(::GetModuleHandleA(nullptr), record->child, record->commandLine);
    return 0;
}

CString CChildTerminal::CommandLine(bool ssh, const char* address, const char* port) {
    CString line = ssh ? CString("-ssh ") + address : CString("-telnet ") + address + " " + port;
    return line.Left(127);
}

CChildTerminal* CChildTerminal::Open(CMDIFrameWnd* frame, const RECT& rect, const CString& commandLine) {
    auto* child = new CChildTerminal;
    if (!child->CreateChild(frame, WS_CHILD | WS_CLIPCHILDREN | WS_OVERLAPPEDWINDOW, rect)) return nullptr;
    auto record = std::make_unique<TerminalRecord>();
    record->child = child->m_hWnd;
    lstrcpynA(record->commandLine, commandLine.c_str(), sizeof record->commandLine);
    if (HANDLE thread = ::CreateThread(nullptr, 0, ThreadTerminal, record.get(), 0, nullptr)) {
        record.release();
        ::CloseHandle(thread);
    }
    child->ShowWindow(SW_SHOW);
    child->MDIActivate();
    if (HWND first = child->TerminalWindow()) ::SetFocus(first);
    return child;
}

bool CChildTerminal::PreCreateWindow(CREATESTRUCTA& cs) {
    cs.style |= kFrameStyles;
    return CChildBase::PreCreateWindow(cs);
}

int CChildTerminal::OnCreate(CREATESTRUCTA* cs) {
    if (CChildBase::OnCreate(cs) == -1) return -1;
    SetIconOf(IDI_CHILD_LIST);
    return 0;
}

void CChildTerminal::SetMainTitle() {
    CMainFrame* main = CMainFrame::Get();
    if (!main) return;
    CString title;
    theApp.GetAppTitle(title);
    CString text = GetWindowText();
    main->SetWindowText(title + " - " + text);
    main->SendMessage(WM_SETMEMO, reinterpret_cast<WPARAM>(text.c_str()));
}

void CChildTerminal::OnParentNotify(WPARAM wParam, LPARAM lParam) {
    HWND terminal = TerminalWindow();
    switch (LOWORD(wParam)) {
    case WM_CREATE: {
        CRect r = GetClientRect();
        ::MoveWindow(reinterpret_cast<HWND>(lParam), 0, 0, r.Width(), r.Height(), TRUE);
        break;
    }
    case WM_DESTROY:
        if (reinterpret_cast<HWND>(lParam) == terminal) PostMessage(WM_CLOSE);
        break;
    case WM_SETTEXT:
        if (!lParam) break;
        SetWindowText(reinterpret_cast<const char*>(lParam));
        SetMainTitle();
        break;
    default: break;
    }
}

bool CChildTerminal::OnOwnCmdMsg(UINT id, int code, CCmdUI* ui) {
    static const CommandEntry<CChildTerminal> table[] = {
        {ID_CHILD_PRINT, ID_CHILD_PRINT, &CChildTerminal::OnPrint, &CChildTerminal::OnUpdatePrint},
    };
    return fw::RouteCommand(this, table, id, code, ui);
}

void CChildTerminal::OnPrint(UINT) {}

void CChildTerminal::OnUpdatePrint(CCmdUI* ui) {
    ui->Enable(false);
}

LRESULT CChildTerminal::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    vorlan::TraceWindowMessage("CChildTerminal", vorlan::WindowMessageName(msg));
    HWND terminal = TerminalWindow();
    switch (msg) {
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED && terminal)
            ::MoveWindow(terminal, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        break;
    case WM_PARENTNOTIFY: OnParentNotify(wParam, lParam); break;
    case WM_ENTERSIZEMOVE:
    case WM_EXITSIZEMOVE:
        m_bInSizeMove = msg == WM_ENTERSIZEMOVE;
        if (terminal) ::SendMessageA(terminal, msg, wParam, lParam);
        break;
    case WM_MDIACTIVATE:
        if (reinterpret_cast<HWND>(lParam) != m_hWnd) break;
        SetMainTitle();
        if (terminal) ::SetFocus(terminal);
        return CMDIChildWnd::WindowProc(msg, wParam, lParam);
    default: break;
    }
    return CChildBase::WindowProc(msg, wParam, lParam);
}
