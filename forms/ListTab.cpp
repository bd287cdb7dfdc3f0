#include "forms/ListTab.h"

#include "app/ProtocolLog.h"
#include "app/Session.h"
#include "forms/FormMessages.h"
#include "framework/Gdi.h"
#include "resources/resource.h"

#include <algorithm>
#include <vector>

namespace {

constexpr UINT WM_FLOATSTATUS = 0x036D;
constexpr WPARAM kFloatStatusActive = 0x40;
constexpr UINT_PTR kAutoScrollTimer = 1;
constexpr UINT kAutoScrollMs = 100;
// Cells that are measured get this much room besides their text.
constexpr int kCellPadding = 12;
// Lists of a list field without a font of their own draw line characters.
constexpr int kLineDrawSize = 90;
constexpr const char* kLineDrawFont = "MS LineDraw";

// The list's own procedure, the same for every popup list.
WNDPROC g_superList = nullptr;

const char* MessageName(UINT msg) {
    switch (msg) {
    case WM_SIZE: return "WM_SIZE";
    case WM_SIZING: return "WM_SIZING";
    case WM_NOTIFY: return "WM_NOTIFY";
    case WM_COMMAND: return "WM_COMMAND";
    case WM_CLOSE: return "WM_CLOSE";
    case WM_NCACTIVATE: return "WM_NCACTIVATE";
    case WM_TIMER: return "WM_TIMER";
    case WM_DESTROY: return "WM_DESTROY";
    case WM_FLOATSTATUS: return "WM_FLOATSTATUS";
    case CListTab::kScrollDown: return "WM_CHILDMESSAGE";
    default: return nullptr;
    }
}

bool IsScrollDown(UINT msg, WPARAM wParam) {
    if (msg == WM_VSCROLL) {
        WORD code = LOWORD(wParam);
        return code == SB_LINEDOWN || code == SB_THUMBPOSITION || code == SB_THUMBTRACK;
    }
    // The wheel too: a list that ends at its first batch for the wheel looks complete.
    if (msg == WM_MOUSEWHEEL) return GET_WHEEL_DELTA_WPARAM(wParam) < 0;
    return msg == WM_KEYDOWN && (wParam == VK_NEXT || wParam == VK_DOWN);
}

} // namespace

void CTable::AddItem(CReportList& list, int column, int row, const char* text) {
    if (column == 0)
        list.InsertItem(row - 1, text);
    else
        list.SetItemText(row - 1, column, text);
}

CListTab::CListTab(CSession& session) : CDialog(kTemplate), m_session(session) {}

CListTab::~CListTab() {
    if (m_list.m_hWnd) m_list.Detach();
    if (m_hFont) ::DeleteObject(m_hFont);
}

int CListTab::Create(const std::string& name, HWND owner, CWnd* parent, const char* fontName, int fontSize,
                     int flags, UINT templateId, const POINT* position) {
    vorlan::TraceFunction("CListTab::Create");
    if (name.empty()) {
        delete this;
        return 0;
    }
    m_strName = name;
    m_hOwner = owner;
    DepthGuard guard(*this);
    if (!CDialog::Create(templateId, parent)) {
        vorlan::WriteProtocol("CListTab::Create - template %u missing", vorlan::kLogNote, templateId);
        m_bGone = true;
        return 0;
    }
    ::SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, flags);

    m_layout = vorlan::ParseListLayout(m_session.Execute(vorlan::ListLayoutReadLine(name)).str());
    if (position)
        SetWindowPos(nullptr, position->x, position->y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ApplySavedSize();

    HWND list = GetDlgItem(kListId);
    if (list) {
        m_list.Attach(list);
        fw::SubclassShared(list, WndSuperProcList, &g_superList);
        m_list.SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_TRACKSELECT,
                                LVS_EX_FULLROWSELECT | LVS_EX_TRACKSELECT);
        m_list.SetHoverTime(1);
        CRect client = GetClientRect();
        m_list.MoveWindow(client);
        SetListFont(fontName, fontSize, flags);

        m_nColumns = vorlan::ParseColumnCount(m_session.Execute(vorlan::kListColumnCountLine).str());
        BuildNextIndex(0);
        if (m_hWnd && m_list.GetItemCount() < m_list.GetCountPerPage()) BuildNextIndex(m_list.GetItemCount());
        SizeColumns();
    }
    if (!m_hWnd) return 0;
    ::SetTimer(m_hWnd, kAutoScrollTimer, kAutoScrollMs, nullptr);

    bool rows = list && m_list.GetItemCount() > 0;
    vorlan::ChildMessageRecord record{rows ? vorlan::kChildRegister : vorlan::kChildClose, m_hWnd, 0};
    if (rows) {
        m_list.SelectItem(0);
        m_list.EnsureVisible(0);
    }
    HWND self = m_hWnd;
    ::SendMessageA(owner, WM_CHILDMESSAGE, 0, reinterpret_cast<LPARAM>(&record));
    if (!::IsWindow(self)) return 0;
    if (rows) {
        ShowWindow(SW_SHOW);
        ::SetFocus(m_list.m_hWnd);
    }
    return rows ? 1 : 0;
}

void CListTab::ApplySavedSize() {
    if (!m_layout.saved || m_layout.width <= 0 || m_layout.height <= 0) return;
    int w = std::min(std::max(m_layout.width, vorlan::kListMinWidth), 0x7FFF);
    int h = std::min(std::max(m_layout.height, vorlan::kListMinHeight), 0x7FFF);
    SetWindowPos(nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CListTab::SetListFont(const char* fontName, int fontSize, int flags) {
    bool named = fontName && *fontName;
    if (!named && flags >= 1 && flags <= 32767) {
        fontName = kLineDrawFont;
        fontSize = kLineDrawSize;
        named = true;
    }
    if (!named) return; // the system font stays
    CFont font;
    if (!font.CreatePointFont(fontSize > 0 ? fontSize : kLineDrawSize, fontName)) return;
    m_hFont = static_cast<HFONT>(font.Detach());
    m_list.SetFont(m_hFont);
}

void CListTab::BuildNextIndex(int start) {
    if (!m_list.m_hWnd) return;
    m_bLoading = true;
    int index = 0, position = 0;
    if (start >= 1) {
        m_session.Execute(vorlan::NextBatchLine(m_strName));
        index = 1;
        position = start + 1;
    }
    while (m_hWnd && m_session.Execute(vorlan::ListRowExistsLine(index)) == "1") {
        for (int c = 1; c <= m_nColumns; ++c) {
            std::string text = m_session.Execute(vorlan::ListCellLine(index, c)).str();
            if (position == 0) {
                int width = m_layout.ColumnWidth(c - 1);
                if (width < 0) width = m_list.GetStringWidth(text.c_str()) + kCellPadding;
                m_list.InsertColumn(c - 1, text.c_str(), width);
            } else {
                CTable::AddItem(m_list, c - 1, position, text.c_str());
                if (!m_layout.saved) {
                    int width = m_list.GetStringWidth(text.c_str()) + kCellPadding;
                    if (m_list.GetColumnWidth(c - 1) < width) m_list.SetColumnWidth(c - 1, width);
                }
            }
        }
        ++index;
        ++position;
    }
    m_bLoading = false;
}

void CListTab::ItemSelected() {
    m_bArmed = false;
    int selected = m_list.m_hWnd ? m_list.GetSelectedItem() : -1;
    if (selected >= 0) vorlan::PostListChoice(m_hOwner, m_hWnd, selected);
}

void CListTab::SizeColumns() {
    if (!m_list.m_hWnd) return;
    std::vector<int> order = m_list.GetColumnOrder();
    if (order.empty()) return;
    std::vector<int> widths;
    for (int c : order)
        widths.push_back(m_list.GetColumnWidth(c));
    int last = vorlan::FillingLastColumn(widths, m_list.GetClientRect().Width());
    size_t counted = std::min<size_t>(order.size(), 31);
    if (last > 0) m_list.SetColumnWidth(order[counted - 1], last);
}

void CListTab::TableScrolled() {
    if (m_bLoading || !m_list.m_hWnd) return;
    int count = m_list.GetItemCount();
    if (vorlan::NeedsNextBatch(count, m_list.GetTopIndex(), m_list.GetCountPerPage())) BuildNextIndex(count);
}

LRESULT CALLBACK CListTab::WndSuperProcList(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (IsScrollDown(msg, wParam)) ::SendMessageA(::GetParent(hwnd), kScrollDown, 0, 0);
    return g_superList ? ::CallWindowProcA(g_superList, hwnd, msg, wParam, lParam)
                       : ::DefWindowProcA(hwnd, msg, wParam, lParam);
}

LRESULT CListTab::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    vorlan::TraceWindowMessage("CListTab", MessageName(msg));
    DepthGuard guard(*this);
    switch (msg) {
    case WM_SIZE:
        if (m_list.m_hWnd) m_list.MoveWindow(GetClientRect());
        SizeColumns();
        return 0;
    case WM_SIZING: OnSizing(wParam, reinterpret_cast<RECT*>(lParam)); return TRUE;
    case WM_NOTIFY:
        if (OnListNotify(reinterpret_cast<const NMHDR*>(lParam))) return 0;
        break;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            ItemSelected();
            return 0;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            SendMessage(WM_CLOSE);
            return 0;
        }
        break;
    case WM_KEYDOWN:
        // The form's close command while its list is open closes only the list.
        if (wParam == VK_ESCAPE) {
            SendMessage(WM_CLOSE);
            return 0;
        }
        break;
    case WM_CLOSE: OnClose(); return 0;
    case WM_NCACTIVATE:
        if (!wParam) OnInactive();
        break;
    case WM_TIMER:
        if (wParam == kAutoScrollTimer) {
            OnAutoScroll();
            return 0;
        }
        break;
    case WM_FLOATSTATUS:
        if (wParam & kFloatStatusActive) return 1;
        break;
    case kScrollDown: TableScrolled(); return 1;
    case WM_DESTROY:
        ::KillTimer(m_hWnd, kAutoScrollTimer);
        WriteLayout();
        break;
    default: break;
    }
    return CDialog::WindowProc(msg, wParam, lParam);
}

void CListTab::OnSizing(WPARAM edge, RECT* rect) {
    if (!rect) return;
    if (rect->right - rect->left < vorlan::kListMinWidth) {
        if (edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT)
            rect->left = rect->right - vorlan::kListMinWidth;
        else
            rect->right = rect->left + vorlan::kListMinWidth;
    }
    if (rect->bottom - rect->top < vorlan::kListMinHeight) {
        if (edge == WMSZ_TOP || edge == WMSZ_TOPLEFT || edge == WMSZ_TOPRIGHT)
            rect->top = rect->bottom - vorlan::kListMinHeight;
        else
            rect->bottom = rect->top + vorlan::kListMinHeight;
    }
}

bool CListTab::OnListNotify(const NMHDR* header) {
    if (!header || header->hwndFrom != m_list.m_hWnd || header->code != static_cast<UINT>(NM_CLICK))
        return false;
    ItemSelected();
    return true;
}

void CListTab::OnClose() {
    m_bArmed = false;
    vorlan::ChildMessageRecord record{vorlan::kChildClose, m_hWnd, 0};
    ::SendMessageA(m_hOwner, WM_CHILDMESSAGE, 0, reinterpret_cast<LPARAM>(&record));
}

void CListTab::OnInactive() {
    LONG_PTR flags = ::GetWindowLongPtrA(m_hWnd, GWLP_USERDATA);
    // Posted: the popup must not go while the window system is still switching activation.
    if (m_bArmed && (flags & kCloseWhenInactive)) PostMessage(WM_CLOSE);
}

void CListTab::OnAutoScroll() {
    // Only while the user drags a selection past the list's edge.
    if (!m_list.m_hWnd || ::GetKeyState(VK_LBUTTON) >= 0) return;
    POINT cursor;
    ::GetCursorPos(&cursor);
    CRect r = m_list.GetWindowRect();
    if (cursor.x < r.left || cursor.x >= r.right) return;
    if (cursor.y < r.top)
        m_list.SendMessage(WM_VSCROLL, SB_LINEUP, 0);
    else if (cursor.y >= r.bottom)
        m_list.SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
}

void CListTab::WriteLayout() {
    if (!m_list.m_hWnd) return;
    int columns = m_list.GetColumnCount();
    if (columns <= 0) return;
    std::vector<int> widths;
    for (int c = 0; c < columns; ++c)
        widths.push_back(m_list.GetColumnWidth(c));
    CRect r = GetWindowRect();
    std::string line = vorlan::ListLayoutWriteLine(m_strName, r.Width(), r.Height(), widths);
    if (!line.empty()) m_session.Execute(line, 1);
}

void CListTab::PostNcDestroy() {
    if (m_list.m_hWnd) m_list.Detach();
    if (m_nDepth > 0)
        m_bGone = true;
    else
        delete this;
}
