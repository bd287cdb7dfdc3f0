// The main frame's 1-second timer: the server's two periodic lines, the heartbeat and the
// messages other users left for this workplace or user; and the memo group menus.
#include "frame/MainFrame.h"

#include "app/ProtocolLog.h"
#include "app/Session.h"
#include "app/VORLANApp.h"
#include "app/OptionsLogic.h"
#include "frame/FrameSessionLogic.h"
#include "resources/MainFrameIds.h"
#include "resources/resource.h"

using vorlan::TraceFunction;

void CMainFrame::OnTimer(UINT) {
    // A message box of the check below lets the timer tick on: that tick waits its turn.
    if (!m_bLoggedIn || m_nMessageCountdown == 0 || m_bInTimer) return;
    m_bInTimer = true;
    if (vorlan::TimerStep(m_appTimer.countdown, m_appTimer.interval)) TheSession().Execute(m_appTimer.line);
    if (vorlan::TimerStep(m_sysTimer.countdown, m_sysTimer.interval)) TheSession().Execute(m_sysTimer.line);
    // The log-out may have come meanwhile (a line can open a dialog).
    if (m_nMessageCountdown > 0 && --m_nMessageCountdown == 0) {
        if (!m_strHeartbeat.IsEmpty()) TheSession().Execute(m_strHeartbeat);
        CheckMessage(m_strWorkplaceRef);
        if (!TheSession().Execute(vorlan::kCurrentUserLine).IsEmpty()) CheckMessage(m_strUserRef);
        if (m_bLoggedIn) m_nMessageCountdown = vorlan::kMessageCheckSeconds;
    }
    m_bInTimer = false;
}

void CMainFrame::CheckMessage(const CString& reference) {
    if (reference.IsEmpty()) return;
    std::string ref = reference.str();
    if (TheSession().Execute(vorlan::MessagesExistLine(ref).c_str()) == "0") return;
    CString key = TheSession().Execute(vorlan::FirstMessageKeyLine(ref).c_str());
    while (!key.IsEmpty()) {
        CString sender = TheSession().Execute(vorlan::MessageSenderLine(ref).c_str());
        CString text = TheSession().Execute(vorlan::MessageTextLine(ref).c_str());
        if (text.IsEmpty()) {
            TheSession().Execute(vorlan::kMessageTextStartLine);
            while (!TheSession().Execute(vorlan::NextMessageTextKeyLine(ref).c_str()).IsEmpty())
                text += TheSession().Execute(vorlan::MessageTextPartLine(ref).c_str());
        }
        if (TheSession().Execute(vorlan::MessageHasDialogLine(ref).c_str()) != "1") {
            TheSession().Execute(vorlan::KillMessageLine(ref).c_str());
            ::MessageBeep(MB_OK);
            theApp.MessageBoxTitled(text, vorlan::MessageTitle(sender.str()).c_str(),
                                    MB_OK | MB_ICONINFORMATION);
        } else {
            CString entry = TheSession().Execute(vorlan::MessageDialogLine(ref).c_str());
            SendMessage(WM_STARTMEMO, reinterpret_cast<WPARAM>(entry.c_str()));
        }
        // One pass in key order: a dialog message its screen did not take is served once in
        // a check, not again and again (the opening may have changed %QCC: the key is ours).
        key = TheSession().Execute(vorlan::NextMessageKeyLine(ref, key.str()).c_str());
    }
}

// ---- memo group menus

void CMainFrame::OnUpdateMenuEditOn(CCmdUI* ui) {
    ui->Enable(m_bLoggedIn && CheckAdminRights());
    if (ui->m_hMenu) UpdateMemoGroups(ui->m_hMenu);
}

void CMainFrame::UpdateMemoGroups(HMENU popup) {
    int count = ::GetMenuItemCount(popup);
    if (count > 0 && ::GetSubMenu(popup, count - 1))
        ::EnableMenuItem(popup, static_cast<UINT>(count - 1), MF_BYPOSITION | MF_GRAYED);
    // The groups of the last opening go, with the separator that closed them.
    bool removed = false;
    for (int i = ::GetMenuItemCount(popup) - 1; i >= 0; --i) {
        HMENU sub = ::GetSubMenu(popup, i);
        bool ours = false;
        for (HMENU& group : m_hMemoGroups)
            if (sub && sub == group) {
                ours = true;
                group = nullptr;
            }
        if (!ours) continue;
        ::DeleteMenu(popup, static_cast<UINT>(i), MF_BYPOSITION);
        if (!removed && i < ::GetMenuItemCount(popup) &&
            (::GetMenuState(popup, static_cast<UINT>(i), MF_BYPOSITION) & MF_SEPARATOR) &&
            !::GetSubMenu(popup, i))
            ::DeleteMenu(popup, static_cast<UINT>(i), MF_BYPOSITION);
        removed = true;
    }
    for (HMENU& group : m_hMemoGroups)
        group = nullptr;
    if (!m_bLoggedIn) return;
    int at = -1;
    for (int i = 0; i < ::GetMenuItemCount(popup); ++i)
        if ((::GetMenuState(popup, static_cast<UINT>(i), MF_BYPOSITION) & MF_SEPARATOR) &&
            !::GetSubMenu(popup, i)) {
            at = i + 1;
            break;
        }
    if (at < 0) return;
    bool added = false;
    for (int g = 1; g <= vorlan::kMemoGroups; ++g) {
        CString name = TheSession().Execute(vorlan::MemoGroupNameLine(g).c_str());
        if (name.IsEmpty()) continue;
        HMENU group = ::CreatePopupMenu();
        ::AppendMenuA(group, MF_STRING, vorlan::MemoGroupPlaceholderId(g), "");
        ::InsertMenuA(popup, static_cast<UINT>(at++), MF_BYPOSITION | MF_POPUP,
                      reinterpret_cast<UINT_PTR>(group), vorlan::MemoGroupItemText(g, name.str()).c_str());
        m_hMemoGroups[g - 1] = group;
        added = true;
    }
    if (added) ::InsertMenuA(popup, static_cast<UINT>(at), MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
}

int CMainFrame::MemoGroupOfPopup(HMENU popup) const {
    for (int g = 0; g < vorlan::kMemoGroups; ++g)
        if (popup && m_hMemoGroups[g] == popup) return g + 1;
    return 0;
}

void CMainFrame::OnUpdateMemos(HMENU popup, int group) {
    while (::GetMenuItemCount(popup) > 0)
        ::DeleteMenu(popup, 0, MF_BYPOSITION);
    TheSession().Execute(vorlan::kMemoWalkStartLine);
    int n = 0;
    while (n < vorlan::kMemoGroupEntries) {
        CString key = TheSession().Execute(vorlan::NextMemoKeyLine(group).c_str());
        if (key.IsEmpty()) break;
        CString text = TheSession().Execute(vorlan::MemoEntryTextLine(group).c_str());
        if (text.IsEmpty()) continue;
        ++n;
        ::AppendMenuA(popup, MF_STRING, vorlan::MemoEntryId(group, n),
                      vorlan::MemoEntryItemText(n, text.str(), key.str()).c_str());
    }
}

void CMainFrame::OnMemoEntry(UINT id) {
    HMENU popup = nullptr;
    for (HMENU group : m_hMemoGroups)
        if (group && CMenu::FindItem(group, id) >= 0) popup = group;
    if (!popup) return;
    CString text = CMenu::ItemText(popup, CMenu::FindItem(popup, id));
    std::string name = vorlan::MemoEntryOfItemText(text.str());
    if (!name.empty()) SendMessage(WM_STARTMEMO, reinterpret_cast<WPARAM>(name.c_str()));
}
