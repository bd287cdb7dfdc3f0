#include "framework/Dialog.h"
#include "framework/App.h"
#include "framework/ModalLoop.h"
#include "framework/TestMode.h"

#include <commctrl.h>

#include <cstdio>
#include <string>

namespace {

// The dialog window is subclassed at creation; its class procedure (the dialog manager)
// calls this one only for what our WindowProc passed on.
INT_PTR CALLBACK FwDlgProc(HWND hwnd, UINT msg, WPARAM, LPARAM lParam) {
    if (msg != WM_INITDIALOG) return FALSE;
    auto* dlg = reinterpret_cast<CDialog*>(lParam);
    if (!dlg) return TRUE;
    if (!CWnd::FromHandlePermanent(hwnd)) dlg->Attach(hwnd);
    try {
        return dlg->OnInitDialog() ? TRUE : FALSE;
    } catch (...) {
        return TRUE;
    }
}

BOOL CALLBACK CollectText(HWND child, LPARAM param) {
    auto* out = reinterpret_cast<std::string*>(param);
    if (!out->empty()) *out += "|";
    *out += std::to_string(::GetDlgCtrlID(child)) + "=" + fw::WindowText(child);
    return TRUE;
}

} // namespace

HWND CDialog::OwnerWindow() const {
    if (m_pParentWnd && m_pParentWnd->m_hWnd) return m_pParentWnd->m_hWnd;
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd && app->m_pMainWnd->m_hWnd &&
        ::GetWindowThreadProcessId(app->m_pMainWnd->m_hWnd, nullptr) == ::GetCurrentThreadId())
        return app->m_pMainWnd->m_hWnd;
    return ::GetActiveWindow();
}

int CDialog::RunModal() {
    return RunLoop(false);
}

namespace {

bool WaitsForAPerson(const std::vector<fw::DialogStep>& steps) {
    for (const auto& step : steps)
        if (step.kind == fw::DialogStep::Verb && step.verb == "wait") return true;
    return false;
}

} // namespace

int CDialog::RunScripted() {
    std::vector<fw::DialogStep> steps = fw::TestMode::DialogScript(static_cast<int>(m_nIDTemplate));
    if (WaitsForAPerson(steps)) {
        SetLoopSteps(std::move(steps));
        return RunLoop(true);
    }
    m_bScripted = true;
    m_bEnded = false;
    m_nResult = IDCANCEL;
    if (!Create(m_nIDTemplate, m_pParentWnd)) {
        m_bScripted = false;
        fw::TestMode::RecordDialog(static_cast<int>(m_nIDTemplate), "", "(missing template)", -1);
        return -1;
    }
    std::string texts;
    if (!m_bEnded) ::EnumChildWindows(m_hWnd, CollectText, reinterpret_cast<LPARAM>(&texts));
    CString title = GetWindowText();
    for (const auto& step : steps) {
        if (m_bEnded || !m_hWnd) break;
        RunStep(step);
    }
    int result = m_bEnded ? m_nResult : IDCANCEL;
    fw::TestMode::RecordDialog(static_cast<int>(m_nIDTemplate), title.str(), texts, result);
    m_bScripted = false;
    if (m_hWnd) DestroyWindow();
    return result;
}

void CDialog::RunStep(const fw::DialogStep& step) {
    switch (step.kind) {
    case fw::DialogStep::SetText: SetDlgItemText(step.control, step.text.c_str()); break;
    case fw::DialogStep::Command:
        SendMessage(WM_COMMAND, MAKEWPARAM(step.control, BN_CLICKED),
                    reinterpret_cast<LPARAM>(GetDlgItem(step.control)));
        break;
    case fw::DialogStep::Verb:
        if (step.verb == "sel") SelectListEntry(step.text);
        break;
    }
}

int CDialog::RunLoop(bool scripted) {
    m_bEnded = false;
    m_nResult = IDCANCEL;
    // From here on EndDialog, even from OnInitDialog, only ends the loop.
    m_bInLoop = true;
    bool created = Create(m_nIDTemplate, m_pParentWnd);
    std::string title, texts;
    if (created) {
        // Like the system's dialog loop: the owner's whole window is disabled, and gets its
        // input back before the dialog hides, so that it becomes the active window again.
        HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
        CModalOwnerGuard guard(owner, [this] {
            if (m_hWnd) ShowWindow(SW_HIDE);
        });
        if (!m_bEnded) {
            ShowWindow(SW_SHOW);
            CModalLoop loop(*this);
            int idleCount = 0;
            loop.SetIdleHook([this, scripted, &idleCount] {
                OnEnterIdle(idleCount);
                if (idleCount++ == 0 && scripted) RunLoopSteps();
            });
            m_pLoop = &loop;
            loop.Run();
            m_pLoop = nullptr;
        }
        if (scripted && IsWindow()) {
            title = GetWindowText().str();
            ::EnumChildWindows(m_hWnd, CollectText, reinterpret_cast<LPARAM>(&texts));
        }
    }
    m_bInLoop = false;
    m_loopSteps.clear();
    if (IsWindow()) DestroyWindow();
    int result = !created ? -1 : m_bEnded ? m_nResult : -1;
    if (scripted)
        fw::TestMode::RecordDialog(static_cast<int>(m_nIDTemplate), title,
                                   created ? texts : "(missing template)", result);
    return result;
}

void CDialog::RunLoopSteps() {
    std::vector<fw::DialogStep> steps;
    steps.swap(m_loopSteps);
    for (const auto& step : steps) {
        if (m_bEnded || !IsWindow()) return;
        if (step.kind == fw::DialogStep::Verb && step.verb == "wait") return;
        RunStep(step);
    }
    if (!m_bEnded && IsWindow()) EndDialog(IDCANCEL);
}

void CDialog::SelectListEntry(const std::string& step) {
    int control = 0, index = -1;
    if (std::sscanf(step.c_str(), "%d=%d", &control, &index) != 2) return;
    char kind[32] = {};
    HWND list = GetDlgItem(control);
    ::GetClassNameA(list, kind, sizeof kind);
    if (lstrcmpiA(kind, WC_LISTVIEWA) == 0) {
        LVITEMA item{};
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        item.state = item.stateMask;
        ::SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
        return;
    }
    ::SendMessageA(list, lstrcmpiA(kind, "ComboBox") == 0 ? CB_SETCURSEL : LB_SETCURSEL,
                   static_cast<WPARAM>(index), 0);
}

bool CDialog::Create(UINT templateId, CWnd* parent) {
    m_nIDTemplate = templateId;
    m_pParentWnd = parent;
    HWND hwnd;
    {
        fw::CreationHook hook(this);
        m_bBeingCreated = true;
        hwnd = ::CreateDialogParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(templateId), OwnerWindow(),
                                    FwDlgProc, reinterpret_cast<LPARAM>(this));
        m_bBeingCreated = false;
    }
    if (!hwnd && m_hWnd) Detach();
    return hwnd != nullptr;
}

void CDialog::EndDialog(int result) {
    m_nResult = result;
    m_bEnded = true;
    if (m_bScripted) return; // the script runner destroys it
    if (m_pLoop)
        m_pLoop->End(result);
    else if (!m_bInLoop)
        DestroyWindow();
}

bool CDialog::OnCommand(WPARAM wParam, LPARAM) {
    switch (LOWORD(wParam)) {
    case IDOK: OnOK(); return true;
    case IDCANCEL: OnCancel(); return true;
    default: return false;
    }
}

LRESULT CDialog::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_COMMAND && OnCommand(wParam, lParam)) return 0;
    return DefWindowProc(msg, wParam, lParam);
}

bool CDialog::PreTranslateMessage(MSG* msg) {
    // The dialog manager's keyboard handling (tabbing, Return, Escape, mnemonics), which the
    // system's dialog loop would have done, for modal and modeless dialogs alike.
    if (!m_hWnd || msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST) return false;
    return ::IsDialogMessageA(m_hWnd, msg) != 0;
}
