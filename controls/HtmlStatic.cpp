#include "controls/HtmlStatic.h"
#include "framework/Gdi.h"

bool CHtmlStatic::Create(const char* text, DWORD style, const RECT& rect, HWND parent, UINT id) {
    return CreateEx(0, "Static", text, style | WS_CHILD, rect, parent, id);
}

LRESULT CHtmlStatic::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_HTML_GETSIZE) {
        auto* size = reinterpret_cast<SIZE*>(wParam);
        if (!size) return 0;
        *size = fw::TextExtentInWindowFont(m_hWnd, GetWindowText());
        return 1;
    }
    return CWnd::WindowProc(msg, wParam, lParam);
}
