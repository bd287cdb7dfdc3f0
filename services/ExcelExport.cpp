#include "services/ExcelExport.h"

#include "app/ProtocolLog.h"
#include "framework/App.h"
#include "framework/Dialog.h"
#include "framework/FileDialog.h"
#include "framework/StatusDialog.h"
#include "resources/PrintIds.h"
#include "resources/ServiceIds.h"
#include "services/ExcelDispatch.h"
#include "services/ExcelLogic.h"

#include <memory>
#include <optional>

namespace vorlan {

namespace {

const char* const kProgIds[] = {"Excel.Application.8", "Excel.Application.5", "Excel.Application"};

std::string LoadText(UINT id) {
    CString s;
    s.LoadString(id);
    return s.str();
}

std::string Formatted(UINT id, const std::string& first, const std::string& second = std::string()) {
    CString s;
    s.FormatId(id, first.c_str(), second.c_str());
    return s.str();
}

std::string FullPath(const std::string& path) {
    char full[MAX_PATH * 2];
    DWORD n = ::GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    return n > 0 && n < sizeof full ? std::string(full, n) : path;
}

bool SamePath(const std::string& a, const std::string& b) {
    return !a.empty() && !b.empty() && ::lstrcmpiA(FullPath(a).c_str(), FullPath(b).c_str()) == 0;
}

bool Exists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A job ends early; the run goes on with the next one.
struct SkipJob {};

class CExcelRun {
  public:
    CExcelRun(const ExcelRequest& request, bool openOnly, bool prepared)
        : m_request(request), m_bOpenOnly(openOnly), m_bPrepared(prepared && !openOnly),
          m_bFill(!openOnly && !prepared) {}
    CExcelRun(const CExcelRun&) = delete;
    CExcelRun& operator=(const CExcelRun&) = delete;

    int Run();

  private:
    std::string Execute(const std::string& line) { return m_request.execute(line); }
    bool StartExcel();
    void ShowStatus(const std::string& text);
    // The workbook of the job, or false when the user cancelled the file dialog.
    bool ChoosePath(const std::string& name, std::string& path);
    void RunJob(const std::string& path, const std::string& save, const std::string& sheet, bool moreSheets);
    void FillSheet(CExcelDispatch& sheet, const std::string& path, const std::string& sheetName);
    void WriteCellList(CExcelDispatch& sheet);
    void SaveWorkbook(CExcelDispatch& book, const std::string& path, const std::string& save);
    void HandToUser();

    const ExcelRequest& m_request;
    const bool m_bOpenOnly, m_bPrepared, m_bFill;
    CComScope m_com; // COM for the run, if nobody has it
    CExcelDispatch m_app;
    CExcelDispatch m_books;
    std::string m_folder;
    std::string m_filter;
    int m_nTempCounter = 1;
    bool m_bLeftOpen = false;
    std::unique_ptr<CStatusDialog> m_status;
};

bool CExcelRun::StartExcel() {
    for (const char* progId : kProgIds)
        if (m_app.CreateDispatch(progId)) {
            WriteProtocol("CChildDialog::SendToExcel - %s", kLogNote, progId);
            return true;
        }
    return false;
}

void CExcelRun::ShowStatus(const std::string& text) {
    if (m_status) m_status->SetText(IDC_PRINT_STATUS_TEXT, text.c_str());
}

bool CExcelRun::ChoosePath(const std::string& name, std::string& path) {
    if (!m_bOpenOnly && !(m_bFill && name.empty())) {
        path = ResolveAgainst(m_folder, name);
        return true;
    }
    CFileDialog dialog(true, nullptr, nullptr, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY, m_filter.c_str(),
                       m_request.owner);
    dialog.SetTitle(LoadText(IDS_EXCEL_OPEN_TITLE).c_str());
    if (!m_folder.empty()) dialog.SetInitialFolder(m_folder.c_str());
    if (dialog.DoModal() != IDOK) return false;
    path = dialog.GetPathName().str();
    return true;
}

int CExcelRun::Run() {
    TraceFunction("CChildDialog::SendToExcel");
    if (m_bFill && Execute(excel::kDataExists) != "1") return 0;
    if (!StartExcel()) {
        AfxMessageBox(IDS_EXCEL_NOT_INSTALLED, MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    CWinApp* app = AfxGetApp();
    // No process-wide current folder: relative names resolve against the template folder.
    m_folder = app ? app->GetProfileString("Settings", "ExcelFormsFilePath", "").str() : std::string();
    try {
        m_books.AttachDispatch(m_app.Workbooks());
    } catch (const CDispatchException& e) {
        WriteProtocol("CChildDialog::SendToExcel - no workbooks: %s", kLogNote, e.what());
        return 0;
    }
    if (!m_bOpenOnly) {
        m_status = std::make_unique<CStatusDialog>(IDD_PRINT_STATUS, m_request.owner);
        ShowStatus(LoadText(IDS_EXCEL_STARTING));
    }
    CWaitCursor wait;
    m_filter = LoadText(IDS_EXCEL_FILTER) + " (*.xls;*.xlsx)|*.xls;*.xlsx||";
    if (m_bFill) Execute(excel::kFirstJob);
    for (;;) {
        std::string name, save, sheet;
        bool moreSheets = false;
        if (m_bFill) {
            if (Execute(excel::kJobExists) != "1") break;
            name = Execute(excel::kJobName);
            save = Execute(excel::kJobSave);
            sheet = Execute(excel::kJobSheet);
            moreSheets = !Execute(excel::kFirstMap).empty();
        }
        std::string path;
        if (!ChoosePath(name, path)) {
            // A workbook of an earlier job must not stay behind in a hidden Excel.
            if (m_bLeftOpen) HandToUser();
            return 0;
        }
        RunJob(path, save, sheet, moreSheets);
        if (!m_bFill) break;
        Execute(excel::kNextJob);
    }
    if (m_bFill && !m_bLeftOpen) {
        try {
            m_app.Quit();
        } catch (const CDispatchException& e) {
            WriteProtocol("CChildDialog::SendToExcel - Quit: %s", kLogNote, e.what());
        }
    } else {
        HandToUser();
    }
    if (m_bFill) Execute(excel::kKillFill);
    return 1;
}

void CExcelRun::RunJob(const std::string& path, const std::string& save, const std::string& sheet,
                       bool moreSheets) {
    const std::string savePath = save.empty() ? std::string() : ResolveAgainst(m_folder, save);
    CExcelDispatch book;
    try {
        if (m_bPrepared) {
            Execute(excel::kRunPrintRoutine);
            book.AttachDispatch(m_books.Add(CExcelDispatch::Missing()));
        } else {
            bool readOnly = !m_bOpenOnly && !SamePath(savePath, path);
            book.AttachDispatch(m_books.Open(path.c_str(), CExcelDispatch::Bool(readOnly)));
        }
    } catch (const CDispatchException& e) {
        if (!e.m_strDescription.IsEmpty()) AfxMessageBox(e.what(), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    try {
        for (;;) {
            std::string sheetName = moreSheets ? Execute(excel::kMapSheet) : sheet;
            CExcelDispatch ws;
            try {
                if (sheetName.empty()) {
                    ws.AttachDispatch(book.ActiveSheet());
                } else {
                    CExcelDispatch sheets;
                    sheets.AttachDispatch(book.Worksheets());
                    ws.AttachDispatch(sheets.Item(CVariant(sheetName.c_str())));
                }
            } catch (const CDispatchException&) {
                AfxMessageBox(Formatted(IDS_EXCEL_NO_SHEET, path, sheetName).c_str(),
                              MB_OK | MB_ICONEXCLAMATION);
                book.Close(CExcelDispatch::Bool(false));
                return;
            }
            if (m_bOpenOnly) return;
            if (m_bPrepared) {
                WriteCellList(ws);
                return;
            }
            FillSheet(ws, path, sheetName);
            if (!moreSheets || Execute(excel::kNextMap).empty()) break;
        }
        SaveWorkbook(book, path, savePath);
    } catch (const CDispatchException& e) {
        // Whatever else Excel refuses ends this job with its reason.
        AfxMessageBox(e.what(), MB_OK | MB_ICONEXCLAMATION);
    }
}

void CExcelRun::FillSheet(CExcelDispatch& ws, const std::string& path, const std::string& sheetName) {
    std::string shownName = ws.GetName().str();
    ShowStatus(Formatted(IDS_EXCEL_FILLING, shownName));
    CExcelDispatch a1;
    a1.AttachDispatch(ws.Range("A1", "A1"));
    std::optional<FillArea> area = ParseFillArea(a1.GetFormulaR1C1().ToString().str());
    if (!area) {
        AfxMessageBox(Formatted(IDS_EXCEL_BAD_AREA, path, sheetName.empty() ? shownName : sheetName).c_str(),
                      MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    a1.ClearContents();
    for (int column = 1; column <= area->columns; ++column) {
        for (int row = 1; row <= area->rows; ++row) {
            std::string name = CellName(column, row);
            CExcelDispatch cell;
            cell.AttachDispatch(ws.Range(name.c_str(), name.c_str()));
            std::optional<Marker> marker = ParseMarker(cell.GetFormulaR1C1().ToString().str());
            if (!marker) continue;
            std::string line = MarkerLine(*marker);
            if (line.empty()) continue;
            CellValue value = MarkerValue(*marker, Execute(line));
            cell.SetFormulaR1C1(value.number ? CExcelDispatch::Double(value.value)
                                             : CVariant(value.text.c_str()));
        }
    }
}

void CExcelRun::WriteCellList(CExcelDispatch& ws) {
    try {
        ws.SetName(("VORLAN - " + Execute(excel::kMemo)).c_str());
    } catch (const CDispatchException& e) {
        // A memo Excel takes no sheet name from: the sheet keeps its own, the cells still go in.
        WriteProtocol("CChildDialog::SendToExcel - sheet name: %s", kLogNote, e.what());
    }
    Execute(excel::kFirstCell);
    for (std::string cell; !(cell = Execute(excel::kNextCell)).empty();) {
        CellValue value = ListValue(Execute(excel::CellValueLine(cell)), Execute(excel::CellFlagLine(cell)));
        CExcelDispatch range;
        try {
            range.AttachDispatch(ws.Range(cell.c_str(), cell.c_str()));
        } catch (const CDispatchException& e) {
            // Not a cell name: the rest of the list still goes in.
            WriteProtocol("CChildDialog::SendToExcel - cell %s: %s", kLogNote, cell.c_str(), e.what());
            continue;
        }
        range.SetFormulaR1C1(value.number ? CExcelDispatch::Double(value.value)
                                          : CVariant(value.text.c_str()));
    }
}

void CExcelRun::SaveWorkbook(CExcelDispatch& book, const std::string& path, const std::string& save) {
    if (!save.empty()) {
        if (SamePath(save, path))
            book.Save();
        else
            book.SaveCopyAs(save.c_str());
        book.Close(CExcelDispatch::Bool(false));
        return;
    }
    char temp[MAX_PATH] = "";
    ::GetTempPathA(sizeof temp, temp);
    std::string bookName = book.GetName().str();
    std::string target;
    // A number whose name is taken is skipped: nothing of an earlier run is overwritten.
    do
        target = TemporaryWorkbookName(temp, m_nTempCounter++, bookName);
    while (Exists(target) && m_nTempCounter < 10000);
    book.SaveAs(target.c_str());
    m_bLeftOpen = true;
}

void CExcelRun::HandToUser() {
    try {
        m_app.SetVisible(true);
        m_app.SetUserControl(true);
    } catch (const CDispatchException& e) {
        WriteProtocol("CChildDialog::SendToExcel - visible: %s", kLogNote, e.what());
    }
}

} // namespace

int SendToExcel(const ExcelRequest& request, bool openOnly, bool prepared) {
    CExcelRun run(request, openOnly, prepared);
    return run.Run();
}

} // namespace vorlan
