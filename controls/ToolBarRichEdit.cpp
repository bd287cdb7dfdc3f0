// The rich-text field's format toolbar.
#include "app/ProtocolLog.h"
#include "controls/FormatWnd.h"
#include "framework/App.h"
#include "resources/RichTextIds.h"

#include <commctrl.h>

#include <string>

namespace {

constexpr int kFontBoxWidth = 160;
constexpr int kSizeBoxWidth = 50;
constexpr int kBoxDrop = 200; // the height of the opened list
constexpr int kBoxOffset = 3;
// The check buttons after the two boxes: bold, italic, underline, then (after a separator)
// the three alignments.
constexpr int kCheckButtons[] = {2, 3, 4, 6, 7, 8};

int CALLBACK AddFontFamily(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM box) {
    reinterpret_cast<CComboBox*>(box)->AddString(font->lfFaceName);
    return 1;
}

} // namespace

bool CToolBarRichEdit::Create(CFormatWnd* owner, HFONT font) {
    vorlan::TraceFunction("CToolBarRichEdit::Create");
    m_pOwner = owner;
    if (!owner || !CToolBarEx::Create(owner->m_hWnd, 0, kStandardId)) return false;
    if (!font) {
        m_font.CreatePointFont(85, "Tahoma");
        font = m_font;
    }
    if (!LoadToolBar(AfxGetResourceHandle(), IDR_FORMAT_BAR)) {
        vorlan::WriteProtocol("CToolBarRichEdit::Create - toolbar %d not loaded", vorlan::kLogNote,
                              IDR_FORMAT_BAR);
        return true;
    }
    PlaceBox(m_wndFont, 0, kFontBoxWidth, ID_FORMAT_FONT, CBS_DROPDOWN | CBS_SORT | WS_VSCROLL);
    PlaceBox(m_wndSize, 1, kSizeBoxWidth, ID_FORMAT_SIZE, CBS_DROPDOWN | WS_VSCROLL);
    for (int index : kCheckButtons) {
        TBBUTTONINFOA info{};
        info.cbSize = sizeof info;
        info.dwMask = TBIF_BYINDEX | TBIF_STYLE;
        info.fsStyle = BTNS_CHECK;
        SendMessage(TB_SETBUTTONINFOA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&info));
    }
    m_wndFont.SetFont(font, false);
    m_wndSize.SetFont(font, false);
    FillFonts();
    FillSizes();
    return true;
}

bool CToolBarRichEdit::PlaceBox(CComboBox& box, int index, int width, UINT id, DWORD style) {
    // The button becomes a separator of the box's width; the box lies over it.
    if (index >= GetButtonCount()) return false;
    DeleteButton(index);
    TBBUTTON sep{};
    sep.iBitmap = width;
    sep.idCommand = static_cast<int>(id);
    sep.fsState = TBSTATE_ENABLED;
    sep.fsStyle = BTNS_SEP;
    SendMessage(TB_INSERTBUTTONA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&sep));
    CRect place = GetItemRect(index);
    CRect r(place.left, place.top + kBoxOffset, place.left + width, place.top + kBoxOffset + kBoxDrop);
    return box.Create(WS_CHILD | WS_VISIBLE | style, r, m_hWnd, id);
}

void CToolBarRichEdit::FillFonts() {
    if (!m_wndFont.m_hWnd) return;
    CClientDC dc(m_hWnd);
    ::EnumFontFamiliesA(dc, nullptr, AddFontFamily, reinterpret_cast<LPARAM>(&m_wndFont));
}

void CToolBarRichEdit::FillSizes() {
    if (!m_wndSize.m_hWnd) return;
    for (int size : richtext::kFontSizes)
        m_wndSize.AddString(std::to_string(size).c_str());
}

LRESULT CToolBarRichEdit::OnBoxCommand(UINT id, UINT code, HWND box) {
    if (code == CBN_SELENDOK && m_pOwner) {
        CComboBox& combo = id == ID_FORMAT_FONT ? m_wndFont : m_wndSize;
        int index = combo.GetCurSel();
        // The list closes after this notification: the chosen text is put into the edit part
        // now, and the field reads it when the command arrives.
        if (index >= 0) ::SetWindowTextA(box, combo.GetLBText(index));
        m_pOwner->PostMessage(WM_COMMAND, id, 0);
    }
    return 0;
}

bool CToolBarRichEdit::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN && m_wndSize.m_hWnd && m_pOwner &&
        (msg->hwnd == m_wndSize.m_hWnd || ::IsChild(m_wndSize.m_hWnd, msg->hwnd)) &&
        ::GetKeyState(VK_CONTROL) >= 0) {
        vorlan::TraceFunction("CToolBarRichEdit::PreTranslateMessage - VK_RETURN");
        m_pOwner->SendMessage(WM_COMMAND, ID_FORMAT_SIZE, 0);
        return true;
    }
    return CToolBarEx::PreTranslateMessage(msg);
}

LRESULT CToolBarRichEdit::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_COMMAND) {
        UINT id = LOWORD(wParam);
        HWND from = reinterpret_cast<HWND>(lParam);
        // The boxes' own notifications stop here: the toolbar would pass them on as commands.
        if (from && (from == m_wndFont.m_hWnd || from == m_wndSize.m_hWnd))
            return OnBoxCommand(id, HIWORD(wParam), from);
    }
    return CToolBarEx::WindowProc(msg, wParam, lParam);
}
