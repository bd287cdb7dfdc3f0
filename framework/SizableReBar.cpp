#include "framework/SizableReBar.h"

#include "framework/App.h"
#include "framework/Controls.h"
#include "framework/Gdi.h"
#include "framework/Menu.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr UINT kSlideTimer = 1;
constexpr int kSlideInterval = 20;
// The rebar leaves this much of a tool bar's height free below it for the edge.
constexpr int kToolBarEdge = 3;
// Command ids of the function keys F5 to F12; the chevron shows their key beside the text.
constexpr UINT kFirstKeyCommand = 32800;
constexpr UINT kLastKeyCommand = 32807;
constexpr UINT kKeyNumberBase = 32795;

int g_nInstances = 0;
bool (*g_flatMenuQuery)() = nullptr;

bool FlatMenus() {
    return g_flatMenuQuery && g_flatMenuQuery();
}

HWND MainWindow() {
    CWinApp* app = AfxGetApp();
    return app && app->m_pMainWnd ? app->m_pMainWnd->m_hWnd : nullptr;
}

HFONT CreateMenuFont() {
    NONCLIENTMETRICSA ncm{};
    ncm.cbSize = sizeof ncm;
    ::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0);
    return ::CreateFontIndirectA(&ncm.lfMenuFont);
}

// "F5" for the key commands, else nothing.
bool KeyLabel(UINT id, char (&out)[16]) {
    if (id < kFirstKeyCommand || id > kLastKeyCommand) return false;
    std::snprintf(out, sizeof out, "F%u", id - kKeyNumberBase);
    return true;
}

CString ButtonText(HWND toolbar, UINT id) {
    int n = static_cast<int>(::SendMessageA(toolbar, TB_GETBUTTONTEXTA, id, 0));
    if (n <= 0) return CString();
    std::vector<char> buf(static_cast<size_t>(n) + 1);
    ::SendMessageA(toolbar, TB_GETBUTTONTEXTA, id, reinterpret_cast<LPARAM>(buf.data()));
    return CString(buf.data());
}

SIZE ImageSize(HIMAGELIST images) {
    int cx = 0, cy = 0;
    if (images) ImageList_GetIconSize(images, &cx, &cy);
    return SIZE{cx, cy};
}

} // namespace

void CSizableReBar::SetFlatMenuQuery(bool (*query)()) {
    g_flatMenuQuery = query;
}

CSizableReBar::CSizableReBar() {
    if (g_nInstances++ == 0)
        RegisterWindowClass(kClassName, CS_SAVEBITS, nullptr, ::LoadCursor(nullptr, IDC_ARROW), nullptr);
}

CSizableReBar::~CSizableReBar() {
    if (m_hWnd) DestroyWindow();
    if (m_hBackground) ::DeleteObject(m_hBackground);
    if (--g_nInstances == 0) UnregisterWindowClass(kClassName);
}

bool CSizableReBar::Create(HWND parent, UINT id, int mode, bool fixed) {
    m_nMode = mode;
    m_bFixed = fixed;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_COOL_CLASSES | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&icc);
    return CreateEx(0, kClassName, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, CRect(0, 0, 200, 200), parent,
                    id);
}

int CSizableReBar::AddBar(HWND child, UINT id, int idealWidth, int minHeight, int width, const char* text,
                          UINT style, LPARAM param) {
    if (!m_hReBar || !child) return 0;
    ::SetWindowLongPtrA(child, GWLP_ID, static_cast<LONG_PTR>(id));
    REBARBANDINFOA band{};
    band.cbSize = sizeof band;
    band.fMask = RBBIM_COLORS | RBBIM_STYLE | RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_SIZE | RBBIM_IDEALSIZE |
                 RBBIM_ID | RBBIM_LPARAM;
    band.clrFore = ::GetSysColor(COLOR_BTNTEXT);
    band.clrBack = ::GetSysColor(COLOR_BTNFACE);
    band.fStyle =
        (style | RBBS_NOVERT | RBBS_FIXEDBMP | (m_nMode == kSideBar ? RBBS_NOGRIPPER : 0)) & ~RBBS_HIDDEN;
    CString copy;
    if (text && *text) {
        copy = text;
        band.fMask |= RBBIM_TEXT;
        band.lpText = const_cast<char*>(copy.c_str());
    }
    band.hwndChild = child;
    band.cxMinChild = m_nMode == kToolBar ? 50 : 9999;
    band.cyMinChild = static_cast<UINT>(minHeight);
    band.cx = static_cast<UINT>(width);
    band.cxIdeal = static_cast<UINT>(idealWidth);
    band.wID = id;
    band.lParam = param;
    if (!m_hBackground)
        m_hBackground = static_cast<HBITMAP>(
            ::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kBandBitmap), IMAGE_BITMAP, 0, 0, 0));
    if (m_hBackground) {
        band.fMask |= RBBIM_BACKGROUND;
        band.hbmBack = m_hBackground;
    }
    int result = static_cast<int>(
        ::SendMessageA(m_hReBar, RB_INSERTBANDA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band)));
    if (style & RBBS_HIDDEN) ::SendMessageA(m_hReBar, RB_SHOWBAND, static_cast<WPARAM>(IdToIndex(id)), FALSE);
    m_bGripperOff = (style & RBBS_NOGRIPPER) != 0;
    return result;
}

void CSizableReBar::SetSizeBandInfo(int slot, HWND child, int idealWidth, int minHeight, UINT style,
                                    UINT textId, LPARAM param) {
    if (slot < 0 || slot >= kSlots) return;
    m_slots[slot] = Slot{idealWidth, minHeight, textId, param, style, child};
}

int CSizableReBar::AddSizeBand(int slot, UINT extraStyle, int width) {
    if (slot < 0 || slot >= kSlots || !m_slots[slot].child) return 0;
    const Slot& s = m_slots[slot];
    CString text;
    if (s.textId) text.LoadString(s.textId);
    AddBar(s.child, static_cast<UINT>(slot), s.idealWidth, s.minHeight, width ? width : s.idealWidth,
           text.IsEmpty() ? nullptr : text.c_str(), s.style | extraStyle, s.param);
    return 1;
}

int CSizableReBar::GetBandCount() const {
    return m_hReBar ? static_cast<int>(::SendMessageA(m_hReBar, RB_GETBANDCOUNT, 0, 0)) : 0;
}

int CSizableReBar::IdToIndex(UINT id) const {
    return m_hReBar ? static_cast<int>(::SendMessageA(m_hReBar, RB_IDTOINDEX, id, 0)) : -1;
}

void CSizableReBar::DeleteBands() {
    for (int i = GetBandCount() - 1; i >= 0; --i)
        ::SendMessageA(m_hReBar, RB_DELETEBAND, static_cast<WPARAM>(i), 0);
}

bool CSizableReBar::IsAutohide(bool toggle) {
    if (toggle) {
        m_bAutohide = !m_bAutohide;
        if (m_bAutohide && !m_bHidden)
            Minimize(true, false);
        else if (!m_bAutohide && m_bHidden)
            Minimize(false, false);
    }
    return m_bAutohide;
}

bool CSizableReBar::IsBandVisible(UINT id, bool toggle) {
    int index = IdToIndex(id);
    if (index < 0) return false;
    REBARBANDINFOA band{};
    band.cbSize = sizeof band;
    band.fMask = RBBIM_STYLE;
    ::SendMessageA(m_hReBar, RB_GETBANDINFOA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&band));
    bool visible = (band.fStyle & RBBS_HIDDEN) == 0;
    if (toggle) ::SendMessageA(m_hReBar, RB_SHOWBAND, static_cast<WPARAM>(index), visible ? FALSE : TRUE);
    return visible;
}

bool CSizableReBar::IsFixedSize(bool toggle) {
    int count = GetBandCount();
    if (count == 0) return m_bGripperOff;
    REBARBANDINFOA band{};
    band.cbSize = sizeof band;
    band.fMask = RBBIM_STYLE;
    ::SendMessageA(m_hReBar, RB_GETBANDINFOA, 0, reinterpret_cast<LPARAM>(&band));
    bool fixed = (band.fStyle & RBBS_NOGRIPPER) != 0;
    if (!toggle) return fixed;
    for (int i = 0; i < count; ++i) {
        ::SendMessageA(m_hReBar, RB_GETBANDINFOA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&band));
        band.fStyle ^= RBBS_NOGRIPPER;
        ::SendMessageA(m_hReBar, RB_SETBANDINFOA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&band));
    }
    m_bGripperOff = !fixed;
    OnSize();
    return m_bGripperOff;
}

void CSizableReBar::SaveStateAndShow() {
    m_bSavedAutohide = m_bAutohide;
    m_bAutohide = false;
    if (m_bHidden) Minimize(false, true);
}

void CSizableReBar::RestoreState() {
    m_bAutohide = m_bSavedAutohide;
}

void CSizableReBar::SetBarPos(RECT& r) {
    CRect own = GetWindowRect();
    int width = own.Width();
    int visible = m_bAnimating ? fw::SlideVisibleWidth(m_positions, m_nStep, m_bHidden)
                               : (m_bHidden ? fw::kSlideStrip : width);
    ::SetWindowPos(m_hWnd, nullptr, r.left + visible - width, r.top, width, r.bottom - r.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    int edge = ::GetSystemMetrics(SM_CXEDGE);
    r.right = r.left + ((m_bAutohide || m_bHidden) ? fw::kSlideStrip - edge : width - edge);
}

void CSizableReBar::Minimize(bool hide, bool forced) {
    if (m_bAnimating && m_bForced && !forced) return;
    m_bForced = forced;
    if (hide == m_bHidden) return;
    if (hide && m_bAutohide && m_bFocusInside) return;
    ::KillTimer(m_hWnd, kSlideTimer);
    bool running = m_bAnimating;
    m_bHidden = hide;
    CRect own = GetWindowRect();
    fw::SlideRange range = fw::SlideRangeFor(hide, own.Width(), running, m_nStep, m_positions);
    m_positions = fw::ComputeSlidePositions(range.start, range.end);
    m_nStep = 0;
    m_bAnimating = true;
    ::SetTimer(m_hWnd, kSlideTimer, kSlideInterval, nullptr);
}

void CSizableReBar::OnSlideStep() {
    if (m_nStep > fw::kSlideSteps - 1) {
        if (!m_bHidden) NotifyParentHeight();
        m_bAnimating = false;
        ::KillTimer(m_hWnd, kSlideTimer);
        return;
    }
    if (m_nStep == 0 && !m_bHidden) NotifyParentHeight();
    int visible = fw::SlideVisibleWidth(m_positions, m_nStep, m_bHidden);
    HWND parent = ::GetParent(m_hWnd);
    CRect own = GetWindowRect();
    POINT left{0, own.top};
    ::ScreenToClient(parent, &left);
    ::SetWindowPos(m_hWnd, nullptr, visible - own.Width(), left.y, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    ::RedrawWindow(parent, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    ++m_nStep;
}

void CSizableReBar::OnIdleUpdate() {
    if (!m_bAutohide || m_bFocusInside) return;
    POINT cursor{};
    ::GetCursorPos(&cursor);
    CRect own = GetWindowRect();
    bool inside = ::PtInRect(&own, cursor) != 0;
    bool frameActive = ::GetActiveWindow() == MainWindow();
    if (!m_bHidden && (!frameActive || !inside))
        Minimize(true, false);
    else if (m_bHidden && frameActive && inside)
        Minimize(false, false);
}

void CSizableReBar::NotifyParentHeight() {
    NMHDR hdr{m_hWnd, static_cast<UINT_PTR>(::GetDlgCtrlID(m_hWnd)), static_cast<UINT>(RBN_HEIGHTCHANGE)};
    ::SendMessageA(::GetParent(m_hWnd), WM_NOTIFY, hdr.idFrom, reinterpret_cast<LPARAM>(&hdr));
}

void CSizableReBar::SendToBands(UINT msg, WPARAM wParam, LPARAM lParam) {
    for (HWND child = ::GetWindow(m_hReBar, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        ::SendMessageA(child, msg, wParam, lParam);
}

int CSizableReBar::OnCreate() {
    DWORD style = m_nMode == kSideBar ? 0x56804E4C : 0x56802649;
    m_hReBar = ::CreateWindowExA(0, REBARCLASSNAMEA, "", style, 0, 0, 200, 200, m_hWnd,
                                 reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kReBarId)), nullptr, nullptr);
    if (!m_hReBar) return -1;
    ::SetWindowLongPtrA(m_hReBar, GWL_EXSTYLE, ::GetWindowLongPtrA(m_hReBar, GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
    return 0;
}

void CSizableReBar::OnSize() {
    if (!m_hReBar) return;
    CRect r = GetClientRect();
    if (m_nMode == kSideBar)
        r.right -= fw::kSlideStrip;
    else if (!m_bGripperOff)
        r.bottom -= kToolBarEdge;
    ::MoveWindow(m_hReBar, r.left, r.top, r.Width() > 0 ? r.Width() : 0, r.Height() > 0 ? r.Height() : 0,
                 TRUE);
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

bool CSizableReBar::OnEraseBkgnd(HDC dc) {
    CRect r = GetClientRect();
    HBRUSH face = ::GetSysColorBrush(COLOR_BTNFACE);
    if (m_nMode == kSideBar) {
        ::FillRect(dc, &r, face);
        CRect edge = r;
        edge.right -= 1;
        ::DrawEdge(dc, &edge, EDGE_ETCHED, BF_LEFT | BF_TOP | BF_BOTTOM);
    } else {
        CRect bar;
        ::GetWindowRect(m_hReBar, &bar);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&bar), 2);
        CRect below(r.left, bar.bottom, r.right, r.bottom);
        if (below.Height() > 0) ::FillRect(dc, &below, face);
    }
    return true;
}

bool CSizableReBar::OverDividingArea() const {
    if (m_bHidden || m_bAnimating) return false;
    POINT cursor{};
    ::GetCursorPos(&cursor);
    CRect own = GetWindowRect(), bar;
    ::GetWindowRect(m_hReBar, &bar);
    return ::PtInRect(&own, cursor) && !::PtInRect(&bar, cursor);
}

bool CSizableReBar::OnSetCursor() {
    if (!OverDividingArea()) return false;
    ::SetCursor(::LoadCursor(nullptr, m_nMode == kSideBar ? IDC_SIZEWE : IDC_SIZENS));
    return true;
}

void CSizableReBar::OnLButtonDown(LPARAM lParam) {
    if (m_bHidden) {
        Minimize(false, false);
        return;
    }
    if (!OverDividingArea()) return;
    ::SetCapture(m_hWnd);
    m_dragStart = POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    CRect r = GetClientRect();
    m_nSizeOffset = m_nMode == kSideBar ? r.Width() - m_dragStart.x : r.Height() - m_dragStart.y;
    m_bDragging = true;
}

void CSizableReBar::OnMouseMove(LPARAM lParam) {
    if (!m_bDragging) return;
    POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (p.x == m_dragStart.x && p.y == m_dragStart.y) return;
    CRect r = GetClientRect();
    if (m_nMode == kSideBar)
        r.right = p.x + m_nSizeOffset;
    else
        r.bottom = m_nSizeOffset + p.y - (m_bGripperOff ? 0 : kToolBarEdge);
    if (r.right < fw::kSlideStrip) r.right = fw::kSlideStrip;
    if (r.bottom < 0) r.bottom = 0;
    ::SendMessageA(m_hReBar, RB_SIZETORECT, 0, reinterpret_cast<LPARAM>(&r));
    if (m_bFixed) return;
    SetWindowPos(nullptr, 0, 0, r.Width(), r.Height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
    NotifyParentHeight();
}

void CSizableReBar::OnLButtonUp() {
    if (!m_bDragging) return;
    m_bDragging = false;
    ::ReleaseCapture();
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CSizableReBar::OnContextMenu(LPARAM lParam) {
    HWND main = MainWindow();
    if (!main || ::GetParent(m_hWnd) != main) return;
    CMenu menu;
    if (!menu.LoadMenu(m_nMode == kSideBar ? kSideBarMenu : kToolBarMenu)) return;
    HMENU popup = ::GetSubMenu(menu, 0);
    if (!popup) return;
    POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (p.x == -1 && p.y == -1) {
        CRect own = GetWindowRect();
        p = POINT{own.left, own.top};
    }
    ::TrackPopupMenu(popup, TPM_RIGHTBUTTON, p.x, p.y, 0, main, nullptr);
}

void CSizableReBar::OnFocusNotify(UINT code) {
    if (code == static_cast<UINT>(NM_SETFOCUS)) {
        m_bFocusInside = true;
        if (m_bAutohide && m_bHidden) Minimize(false, true);
    } else if (code == static_cast<UINT>(NM_KILLFOCUS)) {
        m_bFocusInside = false;
        if (m_bAutohide && !m_bHidden) Minimize(true, true);
    }
}

void CSizableReBar::OnHeightChange() {
    if (m_nMode == kToolBar) {
        int height = static_cast<int>(::SendMessageA(m_hReBar, RB_GETBARHEIGHT, 0, 0));
        if (!m_bGripperOff) height += kToolBarEdge;
        CRect own = GetWindowRect();
        SetWindowPos(nullptr, 0, 0, own.Width(), height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    NotifyParentHeight();
}

void CSizableReBar::OnChildSize(NMREBARCHILDSIZE* info) {
    if (m_nMode != kSideBar) return;
    CRect client;
    ::GetClientRect(m_hReBar, &client);
    info->rcChild.right = client.right;
    if (static_cast<int>(info->uBand) == GetBandCount() - 1)
        info->rcChild.bottom = client.bottom;
    else
        info->rcChild.left = info->rcChild.right - (info->rcBand.right - info->rcBand.left);
}

LRESULT CSizableReBar::OnNotify(WPARAM wParam, NMHDR* header) {
    if (!header) return 0;
    if (wParam == 0 &&
        (header->code == static_cast<UINT>(NM_SETFOCUS) || header->code == static_cast<UINT>(NM_KILLFOCUS))) {
        OnFocusNotify(header->code);
        return 0;
    }
    if (header->hwndFrom == m_hReBar) {
        switch (header->code) {
        case RBN_HEIGHTCHANGE: OnHeightChange(); return 0;
        case RBN_CHILDSIZE: OnChildSize(reinterpret_cast<NMREBARCHILDSIZE*>(header)); return 0;
        case RBN_CHEVRONPUSHED: OnChevronPushed(reinterpret_cast<const NMREBARCHEVRON*>(header)); return 0;
        default: return 0;
        }
    }
    // Tooltip texts are the frame's; the bands' own notifications go to their objects.
    if (header->code != TTN_GETDISPINFOA && header->code != TTN_GETDISPINFOW) {
        LRESULT result = 0;
        if (ReflectChildNotification(WM_NOTIFY, wParam, reinterpret_cast<LPARAM>(header), result))
            return result;
    }
    return ::SendMessageA(::GetParent(m_hWnd), WM_NOTIFY, wParam, reinterpret_cast<LPARAM>(header));
}

void CSizableReBar::OnCommand(WPARAM wParam, LPARAM lParam) {
    UINT id = LOWORD(wParam);
    // A band's control notifies through the bar (a combo box's choice, say): its object takes
    // it. Clicks stay commands of the frame.
    LRESULT reflected = 0;
    if (lParam && HIWORD(wParam) != BN_CLICKED &&
        ReflectChildNotification(WM_COMMAND, wParam, lParam, reflected))
        return;
    if (id != 0)
        ::SendMessageA(::GetParent(m_hWnd), WM_COMMAND, wParam, lParam);
    else if (m_hChevronToolBar && ::IsWindow(m_hChevronToolBar))
        ::SendMessageA(m_hChevronToolBar, TB_CUSTOMIZE, 0, 0);
}

HMENU CSizableReBar::CreateChevronMenu(int bandIndex) {
    REBARBANDINFOA band{};
    band.cbSize = sizeof band;
    band.fMask = RBBIM_CHILD | RBBIM_LPARAM;
    ::SendMessageA(m_hReBar, RB_GETBANDINFOA, static_cast<WPARAM>(bandIndex),
                   reinterpret_cast<LPARAM>(&band));
    HWND toolbar = band.hwndChild;
    if (!toolbar) return nullptr;
    m_hChevronToolBar = toolbar;
    CRect client;
    ::GetClientRect(toolbar, &client);
    int count = static_cast<int>(::SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0));
    int first = -1;
    for (int i = 0; i < count && first < 0; ++i) {
        CRect r;
        ::SendMessageA(toolbar, TB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
        if (r.left < client.left || r.right > client.right || r.top < client.top || r.bottom > client.bottom)
            first = i;
    }
    if (first < 0) return nullptr;

    HMENU menu = ::CreatePopupMenu();
    HMENU barMenu =
        band.lParam == 0 ? reinterpret_cast<HMENU>(::SendMessageA(toolbar, kGetMenuMessage, 0, 0)) : nullptr;
    bool lastSeparator = true;
    for (int i = first; i < count; ++i) {
        TBBUTTON b{};
        ::SendMessageA(toolbar, TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&b));
        if (b.fsStyle & BTNS_SEP) {
            CRect r;
            ::SendMessageA(toolbar, TB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
            if (r.Width() < 40 && !lastSeparator) {
                ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
                lastSeparator = true;
            }
            continue;
        }
        UINT flags = (b.fsState & TBSTATE_ENABLED) ? MF_ENABLED : (MF_GRAYED | MF_DISABLED);
        if (band.lParam != 0) {
            ::AppendMenuA(menu, flags | MF_OWNERDRAW, static_cast<UINT_PTR>(b.idCommand),
                          reinterpret_cast<const char*>(toolbar));
        } else {
            HMENU popup = barMenu ? ::GetSubMenu(barMenu, i) : nullptr;
            CString text = ButtonText(toolbar, static_cast<UINT>(b.idCommand));
            if (popup)
                ::AppendMenuA(menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(popup), text);
            else
                ::AppendMenuA(menu, flags, static_cast<UINT_PTR>(b.idCommand), text);
        }
        lastSeparator = false;
    }
    bool customisable = band.lParam != 0 && (::GetWindowLongA(toolbar, GWL_STYLE) & CCS_ADJUSTABLE);
    if (customisable) {
        CString text;
        text.LoadString(kCustomizeText);
        ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuA(menu, MF_STRING, 0, text);
    }
    return menu;
}

void CSizableReBar::ReleaseChevronMenu(HMENU menu) {
    // The popups are the menu bar's: only the chevron's own menu goes.
    while (::GetMenuItemCount(menu) > 0)
        ::RemoveMenu(menu, 0, MF_BYPOSITION);
    ::DestroyMenu(menu);
}

void CSizableReBar::OnChevronPushed(const NMREBARCHEVRON* info) {
    HMENU menu = CreateChevronMenu(static_cast<int>(info->uBand));
    if (!menu) return;
    CRect chevron = info->rc;
    ::MapWindowPoints(m_hReBar, nullptr, reinterpret_cast<POINT*>(&chevron), 2);
    // The first item selected when the menu opens, as the keyboard would do it.
    INPUT keys[4]{};
    WORD vk[2] = {VK_DOWN, VK_RIGHT};
    for (int k = 0; k < 4; ++k) {
        keys[k].type = INPUT_KEYBOARD;
        keys[k].ki.wVk = vk[k / 2];
        keys[k].ki.dwFlags = (k % 2) ? KEYEVENTF_KEYUP : 0;
    }
    ::SendInput(4, keys, sizeof(INPUT));
    TPMPARAMS exclude{sizeof exclude, chevron};
    ::TrackPopupMenuEx(menu, TPM_VERTICAL | TPM_LEFTALIGN, chevron.left, chevron.bottom, m_hWnd, &exclude);
    ReleaseChevronMenu(menu);
}

void CSizableReBar::MeasureChevronItem(MEASUREITEMSTRUCT* mis) {
    HWND toolbar = reinterpret_cast<HWND>(mis->itemData);
    HIMAGELIST images = reinterpret_cast<HIMAGELIST>(::SendMessageA(toolbar, TB_GETIMAGELIST, 0, 0));
    SIZE image = ImageSize(images);
    CString text = ButtonText(toolbar, mis->itemID);
    HFONT font = CreateMenuFont();
    HDC dc = ::GetDC(m_hWnd);
    HGDIOBJ old = ::SelectObject(dc, font);
    SIZE size{};
    ::GetTextExtentPoint32A(dc, text, text.GetLength(), &size);
    int width = size.cx + image.cx + 8;
    if (mis->itemID >= kFirstKeyCommand && mis->itemID <= kLastKeyCommand) {
        char label[16];
        std::snprintf(label, sizeof label, "f%u", mis->itemID);
        SIZE l{};
        ::GetTextExtentPoint32A(dc, label, static_cast<int>(std::strlen(label)), &l);
        width += l.cx + 10;
    }
    ::SelectObject(dc, old);
    ::ReleaseDC(m_hWnd, dc);
    ::DeleteObject(font);
    mis->itemWidth = static_cast<UINT>(width);
    mis->itemHeight = static_cast<UINT>(image.cy + 8);
}

void CSizableReBar::DrawChevronItem(const DRAWITEMSTRUCT* dis) {
    HWND toolbar = reinterpret_cast<HWND>(dis->itemData);
    HDC dc = dis->hDC;
    CRect r = dis->rcItem;
    bool selected = (dis->itemState & ODS_SELECTED) != 0;
    bool disabled = (dis->itemState & (ODS_DISABLED | ODS_GRAYED)) != 0;
    bool flat = FlatMenus();
    COLORREF back, fore;
    if (!flat) {
        back = ::GetSysColor(COLOR_BTNFACE);
        fore = ::GetSysColor(COLOR_BTNTEXT);
    } else if (selected) {
        back = ::GetSysColor(COLOR_MENUHILIGHT);
        fore = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
    } else {
        back = ::GetSysColor(COLOR_MENU);
        fore = ::GetSysColor(COLOR_MENUTEXT);
    }
    HBRUSH brush = ::CreateSolidBrush(back);
    ::FillRect(dc, &r, brush);
    ::DeleteObject(brush);

    CRect inner = r;
    ::InflateRect(&inner, -4, -4);
    int index = static_cast<int>(::SendMessageA(toolbar, TB_COMMANDTOINDEX, dis->itemID, 0));
    TBBUTTON b{};
    ::SendMessageA(toolbar, TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&b));
    HIMAGELIST images = reinterpret_cast<HIMAGELIST>(
        ::SendMessageA(toolbar, disabled ? TB_GETDISABLEDIMAGELIST : TB_GETIMAGELIST, 0, 0));
    if (!images) images = reinterpret_cast<HIMAGELIST>(::SendMessageA(toolbar, TB_GETIMAGELIST, 0, 0));
    SIZE image = ImageSize(images);
    if (images && b.iBitmap >= 0)
        ImageList_Draw(images, b.iBitmap, dc, inner.left, inner.top, ILD_TRANSPARENT);

    HFONT font = CreateMenuFont();
    HGDIOBJ old = ::SelectObject(dc, font);
    ::SetBkMode(dc, TRANSPARENT);
    CString text = ButtonText(toolbar, dis->itemID);
    char label[16];
    bool hasLabel = KeyLabel(dis->itemID, label);
    CRect textRect(inner.left + image.cx + 8, r.top, r.right - 4, r.bottom);
    auto drawTexts = [&](int offset) {
        CRect t = textRect;
        ::OffsetRect(&t, offset, offset);
        ::DrawTextA(dc, text, text.GetLength(), &t, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
        if (hasLabel) ::DrawTextA(dc, label, -1, &t, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
    };
    if (disabled) {
        if (!(selected && flat)) {
            ::SetTextColor(dc, ::GetSysColor(COLOR_BTNHIGHLIGHT));
            drawTexts(1);
        }
        ::SetTextColor(dc, ::GetSysColor(COLOR_BTNSHADOW));
    } else {
        ::SetTextColor(dc, fore);
    }
    drawTexts(0);
    ::SelectObject(dc, old);
    ::DeleteObject(font);
    if (!flat && selected) {
        HBRUSH light = ::GetSysColorBrush(COLOR_BTNHIGHLIGHT), dark = ::GetSysColorBrush(COLOR_BTNSHADOW);
        CRect top(r.left, r.top, r.right, r.top + 1), left(r.left, r.top, r.left + 1, r.bottom);
        CRect bottom(r.left, r.bottom - 1, r.right, r.bottom), right(r.right - 1, r.top, r.right, r.bottom);
        ::FillRect(dc, &top, light);
        ::FillRect(dc, &left, light);
        ::FillRect(dc, &bottom, dark);
        ::FillRect(dc, &right, dark);
    }
}

LRESULT CSizableReBar::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CREATE: return OnCreate();
    case WM_SIZE: OnSize(); return 0;
    case WM_ERASEBKGND: return OnEraseBkgnd(reinterpret_cast<HDC>(wParam)) ? 1 : 0;
    case WM_SETCURSOR:
        if (OnSetCursor()) return TRUE;
        break;
    case WM_LBUTTONDOWN: OnLButtonDown(lParam); return 0;
    case WM_MOUSEMOVE: OnMouseMove(lParam); return 0;
    case WM_LBUTTONUP: OnLButtonUp(); return 0;
    case WM_TIMER:
        if (wParam == kSlideTimer) {
            OnSlideStep();
            return 0;
        }
        break;
    case WM_IDLEUPDATECMDUI: OnIdleUpdate(); return 0;
    case WM_CONTEXTMENU: OnContextMenu(lParam); return 0;
    case WM_MEASUREITEM: {
        auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (mis && mis->CtlType == ODT_MENU) {
            MeasureChevronItem(mis);
            return TRUE;
        }
        break;
    }
    case WM_DRAWITEM: {
        auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (dis && dis->CtlType == ODT_MENU) {
            DrawChevronItem(dis);
            return TRUE;
        }
        break;
    }
    case WM_NOTIFY: return OnNotify(wParam, reinterpret_cast<NMHDR*>(lParam));
    case WM_COMMAND: OnCommand(wParam, lParam); return 0;
    case WM_MENUSELECT:
    case kMenuShowMessage: SendToBands(msg, wParam, lParam); return 1;
    case WM_DESTROY: ::KillTimer(m_hWnd, kSlideTimer); break;
    default: break;
    }
    return CWnd::WindowProc(msg, wParam, lParam);
}

// ---- the band holder

bool CSizableReBarTool::Create(HWND parent) {
    return CSizableReBar::Create(parent, 1, kToolBar, true);
}

int CSizableReBarTool::AddToolBar(HWND toolbar, UINT id, const char* text, UINT style, LPARAM param,
                                  UINT removeStyle) {
    // The band places the toolbar: it no longer sizes and places itself.
    LONG_PTR own = ::GetWindowLongPtrA(toolbar, GWL_STYLE);
    ::SetWindowLongPtrA(toolbar, GWL_STYLE, own | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER);
    int count = static_cast<int>(::SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0));
    CRect last;
    if (count > 0)
        ::SendMessageA(toolbar, TB_GETITEMRECT, static_cast<WPARAM>(count - 1),
                       reinterpret_cast<LPARAM>(&last));
    int width = last.right + 10;
    // A toolbar that sizes itself may stand taller than its last button: the band holds it.
    CRect window;
    ::GetWindowRect(toolbar, &window);
    int height = std::max<int>(last.bottom, window.Height());
    UINT bandStyle = (style | RBBS_NOGRIPPER | RBBS_USECHEVRON) & ~removeStyle;
    // The ideal is what the buttons take: an ideal as wide as the band would never fit beside
    // the band's border, and the chevron would cut the last button off for good.
    int result = CSizableReBar::AddBar(toolbar, id, last.right, height, width, text, bandStyle, param);
    OnParentSize();
    return result;
}

int CSizableReBarTool::GetHeight() const {
    if (!m_hWnd) return 0;
    return GetWindowRect().Height();
}

void CSizableReBarTool::OnParentSize() {
    if (!m_hWnd) return;
    HWND parent = ::GetParent(m_hWnd);
    CRect client;
    ::GetClientRect(parent, &client);
    int height = static_cast<int>(::SendMessageA(m_hReBar, RB_GETBARHEIGHT, 0, 0));
    if (!m_bGripperOff) height += 3;
    fw::PlaceChild(m_hWnd, 0, 0, client.Width(), height, SWP_NOACTIVATE);
}
