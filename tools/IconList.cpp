// The desktop's set-up, its look and its icons as data.
#include "tools/IconList.h"

#include "app/ProtocolLog.h"
#include "app/Session.h"
#include "framework/App.h"
#include "framework/Gdi.h"
#include "imaging/ImgAnyDecoder.h"
#include "imaging/ImgWinBitmap.h"
#include "resources/DesktopIds.h"
#include "resources/resource.h"
#include "tools/IconListLogic.h"

#include <commctrl.h>

#include <vector>

namespace {

constexpr int kLargeIcon = 32;

// The menu tree's pictures at the desktop's size.
HIMAGELIST LargeImagesOf(HIMAGELIST small) {
    HIMAGELIST large = ::ImageList_Create(kLargeIcon, kLargeIcon, ILC_COLOR24 | ILC_MASK, 48, 0);
    if (!large || !small) return large;
    for (int i = 0; i < ::ImageList_GetImageCount(small); ++i) {
        HICON icon = ::ImageList_GetIcon(small, i, ILD_NORMAL);
        ::ImageList_AddIcon(large, icon); // stretched to the list's size
        if (icon) ::DestroyIcon(icon);
    }
    return large;
}

// The built-in background whose name this is (0 for none).
UINT BuiltInBackground(const char* name) {
    for (UINT id = IDS_BACKGROUND_FIRST; id <= IDS_BACKGROUND_LAST; ++id) {
        CString text;
        if (text.LoadString(id) && !text.IsEmpty() && text == name) return id;
    }
    return 0;
}

} // namespace

CIconList::CIconList() : m_dropTarget(this) {}

CIconList::~CIconList() {
    if (m_hFont) ::DeleteObject(m_hFont);
    if (m_hPicture) ::DeleteObject(m_hPicture);
    if (m_hImages) ::ImageList_Destroy(m_hImages);
}

bool CIconList::Create(DWORD style, const RECT& rect, HWND frame, UINT id, UINT firstChildId) {
    vorlan::TraceFunction("CIconList::Create");
    // The image list is ours to free: the list must not take it along.
    if (!CreateClient(WS_EX_CLIENTEDGE, WC_LISTVIEWA,
                      style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | LVS_ICON | LVS_SHAREIMAGELISTS, rect, frame,
                      id, firstChildId))
        return false;
    m_bAutoDelete = true;
    const char* headings[3] = {"Beschreibung", "Memo", "Parameter"};
    for (int i = 0; i < 3; ++i) {
        LVCOLUMNA col{};
        col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        col.pszText = const_cast<char*>(headings[i]);
        col.cx = 120;
        col.iSubItem = i;
        SendMessage(LVM_INSERTCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&col));
    }
    HIMAGELIST small = AfxLoadImageList(IDB_MENUTREE);
    m_hImages = LargeImagesOf(small);
    if (small) ::ImageList_Destroy(small);
    SendMessage(LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(m_hImages));
    SetStandard();
    AfxOleInit();
    m_dropTarget.Register(this);
    m_cfIcon = ::RegisterClipboardFormatA(vorlan::kIconClipboardFormat);
    return true;
}

void CIconList::SetStandard() {
    vorlan::TraceFunction("CIconList::SetStandard");
    SendMessage(LVM_DELETEALLITEMS);
    m_crText = RGB(255, 255, 255);
    m_strFontFace = "Tahoma";
    m_nTextSize = 9;
    SendMessage(LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(CLR_NONE));
    m_strPicture.LoadString(IDS_BACKGROUND_FIRST);
    m_nPictureKind = 3;
    Set(1);
}

void CIconList::Set(int resetColour) {
    vorlan::TraceFunction("CIconList::Set");
    LOGFONTA lf{};
    lf.lfHeight = -::MulDiv(m_nTextSize * 10, ::GetDeviceCaps(CClientDC(m_hWnd), LOGPIXELSY), 720);
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(lf.lfFaceName, m_strFontFace, LF_FACESIZE);
    HFONT font = ::CreateFontIndirectA(&lf);
    if (font) {
        SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (m_hFont) ::DeleteObject(m_hFont);
        m_hFont = font;
    }
    if (!SetBitmap(m_strPicture) && resetColour) m_crBackground = ::GetSysColor(COLOR_APPWORKSPACE);
    // The background is ours to draw (WM_ERASEBKGND); the list draws only the icons.
    SendMessage(LVM_SETBKCOLOR, 0, static_cast<LPARAM>(CLR_NONE));
    SendMessage(LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(m_crText));
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CIconList::SetSizesToKVX() {
    if (!m_bReportSizes) return;
    CRect client = GetClientRect();
    TheSession().Execute(vorlan::ClientSizeLine(client.Width(), client.Height()));
    TheSession().Execute(
        vorlan::ScreenSizeLine(::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)));
}

HBITMAP CIconList::LoadPicture(const char* name) {
    if (!name || !*name) return nullptr;
    ImgWinBitmap image;
    try {
        ImgAnyDecoder decoder;
        if (UINT id = BuiltInBackground(name))
            decoder.DecodeResource(AfxGetResourceHandle(), static_cast<int>(id), &image, 0, "BACKGROUND");
        else
            decoder.DecodeFile(name, &image);
    } catch (const ImgTextException&) {
        return nullptr;
    }
    if (image.GetWidth() <= 0 || image.GetHeight() <= 0) return nullptr;
    CClientDC screen(nullptr);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, image.GetWidth(), image.GetHeight());
    if (!bitmap) return nullptr;
    CMemoryDC memory(screen);
    CSelectedObject select(memory, bitmap);
    image.Draw(memory, 0, 0, SRCCOPY);
    return bitmap;
}

bool CIconList::SetBitmap(const char* name) {
    vorlan::TraceFunction("CIconList::SetBitmap");
    if (m_hPicture) ::DeleteObject(m_hPicture);
    m_hPicture = nullptr;
    if (!name || !*name) return true;
    m_hPicture = LoadPicture(name);
    if (!m_hPicture) return false;
    CClientDC screen(nullptr);
    CMemoryDC memory(screen);
    CSelectedObject select(memory, m_hPicture);
    m_crBackground = ::GetPixel(memory, 0, 0);
    return true;
}

void CIconList::DrawBitmap(HDC dc, const RECT& rect, int mode, COLORREF background, HBITMAP picture) {
    BITMAP info{};
    if (!picture || !::GetObjectA(picture, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0) {
        CBrush fill(background);
        ::FillRect(dc, &rect, fill);
        return;
    }
    CMemoryDC memory(dc);
    CSelectedObject select(memory, picture);
    int w = info.bmWidth, h = info.bmHeight;
    if (mode == 0) {
        for (int y = rect.top; y < rect.bottom; y += h)
            for (int x = rect.left; x < rect.right; x += w)
                ::BitBlt(dc, x, y, w, h, memory, 0, 0, SRCCOPY);
        return;
    }
    vorlan::PlacedRect area{rect.left, rect.top, rect.right, rect.bottom};
    vorlan::PlacedRect at = vorlan::PicturePlacement(mode == 1 || mode == 2 ? mode : 3, area, w, h);
    if (mode == 2) {
        int old = ::SetStretchBltMode(dc, HALFTONE);
        ::SetBrushOrgEx(dc, 0, 0, nullptr);
        ::StretchBlt(dc, at.left, at.top, at.right - at.left, at.bottom - at.top, memory, 0, 0, w, h,
                     SRCCOPY);
        ::SetStretchBltMode(dc, old);
        return;
    }
    // The margins around the picture in the background colour.
    CBrush fill(background);
    RECT margins[4] = {{rect.left, rect.top, rect.right, at.top},
                       {rect.left, at.bottom, rect.right, rect.bottom},
                       {rect.left, at.top, at.left, at.bottom},
                       {at.right, at.top, rect.right, at.bottom}};
    for (const RECT& m : margins)
        if (m.right > m.left && m.bottom > m.top) ::FillRect(dc, &m, fill);
    ::BitBlt(dc, at.left, at.top, w, h, memory, 0, 0, SRCCOPY);
}

bool CIconList::OnEraseBackground(HDC dc) {
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    DrawBitmap(dc, client, m_nPictureKind, m_crBackground, m_hPicture);
    return true;
}

LRESULT CIconList::OnPaint(UINT msg, WPARAM wParam, LPARAM lParam) {
    // Some list controls arrange the icons on their first paint with items, which would lose
    // the places the icons were given: they are put back where they were.
    if (::GetWindowLongA(m_hWnd, GWL_STYLE) & LVS_AUTOARRANGE)
        return CMDIClientWnd::WindowProc(msg, wParam, lParam);
    std::vector<POINT> places(static_cast<size_t>(GetIconCount()));
    for (size_t i = 0; i < places.size(); ++i)
        SendMessage(LVM_GETITEMPOSITION, i, reinterpret_cast<LPARAM>(&places[i]));
    LRESULT r = CMDIClientWnd::WindowProc(msg, wParam, lParam);
    bool moved = false;
    for (size_t i = 0; i < places.size() && static_cast<int>(i) < GetIconCount(); ++i) {
        POINT now{};
        SendMessage(LVM_GETITEMPOSITION, i, reinterpret_cast<LPARAM>(&now));
        if (now.x == places[i].x && now.y == places[i].y) continue;
        SendMessage(LVM_SETITEMPOSITION32, i, reinterpret_cast<LPARAM>(&places[i]));
        moved = true;
    }
    if (moved) ::InvalidateRect(m_hWnd, nullptr, TRUE);
    return r;
}

int CIconList::AddIcon(const char* caption, const char* memo, const char* parameter, int image, POINT at) {
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = GetIconCount();
    item.pszText = const_cast<char*>(caption ? caption : "");
    item.iImage = image;
    int index = static_cast<int>(SendMessage(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    if (index < 0) return -1;
    SetIcon(index, nullptr, memo, parameter, image);
    SendMessage(LVM_SETITEMPOSITION32, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&at));
    return index;
}

void CIconList::SetIcon(int item, const char* caption, const char* memo, const char* parameter, int image) {
    const char* texts[3] = {caption, memo, parameter};
    for (int column = 0; column < 3; ++column) {
        if (!texts[column]) continue;
        // Sub-item texts are kept to 127 characters.
        std::string text = std::string(texts[column]).substr(0, column ? 127 : std::string::npos);
        LVITEMA lv{};
        lv.iSubItem = column;
        lv.pszText = const_cast<char*>(text.c_str());
        SendMessage(LVM_SETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lv));
    }
    LVITEMA lv{};
    lv.mask = LVIF_IMAGE;
    lv.iItem = item;
    lv.iImage = image;
    SendMessage(LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&lv));
}

std::string CIconList::GetIconText(int item, int column) const {
    std::vector<char> text(260);
    LVITEMA lv{};
    lv.iSubItem = column;
    lv.pszText = text.data();
    lv.cchTextMax = static_cast<int>(text.size());
    ::SendMessageA(m_hWnd, LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lv));
    return text.data();
}

int CIconList::GetIconImage(int item) const {
    LVITEMA lv{};
    lv.mask = LVIF_IMAGE;
    lv.iItem = item;
    if (!::SendMessageA(m_hWnd, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&lv))) return -1;
    return lv.iImage;
}

int CIconList::GetIconCount() const {
    return static_cast<int>(::SendMessageA(m_hWnd, LVM_GETITEMCOUNT, 0, 0));
}

void CIconList::OnSize(UINT type) {
    if (type == SIZE_MINIMIZED) return;
    SetSizesToKVX();
    ::ArrangeIconicWindows(m_hWnd);
    // Every placement but tiling depends on the size.
    if (m_hPicture && m_nPictureKind != 0) ::InvalidateRect(m_hWnd, nullptr, TRUE);
}
