// The form's window procedure: keys, commands, activation, colours, context menu and
// hyperlinks become M code here.
#include "forms/ChildDialog.h"

#include "app/ProtocolLog.h"
#include "app/ReplyFields.h"
#include "app/Session.h"
#include "common/MQuote.h"
#include "controls/FocusedControl.h"
#include "forms/FormGlobals.h"
#include "framework/App.h"
#include "forms/BaseMDIMenu.h"
#include "framework/Menu.h"
#include "resources/FormIds.h"
#include "resources/MainFrameIds.h"
#include "resources/resource.h"

#include <string>

namespace line = vorlan::line;

namespace {

// The main frame's command of the frames' system-menu item (next frame).
constexpr UINT kNextFrameCommand = 0x807C;

bool KeyHeld(int key) {
    return ::GetKeyState(key) < 0;
}

// The menu tree's images serve the keys' menu too.
constexpr UINT kContextMenuImages = 514;

} // namespace

LRESULT CChildDialog::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    // A modal window of a form is being torn down: no form answers anything meanwhile.
    if (vorlan::g_bNestedModal) return CChildForm::WindowProc(msg, wParam, lParam);
    CallGuard guard(*this);
    vorlan::TraceWindowMessage("CChildDialog", vorlan::FormMessageName(msg));
    LRESULT result = 0;
    switch (msg) {
    case WM_SIZE: OnSize(LOWORD(lParam), HIWORD(lParam)); break;
    case WM_ACTIVATE: OnActivate(wParam, lParam); break;
    case WM_ENABLE: OnEnable(wParam != 0); break;
    case WM_CLOSE:
        // As the close command: an open popup list is closed first, and only the list.
        OnCommand(ID_FORM_CLOSE, 0, result);
        return result;
    case WM_CONTEXTMENU: return OnContextMenu(reinterpret_cast<HWND>(wParam), lParam);
    case WM_NOTIFY: return OnNotify(wParam, lParam);
    case WM_KEYDOWN:
        if (OnKeyDown(wParam, result)) return result;
        break;
    case WM_COMMAND:
        if (OnCommand(wParam, lParam, result)) return result;
        break;
    case WM_CTLCOLOREDIT:
        if (OnCtlColorEdit(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), result))
            return result;
        break;
    case WM_CTLCOLORSTATIC:
        if (OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), result))
            return result;
        break;
    case WM_LBUTTONDOWN: SendMessage(WM_DIAGSETFOCUS, static_cast<WPARAM>(-1), -1); break;
    case WM_DIAGSETFOCUS: return OnDiagSetFocus(wParam, lParam);
    case WM_UPDATEDIALOG: CreateControls(static_cast<int>(wParam)); return 1;
    case WM_CHILDMESSAGE:
        if (wParam) return OnListChoice(reinterpret_cast<HWND>(lParam), static_cast<int>(wParam - 1));
        return OnChildMessage(reinterpret_cast<const void*>(lParam));
    case WM_ENABLEEDITS: m_nCurrentField = EnableEdits(static_cast<int>(wParam & 0xFFFF)); return 1;
    case WM_REPEATDIALOG: return OnRepeatDialog(wParam, lParam);
    case EN_SEARCHSTRING:
        return OnSearchString(reinterpret_cast<char*>(wParam), reinterpret_cast<int*>(lParam));
    case WM_TESTFOREVENT: TestforEvent(0xFFFF); return 1;
    case WM_TAB_ERASEBKGND:
        return OnTabEraseBackground(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_HTML_HYPERLINK: return OnHyperlink(reinterpret_cast<const char*>(wParam));
    default: break;
    }
    return CChildForm::WindowProc(msg, wParam, lParam);
}

void CChildDialog::OnSize(int width, int height) {
    HWND frame = Frame();
    if (!frame || !(::GetWindowLongPtrA(frame, GWL_STYLE) & WS_THICKFRAME)) return;
    bool moved = false;
    for (size_t i = 0; i < m_stretch.size(); ++i)
        if (MoveChild(static_cast<int>(i), width, height)) moved = true;
    if (!moved) return;
    if (width > m_nStoredWidth) {
        RECT strip{m_nStoredWidth, 0, width, height};
        ::InvalidateRect(m_hWnd, &strip, TRUE);
    }
    if (height > m_nStoredHeight) {
        RECT strip{0, m_nStoredHeight, width, height};
        ::InvalidateRect(m_hWnd, &strip, TRUE);
    }
    m_nStoredWidth = width;
    m_nStoredHeight = height;
}

std::string CChildDialog::FrameTabText() {
    return vorlan::PieceOf(m_session.Execute(vorlan::TabTextLine(MainDescription())).str().substr(0, 1023),
                           1);
}

void CChildDialog::OnActivate(WPARAM wParam, LPARAM lParam) {
    const std::string formName = m_strFormName.str();
    bool changed = m_session.Execute(line::kCurrentDialog).str() != formName;
    if (changed) m_session.Execute(line::kSaveCurrentVars);

    std::string tabText;
    bool haveTab = true;
    if (wParam) {
        tabText = FrameTabText();
    } else if (lParam) {
        tabText = reinterpret_cast<const char*>(lParam);
    } else {
        haveTab = false;
    }

    if (!haveTab || tabText.empty()) {
        if (changed) m_session.Execute(vorlan::LoadVarsLine(formName));
    } else if (changed) {
        // The tab's variables survive the change of form; an unchanged form keeps its own.
        std::string kill = line::kKillNew;
        if (tabText[0] != '*') kill = KillKeepingLine(tabText);
        if (!kill.empty()) m_session.Execute(kill);
        m_session.Execute(line::kUnsetCurrent);
        m_session.Execute(vorlan::LoadVarsLine(formName));
        if (tabText[0] != '*') m_session.Execute(vorlan::TextBoxKillLine(tabText));
        m_session.Execute(line::kLoadScratchVars);
    }
    SetFKeys();
    vorlan::g_strDialogName = vorlan::MQuote(m_strDescription.str()).c_str();
}

void CChildDialog::OnEnable(bool enable) {
    EnableEdits(enable ? m_nCurrentField : 0);
    for (int i = 1; i <= m_nPictures; ++i)
        if (HWND extra = GetDlgItem(static_cast<UINT>(0x3000 | i))) ::EnableWindow(extra, enable);
}

bool CChildDialog::OnKeyDown(WPARAM wParam, LRESULT& result) {
    if (wParam >= VK_F5 && wParam <= VK_F12) {
        result = SendMessage(WM_COMMAND, ID_FKEY_FIRST + (wParam - VK_F5));
        return true;
    }
    UINT key = static_cast<UINT>(wParam & 0xFF);
    bool ctrl = KeyHeld(VK_CONTROL) || (wParam & 0x8000);
    bool shift = KeyHeld(VK_SHIFT) || (wParam & 0x4000);
    int forward = KeyHeld(VK_SHIFT) ? 0 : 1;
    result = 1;
    switch (key) {
    case VK_ESCAPE: ::PostMessageA(Frame(), WM_COMMAND, ID_FORM_CLOSE, 0); return true;
    case VK_RETURN:
        if (ctrl && shift)
            ::PostMessageA(Frame(), WM_COMMAND, ID_FORM_F2, 0);
        else if (ctrl)
            ::PostMessageA(Frame(), WM_COMMAND, ID_FORM_OK, 0);
        else
            EndEdit(forward, VK_RETURN);
        return true;
    case VK_TAB:
        if (ctrl) {
            result = ::SendMessageA(MainWindow(), WM_COMMAND, kNextFrameCommand, 0);
            return true;
        }
        EndEdit(forward, VK_TAB);
        return true;
    case VK_UP: EndEdit(0, 0); return true;
    case VK_DOWN: EndEdit(1, 0); return true;
    default: return false;
    }
}

bool CChildDialog::OnCommand(WPARAM wParam, LPARAM lParam, LRESULT& result) {
    UINT id = LOWORD(wParam);
    UINT code = HIWORD(wParam);
    if (id == ID_GRID_PRINT || id == ID_GRID_COPY || (id >= 0x8101 && id <= 0x8103) ||
        id == ID_FORM_HARDCOPY) {
        result = id == ID_FORM_HARDCOPY ? (HardCopy() ? 1 : 0) : OnPrintCommands(id);
        return true;
    }
    // Closing while a popup list is open closes the list; the form stays.
    if (id == ID_FORM_CLOSE && KeptPopupList()) {
        ::SendMessageA(KeptPopupList(), WM_KEYDOWN, VK_ESCAPE, 0);
        result = 1;
        return true;
    }
    if (vorlan::KeyIndexOfCommand(id) >= 0) {
        result = OnFunctionKey(id);
        return true;
    }
    if (id >= ID_FORM_CLOSE && id <= ID_FORM_SAVE && id != 0x8010) {
        result = OnFormCommand(id, code == 0xFFFF);
        return true;
    }
    return OnFieldCommand(id, code, reinterpret_cast<HWND>(lParam), result);
}

LRESULT CChildDialog::OnFunctionKey(UINT id) {
    int index = vorlan::KeyIndexOfCommand(id);
    const std::string& text = m_keys[static_cast<size_t>(index)];
    // The grid keeps its own focus kind; the form's is set by its fields.
    bool gridFocused = vorlan::g_nFocusKind == kFocusKindGrid;
    if (text.empty() && gridFocused && (id == 0x8021 || id == 0x8022))
        if (HWND grid = GetDlgItem(0x1800))
            return ::SendMessageA(grid, WM_KEYDOWN, id == 0x8021 ? VK_F6 : VK_F7, 0);
    if (text.empty()) return 0;
    if (!::SendMessageA(Frame(), WM_TESTFKEY, static_cast<WPARAM>(index), 0)) return 0;
    m_session.Execute(vorlan::FunctionKeyLine(id));
    HandleFKey(text, id, 1);
    return 1;
}

LRESULT CChildDialog::OnContextMenu(HWND clicked, LPARAM where) {
    CBaseMDIMenu menu(kContextMenuImages);
    int added = menu.CreateFunctions(m_keys, 40, -1, 0);
    bool grid = HasGrid(), secondList = GetDlgItem(kRecordExplorerId) != nullptr;
    if (added && (grid || secondList)) ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    if (grid) menu.AddPopup(IDR_GRID_MENU);
    if (secondList) menu.AddPopup(IDR_SECOND_LIST_MENU);
    HWND focus = ::GetFocus();
    if (focus && vorlan::g_nFocusKind == 1 && clicked == focus) menu.AddPopup(IDR_FIELD_MENU);
    if (!menu.m_hMenu || ::GetMenuItemCount(menu) == 0) return 1;
    if (clicked) {
        POINT at{static_cast<short>(LOWORD(where)), static_cast<short>(HIWORD(where))};
        // From the keyboard the point is (-1, -1): the menu opens at the pointer.
        if (where == -1) ::GetCursorPos(&at);
        menu.TrackPopupMenu(TPM_RIGHTBUTTON, at.x, at.y, Frame());
    } else {
        // Without a window the frame gives the rectangle of its menu button.
        RECT r{};
        if (where)
            r = *reinterpret_cast<const RECT*>(where);
        else if (::GetCursorPos(reinterpret_cast<POINT*>(&r)))
            r.right = r.left, r.bottom = r.top;
        menu.TrackPopupMenuEx(r, Frame());
    }
    return 1;
}

bool CChildDialog::OnCtlColorEdit(HDC dc, HWND control, LRESULT& result) {
    int field = ::GetDlgCtrlID(control) & ~0x1000;
    if (field < 0 || field >= kColourFields) return false;
    bool coloured = m_colours[field] != static_cast<COLORREF>(-1);
    if (coloured) ::SetTextColor(dc, m_colours[field]);
    if (!m_brushes[field]) {
        if (!coloured) return false;
        // The default handling would paint the text in the system's colour again.
        int back = (::GetWindowLongPtrA(control, GWL_STYLE) & ES_READONLY) || !::IsWindowEnabled(control)
                       ? COLOR_BTNFACE
                       : COLOR_WINDOW;
        ::SetBkColor(dc, ::GetSysColor(back));
        result = reinterpret_cast<LRESULT>(::GetSysColorBrush(back));
        return true;
    }
    ::SetBkMode(dc, TRANSPARENT);
    result = reinterpret_cast<LRESULT>(m_brushes[field]);
    return true;
}

bool CChildDialog::OnCtlColorStatic(HDC dc, HWND control, LRESULT& result) {
    LRESULT code = ::SendMessageA(control, WM_GETDLGCODE, 0, 0);
    if (code & DLGC_HASSETSEL) return OnCtlColorEdit(dc, control, result);
    if (!GetLooks().visualStyles) return false;
    if (!(code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON | DLGC_RADIOBUTTON | DLGC_BUTTON | DLGC_STATIC)))
        return false;
    RECT r;
    ::GetClientRect(control, &r);
    ::IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
    HWND frame = ::GetParent(::GetParent(control));
    if (!frame || !::SendMessageA(frame, WM_TAB_ERASEBKGND, reinterpret_cast<WPARAM>(dc),
                                  reinterpret_cast<LPARAM>(control)))
        ::FillRect(dc, &r, ::GetSysColorBrush(COLOR_BTNFACE));
    ::SetBkMode(dc, TRANSPARENT);
    result = reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
    return true;
}

LRESULT CChildDialog::OnTabEraseBackground(HDC dc, HWND control) {
    if (GetLooks().visualStyles && ::SendMessageA(Frame(), WM_TAB_ERASEBKGND, reinterpret_cast<WPARAM>(dc),
                                                  reinterpret_cast<LPARAM>(control)))
        return 1;
    RECT r;
    ::GetClientRect(control, &r);
    ::FillRect(dc, &r, ::GetSysColorBrush(COLOR_BTNFACE));
    return 1;
}

LRESULT CChildDialog::OnHyperlink(const char* text) {
    UINT id = vorlan::HyperlinkCommand(text);
    if (!id) return 0;
    SendMessage(WM_COMMAND, id, 0);
    return 1;
}

bool CChildDialog::IsFieldWindow(HWND window) const {
    for (HWND h = window; h && h != m_hWnd; h = ::GetParent(h)) {
        int id = ::GetDlgCtrlID(h);
        if (id > 0x1000 && id <= (0x1000 | m_nFields) && ::GetParent(h) == m_hWnd) return true;
    }
    return false;
}

bool CChildDialog::IsInRecordExplorer(HWND window) const {
    HWND explorer = ::GetDlgItem(m_hWnd, kRecordExplorerId);
    return explorer && window && (window == explorer || ::IsChild(explorer, window));
}

bool CChildDialog::IsDroppedDown(HWND window) {
    for (HWND h = window; h; h = ::GetParent(h)) {
        char name[16] = {};
        ::GetClassNameA(h, name, sizeof name);
        if (::lstrcmpiA(name, "ComboBox") == 0) return ::SendMessageA(h, CB_GETDROPPEDSTATE, 0, 0) != 0;
    }
    return false;
}

bool CChildDialog::PreTranslateMessage(MSG* msg) {
    if (msg->message != WM_KEYDOWN || ::GetDlgCtrlID(msg->hwnd) == 0x1800)
        return CChildForm::PreTranslateMessage(msg);
    UINT key = static_cast<UINT>(msg->wParam);
    if (key >= VK_F1 && key <= VK_F12) {
        SendMessage(WM_KEYDOWN, msg->wParam, msg->lParam);
        return true;
    }
    // Escape in a field is the form's (it closes the screen), as it is in a modal form's frame:
    // left to the field, a single-line edit would drop it. A dropped-down list keeps it. The
    // record explorer's panes are no fields but drop it too; its label edits end before this.
    if (key == VK_ESCAPE && (IsFieldWindow(msg->hwnd) || IsInRecordExplorer(msg->hwnd)) &&
        !IsDroppedDown(msg->hwnd)) {
        SendMessage(WM_KEYDOWN, msg->wParam, msg->lParam);
        return true;
    }
    int id = ::GetDlgCtrlID(msg->hwnd);
    bool navigation =
        key == VK_TAB || ((key == VK_UP || key == VK_DOWN || key == VK_RETURN) && id != 1 && id != 2);
    // The grid's in-place edit ends itself with these keys and saves the cell.
    HWND grid = GetDlgItem(0x1800);
    if (navigation && grid && ::IsChild(grid, msg->hwnd)) return CChildForm::PreTranslateMessage(msg);
    if (navigation) {
        bool textBox = msg->hwnd == m_hMultiEdit ||
                       (m_hRichEdit && (msg->hwnd == m_hRichEdit || ::IsChild(m_hRichEdit, msg->hwnd)));
        if (KeyHeld(VK_CONTROL) || !textBox) {
            SendMessage(WM_KEYDOWN, msg->wParam, msg->lParam);
            return true;
        }
    }
    return CChildForm::PreTranslateMessage(msg);
}
