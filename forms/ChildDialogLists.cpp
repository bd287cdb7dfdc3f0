// The form's side of its lists: the drop buttons of table fields, the choice of a row in a
// list field or popup list, a popup list closing, and where a popup list goes on screen.
#include "forms/ChildDialog.h"

#include "app/FontSetting.h"
#include "app/ProtocolLog.h"
#include "app/ReplyFields.h"
#include "app/Session.h"
#include "controls/FormGrid.h"
#include "forms/FormFieldLogic.h"
#include "forms/FormGeometry.h"
#include "forms/FormGlobals.h"
#include "forms/FormMessages.h"
#include "forms/ListTab.h"
#include "framework/App.h"
#include "resources/resource.h"
#include "services/HubLines.h"

#include <commctrl.h>

namespace {

// The list control inside a popup list.
constexpr int kListControlId = 1015;
constexpr int kGridField = 0xC000;
constexpr int kCurrentFieldList = 0xFFFF;
constexpr int kTableFieldList = 0x8000;

int FieldNumberOf(HWND control) {
    return control ? static_cast<int>(LOWORD(::GetWindowLongPtrA(control, GWLP_USERDATA))) : 0;
}

// The text of a row of the list control in a popup list (a list box or a list view).
std::string RowText(HWND list, int index) {
    HWND rows = ::GetDlgItem(list, kListControlId);
    if (!rows || index < 0) return std::string();
    char text[1024] = {};
    char cls[32] = {};
    ::GetClassNameA(rows, cls, sizeof cls);
    if (lstrcmpiA(cls, "ListBox") == 0) {
        LRESULT length = ::SendMessageA(rows, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
        if (length < 0 || length >= static_cast<LRESULT>(sizeof text)) return std::string();
        ::SendMessageA(rows, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
        return text;
    }
    LVITEMA item{};
    item.iSubItem = 0;
    item.pszText = text;
    item.cchTextMax = sizeof text - 1;
    ::SendMessageA(rows, LVM_GETITEMTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    return text;
}

vorlan::PixelRect ScreenArea() {
    if (::GetSystemMetrics(SM_CMONITORS) > 1) {
        int x = ::GetSystemMetrics(SM_XVIRTUALSCREEN), y = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
        return vorlan::PixelRect{x, y, x + ::GetSystemMetrics(SM_CXVIRTUALSCREEN),
                                 y + ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    }
    return vorlan::PixelRect{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
}

} // namespace

void CChildDialog::KeepPopupList(HWND list, const std::string& table) {
    m_hPopupList = list;
    m_strPopupTable = table;
}

HWND CChildDialog::KeptPopupList() {
    if (m_hPopupList && !::IsWindow(m_hPopupList)) {
        m_hPopupList = nullptr;
        m_strPopupTable.clear();
    }
    return m_hPopupList;
}

CListTab* CChildDialog::NewListTab() {
    if (HWND kept = KeptPopupList()) ::DestroyWindow(kept);
    m_hPopupList = nullptr;
    m_strPopupTable.clear();
    return new CListTab(m_session);
}

int CChildDialog::OpenPopupList(const std::string& name, int flags) {
    if (name.empty() || !m_hWnd) return 0;
    CListTab* list = NewListTab();
    FontSetting font = ReadFontSetting(vorlan::kFontSlotPopupList);
    HWND self = m_hWnd;
    // The popup registers, places itself and may close again before Create returns: it is
    // kept from its first message on.
    m_strPopupTable = name;
    int shown = list->Create(name, self, this, font.name.c_str(), font.scaledSize, flags);
    if (shown && ::IsWindow(self))
        KeepPopupList(list->m_hWnd, name);
    else if (!KeptPopupList())
        m_strPopupTable.clear();
    return shown;
}

LRESULT CChildDialog::OnListChoice(HWND popup, int index) {
    // The choice was posted: the list may have gone (or been replaced) meanwhile.
    if (!popup || popup != KeptPopupList()) return 1;
    return OnListChosen(FieldNumberOf(popup), popup, index);
}

LRESULT CChildDialog::OnDropButton(int n, HWND control) {
    m_nListField = n;
    std::string text = fw::WindowText(FieldControl(n) ? FieldControl(n) : control, 255);
    std::string table = m_session.Execute(vorlan::TableLine(n, text)).str();
    if (!m_hWnd) return 1;
    if (!table.empty()) OpenPopupList(table, kTableFieldList | n);
    if (!m_hWnd) return 1;
    m_nFocusField = EnableEdits(n);
    return 1;
}

LRESULT CChildDialog::OnChildMessage(const void* data) {
    const auto* record = static_cast<const vorlan::ChildMessageRecord*>(data);
    // A form's own records are for its frame.
    if (!record || record->window == m_hWnd) return 1;
    int n = FieldNumberOf(record->window);
    switch (record->code) {
    case vorlan::kChildTitle: return OnListChosen(n, record->window, static_cast<int>(record->value));
    case vorlan::kChildClose: return OnListClosed(n, record->window, record->value);
    case vorlan::kChildRegister: return OnPlaceList(n, record->window);
    default: return 1;
    }
}

LRESULT CChildDialog::OnListChosen(int n, HWND control, int index) {
    const std::string description = m_strDescription.str();
    if (n < 0x8000) {
        m_session.Execute(vorlan::ChosenRowLine(index));
        std::string routine = m_session.Execute(vorlan::ScrollNodeLine(description, n)).str();
        if (routine.empty() || !m_hWnd) return 1;
        if (!vorlan::IsRoutineRef(routine)) {
            vorlan::WriteProtocol("CChildDialog::WindowProc - no routine: %s", vorlan::kLogNote,
                                  routine.c_str());
            return 1;
        }
        std::string next = m_session.Execute(vorlan::ScrollRoutineLine(routine)).str();
        if (!m_hWnd) return 1;
        if (!next.empty()) {
            OpenPopupList(next, n);
        } else if (n != 1) {
            vorlan::ChildMessageRecord close{vorlan::kChildClose, control, 0};
            SendMessage(WM_CHILDMESSAGE, 0, reinterpret_cast<LPARAM>(&close));
        }
        return 1;
    }
    std::string text = vorlan::TableChoiceText(RowText(control, index));
    m_session.Execute(vorlan::ChosenTableRowLine(index));
    m_session.Execute(vorlan::TabxLine(m_strPopupTable, text));
    if (!m_hWnd) return 1;
    vorlan::ChildMessageRecord close{vorlan::kChildClose, control, 0};
    if (n == kGridField) {
        SendMessage(WM_CHILDMESSAGE, 0, reinterpret_cast<LPARAM>(&close));
        HWND grid = GetDlgItem(0x1800);
        if (auto* g = grid ? dynamic_cast<IFormGrid*>(CWnd::FromHandlePermanent(grid)) : nullptr)
            g->EndEditCell(VK_RETURN);
        SendMessage(WM_DIAGSETFOCUS, static_cast<WPARAM>(-1), 0);
        return 1;
    }
    int field = n == kCurrentFieldList ? m_nCurrentField : (n & 0xFF);
    if (HWND edit = FieldControl(field)) ::SetWindowTextA(edit, text.c_str());
    SendMessage(WM_CHILDMESSAGE, 0, reinterpret_cast<LPARAM>(&close));
    if (m_hWnd) SendMessage(WM_KEYDOWN, VK_RETURN, 0);
    return 1;
}

LRESULT CChildDialog::OnListClosed(int n, HWND control, LPARAM value) {
    if (m_bClosingList) return 1;
    m_bClosingList = true;
    const int windowId = ::GetDlgCtrlID(m_hWnd);
    HWND owner = windowId < 0xC000 ? MainWindow() : Frame();
    if (n == 1) {
        std::string f1 = m_session.Execute(vorlan::ScreenNodeLine(m_strDescription.str(), "F1")).str();
        if (vorlan::IsRoutineRef(f1)) m_session.Execute(vorlan::DoLine(f1));
    }
    HWND kept = KeptPopupList();
    if (n == 1 || (n >= 0x8000 && kept)) {
        bool ownerWasDisabled = owner && !::IsWindowEnabled(owner);
        if (owner) ::EnableWindow(owner, TRUE);
        m_hPopupList = nullptr;
        m_strPopupTable.clear();
        if (kept) ::DestroyWindow(kept);
        if (m_hWnd && ownerWasDisabled) {
            RepeatDialog(1, 1, 0);
        } else if (m_hWnd && value == 0) {
            if (windowId >= 0xC000 || IsActiveFrame())
                SendMessage(WM_DIAGSETFOCUS, static_cast<WPARAM>(-1), -1);
        }
    } else if (control && ::IsWindow(control)) {
        if (HWND parent = ::GetParent(control)) ::EnableWindow(parent, TRUE);
        ::DestroyWindow(control);
    }
    m_bClosingList = false;
    return 1;
}

LRESULT CChildDialog::OnPlaceList(int n, HWND list) {
    if (!list) return 1;
    HWND anchor = n == kGridField ? GetDlgItem(0x1800)
                                  : FieldControl(n == kCurrentFieldList ? m_nCurrentField : n & 0xFF);
    if (!anchor) return 1;
    RECT field, own;
    ::GetWindowRect(anchor, &field);
    // The grid's list belongs to its focus cell, not to the whole table.
    auto* grid = n == kGridField ? dynamic_cast<IFormGrid*>(CWnd::FromHandlePermanent(anchor)) : nullptr;
    if (grid && grid->FocusCellRect(&field))
        ::MapWindowPoints(anchor, nullptr, reinterpret_cast<POINT*>(&field), 2);
    ::GetWindowRect(list, &own);
    vorlan::PixelRect at =
        vorlan::PlacePopupList(vorlan::PixelRect{field.left, field.top, field.right, field.bottom},
                               vorlan::PixelSize{own.right - own.left, own.bottom - own.top}, ScreenArea());
    // A child window takes coordinates in its parent's client area.
    POINT topLeft{at.left, at.top};
    if (::GetWindowLongPtrA(list, GWL_STYLE) & WS_CHILD) ::ScreenToClient(::GetParent(list), &topLeft);
    ::SetWindowPos(list, nullptr, topLeft.x, topLeft.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return 1;
}

void CChildDialog::SendGrid(WPARAM row, LPARAM column) {
    if (HWND grid = GetDlgItem(0x1800)) ::SendMessageA(grid, WM_USER, row, column);
}
