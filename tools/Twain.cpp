#include "tools/Twain.h"
#include "framework/MessageHooks.h"

#include <cstring>

namespace {

void CopyName(TW_STR32& field, const char* text) {
    std::memset(field, 0, sizeof(TW_STR32));
    std::strncpy(field, text, sizeof(TW_STR32) - 1);
}

// Container blocks of the interface are movable global memory; this one is freed on every
// way out.
class CGlobalBlock {
  public:
    explicit CGlobalBlock(HGLOBAL h = nullptr) : m_h(h) {}
    ~CGlobalBlock() {
        if (m_h) ::GlobalFree(m_h);
    }
    CGlobalBlock(const CGlobalBlock&) = delete;
    CGlobalBlock& operator=(const CGlobalBlock&) = delete;
    HGLOBAL Get() const { return m_h; }

  private:
    HGLOBAL m_h;
};

// The manager keeps one session per process and refuses a second MSG_OPENDSM, so every
// CTwain of the process joins the one session; the last to leave closes it. It mirrors
// state the manager library itself holds once per process.
struct ManagerSession {
    TW_IDENTITY identity{}; // with the Id the manager gave
    HWND parent = nullptr;  // the window the manager was opened with
    bool open = false;
    int users = 0;
    int openSources = 0;
};

ManagerSession& Session() {
    static ManagerSession session;
    return session;
}

} // namespace

CTwain::CTwain() = default;

CTwain::~CTwain() {
    ReleaseTwain();
    HookMessages(false);
}

void CTwain::GetIdentity() {
    std::memset(&m_appId, 0, sizeof m_appId);
    m_appId.Id = 0;
    m_appId.Version.MajorNum = 9;
    m_appId.Version.MinorNum = 0;
    m_appId.Version.Language = TWLG_USA;
    m_appId.Version.Country = TWCY_USA;
    CopyName(m_appId.Version.Info, "3.5");
    m_appId.ProtocolMajor = 1;
    m_appId.ProtocolMinor = 8;
    m_appId.SupportedGroups = DG_CONTROL | DG_IMAGE;
    CopyName(m_appId.Manufacturer, "KORIX");
    CopyName(m_appId.ProductFamily, "Generic");
    CopyName(m_appId.ProductName, "VORLAN experience");
}

bool CTwain::InitTwain(HWND window) {
    if (IsValidDriver()) return true;
    if (!window || !::IsWindow(window)) return false;
    m_hTwainDLL = ::LoadLibraryA("TWAIN_32.DLL");
    if (!m_hTwainDLL) return false;
    m_pDSMProc = reinterpret_cast<DSMENTRYPROC>(
        reinterpret_cast<void*>(::GetProcAddress(m_hTwainDLL, MAKEINTRESOURCEA(1))));
    if (!m_pDSMProc) {
        ::FreeLibrary(m_hTwainDLL);
        m_hTwainDLL = nullptr;
        return false;
    }
    m_hMessageWnd = window;
    ManagerSession& session = Session();
    if (!session.open) {
        if (!session.users) {
            GetIdentity();
            session.identity = m_appId;
        }
        OpenManager();
    }
    if (!session.open) {
        // A manager that does not open is of no use: nothing is left loaded.
        ::FreeLibrary(m_hTwainDLL);
        m_hTwainDLL = nullptr;
        m_pDSMProc = nullptr;
        return false;
    }
    ++session.users;
    m_bDSMOpen = true;
    m_appId = session.identity;
    return true;
}

bool CTwain::OpenManager() {
    ManagerSession& session = Session();
    session.parent = m_hMessageWnd;
    session.identity.Id = 0; // the manager gives it
    session.open = CallTwainProc(nullptr, DG_CONTROL, DAT_PARENT, MSG_OPENDSM, &session.parent);
    return session.open;
}

bool CTwain::CloseManager() {
    ManagerSession& session = Session();
    if (!session.open) return true;
    bool ok = CallTwainProc(nullptr, DG_CONTROL, DAT_PARENT, MSG_CLOSEDSM, &session.parent);
    session.open = false;
    session.parent = nullptr;
    return ok;
}

bool CTwain::ManagerHasLiveParent() {
    ManagerSession& session = Session();
    if (!session.open) return OpenManager();
    if (::IsWindow(session.parent) || session.openSources) return true;
    // Its source dialog belongs to the window it was opened with; it cannot move while a
    // source is open.
    CloseManager();
    return OpenManager();
}

void CTwain::ReleaseTwain() {
    if (!IsValidDriver()) return;
    CloseDSM();
    ::FreeLibrary(m_hTwainDLL);
    m_hTwainDLL = nullptr;
    m_pDSMProc = nullptr;
    m_bSourceSelected = false;
}

bool CTwain::CloseDSM() {
    CloseDS();
    if (!m_bDSMOpen) return true;
    m_bDSMOpen = false;
    ManagerSession& session = Session();
    if (--session.users > 0) return true;
    return CloseManager();
}

bool CTwain::CallTwainProc(TW_IDENTITY* dest, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
    if (!IsValidDriver()) {
        m_returnCode = TWRC_FAILURE;
        m_status.ConditionCode = TWCC_BUMMER;
        return false;
    }
    TW_IDENTITY* origin = &Session().identity;
    m_returnCode = m_pDSMProc(origin, dest, dg, dat, msg, data);
    // Events, finished transfers and list ends are answers, not failures.
    bool answer = m_returnCode == TWRC_DSEVENT || m_returnCode == TWRC_NOTDSEVENT ||
                  m_returnCode == TWRC_XFERDONE || m_returnCode == TWRC_ENDOFLIST;
    if (m_returnCode != TWRC_SUCCESS && !answer) {
        m_status = TW_STATUS{};
        m_pDSMProc(origin, dest, DG_CONTROL, DAT_STATUS, MSG_GET, &m_status);
    }
    return m_returnCode == TWRC_SUCCESS;
}

bool CTwain::SelectSource() {
    if (!m_bDSMOpen || !ManagerHasLiveParent()) return false;
    std::memset(&m_source, 0, sizeof m_source);
    if (!m_bSourceSelected) CallTwainProc(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_GETDEFAULT, &m_source);
    if (!CallTwainProc(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_USERSELECT, &m_source)) return false;
    m_bSourceSelected = true;
    return true;
}

bool CTwain::OpenSource(const TW_IDENTITY* source) {
    if (!m_bDSMOpen) return false;
    if (m_bSourceOpen) return true;
    if (source) {
        m_source = *source;
    } else if (!m_bSourceSelected) {
        if (!CallTwainProc(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_GETDEFAULT, &m_source)) return false;
    }
    m_bSourceOpen = CallTwainProc(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &m_source);
    if (m_bSourceOpen) ++Session().openSources;
    return m_bSourceOpen;
}

bool CTwain::Acquire(int count) {
    if (!m_bSourceOpen && !OpenSource()) return false;
    SetImageCount(static_cast<TW_INT16>(count));
    return EnableSource(true);
}

bool CTwain::SetImageCount(TW_INT16 count) {
    bool ok = SetCapability(CAP_XFERCOUNT, static_cast<TW_UINT16>(count), true);
    if (!ok && m_returnCode == TWRC_CHECKSTATUS) {
        // The source took a value near the one asked for; some accept it only unsigned.
        TW_CAPABILITY cap{};
        cap.Cap = CAP_XFERCOUNT;
        TW_UINT16 current = 0;
        if (GetCapability(cap, current)) ok = SetCapability(CAP_XFERCOUNT, current, false);
    }
    m_nImageCount = count;
    return ok;
}

bool CTwain::SetCapability(TW_UINT16 capability, TW_UINT16 value, bool isSigned) {
    CGlobalBlock container(::GlobalAlloc(GHND, sizeof(TW_ONEVALUE)));
    if (!container.Get()) return false;
    auto* one = static_cast<TW_ONEVALUE*>(::GlobalLock(container.Get()));
    if (!one) return false;
    one->ItemType = isSigned ? TWTY_INT16 : TWTY_UINT16;
    one->Item = value;
    ::GlobalUnlock(container.Get());
    TW_CAPABILITY cap{capability, TWON_ONEVALUE, container.Get()};
    return CallTwainProc(&m_source, DG_CONTROL, DAT_CAPABILITY, MSG_SET, &cap);
}

bool CTwain::GetCapability(TW_CAPABILITY& capability, TW_UINT16& value) {
    capability.ConType = TWON_ONEVALUE;
    capability.hContainer = nullptr;
    if (!CallTwainProc(&m_source, DG_CONTROL, DAT_CAPABILITY, MSG_GET, &capability)) return false;
    CGlobalBlock container(capability.hContainer);
    capability.hContainer = nullptr;
    if (!container.Get() || ::GlobalSize(container.Get()) < sizeof(TW_ONEVALUE)) return false;
    auto* one = static_cast<const TW_ONEVALUE*>(::GlobalLock(container.Get()));
    if (!one) return false;
    value = static_cast<TW_UINT16>(one->Item);
    ::GlobalUnlock(container.Get());
    return true;
}

bool CTwain::EnableSource(bool showUI) {
    if (!m_bSourceOpen) return false;
    if (m_bSourceEnabled) return true;
    TW_USERINTERFACE ui{};
    ui.ShowUI = showUI ? 1 : 0;
    ui.ModalUI = static_cast<TW_BOOL>(m_nModalUI);
    ui.hParent = m_hMessageWnd;
    // The source may post its first event before the call returns.
    HookMessages(true);
    m_bSourceEnabled = CallTwainProc(&m_source, DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui);
    m_nModalUI = static_cast<TW_INT16>(ui.ModalUI);
    if (!m_bSourceEnabled) HookMessages(false);
    return m_bSourceEnabled;
}

bool CTwain::DisableSource() {
    if (!m_bSourceEnabled) return true;
    TW_USERINTERFACE ui{};
    ui.hParent = m_hMessageWnd;
    bool ok = CallTwainProc(&m_source, DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui);
    m_bSourceEnabled = false;
    HookMessages(false);
    return ok;
}

bool CTwain::CloseDS() {
    if (!m_bSourceOpen) return true;
    DisableSource();
    bool ok = CallTwainProc(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &m_source);
    m_bSourceOpen = false;
    --Session().openSources;
    return ok;
}

bool CTwain::ProcessMessage(MSG& msg) {
    if (!m_bSourceEnabled || m_bInTransfer) return false;
    TW_EVENT event{};
    event.pEvent = &msg;
    event.TWMessage = MSG_NULL;
    CallTwainProc(&m_source, DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event);
    bool consumed = m_returnCode == TWRC_DSEVENT;
    switch (event.TWMessage) {
    case MSG_XFERREADY: TransferImage(); break;
    case MSG_CLOSEDSREQ:
        if (ShouldContinue()) CloseDS();
        break;
    default: break;
    }
    return consumed;
}

int CTwain::ShouldTransfer(const TW_IMAGEINFO&) {
    return 0;
}

bool CTwain::ShouldContinue() {
    return true;
}

void CTwain::TransferImage() {
    m_bInTransfer = true;
    for (;;) {
        if (!m_bSourceEnabled) break;
        TW_IMAGEINFO info{};
        if (!CallTwainProc(&m_source, DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info)) {
            CancelTransfer();
            break;
        }
        int answer = ShouldTransfer(info);
        if (answer == 0) {
            if (!GetImage(info)) break;
        } else if (answer == 1) {
            TW_PENDINGXFERS pending{};
            if (!EndTransfer(pending) || pending.Count == 0) break;
        } else {
            CancelTransfer();
            break;
        }
    }
    m_bInTransfer = false;
}

bool CTwain::GetImage(const TW_IMAGEINFO& info) {
    TW_HANDLE handle = nullptr;
    CallTwainProc(&m_source, DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &handle);
    if (m_returnCode != TWRC_XFERDONE) {
        if (handle) ::GlobalFree(handle);
        CancelTransfer();
        return false;
    }
    {
        CGlobalBlock block(handle);
        OnScanImage(handle, info);
    }
    TW_PENDINGXFERS pending{};
    return EndTransfer(pending) && pending.Count != 0;
}

bool CTwain::EndTransfer(TW_PENDINGXFERS& pending) {
    return CallTwainProc(&m_source, DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending);
}

void CTwain::CancelTransfer() {
    TW_PENDINGXFERS pending{};
    CallTwainProc(&m_source, DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &pending);
}

void CTwain::HookMessages(bool on) {
    if (on && !m_nHook) {
        m_nHook = fw::AddMessageHook([this](MSG* msg) { return ProcessMessage(*msg); });
    } else if (!on && m_nHook) {
        fw::RemoveMessageHook(m_nHook);
        m_nHook = 0;
    }
}
