#include "frame/SessionDialogs.h"

#include "app/AppLogic.h"
#include "app/ProtocolLog.h"
#include "app/Session.h"
#include "app/VORLANApp.h"
#include "frame/FrameLogic.h"
#include "app/OptionsLogic.h"
#include "frame/FrameSessionLogic.h"
#include "resources/SessionIds.h"
#include "resources/resource.h"

using vorlan::TraceFunction;

namespace {

constexpr int kMaxListEntries = 2000;

} // namespace

void FillClientBox(CComboBox& box, const char* traceName) {
    TheSession().Execute(vorlan::kListStartLine);
    for (int n = 0; n < kMaxListEntries; ++n) {
        CString name = TheSession().Execute(vorlan::kNextClientLine);
        if (name.IsEmpty()) {
            if (traceName)
                vorlan::WriteProtocol(
                    (std::string(traceName) + " - ACHTUNG: Der Mandant hat keinen Namen!").c_str(),
                    vorlan::kLogTrace);
            break;
        }
        CString number = TheSession().Execute(vorlan::kListKeyLine);
        box.AddString(vorlan::ClientEntry(number.str(), name.str()).c_str());
    }
}

void FillYearBox(CComboBox& box, const CString& clientEntry) {
    box.ResetContent();
    std::string client = vorlan::ClientNumberOf(clientEntry.str());
    TheSession().Execute(vorlan::kListStartLine);
    if (client.empty()) return;
    for (int n = 0; n < kMaxListEntries; ++n) {
        CString year = TheSession().Execute(vorlan::YearListLine(client).c_str());
        if (year.IsEmpty()) break;
        box.AddString(year);
    }
}

// ---- user group

CBenutzerDialog::CBenutzerDialog(const CString& currentGroup, CWnd* parent)
    : CDialog(IDD_USER_GROUP, parent), m_strCurrent(currentGroup) {}

bool CBenutzerDialog::OnInitDialog() {
    TraceFunction("CBenutzerDialog::OnInitDialog");
    m_cbGroup.SubclassDlgItem(IDC_GROUP_BOX, m_hWnd);
    m_cbTemplate.SubclassDlgItem(IDC_GROUP_TEMPLATE, m_hWnd);
    TheSession().Execute(vorlan::kGroupWalkStartLine);
    CString none;
    none.LoadString(IDS_NO_TEMPLATE_GROUP);
    m_cbTemplate.AddString(none);
    for (int n = 0; n < kMaxListEntries; ++n) {
        CString group = TheSession().Execute(vorlan::kNextGroupLine);
        if (group.IsEmpty()) break;
        if (!vorlan::GroupOffered(group.str(), m_strCurrent.str())) continue;
        m_cbGroup.AddString(group);
        m_cbTemplate.AddString(group);
    }
    m_cbGroup.SetCurSel(0);
    m_cbTemplate.SetCurSel(0);
    ShowDescription(m_cbGroup.GetCount() > 0 ? m_cbGroup.GetLBText(0) : CString());
    ::EnableWindow(GetDlgItem(IDOK), m_cbGroup.GetCount() > 0);
    for (int id : {IDC_GROUP_NEW, IDC_GROUP_TEMPLATE_LABEL, IDC_GROUP_TEMPLATE})
        ::EnableWindow(GetDlgItem(id), FALSE);
    return true;
}

void CBenutzerDialog::ShowDescription(const CString& group) {
    CString description;
    if (!group.IsEmpty())
        description = TheSession().Execute(vorlan::GroupDescriptionLine(group.str()).c_str());
    SetDlgItemText(IDC_GROUP_DESCRIPTION, description);
    bool editable = vorlan::GroupDescriptionEditable(group.str());
    ::EnableWindow(GetDlgItem(IDC_GROUP_DESCRIPTION), editable);
    ::EnableWindow(GetDlgItem(IDC_GROUP_DESCRIPTION_LABEL), editable);
}

void CBenutzerDialog::SetDefaultButton(int id) {
    for (int button : {IDOK, IDC_GROUP_NEW, IDCANCEL})
        ::SendMessageA(GetDlgItem(button), BM_SETSTYLE, button == id ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON,
                       TRUE);
    SendMessage(DM_SETDEFID, static_cast<WPARAM>(id));
}

void CBenutzerDialog::OnEditChange() {
    CString text = GetDlgItemText(IDC_GROUP_BOX);
    int exact = text.IsEmpty() ? -1 : m_cbGroup.FindStringExact(-1, text);
    vorlan::GroupTyping t = vorlan::TypeGroup(text.str(), exact, m_cbGroup.GetCount());
    if (t.select >= 0) {
        // Selecting puts the entry's text into the edit: keep what was typed and where.
        DWORD caret = static_cast<DWORD>(m_cbGroup.SendMessage(CB_GETEDITSEL));
        m_cbGroup.SetCurSel(t.select);
        if (text.IsEmpty()) SetDlgItemText(IDC_GROUP_BOX, "");
        m_cbGroup.SendMessage(CB_SETEDITSEL, 0, MAKELPARAM(LOWORD(caret), HIWORD(caret)));
    }
    ::EnableWindow(GetDlgItem(IDOK), t.ok);
    ::EnableWindow(GetDlgItem(IDC_GROUP_NEW), t.newGroup);
    ::EnableWindow(GetDlgItem(IDC_GROUP_TEMPLATE_LABEL), t.templates);
    ::EnableWindow(GetDlgItem(IDC_GROUP_TEMPLATE), t.templates);
    SetDefaultButton(t.defaultButton == vorlan::GroupButton::Ok         ? IDOK
                     : t.defaultButton == vorlan::GroupButton::NewGroup ? IDC_GROUP_NEW
                                                                        : IDCANCEL);
    ShowDescription(text);
}

void CBenutzerDialog::OnSelChange() {
    int sel = m_cbGroup.GetCurSel();
    ShowDescription(sel >= 0 ? m_cbGroup.GetLBText(sel) : CString());
    ::EnableWindow(GetDlgItem(IDC_GROUP_TEMPLATE_LABEL), FALSE);
    ::EnableWindow(GetDlgItem(IDC_GROUP_TEMPLATE), FALSE);
    ::EnableWindow(GetDlgItem(IDOK), TRUE);
    ::EnableWindow(GetDlgItem(IDC_GROUP_NEW), FALSE);
    SetDefaultButton(IDOK);
}

void CBenutzerDialog::Finish(int result) {
    m_strGroup = GetDlgItemText(IDC_GROUP_BOX);
    TheSession().Execute(
        vorlan::SetGroupDescriptionLine(GetDlgItemText(IDC_GROUP_DESCRIPTION).str()).c_str());
    if (result == IDC_GROUP_NEW) {
        int sel = m_cbTemplate.GetCurSel();
        if (sel > 0)
            TheSession().Execute(vorlan::SetTemplateGroupLine(m_cbTemplate.GetLBText(sel).str()).c_str());
    }
    EndDialog(result);
}

void CBenutzerDialog::OnOK() {
    if (!::IsWindowEnabled(GetDlgItem(IDOK))) return; // Return on a disabled default
    Finish(IDOK);
}

void CBenutzerDialog::OnNewGroup() {
    if (::IsWindowEnabled(GetDlgItem(IDC_GROUP_NEW))) Finish(IDC_GROUP_NEW);
}

bool CBenutzerDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
    UINT id = LOWORD(wParam), code = HIWORD(wParam);
    if (id == IDC_GROUP_BOX) {
        switch (code) {
        case CBN_EDITCHANGE: OnEditChange(); return true;
        case CBN_SELCHANGE: OnSelChange(); return true;
        case CBN_SETFOCUS: m_bEditFocus = true; return true;
        case CBN_KILLFOCUS: m_bEditFocus = false; return true;
        default: return false;
        }
    }
    if (id == IDC_GROUP_NEW && code == BN_CLICKED) {
        OnNewGroup();
        return true;
    }
    return CDialog::OnCommand(wParam, lParam);
}

bool CBenutzerDialog::FilterKey(MSG* msg) {
    if (!m_bEditFocus || msg->message != WM_CHAR || !::IsChild(m_cbGroup.m_hWnd, msg->hwnd)) return false;
    char key = vorlan::GroupKeyFilter(static_cast<char>(msg->wParam), m_strCurrent == "999");
    if (key == 0) return true;
    msg->wParam = static_cast<unsigned char>(key);
    return false;
}

bool CBenutzerDialog::PreTranslateMessage(MSG* msg) {
    if (FilterKey(msg)) return true;
    return CDialog::PreTranslateMessage(msg);
}

void CBenutzerDialog::DrawEntry(const DRAWITEMSTRUCT* item) {
    if (!item || item->itemID == static_cast<UINT>(-1)) return;
    HWND box = item->hwndItem;
    int length = static_cast<int>(::SendMessageA(box, CB_GETLBTEXTLEN, item->itemID, 0));
    std::string group(length > 0 ? static_cast<size_t>(length) : 0, '\0');
    if (length > 0) ::SendMessageA(box, CB_GETLBTEXT, item->itemID, reinterpret_cast<LPARAM>(&group[0]));
    std::string text = group;
    if (item->CtlID == IDC_GROUP_BOX || item->itemID > 0)
        text = vorlan::GroupEntryText(
            group, TheSession().Execute(vorlan::GroupDescriptionLine(group).c_str()).str());
    COLORREF fore, back;
    if (item->itemState & ODS_DISABLED) {
        fore = ::GetSysColor(COLOR_GRAYTEXT);
        back = ::GetSysColor(COLOR_BTNFACE);
    } else if (item->itemState & ODS_SELECTED) {
        fore = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
        back = ::GetSysColor(COLOR_HIGHLIGHT);
    } else {
        fore = ::GetSysColor(COLOR_WINDOWTEXT);
        back = ::GetSysColor(COLOR_WINDOW);
    }
    HBRUSH brush = ::CreateSolidBrush(back);
    ::FillRect(item->hDC, &item->rcItem, brush);
    ::DeleteObject(brush);
    COLORREF oldFore = ::SetTextColor(item->hDC, fore);
    int oldMode = ::SetBkMode(item->hDC, TRANSPARENT);
    RECT r = item->rcItem;
    r.left += 2;
    ::DrawTextA(item->hDC, text.c_str(), static_cast<int>(text.size()), &r,
                DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    ::SetBkMode(item->hDC, oldMode);
    ::SetTextColor(item->hDC, oldFore);
}

LRESULT CBenutzerDialog::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DRAWITEM && (wParam == IDC_GROUP_BOX || wParam == IDC_GROUP_TEMPLATE)) {
        DrawEntry(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    }
    return CDialog::WindowProc(msg, wParam, lParam);
}

// ---- lock

CBlockPC::CBlockPC(CWnd* parent) : CDialog(IDD_BLOCK_PC, parent) {}

bool CBlockPC::OnInitDialog() {
    TraceFunction("CBlockPC::OnInitDialog");
    m_strGroup = TheSession().Execute(vorlan::kUserGroupLine);
    return true;
}

void CBlockPC::OnOK() {
    CString user = GetDlgItemText(IDC_BLOCK_USER), password = GetDlgItemText(IDC_BLOCK_PASSWORD);
    CString lockedUser = TheSession().Execute(vorlan::kCurrentUserLine);
    CString lockedGroup = TheSession().Execute(vorlan::kUserGroupLine);
    CString answer = TheSession().Execute(vorlan::UnlockLoginLine(user.str(), password.str()).c_str());
    CString groupAfter = answer.IsEmpty() ? CString() : TheSession().Execute(vorlan::kUserGroupLine);
    vorlan::UnlockResult result =
        vorlan::JudgeUnlock(answer.str(), groupAfter.str(), m_strGroup.str(), lockedUser.str());
    if (result == vorlan::UnlockResult::Unlocked) {
        EndDialog(IDOK);
        return;
    }
    TheSession().Execute(vorlan::RestoreUserLine(lockedUser.str()).c_str());
    TheSession().Execute(vorlan::RestoreGroupLine(lockedGroup.str()).c_str());
    TheSession().Execute(vorlan::RestoreActiveUserLine(lockedUser.str()).c_str());
    AfxMessageBox(result == vorlan::UnlockResult::Refused ? IDS_BLOCK_WRONG_LOGIN : IDS_BLOCK_OTHER_USER,
                  MB_OK | MB_ICONSTOP);
}

// ---- client and year

CChangeLogin::CChangeLogin(CWnd* parent) : CDialog(IDD_CHANGE_LOGIN, parent) {}

bool CChangeLogin::OnInitDialog() {
    TraceFunction("CChangeLogin::OnInitDialog");
    m_cbClient.SubclassDlgItem(IDC_CHANGE_CLIENT, m_hWnd);
    m_cbYear.SubclassDlgItem(IDC_CHANGE_YEAR, m_hWnd);
    FillClientBox(m_cbClient, "CChangeLogin::OnInitDialog");
    CString client = TheSession().Execute(vorlan::VariableLine("%MI"));
    int sel =
        client.IsEmpty() ? -1 : m_cbClient.FindString(-1, vorlan::ClientEntryPrefix(client.str()).c_str());
    m_cbClient.SetCurSel(sel >= 0 ? sel : 0);
    FillYears();
    return true;
}

void CChangeLogin::FillYears() {
    int sel = m_cbClient.GetCurSel();
    FillYearBox(m_cbYear, sel >= 0 ? m_cbClient.GetLBText(sel) : CString());
    if (m_cbYear.GetCount() == 0) return;
    CString year = TheSession().Execute(vorlan::VariableLine("%WJ"));
    int at = year.IsEmpty() ? -1 : m_cbYear.FindString(-1, year);
    m_cbYear.SetCurSel(at >= 0 ? at : m_cbYear.GetCount() - 1);
}

bool CChangeLogin::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) == IDC_CHANGE_CLIENT && HIWORD(wParam) == CBN_SELCHANGE) {
        FillYears();
        return true;
    }
    return CDialog::OnCommand(wParam, lParam);
}

void CChangeLogin::OnOK() {
    int client = m_cbClient.GetCurSel(), year = m_cbYear.GetCurSel();
    CString clientText = client >= 0 ? m_cbClient.GetLBText(client) : CString();
    CString yearText = year >= 0 ? m_cbYear.GetLBText(year) : CString();
    if (HWND main = theApp.MainWindow())
        ::SendMessageA(main, WM_CHANGELOGIN, reinterpret_cast<WPARAM>(clientText.c_str()),
                       reinterpret_cast<LPARAM>(yearText.c_str()));
    EndDialog(IDOK);
}
