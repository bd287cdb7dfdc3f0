// The form's steps between fields and screens: function keys, moving between fields,
// sub-dialogs and the end of a page.
#include "forms/ChildDialog.h"

#include "app/ProtocolLog.h"
#include "app/ReplyFields.h"
#include "app/Session.h"
#include "forms/FormGlobals.h"
#include "forms/FormKeysLogic.h"
#include "forms/FormMessages.h"
#include "services/HubLines.h"
#include "resources/MainFrameIds.h"
#include "resources/resource.h"
#include "framework/App.h"

#include <commctrl.h>

#include <string>

namespace line = vorlan::line;

namespace {

constexpr int kTabControlId = 0xC000;
// Forms with ids from here on are modal sub-dialogs themselves: theirs belong to their window.
constexpr UINT kSubDialogFormId = 0xC000;

// While a sub-dialog runs in another namespace the frames skip their timers; the flag and
// the namespace come back on every way out, also when the dialog fails.
class NamespaceSwitch {
  public:
    NamespaceSwitch(CSession& session, const std::string& ns) : m_session(session) {
        if (ns.empty()) return;
        m_bWasNested = vorlan::g_bNestedLoop;
        vorlan::g_bNestedLoop = true;
        m_strSaved = m_session.Execute(line::kCurrentNamespace).str();
        m_bSwitched = true;
        m_session.Execute(vorlan::SwitchNamespaceLine(ns));
    }
    ~NamespaceSwitch() {
        if (!m_bSwitched) return;
        try {
            m_session.Execute(vorlan::SwitchNamespaceLine(m_strSaved));
        } catch (...) {
        }
        vorlan::g_bNestedLoop = m_bWasNested;
    }
    NamespaceSwitch(const NamespaceSwitch&) = delete;
    NamespaceSwitch& operator=(const NamespaceSwitch&) = delete;

  private:
    CSession& m_session;
    std::string m_strSaved;
    bool m_bSwitched = false;
    bool m_bWasNested = false;
};

} // namespace

int CChildDialog::CallSubDialog(const char* call, int ownerIsFrame, int value) {
    vorlan::TraceFunction("CChildDialog::CallSubDialog");
    CallGuard guard(*this);
    vorlan::SubDialogCall sub = vorlan::ParseSubDialog(call ? call : "");
    int end = ID_FORM_CLOSE;
    vorlan::OwnDialogRecord record{};
    {
        NamespaceSwitch ns(m_session, sub.ns);
        record.owner = (m_nFormId >= kSubDialogFormId || ownerIsFrame) && m_hWnd ? Frame() : MainWindow();
        record.dialogId = -1;
        record.value = value;
        end = static_cast<int>(::SendMessageA(MainWindow(), WM_CREATEOWNDIALOG,
                                              reinterpret_cast<WPARAM>(sub.dialog.c_str()),
                                              reinterpret_cast<LPARAM>(&record)));
        if (end == ID_FORM_OK) {
            m_session.Execute(line::kKillNew);
            m_session.Execute(vorlan::SubDialogTakeOverLine(m_strFormName.str()));
            m_session.Execute(line::kLoadScratchVars);
        } else {
            m_session.Execute(vorlan::LoadVarsLine(m_strFormName.str()));
        }
    }
    if (!sub.code.empty()) m_session.Execute(sub.code);
    if (m_hWnd) SetFKeys();
    m_session.Execute(line::kTakeLeaveHandBack);
    EndModalWindow(record);
    return end;
}

void CChildDialog::EndModalWindow(const vorlan::OwnDialogRecord& record) {
    if (!record.window || !::IsWindow(record.window)) return;
    if (record.owner) {
        ::EnableWindow(record.owner, TRUE);
        if (::GetActiveWindow() == record.owner) ::SetActiveWindow(record.owner);
    }
    // The forms of the closing window pass every message on while it goes.
    bool wasNestedModal = vorlan::g_bNestedModal;
    vorlan::g_bNestedModal = true;
    ::DestroyWindow(record.window);
    vorlan::g_bNestedModal = wasNestedModal;
}

int CChildDialog::ExecuteDDN(const char* call) {
    vorlan::TraceFunction("CChildDialog::ExecuteDDN");
    std::string current = call ? call : "";
    for (;;) {
        if (current.empty()) {
            current = m_session.Execute(line::kTakeSubDialog).str();
            if (current.empty()) return 1;
        }
        SetTextBoxCoord();
        if (CallSubDialog(current.c_str(), 0, 0) != ID_FORM_OK) {
            TestABLF3();
            if (m_hWnd)
                ::SetWindowPos(Frame(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            return 0;
        }
        RunPendingAction();
        if (m_session.Execute(line::kNoError).IsEmpty()) {
            // An empty %F still stops the chain, but there is nothing to tell.
            CString error = m_session.Execute(line::kErrorPlain);
            if (!error.IsEmpty()) AfxMessageBox(error, MB_OK | MB_ICONEXCLAMATION);
            return 0;
        }
        current.clear();
    }
}

void CChildDialog::ReinitDialog() {
    vorlan::TraceFunction("CChildDialog::ReinitDialog");
    m_session.Execute(line::kSaveScratchVars);
    for (HWND child = ::GetWindow(Frame(), GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (child == m_hWnd || ::GetDlgCtrlID(child) == kTabControlId) continue;
        auto* form = dynamic_cast<CChildDialog*>(CWnd::FromHandlePermanent(child));
        if (!form) continue;
        m_session.Execute(vorlan::KillVarsLine(form->GetFormName().str()));
        form->m_bReinitialised = true;
    }
    m_session.Execute(vorlan::LoadVarsLine("TEMP"));
}

int CChildDialog::HandleFKey(const std::string& keyText, UINT commandId, int refreshAllowed) {
    vorlan::TraceFunction("CChildDialog::HandleFKey");
    SetTextBoxCoord();
    ::SetFocus(m_hWnd);
    std::string action = vorlan::PieceOf(keyText, 2);
    std::string handBack = vorlan::PieceOf(keyText, 4);
    if (!action.empty() && action[0] == '*') {
        std::string entry = action.substr(1);
        ::SendMessageA(MainWindow(), WM_STARTMEMO, reinterpret_cast<WPARAM>(entry.c_str()), 0);
        return 1;
    }
    if (!m_hWnd) return 0;
    CallGuard guard(*this);
    UINT end = ID_FORM_OK;
    std::string followUp;
    vorlan::OwnDialogRecord record{};
    bool dialog = !action.empty() && (m_session.Execute(vorlan::DialogNodeExistsLine(action, 2)) != "0" ||
                                      m_session.Execute(vorlan::DialogNodeExistsLine(action, 6)) != "0");
    if (dialog) {
        std::string opening = vorlan::KeyDialogOpening(action, vorlan::PieceOf(keyText, 1));
        record.owner = m_nFormId >= kSubDialogFormId ? Frame() : MainWindow();
        record.dialogId = -1;
        record.value = vorlan::KeyDialogValue(commandId);
        end = static_cast<UINT>(::SendMessageA(MainWindow(), WM_CREATEOWNDIALOG,
                                               reinterpret_cast<WPARAM>(opening.c_str()),
                                               reinterpret_cast<LPARAM>(&record)));
        if (!m_hWnd) {
            EndModalWindow(record);
            return 0;
        }
    } else {
        m_session.Execute(line::kSaveCurrentVars);
        CString init = action.empty() ? CString() : m_session.Execute(vorlan::ScreenInitLine(action));
        if (!init.IsEmpty()) action = init.str();
        if (!action.empty()) m_session.Execute(vorlan::DoLine(action));
        ExecuteDDN(nullptr);
        if (!m_hWnd) return 0;
        const char* take = m_session.Execute(line::kFatalErrorExists) == "1" ? line::kTakeFatalError
                           : m_session.Execute(line::kErrorExists) == "1"    ? line::kTakeError
                                                                             : nullptr;
        if (take) {
            CString message = m_session.Execute(take);
            if (!message.IsEmpty()) AfxMessageBox(message, MB_OK | MB_ICONSTOP);
            end = ID_FORM_CLOSE;
        }
    }
    followUp = m_session.Execute(line::kTakeAction).str();
    if (followUp.empty()) followUp = vorlan::PieceOf(keyText, 10);

    SetFKeys();
    bool noRefresh = m_session.Execute(line::kTakeNoRefresh) == "1";
    bool refresh = m_session.Execute(line::kTakeRefresh) == "1";
    if (end != ID_FORM_OK) {
        m_session.Execute(vorlan::LoadVarsLine(m_strFormName.str()));
    } else {
        m_session.Execute(line::kKillNewHandBack);
        bool named = !handBack.empty() && handBack[0] != '*';
        if (handBack.empty() || named) {
            std::string kept = named ? "%VL,%SC," + handBack : std::string("%VL,%SC");
            std::string kill = KillKeepingLine(kept);
            if (!kill.empty()) m_session.Execute(kill);
        }
        m_session.Execute(line::kSaveScratchVars);
        m_session.Execute(vorlan::LoadVarsLine(m_strFormName.str()));
        if (named) m_session.Execute(vorlan::TextBoxKillLine(handBack));
        m_session.Execute(line::kLoadScratchVars);
    }
    EndModalWindow(record);
    TestforEvent(0xFFFF);
    if (!m_hWnd) return 0;
    if (refresh || end != ID_FORM_OK) {
        if (!followUp.empty()) m_session.Execute(vorlan::DoLine(followUp));
        TestforEvent(0xFFFF);
        if (!m_hWnd) return 0;
    }
    // %VL is taken here: left standing it would end the next field's step too.
    if (m_session.Execute(line::kTakeLeave) == "1") {
        bool relayout = vorlan::PieceOf(keyText, 5) == "J";
        if (refresh || (end == ID_FORM_OK && relayout && !noRefresh && refreshAllowed)) {
            if (!TestZLN()) CreateControls(1);
            SendMessage(WM_DIAGSETFOCUS, static_cast<WPARAM>(-1), 0);
        } else if (UINT command = vorlan::CommandOfClosingKey(m_session.Execute(line::kClosingKey).str())) {
            ::PostMessageA(Frame(), WM_COMMAND, command, 0);
        }
    }
    return 0;
}

void CChildDialog::EndEdit(int forward, int key) {
    vorlan::TraceFunction("CChildDialog::EndEdit");
    HWND focus = ::GetFocus();
    bool ours = focus && ::IsChild(m_hWnd, focus);
    if (ours && key == VK_RETURN && KindOfControl(focus) == ControlKind::PushButton) {
        ::PostMessageA(focus, BM_CLICK, 0, 0);
        return;
    }
    int next;
    if (ours) {
        next = SaveField(forward, 0, 0);
        if (!m_hWnd) return;
    } else if (forward) {
        ::PostMessageA(Frame(), WM_COMMAND, ID_FORM_OK, 0);
        return;
    } else {
        next = m_nFields;
    }
    if (GotoControl(next, forward) == 0 && forward) ::PostMessageA(Frame(), WM_COMMAND, ID_FORM_OK, 0);
}

int CChildDialog::GotoControl(int field, int allowGrid) {
    vorlan::TraceFunction("CChildDialog::GotoControl");
    SaveScrollPos();
    ServeDevices();
    if (field == 0xFFFF) return 1;
    if (field == 0) {
        if (!allowGrid || !HasGrid()) return 0;
        ::EnableWindow(GetDlgItem(0x1800), TRUE);
        CreateScrollField(1, 0, 0, 0, 0);
        if (!m_hWnd || !HasGrid()) return 0;
        m_nFocusField = EnableEdits(m_nFields + 1);
        ::SendMessageA(GetDlgItem(0x1800), WM_USER, 0, 0);
        return 1;
    }
    HWND control = FieldControl(field);
    if (!control) {
        // The record explorer stands for the field it fills; without one the field cannot
        // take the focus, and the caller goes on as at the end.
        control = GetDlgItem(kRecordExplorerId);
        if (!control) return 0;
        ::SendMessageA(control, WM_INITDIALOG, 0, 0);
        if (!::IsWindow(control)) return 0;
        m_nFocusField = field;
    }
    ::EnableWindow(control, TRUE);
    ::SetFocus(control);
    return 1;
}
