// The timer road of a form frame: timer 1 runs the screen's timer list over every open frame
// it names, and a form's events (WM_TIMEREVENT) open, refresh, command or create frames by
// the same road.
#include "frame/BaseMDI.h"

#include "app/ProtocolLog.h"
#include "app/ReplyFields.h"
#include "app/Session.h"
#include "forms/ChildDialog.h"
#include "forms/FormGlobals.h"
#include "forms/FormMessages.h"
#include "frame/BaseModal.h"
#include "frame/MainFrame.h"
#include "resources/MainFrameIds.h"
#include "resources/resource.h"

using vorlan::TraceFunction;

namespace {

// The open form frame whose first form has exactly this screen name, the first one from the
// top of the MDI client.
HWND FrameOfScreen(HWND client, const std::string& screen) {
    if (!client) return nullptr;
    for (HWND h = ::GetWindow(client, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT)) {
        auto* frame = dynamic_cast<CBaseMDI*>(CWnd::FromHandlePermanent(h));
        CChildDialog* form = frame ? frame->GetForm(1) : nullptr;
        if (form && form->GetFormName().str() == screen) return h;
    }
    return nullptr;
}

// A frame is taken by its handle each time: any server step may have closed it meanwhile.
CBaseMDI* FrameOf(HWND h) {
    return h && ::IsWindow(h) ? dynamic_cast<CBaseMDI*>(CWnd::FromHandlePermanent(h)) : nullptr;
}

CChildDialog* FirstFormOf(HWND h) {
    CBaseMDI* frame = FrameOf(h);
    return frame ? frame->GetForm(1) : nullptr;
}

UINT CommandOfTimer(int command) {
    switch (command) {
    case 1: return ID_FORM_OK;
    case 2: return ID_FORM_F2;
    case 3: return ID_FORM_CLOSE;
    default: return 0;
    }
}

// The form that was current before the timer made others current gets its variables back.
void ReactivatePrevious(HWND previous) {
    CMainFrame* main = CMainFrame::Get();
    if (CBaseModal* modal = main ? main->GetRunningModal() : nullptr) {
        if (CChildDialog* top = modal->GetTopForm())
            modal->ActivateWindow(static_cast<UINT>(::GetDlgCtrlID(top->m_hWnd)), 128);
        return;
    }
    if (CBaseMDI* frame = FrameOf(previous))
        if (CChildDialog* top = frame->GetTopForm())
            frame->ActivateWindow(static_cast<UINT>(::GetDlgCtrlID(top->m_hWnd)), 128);
}

} // namespace

void CBaseMDI::OnFrameTimer() {
    // A tick while the last one still runs (in a message box, say) is skipped, and so is
    // every tick while a sub-dialog or the grid runs a loop of its own.
    if (m_bTimerRunning || vorlan::g_bNestedLoop) return;
    Timer(nullptr, "", 0, 0, 0, nullptr);
}

LRESULT CBaseMDI::OnTimerEvent(const void* record) {
    const auto* r = static_cast<const vorlan::TimerEventRecord*>(record);
    if (!r) return 0;
    CBaseMDI* served = Timer(r->list ? r->list : "", r->answer, r->create, r->run, r->command, r->value);
    return reinterpret_cast<LRESULT>(served ? served->m_hWnd : nullptr);
}

CBaseMDI* CBaseMDI::Timer(const char* list, const char* answer, int create, int run, int command,
                          const char* value) {
    TraceFunction("CBaseMDI::Timer");
    CMainFrame* main = CMainFrame::Get();
    if (!main) return nullptr;
    HWND self = m_hWnd;
    bool wasRunning = m_bTimerRunning;
    m_bTimerRunning = true;

    std::string working = list ? vorlan::PieceOf(list, 1) : m_strTimerList.str();
    std::string reply = answer ? answer : "";
    HWND previous = main->MDIGetActive();
    HWND client = GetMDIClient();
    bool openRoad = create && !run && command == 0;
    bool activated = false;
    HWND found = nullptr;
    if (previous) {
        for (const vorlan::TimerEntry& entry : vorlan::ParseTimerList(working)) {
            found = FrameOfScreen(client, entry.screen);
            if (!found) continue;
            if (openRoad) {
                found = TimerOpen(found, entry, reply, value);
            } else {
                activated = true;
                TimerTick(found, entry, reply, run != 0, command);
            }
        }
    }
    if (!found && create && command == 0) found = TimerCreate(list, reply, value, run != 0, previous);
    if (activated) ReactivatePrevious(previous);

    // The frame itself may have gone with a command of its own list.
    if (::IsWindow(self) && CWnd::FromHandlePermanent(self) == this) m_bTimerRunning = wasRunning;
    return FrameOf(found);
}

void CBaseMDI::TimerTick(HWND frameWindow, const vorlan::TimerEntry& entry, const std::string& answer,
                         bool run, int command) {
    CBaseMDI* frame = FrameOf(frameWindow);
    if (!frame) return;
    frame->SendMessage(WM_ACTIVATE, reinterpret_cast<WPARAM>(frame->m_hTop), 0);
    CChildDialog* form = FirstFormOf(frameWindow);
    if (!form) return;
    if (command != 0) {
        form->SendMessage(WM_COMMAND, CommandOfTimer(command), 0);
        return;
    }
    HWND formWindow = form->m_hWnd;
    std::string reply;
    if (run) {
        if (entry.hasCode) TheSession().Execute(entry.code.c_str());
        reply = answer;
    } else {
        std::string line = vorlan::TimerTickLine(entry);
        if (line.empty()) {
            vorlan::WriteProtocol("CBaseMDI::Timer - %s is no routine name", vorlan::kLogNote,
                                  entry.screen.c_str());
            return;
        }
        reply = TheSession().Execute(line.c_str()).str();
    }
    if (reply.empty()) return;
    // The step may have closed the form: it is taken by its handle again.
    if (auto* f = dynamic_cast<CChildDialog*>(CWnd::FromHandlePermanent(formWindow)))
        f->TimerUpdate(reply.c_str());
}

HWND CBaseMDI::TimerOpen(HWND frameWindow, const vorlan::TimerEntry& entry, const std::string& answer,
                         const char* value) {
    CBaseMDI* frame = FrameOf(frameWindow);
    if (!frame) return nullptr;
    frame->m_lHandOver = reinterpret_cast<LPARAM>(value);
    frame->MDIActivate();
    if (!(frame = FrameOf(frameWindow))) return nullptr;
    frame->m_lHandOver = 0;
    if (frame->HasTabs()) {
        frame->SendMessage(WM_CLOSE);
        return nullptr;
    }
    if (entry.hasCode) TheSession().Execute(entry.code.c_str());
    if (!answer.empty())
        if (CChildDialog* form = FirstFormOf(frameWindow)) form->TimerUpdate(answer.c_str());
    // A frame that went on the way counts as not found: the caller creates it afresh.
    return ::IsWindow(frameWindow) ? frameWindow : nullptr;
}

HWND CBaseMDI::TimerCreate(const char* list, const std::string& answer, const char* value, bool run,
                           HWND previous) {
    CMainFrame* main = CMainFrame::Get();
    if (!main) return nullptr;
    main->SendMessage(WM_CREATEMDIDIALOG, reinterpret_cast<WPARAM>(list ? list : ""),
                      reinterpret_cast<LPARAM>(value));
    HWND active = main->MDIGetActive();
    if (!answer.empty())
        if (CBaseMDI* frame = FrameOf(active))
            if (CChildDialog* top = frame->GetTopForm()) top->TimerUpdate(answer.c_str());
    if (run && previous && ::IsWindow(previous)) main->MDIActivate(previous);
    return active != previous ? active : nullptr;
}
