#include "controls/InPlaceEdit.h"

#include "controls/FocusedControl.h"
#include "framework/Gdi.h"

#include <windowsx.h>

#include <algorithm>

namespace {

TabEditProc g_tabEditProc = nullptr;

constexpr int kSingleLineSlack = 8;
// Room kept for the drop button when the edit grows to its text.
constexpr int kDropButtonRoom = 16;

bool KeyDown(int key) {
    return ::GetKeyState(key) < 0;
}

bool IsArrowOrPage(UINT key) {
    return key == VK_PRIOR || key == VK_NEXT || (key >= VK_LEFT && key <= VK_DOWN);
}

} // namespace

void CInPlaceEdit::SetTabEditProc(TabEditProc proc) {
    g_tabEditProc = proc;
}

TabEditProc CInPlaceEdit::GetTabEditProc() {
    return g_tabEditProc;
}

CInPlaceEdit::CInPlaceEdit(bool plain, CWnd* grid, const RECT& rect, DWORD style, int row, int column,
                           const std::string& text, const Start& start, HFONT font, int marginX, int marginY)
    : m_pGrid(grid), m_bPlain(plain), m_bStartedByTyping(start.firstChar != 0 && start.firstChar != 1),
      m_nRow(row), m_nColumn(column), m_sInitialText(text), m_nMarginX(marginX), m_nMarginY(marginY),
      m_rect(rect) {
    DWORD editStyle = (style & ~WS_VISIBLE) | WS_CHILD | ES_NOHIDESEL;
    editStyle |= (style & ES_AUTOVSCROLL) ? ES_AUTOVSCROLL | ES_MULTILINE : ES_AUTOHSCROLL | ES_MULTILINE;
    if (!(editStyle & WS_BORDER)) {
        m_rect.DeflateRect(1, 1);
        ++m_nMarginX;
        ++m_nMarginY;
    }
    if (!CreateEx(0, "Edit", "", editStyle, m_rect, grid->m_hWnd, kInPlaceEditId)) return;
    SetFont(font, false);
    if (m_bPlain) SendMessage(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
    SetWindowText(text.c_str());
    SetFormattingRect();
    FitToText();
    ShowWindow(SW_SHOW);
    ::SetFocus(m_hWnd);
    PlaceCaret(start);
}

bool CInPlaceEdit::IsSingleLine() const {
    return (::GetWindowLongA(m_hWnd, GWL_STYLE) & ES_AUTOHSCROLL) != 0;
}

void CInPlaceEdit::SetFormattingRect() {
    CRect client;
    ::GetClientRect(m_hWnd, &client);
    int top = m_nMarginY;
    if (IsSingleLine()) {
        // One line of the font, centred in the cell.
        CClientDC dc(m_hWnd);
        CSelectedObject font(dc, reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)));
        TEXTMETRICA tm{};
        ::GetTextMetricsA(dc, &tm);
        top = std::max<int>(0, (client.Height() - tm.tmHeight) / 2);
    }
    CRect format(client.left + m_nMarginX, client.top + top, client.right - m_nMarginX, client.bottom);
    if (format.right < format.left) format.right = format.left;
    SendMessage(EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&format));
}

void CInPlaceEdit::PlaceCaret(const Start& start) {
    int length = ::GetWindowTextLengthA(m_hWnd);
    if (start.click) {
        POINT p = *start.click;
        ::MapWindowPoints(m_pGrid->m_hWnd, m_hWnd, &p, 1);
        LRESULT at = SendMessage(EM_CHARFROMPOS, 0, MAKELPARAM(p.x, p.y));
        int index = LOWORD(at);
        SendMessage(EM_SETSEL, index, index);
    } else if (start.firstChar == VK_RETURN || start.firstChar == VK_BACK || !IsSingleLine()) {
        SendMessage(EM_SETSEL, length, length);
    } else if (m_bStartedByTyping) {
        // The typed character replaces the text.
        SendMessage(EM_SETSEL, 0, length);
    } else {
        SendMessage(EM_SETSEL, 0, 0);
    }
    if (start.selection != -1) SendMessage(EM_SETSEL, LOWORD(start.selection), HIWORD(start.selection));
    if (start.firstChar != 0 && start.firstChar != 1 && start.firstChar != VK_RETURN)
        SendMessage(WM_CHAR, start.firstChar, 0);
}

void CInPlaceEdit::FitToText() {
    CRect grid;
    ::GetClientRect(m_pGrid->m_hWnd, &grid);
    std::string text = fw::WindowText(m_hWnd);
    CRect wanted = m_rect;
    CClientDC dc(m_hWnd);
    CSelectedObject font(dc, reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)));
    if (IsSingleLine()) {
        SIZE extent{};
        ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
        int need = extent.cx + kSingleLineSlack + 2 * m_nMarginX + (m_bPlain ? 0 : kDropButtonRoom);
        if (need > wanted.Width()) wanted.right = std::min<LONG>(grid.right, wanted.left + need);
    } else {
        CRect calc(0, 0, std::max(1, m_rect.Width() - 2 * m_nMarginX), 0);
        ::DrawTextA(dc, text.empty() ? " " : text.c_str(), -1, &calc,
                    DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS | DT_EDITCONTROL);
        int need = calc.Height() + 2 * m_nMarginY + 2;
        if (need > wanted.Height()) wanted.bottom = std::min<LONG>(grid.bottom, wanted.top + need);
    }
    CRect now;
    ::GetWindowRect(m_hWnd, &now);
    ::MapWindowPoints(nullptr, m_pGrid->m_hWnd, reinterpret_cast<POINT*>(&now), 2);
    if (!(now == wanted)) {
        ::SetWindowPos(m_hWnd, nullptr, wanted.left, wanted.top, wanted.Width(), wanted.Height(),
                       SWP_NOZORDER | SWP_NOACTIVATE);
        SetFormattingRect();
    }
}

bool CInPlaceEdit::EndsEdit(UINT key, bool ctrl, bool shift) const {
    if ((m_bStartedByTyping || ctrl) && IsArrowOrPage(key)) return true;
    if (key == VK_RETURN) return true;
    if (key == VK_TAB && (shift || ctrl)) return true;
    if (key >= VK_F5 && key <= VK_F12) return true;
    if (IsSingleLine() &&
        (key == VK_UP || key == VK_DOWN || key == VK_PRIOR || key == VK_NEXT || key == VK_TAB))
        return true;
    return false;
}

void CInPlaceEdit::EndEdit(UINT key) {
    m_nLastChar = key;
    // Losing the focus does the rest.
    if (::GetFocus() == m_hWnd)
        ::SetFocus(m_pGrid->m_hWnd);
    else if (!m_bFinished)
        Finish();
}

LRESULT CInPlaceEdit::OnKeyDown(WPARAM wParam, LPARAM lParam) {
    UINT key = static_cast<UINT>(wParam);
    bool ctrl = KeyDown(VK_CONTROL), shift = KeyDown(VK_SHIFT);
    UINT flags = (ctrl ? 0x8000u : 0u) | (shift ? 0x4000u : 0u);
    bool multiLine = !IsSingleLine();
    if (key == VK_ESCAPE) {
        SetWindowText(m_sInitialText.c_str());
        EndEdit(VK_ESCAPE);
        return 0;
    }
    if (key == VK_F4 && m_bPlain) {
        m_pGrid->SendMessage(WM_COMMAND, MAKEWPARAM(kInPlaceEditId, 0), reinterpret_cast<LPARAM>(m_hWnd));
        return 0;
    }
    if (multiLine && key == VK_RETURN && shift) return CWnd::WindowProc(WM_KEYDOWN, wParam, lParam);
    if (!EndsEdit(key, ctrl, shift)) return CWnd::WindowProc(WM_KEYDOWN, wParam, lParam);
    if (multiLine && IsArrowOrPage(key) && !ctrl) {
        // In several lines an arrow moves the caret; only at the text's edge does it leave.
        DWORD before = static_cast<DWORD>(SendMessage(EM_GETSEL));
        LRESULT result = CWnd::WindowProc(WM_KEYDOWN, wParam, lParam);
        if (static_cast<DWORD>(SendMessage(EM_GETSEL)) != before) return result;
    }
    EndEdit(key | flags);
    return 0;
}

LRESULT CInPlaceEdit::OnChar(WPARAM ch, LPARAM lParam) {
    // Characters of keys that end the edit must not land in the text.
    if (ch == VK_TAB || ch == VK_ESCAPE) return 0;
    if (ch == VK_RETURN && (IsSingleLine() || !KeyDown(VK_SHIFT))) return 0;
    LRESULT result = CWnd::WindowProc(WM_CHAR, ch, lParam);
    if (::IsWindow(m_hWnd)) FitToText();
    return result;
}

LRESULT CInPlaceEdit::OnKeyUp(WPARAM key, LPARAM lParam) {
    if (key >= VK_F1 && key <= VK_F4) {
        EndEdit(static_cast<UINT>(key));
        return 0;
    }
    return CWnd::WindowProc(WM_KEYUP, key, lParam);
}

void CInPlaceEdit::OnKillFocus() {
    FocusedControlKind = kFocusKindNone;
    if (!m_bFinished) Finish();
}

// Reports once: hides, tells the grid, destroys itself. The grid's answer may have destroyed
// the grid and with it this edit, so nothing of the object is touched after the report
// unless the window still exists.
void CInPlaceEdit::Finish() {
    m_bFinished = true;
    HWND self = m_hWnd;
    std::string text = fw::WindowText(m_hWnd);
    InPlaceEditEnd record{};
    record.hdr.hwndFrom = self;
    record.hdr.idFrom = kInPlaceEditId;
    record.hdr.code = kInPlaceEditEnded;
    record.row = m_nRow;
    record.column = m_nColumn;
    record.text = text.c_str();
    record.key = m_nLastChar;
    record.modified = SendMessage(EM_GETMODIFY) != 0;
    DWORD sel = static_cast<DWORD>(SendMessage(EM_GETSEL));
    record.selStart = LOWORD(sel);
    record.selEnd = HIWORD(sel);
    POINT caret{};
    ::GetCaretPos(&caret);
    ::MapWindowPoints(self, m_pGrid->m_hWnd, &caret, 1);
    record.caret = caret;
    HWND grid = m_pGrid->m_hWnd;
    ShowWindow(SW_HIDE);
    ::SendMessageA(grid, WM_NOTIFY, kInPlaceEditId, reinterpret_cast<LPARAM>(&record));
    if (::IsWindow(self)) ::DestroyWindow(self);
}

LRESULT CInPlaceEdit::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!m_bPlain && g_tabEditProc) {
        LRESULT result = 0;
        if (g_tabEditProc(m_hWnd, msg, wParam, lParam, &result, m_pfnSuper)) return result;
    }
    switch (msg) {
    case WM_GETDLGCODE: return DLGC_WANTALLKEYS | CWnd::WindowProc(msg, wParam, lParam);
    case WM_KEYDOWN: return OnKeyDown(wParam, lParam);
    case WM_KEYUP: return OnKeyUp(wParam, lParam);
    case WM_CHAR: return OnChar(wParam, lParam);
    case WM_LBUTTONUP: m_bStartedByTyping = false; break;
    case WM_MOUSEMOVE: {
        POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ::MapWindowPoints(m_hWnd, m_pGrid->m_hWnd, &p, 1);
        m_pGrid->SendMessage(WM_MOUSEMOVE, wParam, MAKELPARAM(p.x, p.y));
        break;
    }
    case WM_SETFOCUS: FocusedControlKind = kFocusKindGrid; break;
    case WM_KILLFOCUS: {
        LRESULT result = CWnd::WindowProc(msg, wParam, lParam);
        OnKillFocus();
        return result;
    }
    default: break;
    }
    return CWnd::WindowProc(msg, wParam, lParam);
}
