// What the form shows of the server's data: field contents and enabling, extras, labels,
// text boxes, function keys, and the form's geometry when its frame is resized.
#include "forms/ChildDialog.h"

#include "app/AppLogic.h"
#include "app/ProtocolLog.h"
#include "app/ReplyFields.h"
#include "app/Session.h"
#include "app/SettingsBlock.h"
#include "controls/FormGrid.h"
#include "controls/FormatWnd.h"
#include "controls/HtmlStatic.h"
#include "forms/FormFieldLogic.h"
#include "forms/FormGeometry.h"
#include "forms/FormGlobals.h"
#include "resources/resource.h"
#include "forms/FormMessages.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace line = vorlan::line;

namespace {

constexpr UINT kLabelId = 0xFFFF;

} // namespace

// ---- contents

void CChildDialog::UpdateContents() {
    vorlan::TraceFunction("CChildDialog::UpdateContents");
    // The labels that change are painted together at the end, not one by one between the
    // refresh's round trips.
    LabelPaintDeferral deferred(*this);
    UpdateEdits(1, m_nFields);
    RefreshDecor();
    m_nFocusField = EnableEdits(m_nFocusField);
}

CChildDialog::LabelPaintDeferral::LabelPaintDeferral(CChildDialog& form)
    : m_form(form), m_outer(form.m_bLabelPaintDeferred) {
    form.m_bLabelPaintDeferred = true;
}

CChildDialog::LabelPaintDeferral::~LabelPaintDeferral() {
    m_form.m_bLabelPaintDeferred = m_outer;
    // Only windows with something to paint are painted.
    if (!m_outer && m_form.m_hWnd && ::IsWindowVisible(m_form.m_hWnd))
        ::RedrawWindow(m_form.m_hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void CChildDialog::UpdateEdits(int first, int last) {
    vorlan::TraceFunction("CChildDialog::UpdateEdits");
    vorlan::RefreshList only = vorlan::ParseRefreshList(m_session.Execute(line::kTakeRefreshList).str());
    const std::string description = m_strDescription.str();
    for (int i = first; i <= last && i <= m_nFields; ++i) {
        if (!only.Refreshes(i)) continue;
        vorlan::FieldRecord field =
            vorlan::ParseFieldRecord(m_session.Execute(vorlan::EditLine(description, i)).str());
        HWND control = FieldControl(i);
        SetEditExtra(i, field.extras);
        if (!control) continue;
        ControlKind kind = WindowsOf(i).kind;
        if (kind == ControlKind::CheckBox || kind == ControlKind::Radio) {
            ShowCheck(control, field.value);
        } else if (kind == ControlKind::PushButton) {
            continue;
        } else if (!IsMultiLine(control) && control != m_hRichEdit) {
            std::string value = vorlan::UnescapeFromServer(field.value);
            // Left alone when unchanged, so that caret and selection stay.
            if (FieldText(i) != value) ::SetWindowTextA(control, value.c_str());
        } else {
            VisitField(control);
            continue;
        }
        ReplaceToolTip(control, vorlan::UnescapeFromServer(field.tooltip));
    }
    if (HWND explorer = GetDlgItem(kRecordExplorerId)) ::SendMessageA(explorer, WM_INITDIALOG, 0, 0);
}

int CChildDialog::EnableEdits(int focus) {
    vorlan::TraceFunction("CChildDialog::EnableEdits");
    std::string locks = m_session.Execute(vorlan::LockListLine(m_nFields + 1)).str();
    vorlan::EnableState state =
        vorlan::EnableRule(locks, m_nFields, focus, m_bFreeOrder, ::IsWindowEnabled(m_hWnd) != 0);
    bool changed = false;
    auto apply = [&changed](HWND window, bool on) {
        if (!window || (::IsWindowEnabled(window) != 0) == on) return;
        ::EnableWindow(window, on);
        changed = true;
    };
    for (int i = 1; i <= m_nFields; ++i) {
        const FieldWindows& windows = WindowsOf(i);
        bool on = state.control[static_cast<size_t>(i)];
        apply(windows.control, on);
        apply(windows.browse, on);
        if (windows.control && windows.label) {
            bool labelOn = state.label[static_cast<size_t>(i)];
            apply(windows.label, labelOn);
            apply(windows.modeLabel, labelOn);
        }
    }
    bool focusHasControl = FieldControl(state.focus) != nullptr;
    apply(GetDlgItem(0x1800), state.grid && (m_bFreeOrder || !focusHasControl));
    HWND explorer = GetDlgItem(kRecordExplorerId);
    if (explorer && !m_bFreeOrder && focusHasControl && ::IsWindowEnabled(explorer)) {
        if (HWND tree = ::GetDlgItem(explorer, 1))
            ::SendMessageA(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
        ::EnableWindow(explorer, FALSE);
        changed = true;
    }
    // Painting every control after every step costs more than the step's round trips: the
    // form is redrawn when its enabling changed.
    if (changed) ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    return state.focus;
}

// ---- extras and labels

void CChildDialog::SetEditExtra(int field, const std::string& extras) {
    if (field < 0 || field >= kColourFields) return;
    vorlan::FieldExtras e = vorlan::ParseFieldExtras(extras);
    if (HWND control = FieldControl(field)) {
        bool readOnly = (::GetWindowLongPtrA(control, GWL_STYLE) & ES_READONLY) != 0;
        if (WindowsOf(field).kind == ControlKind::Edit && readOnly != e.readOnly)
            ::SendMessageA(control, EM_SETREADONLY, e.readOnly ? TRUE : FALSE, 0);
    }
    // A negative number is no colour either.
    m_colours[field] = e.textColour > 0 ? vorlan::ExtraColour(e.textColour) : static_cast<COLORREF>(-1);
    // The brush stays while its colour does: a refresh visits every field after each step.
    COLORREF background = e.background > 0 ? vorlan::ExtraColour(e.background) : CLR_INVALID;
    if (m_brushes[field] && background == m_backgrounds[field]) return;
    if (m_brushes[field]) ::DeleteObject(m_brushes[field]);
    m_brushes[field] = background != CLR_INVALID ? ::CreateSolidBrush(background) : nullptr;
    m_backgrounds[field] = background;
}

void CChildDialog::SetIndirectionText(HWND window, const std::string& record) {
    if (!window) return;
    LONG_PTR style = ::GetWindowLongPtrA(window, GWL_STYLE);
    std::string code = vorlan::PieceOf(record, 4);
    if (style & 0x9) {
        std::string variable = code.substr(0, 4090);
        variable = variable.substr(0, variable.find('/'));
        std::string path = m_session.Execute(vorlan::VariableLine(variable)).str();
        if (m_session.Settings().protocol)
            vorlan::WriteProtocol("CChildDialog::SetIndirectionText - Bild laden: - %s - %s",
                                  vorlan::kLogNote, m_session.Execute(line::kProtocolStamp).str().c_str(),
                                  path.c_str());
        if (path.substr(0, 259) != fw::WindowText(window, 259)) {
            ::SetWindowTextA(window, path.c_str());
            ::UpdateWindow(window);
        }
        return;
    }
    HFONT font = IndirectionFont(record);
    // Set (and redrawn) only when it changes: a refresh visits every label after each step.
    if (reinterpret_cast<HFONT>(::SendMessageA(window, WM_GETFONT, 0, 0)) != font)
        ::SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    std::string text = IndirectionText(record);
    const CHtmlStatic* label = CHtmlStatic::FromHandle(window);
    std::string shown = label ? label->GetMarkup() : fw::WindowText(window, 255);
    if (text.empty() || text.substr(0, 255) != shown.substr(0, 255)) {
        SIZE size{};
        SetStaticText(&size, window, text.c_str());
    }
    WidenFor(window);
}

HFONT CChildDialog::IndirectionFont(const std::string& record) const {
    return vorlan::PieceOf(record, 5).rfind('F', 0) == 0 ? m_hFonts[1] : m_hFonts[0];
}

std::string CChildDialog::IndirectionText(const std::string& record) {
    return vorlan::UnescapeFromServer(m_session.Execute(vorlan::PieceOf(record, 4).substr(0, 259)).str());
}

HWND CChildDialog::PictureWindow(int n) const {
    return n > 0 && static_cast<size_t>(n) < m_pictureWindows.size()
               ? m_pictureWindows[static_cast<size_t>(n)]
               : nullptr;
}

void CChildDialog::ShowModeLabel(int n) {
    // Without its label the server's answer would go nowhere: not even asked.
    if (HWND label = ModeLabel(n))
        SetIndirectionText(label, m_session.Execute(vorlan::ModuLine(m_strDescription.str(), n)).str());
}

void CChildDialog::WidenFor(HWND label) {
    RECT r;
    ::GetWindowRect(label, &r);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
    CRect client = GetClientRect();
    if (r.right + 10 <= client.right) return;
    CRect me = GetWindowRect();
    SetWindowPos(nullptr, 0, 0, me.Width() + (r.right + 10 - client.right), me.Height(),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    vorlan::ChildMessageRecord fit{vorlan::kChildFit, m_hWnd, 0};
    ::SendMessageA(Frame(), WM_CHILDMESSAGE, 0, reinterpret_cast<LPARAM>(&fit));
}

void CChildDialog::SetFKeys() {
    for (int i = 39; i >= 0; --i) {
        const std::string& text = m_keys[static_cast<size_t>(i)];
        ::SendMessageA(Frame(), WM_SETFKEY, static_cast<WPARAM>(i),
                       text.empty() ? 0 : reinterpret_cast<LPARAM>(text.c_str()));
    }
}

// ---- text boxes

void CChildDialog::SetTextBoxVariable(const std::string& name, const std::string& text) {
    if (!vorlan::IsMName(name)) {
        if (!name.empty())
            vorlan::WriteProtocol("CChildDialog::SetTextBoxVariable - no variable name: %s", vorlan::kLogNote,
                                  name.c_str());
        return;
    }
    m_session.Execute(vorlan::TextBoxKillLine(name));
    std::vector<std::string> lines = vorlan::TextBoxLines(text);
    for (size_t k = 0; k < lines.size(); ++k)
        m_session.Execute(vorlan::TextBoxStoreLine(name, static_cast<int>(k) + 1, lines[k]));
}

void CChildDialog::SetTextBoxCoord(int) {
    HWND focus = ::GetFocus();
    bool rich = m_hRichEdit && (focus == m_hRichEdit || ::IsChild(m_hRichEdit, focus));
    if (!focus || !::IsChild(m_hWnd, focus) || ::GetDlgCtrlID(focus) == 0x1800) return;
    if (!rich && !IsMultiLine(focus)) return;
    DWORD start = 0, end = 0;
    ::SendMessageA(focus, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    int line = 1, column = 1;
    vorlan::CaretOf(CaretText(focus), start, line, column);
    m_session.Execute(vorlan::CaretLine(line, column));
}

std::string CChildDialog::CaretText(HWND control) {
    // The rich-text field counts a paragraph's end as one character, but its window text
    // has CR LF there (or is RTF): positions are counted in the text it counts them in.
    if (m_hRichEdit && (control == m_hRichEdit || ::IsChild(m_hRichEdit, control)))
        if (auto* rich = dynamic_cast<CFormatWnd*>(CWnd::FromHandlePermanent(m_hRichEdit)))
            return rich->Edit().GetText().str();
    return fw::WindowText(control);
}

std::string CChildDialog::ReadTextBox(const std::string& name) {
    std::string text;
    if (!vorlan::IsMName(name)) return text;
    m_session.Execute(vorlan::TextBoxFirstKeyLine());
    bool first = true;
    while (!m_session.Execute(vorlan::TextBoxNextKeyLine(name)).IsEmpty()) {
        if (!first) text += "\r\n";
        first = false;
        text += vorlan::UnescapeFromServer(m_session.Execute(vorlan::TextBoxReadLine(name)).str());
    }
    return text;
}

void CChildDialog::SetTextBoxText(HWND control, const std::string& text) {
    if (control == m_hRichEdit) {
        // Its RTF reads back in another form than it was given, and it holds any length.
        ::SetWindowTextA(control, text.c_str());
        m_partialTextBoxes.erase(::GetDlgCtrlID(control) & 0xFF);
        return;
    }
    // Edits hold far more than their default limit; a text that still does not fit whole is
    // shown as far as it goes and never written back, so the server keeps all of it.
    ::SendMessageA(control, EM_SETLIMITTEXT, 0, 0);
    ::SetWindowTextA(control, text.c_str());
    bool shown = static_cast<size_t>(::GetWindowTextLengthA(control)) == text.size();
    int n = ::GetDlgCtrlID(control) & 0xFF;
    if (shown)
        m_partialTextBoxes.erase(n);
    else
        m_partialTextBoxes.insert(n);
}

void CChildDialog::ReadBackTextBox(HWND control) {
    DWORD start = 0, end = 0;
    ::SendMessageA(control, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    SetTextBoxText(control, ReadTextBox(m_strTextBoxVariable));
    ::SendMessageA(control, EM_SETSEL, start, end);
}

// ---- geometry

namespace {

vorlan::PixelRect InParent(HWND parent, HWND child) {
    RECT r;
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return vorlan::PixelRect{r.left, r.top, r.right, r.bottom};
}

} // namespace

CSize CChildDialog::GetMinSize() const {
    std::vector<vorlan::MinSizeItem> children;
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        UINT id = static_cast<UINT>(::GetDlgCtrlID(child));
        bool stretches = std::any_of(m_stretch.begin(), m_stretch.end(),
                                     [id](const StretchEntry& e) { return e.id && e.id == id; });
        children.push_back({InParent(m_hWnd, child), stretches});
    }
    vorlan::PixelSize size = vorlan::MinSize(children);
    return CSize(size.cx, size.cy);
}

int CChildDialog::MoveChild(int index, int right, int bottom) {
    if (index < 0 || static_cast<size_t>(index) >= m_stretch.size()) return 0;
    const StretchEntry& e = m_stretch[static_cast<size_t>(index)];
    HWND child = e.id ? GetDlgItem(static_cast<int>(e.id)) : nullptr;
    if (!child) return 0;
    vorlan::PixelRect moved{};
    if (!vorlan::StretchRect(vorlan::PixelRect{e.rect.left, e.rect.top, e.rect.right, e.rect.bottom},
                             m_nLayoutRight, m_nLayoutBottom, InParent(m_hWnd, child), right, bottom, moved))
        return 0;
    ::MoveWindow(child, moved.left, moved.top, moved.Width(), moved.Height(), TRUE);
    return 1;
}

bool CChildDialog::ChangingSize(CRect& rect) const {
    HWND grid = GetDlgItem(0x1800);
    auto* columns = grid ? dynamic_cast<IFormGrid*>(CWnd::FromHandlePermanent(grid)) : nullptr;
    if (!columns) return false;
    RECT client;
    ::GetClientRect(grid, &client);
    vorlan::PixelRect r{rect.left, rect.top, rect.right, rect.bottom};
    if (!vorlan::NarrowForGrid(r, columns->GetTotalColumnWidth(), client.right)) return false;
    rect.right = r.right;
    return true;
}
