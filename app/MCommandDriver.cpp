#include "app/MCommandDriver.h"

#include "app/ProtocolLog.h"
#include "framework/App.h"
#include "framework/PathParts.h"

using namespace vorlan;

namespace {

const char* const kProgId = "M.Command";

} // namespace

bool CMCommandDriver::Create() {
    TraceFunction("CMCommandDriver::Create");
    return CreateDispatch(kProgId);
}

int CMCommandDriver::Open(const char* enginePath) {
    SetProperty(kEnginePath, CVariant(enginePath));
    SetProperty(kAccessMode, CVariant("LOCALOLE"));
    if (GetProperty(kState).ToLong() & 0xFFFF) {
        Invoke(kClose, DISPATCH_METHOD);
        m_bOpen = false;
    }
    CVariant empty("");
    int status = static_cast<int>(Invoke(kOpen, DISPATCH_METHOD, &empty, 1).ToLong() & 0xFFFF);
    m_bOpen = true;
    return status;
}

void CMCommandDriver::Close() {
    if (!m_lpDispatch) return;
    try {
        if (m_bOpen) {
            m_bOpen = false;
            Invoke(kClose, DISPATCH_METHOD);
        }
        // An engine that never reports the close must not hold the program's end.
        DWORD start = ::GetTickCount();
        while ((GetProperty(kState).ToLong() & 0xFFFF) != 0 && ::GetTickCount() - start < kCloseWait)
            ::Sleep(50);
    } catch (const CDispatchException& e) {
        WriteProtocol("CMCommandDriver::Close - %s", kLogTiming, e.what());
    }
    ReleaseDispatch();
}

CString CMCommandDriver::Execute(const char* code, bool silent, CString& error) {
    error.Empty();
    if (!m_bOpen || !m_lpDispatch) return CString();
    try {
        CVariant line(code);
        return Invoke(kExecute, DISPATCH_METHOD, &line, 1).ToString();
    } catch (const CDispatchException& e) {
        error = e.m_strDescription;
        if (error.IsEmpty()) error.Format("HRESULT 0x%08lX", static_cast<unsigned long>(e.m_scError));
    }
    if (!silent && m_onError) m_onError(error, code);
    return CString();
}

CString LocalEnginePath() {
    return CString(fw::FolderOf(fw::ProgramPath()) + "\\VORLANSERVER.EXE");
}
