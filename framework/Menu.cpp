#include "framework/Menu.h"
#include "framework/App.h"
#include "common/TextChars.h"
#include "framework/Gdi.h"

#include <unordered_map>
#include <vector>

bool CMenu::LoadMenu(UINT id) {
    DestroyMenu();
    m_hMenu = ::LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCEA(id));
    return m_hMenu != nullptr;
}

bool CMenu::CreatePopupMenu() {
    DestroyMenu();
    m_hMenu = ::CreatePopupMenu();
    return m_hMenu != nullptr;
}

void CMenu::Attach(HMENU menu) {
    DestroyMenu();
    m_hMenu = menu;
}

HMENU CMenu::Detach() {
    HMENU h = m_hMenu;
    m_hMenu = nullptr;
    return h;
}

bool CMenu::DestroyMenu() {
    if (!m_hMenu) return false;
    bool ok = ::DestroyMenu(m_hMenu) != 0;
    m_hMenu = nullptr;
    return ok;
}

int CMenu::FindItem(HMENU menu, UINT id) {
    int n = ::GetMenuItemCount(menu);
    for (int i = 0; i < n; ++i)
        if (::GetMenuItemID(menu, i) == id) return i;
    return -1;
}

HMENU CMenu::FindPopupOf(HMENU menu, UINT id) {
    if (!menu) return nullptr;
    if (FindItem(menu, id) >= 0) return menu;
    int n = ::GetMenuItemCount(menu);
    for (int i = 0; i < n; ++i)
        if (HMENU sub = ::GetSubMenu(menu, i))
            if (HMENU found = FindPopupOf(sub, id)) return found;
    return nullptr;
}

CString CMenu::ItemText(HMENU menu, int position) {
    // Owner-drawn items keep their string too (see COwnerDrawMenus::Convert).
    char buf[512] = {};
    MENUITEMINFOA mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_STRING;
    mii.dwTypeData = buf;
    mii.cch = sizeof buf;
    if (!::GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &mii)) return CString();
    return CString(buf);
}

void COwnerDrawMenus::Convert(HMENU popup) {
    int n = ::GetMenuItemCount(popup);
    for (int i = 0; i < n; ++i) {
        char buf[512] = {};
        MENUITEMINFOA mii{};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_FTYPE | MIIM_DATA | MIIM_STRING;
        mii.dwTypeData = buf;
        mii.cch = sizeof buf;
        if (!::GetMenuItemInfoA(popup, static_cast<UINT>(i), TRUE, &mii)) continue;
        bool converted = (mii.fType & MFT_OWNERDRAW) && (mii.dwItemData & 0xFFFF0000) == kTag;
        if (converted || (mii.fType & (MFT_BITMAP | MFT_SEPARATOR))) {
            if (converted && buf[0]) m_texts[mii.dwItemData & 0xFFFF] = buf; // renamed meanwhile
            continue;
        }
        if (m_texts.size() >= 0xFFFF) m_texts.clear(); // never reached by real menus
        m_texts.emplace_back(buf);
        MENUITEMINFOA set{};
        set.cbSize = sizeof set;
        set.fMask = MIIM_FTYPE | MIIM_DATA | MIIM_STRING;
        set.fType = mii.fType | MFT_OWNERDRAW;
        set.dwItemData = kTag | (m_texts.size() - 1);
        set.dwTypeData = buf; // kept, so that mnemonics and readers still find it
        ::SetMenuItemInfoA(popup, static_cast<UINT>(i), TRUE, &set);
    }
}

int COwnerDrawMenus::FindMnemonic(HMENU menu, char key) {
    if (!menu || !key) return -1;
    char wanted = vorlan::TextUpper(key);
    int n = ::GetMenuItemCount(menu);
    for (int i = 0; i < n; ++i) {
        CString text = CMenu::ItemText(menu, i);
        for (int at = text.Find('&'); at >= 0 && at + 1 < text.GetLength(); at = text.Find('&', at + 2)) {
            if (text[at + 1] == '&') continue;
            if (vorlan::TextUpper(text[at + 1]) == wanted) return i;
            break;
        }
    }
    return -1;
}

const CString* COwnerDrawMenus::TextOf(ULONG_PTR itemData) const {
    if ((itemData & 0xFFFF0000) != kTag) return nullptr;
    size_t i = itemData & 0xFFFF;
    return i < m_texts.size() ? &m_texts[i] : nullptr;
}

bool COwnerDrawMenus::OnMeasureItem(HWND owner, MEASUREITEMSTRUCT* mis) {
    if (!mis || mis->CtlType != ODT_MENU) return false;
    const CString* text = TextOf(mis->itemData);
    if (!text) return false;
    CString shown = *text;
    shown.Replace("&", "");
    shown.Replace("\t", "    ");
    SIZE size = TextExtent(owner, m_hFont, shown, shown.GetLength());
    TEXTMETRICA tm = TextMetrics(owner, m_hFont);
    int check = ::GetSystemMetrics(SM_CXMENUCHECK);
    mis->itemWidth = static_cast<UINT>(size.cx + 2 * check + 8);
    mis->itemHeight = static_cast<UINT>(tm.tmHeight + tm.tmExternalLeading + 4);
    return true;
}

bool COwnerDrawMenus::OnDrawItem(DRAWITEMSTRUCT* dis) {
    if (!dis || dis->CtlType != ODT_MENU) return false;
    const CString* text = TextOf(dis->itemData);
    if (!text) return false;
    HDC dc = dis->hDC;
    bool selected = (dis->itemState & ODS_SELECTED) != 0;
    bool grey = (dis->itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
    RECT r = dis->rcItem;
    ::FillRect(dc, &r, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
    int textColour = grey ? COLOR_GRAYTEXT : selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT;
    ::SetTextColor(dc, ::GetSysColor(textColour));
    ::SetBkMode(dc, TRANSPARENT);
    CSelectedObject font(dc, m_hFont);
    int check = ::GetSystemMetrics(SM_CXMENUCHECK);
    if (dis->itemState & ODS_CHECKED) {
        RECT box{r.left + 2, r.top, r.left + 2 + check, r.bottom};
        ::DrawTextA(dc, "\x95", 1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    CString label = *text, accel;
    int tab = label.Find('\t');
    if (tab >= 0) {
        accel = label.Mid(tab + 1);
        label = label.Left(tab);
    }
    RECT tr{r.left + check + 6, r.top, r.right - check, r.bottom};
    UINT flags = DT_SINGLELINE | DT_VCENTER | ((dis->itemState & ODS_NOACCEL) ? DT_HIDEPREFIX : 0);
    ::DrawTextA(dc, label, label.GetLength(), &tr, flags | DT_LEFT);
    if (!accel.IsEmpty()) ::DrawTextA(dc, accel, accel.GetLength(), &tr, flags | DT_RIGHT);
    return true;
}

BOOL CMenu::TrackPopupMenu(UINT flags, int x, int y, HWND owner, const RECT* exclude) const {
    if (!m_hMenu) return FALSE;
    fw::MenuTrackingScope scope(owner, m_hMenu);
    TPMPARAMS params{};
    params.cbSize = sizeof params;
    if (exclude) params.rcExclude = *exclude;
    return ::TrackPopupMenuEx(m_hMenu, flags, x, y, owner, exclude ? &params : nullptr);
}

namespace {

std::unordered_map<HMENU, COwnerDrawnMenu*>& OwnerDrawnMenus() {
    static std::unordered_map<HMENU, COwnerDrawnMenu*> map;
    return map;
}

thread_local fw::MenuTracking t_tracking;

// The menu (searched through its popups) that holds an owner-drawn item with this command
// and item data.
COwnerDrawnMenu* HolderOf(HMENU menu, UINT id, ULONG_PTR data, int depth) {
    if (!menu || depth > 8) return nullptr;
    int n = ::GetMenuItemCount(menu);
    for (int i = 0; i < n; ++i) {
        MENUITEMINFOA mii{};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_ID | MIIM_FTYPE | MIIM_DATA | MIIM_SUBMENU;
        if (!::GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &mii)) continue;
        if (mii.hSubMenu) {
            if (COwnerDrawnMenu* found = HolderOf(mii.hSubMenu, id, data, depth + 1)) return found;
        } else if ((mii.fType & MFT_OWNERDRAW) && mii.wID == id && mii.dwItemData == data) {
            return COwnerDrawnMenu::FromHandlePermanent(menu);
        }
    }
    return nullptr;
}

} // namespace

COwnerDrawnMenu::~COwnerDrawnMenu() {
    Forget();
}

void COwnerDrawnMenu::Forget() {
    if (m_hMenu) OwnerDrawnMenus().erase(m_hMenu);
}

bool COwnerDrawnMenu::CreatePopupMenu() {
    DestroyMenu();
    if (!CMenu::CreatePopupMenu()) return false;
    OwnerDrawnMenus()[m_hMenu] = this;
    return true;
}

bool COwnerDrawnMenu::DestroyMenu() {
    Forget();
    return CMenu::DestroyMenu();
}

HMENU COwnerDrawnMenu::Detach() {
    Forget();
    return CMenu::Detach();
}

COwnerDrawnMenu* COwnerDrawnMenu::FromHandlePermanent(HMENU menu) {
    auto it = OwnerDrawnMenus().find(menu);
    return it == OwnerDrawnMenus().end() ? nullptr : it->second;
}

namespace fw {

MenuTracking& ThreadMenuTracking() {
    return t_tracking;
}

MenuTrackingScope::MenuTrackingScope(HWND window, HMENU menu) : m_previous(t_tracking) {
    t_tracking.window = window;
    t_tracking.menu = menu;
}

MenuTrackingScope::~MenuTrackingScope() {
    t_tracking = m_previous;
}

bool DispatchMenuItemMessage(HWND window, UINT msg, LPARAM lParam) {
    if (msg == WM_DRAWITEM) {
        auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (!dis || dis->CtlType != ODT_MENU) return false;
        COwnerDrawnMenu* menu = COwnerDrawnMenu::FromHandlePermanent(reinterpret_cast<HMENU>(dis->hwndItem));
        if (!menu) return false;
        menu->DrawItem(dis);
        return true;
    }
    if (msg != WM_MEASUREITEM) return false;
    auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
    if (!mis || mis->CtlType != ODT_MENU) return false;
    COwnerDrawnMenu* menu = nullptr;
    if (t_tracking.menu && t_tracking.window == window)
        menu = HolderOf(t_tracking.menu, mis->itemID, mis->itemData, 0);
    if (!menu)
        for (const auto& entry : OwnerDrawnMenus())
            if ((menu = HolderOf(entry.first, mis->itemID, mis->itemData, 0)) != nullptr) break;
    if (!menu) return false;
    menu->MeasureItem(mis);
    return true;
}

} // namespace fw
