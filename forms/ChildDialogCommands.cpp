// The form commands that end a step of a screen: close (F3), the F2 step, save (F1),
// save-and-stay (FSAVE) and the form print, through the server's checks and its save routine.
#include "forms/ChildDialog.h"

#include "app/ProtocolLog.h"
#include "app/ReplyFields.h"
#include "app/Session.h"
#include "forms/FormGlobals.h"
#include "framework/App.h"
#include "framework/Frame.h"
#include "resources/FormIds.h"
#include "resources/MainFrameIds.h"
#include "resources/resource.h"

#include <cstdio>
#include <string>

namespace line = vorlan::line;

namespace {

// Forms with ids from here on have a window of their own.
constexpr UINT kSubDialogFormId = 0xC000;

const char* ClosingKeyOf(UINT id) {
    switch (id) {
    case ID_FORM_CLOSE: return "F3";
    case ID_FORM_F2: return "F2";
    case ID_FORM_SAVE: return "FSAVE";
    default: return "F1";
    }
}

} // namespace

LRESULT CChildDialog::OnFormCommand(UINT id, bool fromSelf) {
    vorlan::TraceFunction("CChildDialog::OnFormCommand");
    if (id == ID_FORM_F2) {
        if (m_nFormId >= kSubDialogFormId) return 1;
        LRESULT result = 1;
        if (!fromSelf && SaveAndSelectPreviousPage(result)) return result;
    }
    // The step may rebuild, repeat or close the form: no picture loader may outlive it.
    StopPictureLoads();
    m_session.Execute(line::kParkListHeader);
    if (id == ID_FORM_PRINT) {
        PrintScreen(id);
        if (m_hWnd && !OpenFollowUpList()) SendMessage(WM_DIAGSETFOCUS, static_cast<WPARAM>(-1), 0);
        return 1;
    }
    SaveWinSize();

    if (id == ID_FORM_CLOSE && m_session.Execute(vorlan::ScreenNodeLine(m_strDescription.str(), 7)) == "J") {
        ::ShowWindow(Frame(), SW_SHOWNA);
        CString message;
        message.FormatId(IDS_SAVE_CHANGES, fw::WindowText(Frame()));
        switch (AfxMessageBox(message, MB_YESNOCANCEL | MB_ICONQUESTION)) {
        case IDCANCEL: return SendMessage(WM_DIAGSETFOCUS, static_cast<WPARAM>(-1), 0);
        case IDYES: id = ID_FORM_OK; break;
        default: break;
        }
    }
    if (id == ID_FORM_OK && !::IsWindowEnabled(m_hWnd)) {
        if (!fromSelf) RepeatDialog(1, 1, 0);
        return 1;
    }
    const char* sc = ClosingKeyOf(id);
    m_session.Execute(vorlan::ClosingKeyLine(sc));

    // A page save the server refuses says so: its page stays (the tab control asks with it).
    if ((id == ID_FORM_OK || id == ID_FORM_SAVE) && !CheckBeforeSave()) return fromSelf ? 0 : 1;

    m_session.Execute(line::kKillStepState);
    m_session.Execute(vorlan::ClosingKeyLine(sc));
    CString routine = m_session.Execute(vorlan::ScreenNodeLine(m_strDescription.str(), sc));
    if (!routine.IsEmpty()) {
        CWaitCursor wait;
        m_session.Execute(vorlan::CheckRunLine(routine.str()));
    }
    m_session.Execute(line::kRestoreListHeader);
    TestAbl();
    if (!m_hWnd) return 1;

    vorlan::StepMessages messages =
        vorlan::ParseMessages(m_session.Execute(vorlan::MessagesLine(false)).str());
    std::string status = messages.info;
    if (id == ID_FORM_OK && messages.hasError) {
        if (!messages.info.empty()) {
            AfxMessageBox(messages.info.c_str(), MB_OK | MB_ICONINFORMATION);
            status.clear();
        } else if (!messages.error.empty()) {
            AfxMessageBox(messages.error.c_str(), MB_OK | MB_ICONEXCLAMATION);
        }
    }
    if (status.empty()) {
        CString idle;
        idle.LoadString(IDS_IDLE_TEXT);
        ShowStatus(idle);
    } else {
        ShowStatus(status.c_str());
    }
    bool nonePending = RunSaveChain();
    if (!m_hWnd) return 1;

    if (m_session.Execute(line::kFatalErrorExists) == "1") {
        ::LockWindowUpdate(nullptr);
        CString message = m_session.Execute(line::kTakeFatalErrorOnly);
        if (!message.IsEmpty()) AfxMessageBox(message, MB_OK | MB_ICONEXCLAMATION);
        if (id == ID_FORM_OK) {
            SendMessage(WM_DIAGSETFOCUS, static_cast<WPARAM>(-1), 0);
            return fromSelf ? 0 : 1;
        }
    }
    if (id >= ID_FORM_CLOSE && id <= ID_FORM_OK && !m_session.Execute(line::kTakeLeave).IsEmpty()) {
        switch (vorlan::CommandOfClosingKey(m_session.Execute(line::kClosingKey).str())) {
        case ID_FORM_APPLY: ::PostMessageA(Frame(), WM_COMMAND, ID_FORM_APPLY, 0); break;
        case ID_FORM_F2: ::PostMessageA(Frame(), WM_COMMAND, ID_FORM_F2, 0); return 0;
        case ID_FORM_CLOSE: ::SendMessageA(Frame(), WM_DIALOGSTOP, 0, 0); return 0;
        default: break;
        }
    }
    bool print = false;
    if (id == ID_FORM_OK || id == ID_FORM_SAVE) {
        bool goOn = TestforEvent(0xFFFF);
        if (fromSelf) return nonePending ? 1 : 0;
        if (!m_hWnd) return 1;
        print = goOn && id == ID_FORM_OK && m_session.Execute(line::kTakeErrorFlag) != "1";
    }
    if (print) {
        PrintScreen(id);
        if (m_hWnd && !OpenFollowUpList()) RepeatDialog(1, 1, 0);
        return 1;
    }
    switch (id) {
    case ID_FORM_SAVE: SendMessage(WM_DIAGSETFOCUS, static_cast<WPARAM>(-1), 0); break;
    case ID_FORM_F2:
        if (HWND first = ::GetDlgItem(Frame(), 1)) ::SendMessageA(first, WM_REPEATDIALOG, 1, 1);
        break;
    default: ::SendMessageA(Frame(), WM_DIALOGSTOP, id == ID_FORM_CLOSE ? 0 : 1, 0); break;
    }
    return 1;
}

HWND CChildDialog::MainWindow() {
    CWinApp* app = AfxGetApp();
    return app && app->m_pMainWnd ? app->m_pMainWnd->m_hWnd : nullptr;
}

bool CChildDialog::IsActiveFrame() const {
    HWND frame = Frame();
    HWND client = ::GetParent(frame);
    return client && reinterpret_cast<HWND>(::SendMessageA(client, WM_MDIGETACTIVE, 0, 0)) == frame;
}

void CChildDialog::ShowStatus(const char* text) {
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd)
        app->m_pMainWnd->SendMessage(WM_SETMESSAGESTRING, 0, reinterpret_cast<LPARAM>(text));
}

bool CChildDialog::CheckBeforeSave() {
    m_session.Execute(line::kStartChecks);
    // The field being edited is saved as its focus goes.
    ::SetFocus(nullptr);
    int failing = vorlan::NumberOf(m_session.Execute(line::kCheck).str());
    if (failing == 0) return CheckGridCells();
    ::LockWindowUpdate(nullptr);
    UpdateEdits(m_nCurrentField, failing);
    CString message = m_session.Execute(line::kError);
    if (!message.IsEmpty()) AfxMessageBox(message, MB_OK | MB_ICONEXCLAMATION);
    m_nCurrentField = EnableEdits(failing);
    SendMessage(WM_DIAGSETFOCUS, static_cast<WPARAM>(-1), 0);
    return false;
}
