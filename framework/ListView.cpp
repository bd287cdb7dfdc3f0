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

int CReportList::InsertColumn(int index, const char* heading, int width, int format) {
    LVCOLUMNA column{};
    column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.fmt = format;
    column.pszText = const_cast<char*>(heading);
    column.cx = width;
    column.iSubItem = index;
    return static_cast<int>(
        SendMessage(LVM_INSERTCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column)));
}

void CReportList::SetHeaderImageList(HIMAGELIST images) {
    if (HWND header = Header()) ::SendMessageA(header, HDM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
}

bool CReportList::SetSortArrow(int column, int image) {
    HWND header = Header();
    if (!header) return false;
    HDITEMA item{};
    item.mask = HDI_FORMAT;
    if (!::SendMessageA(header, HDM_GETITEMA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item)))
        return false;
    item.mask = HDI_FORMAT | HDI_IMAGE;
    item.fmt &= ~(HDF_IMAGE | HDF_BITMAP_ON_RIGHT);
    if (image >= 0) item.fmt |= HDF_IMAGE | HDF_BITMAP_ON_RIGHT;
    item.iImage = image;
    return ::SendMessageA(header, HDM_SETITEMA, static_cast<WPARAM>(column),
                          reinterpret_cast<LPARAM>(&item)) != 0;
}

int CReportList::GetSortArrow(int column) const {
    HWND header = Header();
    HDITEMA item{};
    item.mask = HDI_FORMAT | HDI_IMAGE;
    if (!header ||
        !::SendMessageA(header, HDM_GETITEMA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item)))
        return -1;
    return (item.fmt & HDF_IMAGE) ? item.iImage : -1;
}

int CReportList::InsertItem(int index, const char* text, int image, LPARAM data) {
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = index;
    item.pszText = const_cast<char*>(text);
    item.iImage = image;
    item.lParam = data;
    return static_cast<int>(SendMessage(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}
