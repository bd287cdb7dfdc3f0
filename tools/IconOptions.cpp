// The desktop's look: picture and placement, colours, font, and whose look it is.
#include "tools/IconDialogs.h"

#include "app/AppLogic.h"
#include "app/ProtocolLog.h"
#include "app/Session.h"
#include "framework/ColorFontDialog.h"
#include "tools/FileDialogPreview.h"
#include "framework/Gdi.h"
#include "resources/DesktopIds.h"
#include "resources/FormIds.h"
#include "tools/IconList.h"
#include "tools/IconListLogic.h"

#include <string>
#include <vector>

namespace {

constexpr int kModeButtons[4] = {IDC_OPT_TILE, IDC_OPT_CENTRE, IDC_OPT_STRETCH, IDC_OPT_BOTTOMRIGHT};
constexpr int kStripHeight = 70;
constexpr int kStripInset = 10;
// The file dialog's flags: the file and its folder must exist, the current folder stays.
constexpr DWORD kBrowseFlags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;

} // namespace

CIconOptions::CIconOptions(CIconList* desktop)
    : CDialog(IDD_ICON_OPTIONS, desktop), m_pDesktop(desktop), m_bPerClient(desktop->m_bPerClient),
      m_strPicture(desktop->m_strPicture), m_nMode(desktop->m_nPictureKind),
      m_crBackground(desktop->m_crBackground), m_crText(desktop->m_crText), m_strFace(desktop->m_strFontFace),
      m_nSize(desktop->m_nTextSize) {}

CIconOptions::~CIconOptions() {
    if (m_hPicture) ::DeleteObject(m_hPicture);
}

bool CIconOptions::OnInitDialog() {
    vorlan::TraceFunction("CIconOptions::OnInitDialog");
    m_strClient = TheSession().Execute(vorlan::kCurrentClientLine);
    int mode = m_nMode >= 0 && m_nMode <= 3 ? m_nMode : 0;
    ::CheckRadioButton(m_hWnd, IDC_OPT_TILE, IDC_OPT_BOTTOMRIGHT, kModeButtons[mode]);
    ::CheckRadioButton(m_hWnd, IDC_OPT_ALL_CLIENTS, IDC_OPT_THIS_CLIENT,
                       m_bPerClient ? IDC_OPT_THIS_CLIENT : IDC_OPT_ALL_CLIENTS);
    // The button's text is a format that receives the client.
    std::string scope = GetDlgItemText(IDC_OPT_THIS_CLIENT).str();
    std::size_t at = scope.find("%s");
    if (at != std::string::npos) scope.replace(at, 2, m_strClient.str());
    SetDlgItemText(IDC_OPT_THIS_CLIENT, scope.c_str());
    FillPictures();
    TakePicture(m_strPicture);
    ShowLook();
    ::EnableWindow(GetDlgItem(IDC_OPT_APPLY), FALSE);
    return true;
}

void CIconOptions::FillPictures() {
    HWND list = GetDlgItem(IDC_OPT_PICTURES);
    CString none;
    none.LoadString(IDS_NO_PICTURE);
    ::SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(none.c_str()));
    for (UINT id = IDS_BACKGROUND_FIRST; id <= IDS_BACKGROUND_LAST; ++id) {
        CString name;
        if (!name.LoadString(id) || name.IsEmpty()) break;
        ::SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    }
    m_nFixed = static_cast<int>(::SendMessageA(list, CB_GETCOUNT, 0, 0));
    int at = 0;
    if (!m_strPicture.IsEmpty()) {
        at = static_cast<int>(::SendMessageA(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                             reinterpret_cast<LPARAM>(m_strPicture.c_str())));
        if (at < 0)
            at = static_cast<int>(
                ::SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(m_strPicture.c_str())));
    }
    ::SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(at), 0);
}

bool CIconOptions::TakePicture(const char* name) {
    if (m_hPicture) ::DeleteObject(m_hPicture);
    m_hPicture = CIconList::LoadPicture(name);
    m_strPicture = name;
    bool set = m_hPicture != nullptr;
    for (int id : kModeButtons)
        ::EnableWindow(GetDlgItem(id), set);
    return set || !name || !*name;
}

void CIconOptions::ShowLook() {
    SetDlgItemText(IDC_OPT_FONT, vorlan::FontSampleText(m_strFace.str(), m_nSize).c_str());
    for (int id : {IDC_OPT_BACKCOLOUR, IDC_OPT_TEXTCOLOUR, IDC_OPT_PREVIEW})
        ::InvalidateRect(GetDlgItem(id), nullptr, TRUE);
}

void CIconOptions::Changed() {
    ShowLook();
    ::EnableWindow(GetDlgItem(IDC_OPT_APPLY), TRUE);
}

bool CIconOptions::OnCommand(WPARAM wParam, LPARAM lParam) {
    int id = LOWORD(wParam), code = HIWORD(wParam);
    for (int mode = 0; mode < 4; ++mode)
        if (id == kModeButtons[mode] && code == BN_CLICKED) {
            m_nMode = mode;
            Changed();
            return true;
        }
    switch (id) {
    case IDC_OPT_ALL_CLIENTS:
    case IDC_OPT_THIS_CLIENT:
        if (code != BN_CLICKED) return false;
        m_bPerClient = id == IDC_OPT_THIS_CLIENT ? 1 : 0;
        Changed();
        return true;
    case IDC_OPT_PICTURES:
        if (code == CBN_SELCHANGE) OnPictureChosen();
        return code == CBN_SELCHANGE;
    case IDC_OPT_BACKCOLOUR_BUTTON: OnColour(m_crBackground); return true;
    case IDC_OPT_TEXTCOLOUR_BUTTON: OnColour(m_crText); return true;
    case IDC_OPT_FONT_BUTTON: OnFont(); return true;
    case IDC_OPT_BROWSE: OnBrowse(); return true;
    case IDC_OPT_APPLY: Apply(); return true;
    default: return CDialog::OnCommand(wParam, lParam);
    }
}

void CIconOptions::OnPictureChosen() {
    HWND list = GetDlgItem(IDC_OPT_PICTURES);
    int at = static_cast<int>(::SendMessageA(list, CB_GETCURSEL, 0, 0));
    CString name;
    if (at > 0) {
        int length = static_cast<int>(::SendMessageA(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(at), 0));
        std::vector<char> text(static_cast<size_t>(length > 0 ? length : 0) + 1);
        ::SendMessageA(list, CB_GETLBTEXT, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(text.data()));
        name = text.data();
    }
    TakePicture(name);
    Changed();
}

void CIconOptions::OnBrowse() {
    CString filter;
    filter.LoadString(IDS_PICTURE_FILTER);
    HWND list = GetDlgItem(IDC_OPT_PICTURES);
    int current = static_cast<int>(::SendMessageA(list, CB_GETCURSEL, 0, 0));
    // Starts at the picture file in use; a built-in picture has no file to start at.
    const char* start = current >= m_nFixed ? m_strPicture.c_str() : nullptr;
    CFileDialogPreview dialog(true, nullptr, start, kBrowseFlags, filter, m_hWnd);
    if (dialog.DoModal() != IDOK) return;
    CString path = dialog.GetPathName();
    // One file entry at a time: earlier ones go.
    while (static_cast<int>(::SendMessageA(list, CB_GETCOUNT, 0, 0)) > m_nFixed)
        ::SendMessageA(list, CB_DELETESTRING, static_cast<WPARAM>(m_nFixed), 0);
    if (TakePicture(path)) {
        int at =
            static_cast<int>(::SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(path.c_str())));
        ::SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(at), 0);
    } else {
        ::SendMessageA(list, CB_SETCURSEL, 0, 0);
        TakePicture("");
    }
    Changed();
}

void CIconOptions::OnColour(COLORREF& colour) {
    CColorDialog dialog(colour, CC_FULLOPEN, m_hWnd);
    if (dialog.DoModal() != IDOK) return;
    colour = dialog.GetColor();
    Changed();
}

void CIconOptions::OnFont() {
    CFontDialog dialog(m_strFace, m_nSize, CF_SCREENFONTS, m_hWnd);
    if (dialog.DoModal() != IDOK) return;
    m_strFace = dialog.GetFaceName();
    m_nSize = dialog.GetSize() / 10;
    Changed();
}

void CIconOptions::Apply() {
    vorlan::TraceFunction("CIconOptions::Apply");
    m_pDesktop->m_bPerClient = m_bPerClient;
    m_pDesktop->m_crBackground = m_crBackground;
    m_pDesktop->m_crText = m_crText;
    m_pDesktop->m_strFontFace = m_strFace;
    m_pDesktop->m_nTextSize = m_nSize;
    m_pDesktop->m_strPicture = m_strPicture;
    m_pDesktop->m_nPictureKind = m_nMode;
    m_pDesktop->Set(0);
    ::EnableWindow(GetDlgItem(IDC_OPT_APPLY), FALSE);
}

void CIconOptions::OnOK() {
    Apply();
    CDialog::OnOK();
}

LRESULT CIconOptions::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DRAWITEM) {
        auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item->CtlID == IDC_OPT_PREVIEW)
            DrawPreview(item);
        else
            DrawSample(item);
        return TRUE;
    }
    return CDialog::WindowProc(msg, wParam, lParam);
}

void CIconOptions::DrawSample(const DRAWITEMSTRUCT* item) {
    CBrush fill(item->CtlID == IDC_OPT_TEXTCOLOUR ? m_crText : m_crBackground);
    ::FillRect(item->hDC, &item->rcItem, fill);
    ::FrameRect(item->hDC, &item->rcItem, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
}

void CIconOptions::DrawPreview(const DRAWITEMSTRUCT* item) {
    ::FillRect(item->hDC, &item->rcItem, ::GetSysColorBrush(COLOR_BTNFACE));
    RECT strip{item->rcItem.left + kStripInset, item->rcItem.bottom - kStripInset - kStripHeight,
               item->rcItem.right - kStripInset, item->rcItem.bottom - kStripInset};
    if (strip.top < item->rcItem.top) strip.top = item->rcItem.top;
    RECT desktop{0, 0, 0, 0};
    ::GetClientRect(m_pDesktop->m_hWnd, &desktop);
    if (desktop.right <= 0 || desktop.bottom <= 0) desktop = RECT{0, 0, 640, 480};
    // The desktop at its own size, then scaled down into the strip.
    CMemoryDC memory(item->hDC);
    CBitmap full;
    full.Attach(::CreateCompatibleBitmap(item->hDC, desktop.right, desktop.bottom));
    if (!full.m_hObject) return;
    {
        CSelectedObject select(memory, full.m_hObject);
        CIconList::DrawBitmap(memory, desktop, m_nMode, m_crBackground, m_hPicture);
        int old = ::SetStretchBltMode(item->hDC, HALFTONE);
        ::SetBrushOrgEx(item->hDC, 0, 0, nullptr);
        ::StretchBlt(item->hDC, strip.left, strip.top, strip.right - strip.left, strip.bottom - strip.top,
                     memory, 0, 0, desktop.right, desktop.bottom, SRCCOPY);
        ::SetStretchBltMode(item->hDC, old);
    }
    ::FrameRect(item->hDC, &strip, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
}
