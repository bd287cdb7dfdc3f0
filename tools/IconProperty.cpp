// One icon's caption, function, parameter and image, and the choice of its image.
#include "tools/IconDialogs.h"

#include "app/ProtocolLog.h"
#include "app/Session.h"
#include "resources/DesktopIds.h"
#include "tools/IconListLogic.h"

#include <string>
#include <vector>

namespace {

constexpr int kPreviewLeftOfCaption = 52;
constexpr int kIconSize = 32;
constexpr int kSymbolSpacing = 40;

std::string ComboText(HWND combo, int index) {
    int length = static_cast<int>(::SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0));
    if (length < 0) return {};
    std::vector<char> text(static_cast<size_t>(length) + 1);
    ::SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    return text.data();
}

} // namespace

CIconProperty::CIconProperty(CWnd* parent, HIMAGELIST images)
    : CDialog(IDD_ICON_PROPERTY, parent), m_hImages(images) {}

bool CIconProperty::OnInitDialog() {
    vorlan::TraceFunction("CIconProperty::OnInitDialog");
    HWND functions = GetDlgItem(IDC_PROP_FUNCTION);
    auto ask = [](const std::string& key) { return TheSession().Execute(vorlan::MenuNextLine(key)).str(); };
    for (const std::string& entry : vorlan::WalkMenuCatalogue(ask))
        ::SendMessageA(functions, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
    SetDlgItemText(IDC_PROP_CAPTION, m_strCaption);
    SetDlgItemText(IDC_PROP_FUNCTION, m_strFunction);
    SetDlgItemText(IDC_PROP_PARAMETER, m_strParameter);
    RECT caption;
    ::GetWindowRect(GetDlgItem(IDC_PROP_CAPTION), &caption);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&caption), 2);
    m_ptPreview = POINT{caption.left - kPreviewLeftOfCaption, (caption.top + caption.bottom - kIconSize) / 2};
    UpdateParameter(true);
    return true;
}

CString CIconProperty::CurrentFunction() const {
    HWND functions = GetDlgItem(IDC_PROP_FUNCTION);
    int chosen = static_cast<int>(::SendMessageA(functions, CB_GETCURSEL, 0, 0));
    std::string text = chosen >= 0 ? ComboText(functions, chosen) : GetDlgItemText(IDC_PROP_FUNCTION).str();
    return CString(vorlan::MenuNextKey(text));
}

void CIconProperty::UpdateParameter(bool keep) {
    HWND edit = GetDlgItem(IDC_PROP_PARAMETER), choices = GetDlgItem(IDC_PROP_CHOICES);
    CString function = CurrentFunction();
    ::SendMessageA(choices, CB_RESETCONTENT, 0, 0);
    vorlan::MenuInfo info;
    if (!function.IsEmpty())
        info = vorlan::ParseMenuInfo(TheSession().Execute(vorlan::MenuInfoLine(function.str())).str());
    bool list = info.takesParameter && !info.choices.empty();
    m_bChoices = list;
    ::ShowWindow(edit, list ? SW_HIDE : SW_SHOW);
    ::ShowWindow(choices, list ? SW_SHOW : SW_HIDE);
    ::EnableWindow(edit, info.takesParameter);
    ::EnableWindow(choices, info.takesParameter);
    if (!keep) SetDlgItemText(IDC_PROP_PARAMETER, "");
    // The icon's own parameter stays when the dialog opens; a new function starts empty.
    std::string current = keep ? m_strParameter.str() : std::string();
    for (const std::string& choice : info.choices) {
        int at = static_cast<int>(
            ::SendMessageA(choices, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choice.c_str())));
        if (!current.empty() && vorlan::ChoiceValue(choice) == current)
            ::SendMessageA(choices, CB_SETCURSEL, static_cast<WPARAM>(at), 0);
    }
}

bool CIconProperty::OnCommand(WPARAM wParam, LPARAM lParam) {
    int id = LOWORD(wParam), code = HIWORD(wParam);
    if (id == IDC_PROP_FUNCTION && (code == CBN_SELCHANGE || code == CBN_EDITCHANGE)) {
        if (code == CBN_EDITCHANGE)
            ::SendMessageA(GetDlgItem(IDC_PROP_FUNCTION), CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        UpdateParameter(false);
        return true;
    }
    if (id == IDC_PROP_SYMBOL && code == BN_CLICKED) {
        OnChangeSymbol();
        return true;
    }
    return CDialog::OnCommand(wParam, lParam);
}

void CIconProperty::OnChangeSymbol() {
    CIconChangeSymbol dialog(this, m_hImages, m_nImage);
    if (dialog.DoModal() != IDOK) return;
    m_nImage = dialog.m_nImage;
    RECT preview{m_ptPreview.x, m_ptPreview.y, m_ptPreview.x + kIconSize, m_ptPreview.y + kIconSize};
    ::InvalidateRect(m_hWnd, &preview, TRUE);
}

void CIconProperty::OnOK() {
    m_strCaption = GetDlgItemText(IDC_PROP_CAPTION);
    m_strFunction = CurrentFunction();
    HWND choices = GetDlgItem(IDC_PROP_CHOICES);
    if (m_bChoices) {
        int chosen = static_cast<int>(::SendMessageA(choices, CB_GETCURSEL, 0, 0));
        m_strParameter = chosen >= 0 ? vorlan::ChoiceValue(ComboText(choices, chosen)).c_str() : "";
    } else {
        m_strParameter = ::IsWindowEnabled(GetDlgItem(IDC_PROP_PARAMETER))
                             ? GetDlgItemText(IDC_PROP_PARAMETER)
                             : CString();
    }
    CDialog::OnOK();
}

LRESULT CIconProperty::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(m_hWnd, &ps);
        if (m_hImages)
            ::ImageList_Draw(m_hImages, m_nImage, dc, m_ptPreview.x, m_ptPreview.y, ILD_TRANSPARENT);
        ::EndPaint(m_hWnd, &ps);
        return 0;
    }
    return CDialog::WindowProc(msg, wParam, lParam);
}

CIconChangeSymbol::CIconChangeSymbol(CWnd* parent, HIMAGELIST images, int image)
    : CDialog(IDD_ICON_SYMBOL, parent), m_hImages(images), m_nImage(image) {}

bool CIconChangeSymbol::OnInitDialog() {
    HWND list = GetDlgItem(IDC_SYMBOL_LIST);
    ::SendMessageA(list, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(m_hImages));
    ::SendMessageA(list, LVM_SETICONSPACING, 0, MAKELPARAM(kSymbolSpacing, kSymbolSpacing));
    ::SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_BORDERSELECT, LVS_EX_BORDERSELECT);
    int count = m_hImages ? ::ImageList_GetImageCount(m_hImages) : 0;
    for (int i = 0; i < count; ++i) {
        LVITEMA item{};
        item.mask = LVIF_IMAGE | LVIF_TEXT;
        item.iItem = i;
        item.iImage = i;
        item.pszText = const_cast<char*>("");
        ::SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    if (m_nImage >= 0 && m_nImage < count) {
        LVITEMA state{};
        state.state = state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        ::SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(m_nImage),
                       reinterpret_cast<LPARAM>(&state));
        ::SendMessageA(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(m_nImage), FALSE);
    }
    return true;
}

void CIconChangeSymbol::OnOK() {
    int chosen = static_cast<int>(
        ::SendMessageA(GetDlgItem(IDC_SYMBOL_LIST), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    if (chosen >= 0) m_nImage = chosen;
    CDialog::OnOK();
}
