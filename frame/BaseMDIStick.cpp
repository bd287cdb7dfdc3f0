// Where a form frame stands: the position the user left it at, kept per user and screen on
// the server, and the frames stuck to its sides that move with it.
#include "frame/BaseMDI.h"

#include "app/ProtocolLog.h"
#include "app/Session.h"
#include "forms/ChildDialog.h"
#include "forms/FormMessages.h"
#include "resources/resource.h"

using vorlan::TraceFunction;

namespace {

bool Alive(vorlan::WindowId id) {
    return ::IsWindow(reinterpret_cast<HWND>(id)) != FALSE;
}

// Sets a flag for the time of a call; a call that finds it set is a repetition and is dropped.
class ReentryGuard {
  public:
    explicit ReentryGuard(bool& flag) : m_flag(flag), m_first(!flag) { m_flag = true; }
    ~ReentryGuard() {
        if (m_first) m_flag = false;
    }
    ReentryGuard(const ReentryGuard&) = delete;
    ReentryGuard& operator=(const ReentryGuard&) = delete;
    bool First() const { return m_first; }

  private:
    bool& m_flag;
    bool m_first;
};

} // namespace

CRect CBaseMDI::WindowRectInClient(HWND window) const {
    CRect r;
    ::GetWindowRect(window, &r);
    ::MapWindowPoints(nullptr, GetMDIClient(), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// The place belongs to the frame, not to the page on top: it is kept under the first form's
// screen, where the frame reads it when it opens.
CString CBaseMDI::PositionScreen() const {
    CChildDialog* first = GetForm(1);
    return first ? first->GetDescriptionName() : CString();
}

// ---- stored position

void CBaseMDI::SetWinPos() {
    TraceFunction("CBaseMDI::SetWinPos");
    CChildDialog* top = GetTopForm();
    if (!top) return;
    vorlan::ChildMessageRecord fit{vorlan::kChildFit, top->m_hWnd, 0};
    SendMessage(WM_CHILDMESSAGE, 0, reinterpret_cast<LPARAM>(&fit));
    m_bStoredPosition = false;
    m_bMaximize = false;
    CChildDialog* first = GetForm(1);
    bool sizing = m_nForms == 1 && first && first->IsSizable();

    std::string screen = PositionScreen().str();
    CString record = StoredPosition(screen);
    if (!m_hWnd || record.IsEmpty()) return;
    vorlan::WindowPosition stored = vorlan::ParseWindowPosition(record.str());
    m_bMaximize = stored.maximise;
    CRect client;
    ::GetClientRect(GetMDIClient(), &client);
    vorlan::Placement p = vorlan::PlaceStoredPosition(stored, client.Width(), client.Height(), sizing);
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (p.move ? 0 : SWP_NOMOVE) | (p.size ? 0 : SWP_NOSIZE);
    if (p.move || p.size) SetWindowPos(nullptr, p.x, p.y, p.width, p.height, flags);
    m_bStoredPosition = true;
}

void CBaseMDI::OnSaveWinPos(UINT) {
    if (!GetForm(1)) return;
    CRect r = WindowRectInClient(m_hWnd);
    TheSession().Execute(vorlan::SaveWindowPositionLine(PositionScreen().str(), r.left, r.top).c_str());
    m_bStoredPosition = true;
}

// ---- sticking

HWND CBaseMDI::StuckHost() const {
    return m_hStuckHost && ::IsWindow(m_hStuckHost) ? m_hStuckHost : nullptr;
}

LRESULT CBaseMDI::OnStickWindow(unsigned flags, HWND window) {
    if (flags & vorlan::kStickSelf) {
        m_nStuckFlags = flags & 0xFF;
        m_hStuckHost = window;
        LONG_PTR ex = ::GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE);
        if (!(ex & WS_EX_TOOLWINDOW)) {
            ::SetWindowLongPtrA(m_hWnd, GWL_EXSTYLE, ex | WS_EX_TOOLWINDOW);
            SetWindowPos(nullptr, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        }
    } else {
        m_stick.Prune(Alive);
        if (flags == vorlan::kStickRemove || Alive(reinterpret_cast<vorlan::WindowId>(window)))
            if (!m_stick.Apply(flags, reinterpret_cast<vorlan::WindowId>(window)))
                vorlan::WriteProtocol("CBaseMDI::OnStickWindow - %d windows stuck, no more", vorlan::kLogNote,
                                      static_cast<int>(vorlan::StickTable::kMaxEntries));
    }
    StickWindows(false);
    return 1;
}

LRESULT CBaseMDI::OnUpdateStick(bool bringToTop, HWND window) {
    if (m_stick.Empty()) return 0;
    if (bringToTop) m_stick.BringToTop(reinterpret_cast<vorlan::WindowId>(window));
    StickWindows(bringToTop);
    return 1;
}

void CBaseMDI::StickWindows(bool bringToTop) {
    ReentryGuard placing(m_bPlacing);
    if (!placing.First() || !m_hWnd) return;
    HWND host = StuckHost();
    if (host)
        ::SendMessageA(host, WM_UPDATESTICK, bringToTop ? 1 : 0, reinterpret_cast<LPARAM>(m_hWnd));
    else if (::IsIconic(m_hWnd) || ::IsZoomed(m_hWnd))
        return;
    // Never activating: the frame that the user activated stays the active one.
    const UINT top = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    if (bringToTop) SetWindowPos(HWND_TOP, 0, 0, 0, 0, top);
    m_stick.Prune(Alive);
    if (m_stick.Empty()) return;

    CRect me = WindowRectInClient(m_hWnd);
    std::vector<vorlan::Box> sizes;
    for (const vorlan::StuckEntry& e : m_stick.Entries()) {
        CRect r = WindowRectInClient(reinterpret_cast<HWND>(e.window));
        sizes.push_back(vorlan::Box{r.left, r.top, r.right, r.bottom});
    }
    vorlan::Box box{me.left, me.top, me.right, me.bottom};
    UINT flags = SWP_NOSIZE | SWP_NOACTIVATE | (bringToTop ? 0 : SWP_NOZORDER);
    for (const vorlan::StuckPlace& p : vorlan::PlaceStuckWindows(box, m_stick.Entries(), sizes)) {
        ::SetWindowPos(reinterpret_cast<HWND>(p.window), HWND_TOP, p.x, p.y, 0, 0, flags);
    }
}

void CBaseMDI::ShowStuckWindows(bool show) {
    m_stick.Prune(Alive);
    for (const vorlan::StuckEntry& e : m_stick.Entries())
        ::ShowWindow(reinterpret_cast<HWND>(e.window), show ? SW_SHOWNA : SW_HIDE);
}

void CBaseMDI::OnStartMoving() {
    if (!StuckHost()) return;
    m_rcMoving = WindowRectInClient(m_hWnd);
    m_bMoving = true;
}

void CBaseMDI::OnFrameMoved() {
    HWND host = StuckHost();
    if (host && m_bMoving) {
        ReentryGuard following(m_bFollowing);
        if (following.First()) {
            // The user moves a stuck frame: its host goes along by as much.
            CRect now = WindowRectInClient(m_hWnd);
            int dx = now.left - m_rcMoving.left, dy = now.top - m_rcMoving.top;
            if (dx != 0 || dy != 0) {
                CRect h = WindowRectInClient(host);
                ::SetWindowPos(host, nullptr, h.left + dx, h.top + dy, 0, 0,
                               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            }
            m_rcMoving = WindowRectInClient(m_hWnd);
        }
    }
    StickWindows(false);
}

void CBaseMDI::OnFrameSized(WPARAM type, int width, int height) {
    if (type == SIZE_MINIMIZED) {
        if (StuckHost())
            OnFrameMoved();
        else
            ShowStuckWindows(false);
        return;
    }
    CalcWinSize(width, height);
    if (type == SIZE_RESTORED && !StuckHost()) ShowStuckWindows(true);
    OnFrameMoved();
}
