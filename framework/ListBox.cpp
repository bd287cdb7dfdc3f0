#include "framework/ListBox.h"

#include "framework/Gdi.h"

#include <vector>

namespace {

// A list box counts tab stops in quarters of its font's average character width.
int AverageCharWidth(HDC dc) {
    static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE size{};
    ::GetTextExtentPoint32A(dc, kAlphabet, 52, &size);
    int average = (size.cx / 26 + 1) / 2;
    return average > 0 ? average : 1;
}

HFONT FontOf(HWND list) {
    return reinterpret_cast<HFONT>(::SendMessageA(list, WM_GETFONT, 0, 0));
}

} // namespace

bool CTabListBox::Create(DWORD exStyle, DWORD style, const RECT& rect, HWND owner) {
    m_hWnd = ::CreateWindowExA(exStyle, "LISTBOX", "", style, rect.left, rect.top, rect.right - rect.left,
                               rect.bottom - rect.top, owner, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    return m_hWnd != nullptr;
}

int CTabListBox::AddString(const char* text) {
    return static_cast<int>(::SendMessageA(m_hWnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
}

int CTabListBox::GetCount() const {
    return static_cast<int>(::SendMessageA(m_hWnd, LB_GETCOUNT, 0, 0));
}

std::string CTabListBox::GetText(int index) const {
    LRESULT length = ::SendMessageA(m_hWnd, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR || length < 0) return std::string();
    std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
    LRESULT got = ::SendMessageA(m_hWnd, LB_GETTEXT, static_cast<WPARAM>(index),
                                 reinterpret_cast<LPARAM>(buffer.data()));
    if (got == LB_ERR || got < 0) return std::string();
    return std::string(buffer.data(), static_cast<size_t>(got));
}

int CTabListBox::GetCurSel() const {
    return static_cast<int>(::SendMessageA(m_hWnd, LB_GETCURSEL, 0, 0));
}

bool CTabListBox::SetCurSel(int index) {
    return ::SendMessageA(m_hWnd, LB_SETCURSEL, static_cast<WPARAM>(index), 0) != LB_ERR;
}

int CTabListBox::SelectPrefix(const char* prefix) {
    LRESULT index =
        ::SendMessageA(m_hWnd, LB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(prefix));
    return index == LB_ERR ? -1 : static_cast<int>(index);
}

int CTabListBox::WidestFirstColumn() const {
    CClientDC dc(m_hWnd);
    CSelectedObject font(dc, FontOf(m_hWnd));
    int widest = 0;
    for (int i = 0, n = GetCount(); i < n; ++i) {
        std::string text = GetText(i);
        text = text.substr(0, text.find('\t'));
        SIZE size{};
        ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
        if (size.cx > widest) widest = size.cx;
    }
    return widest;
}

int CTabListBox::PixelsToUnits(int pixels) const {
    CClientDC dc(m_hWnd);
    CSelectedObject font(dc, FontOf(m_hWnd));
    int average = AverageCharWidth(dc);
    return (pixels * 4 + average - 1) / average;
}

bool CTabListBox::SetTabStopAfterFirstColumn(int gap) {
    int stop = PixelsToUnits(WidestFirstColumn()) + gap;
    return ::SendMessageA(m_hWnd, LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&stop)) != 0;
}
