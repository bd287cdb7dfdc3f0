// The session over the local database's automation object (remote flag 0).
#include "app/AppLogic.h"
#include "app/ErrorDialog.h"
#include "app/MCommandDriver.h"
#include "app/ProtocolLog.h"
#include "app/Session.h"
#include "app/SettingsBlock.h"
#include "framework/App.h"
#include "framework/OleDragDrop.h"
#include "framework/PathParts.h"
#include "framework/ShellFiles.h"
#include "resources/resource.h"


using namespace vorlan;

namespace {

constexpr DWORD kRegistrationWait = 3600; // ms
constexpr int kOpenFailedLow = 512, kOpenFailedHigh = 1023;
constexpr int kLocalLineFailed = 0xFFFFFF;

// The vendor's automation library registers itself; an installation may not have done it.
void RegisterAutomationLibrary() {
    fw::CShellProcess registration;
    // The library lies beside the program.
    if (fw::ShellExecuteProcess(nullptr, "open", "regsvr32.exe", "/s kvxole32.dll",
                                fw::FolderOf(fw::ProgramPath()), SW_SHOWNORMAL, registration))
        registration.Wait(kRegistrationWait);
}

} // namespace

bool CSession::ConnectLocal() {
    TraceFunction("CSession::ConnectLocal");
    m_strMounted.Empty();
    RegisterAutomationLibrary();
    AfxOleInit();
    auto driver = std::make_unique<CMCommandDriver>();
    if (!driver->Create()) {
        AfxMessageBox(IDS_OLE_CREATE_FAILED, MB_OK | MB_ICONSTOP);
        return false;
    }
    int status = 0;
    try {
        status = driver->Open(LocalEnginePath());
    } catch (const CDispatchException& e) {
        COLEErrorDialog dlg(*this, "OLE-Exception:", e.m_strDescription, nullptr);
        dlg.DoModal();
        return false;
    }
    if (status >= kOpenFailedLow && status <= kOpenFailedHigh) {
        AfxMessageBox(IDS_OLE_OPEN_FAILED, MB_OK | MB_ICONSTOP);
        return false;
    }
    driver->SetErrorHandler([this](const CString& description, const char* code) {
        if (!m_settings.debug) {
            COLEErrorDialog dlg(*this, description, code, nullptr);
            dlg.DoModal();
        } else {
            RunOnlineDebugger(description, code); // nothing while its console is open
        }
    });
    m_pDriver = std::move(driver);
    Execute(vorlan::kLocalDeviceLine);
    return true;
}

bool CSession::IsLoggedIn() const {
    return m_hConnection != 0 || (m_pDriver && m_pDriver->IsOpen());
}

CString CSession::ExecuteLocal(const char* code, int silent) {
    CString error;
    CString result = m_pDriver->Execute(code, silent != 0, error);
    if (!error.IsEmpty()) {
        m_nLastError = kLocalLineFailed;
        m_strLastError = error;
    }
    return result;
}

void CSession::DisconnectLocal() {
    TraceFunction("CSession::DisconnectLocal");
    if (!m_pDriver) return;
    if (!m_strMounted.IsEmpty()) {
        Execute(vorlan::UnmountLine(m_strMounted.str()));
        m_strMounted.Empty();
    }
    m_pDriver.reset(); // closes, waits for the state to clear, lets the object go
}
