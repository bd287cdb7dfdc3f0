#include "app/ErrorDialog.h"
#include "app/AppLogic.h"
#include "app/MailLink.h"
#include "app/ProtocolLog.h"
#include "app/Session.h"
#include "resources/resource.h"

#include <shellapi.h>

COLEErrorDialog::COLEErrorDialog(CSession& session, const char* message, const char* line, CWnd* parent)
    : CDialog(IDD_OLE_ERROR, parent), m_strMessage(message), m_strLine(line), m_session(session) {}

bool COLEErrorDialog::OnInitDialog() {
    vorlan::TraceFunction("COLEErrorDialog::OnInitDialog");
    m_nFullHeight = GetWindowRect().Height();
    Collapse();
    CString text;
    text.Format("%s\r\nLine to execute: %s", m_strMessage.c_str(), m_strLine.c_str());
    SetDlgItemText(IDC_ERR_TEXT, text);
    ::SendMessageA(GetDlgItem(IDC_ERR_ICON), STM_SETICON,
                   reinterpret_cast<WPARAM>(::LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_EXCLAMATION))),
                   0);
    return true;
}

static void CollapseTo(CWnd& w, int height) {
    CRect r = w.GetWindowRect();
    w.SetWindowPos(nullptr, 0, 0, r.Width(), height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void COLEErrorDialog::Collapse() {
    CRect frame;
    ::GetWindowRect(GetDlgItem(IDC_ERR_FRAME), &frame);
    CollapseTo(*this, frame.top - GetWindowRect().top);
    CString label;
    label.LoadString(IDS_DETAILS_MORE);
    SetDlgItemText(IDC_ERR_DETAILS, label);
    m_bExpanded = false;
}

void COLEErrorDialog::Expand() {
    CollapseTo(*this, m_nFullHeight);
    CString label;
    label.LoadString(IDS_DETAILS_LESS);
    SetDlgItemText(IDC_ERR_DETAILS, label);
    m_bExpanded = true;
}

bool COLEErrorDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
    switch (LOWORD(wParam)) {
    case IDC_ERR_DETAILS:
        if (m_bExpanded)
            Collapse();
        else
            Expand();
        return true;
    case IDC_ERR_MAIL: SendSupportMail(); return true;
    default: return CDialog::OnCommand(wParam, lParam);
    }
}

void COLEErrorDialog::SendSupportMail() {
    vorlan::TraceFunction("COLEErrorDialog::SendSupportMail");
    vorlan::SupportMail mail;
    mail.recipient = vorlan::kSupportAddress;
    mail.copyTo = m_session.Execute(vorlan::kSupportCopyLine, 1).str();
    mail.message = m_strMessage.str();
    mail.line = m_strLine.str();
    for (const char* name : {"HOME", "USER", "MEMO", "AP", "DN", "BG", "WM", "WJ", "MI", "JOB"})
        mail.serverValues.emplace_back(
            name, m_session.Execute(vorlan::VariableLine(std::string("%") + name), 1).str());
    mail.horolog = m_session.Execute(vorlan::kHorologLine, 1).str();
    std::string link = vorlan::BuildSupportMailLink(mail);
    ::ShellExecuteA(m_hWnd, "open", link.c_str(), nullptr, nullptr, SW_HIDE);
}
