// The end of a form's step: the screen starts over, the frame moves on to its next page,
// all pages are saved one after another, or the frame closes; after the last page the
// "KARTEI" node decides whether the first page starts over.
#include "forms/ChildDialog.h"

#include "app/ProtocolLog.h"
#include "app/ReplyFields.h"
#include "app/Session.h"
#include "forms/FormFieldLogic.h"
#include "forms/FormLogic.h"
#include "forms/FormMessages.h"
#include "forms/PrintRoadLogic.h"
#include "framework/App.h"
#include "framework/UpdateLock.h"
#include "resources/MainFrameIds.h"
#include "resources/resource.h"
#include "services/HubLines.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace line = vorlan::line;

using vorlan::kTabControlId;

std::string CChildDialog::MainDescription() const {
    auto* first = dynamic_cast<CChildDialog*>(CWnd::FromHandlePermanent(::GetDlgItem(Frame(), 1)));
    return (first ? first->GetDescriptionName() : m_strDescription).str();
}

void CChildDialog::RepeatDialog(int repeatAllowed, int activate, int closeAllPages) {
    vorlan::TraceFunction("CChildDialog::RepeatDialog");
    CallGuard guard(*this);
    m_session.Execute(line::kKillRepeatState);
    HWND frame = Frame();
    HWND tabs = ::GetDlgItem(frame, kTabControlId);
    int me = ::GetDlgCtrlID(m_hWnd);

    std::string setting;
    if (tabs && me > 1)
        setting = vorlan::PieceOf(
            m_session.Execute(vorlan::TabNodeLine(MainDescription(), m_nTabIndex - 1)).str(), 3);
    if (setting.empty())
        setting = m_session.Execute(vorlan::ScreenNodeLine(m_strDescription.str(), "REPEAT")).str();
    if (setting == "J" && repeatAllowed) {
        SendMessage(WM_REPEATDIALOG, 0, activate);
        return;
    }

    const int page = vorlan::TabItemOfPage(tabs, static_cast<UINT>(me));
    if (page >= 0 && page + 1 < vorlan::TabCount(tabs)) {
        HWND client = ::GetParent(frame);
        if (client && !IsActiveFrame())
            ::SendMessageA(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(frame), 0);
        if (closeAllPages) {
            CloseAllPages();
            return;
        }
        ::SendMessageA(frame, WM_DIAGSELECTED, static_cast<WPARAM>(vorlan::TabItemValue(tabs, page + 1)),
                       MAKELPARAM(page + 1, 1));
        return;
    }
    if (!tabs) {
        ::SendMessageA(frame, WM_DIALOGSTOP, 1, 0);
        return;
    }
    EndLastPage(activate);
}

void CChildDialog::CloseAllPages() {
    HWND frame = Frame();
    bool modal = !(::GetWindowLongPtrA(frame, GWL_EXSTYLE) & WS_EX_MDICHILD);
    std::vector<std::pair<int, HWND>> pages;
    for (HWND child = ::GetWindow(frame, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        int id = ::GetDlgCtrlID(child);
        if (id >= 1 && id < kTabControlId && dynamic_cast<CChildDialog*>(CWnd::FromHandlePermanent(child)))
            pages.emplace_back(id, child);
    }
    std::sort(pages.begin(), pages.end());
    CWaitCursor wait;
    fw::WindowUpdateLock lock(modal ? frame : MainWindow());
    // Each page is asked once: a page that stays (its save was refused) must not be asked
    // again and again.
    for (const auto& page : pages) {
        if (!m_hWnd) break;
        if (::IsWindow(page.second)) ::SendMessageA(page.second, WM_COMMAND, ID_FORM_OK, 0);
    }
}

void CChildDialog::EndLastPage(int activate) {
    HWND frame = Frame();
    vorlan::CardIndexEnd end =
        vorlan::ParseCardIndexEnd(m_session.Execute(vorlan::TabTextLine(MainDescription())).str());
    if (!end.routine.empty()) {
        if (vorlan::IsRoutineRef(end.routine))
            m_session.Execute(vorlan::DoLine(end.routine));
        else
            vorlan::WriteProtocol("CChildDialog::RepeatDialog - no routine: %s", vorlan::kLogNote,
                                  end.routine.c_str());
        if (!::IsWindow(frame)) return;
    }
    HWND first = ::GetDlgItem(frame, 1);
    if (!end.repeatFirst || !first) {
        ::SendMessageA(frame, WM_DIALOGSTOP, 1, 0);
        return;
    }
    if (activate && !IsActiveFrame())
        if (HWND client = ::GetParent(frame))
            ::SendMessageA(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(frame), 0);
    ::SendMessageA(first, WM_REPEATDIALOG, 1, activate);
}
