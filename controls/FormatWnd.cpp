#include "controls/FormatWnd.h"

#include "app/ProtocolLog.h"
#include "framework/App.h"
#include "resources/FormIds.h"
#include "resources/RichTextIds.h"
#include "resources/resource.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr const char* kFieldClass = "VORLAN FormatWnd";
constexpr const char* kFrameClass = "VORLAN FormatEdit";
constexpr UINT kCtrlEnterCommand = 32783;
// Texts far beyond the control's default 32K characters come from the server.
constexpr long kTextLimit = 0x7FFFFFFF;

CFormatEdit::Executor& TheExecutor() {
    static CFormatEdit::Executor executor;
    return executor;
}

// The rich edit control's procedure before RichEditProc.
WNDPROC g_oldRichEditProc = nullptr;

bool ThemeActive() {
    return AfxGetApp() && AfxGetApp()->IsThemeActive();
}

void CopyFace(CHARFORMATA& format, const char* face) {
    std::strncpy(format.szFaceName, face, LF_FACESIZE - 1);
    format.szFaceName[LF_FACESIZE - 1] = '\0';
}

// The field's own windows (toolbar, its boxes, the edit) hand the focus among themselves
// without the form seeing the field left and entered: the form would save the text and read
// back the server's copy over a format just chosen in a box.
bool InsideField(HWND field, HWND other) {
    return field && other && ::IsChild(field, other);
}

} // namespace

// ---- the frame of the rich edit control

void CFormatEdit::SetExecutor(Executor executor) {
    TheExecutor() = std::move(executor);
}

bool CFormatEdit::Create(CFormatWnd* owner, DWORD exStyle, DWORD style, const RECT& rect) {
    vorlan::TraceFunction("CFormatEdit::Create");
    m_pOwner = owner;
    RegisterWindowClass(kFrameClass, 0, nullptr, ::LoadCursor(nullptr, IDC_ARROW), nullptr);
    return CreateEx(exStyle, kFrameClass, "", style, rect, owner->m_hWnd, 0);
}

LRESULT CFormatEdit::OnCreate() {
    vorlan::TraceFunction("CFormatEdit::OnCreate");
    CRect client = GetClientRect();
    if (!m_wndEdit.Create(WS_VISIBLE | WS_VSCROLL | ES_WANTRETURN | ES_AUTOVSCROLL | ES_MULTILINE, client,
                          m_hWnd, kEditId))
        return -1;
    fw::SubclassShared(m_wndEdit.m_hWnd, &RichEditProc, &g_oldRichEditProc);
    m_wndEdit.LimitText(kTextLimit);
    SetDefaultFont();
    m_wndEdit.SendMessage(EM_SETEVENTMASK, 0, ENM_SELCHANGE);
    return 0;
}

void CFormatEdit::SetDefaultFont() {
    std::string face, size;
    if (TheExecutor()) {
        face = TheExecutor()(richtext::DefaultFontLine());
        size = TheExecutor()(richtext::DefaultSizeLine());
    }
    richtext::DefaultFont font = richtext::DefaultFontOf(face, size);
    CHARFORMATA format{};
    format.cbSize = sizeof format;
    format.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_OFFSET | CFM_FACE |
                    CFM_COLOR | CFM_SIZE | CFM_CHARSET;
    format.yHeight = font.height;
    format.crTextColor = RGB(0, 0, 0);
    format.bCharSet = DEFAULT_CHARSET;
    CopyFace(format, font.face.c_str());
    m_wndEdit.SetDefaultCharFormat(format);
}

void CFormatEdit::OnEditSetFocus() {
    vorlan::TraceFunction("CFormatEdit::OnEditSetFocus");
    TellForm(EN_SETFOCUS);
}

void CFormatEdit::OnEditKillFocus() {
    vorlan::TraceFunction("CFormatEdit::OnEditKillFocus");
    TellForm(EN_KILLFOCUS);
}

void CFormatEdit::TellForm(UINT code) {
    if (!m_pOwner || InsideField(m_pOwner->m_hWnd, m_hFocusOther)) return;
    HWND field = m_pOwner->m_hWnd;
    ::SendMessageA(m_pOwner->Form(), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(field), code),
                   reinterpret_cast<LPARAM>(field));
}

bool CFormatEdit::OnTab(HWND edit) {
    vorlan::TraceFunction("CFormatEdit::RichEditProc - WM_CHAR");
    auto* control = dynamic_cast<CRichEditCtrl*>(CWnd::FromHandlePermanent(edit));
    if (!control) return false;
    // The control's own text: one position per character, paragraphs ended by one CR.
    std::string text = control->GetText().str();
    CHARRANGE selection{};
    control->SendMessage(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    richtext::TabJump jump = richtext::NextPlaceholder(text, selection.cpMax);
    if (jump.kind == richtext::TabJump::PassOn) return false;
    if (jump.kind == richtext::TabJump::Swallow) return true;
    control->SetSel(jump.at, jump.at + 1);
    if (jump.notify) {
        HWND form = ::GetParent(::GetParent(::GetParent(edit)));
        std::vector<char> whole(text.begin(), text.end());
        whole.push_back('\0');
        int after = static_cast<int>(jump.at + 1);
        ::SendMessageA(form, EN_SEARCHSTRING, reinterpret_cast<WPARAM>(whole.data()),
                       reinterpret_cast<LPARAM>(&after));
        // The form may have rebuilt its fields meanwhile.
        if (!::IsWindow(edit)) return true;
        ::SetFocus(edit);
    }
    ::SendMessageA(edit, EM_SCROLLCARET, 0, 0);
    return true;
}

LRESULT CALLBACK CFormatEdit::RichEditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        // The edit's parent is its field's CFormatEdit.
        if (auto* field = dynamic_cast<CFormatEdit*>(CWnd::FromHandlePermanent(::GetParent(hwnd))))
            field->m_hFocusOther = reinterpret_cast<HWND>(wParam);
        break;
    case WM_CHAR:
        if (wParam == '\t' && OnTab(hwnd)) return 0;
        break;
    default: break;
    }
    return ::CallWindowProcA(g_oldRichEditProc, hwnd, msg, wParam, lParam);
}

LRESULT CFormatEdit::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CREATE:
        if (CWnd::WindowProc(msg, wParam, lParam) == -1) return -1;
        return OnCreate();
    case WM_SIZE:
        vorlan::TraceFunction("CFormatEdit::WindowProc - WM_SIZE");
        if (m_wndEdit.m_hWnd) ::MoveWindow(m_wndEdit.m_hWnd, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_COMMAND:
        if (m_wndEdit.m_hWnd && reinterpret_cast<HWND>(lParam) == m_wndEdit.m_hWnd) {
            if (HIWORD(wParam) == EN_SETFOCUS) OnEditSetFocus();
            if (HIWORD(wParam) == EN_KILLFOCUS) OnEditKillFocus();
            return 0;
        }
        break;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header && header->hwndFrom == m_wndEdit.m_hWnd && header->code == EN_SELCHANGE && m_pOwner) {
            m_pOwner->SelChange();
            return 0;
        }
        break;
    }
    default: break;
    }
    return CWnd::WindowProc(msg, wParam, lParam);
}

// ---- the field

bool CFormatWnd::Create(const RECT& rect, HWND parent, UINT id) {
    vorlan::TraceFunction("CFormatWnd::Create");
    RegisterWindowClass(kFieldClass, 0, nullptr, ::LoadCursor(nullptr, IDC_ARROW), nullptr);
    return CreateEx(0, kFieldClass, "", WS_CHILD | WS_VISIBLE, rect, parent, id);
}

void CFormatWnd::PostNcDestroy() {
    delete this;
}

LRESULT CFormatWnd::OnCreate() {
    vorlan::TraceFunction("CFormatWnd::OnCreate");
    // Without its toolbar the field still edits; the bar is aligned at the top with tool tips
    // by its own styles.
    m_wndToolBar.Create(this, nullptr);
    CRect r = GetClientRect();
    r.left -= 1;
    r.right += 1;
    bool themed = ThemeActive();
    DWORD style = WS_CHILD | WS_VISIBLE | (themed ? WS_BORDER : 0);
    if (!m_wndEdit.Create(this, themed ? 0 : WS_EX_CLIENTEDGE, style, r)) return -1;
    SelChange();
    return 0;
}

void CFormatWnd::OnSize(UINT type, int cx, int cy) {
    vorlan::TraceFunction("CFormatWnd::OnSize");
    if (type == SIZE_MINIMIZED) return;
    const int bar = CToolBarRichEdit::kHeight;
    if (m_wndToolBar.m_hWnd) ::MoveWindow(m_wndToolBar.m_hWnd, 0, 0, cx, bar, TRUE);
    if (m_wndEdit.m_hWnd) ::MoveWindow(m_wndEdit.m_hWnd, 0, bar, cx, cy > bar ? cy - bar : 0, TRUE);
}

void CFormatWnd::OnSetFocus() {
    vorlan::TraceFunction("CFormatWnd::OnSetFocus");
    SelChange();
    HWND edit = Edit().m_hWnd;
    if (edit) ::SetFocus(edit);
    // The edit told the form itself when it took the focus.
    if (edit && ::GetFocus() == edit) return;
    ::SendMessageA(Form(), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(m_hWnd), EN_SETFOCUS),
                   reinterpret_cast<LPARAM>(m_hWnd));
}

LRESULT CFormatWnd::OnSetWindowText(const char* text) {
    vorlan::TraceFunction("CFormatWnd::OnSetWindowText");
    richtext::StreamSource source{text ? text : ""};
    // Plain text offered as RTF is shown as plain text rather than dropped by the reader.
    int format = richtext::StreamInFormat(m_nFormat, source.text);
    Edit().StreamIn(
        format, [&source](char* out, size_t room) { return richtext::TakeFromSource(source, out, room); });
    return 1;
}

void CFormatWnd::StreamOut(richtext::StreamSink& sink) {
    Edit().StreamOut(m_nFormat,
                     [&sink](const char* data, size_t n) { richtext::PutIntoSink(sink, data, n); });
}

LRESULT CFormatWnd::OnGetWindowText(WPARAM size, char* buffer) {
    vorlan::TraceFunction("CFormatWnd::OnGetWindowText");
    if (size < 2 || !buffer) return 0;
    richtext::StreamSink sink;
    sink.buffer = buffer;
    sink.capacity = size;
    StreamOut(sink);
    buffer[sink.used] = '\0';
    return static_cast<LRESULT>(sink.used);
}

LRESULT CFormatWnd::OnGetTextLength() {
    vorlan::TraceFunction("CFormatWnd::OnGetTextLength");
    richtext::StreamSink sink;
    StreamOut(sink);
    return static_cast<LRESULT>(sink.total);
}

void CFormatWnd::OnContextMenu() {
    vorlan::TraceFunction("CFormatWnd::OnContextMenu");
    HMENU menu = ::LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_FIELD_MENU));
    if (!menu) return;
    POINT p{};
    ::GetCursorPos(&p);
    // The commands go to the window that holds the form.
    if (HMENU popup = ::GetSubMenu(menu, 0))
        ::TrackPopupMenu(popup, TPM_RIGHTBUTTON, p.x, p.y, 0, ::GetParent(Form()), nullptr);
    ::DestroyMenu(menu);
}

// ---- toolbar state and commands

richtext::Alignment CFormatWnd::AlignButtons() {
    richtext::Alignment a;
    a.left = IsChecked(ID_FORMAT_LEFT);
    a.centre = IsChecked(ID_FORMAT_CENTRE);
    a.right = IsChecked(ID_FORMAT_RIGHT);
    return a;
}

void CFormatWnd::SetAlignButtons(const richtext::Alignment& a) {
    Check(ID_FORMAT_LEFT, a.left);
    Check(ID_FORMAT_CENTRE, a.centre);
    Check(ID_FORMAT_RIGHT, a.right);
}

void CFormatWnd::SelChange() {
    vorlan::TraceFunction("CFormatWnd::SelChange");
    if (!m_wndToolBar.m_hWnd || !Edit().m_hWnd) return;
    CHARFORMATA format{};
    format.cbSize = sizeof format;
    Edit().SendMessage(EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    if (m_wndToolBar.FontBox().m_hWnd) m_wndToolBar.FontBox().SetWindowText(format.szFaceName);
    if (m_wndToolBar.SizeBox().m_hWnd)
        m_wndToolBar.SizeBox().SetWindowText(std::to_string(format.yHeight / 20).c_str());
    Check(ID_FORMAT_BOLD, (format.dwEffects & CFE_BOLD) != 0);
    Check(ID_FORMAT_ITALIC, (format.dwEffects & CFE_ITALIC) != 0);
    Check(ID_FORMAT_UNDERLINE, (format.dwEffects & CFE_UNDERLINE) != 0);
    PARAFORMAT para{};
    para.cbSize = sizeof para;
    Edit().SendMessage(EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&para));
    SetAlignButtons(richtext::ButtonsOf(para.wAlignment));
}

void CFormatWnd::SetText(DWORD mask, DWORD effects, const char* face, long height) {
    CHARFORMATA format{};
    format.cbSize = sizeof format;
    format.dwMask = mask;
    format.dwEffects = effects;
    if (face) {
        format.dwMask |= CFM_FACE;
        CopyFace(format, face);
    }
    if (height >= 0) {
        format.dwMask |= CFM_SIZE;
        format.yHeight = height;
    }
    bool selection = Edit().SendMessage(EM_SELECTIONTYPE) != SEL_EMPTY;
    Edit().SendMessage(EM_SETCHARFORMAT, selection ? SCF_SELECTION : SCF_SELECTION | SCF_WORD,
                       reinterpret_cast<LPARAM>(&format));
}

void CFormatWnd::SetPara() {
    vorlan::TraceFunction("CFormatWnd::SetPara");
    int alignment = richtext::ParagraphAlignment(AlignButtons());
    if (alignment == 0) return;
    PARAFORMAT para{};
    para.cbSize = sizeof para;
    para.dwMask = PFM_ALIGNMENT;
    para.wAlignment = static_cast<WORD>(alignment);
    Edit().SendMessage(EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&para));
}

void CFormatWnd::TextBold() {
    vorlan::TraceFunction("CFormatWnd::TextBold");
    SetText(CFM_BOLD, IsChecked(ID_FORMAT_BOLD) ? CFE_BOLD : 0, nullptr, -1);
}

void CFormatWnd::TextItalic() {
    vorlan::TraceFunction("CFormatWnd::TextItalic");
    SetText(CFM_ITALIC, IsChecked(ID_FORMAT_ITALIC) ? CFE_ITALIC : 0, nullptr, -1);
}

void CFormatWnd::TextUnderline() {
    vorlan::TraceFunction("CFormatWnd::TextUnderline");
    SetText(CFM_UNDERLINE, IsChecked(ID_FORMAT_UNDERLINE) ? CFE_UNDERLINE : 0, nullptr, -1);
}

void CFormatWnd::TextFont() {
    vorlan::TraceFunction("CFormatWnd::TextFont");
    std::string face = fw::WindowText(m_wndToolBar.FontBox().m_hWnd);
    if (!face.empty()) SetText(0, 0, face.c_str(), -1);
    ::SetFocus(Edit().m_hWnd);
}

void CFormatWnd::TextSize() {
    vorlan::TraceFunction("CFormatWnd::TextSize");
    SetText(0, 0, nullptr, richtext::SizeTextToTwips(fw::WindowText(m_wndToolBar.SizeBox().m_hWnd)));
    ::SetFocus(Edit().m_hWnd);
}

void CFormatWnd::TextCenter() {
    vorlan::TraceFunction("CFormatWnd::TextCenter");
    SetAlignButtons(richtext::AfterCentre(AlignButtons()));
    SetPara();
}

void CFormatWnd::TextLeft() {
    vorlan::TraceFunction("CFormatWnd::TextLeft");
    SetAlignButtons(richtext::AfterLeft(AlignButtons()));
    SetPara();
}

void CFormatWnd::TextRight() {
    vorlan::TraceFunction("CFormatWnd::TextRight");
    SetAlignButtons(richtext::AfterRight(AlignButtons()));
    SetPara();
}

LRESULT CFormatWnd::OnCommand(UINT id, UINT code) {
    // Buttons and the boxes' posted commands come with code 0.
    if (code != 0) return 1;
    switch (id) {
    case ID_FORMAT_FONT: TextFont(); return 0;
    case ID_FORMAT_SIZE: TextSize(); return 0;
    case ID_FORMAT_BOLD: TextBold(); return 0;
    case ID_FORMAT_ITALIC: TextItalic(); return 0;
    case ID_FORMAT_UNDERLINE: TextUnderline(); return 0;
    case ID_FORMAT_CENTRE: TextCenter(); return 0;
    case ID_FORMAT_LEFT: TextLeft(); return 0;
    case ID_FORMAT_RIGHT: TextRight(); return 0;
    default: return 1;
    }
}

bool CFormatWnd::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN && ::GetKeyState(VK_CONTROL) < 0) {
        vorlan::TraceFunction("CFormatWnd::PreTranslateMessage - WM_KEYDOWN");
        ::SendMessageA(Form(), WM_COMMAND, kCtrlEnterCommand, 0);
        return true;
    }
    return CWnd::PreTranslateMessage(msg);
}

LRESULT CFormatWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CREATE:
        if (CWnd::WindowProc(msg, wParam, lParam) == -1) return -1;
        return OnCreate();
    case WM_SIZE: OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)); return 0;
    case WM_SETFOCUS: OnSetFocus(); return 0;
    case WM_SETTEXT: return OnSetWindowText(reinterpret_cast<const char*>(lParam));
    case WM_GETTEXT: return OnGetWindowText(wParam, reinterpret_cast<char*>(lParam));
    case WM_GETTEXTLENGTH: return OnGetTextLength();
    case WM_RICH_SETTEXTMODE:
        vorlan::TraceFunction("CFormatWnd::WindowProc - WM_RICH_SETTEXTMODE");
        m_nFormat = (wParam ? SF_RTF : SF_TEXT) | (lParam ? SFF_SELECTION : 0);
        return 1;
    case WM_RICH_ENABLEFONT:
        vorlan::TraceFunction("CFormatWnd::WindowProc - WM_RICH_ENABLEFONT");
        if (m_wndToolBar.FontBox().m_hWnd) m_wndToolBar.FontBox().EnableWindow(wParam != 0);
        return 1;
    case EM_GETSEL:
    case EM_SETSEL:
    case EM_EXGETSEL:
    case EM_EXSETSEL:
        vorlan::TraceFunction("CFormatWnd::WindowProc - selection");
        return Edit().SendMessage(msg, wParam, lParam);
    case WM_ERASEBKGND:
        vorlan::TraceFunction("CFormatWnd::WindowProc - WM_ERASEBKGND");
        ::SendMessageA(Form(), WM_TAB_ERASEBKGND, wParam, reinterpret_cast<LPARAM>(m_hWnd));
        return 1;
    case WM_CONTEXTMENU: OnContextMenu(); return 0;
    case WM_COMMAND:
        if (OnCommand(LOWORD(wParam), HIWORD(wParam)) == 0) return 0;
        break;
    default: break;
    }
    return CWnd::WindowProc(msg, wParam, lParam);
}
