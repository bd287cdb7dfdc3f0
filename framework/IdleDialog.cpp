#include "framework/IdleDialog.h"
#include "framework/ModalLoop.h"

namespace {

BOOL CALLBACK CollectText(HWND child, LPARAM param) {
    auto* out = reinterpret_cast<std::string*>(param);
    if (!out->empty()) *out += "|";
    *out += std::to_string(::GetDlgCtrlID(child)) + "=" + fw::WindowText(child);
    return TRUE;
}

bool IsInside(HWND dialog, HWND window) {
    return window == dialog || ::IsChild(dialog, window);
}

} // namespace

void CIdleDialog::EndDialog(int result) {
    m_nResult = result;
    m_bEnded = true;
    if (m_pLoop)
        m_pLoop->End(result);
    else if (!m_bRunning)
        CDialog::EndDialog(result);
}

int CIdleDialog::RunModal() {
    m_bScriptRun = false;
    return RunLoop();
}

int CIdleDialog::RunScripted() {
    m_bScriptRun = true;
    m_steps = fw::TestMode::DialogScript(static_cast<int>(m_nIDTemplate));
    m_lastTexts.clear();
    m_title.clear();
    int result = RunLoop();
    fw::TestMode::RecordDialog(static_cast<int>(m_nIDTemplate), m_title,
                               m_bCreated ? m_lastTexts : "(missing template)", result);
    m_bScriptRun = false;
    return result;
}

int CIdleDialog::RunLoop() {
    m_bEnded = false;
    m_nResult = IDCANCEL;
    // From here on EndDialog, even from OnInitDialog, only ends the loop.
    m_bRunning = true;
    m_bCreated = Create(m_nIDTemplate, m_pParentWnd);
    if (!m_bCreated) {
        m_bRunning = false;
        return -1;
    }
    {
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
            loop.SetIdleHook([this, &idleCount] {
                OnEnterIdle(idleCount);
                if (idleCount++ == 0 && m_bScriptRun) RunScriptSteps();
            });
            m_pLoop = &loop;
            loop.Run();
            m_pLoop = nullptr;
        }
        if (m_bScriptRun && IsWindow()) {
            m_title = GetWindowText().str();
            ::EnumChildWindows(m_hWnd, CollectText, reinterpret_cast<LPARAM>(&m_lastTexts));
        }
    }
    m_bRunning = false;
    if (IsWindow()) CDialog::DestroyWindow();
    return m_bEnded ? m_nResult : -1;
}

void CIdleDialog::RunScriptSteps() {
    std::vector<fw::DialogStep> steps;
    steps.swap(m_steps);
    for (const auto& step : steps) {
        if (m_bEnded || !IsWindow()) return;
        switch (step.kind) {
        case fw::DialogStep::SetText: SetDlgItemText(step.control, step.text.c_str()); break;
        case fw::DialogStep::Command:
            SendMessage(WM_COMMAND, MAKEWPARAM(step.control, BN_CLICKED),
                        reinterpret_cast<LPARAM>(GetDlgItem(step.control)));
            break;
        case fw::DialogStep::Verb:
            if (step.verb == "wait") return;
            break;
        }
    }
    // A script that does not wait answers like an unattended dialog.
    if (!m_bEnded && IsWindow()) EndDialog(IDCANCEL);
}

bool CIdleDialog::PreTranslateMessage(MSG* msg) {
    if (m_bCapture && m_hWnd && IsInside(m_hWnd, msg->hwnd)) {
        if (msg->message == WM_CHAR) {
            OnCapturedChar(static_cast<unsigned char>(msg->wParam));
            return true;
        }
        // Keys only become characters: the dialog manager would press the default button on
        // Enter and a button on the space bar. Escape still cancels.
        if ((msg->message == WM_KEYDOWN || msg->message == WM_KEYUP) && msg->wParam != VK_ESCAPE) {
            ::TranslateMessage(msg);
            return true;
        }
    }
    // The dialog manager's keyboard handling (tabbing, Escape, mnemonics), which the system
    // loop would have done.
    if (!m_hWnd || msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST) return false;
    return ::IsDialogMessageA(m_hWnd, msg) != 0;
}
