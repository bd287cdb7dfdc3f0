#include "services/WordForms.h"

#include "app/ProtocolLog.h"
#include "framework/App.h"
#include "framework/FileDialog.h"
#include "framework/ShellFiles.h"
#include "framework/Wnd.h"
#include "resources/ServiceIds.h"
#include "services/ExtrasSetting.h"

namespace vorlan {

int OpenWordForm() {
    TraceFunction("CChildDialog::OpenWord");
    CString folder = getExtrasSetting("WORDPATH");
    CWinApp* app = AfxGetApp();
    if (folder.IsEmpty() && app) folder = app->GetProfileString("Settings", "WordFormsFilePath", "");
    CString title, filter;
    title.LoadString(IDS_WORD_OPEN_TITLE);
    filter.LoadString(IDS_WORD_FILTER);
    filter += " (*.rtf)|*.rtf||";
    HWND main = app && app->m_pMainWnd ? app->m_pMainWnd->m_hWnd : nullptr;
    CFileDialog dialog(true, nullptr, nullptr, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY, filter, main);
    dialog.SetTitle(title);
    if (!folder.IsEmpty()) dialog.SetInitialFolder(folder);
    if (dialog.DoModal() != IDOK) return 0;
    // Shown as the user opened it: a hidden form could be neither seen nor closed.
    fw::CShellProcess process;
    if (!fw::ShellExecuteProcess(main, "open", dialog.GetPathName().str(), std::string(), folder.str(),
                                 SW_SHOWNORMAL, process))
        WriteProtocol("CChildDialog::OpenWord - not opened: %s", kLogNote, dialog.GetPathName().c_str());
    if (main) ::CloseWindow(main);
    return 1;
}

} // namespace vorlan
