// The form's side of its frame's timer: what a timer call's answer refreshes.
#include "forms/ChildDialog.h"

#include "app/ProtocolLog.h"
#include "forms/FormMessages.h"
#include "resources/resource.h"

void CChildDialog::TimerUpdate(const std::string& text) {
    vorlan::TraceFunction("CChildDialog::TimerUpdate");
    if (text.empty()) return;
    // (Blocks of grid cells come with the grid: until then every answer refreshes the form.)
    ::SendMessageA(Frame(), WM_DIALOGINIT, vorlan::kInitFromTimer, 0);
    if (m_hWnd) SendMessage(WM_UPDATEDIALOG, 1);
}
