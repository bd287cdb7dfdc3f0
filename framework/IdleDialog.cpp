#include "framework/IdleDialog.h"

namespace {

bool IsInside(HWND dialog, HWND window) {
    return window == dialog || ::IsChild(dialog, window);
}

} // namespace

int CIdleDialog::RunScripted() {
    SetLoopSteps(fw::TestMode::DialogScript(static_cast<int>(m_nIDTemplate)));
    return RunLoop(true);
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
    return CDialog::PreTranslateMessage(msg);
}
