#include "frame/PlainBars.h"

#include "framework/Controls.h"

#include <windowsx.h>

namespace {

constexpr int kGap = 4;
constexpr int kMinSideWidth = 60;

} // namespace

bool CPlainBar::Create(Kind kind, HWND frame, UINT id) {
    m_kind = kind;
    CWnd::RegisterWindowClass(kClassName, 0, nullptr, nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    return CreateEx(WS_EX_CONTROLPARENT, kClassName, "",
                    WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, CRect(0, 0, 0, 0), frame, id);
}

void CPlainBar::AddItem(HWND child, int width) {
    m_items.push_back({child, width});
    Layout();
}

template <class Place> int CPlainBar::WrapItems(int width, Place place) const {
    struct Row {
        size_t first, end;
        int height;
    };
    std::vector<Row> rows;
    int x = kGap;
    for (size_t i = 0; i < m_items.size(); ++i) {
        RECT r;
        ::GetWindowRect(m_items[i].window, &r);
        int h = r.bottom - r.top;
        bool wrap = rows.empty() || (width > 0 && x + m_items[i].width + kGap > width && i > rows.back().first);
        if (wrap) {
            rows.push_back({i, i, 0});
            x = kGap;
        }
        rows.back().end = i + 1;
        if (h > rows.back().height) rows.back().height = h;
        x += m_items[i].width + kGap;
    }
    int top = kGap;
    for (const Row& row : rows) {
        int left = kGap;
        for (size_t i = row.first; i < row.end; ++i) {
            place(m_items[i], left, top, row.height);
            left += m_items[i].width + kGap;
        }
        top += row.height + kGap;
    }
    return rows.empty() ? 2 * kGap : top;
}

int CPlainBar::NeededHeight(int width) const {
    return WrapItems(width, [](const Item&, int, int, int) {});
}

void CPlainBar::Layout() {
    CRect client = GetClientRect();
    if (m_kind == Side) {
        if (m_hContent)
            ::MoveWindow(m_hContent, 0, 0, client.Width() - kEdge > 0 ? client.Width() - kEdge : 0,
                         client.Height(), TRUE);
        return;
    }
    // A bar as high as its items (the main frame's) centres them; a lower one starts at the top.
    int needed = NeededHeight(client.Width());
    int shift = client.Height() > needed ? (client.Height() - needed) / 2 : 0;
    WrapItems(client.Width(), [shift](const Item& item, int x, int top, int rowHeight) {
        RECT r;
        ::GetWindowRect(item.window, &r);
        int h = r.bottom - r.top;
        ::SetWindowPos(item.window, nullptr, x, shift + top + (rowHeight - h) / 2, item.width, h,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    });
}

bool CPlainBar::OnEdge(LPARAM lParam) const {
    return m_kind == Side && GET_X_LPARAM(lParam) >= GetClientRect().right - kEdge;
}

LRESULT CPlainBar::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_SIZE: Layout(); return 0;
    case WM_COMMAND:
    case WM_NOTIFY: {
        LRESULT result = 0;
        if (ReflectChildNotification(msg, wParam, lParam, result)) return result;
        // The rest (the menu tree's focus notices among them) goes on to the frame.
        return ::SendMessageA(::GetParent(m_hWnd), msg, wParam, lParam);
    }
    case WM_SETCURSOR:
        if (m_kind == Side && LOWORD(lParam) == HTCLIENT) {
            POINT p;
            ::GetCursorPos(&p);
            ::ScreenToClient(m_hWnd, &p);
            if (p.x >= GetClientRect().right - kEdge) {
                ::SetCursor(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_SIZEWE)));
                return TRUE;
            }
        }
        break;
    case WM_LBUTTONDOWN:
        if (OnEdge(lParam)) {
            m_bDragging = true;
            ::SetCapture(m_hWnd);
            return 0;
        }
        break;
    case WM_MOUSEMOVE:
        if (m_bDragging) {
            int width = GET_X_LPARAM(lParam) + kEdge / 2;
            RECT frame;
            ::GetClientRect(::GetParent(m_hWnd), &frame);
            if (width < kMinSideWidth) width = kMinSideWidth;
            if (width > frame.right - kMinSideWidth) width = frame.right - kMinSideWidth;
            m_nWidth = width;
            // The frame lays out its bars again.
            ::SendMessageA(::GetParent(m_hWnd), WM_SIZE, SIZE_RESTORED,
                           MAKELPARAM(frame.right, frame.bottom));
            return 0;
        }
        break;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        if (m_bDragging) {
            m_bDragging = false;
            if (msg == WM_LBUTTONUP) ::ReleaseCapture();
            return 0;
        }
        break;
    default: break;
    }
    return CWnd::WindowProc(msg, wParam, lParam);
}
