#include "framework/ListView.h"

int CReportList::GetColumnCount() const {
    HWND header = reinterpret_cast<HWND>(SendMessage(LVM_GETHEADER));
    return header ? static_cast<int>(::SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

int CReportList::GetColumnWidth(int column) const {
    return static_cast<int>(SendMessage(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column)));
}

bool CReportList::SetColumnWidth(int column, int width) {
    return SendMessage(LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), MAKELPARAM(width, 0)) != 0;
}

std::vector<int> CReportList::GetColumnOrder() const {
    std::vector<int> order(static_cast<size_t>(GetColumnCount()));
    if (order.empty()) return order;
    if (!SendMessage(LVM_GETCOLUMNORDERARRAY, order.size(), reinterpret_cast<LPARAM>(order.data())))
        for (size_t i = 0; i < order.size(); ++i)
            order[i] = static_cast<int>(i);
    return order;
}

bool CReportList::SelectItem(int index) {
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    return SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) != 0;
}

DWORD CReportList::SetExtendedStyle(DWORD style, DWORD mask) {
    return static_cast<DWORD>(SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, mask, style));
}

int CReportList::GetRowHeight() const {
    if (GetItemCount() == 0) return 0;
    RECT r{};
    r.left = LVIR_BOUNDS;
    if (!SendMessage(LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r))) return 0;
    return r.bottom - r.top;
}

int CReportList::GetStringWidth(const char* text) const {
    return static_cast<int>(SendMessage(LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(text)));
}
