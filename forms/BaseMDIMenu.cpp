#include "forms/BaseMDIMenu.h"

#include "app/Session.h"
#include "forms/ChildForm.h"
#include "framework/App.h"
#include "resources/MainFrameIds.h"

#include <cstdio>

namespace {

constexpr int kPadding = 2;
constexpr int kGap = 4;
constexpr int kKeyNameGap = 10;

std::string RunLabelCode(const std::string& code) {
    return TheSession().Execute(code.c_str()).str();
}

// "F5" to "F12" for the F-key commands, else "".
CString KeyName(UINT id) {
    if (id < ID_FKEY_FIRST || id > ID_FKEY_LAST) return CString();
    char name[8];
    std::snprintf(name, sizeof name, "F%u", id - ID_FKEY_FIRST + 5);
    return CString(name);
}

HFONT CreateMenuFont() {
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    if (!::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return nullptr;
    return ::CreateFontIndirectA(&metrics.lfMenuFont);
}

HIMAGELIST OwnStrip(UINT bitmap) {
    CBitmap strip;
    if (!strip.LoadDIB(::GetModuleHandleA(nullptr), bitmap)) return nullptr;
    BITMAP bm{};
    strip.GetBitmap(bm);
    if (bm.bmHeight <= 0) return nullptr;
    CImageList list;
    if (!list.Create(bm.bmHeight, bm.bmHeight, ILC_COLOR24 | ILC_MASK, bm.bmWidth / bm.bmHeight, 0))
        return nullptr;
    list.AddMasked(strip, CLR_DEFAULT);
    return list.Detach();
}

} // namespace

CBaseMDIMenu::CBaseMDIMenu(UINT bitmap) {
    LoadImages(bitmap);
}

void CBaseMDIMenu::LoadImages(UINT bitmap) {
    m_images.Destroy();
    m_images.m_hImageList = AfxLoadImageList(bitmap);
    if (!m_images.m_hImageList) m_images.m_hImageList = OwnStrip(bitmap);
}

SIZE CBaseMDIMenu::IconSize() const {
    int cx = ::GetSystemMetrics(SM_CXSMICON), cy = ::GetSystemMetrics(SM_CYSMICON);
    if (m_images.m_hImageList) ::ImageList_GetIconSize(m_images, &cx, &cy);
    return SIZE{cx, cy};
}

int CBaseMDIMenu::AddMenu(const char* label, UINT id, int image) {
    if (!m_hMenu && !CreatePopupMenu()) return 0;
    m_items.push_back(Item{image, CString(label ? label : "")});
    MENUITEMINFOA mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_FTYPE | MIIM_ID | MIIM_DATA | MIIM_STRING;
    mii.fType = MFT_OWNERDRAW;
    mii.wID = id;
    mii.dwItemData = m_items.size() - 1;
    // The text stays with the item, so that readers and mnemonics find it.
    mii.dwTypeData = const_cast<char*>(m_items.back().label.c_str());
    if (!::InsertMenuItemA(m_hMenu, static_cast<UINT>(::GetMenuItemCount(m_hMenu)), TRUE, &mii)) {
        m_items.pop_back();
        return 0;
    }
    return 1;
}

int CBaseMDIMenu::AddPopup(UINT menuId) {
    CMenu loaded;
    if (!loaded.LoadMenu(menuId)) return 0;
    HMENU popup = ::GetSubMenu(loaded, 0);
    if (!popup) return 0;
    if (!m_hMenu && !CreatePopupMenu()) return 0;
    char title[256] = {};
    ::GetMenuStringA(loaded, 0, title, sizeof title, MF_BYPOSITION);
    ::RemoveMenu(loaded, 0, MF_BYPOSITION); // the popup is ours now, not the loaded menu's
    if (!::AppendMenuA(m_hMenu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup), title)) {
        ::DestroyMenu(popup);
        return 0;
    }
    return 1;
}

int CBaseMDIMenu::CreateFunctions(const std::vector<std::string>& keys, int count, int group, UINT bitmap) {
    return AddItems(vorlan::KeyMenuItems(keys, count, group, RunLabelCode), bitmap);
}

int CBaseMDIMenu::AddItems(const std::vector<vorlan::KeyMenuItem>& items, UINT bitmap) {
    if (bitmap) LoadImages(bitmap);
    if (!m_hMenu && !CreatePopupMenu()) return 0;
    for (const vorlan::KeyMenuItem& item : items) {
        if (item.separator)
            ::AppendMenuA(m_hMenu, MF_SEPARATOR, 0, nullptr);
        else
            AddMenu(item.text.c_str(), item.command, item.image);
    }
    return ::GetMenuItemCount(m_hMenu);
}

BOOL CBaseMDIMenu::TrackPopupMenuEx(const RECT& rect, HWND owner) const {
    return TrackPopupMenu(TPM_VERTICAL, rect.left, rect.bottom, owner, &rect);
}

const CString* CBaseMDIMenu::LabelOf(ULONG_PTR itemData) const {
    return itemData < m_items.size() ? &m_items[itemData].label : nullptr;
}

void CBaseMDIMenu::MeasureItem(MEASUREITEMSTRUCT* mis) {
    const CString* label = LabelOf(mis->itemData);
    if (!label) return;
    CFont font;
    font.Attach(CreateMenuFont());
    SIZE icon = IconSize();
    SIZE text = TextExtent(nullptr, font, *label, label->GetLength());
    int width = icon.cx + text.cx + kGap;
    CString key = KeyName(mis->itemID);
    if (!key.IsEmpty()) width += TextExtent(nullptr, font, key, key.GetLength()).cx + kKeyNameGap;
    mis->itemWidth = static_cast<UINT>(width);
    mis->itemHeight = static_cast<UINT>(icon.cy + kGap);
}

void CBaseMDIMenu::DrawItem(DRAWITEMSTRUCT* dis) {
    const CString* label = LabelOf(dis->itemData);
    if (!label) return;
    HDC dc = dis->hDC;
    CSaveDC saved(dc);
    bool selected = (dis->itemState & ODS_SELECTED) != 0;
    bool grey = (dis->itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
    RECT r = dis->rcItem;
    ::FillRect(dc, &r, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
    ::SetTextColor(dc, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
    ::SetBkMode(dc, TRANSPARENT);

    ::InflateRect(&r, -kPadding, -kPadding);
    SIZE icon = IconSize();
    int image = m_items[dis->itemData].image;
    if (image != -1 && m_images.m_hImageList)
        ::ImageList_Draw(m_images, image, dc, r.left, r.top, ILD_TRANSPARENT);
    // A key the server checks shows its image pressed.
    if (dis->itemState & ODS_CHECKED) {
        RECT box{r.left - 1, r.top - 1, r.left + icon.cx + 1, r.top + icon.cy + 1};
        ::DrawEdge(dc, &box, BDR_SUNKENOUTER, BF_RECT);
    }
    r.left += icon.cx + kGap;

    CFont font;
    font.Attach(CreateMenuFont());
    CSelectedObject chosen(dc, font);
    CString key = KeyName(dis->itemID);
    auto text = [&](const RECT& at) {
        RECT box = at;
        ::DrawTextA(dc, *label, label->GetLength(), &box, DT_LEFT | DT_SINGLELINE | DT_VCENTER);
        if (!key.IsEmpty())
            ::DrawTextA(dc, key, key.GetLength(), &box, DT_RIGHT | DT_SINGLELINE | DT_VCENTER);
    };
    if (!grey) {
        text(r);
        return;
    }
    if (!CChildForm::GetLooks().visualStyles) {
        ::SetTextColor(dc, ::GetSysColor(COLOR_BTNHIGHLIGHT));
        RECT shifted = r;
        ::OffsetRect(&shifted, 1, 1);
        text(shifted);
    }
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNSHADOW));
    text(r);
}

// ---- the title menu

CBaseMDITitleMenu::~CBaseMDITitleMenu() {
    Release();
}

void CBaseMDITitleMenu::Release() {
    // The bar would destroy the popups with itself: they are the popups' own to destroy.
    if (m_hMenu)
        while (::GetMenuItemCount(m_hMenu) > 0)
            ::RemoveMenu(m_hMenu, 0, MF_BYPOSITION);
    DestroyMenu();
    m_shown.clear();
}

int CBaseMDITitleMenu::Create(const std::vector<std::string>& keys, int count) {
    Release();
    m_hMenu = ::CreateMenu();
    if (!m_hMenu) return 0;
    int slot = 0;
    for (const vorlan::TitlePopup& popup : vorlan::TitleMenuPopups(keys, count, RunLabelCode)) {
        CBaseMDIMenu& menu = m_popups[slot];
        menu.DestroyMenu();
        m_groups[slot] = popup.group.number;
        m_bitmaps[slot] = popup.group.bitmap;
        if (menu.AddItems(popup.items, kImages) > 0 &&
            ::AppendMenuA(m_hMenu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(menu.m_hMenu),
                          popup.group.title.c_str())) {
            m_shown.push_back(slot);
            // The menu bar shows the group's image: its number rides in the checked-state bitmap.
            if (popup.group.bitmap > 0) {
                MENUITEMINFOA mii{};
                mii.cbSize = sizeof mii;
                mii.fMask = MIIM_CHECKMARKS;
                mii.hbmpChecked = reinterpret_cast<HBITMAP>(static_cast<INT_PTR>(popup.group.bitmap));
                ::SetMenuItemInfoA(m_hMenu, static_cast<UINT>(m_shown.size() - 1), TRUE, &mii);
            }
        }
        ++slot;
    }
    return GetCount();
}

CBaseMDIMenu* CBaseMDITitleMenu::GetPopup(int position) {
    if (position < 0 || position >= static_cast<int>(m_shown.size())) return nullptr;
    return &m_popups[m_shown[static_cast<size_t>(position)]];
}

int CBaseMDITitleMenu::GetCheckedBitmap(int position) const {
    if (position < 0 || position >= static_cast<int>(m_shown.size())) return 0;
    return m_bitmaps[m_shown[static_cast<size_t>(position)]];
}
