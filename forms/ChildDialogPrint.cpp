// What follows a form's save step: the page save of Ctrl+Shift+Return, the server's chain
// of sub-dialogs, the print road and the follow-up list.
#include "forms/ChildDialog.h"

#include "app/ProtocolLog.h"
#include "app/Session.h"
#include "forms/FormFieldLogic.h"
#include "forms/FormMessages.h"
#include "forms/FormOutput.h"
#include "forms/PrintRoadLogic.h"
#include "framework/App.h"
#include "resources/MainFrameIds.h"
#include "resources/resource.h"
#include "services/ExcelExport.h"
#include "services/WordForms.h"
#include "services/HubLines.h"

#include <commctrl.h>

#include <string>

namespace line = vorlan::line;

bool CChildDialog::SaveAndSelectPreviousPage(LRESULT& result) {
    HWND frame = Frame();
    HWND tabs = ::GetDlgItem(frame, vorlan::kTabControlId);
    // The first page has no page before it: there the key is the F2 step.
    const int before = vorlan::TabItemOfPage(tabs, static_cast<UINT>(::GetDlgCtrlID(m_hWnd))) - 1;
    if (before < 0) return false;
    const LPARAM value = vorlan::TabItemValue(tabs, before);
    result = 1;
    if (SendMessage(WM_COMMAND, MAKEWPARAM(ID_FORM_OK, 0xFFFF), 0) && ::IsWindow(frame))
        ::SendMessageA(frame, WM_DIAGSELECTED, static_cast<WPARAM>(value), static_cast<LPARAM>(before));
    return true;
}

bool CChildDialog::RunSaveChain() {
    std::string next = m_session.Execute(line::kPendingSubDialog).str();
    while (!next.empty()) {
        m_session.Execute(line::kSubDialogWord);
        std::string path = m_session.Execute(line::kTakeSubDialogPath).str();
        if (!path.empty()) vorlan::FormOutput().OpenDocument(path);
        if (CallSubDialog(next.c_str(), 0, 0) != ID_FORM_OK) {
            if (m_hWnd) TestABLF3();
            return false;
        }
        if (!m_hWnd) return false;
        RunPendingAction();
        next = m_session.Execute(line::kPendingSubDialog).str();
    }
    return true;
}

void CChildDialog::PrintScreen(UINT id) {
    vorlan::TraceFunction("CChildDialog::PrintScreen");
    const std::string description = m_strDescription.str();
    std::string routine = m_session
                              .Execute(id == ID_FORM_PRINT ? vorlan::FormPrintLine(description)
                                                           : vorlan::PrintRoutineLine(description))
                              .str();
    if (!m_hWnd) return;
    vorlan::IFormOutput& output = vorlan::FormOutput();
    if (routine.empty() || m_session.Execute(line::kErrorExists) == "1") {
        // Excel is started only when the server left export data.
        if (m_session.Execute(line::kExcelDataExists) == "1") output.SendToExcel(m_hWnd, false, false);
        return;
    }
    std::string saved = m_session.Execute(line::kSavedDevice).str();
    if (m_session.Execute(line::kPrintBreak) == "1") {
        m_session.Execute(line::kKillPrintBreak);
        return;
    }
    // The form printer gets the saved device, else the one chosen, whose kind it reads.
    std::string device = saved;
    int code = saved.empty() ? output.ChoosePrinter(m_hWnd, device) : output.SetDevice(m_hWnd, saved);
    if (!m_hWnd) return;
    switch (vorlan::PrintStepOf(code)) {
    case vorlan::PrintStep::None: break;
    case vorlan::PrintStep::ListPrint: RunListPrint(); break;
    case vorlan::PrintStep::TextFile: output.SendToFile(m_hWnd); break;
    case vorlan::PrintStep::ListPrinter: output.PrintList(m_hWnd); break;
    case vorlan::PrintStep::FormPrinter: output.PrintForm(m_hWnd, device); break;
    case vorlan::PrintStep::Excel: output.SendToExcel(m_hWnd, false, true); break;
    case vorlan::PrintStep::Routine: {
        CWaitCursor wait;
        m_session.Execute(m_session.Execute(line::kOwnPrintRoutine) == "1" ? line::kRunPrintRoutine
                                                                           : line::kRunBatchPrint);
        break;
    }
    }
}

void CChildDialog::RunListPrint() {
    std::string routine = m_session.Execute(line::kListPrintRoutine).str();
    if (routine.empty()) {
        vorlan::FormOutput().ShowList(m_session.Execute(line::kListPrintText).str());
        return;
    }
    if (!vorlan::IsRoutineRef(routine)) {
        vorlan::WriteProtocol("CChildDialog::PrintScreen - no routine: %s", vorlan::kLogNote,
                              routine.c_str());
        return;
    }
    m_session.Execute(vorlan::DoLine(routine));
    if (m_hWnd) TestforEvent(0xFFFF);
}

bool CChildDialog::OpenFollowUpList() {
    m_session.Execute(line::kKillExcel);
    std::string routine = m_session.Execute(vorlan::ScrollNodeLine(m_strDescription.str(), 1)).str();
    if (routine.empty() || !m_hWnd) return false;
    if (!vorlan::IsRoutineRef(routine)) {
        vorlan::WriteProtocol("CChildDialog::OpenFollowUpList - no routine: %s", vorlan::kLogNote,
                              routine.c_str());
        return false;
    }
    std::string table = m_session.Execute(vorlan::ScrollRoutineLine(routine)).str();
    if (table.empty() || !m_hWnd) return false;
    OpenPopupList(table, 0xFFFF);
    return true;
}

int CChildDialog::SendToExcel(int openOnly, int prepared) {
    vorlan::ExcelRequest request;
    request.execute = [this](const std::string& line) { return m_session.Execute(line).str(); };
    request.owner = m_hWnd;
    return vorlan::SendToExcel(request, openOnly != 0, prepared != 0);
}

int CChildDialog::OpenWord() {
    return vorlan::OpenWordForm();
}
