#include "app/DlgWaitExecute.h"
#include "app/AppLogic.h"
#include "app/ReplyFields.h"
#include "app/ProtocolLog.h"
#include "app/Session.h"
#include "resources/resource.h"

#include <commctrl.h>

#include <cstdlib>

CDlgWaitExecute::CDlgWaitExecute(CSession& session)
    : CDialog(IDD_WAIT_EXECUTE), m_session(session), m_pReply(new char[kResultBufferSize]) {
    m_pReply[0] = '\0';
}

bool CDlgWaitExecute::OnInitDialog() {
    vorlan::TraceFunction("CDlgWaitExecute::OnInitDialog");
    HWND progress = GetDlgItem(IDC_WAIT_PROGRESS);
    ::SendMessageA(progress, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    ::SendMessageA(progress, PBM_SETPOS, 0, 0);
    m_dwLastPoll = ::GetTickCount();
    Refresh();
    // Without progress text the text area is cut off.
    CRect text;
    ::GetWindowRect(GetDlgItem(IDC_WAIT_TEXT), &text);
    CRect me = GetWindowRect();
    int bottom = GetDlgItemText(IDC_WAIT_TEXT).IsEmpty() ? text.top : text.bottom + 10;
    SetWindowPos(nullptr, 0, 0, me.Width(), bottom - me.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

LRESULT CDlgWaitExecute::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_TIMER: OnTimer(); return 0;
    default: return CDialog::WindowProc(msg, wParam, lParam);
    }
}

void CDlgWaitExecute::OnTimer() {
    DWORD now = ::GetTickCount();
    if (now - m_dwLastPoll > 1000) {
        m_dwLastPoll = now;
        if (m_bKeepPolling) Refresh();
    }
    HWND progress = GetDlgItem(IDC_WAIT_PROGRESS);
    int pos = static_cast<int>(::SendMessageA(progress, PBM_GETPOS, 0, 0)) + 1;
    ::SendMessageA(progress, PBM_SETPOS, pos > 100 ? 0 : pos, 0);
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CDlgWaitExecute::Refresh() {
    vorlan::TraceFunction("CDlgWaitExecute::Refresh");
    std::string line = vorlan::WaitingLine(m_session.Job().str());
    if (!m_session.ExecuteOnce(line.c_str(), m_pReply.get(), kResultBufferSize)) {
        m_bKeepPolling = false;
        return;
    }
    std::string reply = m_pReply.get();
    m_bKeepPolling = std::atoi(vorlan::PieceOf(reply, 3).c_str()) != 0;
    std::string title = vorlan::PieceOf(reply, 2), status = vorlan::PieceOf(reply, 1),
                more = vorlan::PieceOf(reply, 4);
    if (!title.empty()) SetWindowText(title.c_str());
    if (!status.empty()) SetDlgItemText(IDC_WAIT_STATUS, status.c_str());
    if (!more.empty()) {
        HWND edit = GetDlgItem(IDC_WAIT_TEXT);
        int end = ::GetWindowTextLengthA(edit);
        ::SendMessageA(edit, EM_SETSEL, end, end);
        ::SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(more.c_str()));
        ::SendMessageA(edit, EM_SCROLLCARET, 0, 0);
    }
}
