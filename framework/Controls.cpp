#include "framework/Controls.h"

#include <algorithm>
#include <vector>

namespace {

CString TextFrom(HWND hwnd, UINT lengthMsg, UINT textMsg, WPARAM index) {
    LRESULT n = ::SendMessageA(hwnd, lengthMsg, index, 0);
    if (n < 0) return CString();
    std::vector<char> buf(static_cast<size_t>(n) + 1, '\0');
    ::SendMessageA(hwnd, textMsg, index, reinterpret_cast<LPARAM>(buf.data()));
    return CString(buf.data());
}

} // namespace

bool ReflectChildNotification(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    HWND from = nullptr;
    if (msg == WM_COMMAND && lParam)
        from = reinterpret_cast<HWND>(lParam);
    else if (msg == WM_NOTIFY && lParam)
        from = reinterpret_cast<NMHDR*>(lParam)->hwndFrom;
    if (!from || !CWnd::FromHandlePermanent(from)) return false;
    result = ::SendMessageA(from, kReflectBase + msg, wParam, lParam);
    return true;
}

bool SendEditCommand(HWND target, UINT command) {
    switch (command) {
    case kEditClear: ::SendMessageA(target, WM_CLEAR, 0, 0); return true;
    case kEditCopy: ::SendMessageA(target, WM_COPY, 0, 0); return true;
    case kEditCut: ::SendMessageA(target, WM_CUT, 0, 0); return true;
    case kEditPaste: ::SendMessageA(target, WM_PASTE, 0, 0); return true;
    case kEditSelectAll: ::SendMessageA(target, EM_SETSEL, 0, -1); return true;
    case kEditUndo: ::SendMessageA(target, EM_UNDO, 0, 0); return true;
    default: return false;
    }
}

bool CStatusBarCtrl::Create(DWORD style, const RECT& rect, HWND parent, UINT id) {
    return CreateEx(0, STATUSCLASSNAMEA, "", style | WS_CHILD, rect, parent, id);
}

bool CStatusBarCtrl::SetParts(const std::vector<int>& rightEdges) {
    return SendMessage(SB_SETPARTS, rightEdges.size(), reinterpret_cast<LPARAM>(rightEdges.data())) != 0;
}

int CStatusBarCtrl::GetPartCount() const {
    return static_cast<int>(::SendMessageA(m_hWnd, SB_GETPARTS, 0, 0));
}

void CStatusBarCtrl::SetText(int pane, const char* text, UINT drawType) {
    SendMessage(SB_SETTEXTA, static_cast<WPARAM>(pane) | drawType,
                reinterpret_cast<LPARAM>(text ? text : ""));
}

CString CStatusBarCtrl::GetText(int pane) const {
    LRESULT n = ::SendMessageA(m_hWnd, SB_GETTEXTLENGTHA, static_cast<WPARAM>(pane), 0);
    std::vector<char> buf(static_cast<size_t>(LOWORD(n)) + 1, '\0');
    ::SendMessageA(m_hWnd, SB_GETTEXTA, static_cast<WPARAM>(pane), reinterpret_cast<LPARAM>(buf.data()));
    return CString(buf.data());
}

void CStatusBarCtrl::SetIcon(int pane, HICON icon) {
    SendMessage(SB_SETICON, static_cast<WPARAM>(pane), reinterpret_cast<LPARAM>(icon));
}

CRect CStatusBarCtrl::GetRect(int pane) const {
    CRect r;
    ::SendMessageA(m_hWnd, SB_GETRECT, static_cast<WPARAM>(pane), reinterpret_cast<LPARAM>(&r));
    return r;
}

void CStatusBarCtrl::SetSimple(bool simple) {
    SendMessage(SB_SIMPLE, simple ? TRUE : FALSE);
}

bool CStatusBarCtrl::IsSimple() const {
    return ::SendMessageA(m_hWnd, SB_ISSIMPLE, 0, 0) != 0;
}

bool CProgressCtrl::Create(DWORD style, const RECT& rect, HWND parent, UINT id) {
    return CreateEx(0, PROGRESS_CLASSA, "", style | WS_CHILD, rect, parent, id);
}

bool CToolBarCtrl::Create(DWORD style, const RECT& rect, HWND parent, UINT id) {
    if (!CWnd::CreateEx(0, TOOLBARCLASSNAMEA, "", style | WS_CHILD, rect, parent, id)) return false;
    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    return true;
}

bool CToolBarCtrl::CreateEx(DWORD exStyle, DWORD style, DWORD toolbarExStyle, const RECT& rect, HWND parent,
                            UINT id) {
    if (!CWnd::CreateEx(exStyle, TOOLBARCLASSNAMEA, "", style | WS_CHILD, rect, parent, id)) return false;
    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    if (toolbarExStyle) SendMessage(TB_SETEXTENDEDSTYLE, 0, static_cast<LPARAM>(toolbarExStyle));
    return true;
}

bool CToolBarCtrl::GetButton(int index, TBBUTTON& out) const {
    out = TBBUTTON{};
    return ::SendMessageA(m_hWnd, TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&out)) !=
           0;
}

CString CToolBarCtrl::GetButtonText(UINT id) const {
    return TextFrom(m_hWnd, TB_GETBUTTONTEXTA, TB_GETBUTTONTEXTA, id);
}

void CToolBarCtrl::SetImageLists(HIMAGELIST normal, HIMAGELIST hot, HIMAGELIST disabled) {
    const HIMAGELIST lists[3] = {normal, hot, disabled};
    const UINT set[3] = {TB_SETIMAGELIST, TB_SETHOTIMAGELIST, TB_SETDISABLEDIMAGELIST};
    for (int i = 0; i < 3; ++i)
        SendMessage(set[i], 0, reinterpret_cast<LPARAM>(lists[i]));
    OwnImages(lists);
}

void CToolBarCtrl::OwnImages(const HIMAGELIST (&lists)[3]) {
    HIMAGELIST old[3] = {m_hImages[0], m_hImages[1], m_hImages[2]};
    std::copy(lists, lists + 3, m_hImages);
    for (int i = 0; i < 3; ++i) {
        // One list may serve twice: destroyed once, and not while it is still in use.
        bool kept =
            std::find(lists, lists + 3, old[i]) != lists + 3 || std::find(old, old + i, old[i]) != old + i;
        if (old[i] && !kept) ::ImageList_Destroy(old[i]);
    }
}

LRESULT CToolBarCtrl::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case kReflectBase + WM_NOTIFY: {
        auto* hdr = reinterpret_cast<NMHDR*>(lParam);
        if (hdr && hdr->code == static_cast<UINT>(TBN_DROPDOWN))
            return OnDropDown(reinterpret_cast<const NMTOOLBARA*>(lParam));
        return 0;
    }
    case kReflectBase + WM_COMMAND: return 0;
    case WM_NCDESTROY: {
        LRESULT r = CWnd::WindowProc(msg, wParam, lParam);
        OwnImages({});
        return r;
    }
    default: return CWnd::WindowProc(msg, wParam, lParam);
    }
}

bool CToolBarCtrl::AddButtons(const TBBUTTON* buttons, int count) {
    return SendMessage(TB_ADDBUTTONSA, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(buttons)) != 0;
}

CRect CToolBarCtrl::GetItemRect(int index) const {
    CRect r;
    ::SendMessageA(m_hWnd, TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
    return r;
}

CSize CToolBarCtrl::GetNeededSize() const {
    int n = GetButtonCount();
    if (n == 0) return CSize();
    CRect last = GetItemRect(n - 1);
    return CSize(last.right, last.bottom);
}

bool CTabCtrl::Create(DWORD style, const RECT& rect, HWND parent, UINT id) {
    return CreateEx(0, WC_TABCONTROLA, "", style | WS_CHILD, rect, parent, id);
}

int CTabCtrl::InsertItem(int index, const char* text, LPARAM param) {
    TCITEMA item{};
    item.mask = TCIF_TEXT | TCIF_PARAM;
    item.pszText = const_cast<char*>(text ? text : "");
    item.lParam = param;
    return static_cast<int>(
        SendMessage(TCM_INSERTITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
}

CString CTabCtrl::GetItemText(int index) const {
    char buf[512] = {};
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = buf;
    item.cchTextMax = sizeof buf;
    ::SendMessageA(m_hWnd, TCM_GETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    return CString(buf);
}

bool CTabCtrl::SetItemText(int index, const char* text) {
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(text ? text : "");
    return SendMessage(TCM_SETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) != 0;
}

LPARAM CTabCtrl::GetItemParam(int index) const {
    TCITEMA item{};
    item.mask = TCIF_PARAM;
    if (!::SendMessageA(m_hWnd, TCM_GETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)))
        return 0;
    return item.lParam;
}

bool CTabCtrl::SetItemParam(int index, LPARAM param) {
    TCITEMA item{};
    item.mask = TCIF_PARAM;
    item.lParam = param;
    return SendMessage(TCM_SETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) != 0;
}

bool CComboBox::Create(DWORD style, const RECT& rect, HWND parent, UINT id) {
    return CreateEx(0, WC_COMBOBOXA, "", style | WS_CHILD, rect, parent, id);
}

CString CComboBox::GetLBText(int index) const {
    if (index < 0) return CString();
    return TextFrom(m_hWnd, CB_GETLBTEXTLEN, CB_GETLBTEXT, static_cast<WPARAM>(index));
}

bool CComboBoxEx::Create(DWORD style, const RECT& rect, HWND parent, UINT id) {
    return CreateEx(0, WC_COMBOBOXEXA, "", style | WS_CHILD, rect, parent, id);
}

int CComboBoxEx::InsertItem(int index, const char* text) {
    COMBOBOXEXITEMA item{};
    item.mask = CBEIF_TEXT;
    item.iItem = index;
    item.pszText = const_cast<char*>(text ? text : "");
    return static_cast<int>(SendMessage(CBEM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

CString CComboBoxEx::GetItemText(int index) const {
    char buf[512] = {};
    COMBOBOXEXITEMA item{};
    item.mask = CBEIF_TEXT;
    item.iItem = index;
    item.pszText = buf;
    item.cchTextMax = sizeof buf;
    ::SendMessageA(m_hWnd, CBEM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return CString(buf);
}

int CComboBoxEx::FindExact(const char* text) const {
    int n = GetCount();
    for (int i = 0; i < n; ++i)
        if (GetItemText(i) == text) return i;
    return -1;
}

bool CListCtrl::Create(DWORD style, const RECT& rect, HWND parent, UINT id) {
    return CreateEx(0, WC_LISTVIEWA, "", style | WS_CHILD, rect, parent, id);
}

int CListCtrl::InsertColumn(int index, const char* heading, int width) {
    LVCOLUMNA col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    col.pszText = const_cast<char*>(heading ? heading : "");
    col.cx = width;
    col.iSubItem = index;
    return static_cast<int>(
        SendMessage(LVM_INSERTCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&col)));
}

int CListCtrl::InsertItem(int index, const char* text, int image) {
    LVITEMA item{};
    item.mask = LVIF_TEXT | (image >= 0 ? LVIF_IMAGE : 0);
    item.iItem = index;
    item.pszText = const_cast<char*>(text ? text : "");
    item.iImage = image;
    return static_cast<int>(SendMessage(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

bool CListCtrl::SetItemText(int item, int subItem, const char* text) {
    LVITEMA it{};
    it.iSubItem = subItem;
    it.pszText = const_cast<char*>(text ? text : "");
    return SendMessage(LVM_SETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&it)) != 0;
}

CString CListCtrl::GetItemText(int item, int subItem) const {
    char buf[512] = {};
    LVITEMA it{};
    it.iSubItem = subItem;
    it.pszText = buf;
    it.cchTextMax = sizeof buf;
    ::SendMessageA(m_hWnd, LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&it));
    return CString(buf);
}

bool CListCtrl::SetItemData(int item, LPARAM data) {
    LVITEMA it{};
    it.mask = LVIF_PARAM;
    it.iItem = item;
    it.lParam = data;
    return SendMessage(LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&it)) != 0;
}

LPARAM CListCtrl::GetItemData(int item) const {
    LVITEMA it{};
    it.mask = LVIF_PARAM;
    it.iItem = item;
    ::SendMessageA(m_hWnd, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it));
    return it.lParam;
}

CPoint CListCtrl::GetItemPosition(int item) const {
    CPoint p;
    ::SendMessageA(m_hWnd, LVM_GETITEMPOSITION, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&p));
    return p;
}

bool CButton::Create(const char* text, DWORD style, const RECT& rect, HWND parent, UINT id) {
    return CreateEx(0, WC_BUTTONA, text, style | WS_CHILD, rect, parent, id);
}
