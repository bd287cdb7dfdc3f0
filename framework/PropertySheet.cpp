#include "framework/PropertySheet.h"

#include "framework/App.h"
#include "framework/TestMode.h"

#include <commctrl.h>

#include <cstdlib>
#include <map>
#include <string>

namespace {

// The sheet whose window the system is making now (one at a time on a thread).
thread_local CPropertySheet* t_creatingSheet = nullptr;

BOOL CALLBACK CollectPageText(HWND child, LPARAM param) {
    auto* out = reinterpret_cast<std::string*>(param);
    if (!out->empty()) *out += "|";
    *out += std::to_string(::GetDlgCtrlID(child)) + "=" + fw::WindowText(child);
    return TRUE;
}

} // namespace

// ---- pages by name

namespace {

std::map<std::string, PageFactory>& PageClasses() {
    static std::map<std::string, PageFactory> classes;
    return classes;
}

} // namespace

void RegisterPageClass(const char* name, PageFactory make) {
    if (name && make) PageClasses()[name] = make;
}

std::unique_ptr<CPropertyPage> CreatePageByName(const char* name) {
    auto it = PageClasses().find(name ? name : "");
    return std::unique_ptr<CPropertyPage>(it == PageClasses().end() ? nullptr : it->second());
}

bool CPropertySheet::AddPageByName(const char* name) {
    std::unique_ptr<CPropertyPage> page = CreatePageByName(name);
    if (!page) return false;
    AddPage(page.get());
    m_ownPages.push_back(std::move(page));
    return true;
}

// ---- page

PROPSHEETPAGEA CPropertyPage::MakePageRecord() {
    PROPSHEETPAGEA p{};
    p.dwSize = sizeof p;
    p.hInstance = AfxGetResourceHandle();
    p.pszTemplate = MAKEINTRESOURCEA(m_nIDTemplate);
    p.pfnDlgProc = PageProc;
    p.lParam = reinterpret_cast<LPARAM>(this);
    return p;
}

INT_PTR CALLBACK CPropertyPage::PageProc(HWND hwnd, UINT msg, WPARAM, LPARAM lParam) {
    if (msg != WM_INITDIALOG) return FALSE;
    auto* record = reinterpret_cast<const PROPSHEETPAGEA*>(lParam);
    auto* page = record ? reinterpret_cast<CPropertyPage*>(record->lParam) : nullptr;
    if (!page) return TRUE;
    if (!CWnd::FromHandlePermanent(hwnd)) page->SubclassWindow(hwnd);
    try {
        return page->OnInitDialog() ? TRUE : FALSE;
    } catch (...) {
        return TRUE;
    }
}

void CPropertyPage::SetModified(bool changed) {
    if (HWND sheet = Sheet())
        ::SendMessageA(sheet, changed ? PSM_CHANGED : PSM_UNCHANGED, reinterpret_cast<WPARAM>(m_hWnd), 0);
}

bool CPropertyPage::OnCommand(WPARAM, LPARAM) {
    return false;
}

LRESULT CPropertyPage::OnNotify(NMHDR* header) {
    LRESULT result = 0;
    switch (header->code) {
    case PSN_SETACTIVE: result = OnSetActive() ? 0 : -1; break;
    case PSN_KILLACTIVE: result = OnKillActive() ? FALSE : TRUE; break;
    case PSN_APPLY: result = OnApply() ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE; break;
    case PSN_RESET: OnCancel(); break;
    default: return CWnd::WindowProc(WM_NOTIFY, header->idFrom, reinterpret_cast<LPARAM>(header));
    }
    ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
    return result;
}

LRESULT CPropertyPage::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_COMMAND:
        if (OnCommand(wParam, lParam)) return 0;
        break;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header && header->hwndFrom == Sheet()) return OnNotify(header);
        break;
    }
    default: break;
    }
    return CWnd::WindowProc(msg, wParam, lParam);
}

// ---- sheet

CPropertySheet::CPropertySheet(UINT captionId, CWnd* parent, UINT firstPage) : m_pParentWnd(parent) {
    m_strCaption.LoadString(captionId);
    m_psh.nStartPage = firstPage;
}

bool CPropertySheet::BuildPropPageArray() {
    m_records.clear();
    for (CPropertyPage* page : m_pages)
        m_records.push_back(page->MakePageRecord());
    return !m_records.empty();
}

bool CPropertySheet::PrepareHeader(bool modeless) {
    if (!BuildPropPageArray()) return false;
    DWORD keep = m_psh.dwFlags & PSH_WIZARD;
    UINT start = m_psh.nStartPage;
    m_psh = PROPSHEETHEADERA{};
    m_psh.dwSize = sizeof m_psh;
    m_psh.dwFlags = keep | PSH_PROPSHEETPAGE | PSH_USECALLBACK | (modeless ? PSH_MODELESS : 0);
    HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    if (!owner && AfxGetApp() && AfxGetApp()->m_pMainWnd) owner = AfxGetApp()->m_pMainWnd->m_hWnd;
    m_psh.hwndParent = owner;
    m_psh.hInstance = AfxGetResourceHandle();
    m_psh.pszCaption = m_strCaption.c_str();
    m_psh.nPages = static_cast<UINT>(m_records.size());
    m_psh.nStartPage = start < m_psh.nPages ? start : 0;
    m_psh.ppsp = m_records.data();
    m_psh.pfnCallback = SheetCallback;
    m_bInitialized = false;
    return true;
}

int CALLBACK CPropertySheet::SheetCallback(HWND hwnd, UINT msg, LPARAM) {
    if (msg == PSCB_INITIALIZED && t_creatingSheet && !CWnd::FromHandlePermanent(hwnd))
        t_creatingSheet->SubclassWindow(hwnd);
    return 0;
}

void CPropertySheet::EnsureInitialized() {
    if (m_bInitialized || !m_hWnd) return;
    m_bInitialized = true;
    OnInitDialog();
}

int CPropertySheet::RunModal() {
    if (!PrepareHeader(false)) return -1;
    CPropertySheet* outer = t_creatingSheet;
    t_creatingSheet = this;
    INT_PTR r = ::PropertySheetA(&m_psh);
    t_creatingSheet = outer;
    return r > 0 ? IDOK : r == 0 ? IDCANCEL : -1;
}

HWND CPropertySheet::CreateModeless() {
    if (!PrepareHeader(true)) return nullptr;
    CPropertySheet* outer = t_creatingSheet;
    t_creatingSheet = this;
    HWND sheet = reinterpret_cast<HWND>(::PropertySheetA(&m_psh));
    t_creatingSheet = outer;
    if (!sheet || !m_hWnd) return nullptr;
    EnsureInitialized();
    return sheet;
}

bool CPropertySheet::IsEnded() const {
    // The system leaves a sheet that ended without its current page.
    return !m_hWnd || PropSheet_GetCurrentPageHwnd(m_hWnd) == nullptr;
}

int CPropertySheet::RunScripted() {
    std::vector<fw::DialogStep> steps = fw::TestMode::DialogScript("sheet");
    HWND sheet = CreateModeless();
    if (!sheet) {
        fw::TestMode::RecordDialog(0, "sheet", "(not created)", -1);
        return -1;
    }
    int result = IDCANCEL;
    for (const auto& step : steps) {
        HWND page = PropSheet_GetCurrentPageHwnd(sheet);
        if (!page) break;
        if (step.kind == fw::DialogStep::Verb && step.verb == "page") {
            SetActivePage(std::atoi(step.text.c_str()));
        } else if (step.kind == fw::DialogStep::SetText) {
            ::SetDlgItemTextA(::GetDlgItem(page, step.control) ? page : sheet, step.control,
                              step.text.c_str());
        } else if (step.kind == fw::DialogStep::Command) {
            HWND control = ::GetDlgItem(page, step.control);
            char cls[16] = {};
            if (control) ::GetClassNameA(control, cls, sizeof cls);
            if (control && lstrcmpiA(cls, "Button") == 0) {
                // A click, so that check boxes and radio buttons change as for a person.
                ::SendMessageA(control, BM_CLICK, 0, 0);
            } else {
                HWND target = control ? page : sheet;
                ::SendMessageA(target, WM_COMMAND, MAKEWPARAM(step.control, BN_CLICKED),
                               reinterpret_cast<LPARAM>(::GetDlgItem(target, step.control)));
            }
            if (step.control == IDOK) result = IDOK;
        }
    }
    bool ended = IsEnded();
    std::string texts;
    if (!ended)
        ::EnumChildWindows(PropSheet_GetCurrentPageHwnd(sheet), CollectPageText,
                           reinterpret_cast<LPARAM>(&texts));
    if (!ended) result = IDCANCEL;
    fw::TestMode::RecordDialog(0, "sheet " + fw::WindowText(sheet), texts, result);
    if (::IsWindow(sheet)) ::DestroyWindow(sheet);
    return result;
}

CPropertyPage* CPropertySheet::GetActivePage() const {
    int n = GetActiveIndex();
    return n >= 0 ? m_pages[static_cast<size_t>(n)] : nullptr;
}

int CPropertySheet::GetActiveIndex() const {
    if (!m_hWnd) return -1;
    HWND page = PropSheet_GetCurrentPageHwnd(m_hWnd);
    for (size_t n = 0; n < m_pages.size(); ++n)
        if (m_pages[n]->m_hWnd == page) return static_cast<int>(n);
    return -1;
}

bool CPropertySheet::SetActivePage(int n) {
    if (!m_hWnd || n < 0 || n >= GetPageCount()) return false;
    return PropSheet_SetCurSel(m_hWnd, nullptr, n) != 0;
}

HWND CPropertySheet::GetTabControl() const {
    return m_hWnd ? PropSheet_GetTabControl(m_hWnd) : nullptr;
}

bool CPropertySheet::OnCommand(WPARAM, LPARAM) {
    return false;
}

bool CPropertySheet::OnNotify(NMHDR*, LRESULT&) {
    return false;
}

LRESULT CPropertySheet::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_SHOWWINDOW:
        if (wParam) EnsureInitialized();
        break;
    case WM_COMMAND:
        if (OnCommand(wParam, lParam)) return 0;
        break;
    case WM_NOTIFY: {
        LRESULT result = 0;
        if (OnNotify(reinterpret_cast<NMHDR*>(lParam), result)) return result;
        break;
    }
    default: break;
    }
    return CWnd::WindowProc(msg, wParam, lParam);
}
