#include "framework/StatusDialog.h"
#include "framework/LentWnd.h"

CStatusDialog::CStatusDialog(UINT templateId, HWND owner) : m_dialog(templateId) {
    CLentWnd parent(owner);
    m_dialog.Create(templateId, parent.Get());
}

CStatusDialog::~CStatusDialog() {
    if (m_dialog.m_hWnd) m_dialog.DestroyWindow();
}

void CStatusDialog::SetText(UINT control, const char* text) {
    if (!m_dialog.m_hWnd) return;
    ::SetDlgItemTextA(m_dialog.m_hWnd, static_cast<int>(control), text);
    ::UpdateWindow(m_dialog.m_hWnd);
    ::UpdateWindow(::GetDlgItem(m_dialog.m_hWnd, static_cast<int>(control)));
}
