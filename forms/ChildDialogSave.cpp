// Leaving a field: its value goes to the server's $$PR^QCC, whose answer the form carries
// out; and the user's layout of the form on the server.
#include "forms/ChildDialog.h"

#include "app/ProtocolLog.h"
#include "app/ReplyFields.h"
#include "app/Session.h"
#include "app/SettingsBlock.h"
#include "forms/FormGlobals.h"
#include "framework/App.h"
#include "framework/Frame.h"
#include "resources/MainFrameIds.h"
#include "resources/resource.h"

#include <cstdlib>
#include <string>

namespace line = vorlan::line;

int CChildDialog::SaveField(int forward, int keepFocus, int field) {
    vorlan::TraceFunction("CChildDialog::SaveField");
    if (m_session.Execute(line::kCurrentDialog) != m_strFormName) return field;
    SetTextBoxCoord();

    UINT id = field ? static_cast<UINT>(field | 0x1000) : static_cast<UINT>(::GetDlgCtrlID(::GetFocus()));
    if (id <= 0x1000 || id > static_cast<UINT>(0x1000 | m_nFields) || (id & 0xFF00) != 0x1000) return 0xFFFF;
    int n = static_cast<int>(id & 0xFF);
    HWND control = FieldControl(n);
    if (!control) return 0xFFFF;

    ControlKind kind = KindOfControl(control);
    bool rich = control == m_hRichEdit;
    bool multiLineBox =
        kind == ControlKind::Edit && (IsMultiLine(control) || rich) && !m_strTextBoxVariable.empty();
    std::string value;
    switch (kind) {
    case ControlKind::PushButton: value = forward == -1 ? "J" : "N"; break;
    case ControlKind::CheckBox:
    case ControlKind::Radio:
        value = ::SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? "J" : "N";
        break;
    case ControlKind::Edit:
        if (rich) {
            if (m_strTextBoxVariable.empty()) break;
            // Twice: as RTF, and as plain text under the name followed by "TEXT".
            SetTextBoxVariable(m_strTextBoxVariable, fw::WindowText(control));
            ::SendMessageA(control, WM_RICH_SETTEXTMODE, 0, 0);
            std::string plain = fw::WindowText(control);
            ::SendMessageA(control, WM_RICH_SETTEXTMODE, 1, 0);
            SetTextBoxVariable(m_strTextBoxVariable + "TEXT", plain);
        } else if (multiLineBox) {
            // Only an edited text goes back (the server has the one it sent), and never one
            // that could not be shown whole.
            if (!m_partialTextBoxes.count(n) && ::SendMessageA(control, EM_GETMODIFY, 0, 0))
                SetTextBoxVariable(m_strTextBoxVariable, fw::WindowText(control));
        } else {
            if (m_session.Settings().protocol)
                vorlan::WriteProtocol("CChildDialog::SaveField - before - %s", vorlan::kLogNote, "");
            value = fw::WindowText(control).substr(0, 65535);
            if (m_session.Settings().protocol)
                vorlan::WriteProtocol("CChildDialog::SaveField - after  - %s", vorlan::kLogNote,
                                      value.c_str());
        }
        break;
    }

    CWaitCursor wait;
    value = vorlan::QuotesAs255(value);
    std::string answer = m_session.Execute(vorlan::FieldSaveLine(keepFocus, forward, n, value)).str();
    if (m_session.Execute(line::kTakeGridRebuild) == "1") CreateScrollField(1, 0, 0, 0, 0);
    if (!m_hWnd) return 0xFFFF;
    // A line that failed or wrote no pieces is no answer: what was typed stays, and so does
    // the focus (field 0 would end the form).
    if (answer.find('\xA7') == std::string::npos) return 0xFFFF;
    vorlan::SaveAnswer pr = vorlan::ParseSaveAnswer(answer);
    if (pr.refresh) UpdateContents();

    if (!keepFocus) {
        if (!pr.popup.empty()) {
            // The field is not saved again while the focus is in its list.
            m_nListField = 0xFFFF;
            if (!OpenPopupList(pr.popup, 0xFFFF)) m_nListField = 0;
            return 0xFFFF;
        }
        if (!m_session.Execute(line::kTakeLeave).IsEmpty()) {
            CString error = m_session.Execute(line::kError);
            if (!error.IsEmpty()) AfxMessageBox(error, MB_OK | MB_ICONEXCLAMATION);
            if (UINT command = vorlan::CommandOfClosingKey(m_session.Execute(line::kClosingKey).str()))
                ::PostMessageA(Frame(), WM_COMMAND, command, 0);
            return 0xFFFF;
        }
        for (std::string name = pr.subDialog; !name.empty();) {
            m_session.Execute(line::kKillSubDialog);
            if (CallSubDialog(name.c_str(), 0, 0) != ID_FORM_OK) {
                if (m_hWnd)
                    ::SetWindowPos(Frame(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
                return n;
            }
            if (RunPendingAction()) {
                name = m_session.Execute(line::kTakeSubDialog).str();
            } else {
                TestABLF3();
                name.clear();
            }
            if (m_session.Execute(line::kNoError).IsEmpty()) {
                AfxMessageBox(m_session.Execute(line::kErrorPlain), MB_OK | MB_ICONEXCLAMATION);
                return n;
            }
            if (name.empty()) {
                value = vorlan::QuotesAs255(pr.value);
                if (m_session.Execute(line::kTakeRebuild) == "1") CreateControls(1);
                pr = vorlan::ParseSaveAnswer(m_session.Execute(vorlan::FieldSaveAgainLine(n, value)).str());
            }
        }
        if (!TestforEvent(0xFFFF) || !m_hWnd) return 0xFFFF;
        control = FieldControl(n);
        if (!control) return 0xFFFF;
    }

    if (pr.refused) {
        if (keepFocus) return forward ? pr.nextForward : pr.nextBackward;
        if (forward != 0) AfxMessageBox(pr.message.c_str(), MB_OK | MB_ICONEXCLAMATION);
    } else {
        if (kind == ControlKind::CheckBox || kind == ControlKind::Radio) {
            ShowCheck(control, pr.value);
        } else if (kind == ControlKind::Edit) {
            if (multiLineBox)
                ReadBackTextBox(control);
            else if (control != m_hRichEdit)
                ShowFieldText(control, vorlan::UnescapeFromServer(pr.value));
            ShowModeLabel(n);
        }
        ShowStatus((pr.info.empty() ? pr.message : pr.info).c_str());
        if (keepFocus) return forward ? pr.nextForward : pr.nextBackward;
    }
    // The information and the caret the server left belong to this step, refused or not: a
    // caret left over would be applied by a later field or grid entry.
    if (!pr.info.empty()) AfxMessageBox(pr.info.c_str(), MB_OK | MB_ICONINFORMATION);
    if (!m_hWnd) return 0xFFFF;
    std::string caret = m_session.Execute(line::kTakeCaretRequest).str();
    if (!caret.empty() && HasGrid()) {
        ApplyCursorPosition(caret);
        return 0xFFFF;
    }
    return forward ? pr.nextForward : pr.nextBackward;
}

void CChildDialog::SaveWinSize() {
    HWND frame = Frame();
    HWND first = ::GetDlgItem(frame, 1);
    if (!first) return;
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (!::GetWindowPlacement(frame, &placement)) return;
    const RECT& r = placement.rcNormalPosition;
    // The frame's record, read under its first form's screen also when a later page saves.
    m_session.Execute(vorlan::SaveWindowSizeLine(MainDescription(), r.right - r.left, r.bottom - r.top,
                                                 placement.showCmd == SW_SHOWMAXIMIZED));
    SaveScrollPos();
}
