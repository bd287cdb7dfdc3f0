// The main frame's layout kept in the profile (its place, the menu rebar, the top rebar's
// bands) and the icon desktop's look and icons kept on the server.
#include "frame/MainFrame.h"

#include "app/AppLogic.h"
#include "app/ProtocolLog.h"
#include "app/Session.h"
#include "app/VORLANApp.h"
#include "resources/MainFrameIds.h"
#include "tools/IconList.h"
#include "tools/IconListLogic.h"

#include <cstdlib>

using vorlan::TraceFunction;

namespace {

constexpr const char* kSection = CToolBarExTool::kSection;

vorlan::ScreenLimits SystemScreenLimits() {
    vorlan::ScreenLimits s;
    s.primaryWidth = ::GetSystemMetrics(SM_CXSCREEN);
    s.primaryHeight = ::GetSystemMetrics(SM_CYSCREEN);
    bool several = ::GetSystemMetrics(SM_CMONITORS) > 1;
    s.width = several ? ::GetSystemMetrics(SM_CXVIRTUALSCREEN) : s.primaryWidth;
    s.height = several ? ::GetSystemMetrics(SM_CYVIRTUALSCREEN) : s.primaryHeight;
    return s;
}

// The icon desktop's list control, looked at through the framework's list without owning it.
struct DesktopList : CListCtrl {
    explicit DesktopList(HWND list) { m_hWnd = list; }
    ~DesktopList() override { m_hWnd = nullptr; }
};

} // namespace

bool CMainFrame::LoadState(const char* name) {
    std::string bytes;
    vorlan::WindowRecord r;
    if (!theApp.GetProfileBinary(kSection, name, bytes) || !vorlan::ParseWindowRecord(bytes, r)) return false;
    if (std::string(name) == "MenuBar") {
        m_wndMenuReBar.SetAutohide((r.state & vorlan::kMenuBarAutoHide) != 0);
        m_wndMenuReBar.ShowWindow((r.state & vorlan::kMenuBarShown) ? SW_SHOW : SW_HIDE);
        m_wndMenuReBar.MoveWindow(CRect(r.left, r.top, r.right, r.bottom));
        return true;
    }
    vorlan::CorrectWindowRect(r, m_pfnScreenLimits ? m_pfnScreenLimits() : SystemScreenLimits());
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    ::GetWindowPlacement(m_hWnd, &wp);
    wp.rcNormalPosition = RECT{r.left, r.top, r.right, r.bottom};
    wp.showCmd = (r.state == SW_SHOWMINIMIZED || r.state == SW_MINIMIZE || r.state == SW_SHOWMINNOACTIVE)
                     ? SW_SHOWNORMAL
                     : static_cast<UINT>(r.state);
    // The window appears when the application shows it; only its places are set now.
    if (!::IsWindowVisible(m_hWnd) && wp.showCmd != SW_SHOWMAXIMIZED) wp.showCmd = SW_HIDE;
    ::SetWindowPlacement(m_hWnd, &wp);
    m_bStatusVisible = r.extra != 0;
    SizeContents();
    return true;
}

void CMainFrame::SaveState(const char* name) {
    vorlan::WindowRecord r;
    if (std::string(name) == "MenuBar") {
        CRect bar = m_wndMenuReBar.GetWindowRect();
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&bar), 2);
        r = vorlan::WindowRecord{bar.left, bar.top, bar.right, bar.bottom, 0, 0};
        if (m_wndMenuReBar.IsAutohide(false)) r.state |= vorlan::kMenuBarAutoHide;
        if (m_wndMenuReBar.IsWindowVisible()) r.state |= vorlan::kMenuBarShown;
    } else {
        WINDOWPLACEMENT wp{};
        wp.length = sizeof wp;
        ::GetWindowPlacement(m_hWnd, &wp);
        const RECT& n = wp.rcNormalPosition;
        r = vorlan::WindowRecord{
            n.left, n.top, n.right, n.bottom, static_cast<int>(wp.showCmd), m_bStatusVisible ? 1 : 0};
    }
    std::string bytes = vorlan::BuildWindowRecord(r);
    theApp.WriteProfileBinary(kSection, name, &bytes);
}

void CMainFrame::LoadDefaults(int flag) {
    TraceFunction("CMainFrame::LoadDefaults");
    if (flag == 0) {
        LoadState("MainWindow");
        if (!LoadState("MenuBar")) {
            CRect bar = m_wndMenuReBar.GetWindowRect();
            ::SetWindowPos(m_wndMenuReBar.m_hWnd, nullptr, 0, 0, GetClientRect().Width() / 4, bar.Height(),
                           SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    SetBandInfos();
    std::string bytes;
    std::vector<vorlan::BandRecord> bands;
    if (theApp.GetProfileBinary(kSection, "BarSettings", bytes) && vorlan::ParseBandRecords(bytes, bands))
        ApplyBandRecords(bands);
    else
        ApplyDefaultBandLayout();
    SizeContents();
}

void CMainFrame::SaveDefaults() {
    TraceFunction("CMainFrame::SaveDefaults");
    m_wndToolBar.SaveToolBar("ITBar");
    SaveState("MainWindow");
    SaveState("MenuBar");
    std::vector<vorlan::BandRecord> bands;
    HWND rebar = m_wndReBar.GetReBar();
    for (int i = 0; i < m_wndReBar.GetBandCount(); ++i) {
        REBARBANDINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = RBBIM_ID | RBBIM_SIZE | RBBIM_STYLE;
        ::SendMessageA(rebar, RB_GETBANDINFOA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&info));
        bands.push_back({static_cast<int>(info.wID), static_cast<int>(info.cx), info.fStyle});
    }
    std::string bytes = vorlan::BuildBandRecords(bands);
    theApp.WriteProfileBinary(kSection, "BarSettings", &bytes);
}

bool CMainFrame::IsDesktopOptionsAllowed() const {
    return m_bLoggedIn && !m_wndMenuTree.IsMenuEditMode();
}

bool CMainFrame::IsSizeReportWanted() const {
    return m_pIconList && m_pIconList->m_bReportSizes;
}

void CMainFrame::SaveInfos() {
    TraceFunction("CMainFrame::SaveInfos");
    if (!m_bLoggedIn || !m_pIconList) return;
    if (TheSession().Execute(vorlan::VariableLine("%USER")).IsEmpty()) return;
    bool perClient = false;
    if (!TheSession().Execute(vorlan::kCurrentClientLine).IsEmpty()) {
        perClient = m_pIconList->m_bPerClient != 0;
        if (!perClient) TheSession().Execute(vorlan::kKillClientDesktopLine);
    }
    vorlan::DesktopLook look;
    look.background = static_cast<long>(m_pIconList->m_crBackground);
    look.textColour = static_cast<long>(m_pIconList->m_crText);
    look.textSize = m_pIconList->m_nTextSize;
    look.face = m_pIconList->m_strFontFace.str();
    look.picture = m_pIconList->m_strPicture.str();
    look.pictureKind = m_pIconList->m_nPictureKind;
    for (const std::string& line : vorlan::DesktopLookLines(perClient, look))
        TheSession().Execute(line);
    TheSession().Execute(vorlan::kKillIconsLine);
    DesktopList list(m_pIconList->m_hWnd);
    for (int i = list.GetItemCount() - 1; i >= 0; --i) {
        vorlan::DesktopIcon icon;
        icon.text = list.GetItemText(i, 0).str();
        icon.memo = list.GetItemText(i, 1).str();
        icon.parameter = list.GetItemText(i, 2).str();
        CPoint p = list.GetItemPosition(i);
        icon.x = p.x;
        icon.y = p.y;
        for (const std::string& line : vorlan::DesktopIconLines(i + 1, icon))
            TheSession().Execute(line);
    }
}

void CMainFrame::SetDesktopInfos() {
    if (!m_bLoggedIn || !m_pIconList) return;
    bool perClient;
    if (TheSession().Execute(vorlan::kClientDesktopCheckLine) == "1")
        perClient = true;
    else if (TheSession().Execute(vorlan::kUserDesktopCheckLine) == "1")
        perClient = false;
    else
        return;
    auto look = [&](const char* name) {
        return TheSession().Execute(vorlan::DesktopItemLine(perClient, name));
    };
    m_pIconList->SetStandard();
    m_pIconList->m_bPerClient = perClient ? 1 : 0;
    m_pIconList->m_crBackground = static_cast<COLORREF>(std::atol(look("BGCOLOR")));
    m_pIconList->m_crText = static_cast<COLORREF>(std::atol(look("TEXTCOLOR")));
    m_pIconList->m_nTextSize = std::atoi(look("TEXTSIZE"));
    m_pIconList->m_strFontFace = look("TEXTFONT");
    m_pIconList->m_strPicture = look("IMAGE");
    m_pIconList->m_nPictureKind = std::atoi(look("IMAGETYPE"));
    m_pIconList->Set(0);

    // Walked with $O: numbers left out by a deleted icon do not end the walk. Each icon comes
    // in one line, which also names the next one.
    CString next = TheSession().Execute(vorlan::NextIconLine(0));
    int n = 0;
    for (int guard = 0; guard < 10000; ++guard) {
        int number = std::atoi(next);
        if (next.IsEmpty() || number <= n) break;
        n = number;
        vorlan::StoredIcon icon;
        if (!vorlan::ParseStoredIcon(TheSession().Execute(vorlan::StoredIconLine(n)).str(), icon)) break;
        next = icon.next.c_str();
        m_pIconList->AddIcon(icon.text.c_str(), icon.memo.c_str(), icon.parameter.c_str(), icon.image,
                             POINT{icon.x, icon.y});
    }
}
