#include "forms/PrintForm.h"

#include "app/ProtocolLog.h"
#include "app/Session.h"
#include "forms/ChildDialog.h"
#include "forms/PrintFormLogic.h"
#include "framework/App.h"
#include "framework/Print.h"
#include "framework/Registry.h"
#include "framework/ShellFiles.h"
#include "framework/Wnd.h"
#include "services/AutoWord.h"
#include "services/ExtrasSetting.h"
#include "services/FormularGen.h"
#include "tools/FileDropTarget.h"

#include <functional>
#include <string>
#include <vector>

namespace pf = vorlan::printform;

namespace {

const char kWordOptions[] = "Software\\Microsoft\\Office\\8.0\\Word\\Options";
const char kFaxNumberKey[] = "Software\\AVM\\FRITZ! 2.0\\Fax";
const char kFaxTitlesKey[] = "Software\\VB and VBA Program Settings\\FRITZ!fax\\Print";
const char kViewerClass[] = "WrdVwrApp";
constexpr WPARAM kViewerPrint = 88;
// How long the viewer may take to show its window before its print command.
constexpr DWORD kViewerWaitMs = 20000;
constexpr size_t kMaxDocuments = 512;

fw::RegSavedValue RegText(const std::string& text) {
    return {true, REG_SZ, std::string(text.c_str(), text.size() + 1)};
}

std::string FolderOf(const std::string& path) {
    size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string TemporaryFolder() {
    char buffer[MAX_PATH + 1] = {};
    DWORD n = ::GetTempPathA(sizeof buffer, buffer);
    return n && n < sizeof buffer ? pf::WithBackslash(buffer) : std::string();
}

// A name in the temporary folder that no program holds open: a document still shown from an
// earlier print is never overwritten.
std::string FreeTemporaryName(const std::string& folder) {
    for (int n = 1; n <= pf::kProbeNames; ++n) {
        std::string path = folder + pf::ProbeName(n);
        HANDLE probe = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                     nullptr);
        if (probe == INVALID_HANDLE_VALUE) continue;
        ::CloseHandle(probe);
        ::DeleteFileA(path.c_str());
        return path;
    }
    return folder + pf::ProbeName(pf::kProbeNames);
}

struct ViewerSearch {
    DWORD process;
    HWND found = nullptr;
    HWND any = nullptr;
};

BOOL CALLBACK FindViewerStep(HWND window, LPARAM param) {
    auto* s = reinterpret_cast<ViewerSearch*>(param);
    char name[32] = {};
    ::GetClassNameA(window, name, sizeof name);
    if (std::string(name) != kViewerClass) return TRUE;
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (s->process && owner == s->process) {
        s->found = window;
        return FALSE;
    }
    if (!s->any) s->any = window;
    return TRUE;
}

// The viewer's top-level window, the one of the process just started when it has one.
HWND FindViewerWindow(DWORD process) {
    ViewerSearch search{process};
    ::EnumWindows(FindViewerStep, reinterpret_cast<LPARAM>(&search));
    return search.found ? search.found : search.any;
}

// One print job of the form printer.
class CFormPrinter {
  public:
    CFormPrinter(CWnd* form, const std::string& command, fw::CShellProcess& launch)
        : m_pForm(form), m_command(command), m_launch(launch), m_kind(pf::KindOf(command)) {}
    int Run();

  private:
    std::string M(const std::string& line) { return TheSession().Execute(line).str(); }
    void Say(const std::string& text) { AfxMessageBox(text.c_str(), MB_OK); }
    HWND MainWindow() const {
        CWinApp* app = AfxGetApp();
        return app && app->m_pMainWnd ? app->m_pMainWnd->m_hWnd : nullptr;
    }
    void ActivateMain() {
        if (HWND main = MainWindow()) ::SetActiveWindow(main);
    }
    bool Refused();
    bool PlaceOutput();
    bool FitsPath(const std::string& path);
    void Serve(const std::string& path, int position);
    void Rounds(const std::function<bool()>& round);
    void SaveAsPdf(const std::string& path);
    void View(const std::string& path);
    void Open(const std::string& path);
    void Print(const std::string& path, int position);
    void Fax(const std::string& path);
    // The document to the printer that is the default now, then SLEEP.
    void HandToPrinter(const std::string& path, CDefaultPrinterSwap& swap);
    bool PrintThroughWord(const std::string& path, CAutoWord& word);
    void PrintThroughViewer(const std::string& path);
    bool Use(CDefaultPrinterSwap& swap, const std::string& printer);

    CWnd* m_pForm;
    std::string m_command;
    fw::CShellProcess& m_launch;
    pf::Kind m_kind;
    pf::JobOptions m_options;
    std::string m_viewer, m_folder, m_templates, m_path;
    bool m_makeFolder = false;
};

int CFormPrinter::Run() {
    vorlan::WriteProtocol(("CChildDialog::PrintForm - " + m_command).c_str(), vorlan::kLogTrace);
    m_launch.Close();
    m_options = pf::ReadJobOptions([this](const std::string& line) { return M(line); });
    if (Refused()) return 0;
    CString viewer;
    if (CWinApp* app = AfxGetApp()) app->GetWordViewPath(viewer);
    m_viewer = viewer.str();
    if (!PlaceOutput()) return 0;
    std::string prefix = M(pf::line::kFormPrefix);
    M(pf::line::kFormName);
    CFormularGen gen(m_pForm, m_options.layoutOnly ? 1 : 0, m_options.filter.c_str());
    std::vector<std::string> names;
    if (gen.Generate(prefix.c_str(), 1, m_templates.c_str(), m_options.onePerPart, names)) return 0;
    M(pf::line::kRunPrintRoutine);
    if (m_kind == pf::Kind::MergeOnly) return 1;
    // Relative names lie beside the templates, found only now; the folder is made there.
    m_path = gen.Resolve(m_path);
    if (!FitsPath(m_path)) return 0;
    if (m_makeFolder) CFileDropTarget::MakeDirectory(gen.Resolve(m_folder).c_str());
    if (gen.Generate(prefix.c_str(), 0, m_path.c_str(), m_options.onePerPart, names)) return 0;
    for (size_t i = 0; i < names.size() && i < kMaxDocuments && !names[i].empty(); ++i)
        Serve(names[i], static_cast<int>(i) + 1);
    return 1;
}

bool CFormPrinter::Refused() {
    if (m_kind == pf::Kind::Fax) {
        m_options.onePerPart = true;
        if (!pf::Exists(M(pf::line::kFaxDirExists))) {
            Say(pf::text::kFaxNotAllowed);
            return true;
        }
        m_options.dir = pf::WithBackslash(M(pf::line::kFaxDir));
        if (m_options.dir.empty()) {
            Say(pf::text::kNoFaxFolder);
            return true;
        }
    }
    if (m_kind == pf::Kind::Refused) {
        Say(pf::text::kNotEnabled);
        return true;
    }
    return false;
}

bool CFormPrinter::FitsPath(const std::string& path) {
    if (path.size() <= pf::kMaxPath) return true;
    Say(pf::PathTooLongText(path));
    return false;
}

bool CFormPrinter::PlaceOutput() {
    switch (pf::OutputFolderOf(m_options.dir, m_options.local, m_options.onePerPart)) {
    case pf::OutputFolder::Given: {
        char translated[MAX_PATH] = {};
        if (!CFileDropTarget::TranslateDirectory(m_options.dir.c_str(), translated)) {
            Say(pf::PathTooLongText(m_options.dir));
            return false;
        }
        m_folder = pf::WithBackslash(translated);
        m_makeFolder = true;
        break;
    }
    case pf::OutputFolder::ProgramFolder: m_folder = FolderOf(fw::ProgramPath()); break;
    case pf::OutputFolder::Temporary: m_folder = TemporaryFolder(); break;
    case pf::OutputFolder::AsGiven: m_folder = m_options.dir; break;
    }
    std::string user, profile;
    if (m_options.loadDir.empty()) user = getExtrasSetting("WORDPATH").str();
    if (m_options.loadDir.empty() && user.empty())
        if (CWinApp* app = AfxGetApp()) profile = app->GetProfileString("Settings", "WordFormsFilePath", "").str();
    m_templates = pf::TemplateFolderOf(m_options.loadDir, user, profile);
    if (!FitsPath(m_folder) || !FitsPath(m_templates)) return false;
    m_path = pf::OutputPathOf(m_folder, m_options.name, m_options.onePerPart);
    if (m_options.name.empty() && !m_options.onePerPart) m_path = FreeTemporaryName(TemporaryFolder());
    return FitsPath(m_path);
}

void CFormPrinter::Serve(const std::string& path, int position) {
    switch (m_kind) {
    case pf::Kind::View:
        if (pf::Exists(M(pf::line::kPdfForm)))
            SaveAsPdf(path);
        else if (!m_viewer.empty())
            View(path);
        else
            Open(path);
        break;
    case pf::Kind::Open:
        if (pf::Exists(M(pf::line::kPdfForm)))
            SaveAsPdf(path);
        else
            Open(path);
        break;
    case pf::Kind::Pdf: SaveAsPdf(path); break;
    case pf::Kind::Print: Print(path, position); break;
    case pf::Kind::Fax: Fax(path); break;
    default: break;
    }
}

void CFormPrinter::Rounds(const std::function<bool()>& round) {
    int rounds = pf::RoundsOf(m_options.print);
    for (int i = 0; i < rounds; ++i) {
        bool wait = !M(pf::line::kWait).empty();
        if (wait && i > 0) Say(pf::text::kContinue);
        if (!round()) break;
    }
}

void CFormPrinter::SaveAsPdf(const std::string& path) {
    CAutoWord word;
    if (word.StartWord() != 0) {
        Say(pf::text::kNoWord);
        return;
    }
    std::string pdf = pf::PdfPathOf(path);
    Rounds([&] {
        int result = word.SaveDocumentAs(path.c_str(), pdf.c_str());
        if (result == 0) {
            fw::CShellProcess shown;
            fw::ShellExecuteProcess(MainWindow(), "open", pdf, std::string(), std::string(), SW_SHOWNORMAL, shown);
            return true;
        }
        Say(result == -1 ? pf::text::kNotOpened + path : std::string(pf::text::kNotSaved));
        return false;
    });
    word.QuitWord();
}

void CFormPrinter::View(const std::string& path) {
    fw::ShellExecuteProcess(MainWindow(), "open", m_viewer, "\"" + pf::FileNameOf(path) + "\"", FolderOf(path),
                            SW_SHOW, m_launch);
    ActivateMain();
}

void CFormPrinter::Open(const std::string& path) {
    fw::ShellExecuteProcess(MainWindow(), nullptr, path, std::string(), std::string(), SW_SHOWNORMAL, m_launch);
    ActivateMain();
}

bool CFormPrinter::Use(CDefaultPrinterSwap& swap, const std::string& printer) {
    if (printer.empty() || swap.Use(printer)) return true;
    Say(pf::PrinterRefusedText(printer));
    return false;
}

void CFormPrinter::Print(const std::string& path, int position) {
    std::string printer = M(pf::FilePrinterLine(position));
    std::string general = M(pf::line::kPrinter);
    // The printer for every document wins over the one for this document.
    if (!general.empty()) printer = general;
    CDefaultPrinterSwap swap;
    if (!Use(swap, printer)) return;
    HandToPrinter(path, swap);
}

void CFormPrinter::Fax(const std::string& path) {
    std::string number = pf::FaxNumberOf(path);
    if (!pf::HasDigit(number)) {
        Say(pf::NoFaxNumberText(path));
        return;
    }
    if (!M(pf::line::kFaxNoCheck).empty()) {
        std::string title = pf::FaxTitleOf(pf::FileNameOf(path), !M(pf::line::kFaxWord).empty());
        fw::RegPutValue(HKEY_CURRENT_USER, kFaxTitlesKey, title.c_str(), RegText(number));
    }
    fw::RegPutValue(HKEY_CURRENT_USER, kFaxNumberKey, "Rufnummer", RegText(number));
    CDefaultPrinterSwap swap;
    if (!Use(swap, M(pf::line::kFaxPrinter))) return;
    HandToPrinter(path, swap);
}

void CFormPrinter::HandToPrinter(const std::string& path, CDefaultPrinterSwap& swap) {
    CAutoWord word;
    if (pf::Exists(M(pf::line::kPrintWord))) {
        fw::ShellExecuteProcess(MainWindow(), "print", path, std::string(), std::string(), SW_SHOWNORMAL, m_launch);
    } else if (word.StartWord() == 0) {
        Rounds([&] { return PrintThroughWord(path, word); });
    } else if (!m_viewer.empty()) {
        PrintThroughViewer(path);
    } else {
        Say(pf::text::kNoWord);
    }
    ::Sleep(static_cast<DWORD>(m_options.sleepMs));
    swap.Restore();
    word.QuitWord();
}

bool CFormPrinter::PrintThroughWord(const std::string& path, CAutoWord& word) {
    int result = word.PrintDocument(path.c_str());
    if (result == 0) return true;
    Say(result == -1 ? pf::text::kNotOpened + path : std::string(pf::text::kNotPrinted));
    return false;
}

void CFormPrinter::PrintThroughViewer(const std::string& path) {
    // The viewer prints in the foreground, so that closing it right after does not cancel.
    fw::RegSavedValue saved = fw::RegSaveValue(HKEY_CURRENT_USER, kWordOptions, "BackgroundPrint", 128);
    fw::RegPutValue(HKEY_CURRENT_USER, kWordOptions, "BackgroundPrint", RegText("0"));
    fw::ShellExecuteProcess(MainWindow(), "open", m_viewer, "\"" + path + "\"", m_folder, SW_SHOWMINIMIZED,
                            m_launch);
    DWORD process = m_launch.Handle() ? ::GetProcessId(m_launch.Handle()) : 0;
    HWND window = nullptr;
    for (DWORD waited = 0; !(window = FindViewerWindow(process)) && waited < kViewerWaitMs; waited += 100)
        ::Sleep(100);
    if (window) {
        ::SetForegroundWindow(window);
        ::SendMessageA(window, WM_COMMAND, kViewerPrint, 0);
        ::SendMessageA(window, WM_CLOSE, 0, 0);
    } else {
        Say(pf::NoViewerWindowText(path));
    }
    fw::RegRestoreValue(HKEY_CURRENT_USER, kWordOptions, "BackgroundPrint", saved);
}

} // namespace

namespace vorlan {

int PrintForm(CWnd* form, const std::string& command, fw::CShellProcess& launch) {
    return CFormPrinter(form, command, launch).Run();
}

void PrintFormOf(HWND form, const std::string& device) {
    fw::CShellProcess launch;
    if (auto* dialog = dynamic_cast<CChildDialog*>(CWnd::FromHandlePermanent(form)))
        dialog->PrintForm(device.c_str(), launch);
    else
        PrintForm(nullptr, device, launch);
}

} // namespace vorlan

int CChildDialog::PrintForm(const char* command, fw::CShellProcess& launch) {
    return vorlan::PrintForm(this, command ? command : "", launch);
}
