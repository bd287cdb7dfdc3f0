// After every server step the form reads, in a fixed order, what the server changed and
// left for the workstation: title, requests, card reading, program start, web page, close
// flags and events for other windows.
#include "forms/ChildDialog.h"

#include "app/ProtocolLog.h"
#include "app/ReplyFields.h"
#include "app/Session.h"
#include "cards/CardTerminal.h"
#include "cards/ReadCard.h"
#include "forms/FormGlobals.h"
#include "resources/resource.h"
#include "forms/FormMessages.h"
#include "framework/App.h"
#include "framework/Thread.h"
#include "services/HubLines.h"
#include "services/RequestHub.h"
#include "tools/FileDropTarget.h"

#include <shellapi.h>

#include <algorithm>
#include <string>
#include <vector>

namespace line = vorlan::line;

namespace {

std::string SystemMessage(DWORD error) {
    char text[512] = {};
    DWORD n = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                               text, sizeof text, nullptr);
    std::string message(text, n);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r'))
        message.pop_back();
    return message;
}

} // namespace

void CChildDialog::TestAbl() {
    CRequestHub(m_session, *this).Run();
}

bool CChildDialog::TestforEvent(unsigned mask) {
    vorlan::TraceFunction("CChildDialog::TestforEvent");
    HWND frame = Frame();
    ::PostMessageA(frame, WM_CHECKFKEY, 0, 0);
    if (mask & 4) ShowTitle();
    if ((mask & 8) && HasGrid()) ApplyServerWidths();
    if (mask & 2) {
        TestAbl();
        if (!m_hWnd) return true;
        ReadCards();
        StartProgram();
        OpenWebPage();
    }
    bool autoClose = m_session.Execute(line::kTakeAutoClose) == "1";
    bool close = m_session.Execute(line::kTakeClose) == "1";
    SendEvents(autoClose, close);
    if (close) {
        ::SendMessageA(frame, WM_CLOSE, 0, 0);
        return true;
    }
    if (m_nFormId >= 0xC000) return true;
    return IsActiveFrame();
}

void CChildDialog::ReadCards() {
    int lines = vorlan::NumberOf(m_session.Execute(line::kCardLines).str());
    if (lines < 1) return;
    lines = std::min(lines, CReadCard::kMaxLines);
    int kind = vorlan::NumberOf(m_session.Execute(line::kCardKind).str());
    if (kind == 0 || kind == 1) {
        CReadCard reader(this, lines, kind);
        // Only a reading that ended well is handed over.
        if (reader.DoModal() == 1)
            for (int i = lines; i >= 1; --i)
                m_session.Execute(vorlan::CardResultLine(i, reader.GetLine(i)));
    } else if (kind >= 2 && kind <= 7) {
        CCardTerminal terminal(m_session);
        switch (kind) {
        case 2: OrgaRead(terminal); break;
        case 3: terminal.ReadCARDSTARPort(); break;
        case 4: terminal.ConnectCherry(); break;
        case 5: terminal.ReadCARDSTAR(); break;
        case 6: testSCR335(terminal); break;
        case 7: terminal.ConnectCherryST(); break;
        }
    } else {
        AfxMessageBox("Bitte stellen Sie ein Kartenlesegerät über [ZOZE] ein!", MB_OK | MB_ICONEXCLAMATION);
    }
    m_session.Execute(line::kCardRoutine);
}

void CChildDialog::OrgaRead(CCardTerminal& terminal) {
    vorlan::TraceFunction("CChildDialog::OrgaRead");
    terminal.OrgaRead();
}

void CChildDialog::testSCR335(CCardTerminal& terminal) {
    vorlan::TraceFunction("CChildDialog::testSCR335");
    terminal.TestSCR335();
}

void CChildDialog::StartProgram() {
    std::string path = m_session.Execute(line::kProgramPath).str();
    if (path.empty()) return;
    char translated[MAX_PATH] = {};
    bool pathFits = CFileDropTarget::TranslateDirectory(path.c_str(), translated);
    std::string parameters = m_session.Execute(line::kProgramParameters).str();
    std::string routine = m_session.Execute(line::kProgramRoutine).str();
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    // The shell's own error box would pass by the program's boxes: the form says it itself.
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.hwnd = MainWindow();
    info.lpFile = translated;
    info.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    info.nShow = SW_SHOWNORMAL;
    bool started = pathFits && ::ShellExecuteExA(&info);
    DWORD error = started ? 0 : ::GetLastError();
    if (!started) {
        vorlan::WriteProtocol("CChildDialog::TestforEvent - %s could not be started", vorlan::kLogNote,
                              pathFits ? translated : path.c_str());
        if (pathFits)
            AfxMessageBox((std::string(translated) + "\n\n" + SystemMessage(error)).c_str(),
                          MB_OK | MB_ICONSTOP);
    }
    m_session.Execute(line::kKillProgram);
    std::string exitCode;
    // Only a program is waited for: a folder opens in the shell's window, which may go on
    // for the whole session.
    DWORD attributes = pathFits ? ::GetFileAttributesA(translated) : INVALID_FILE_ATTRIBUTES;
    bool folder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    if (!routine.empty() && started && info.hProcess && !folder) {
        // A window of another thread that sends to us meanwhile must not hang.
        fw::WaitServingSentMessages(info.hProcess);
        DWORD code = 0;
        if (::GetExitCodeProcess(info.hProcess, &code)) exitCode = std::to_string(code);
    }
    if (info.hProcess) ::CloseHandle(info.hProcess);
    if (!routine.empty()) m_session.Execute(vorlan::ProgramExitLine(exitCode, routine));
}

void CChildDialog::OpenWebPage() {
    CString address = m_session.Execute(line::kWebAddress);
    if (address.IsEmpty()) return;
    ::SendMessageA(MainWindow(), WM_WEBBROWSER, reinterpret_cast<WPARAM>(address.c_str()), 1);
    m_session.Execute(line::kKillWeb);
}

void CChildDialog::SendEvents(bool autoClose, bool close) {
    if (m_session.Execute(line::kEventsExist) != "1") return;
    std::vector<vorlan::EventRecord> records;
    for (std::string name = m_session.Execute(vorlan::EventNextLine("")).str(); !name.empty();
         name = m_session.Execute(vorlan::EventNextLine(name)).str()) {
        vorlan::EventEntry e;
        e.name = name;
        e.vars = m_session.Execute(vorlan::EventValueLine(name, "VARS", false)).str();
        e.rowCol = m_session.Execute(vorlan::EventValueLine(name, "ROWCOL", false)).str();
        e.value = m_session.Execute(vorlan::EventValueLine(name)).str();
        std::string timer = m_session.Execute(vorlan::EventValueLine(name, "TIMER", true)).str();
        e.hasTimer = !timer.empty() && timer != "0";
        e.timerHasValue = timer == "1";
        e.stick = vorlan::NumberOf(m_session.Execute(vorlan::EventValueLine(name, "STICK", false)).str());
        if (e.hasTimer) e.hasEvent = m_session.Execute(vorlan::EventEventExistsLine(name)) != "0";
        e.close = vorlan::NumberOf(m_session.Execute(vorlan::EventCloseLine(name)).str());
        records.push_back(vorlan::MakeEventRecord(e));
        // Not even the name of an entry beyond the limit is read.
        if (static_cast<int>(records.size()) == vorlan::kMaxEvents) break;
    }
    // Entries beyond those read go with the rest.
    m_session.Execute(line::kKillEvents);
    if (records.empty()) return;

    m_session.Execute(line::kSaveCurrentVars);
    HWND frame = Frame();
    bool anyStick =
        std::any_of(records.begin(), records.end(), [](const vorlan::EventRecord& r) { return r.stick; });
    if (anyStick) ::LockWindowUpdate(MainWindow());
    for (auto it = records.rbegin(); it != records.rend(); ++it) {
        vorlan::TimerEventRecord record{it->list.c_str(), it->answer.c_str(), it->value.c_str(), it->create,
                                        it->run,          it->command,        it->stick};
        HWND answering = reinterpret_cast<HWND>(
            ::SendMessageA(frame, WM_TIMEREVENT, 0, reinterpret_cast<LPARAM>(&record)));
        if (!answering || !(autoClose || it->stick)) continue;
        // The frame that opened a window closes it when it goes itself.
        if (!close) vorlan::SetOpener(answering, frame);
        if (it->stick && answering != frame) {
            ::SendMessageA(answering, WM_STICKWINDOW, static_cast<WPARAM>(it->stick | 0x200),
                           reinterpret_cast<LPARAM>(frame));
            ::SendMessageA(frame, WM_STICKWINDOW, static_cast<WPARAM>(it->stick),
                           reinterpret_cast<LPARAM>(answering));
        }
    }
    if (anyStick) ::LockWindowUpdate(nullptr);
    if (m_session.Execute(line::kCurrentDialog) == m_strFormName)
        m_session.Execute(vorlan::LoadVarsLine(m_strFormName.str()));
}

bool CChildDialog::RunPendingAction() {
    if (m_session.Execute(line::kAction).IsEmpty()) return false;
    m_session.Execute(line::kRunAction);
    return true;
}

void CChildDialog::TestABLF3() {
    vorlan::TraceFunction("CChildDialog::TestABLF3");
    CString action = m_session.Execute(line::kF3Action);
    if (!action.IsEmpty()) m_session.Execute(vorlan::DoLine(action.str()));
    m_session.Execute(line::kKillAction);
    if (m_session.Execute(line::kTakeRebuild) == "1") CreateControls(1);
    if (m_session.Execute(line::kErrorExists) == "1") {
        CString message = m_session.Execute(line::kTakeError);
        if (!message.IsEmpty()) AfxMessageBox(message, MB_OK | MB_ICONSTOP);
    }
    TestforEvent(0xFFFF);
}


void CChildDialog::TimerUpdate(const char* text) {
    if (!text || !*text) return;
    if (!HasGrid() || text[0] == '\xA7') {
        ::SendMessageA(Frame(), WM_DIALOGINIT, vorlan::kInitFromTimer, 0);
        SendMessage(WM_UPDATEDIALOG, 1);
        return;
    }
    RefreshGridGroups(text);
}
