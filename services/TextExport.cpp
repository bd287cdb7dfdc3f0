#include "services/TextExport.h"

#include "app/ProtocolLog.h"
#include "app/Session.h"
#include "framework/App.h"
#include "framework/FileDialog.h"
#include "framework/FileHandle.h"
#include "framework/StatusDialog.h"
#include "resources/PrintChoiceIds.h"
#include "resources/PrintIds.h"
#include "services/PrintListLogic.h"
#include "services/TextExportLogic.h"

#include <string>

namespace vorlan {

namespace {

std::string LoadText(UINT id) {
    CString text;
    text.LoadString(id);
    return text.str();
}

void SayNotWritten(const std::string& path) {
    std::string text = "Die Datei " + path + " konnte nicht geschrieben werden.";
    AfxMessageBox(text.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

void SayUnended(const std::string& path) {
    std::string text = "Die Ausgabe des Servers endet nicht: nach " + std::to_string(kListEmptyRunLimit) +
                       " leeren Zeilen wurde das Schreiben der Datei " + path + " abgebrochen.";
    AfxMessageBox(text.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

void SayIncomplete(const std::string& path) {
    std::string text = "Der Server meldete einen Fehler: die Datei " + path + " ist unvollst\xE4ndig.";
    AfxMessageBox(text.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

} // namespace

int SendToFile(HWND form) {
    TraceFunction("CChildDialog::SendToFile");
    CSession& session = TheSession();
    std::string suggested = ExportFileName(session.Execute(line::kReportTitle).str());
    std::string filter = LoadText(IDS_TEXT_FILE_FILTER) + " (*.txt)|*.txt||";
    CFileDialog dialog(false, "txt", suggested.c_str(), OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       filter.c_str(), form);
    CString folder;
    if (CWinApp* app = AfxGetApp()) folder = app->GetProfileString("Settings", "ExcelFormsFilePath", "");
    if (!folder.IsEmpty()) dialog.SetInitialFolder(folder.c_str());
    dialog.SetTitle(LoadText(IDS_TEXT_FILE_TITLE).c_str());
    if (dialog.DoModal() != IDOK) return 0;
    std::string path = dialog.GetPathName().str();

    int answer = AfxMessageBox(IDS_TEXT_FILE_FORM, MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer != IDYES && answer != IDNO) return 0;
    // Created before the routine runs: a file that cannot be written costs the server nothing.
    CFileHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen()) {
        SayNotWritten(path);
        return 0;
    }
    session.Execute(ExportFormLine(answer == IDYES));
    CStatusDialog status(IDD_PRINT_STATUS, form);
    status.SetText(IDC_PRINT_STATUS_TEXT, LoadText(IDS_TEXT_FILE_STATUS).c_str());
    session.Execute(line::kRunExportRoutine);
    ExportEnd end = ExportLines(
        [&session](const std::string& line) -> std::optional<std::string> {
            // Not silent: the user sees the server's error, then that the file stops there.
            std::string answer = session.Execute(line).str();
            if (session.LastError() != 0) return std::nullopt;
            return answer;
        },
        [&file](const std::string& text) {
            DWORD written = 0;
            return ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                   written == text.size();
        });
    if (end == ExportEnd::WriteFailed) SayNotWritten(path);
    if (end == ExportEnd::Unended) SayUnended(path);
    if (end == ExportEnd::ServerFailed) SayIncomplete(path);
    return end == ExportEnd::Done ? 1 : 0;
}

} // namespace vorlan
