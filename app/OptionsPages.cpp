#include "app/OptionsPages.h"

#include "app/ProtocolLog.h"
#include "app/Session.h"
#include "app/VORLANApp.h"
#include "framework/FileDialog.h"
#include "resources/ServiceIds.h"
#include "resources/SessionIds.h"
#include "services/ExtrasSetting.h"
#include "tools/FolderDialog.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

using vorlan::TraceFunction;

namespace {

constexpr const char* kSection = "Settings";

struct CheckValue {
    UINT id;
    const char* entry;
    int CAllgemeinOptions::*member;
    int fallback;
};

const CheckValue kChecks[] = {
    {IDC_OPT_MENU_HIDING, "AutomaticMenuHiding", &CAllgemeinOptions::m_nMenuHiding, 1},
    {IDC_OPT_MENU_UPDATE, "AutomaticMenuUpdate", &CAllgemeinOptions::m_nMenuUpdate, 1},
    {IDC_OPT_DISABLE_CLICK, "DisableClickField", &CAllgemeinOptions::m_nDisableClick, 0},
    {IDC_OPT_WINDOWS_USER, "WindowsUser", &CAllgemeinOptions::m_nWindowsUser, 0},
    {IDC_OPT_DISABLE_WAIT, "DisableWaitDialog", &CAllgemeinOptions::m_nDisableWait, 0},
};

bool IsCheck(HWND page, UINT id) {
    return ::IsDlgButtonChecked(page, static_cast<int>(id)) == BST_CHECKED;
}

} // namespace

void RegisterOptionsPages() {
    RegisterPageClass("CAllgemeinOptions", []() -> CPropertyPage* { return new CAllgemeinOptions; });
    RegisterPageClass("CFontOptions", []() -> CPropertyPage* { return new CFontOptions; });
    RegisterPageClass("CServerOptions", []() -> CPropertyPage* { return new CServerOptions; });
}

// ---- general

CAllgemeinOptions::CAllgemeinOptions() : CPropertyPage(IDD_OPTIONS_GENERAL) {}

bool CAllgemeinOptions::OnInitDialog() {
    TraceFunction("CAllgemeinOptions::OnInitDialog");
    for (const CheckValue& c : kChecks)
        this->*c.member = theApp.GetProfileInt(kSection, c.entry, c.fallback);
    m_strWordPath = getExtrasSetting("WORDPATH");
    if (m_strWordPath.IsEmpty()) m_strWordPath = theApp.GetProfileString(kSection, "WordFormsFilePath", "");
    m_strExcelPath = theApp.GetProfileString(kSection, "ExcelFormsFilePath", "");
    m_strImagesPath = theApp.GetProfileString(kSection, "ImagesPath", "");
    theApp.GetWordViewPath(m_strViewerPath);
    m_nViewerUsed = m_strViewerPath.IsEmpty() ? 0 : 1;
    m_bFilling = true;
    ::EnableWindow(GetDlgItem(IDC_OPT_VIEWER_PATH), m_nViewerUsed != 0);
    for (const CheckValue& c : kChecks)
        ::CheckDlgButton(m_hWnd, static_cast<int>(c.id), this->*c.member ? BST_CHECKED : BST_UNCHECKED);
    ::CheckDlgButton(m_hWnd, IDC_OPT_VIEWER_USED, m_nViewerUsed ? BST_CHECKED : BST_UNCHECKED);
    SetDlgItemText(IDC_OPT_WORD_PATH, m_strWordPath);
    SetDlgItemText(IDC_OPT_EXCEL_PATH, m_strExcelPath);
    SetDlgItemText(IDC_OPT_IMAGES_PATH, m_strImagesPath);
    SetDlgItemText(IDC_OPT_VIEWER_PATH, m_strViewerPath);
    m_bFilling = false;
    SetModified(false);
    return true;
}

bool CAllgemeinOptions::OnCommand(WPARAM wParam, LPARAM) {
    UINT id = LOWORD(wParam), code = HIWORD(wParam);
    switch (id) {
    case IDC_OPT_MENU_HIDING:
    case IDC_OPT_MENU_UPDATE:
    case IDC_OPT_DISABLE_CLICK:
    case IDC_OPT_WINDOWS_USER:
    case IDC_OPT_DISABLE_WAIT:
        if (code != BN_CLICKED) return false;
        OnCheck(id);
        return true;
    case IDC_OPT_VIEWER_USED:
        if (code != BN_CLICKED) return false;
        OnWordView();
        return true;
    case IDC_OPT_WORD_PATH:
    case IDC_OPT_EXCEL_PATH:
    case IDC_OPT_IMAGES_PATH:
    case IDC_OPT_VIEWER_PATH:
        if (code != EN_CHANGE) return false;
        OnEditChange();
        return true;
    case IDC_OPT_WORD_BROWSE: OnBrowse(IDC_OPT_WORD_PATH); return true;
    case IDC_OPT_EXCEL_BROWSE: OnBrowse(IDC_OPT_EXCEL_PATH); return true;
    case IDC_OPT_IMAGES_BROWSE: OnBrowse(IDC_OPT_IMAGES_PATH); return true;
    case IDC_OPT_VIEWER_BROWSE: OnBrowse3(); return true;
    default: return false;
    }
}

void CAllgemeinOptions::OnCheck(UINT id) {
    for (const CheckValue& c : kChecks)
        if (c.id == id) this->*c.member = IsCheck(m_hWnd, id) ? 1 : 0;
    SetModified(true);
}

void CAllgemeinOptions::OnWordView() {
    m_nViewerUsed = IsCheck(m_hWnd, IDC_OPT_VIEWER_USED) ? 1 : 0;
    ::EnableWindow(GetDlgItem(IDC_OPT_VIEWER_PATH), m_nViewerUsed != 0);
    SetModified(true);
}

void CAllgemeinOptions::OnEditChange() {
    if (!m_bFilling) SetModified(true);
}

void CAllgemeinOptions::OnBrowse(UINT editId) {
    CString folder = GetDlgItemText(static_cast<int>(editId));
    CFolderDialog chooser(folder.IsEmpty() ? nullptr : folder.c_str(), 0, m_hWnd, 0);
    if (chooser.DoModal() != IDOK) return;
    SetDlgItemText(static_cast<int>(editId), chooser.GetFolderPath());
    SetModified(true);
}

void CAllgemeinOptions::OnBrowse3() {
    CFileDialog dialog(false, nullptr, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       "Exe-Dateien (*.exe)|*.exe||", m_hWnd);
    dialog.SetInitialFolder("C:\\Programme\\");
    // Cancel keeps the program that was there.
    if (dialog.DoModal() == IDOK) SetDlgItemText(IDC_OPT_VIEWER_PATH, dialog.GetPathName());
}

void CAllgemeinOptions::OnOK() {
    m_strWordPath = GetDlgItemText(IDC_OPT_WORD_PATH);
    m_strExcelPath = GetDlgItemText(IDC_OPT_EXCEL_PATH);
    m_strImagesPath = GetDlgItemText(IDC_OPT_IMAGES_PATH);
    m_strViewerPath = GetDlgItemText(IDC_OPT_VIEWER_PATH);
}

bool CAllgemeinOptions::OnApply() {
    TraceFunction("CAllgemeinOptions::OnApply");
    if (!CPropertyPage::OnApply()) return false;
    for (const CheckValue& c : kChecks)
        theApp.WriteProfileInt(kSection, c.entry, this->*c.member);
    theApp.WriteProfileString(kSection, "WordFormsFilePath", m_strWordPath);
    CString user = TheSession().Execute(vorlan::kCurrentUserLine);
    if (!user.IsEmpty())
        TheSession().Execute(vorlan::SetWordPathLine(user.str(), m_strWordPath.str()).c_str());
    theApp.WriteProfileString(kSection, "ExcelFormsFilePath", m_strExcelPath);
    theApp.WriteProfileString(kSection, "ImagesPath", m_strImagesPath);
    theApp.SetGeneralValue("WordViewPath", m_nViewerUsed ? m_strViewerPath.c_str() : "(Not present)");
    ::EnableWindow(GetDlgItem(IDC_OPT_VIEWER_PATH), m_nViewerUsed != 0);
    ::CheckDlgButton(m_hWnd, IDC_OPT_VIEWER_USED, m_nViewerUsed ? BST_CHECKED : BST_UNCHECKED);
    return true;
}

// ---- fonts

CFontOptions::CFontOptions() : CPropertyPage(IDD_OPTIONS_FONTS) {}

CFontOptions::~CFontOptions() {
    if (m_hPreviewFont) ::DeleteObject(m_hPreviewFont);
}

void CFontOptions::EnumFontFamProc(const char* face, void* names) {
    static_cast<std::vector<std::string>*>(names)->push_back(face);
}

bool CFontOptions::OnInitDialog() {
    TraceFunction("CFontOptions::OnInitDialog");
    m_cbName.SubclassDlgItem(IDC_FONT_NAME, m_hWnd);
    m_cbSize.SubclassDlgItem(IDC_FONT_SIZE, m_hWnd);
    m_hSlots = GetDlgItem(IDC_FONT_SLOTS);
    m_cbName.AddString(vorlan::kStandardFont);
    std::vector<std::string> names;
    EnumFontFamilyNames(&CFontOptions::EnumFontFamProc, &names);
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    for (const std::string& name : names)
        m_cbName.AddString(name.c_str());
    for (int size : vorlan::kFontSizes)
        m_cbSize.AddString(std::to_string(size).c_str());
    for (int n = 0; n < vorlan::kFontSlots; ++n) {
        FontSetting f = theApp.GetFontSetting(n);
        m_slots[n].name = f.name;
        m_slots[n].second = f.scaledSize;
        m_slots[n].size = f.points;
        CString text;
        text.LoadString(vorlan::FontSlotTextId(n));
        int item = static_cast<int>(
            ::SendMessageA(m_hSlots, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
        ::SendMessageA(m_hSlots, LB_SETITEMDATA, static_cast<WPARAM>(item), vorlan::FontSlotTextId(n));
    }
    RECT client;
    ::GetClientRect(m_hSlots, &client);
    int tab = (client.right * 4 / 3) / LOWORD(::GetDialogBaseUnits());
    ::SendMessageA(m_hSlots, LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&tab));
    ::SendMessageA(m_hSlots, LB_SETCURSEL, 0, 0);
    OnSelchangeFontlist();
    return true;
}

bool CFontOptions::OnSetActive() {
    bool result = CPropertyPage::OnSetActive();
    UpdatePreview();
    return result;
}

bool CFontOptions::OnCommand(WPARAM wParam, LPARAM) {
    UINT id = LOWORD(wParam), code = HIWORD(wParam);
    if (id == IDC_FONT_SLOTS && code == LBN_SELCHANGE) {
        OnSelchangeFontlist();
        return true;
    }
    if ((id == IDC_FONT_NAME && code == CBN_SELCHANGE) || (id == IDC_FONT_SIZE && code == CBN_EDITCHANGE)) {
        OnSelchangeFontname();
        return true;
    }
    if (id == IDC_FONT_SIZE && code == CBN_SELCHANGE) {
        OnSelchangeFontsize();
        return true;
    }
    return false;
}

void CFontOptions::OnSelchangeFontlist() {
    int slot = static_cast<int>(::SendMessageA(m_hSlots, LB_GETCURSEL, 0, 0));
    if (slot < 0 || slot >= vorlan::kFontSlots) return;
    const Slot& s = m_slots[slot];
    int name = s.name.IsEmpty() ? -1 : m_cbName.FindString(-1, s.name);
    m_cbName.SetCurSel(name >= 0 ? name : 0);
    SetDlgItemText(IDC_FONT_SIZE, std::to_string(s.size).c_str());
    m_nLastName = m_cbName.GetCurSel();
    m_nLastSize = s.size;
    ::EnableWindow(m_cbSize.m_hWnd, m_cbName.GetCurSel() > 0);
    UpdatePreview();
}

void CFontOptions::OnSelchangeFontname() {
    vorlan::FontSizeInput in = vorlan::ReadFontSize(GetDlgItemText(IDC_FONT_SIZE).str());
    if (in.corrected) {
        SetDlgItemText(IDC_FONT_SIZE, in.text.c_str());
        m_cbSize.SendMessage(CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
    }
    int name = m_cbName.GetCurSel();
    int slot = static_cast<int>(::SendMessageA(m_hSlots, LB_GETCURSEL, 0, 0));
    if ((name != m_nLastName || in.size != m_nLastSize) && slot >= 0 && slot < vorlan::kFontSlots) {
        m_slots[slot].name = name >= 0 ? m_cbName.GetLBText(name) : CString();
        m_slots[slot].size = in.size;
        ::EnableWindow(m_cbSize.m_hWnd, name > 0);
        SetModified(true);
    }
    m_nLastName = name;
    m_nLastSize = in.size;
    UpdatePreview();
}

void CFontOptions::OnSelchangeFontsize() {
    int sel = m_cbSize.GetCurSel();
    if (sel >= 0) SetDlgItemText(IDC_FONT_SIZE, m_cbSize.GetLBText(sel));
    OnSelchangeFontname();
}

void CFontOptions::UpdatePreview() {
    if (!m_cbName.m_hWnd) return;
    int sel = m_cbName.GetCurSel();
    CString name = sel >= 0 ? m_cbName.GetLBText(sel) : CString(vorlan::kStandardFont);
    SetDlgItemText(IDC_FONT_PREVIEW, name);
    CFont font;
    if (name != vorlan::kStandardFont)
        font.CreatePointFont(std::atoi(GetDlgItemText(IDC_FONT_SIZE).c_str()) * 10 + 5, name);
    else
        font.CreatePointFont(85, "Tahoma");
    HFONT made = static_cast<HFONT>(font.Detach());
    ::SendMessageA(GetDlgItem(IDC_FONT_PREVIEW), WM_SETFONT, reinterpret_cast<WPARAM>(made), TRUE);
    if (m_hPreviewFont) ::DeleteObject(m_hPreviewFont);
    m_hPreviewFont = made;
}

bool CFontOptions::OnApply() {
    TraceFunction("CFontOptions::OnApply");
    if (!CPropertyPage::OnApply()) return false;
    for (int n = 0; n < vorlan::kFontSlots; ++n) {
        FontSetting f;
        f.name = m_slots[n].name == vorlan::kStandardFont ? CString() : m_slots[n].name;
        f.points = m_slots[n].size;
        f.scaledSize = m_slots[n].second;
        theApp.SetFontSetting(n, f);
    }
    return true;
}

// ---- connection

CServerOptions::CServerOptions() : CPropertyPage(IDD_OPTIONS_SERVER) {}

void CServerOptions::SetModified(bool changed) {
    m_bModified = changed;
    CPropertyPage::SetModified(changed);
}

bool CServerOptions::OnInitDialog() {
    TraceFunction("CServerOptions::OnInitDialog");
    m_bModified = false;
    ::SendDlgItemMessageA(m_hWnd, IDC_SRV_WARNING, STM_SETICON,
                          reinterpret_cast<WPARAM>(::LoadIconA(nullptr, IDI_EXCLAMATION)), 0);
    m_strUci = theApp.GetGeneralValue("UCIandVG", "");
    m_strAddress = theApp.GetGeneralValue("IPaddress", "");
    m_strApiPort = theApp.GetGeneralValue("APIport", "");
    m_strTelnetPort = theApp.GetGeneralValue("TelnetPort", "");
    m_strDbName = theApp.GetGeneralValue("DBname", "");
    m_strRemote = theApp.GetGeneralValue("RemoteConnection", vorlan::kRemoteConnectionDefault);
    m_strPartition = theApp.GetGeneralValue("PartitionSize", "");
    m_bFilling = true;
    ::CheckRadioButton(m_hWnd, IDC_SRV_LOCAL, IDC_SRV_REMOTE,
                       vorlan::IsRemoteConnection(m_strRemote.str()) ? IDC_SRV_REMOTE : IDC_SRV_LOCAL);
    OnConnectionKind();
    CComboBox kind;
    kind.Attach(GetDlgItem(IDC_SRV_KIND));
    kind.AddString("KVX API");
    kind.AddString("VORLAN API");
    m_nTransport = vorlan::TransportIndex(theApp.GetGeneralValue("APIType", "").str());
    kind.SetCurSel(m_nTransport);
    kind.Detach();
    SetDlgItemText(IDC_SRV_UCI, m_strUci);
    SetDlgItemText(IDC_SRV_ADDRESS, m_strAddress);
    SetDlgItemText(IDC_SRV_APIPORT, m_strApiPort);
    SetDlgItemText(IDC_SRV_TELNET, m_strTelnetPort);
    SetDlgItemText(IDC_SRV_DBNAME, m_strDbName);
    SetDlgItemText(IDC_SRV_PARTITION, m_strPartition);
    m_bFilling = false;
    SetModified(true);
    SetModified(false);
    return true;
}

void CServerOptions::OnConnectionKind() {
    int local = ::IsDlgButtonChecked(m_hWnd, IDC_SRV_LOCAL) == BST_CHECKED ? 1 : 0;
    if (local == m_nLocal) return;
    m_nLocal = local;
    SetModified(true);
    for (int id : {IDC_SRV_DB_LABEL, IDC_SRV_DBNAME, IDC_SRV_DB_BROWSE})
        ::EnableWindow(GetDlgItem(id), local != 0);
    for (int id : {IDC_SRV_ADDRESS_LABEL, IDC_SRV_ADDRESS, IDC_SRV_APIPORT_LABEL, IDC_SRV_APIPORT,
                   IDC_SRV_TELNET_LABEL, IDC_SRV_PARTITION})
        ::EnableWindow(GetDlgItem(id), local == 0);
}

bool CServerOptions::OnCommand(WPARAM wParam, LPARAM) {
    UINT id = LOWORD(wParam), code = HIWORD(wParam);
    switch (id) {
    case IDC_SRV_LOCAL:
    case IDC_SRV_REMOTE:
        if (code != BN_CLICKED) return false;
        OnConnectionKind();
        return true;
    case IDC_SRV_DB_BROWSE: OnBrowse(); return true;
    case IDC_SRV_KIND:
        if (code != CBN_SELCHANGE) return false;
        m_nTransport = static_cast<int>(::SendDlgItemMessageA(m_hWnd, IDC_SRV_KIND, CB_GETCURSEL, 0, 0));
        SetModified(true);
        return true;
    case IDC_SRV_DBNAME:
    case IDC_SRV_ADDRESS:
    case IDC_SRV_APIPORT:
    case IDC_SRV_TELNET:
    case IDC_SRV_UCI:
    case IDC_SRV_PARTITION:
        if (code != EN_CHANGE || m_bFilling) return false;
        SetModified(true);
        return true;
    default: return false;
    }
}

void CServerOptions::OnBrowse() {
    CString all, title;
    all.LoadString(IDS_ALL_FILES);
    title.LoadString(IDS_DATABASE_FILE_TITLE);
    CString filter = all + " (*.*)|*.*||";
    CString current = GetDlgItemText(IDC_SRV_DBNAME);
    CFileDialog dialog(true, nullptr, current, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY, filter, m_hWnd);
    dialog.SetTitle(title);
    if (dialog.DoModal() != IDOK) return;
    SetDlgItemText(IDC_SRV_DBNAME, dialog.GetPathName());
    SetModified(true);
}

void CServerOptions::OnOK() {
    m_strDbName = GetDlgItemText(IDC_SRV_DBNAME);
    m_strAddress = GetDlgItemText(IDC_SRV_ADDRESS);
    m_strApiPort = GetDlgItemText(IDC_SRV_APIPORT);
    m_strTelnetPort = GetDlgItemText(IDC_SRV_TELNET);
    m_strUci = GetDlgItemText(IDC_SRV_UCI);
    m_strPartition = GetDlgItemText(IDC_SRV_PARTITION);
}

bool CServerOptions::OnApply() {
    TraceFunction("CServerOptions::OnApply");
    if (!CPropertyPage::OnApply()) return false;
    if (m_bModified) AfxMessageBox(IDS_SERVER_OPTIONS_CHANGED, MB_OK | MB_ICONINFORMATION);
    theApp.SetGeneralValue("UCIandVG", m_strUci);
    theApp.SetGeneralValue("IPaddress", m_strAddress);
    theApp.SetGeneralValue("APIport", m_strApiPort);
    theApp.SetGeneralValue("TelnetPort", m_strTelnetPort);
    theApp.SetGeneralValue("DBname", m_strDbName);
    theApp.SetGeneralValue("PartitionSize", m_strPartition);
    theApp.SetGeneralValue("RemoteConnection",
                           vorlan::RemoteConnectionValue(m_strRemote.str(), !m_nLocal).c_str());
    theApp.SetGeneralValue("APIType", std::to_string(m_nTransport).c_str());
    m_bModified = false;
    return true;
}
