// The form's text boxes: Enter keeping the indentation, Tab to the next "@" placeholder,
// the word after a lead character offered to the form, and the search list a lead
// character opens after a pause.
#include "forms/ChildForm.h"

#include "app/ProtocolLog.h"
#include "app/Session.h"
#include "forms/FormFieldLogic.h"
#include "forms/TextBoxLogic.h"
#include "framework/Gdi.h"
#include "framework/ListBox.h"
#include "framework/Wnd.h"
#include "resources/resource.h"

#include <string>
#include <vector>

namespace {

constexpr UINT kLeadPause = 500;
constexpr unsigned char kLeadChars[] = {'#', '*', '+', '\''};
constexpr DWORD kListStyle = 0x80A00083; // popup, border, vertical scroll bar, notify, sorted, tab stops
constexpr DWORD kListExStyle = WS_EX_CLIENTEDGE | WS_EX_TOOLWINDOW;
constexpr int kListWidth = 300;
constexpr int kListHeight = 240;
constexpr int kColumnGap = 16; // dialog units between an entry's columns
// A server that never stops answering keys must not keep the form busy for ever.
constexpr int kMostEntries = 10000;
constexpr UINT WM_FLOATSTATUS = 0x036D;
constexpr WPARAM kSyncActive = 0x40;

constexpr LONG_PTR kListOpen = 0x8000;
constexpr LONG_PTR kFocusInList = 0x1;
constexpr LONG_PTR kBackFromList = 0x2;

// The list box's own procedure: one slot for every search list.
WNDPROC g_listProc = nullptr;

LONG_PTR StateOf(HWND edit) {
    return ::GetWindowLongPtrA(edit, GWLP_USERDATA);
}

void SetState(HWND edit, LONG_PTR state) {
    ::SetWindowLongPtrA(edit, GWLP_USERDATA, state);
}

HWND EditOf(HWND list) {
    HWND edit = reinterpret_cast<HWND>(::GetWindowLongPtrA(list, GWLP_USERDATA));
    return edit && ::IsWindow(edit) ? edit : nullptr;
}

void Selection(HWND edit, DWORD& start, DWORD& end) {
    start = end = 0;
    ::SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
}

void StopLeadTimers(HWND edit) {
    for (unsigned char c : kLeadChars)
        ::KillTimer(edit, c);
}

// The form answers non-zero when it used the text. The edit may be gone afterwards.
LRESULT OfferSearchString(HWND edit, const std::string& text, int* selection) {
    std::vector<char> buffer(text.begin(), text.end());
    buffer.push_back('\0');
    return ::SendMessageA(::GetParent(edit), EN_SEARCHSTRING, reinterpret_cast<WPARAM>(buffer.data()),
                          reinterpret_cast<LPARAM>(selection));
}

void OnTab(HWND edit) {
    std::string text = fw::WindowText(edit);
    DWORD start, end;
    Selection(edit, start, end);
    vorlan::Placeholder p = vorlan::NextPlaceholder(text, end);
    ::SendMessageA(edit, EM_SETSEL, p.start, p.end);
    if (p.search) {
        int caret = static_cast<int>(p.end);
        OfferSearchString(edit, text, &caret);
        if (!::IsWindow(edit)) return;
        ::SetFocus(edit);
    }
    ::SendMessageA(edit, EM_SCROLLCARET, 0, 0);
}

// True when the typed character ended a word the form used and is to be dropped.
bool OfferLeadWord(HWND edit) {
    std::string text = fw::WindowText(edit);
    DWORD start, end;
    Selection(edit, start, end);
    size_t lead = vorlan::LeadWordStart(text, start);
    if (lead == std::string::npos) return false;
    std::string word = text.substr(lead, start - lead);
    LRESULT used = OfferSearchString(edit, word, nullptr);
    if (!::IsWindow(edit)) return true;
    ::SetFocus(edit);
    return used && vorlan::DropsEndingChar(static_cast<unsigned char>(word[0]));
}

void Enter(HWND edit, LPARAM lParam, WNDPROC oldProc) {
    std::string text = fw::WindowText(edit);
    if (text.empty()) {
        ::CallWindowProcA(oldProc, edit, WM_CHAR, '\r', lParam);
        return;
    }
    DWORD start, end;
    Selection(edit, start, end);
    vorlan::Indentation indentation = vorlan::IndentationAt(text, start);
    if (start == end && indentation.caret != start)
        ::SendMessageA(edit, EM_SETSEL, indentation.caret, indentation.caret);
    ::CallWindowProcA(oldProc, edit, WM_CHAR, '\r', lParam);
    if (!indentation.indent.empty())
        ::SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(indentation.indent.c_str()));
}

bool OnChar(HWND edit, WPARAM wParam, LPARAM lParam, WNDPROC oldProc) {
    StopLeadTimers(edit);
    auto c = static_cast<unsigned char>(wParam);
    if (vorlan::IsLeadChar(c)) ::SetTimer(edit, c, kLeadPause, nullptr);
    if (vorlan::EndsWord(c) && OfferLeadWord(edit)) return true;
    if (!::IsWindow(edit)) return true;
    if (c == '\r') {
        Enter(edit, lParam, oldProc);
        return true;
    }
    DWORD start, end;
    Selection(edit, start, end);
    if (vorlan::LineLengthAt(fw::WindowText(edit), start) > vorlan::kLongLine)
        ::MessageBeep(MB_ICONEXCLAMATION);
    return false;
}

int LineHeight(HWND edit) {
    CClientDC dc(edit);
    CSelectedObject font(dc, reinterpret_cast<HFONT>(::SendMessageA(edit, WM_GETFONT, 0, 0)));
    TEXTMETRICA tm{};
    ::GetTextMetricsA(dc, &tm);
    return tm.tmHeight;
}

void FillSearchList(CTabListBox& list, CSession& session) {
    session.Execute(vorlan::kSearchFirstKeyLine);
    for (int n = 0; n < kMostEntries; ++n) {
        if (session.Execute(vorlan::kSearchNextKeyLine).IsEmpty()) break;
        std::string entry = session.Execute(vorlan::kSearchEntryLine).str();
        entry += '\t';
        entry += session.Execute(vorlan::kSearchSecondLine).str();
        list.AddString(entry.c_str());
    }
}

void OpenSearchList(HWND edit, unsigned char lead) {
    StopLeadTimers(edit);
    if (::GetFocus() != edit || (StateOf(edit) & kListOpen)) return;
    CSession& session = TheSession();
    std::string routine = session.Execute(vorlan::kSearchTableLine).str();
    if (routine.empty()) return;
    if (!vorlan::IsRoutineRef(routine)) {
        vorlan::WriteProtocol("CChildForm::WndSuperProcEdit - no routine: %s", vorlan::kLogNote,
                              routine.c_str());
        return;
    }
    std::string global =
        session.Execute(vorlan::SearchGlobalLine(std::string(1, static_cast<char>(lead)), routine)).str();
    if (global.empty() || !::IsWindow(edit)) return;

    POINT at{};
    ::GetCaretPos(&at);
    ::ClientToScreen(edit, &at);
    at.y += LineHeight(edit);
    SetState(edit, kListOpen | kFocusInList);
    CTabListBox list;
    if (!list.Create(kListExStyle, kListStyle, RECT{at.x, at.y, at.x + kListWidth, at.y + kListHeight},
                     ::GetParent(edit))) {
        SetState(edit, 0);
        return;
    }
    ::SetWindowLongPtrA(list.m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(edit));
    fw::SubclassShared(list.m_hWnd, CChildForm::WndSuperProcList, &g_listProc);
    ::SendMessageA(list.m_hWnd, WM_SETFONT, ::SendMessageA(edit, WM_GETFONT, 0, 0), FALSE);
    FillSearchList(list, session);
    list.SetTabStopAfterFirstColumn(kColumnGap);
    ::ShowWindow(list.m_hWnd, SW_SHOW);
    list.SetCurSel(0);
    ::SetFocus(list.m_hWnd);
}

BOOL CALLBACK CloseListOfEdit(HWND window, LPARAM edit) {
    if (reinterpret_cast<LPARAM>(reinterpret_cast<HWND>(::GetWindowLongPtrA(window, GWLP_USERDATA))) !=
            edit ||
        reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(window, GWLP_WNDPROC)) != CChildForm::WndSuperProcList)
        return TRUE;
    ::DestroyWindow(window);
    return FALSE;
}

// A list's owner is the frame (Windows gives a popup the top-level window): it would
// outlive its edit.
void CloseSearchListOf(HWND edit) {
    ::EnumThreadWindows(::GetCurrentThreadId(), CloseListOfEdit, reinterpret_cast<LPARAM>(edit));
}

// ---- the search list

void GiveBack(HWND edit) {
    if (edit) ::SetFocus(edit);
}

// Enter or a double click: what was typed since the list opened becomes the chosen entry.
void ChooseEntry(HWND list) {
    HWND edit = EditOf(list);
    CTabListBox box(list);
    int chosen = box.GetCurSel();
    if (edit && chosen >= 0) {
        std::string head = vorlan::EntryHead(box.GetText(chosen));
        DWORD typed = static_cast<DWORD>(::GetWindowTextLengthA(list));
        DWORD start, end;
        Selection(edit, start, end);
        ::SendMessageA(edit, EM_SETSEL, end > typed ? end - typed : 0, end);
        ::SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(head.c_str()));
    }
    GiveBack(edit); // the list is gone from here on
    if (edit && chosen >= 0 && ::IsWindow(edit)) ::SendMessageA(edit, WM_CHAR, ' ', 0);
}

void CollectChar(HWND list, WPARAM wParam, LPARAM lParam) {
    std::string typed = fw::WindowText(list) + static_cast<char>(wParam);
    ::SetWindowTextA(list, typed.c_str());
    CTabListBox(list).SelectPrefix(typed.c_str());
    // The edit may close the list (a word it ends goes to the form).
    if (HWND edit = EditOf(list)) ::SendMessageA(edit, WM_CHAR, wParam, lParam);
}

bool IsModifier(WPARAM key) {
    return key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU || key == VK_CAPITAL;
}

// True when the key stays with the list.
bool KeepsKey(WPARAM key) {
    switch (key) {
    case VK_RETURN:
    case VK_UP:
    case VK_DOWN: return true;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_INSERT:
    case VK_DELETE: return false;
    default: return IsModifier(key) || ::MapVirtualKeyA(static_cast<UINT>(key), MAPVK_VK_TO_CHAR) >= 32;
    }
}

LRESULT OnListKillFocus(HWND list, WPARAM wParam, LPARAM lParam) {
    if (HWND edit = EditOf(list)) SetState(edit, kListOpen | kBackFromList);
    LRESULT result = ::CallWindowProcA(g_listProc, list, WM_KILLFOCUS, wParam, lParam);
    ::DestroyWindow(list);
    return result;
}

LRESULT OnListKeyDown(HWND list, WPARAM wParam, LPARAM lParam) {
    if (wParam == VK_ESCAPE) {
        GiveBack(EditOf(list));
        return 0;
    }
    if (KeepsKey(wParam)) return ::CallWindowProcA(g_listProc, list, WM_KEYDOWN, wParam, lParam);
    HWND edit = EditOf(list);
    GiveBack(edit);
    // Posted, so that the message loop translates it for the edit as it would a typed key.
    if (edit) ::PostMessageA(edit, WM_KEYDOWN, wParam, lParam);
    return 0;
}

} // namespace

bool CChildForm::WndProcTextBox(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result,
                                WNDPROC oldProc) {
    *result = 0;
    LONG_PTR state = StateOf(hwnd);
    switch (msg) {
    case WM_CREATE: SetState(hwnd, 0); return false;
    case WM_DESTROY:
        if (state & kListOpen) CloseSearchListOf(hwnd);
        return false;
    case WM_SETFOCUS:
        // Back from the search list: the form saw no field exit, so it sees no entry either.
        if (!(state & kBackFromList)) return false;
        SetState(hwnd, 0);
        *result = ::DefWindowProcA(hwnd, msg, wParam, lParam);
        return true;
    case WM_KILLFOCUS:
        if (!(state & kFocusInList)) return false;
        SetState(hwnd, state & ~kFocusInList);
        *result = ::DefWindowProcA(hwnd, msg, wParam, lParam);
        return true;
    case WM_LBUTTONDOWN:
        // The list closed towards another window: the edit still owes the form its exit.
        if (!(state & kBackFromList)) return false;
        SetState(hwnd, 0);
        ::SendMessageA(hwnd, WM_KILLFOCUS, 0, 0);
        if (::GetFocus() == hwnd)
            ::SendMessageA(hwnd, WM_SETFOCUS, 0, 0);
        else
            ::SetFocus(hwnd);
        return false;
    case WM_KEYDOWN:
        if (wParam != VK_TAB) return false;
        OnTab(hwnd);
        return true;
    case WM_CHAR:
        // The character the message loop makes of Tab would overwrite the selected "@".
        if (wParam == '\t') return true;
        return OnChar(hwnd, wParam, lParam, oldProc);
    case WM_TIMER:
        if (!vorlan::IsLeadChar(static_cast<unsigned char>(wParam))) return false;
        OpenSearchList(hwnd, static_cast<unsigned char>(wParam));
        return true;
    default: return false;
    }
}

LRESULT CALLBACK CChildForm::WndSuperProcList(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_KILLFOCUS: return OnListKillFocus(hwnd, wParam, lParam);
    case WM_KEYDOWN: return OnListKeyDown(hwnd, wParam, lParam);
    case WM_CHAR:
        if (wParam == '\r')
            ChooseEntry(hwnd);
        else
            CollectChar(hwnd, wParam, lParam);
        return 0;
    case WM_LBUTTONDBLCLK: ChooseEntry(hwnd); return 0;
    case WM_NCACTIVATE: return TRUE;
    case WM_FLOATSTATUS:
        if (wParam & kSyncActive) return TRUE;
        break;
    default: break;
    }
    return ::CallWindowProcA(g_listProc, hwnd, msg, wParam, lParam);
}
