#include "framework/StatusDialog.h"

CStatusDialog::CStatusDialog(UINT templateId, HWND owner) : m_dialog(templateId) {
    CWnd* parent = owner ? CWnd::FromHandlePermanent(owner) : nullptr;
    CWnd lent;
    if (!parent && owner && lent.Attach(owner)) parent = &lent;
    m_dialog.Create(templateId, parent);
    if (parent == &lent) lent.Detach();
}

CStatusDialog::~CStatusDialog() {
    if (m_dialog.m_hWnd) m_dialog.DestroyWindow();
}

void CStatusDialog::SetText(UINT control, const char* text) {
    if (!m_dialog.m_hWnd) return;
    ::SetDlgItemTextA(m_dialog.m_hWnd, static_cast<int>(control), text);
    ::UpdateWindow(m_dialog.m_hWnd);
}
