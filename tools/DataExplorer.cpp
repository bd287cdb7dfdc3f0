#include "tools/DataExplorer.h"

#include "app/ProtocolLog.h"
#include "app/Session.h"
#include "framework/App.h"
#include "framework/Gdi.h"
#include "resources/resource.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr UINT kSmallImages = 514;
constexpr UINT kArrowUp = 647, kArrowDown = 648;
constexpr int kDividerGap = CPaneDivider::kGap;

bool ShiftHeld() {
    return (::GetKeyState(VK_SHIFT) & 0x8000) != 0;
}

bool IsPlainTab(const MSG* msg) {
    return msg->message == WM_KEYDOWN && msg->wParam == VK_TAB && (::GetKeyState(VK_CONTROL) & 0x8000) == 0;
}

CDataExplorer* ExplorerOf(HWND pane) {
    return dynamic_cast<CDataExplorer*>(CWnd::FromHandlePermanent(::GetParent(pane)));
}

HIMAGELIST MakeArrowImages() {
    HIMAGELIST list = ImageList_Create(8, 8, ILC_COLOR24 | ILC_MASK, 2, 0);
    if (!list) return nullptr;
    for (UINT id : {kArrowUp, kArrowDown}) {
        CBitmap arrow;
        if (arrow.LoadDIB(AfxGetResourceHandle(), id)) ImageList_AddMasked(list, arrow, RGB(255, 0, 255));
    }
    return list;
}

} // namespace

bool RegisterExplorerArea() {
    static const bool registered =
        CWnd::RegisterWindowClass("ExplorerArea", CS_DBLCLKS, nullptr, ::LoadCursorA(nullptr, IDC_ARROW),
                                  reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    return registered;
}

bool CExplorerTree::PreTranslateMessage(MSG* msg) {
    if (!IsPlainTab(msg) || ShiftHeld()) return CTreeCtrl::PreTranslateMessage(msg);
    if (CDataExplorer* explorer = ExplorerOf(m_hWnd)) explorer->SwitchPane();
    return true;
}

bool CExplorerList::PreTranslateMessage(MSG* msg) {
    if (!IsPlainTab(msg) || !ShiftHeld()) return CReportList::PreTranslateMessage(msg);
    if (CDataExplorer* explorer = ExplorerOf(m_hWnd)) explorer->SwitchPane();
    return true;
}

bool CDataExplorer::Create(HWND parent, const RECT& rect, UINT id) {
    vorlan::TraceFunction("CDataExplorer::Create");
    if (!RegisterExplorerArea()) return false;
    return CWnd::CreateEx(0, "ExplorerArea", "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, rect, parent, id);
}

void CDataExplorer::PostNcDestroy() {
    if (m_images) ImageList_Destroy(m_images);
    if (m_headerImages) ImageList_Destroy(m_headerImages);
    delete this;
}

std::string CDataExplorer::Execute(const std::string& line) {
    return TheSession().Execute(line).str();
}

const std::string& CDataExplorer::PathOf(LPARAM data) {
    static const std::string none;
    return data ? *reinterpret_cast<const std::string*>(data) : none;
}

LRESULT CDataExplorer::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT divided = 0;
    bool moved = false;
    if (m_divider.OnMessage(m_hWnd, m_tree.m_hWnd, msg, wParam, lParam, divided, moved)) {
        if (moved) OnSize();
        return divided;
    }
    switch (msg) {
    case WM_CREATE:
        if (CWnd::WindowProc(msg, wParam, lParam) == -1) return -1;
        return OnCreate();
    case WM_SETTEXT: {
        LRESULT result = CWnd::WindowProc(msg, wParam, lParam);
        OnSetText(reinterpret_cast<const char*>(lParam));
        return result;
    }
    case WM_SIZE: OnSize(); return 0;
    case WM_SETFOCUS: OnSetFocus(); return 0;
    case WM_TIMER: OnTimer(wParam); return 0;
    case WM_NOTIFY: return OnNotify(reinterpret_cast<NMHDR*>(lParam));
    default: break;
    }
    return CWnd::WindowProc(msg, wParam, lParam);
}

int CDataExplorer::OnCreate() {
    CRect client = GetClientRect();
    if (!m_tree.Create(WS_VISIBLE | WS_TABSTOP | WS_BORDER | TVS_HASBUTTONS | TVS_HASLINES | TVS_EDITLABELS |
                           TVS_DISABLEDRAGDROP | TVS_SHOWSELALWAYS,
                       client, m_hWnd, kTreeId) ||
        !m_list.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER | LVS_SHOWSELALWAYS |
                           LVS_SHAREIMAGELISTS | LVS_SINGLESEL,
                       client, m_hWnd, kListId))
        return -1;
    m_list.SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_TRACKSELECT,
                            LVS_EX_FULLROWSELECT | LVS_EX_TRACKSELECT);
    m_list.SetHoverTime(1);
    HFONT font = reinterpret_cast<HFONT>(::SendMessageA(::GetParent(m_hWnd), WM_GETFONT, 0, 0));
    if (font) {
        m_tree.SetFont(font, false);
        m_list.SetFont(font, false);
    }
    m_images = AfxLoadImageList(kSmallImages);
    if (m_images) {
        m_tree.SetImageList(m_images, TVSIL_NORMAL);
        m_list.SetImageList(m_images, LVSIL_SMALL);
    }
    m_headerImages = MakeArrowImages();
    m_list.SetHeaderImageList(m_headerImages);
    OnSize();
    return 0;
}

void CDataExplorer::OnSetText(const char* text) {
    m_array = text ? text : "";
    SetTreeContent(nullptr);
}

void CDataExplorer::OnSize() {
    if (!m_tree.m_hWnd) return;
    CRect client = GetClientRect();
    int treeWidth = m_divider.LeftWidth(client.Width());
    m_tree.MoveWindow(CRect(0, 0, treeWidth, client.Height()));
    m_list.MoveWindow(CRect(treeWidth + kDividerGap, 0,
                            std::max(treeWidth + kDividerGap, static_cast<int>(client.Width())),
                            client.Height()));
}

void CDataExplorer::OnSetFocus() {
    ::SetFocus(m_focusPane == kListId ? m_list.m_hWnd : m_tree.m_hWnd);
}

void CDataExplorer::SwitchPane() {
    ::SetFocus(::GetFocus() == m_tree.m_hWnd ? m_list.m_hWnd : m_tree.m_hWnd);
}

// ---- the tree

void CDataExplorer::SetTreeContent(HTREEITEM item) {
    vorlan::TraceFunction("CDataExplorer::SetTreeContent");
    namespace x = vorlan::explorer;
    if (m_array.empty()) return;
    if (item) {
        m_tree.DeleteChildren(item);
    } else {
        m_tree.DeleteAllItems();
        m_reported = nullptr;
    }
    CWaitCursor wait;
    Execute(x::kResetQ);
    m_fkey = std::atoi(Execute(x::FkeyLine(m_array)).c_str());
    const std::string parent = item ? PathOf(m_tree.GetItemData(item)) : std::string();
    const std::string p = vorlan::PathPrefix(parent);
    for (std::string q; !(q = Execute(x::NextLine(m_array, p))).empty();) {
        if (Execute(x::HeaderOfQLine(m_array, p)).empty()) continue;
        int flag = vorlan::FirstPieceNumber(Execute(x::FlagOfQLine(m_array, p)));
        std::string text = Execute(x::TextOfQLine(m_array, p));
        auto* path = new std::string(vorlan::ChildPath(parent, q));
        bool children = HasChildrenOnServer(*path);
        HTREEITEM child = m_tree.InsertItem(text.c_str(), flag > 0 ? flag - 1 : kFolderImage,
                                            flag > 0 ? flag - 1 : kFolderOpenImage,
                                            reinterpret_cast<LPARAM>(path), children, item);
        if (!child) delete path;
    }
    if (item) return;
    // Opening a node lets the form serve the server's requests, which may close it.
    const HWND self = m_hWnd;
    for (HTREEITEM top = m_tree.GetRootItem(); top; top = m_tree.GetNextSiblingItem(top)) {
        m_tree.Expand(top, TVE_EXPAND);
        if (!::IsWindow(self)) return;
    }
}

bool CDataExplorer::HasChildrenOnServer(const std::string& path) {
    return std::atoi(Execute(vorlan::explorer::HasChildrenLine(m_array, path)).c_str()) > 0;
}

void CDataExplorer::OpenNode(HTREEITEM item) {
    vorlan::TraceFunction("CDataExplorer::OpenNode");
    if (m_tree.GetSelectedItem() != item)
        m_tree.SelectItem(item);
    else
        ReportSelection(kTreeId);
    const std::string path = PathOf(m_tree.GetItemData(item));
    bool ran = !Execute(vorlan::explorer::LoadRoutineLine(m_array, path)).empty();
    // The form serves the server's requests now and may close, taking this window along.
    const HWND self = m_hWnd;
    ::SendMessageA(::GetParent(self), WM_TESTFOREVENT, 0, 0);
    if (!::IsWindow(self)) return;
    if (ran || !m_tree.GetChildItem(item)) {
        SetTreeContent(item);
        if (!m_tree.GetChildItem(item)) m_tree.SetItemHasChildren(item, false);
    }
}

void CDataExplorer::ReportSelection(int pane) {
    vorlan::TraceFunction("CDataExplorer::ReportSelection");
    std::string path;
    if (pane == kTreeId) {
        HTREEITEM item = m_tree.GetSelectedItem();
        if (!item) return;
        if (m_reported && m_reported != item) m_tree.SetItemBold(m_reported, false);
        m_tree.SetItemBold(item, true);
        m_reported = item;
        path = PathOf(m_tree.GetItemData(item));
    } else {
        int row = m_list.GetSelectedItem();
        if (row < 0) return;
        path = PathOf(m_list.GetItemData(row));
    }
    std::string feld = Execute(vorlan::explorer::FeldLine(m_array, path));
    Execute(vorlan::explorer::ReportLine(m_array, path, feld));
}

// ---- the table

void CDataExplorer::OnTimer(UINT_PTR id) {
    if (id != kTimerShow) return;
    ::KillTimer(m_hWnd, kTimerShow);
    ShowSelection();
}

void CDataExplorer::DeleteTable() {
    m_list.DeleteAllItems();
    for (int n = m_list.GetColumnCount(); n > 0; --n)
        m_list.DeleteColumn(n - 1);
    m_columnTypes.clear();
}

void CDataExplorer::ShowSelection() {
    vorlan::TraceFunction("CDataExplorer::ShowSelection");
    namespace x = vorlan::explorer;
    m_list.SendMessage(WM_SETREDRAW, FALSE);
    DeleteTable();
    HTREEITEM item = m_tree.GetSelectedItem();
    const std::string path = item ? PathOf(m_tree.GetItemData(item)) : std::string();
    std::vector<std::string> titles;
    if (item) titles = vorlan::HeaderTitles(Execute(x::HeaderLine(m_array, path)));
    std::vector<int> widths;
    Execute(x::kResetQ);
    for (size_t n = 0; n < titles.size(); ++n) {
        vorlan::ColumnAttributes column =
            vorlan::ParseColumnAttributes(Execute(x::ColumnLine(m_array, path)));
        int format = column.align == 1 ? LVCFMT_RIGHT : column.align == 2 ? LVCFMT_CENTER : LVCFMT_LEFT;
        widths.push_back(m_list.GetStringWidth(titles[n].c_str()) + 28);
        m_list.InsertColumn(static_cast<int>(n), titles[n].c_str(), widths.back(), format);
        m_columnTypes.push_back(column.type);
    }
    m_sort.Reset(static_cast<int>(titles.size()));
    if (!titles.empty()) {
        Execute(x::kResetQ);
        const std::string rowPrefix = vorlan::PathPrefix(path);
        for (std::string q; !(q = Execute(x::NextLine(m_array, rowPrefix))).empty();) {
            int flag = vorlan::FirstPieceNumber(Execute(x::RowFlagLine(m_array, path)));
            if (flag <= 0) continue;
            std::vector<std::string> cells = vorlan::RowCells(Execute(x::RowLine(m_array, path)));
            auto* data = new std::string(vorlan::ChildPath(path, q));
            int row = m_list.InsertItem(m_list.GetItemCount(), cells[0].c_str(), flag - 1,
                                        reinterpret_cast<LPARAM>(data));
            if (row < 0) {
                delete data;
                continue;
            }
            for (size_t c = 0; c < cells.size() && c < titles.size(); ++c) {
                if (c > 0) m_list.SetItemText(row, static_cast<int>(c), cells[c].c_str());
                int width = m_list.GetStringWidth(cells[c].c_str()) + 12 + (c == 0 ? 16 : 0);
                widths[c] = std::max(widths[c], width);
            }
        }
        for (size_t c = 0; c < widths.size(); ++c)
            m_list.SetColumnWidth(static_cast<int>(c), widths[c]);
        SortRows();
    }
    m_list.SendMessage(WM_SETREDRAW, TRUE);
    ::InvalidateRect(m_list.m_hWnd, nullptr, TRUE);
}

void CDataExplorer::SortList(int column) {
    vorlan::TraceFunction("CDataExplorer::SortList");
    if (column < 0 || column >= static_cast<int>(m_columnTypes.size())) return;
    int old = m_sort.column;
    if (!m_sort.Click(column, m_columnTypes[static_cast<size_t>(column)])) return;
    if (old >= 0 && old != column) m_list.SetSortArrow(old, -1);
    SortRows();
}

void CDataExplorer::SortRows() {
    int column = m_sort.column;
    if (column < 0 || m_columnTypes[static_cast<size_t>(column)] == vorlan::kTypeUnsorted) return;
    int type = m_columnTypes[static_cast<size_t>(column)];
    bool descending = m_sort.descending;
    m_list.SortItems([this, column, type, descending](int first, int second) {
        return vorlan::CompareRows(m_list.GetItemText(first, column).str(),
                                   m_list.GetItemText(second, column).str(), type, descending);
    });
    m_list.SetSortArrow(column, descending ? 1 : 0);
}

// ---- notifications

LRESULT CDataExplorer::OnNotify(NMHDR* hdr) {
    if (hdr->hwndFrom == m_tree.m_hWnd) return OnTreeNotify(hdr);
    if (hdr->hwndFrom == m_list.m_hWnd) return OnListNotify(hdr);
    return 0;
}

LRESULT CDataExplorer::OnTreeNotify(NMHDR* hdr) {
    switch (hdr->code) {
    case TVN_SELCHANGEDA:
        ReportSelection(kTreeId);
        ::SetTimer(m_hWnd, kTimerShow, m_quick ? 1 : 250, nullptr);
        m_quick = false;
        return 0;
    case TVN_ITEMEXPANDINGA: {
        auto* view = reinterpret_cast<NMTREEVIEWA*>(hdr);
        if (view->action & TVE_EXPAND) OpenNode(view->itemNew.hItem);
        return 0;
    }
    case TVN_DELETEITEMA: {
        auto* view = reinterpret_cast<NMTREEVIEWA*>(hdr);
        if (view->itemOld.hItem == m_reported) m_reported = nullptr;
        delete reinterpret_cast<std::string*>(view->itemOld.lParam);
        return 0;
    }
    case NM_CLICK:
        ::KillTimer(m_hWnd, kTimerShow);
        m_quick = true;
        return 0;
    case NM_RCLICK: {
        POINT point;
        ::GetCursorPos(&point);
        ::ScreenToClient(m_tree.m_hWnd, &point);
        m_quick = true;
        if (HTREEITEM item = m_tree.HitTest(point)) m_tree.SelectItem(item);
        return 0;
    }
    case NM_DBLCLK: OnDoubleClick(); return 0;
    case NM_SETFOCUS: OnPaneFocus(kTreeId); return 0;
    default: return 0;
    }
}

LRESULT CDataExplorer::OnListNotify(NMHDR* hdr) {
    switch (hdr->code) {
    case LVN_ITEMCHANGED: {
        auto* view = reinterpret_cast<NMLISTVIEW*>(hdr);
        if ((view->uChanged & LVIF_STATE) && (view->uNewState & LVIS_SELECTED) &&
            !(view->uOldState & LVIS_SELECTED))
            ReportSelection(kListId);
        return 0;
    }
    case LVN_COLUMNCLICK: SortList(reinterpret_cast<NMLISTVIEW*>(hdr)->iSubItem); return 0;
    case LVN_DELETEITEM:
        delete reinterpret_cast<std::string*>(reinterpret_cast<NMLISTVIEW*>(hdr)->lParam);
        return 0;
    case NM_DBLCLK: OnDoubleClick(); return 0;
    case NM_SETFOCUS: OnPaneFocus(kListId); return 0;
    default: return 0;
    }
}

void CDataExplorer::OnPaneFocus(int pane) {
    m_focusPane = pane;
    if (pane == kListId && m_list.GetSelectedItem() < 0 && m_list.GetItemCount() > 0) {
        LVITEMA state{};
        state.stateMask = LVIS_FOCUSED;
        state.state = LVIS_FOCUSED;
        m_list.SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(m_list.GetTopIndex()),
                           reinterpret_cast<LPARAM>(&state));
    }
    ::SendMessageA(::GetParent(m_hWnd), WM_COMMAND, MAKEWPARAM(kFocusCommand, kFocusCode),
                   reinterpret_cast<LPARAM>(m_hWnd));
}

void CDataExplorer::OnDoubleClick() {
    // Only F5 to F12 are keys of the form.
    if (m_fkey < 5 || m_fkey > 12) return;
    ::PostMessageA(::GetParent(m_hWnd), WM_COMMAND, kFkeyCommandBase + static_cast<UINT>(m_fkey), 0);
}
