// The form's field commands and focus changes, and the private messages of its frame and
// controls.
#include "forms/ChildDialog.h"

#include "app/ProtocolLog.h"
#include "app/ReplyFields.h"
#include "app/Session.h"
#include "controls/FormGrid.h"
#include "controls/GridCtrl.h"
#include "forms/FormFieldLogic.h"
#include "forms/FormGlobals.h"
#include "forms/FormMessages.h"
#include "framework/App.h"
#include "framework/FileDialog.h"
#include "resources/FormIds.h"
#include "resources/MainFrameIds.h"
#include "resources/resource.h"
#include "tools/FolderDialog.h"

#include <cctype>
#include <cstring>
#include <string>

namespace line = vorlan::line;

CChildDialog::ControlKind CChildDialog::KindOfControl(HWND control) {
    LRESULT code = control ? ::SendMessageA(control, WM_GETDLGCODE, 0, 0) : 0;
    if (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) return ControlKind::PushButton;
    if (code & DLGC_RADIOBUTTON) return ControlKind::Radio;
    if (code & DLGC_BUTTON) return ControlKind::CheckBox;
    return ControlKind::Edit;
}

bool CChildDialog::IsExplorerArea(HWND control) {
    char name[16] = "";
    return control && ::GetClassNameA(control, name, sizeof name) && std::strcmp(name, "ExplorerArea") == 0;
}

bool CChildDialog::IsMultiLine(HWND control) {
    return control && (::GetWindowLongPtrA(control, GWL_STYLE) & ES_MULTILINE) != 0;
}

void CChildDialog::ShowCheck(HWND control, const std::string& value) {
    ::SendMessageA(control, BM_SETCHECK, value.rfind('J', 0) == 0 ? BST_CHECKED : BST_UNCHECKED, 0);
}

void CChildDialog::VisitField(HWND control) {
    HWND before = ::GetFocus();
    ::SetFocus(control);
    ::SetFocus(before);
}

bool CChildDialog::OnFieldCommand(UINT id, UINT code, HWND control, LRESULT& result) {
    if (id >= 0x4000 && id <= 0x42FF) return OnBrowseButton(id, code, result);
    if (id == kRecordExplorerId) {
        if (code == 0x100) m_nListField = 0;
        return false;
    }
    // A data explorer reports the focus in its panes as field 1's edit would (4097): it is the
    // explorer's own field that is entered, and its text is its array, not a value.
    if (code == EN_SETFOCUS && IsExplorerArea(control)) id = static_cast<UINT>(::GetDlgCtrlID(control));
    int n = static_cast<int>(id & 0xFF);
    if (id <= 0x1000 || id > static_cast<UINT>(0x1000 | m_nFields) || (id & 0xFF00) != 0x1000) return false;
    ControlKind kind = KindOfControl(control);
    bool button = kind != ControlKind::Edit;
    if ((!button && code == EN_SETFOCUS) || (button && code == BN_SETFOCUS)) {
        result = OnFieldFocus(n, control);
        return true;
    }
    if ((!button && code == EN_KILLFOCUS) || (button && code == BN_KILLFOCUS)) {
        result = OnFieldKillFocus(n);
        return true;
    }
    if (code == 0) {
        result = OnFieldClick(n, control);
        return true;
    }
    return false;
}

bool CChildDialog::OnBrowseButton(UINT id, UINT code, LRESULT& result) {
    if (code != 0) return false;
    int n = static_cast<int>(id & 0xFF);
    HWND field = FieldControl(n);
    if (!field) return false;
    ::SetFocus(field);
    std::string text = fw::WindowText(field);
    if ((id & 0xFF00) == 0x4200) {
        CFolderDialog chooser(text.empty() ? nullptr : text.c_str(), 0, m_hWnd, 0);
        if (chooser.DoModal() == 1) ::SetWindowTextA(field, chooser.GetFolderPath());
        result = 1;
        return true;
    }
    CFileDialog dialog((id & 0xFF00) == 0x4000, nullptr, text.c_str(), 0x180A, "Alle Dateien (*.*)|*.*||",
                       m_hWnd);
    if (dialog.DoModal() == IDOK) ::SetWindowTextA(field, dialog.GetPathName());
    return false;
}

void CChildDialog::RunPendingFocusAction(int n, HWND control, std::string& answer) {
    CString action = m_session.Execute(line::kTakeFocusAction);
    if (action.IsEmpty()) return;
    ExecuteDDN(action);
    if (!m_hWnd) return;
    ::SetFocus(control);
    answer = m_session.Execute(vorlan::FocusAgainLine(n)).str();
}

LRESULT CChildDialog::OnFieldFocus(int n, HWND control) {
    m_hCurrentControl = control;
    if (n == m_nCurrentField && n == m_nListField) {
        // Back from the field's own popup list: not a new entry.
        vorlan::g_nFocusKind = vorlan::g_nSavedFocusKind;
        vorlan::g_nSavedFocusKind = 0;
        m_nListField = 0;
        return 1;
    }
    m_nCurrentField = n;
    if (CGridCtrl* grid = Grid()) grid->HideFocusCell();
    m_nListField = 0;

    ControlKind kind = KindOfControl(control);
    if (kind == ControlKind::PushButton || IsExplorerArea(control)) {
        m_nFocusField = EnableEdits(n);
        return 1;
    }
    if (kind == ControlKind::CheckBox || kind == ControlKind::Radio) {
        std::string answer = m_session.Execute(vorlan::FocusEntryLine(n)).str();
        ::SendMessageA(control, BM_SETCHECK, vorlan::PieceOf(answer, 1) == "J" ? BST_CHECKED : BST_UNCHECKED,
                       0);
        RunPendingFocusAction(n, control, answer);
        if (!m_hWnd) return 1;
        if (m_session.Execute(line::kTakeRebuildOnFocus) == "1") CreateControls(1);
        m_nFocusField = EnableEdits(n);
        return 1;
    }

    vorlan::g_nFocusKind = 1;
    std::string answer = m_session.Execute(vorlan::FocusEntryLine(n)).str();
    RunPendingFocusAction(n, control, answer);
    if (!m_hWnd) return 1;
    if (m_session.Execute(line::kTakeRebuildOnFocus) == "1") CreateControls(1);
    std::string text = vorlan::PieceOf(answer, 1);
    // The rich-text field is a text box: its text comes from the array the answer names.
    if (!IsMultiLine(control) && control != m_hRichEdit) {
        ShowFieldText(control, vorlan::UnescapeFromServer(text));
        if (!m_session.Execute(vorlan::SelectAllRequestLine(n)).IsEmpty())
            ::PostMessageA(control, EM_SETSEL, 0, -1);
        ::SendMessageA(control, EM_SCROLLCARET, 0, 0);
    } else {
        m_strTextBoxVariable = text;
        ReadTextArray(control, text);
    }
    ShowModeLabel(n);
    m_nFocusField = EnableEdits(n);
    return 1;
}

void CChildDialog::ShowFieldText(HWND control, const std::string& text) {
    // Setting the same text again would put the caret back to the start of the field.
    if (fw::WindowText(control) != text) ::SetWindowTextA(control, text.c_str());
}

void CChildDialog::ReadTextArray(HWND control, const std::string& name) {
    std::string request = m_session.Execute(line::kTakeCaretRequest).str();
    std::string text = ReadTextBox(name);
    bool readOnly = m_session.Execute(line::kReadOnlyRequest) == "1";
    DWORD start = 0, end = 0;
    ::SendMessageA(control, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    SetTextBoxText(control, text);
    ::SendMessageA(control, EM_SETREADONLY, readOnly ? TRUE : FALSE, 0);
    if (!request.empty()) {
        int caretLine = vorlan::NumberOf(vorlan::PieceOf(request, 1));
        int caretColumn = vorlan::NumberOf(vorlan::PieceOf(request, 2));
        int endLine = vorlan::NumberOf(vorlan::PieceOf(request, 3));
        int endColumn = vorlan::NumberOf(vorlan::PieceOf(request, 4));
        if (endLine < 1 || endColumn < 1) {
            endLine = caretLine;
            endColumn = caretColumn;
        }
        const std::string shown = CaretText(control);
        start = static_cast<DWORD>(vorlan::PositionOf(shown, caretLine, caretColumn));
        end = static_cast<DWORD>(vorlan::PositionOf(shown, endLine, endColumn));
    }
    ::SendMessageA(control, EM_SETSEL, start, end);
    ::SendMessageA(control, EM_SCROLLCARET, 0, 0);
}

LRESULT CChildDialog::OnFieldKillFocus(int n) {
    if (n != m_nListField && m_nListField != 0xFFFF) SaveField(1, 1, n);
    vorlan::g_nSavedFocusKind = vorlan::g_nFocusKind;
    vorlan::g_nFocusKind = 0;
    m_hCurrentControl = nullptr;
    return 1;
}

LRESULT CChildDialog::OnFieldClick(int n, HWND control) {
    switch (KindOfControl(control)) {
    case ControlKind::PushButton: {
        int next = SaveField(-1, 0, n);
        if (!m_hWnd) return 1;
        GotoControl(next, 1);
        m_nFocusField = EnableEdits(next);
        return 1;
    }
    case ControlKind::CheckBox:
    case ControlKind::Radio:
        SaveField(1, 0, n);
        if (m_hWnd) m_nFocusField = EnableEdits(n);
        return 1;
    default: return OnDropButton(n, control);
    }
}

LRESULT CChildDialog::OnDiagSetFocus(WPARAM wParam, LPARAM lParam) {
    if (m_session.Execute(line::kCurrentDialog) != m_strFormName || !::IsWindowEnabled(m_hWnd) ||
        !::IsWindowVisible(m_hWnd))
        return 0;
    HWND field = FieldControl(m_nCurrentField);
    if (field && ::IsWindowVisible(field)) {
        ::SetFocus(field);
        return 1;
    }
    if (HWND grid = GetDlgItem(0x1800)) {
        ::EnableWindow(grid, TRUE);
        auto* cells = dynamic_cast<IFormGrid*>(CWnd::FromHandlePermanent(grid));
        if (wParam == 0) {
            int column = vorlan::NumberOf(m_session.Execute(line::kGridColumn).str());
            if (column != 0) --column;
            int row = vorlan::NumberOf(m_session.Execute(line::kGridRow).str());
            if (row != 0) row = row - 1 + (cells ? cells->GetFixedRowCount() : 0);
            SendGrid(static_cast<WPARAM>(row), column);
            return 0;
        }
        std::string request = m_session.Execute(line::kTakeCaretRequest).str();
        if (request.empty()) {
            SendGrid(wParam, static_cast<LPARAM>(wParam));
            return 0;
        }
        int p[4];
        for (int i = 0; i < 4; ++i)
            p[i] = vorlan::NumberOf(vorlan::PieceOf(request, i + 1));
        if (p[2] != 0 && cells) cells->SetFocusCell(p[2] - 1, p[3] - 1);
        SendGrid(static_cast<WPARAM>(p[1]), p[0]);
        return 0;
    }
    if (HWND list = GetDlgItem(kRecordExplorerId)) {
        ::SetFocus(list);
        return 0;
    }
    ::PostMessageA(Frame(), WM_COMMAND, lParam == 0 ? ID_FORM_OK : ID_FORM_CLOSE, 0);
    return 0;
}

LRESULT CChildDialog::OnRepeatDialog(WPARAM wParam, LPARAM lParam) {
    ::SendMessageA(Frame(), WM_ACTIVATEDIALOG, reinterpret_cast<WPARAM>(m_hWnd), 0);
    if (!m_hWnd) return 1;
    if (wParam) {
        ReinitDialog();
        m_session.Execute(line::kExecuteKill);
    } else {
        std::string tab = FrameTabText();
        if (tab.empty())
            m_session.Execute(line::kExecuteKill);
        else if (tab[0] == '*')
            m_session.Execute(line::kKillNew);
        else
            m_session.Execute(vorlan::KillTabLine(tab));
    }
    m_session.Execute(vorlan::SetDialogLine(m_strFormName.str()));
    ::SendMessageA(Frame(), WM_DIALOGINIT, static_cast<WPARAM>(m_nTabIndex), 0);
    if (!m_hWnd) return 1;
    std::string next = m_session.Execute(line::kTakeSubDialogAndError).str();
    if (!next.empty() && ::GetDlgCtrlID(m_hWnd) < 0x8000) {
        while (!next.empty() && m_hWnd) {
            if (CallSubDialog(next.c_str(), 0, 0) != ID_FORM_OK) {
                if (m_hWnd) TestABLF3();
                break;
            }
            if (RunPendingAction() && !m_session.Execute(line::kErrorExists).IsEmpty()) break;
            next = m_session.Execute(line::kTakeSubDialogAndError).str();
        }
        if (m_hWnd) ::SendMessageA(Frame(), WM_DIALOGSTOP, 0, 0);
        return 1;
    }
    m_session.Execute(vorlan::InitScreenLine(m_strDescription.str(), m_strFormName.str()));
    CreateControls(1);
    if (!m_hWnd) return 1;
    // The screen's init gave it its title again; the steps before may have left another form's
    // (a sub-dialog's variables are laid over the opener's), which the frame still shows.
    ShowTitle();
    int start = vorlan::NumberOf(m_session.Execute(line::kTakeStartField).str());
    m_nCurrentField = EnableEdits(start == 0 ? 1 : start);
    if (lParam) OnDiagSetFocus(0, 0);
    return 1;
}

LRESULT CChildDialog::OnSearchString(char* text, int* caret) {
    if (!text) return 0;
    std::string routine, search;
    if (!caret) {
        routine = m_session.Execute(line::kReplaceRoutine).str();
        search = text;
    } else {
        routine = m_session.Execute(line::kSearchRoutine).str();
        if (!routine.empty()) {
            vorlan::SearchWord word = vorlan::SearchWordAt(text, *caret);
            search = word.word;
            *caret = word.selStart;
            if (m_hCurrentControl)
                ::SendMessageA(m_hCurrentControl, EM_SETSEL, static_cast<WPARAM>(word.selStart),
                               static_cast<LPARAM>(word.selEnd));
        }
    }
    if (routine.empty() || search.empty()) return 0;
    if (!vorlan::IsRoutineRef(routine)) {
        vorlan::WriteProtocol("CChildDialog::WindowProc - no routine: %s", vorlan::kLogNote, routine.c_str());
        return 0;
    }
    SetTextBoxCoord();
    ::SetFocus(m_hWnd);
    bool errorSet = m_session.Execute(vorlan::SearchLine(search, routine)) == "1";
    TestforEvent(0xFFFF);
    ExecuteDDN(nullptr);
    TestforEvent(0xFFFF);
    m_nListField = 0;
    return errorSet ? 0 : 1;
}
