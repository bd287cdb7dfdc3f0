// The form's construction, its creation from the server description and its control pass.
#include "forms/ChildDialog.h"

#include "app/FontSetting.h"
#include "app/ProtocolLog.h"
#include "app/ReplyFields.h"
#include "app/Session.h"
#include "app/SettingsBlock.h"
#include "controls/HtmlStatic.h"
#include "forms/FormGeometry.h"
#include "forms/FormGlobals.h"
#include "forms/FormMessages.h"
#include "framework/App.h"
#include "resources/FormIds.h"
#include "resources/MainFrameIds.h"
#include "resources/resource.h"
#include "tools/Explorer.h"

#include <commctrl.h>

#include <algorithm>

using vorlan::FieldKind;
using vorlan::TraceFunction;
namespace line = vorlan::line;

namespace {

constexpr UINT kLabelId = 0xFFFF;
constexpr int kButtonMinWidth = 84;
constexpr int kBrowseButtonWidth = 80;
constexpr int kToolTipWidth = 300;

// Measured in the given font; an empty text as one blank, so that its label has a height.
SIZE TextSize(HFONT font, const std::string& text) {
    const std::string& shown = text.empty() ? std::string(" ") : text;
    return fw::LineExtentInFont(font, shown.c_str(), static_cast<int>(shown.size()));
}

// Check boxes and radio buttons; the kinds without "Right" show their text left of the box.
DWORD CheckButtonStyle(FieldKind kind) {
    DWORD style = BS_NOTIFY | WS_TABSTOP;
    switch (kind) {
    case FieldKind::Check3: return style | BS_AUTO3STATE | BS_LEFTTEXT;
    case FieldKind::Check3Right: return style | BS_AUTO3STATE;
    case FieldKind::Check: return style | BS_AUTOCHECKBOX | BS_LEFTTEXT;
    case FieldKind::Radio: return style | BS_AUTORADIOBUTTON | WS_GROUP | BS_LEFTTEXT;
    default: return style | BS_AUTORADIOBUTTON | WS_GROUP;
    }
}

std::string LoadText(UINT id) {
    CString s;
    s.LoadString(id);
    return s.str();
}

} // namespace

CChildDialog::CChildDialog() : m_session(TheSession()), m_keys(kKeyCount) {
    TraceFunction("CChildDialog::CChildDialog");
    for (COLORREF& c : m_colours)
        c = static_cast<COLORREF>(-1);
    for (COLORREF& c : m_backgrounds)
        c = CLR_INVALID;
}

CChildDialog::~CChildDialog() {
    for (HBRUSH& b : m_brushes)
        if (b) ::DeleteObject(b);
    if (m_hFixedFont) ::DeleteObject(m_hFixedFont);
    DestroyGridObjects();
}

void CChildDialog::SetFonts(HFONT normal, HFONT bold, HFONT fixed) {
    m_hFonts[0] = normal;
    m_hFonts[1] = bold;
    m_hFonts[2] = fixed;
    m_hFont = normal;
    m_hLabelFont = bold;
}

CString CChildDialog::GetKeyText(int index) const {
    if (index < 0 || index >= kKeyCount) return CString();
    return CString(m_keys[static_cast<size_t>(index)].c_str());
}

const CChildDialog::FieldWindows& CChildDialog::WindowsOf(int n) const {
    static const FieldWindows none;
    return n > 0 && static_cast<size_t>(n) < m_fieldWindows.size() ? m_fieldWindows[static_cast<size_t>(n)]
                                                                   : none;
}

std::string CChildDialog::FieldText(int n) const {
    const FieldWindows& windows = WindowsOf(n);
    if (windows.edit) return EditText(windows.control, windows.edit == 2, 127);
    return fw::WindowText(windows.control, 127);
}

bool CChildDialog::IsSizable() const {
    for (const StretchEntry& e : m_stretch)
        if (e.id) return true;
    return false;
}

int CChildDialog::MDestroy() {
    TraceFunction("CChildDialog::MDestroy");
    m_session.Execute(vorlan::DestroyLine(m_strFormName.str()));
    return 0;
}

bool CChildDialog::RefuseAfterFatal(const char* messageLine) {
    CString message = m_session.Execute(messageLine);
    if (!message.IsEmpty()) AfxMessageBox(message, MB_OK | MB_ICONSTOP);
    TestforEvent(0xFFFF);
    return true;
}

std::string CChildDialog::KillKeepingLine(const std::string& names) {
    std::string command = m_session.Execute(line::kKillCommand).str();
    std::string kill = vorlan::KillKeeping(command, names);
    if (kill.empty() && !command.empty())
        vorlan::WriteProtocol("CChildDialog::KillKeepingLine - no kill command: %s", vorlan::kLogNote,
                              command.c_str());
    return kill;
}

int CChildDialog::Create(const char* opening, UINT formId, int killFlag, CWnd* parent, int x, int y,
                         int createControls, const char* keepList) {
    TraceFunction("CChildDialog::Create");
    vorlan::OpeningNames names = vorlan::SplitOpening(opening ? opening : "", formId);
    m_strFormName = names.formName.c_str();
    m_strDescription = names.description.c_str();
    if (formId >= 0xC000) m_strTitle = names.title.c_str();
    const std::string description = names.description;

    // Before the window exists a refused form is deleted here; afterwards it owns itself
    // and goes with its window (PostNcDestroy reports it to the server once).
    auto refuseEarly = [this] {
        MDestroy();
        delete this;
        return 0;
    };
    auto refuse = [this] {
        DestroyWindow();
        return 0;
    };

    bool haveDialog = !m_session.Execute(vorlan::DialogRoutineProbeLine()).IsEmpty();
    if (m_session.Execute(vorlan::DialogAllowedLine(description, haveDialog)) == "0") return refuseEarly();
    if (vorlan::g_nOpenForms > 0) m_session.Execute(vorlan::SaveOpenFormLine());

    m_nLayoutRight = m_nLayoutBottom = 0;
    if (!parent || !parent->m_hWnd || !CChildForm::Create(CRect(x, y, x, y), parent->m_hWnd))
        return refuseEarly();
    SetFont(m_hFonts[0], false);
    ++vorlan::g_nOpenForms;
    CallGuard guard(*this);

    std::string keep = keepList ? keepList : "";
    std::string kill = vorlan::KillNeedsKillText(keep) ? KillKeepingLine(keep)
                                                       : vorlan::CreationKillLine(killFlag != 0, keep, "");
    if (!kill.empty()) m_session.Execute(kill);

    m_nFormId = formId;
    if (vorlan::g_strDialogName.IsEmpty()) vorlan::g_strDialogName = "\"\"";
    m_session.Execute(vorlan::DialogNamesLine(vorlan::g_strDialogName.str(), vorlan::g_strDialogMemo.str(),
                                              m_strFormName.str()));
    if (!parent->SendMessage(WM_DIALOGINIT, static_cast<WPARAM>(m_nTabIndex), 0)) EnableWindow(false);

    ReadTitle();

    if (m_session.Execute(line::kNoFatalError).IsEmpty()) {
        RefuseAfterFatal(line::kTakeFatalError);
        return refuse();
    }
    vorlan::StepMessages messages =
        vorlan::ParseMessages(m_session.Execute(vorlan::MessagesLine(true)).str());
    if (messages.hasError) {
        if (!messages.info.empty())
            AfxMessageBox(messages.info.c_str(), MB_OK | MB_ICONINFORMATION);
        else if (!messages.error.empty())
            AfxMessageBox(messages.error.c_str(), MB_OK | MB_ICONEXCLAMATION);
    }

    for (CString next = m_session.Execute(line::kTakeSubDialog); !next.IsEmpty();
         next = m_session.Execute(line::kTakeSubDialog)) {
        if (CallSubDialog(next, 0, 0) != ID_FORM_OK && !m_session.Execute(line::kF3Action).IsEmpty()) {
            TestABLF3();
            return refuse();
        }
        if (RunPendingAction() && m_session.Execute(line::kErrorExists) == "1") {
            RefuseAfterFatal(line::kTakeError);
            return refuse();
        }
    }

    m_session.Execute(vorlan::InitScreenLine(description, m_strFormName.str()));
    CString startField = m_session.Execute(line::kStartField);
    if (createControls == 1) CreateControls(0);
    m_session.Execute(vorlan::SetStartFieldLine(startField.str()));
    m_keys = vorlan::SplitKeys(m_session.Execute(vorlan::KeysLine(description)).str());

    SetFKeys();
    TestforEvent(0xFFFF);
    // The after-step requests may have closed the frame, and this form with it.
    m_bCreated = m_hWnd != nullptr;
    return m_bCreated ? 1 : 0;
}

void CChildDialog::ReadTitle() {
    const std::string description = m_strDescription.str();
    if (m_strTitle.IsEmpty()) {
        std::string record = m_session.Execute(vorlan::DescriptionRecordLine(description)).str();
        if (!record.empty()) {
            std::string p2 = vorlan::PieceOf(record, 2), p3 = vorlan::PieceOf(record, 3);
            if (p2.empty() || p3.empty()) {
                m_strTitle = vorlan::PieceOf(record, 1).c_str();
            } else {
                m_strTitle = m_session.Execute(vorlan::FetTitleLine(p2, p3, false));
                if (m_strTitle.IsEmpty()) m_strTitle = m_session.Execute(vorlan::FetTitleLine(p2, p3, true));
            }
        }
    }
    if (m_strFrameCaption.IsEmpty())
        m_strFrameCaption = m_session.Execute(vorlan::FrameCaptionLine(description));
    CString frame = m_session.Execute(line::kFrameTitle);
    if (!frame.IsEmpty()) m_strFrameCaption = frame;
    CString dialog = m_session.Execute(line::kDialogTitle);
    if (!dialog.IsEmpty()) m_strTitle = dialog;
    m_strBaseTitle = m_strTitle;
}

void CChildDialog::ShowTitle() {
    m_strTitle =
        vorlan::FormTitle(m_nFormId, m_strBaseTitle.str(), m_session.Execute(line::kTitle).str()).c_str();
    // Set only when it changes: every step asks for the title again.
    if (GetWindowText() != m_strTitle) SetWindowText(m_strTitle);
    vorlan::ChildMessageRecord msg{vorlan::kChildTitle, m_hWnd, reinterpret_cast<LPARAM>(m_strTitle.c_str())};
    ::SendMessageA(Frame(), WM_CHILDMESSAGE, 0, reinterpret_cast<LPARAM>(&msg));
}

void CChildDialog::CreateToolTip() {
    if (m_hToolTip) return;
    m_hToolTip = ::CreateWindowExA(
        WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX | TTS_BALLOON,
        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr, nullptr, nullptr);
    if (!m_hToolTip) return;
    ::SendMessageA(m_hToolTip, TTM_SETMAXTIPWIDTH, 0, kToolTipWidth);
    ::SendMessageA(m_hToolTip, TTM_ACTIVATE, TRUE, 0);
}

void CChildDialog::AddToolTip(HWND control, const std::string& text) {
    if (!m_hToolTip || !control) return;
    TOOLINFOA ti{};
    ti.cbSize = sizeof ti;
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS | TTF_TRANSPARENT;
    ti.hwnd = m_hWnd;
    ti.uId = reinterpret_cast<UINT_PTR>(control);
    ti.lpszText = const_cast<char*>(text.c_str());
    ::SendMessageA(m_hToolTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
}

void CChildDialog::ReplaceToolTip(HWND control, const std::string& text) {
    if (!m_hToolTip || !control) return;
    // Left alone when its text is the same: a refresh visits every field after each step.
    char current[1024] = {};
    TOOLINFOA ti{};
    ti.cbSize = sizeof ti;
    ti.hwnd = m_hWnd;
    ti.uId = reinterpret_cast<UINT_PTR>(control);
    ti.lpszText = current;
    if (text.size() < sizeof current - 1 &&
        ::SendMessageA(m_hToolTip, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&ti))) {
        ti.lpszText = current;
        ::SendMessageA(m_hToolTip, TTM_GETTEXTA, sizeof current, reinterpret_cast<LPARAM>(&ti));
        if (text == current) return;
    }
    RemoveToolTip(control);
    AddToolTip(control, text);
}

void CChildDialog::AddPendingToolTips() {
    // Added once the control pass is through: the tool's subclassing looks up its data on every
    // message of its control, and the pass sends them many. A refresh in the middle of the
    // pass may have added some already.
    for (const auto& [control, text] : m_pendingToolTips) {
        TOOLINFOA ti{};
        ti.cbSize = sizeof ti;
        ti.hwnd = m_hWnd;
        ti.uId = reinterpret_cast<UINT_PTR>(control);
        if (m_hToolTip && !::SendMessageA(m_hToolTip, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&ti)))
            AddToolTip(control, text);
    }
    m_pendingToolTips.clear();
}

void CChildDialog::RemoveToolTip(HWND control) {
    if (!m_hToolTip || !control) return;
    TOOLINFOA ti{};
    ti.cbSize = sizeof ti;
    ti.hwnd = m_hWnd;
    ti.uId = reinterpret_cast<UINT_PTR>(control);
    ::SendMessageA(m_hToolTip, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
}

HFONT CChildDialog::FixedFont() {
    if (m_hFixedFont) return m_hFixedFont;
    FontSetting setting = ReadFontSetting(vorlan::kFontSlotMultiLine);
    CFont font;
    if (setting.name.IsEmpty() ||
        !font.CreatePointFont(setting.scaledSize ? setting.scaledSize : 90, setting.name))
        font.CreatePointFont(90, "Courier New");
    m_hFixedFont = static_cast<HFONT>(font.Detach());
    return m_hFixedFont;
}

void CChildDialog::RaiseLayout(int right, int bottom) {
    m_nLayoutRight = std::max(m_nLayoutRight, right);
    m_nLayoutBottom = std::max(m_nLayoutBottom, bottom);
}

int CChildDialog::CreateControls(int relayout) {
    TraceFunction("CChildDialog::CreateControls");
    if (relayout) {
        if (!m_bControlsCreated) return 1;
        if (HasGrid()) CreateScrollField(1, 0, 0, 0, 0);
        if (!m_hWnd) return 0;
        UpdateContents();
        m_nFocusField = EnableEdits(m_bReinitialised ? 1 : m_nFocusField);
        m_bReinitialised = false;
        return 1;
    }
    ShowTitle();
    CreateToolTip();
    m_bControlsCreated = true;

    const std::string description = m_strDescription.str();
    vorlan::FormRecord form = vorlan::ParseFormRecord(m_session.Execute(vorlan::MaxLine(description)).str());
    m_nFields = form.fields;
    m_bFreeOrder = form.freeOrder;
    m_bNoClientEdge = form.noClientEdge;
    m_nPictures = std::clamp(form.pictures, 0, 0xFFF);
    if (!form.background.empty()) SetBitmap(form.background.c_str(), m_background);
    for (const char* group : vorlan::kCommentGroups)
        CreateComments(group, 0);

    m_fieldWindows.assign(static_cast<size_t>(m_nFields) + 1, FieldWindows());
    for (int k = 1; k <= m_nFields; ++k)
        CreateField(k, vorlan::ParseFieldRecord(m_session.Execute(vorlan::EditLine(description, k)).str()));

    AddSingleStretchControl();
    if (form.gridFirst < form.gridLast)
        CreateScrollField(0, form.gridFirst, form.gridLast, form.gridColumn, form.gridWidth);
    if (!m_hWnd) return 0;
    CreateModeLabels();
    CreatePictures();

    m_stretch.erase(
        std::remove_if(m_stretch.begin(), m_stretch.end(),
                       [this, &form](const StretchEntry& e) {
                           return !vorlan::KeepsStretching(
                               e.id == 0x1800, form.gridResize,
                               vorlan::PixelRect{e.rect.left, e.rect.top, e.rect.right, e.rect.bottom},
                               m_nLayoutRight, m_nLayoutBottom);
                       }),
        m_stretch.end());
    for (StretchEntry& e : m_stretch)
        if (e.id == 0x1800 && form.gridResize == 1)
            e.rect = RECT{e.rect.left, e.rect.top, m_nLayoutRight, m_nLayoutBottom};

    m_nFocusField = EnableEdits(1);
    // Until a field is entered or the server names one, the focus field is the current one:
    // a page without a start field still has a place for the focus.
    if (m_nCurrentField == 0) m_nCurrentField = m_nFocusField;
    if (SetWindowPos(nullptr, 0, 0, m_nLayoutRight + 8, m_nLayoutBottom + 8,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW)) {
        vorlan::ChildMessageRecord fit{vorlan::kChildFit, m_hWnd, 0};
        ::SendMessageA(Frame(), WM_CHILDMESSAGE, 0, reinterpret_cast<LPARAM>(&fit));
    }
    if (m_hWnd) AddPendingToolTips();
    return 1;
}

void CChildDialog::CreateField(int k, const vorlan::FieldRecord& field) {
    vorlan::Rect r = vorlan::FieldRect(field, vorlan::g_nCharWidthUnit, vorlan::g_nRowHeightUnit);
    if (field.width == 0) return;
    RaiseLayout(r.right, r.bottom);
    switch (field.kind) {
    case FieldKind::Explorer:
    case FieldKind::DataExplorer: CreateExplorerField(k, field, r); return;
    case FieldKind::LabelOnly: CreateFieldLabel(k, field, r); return;
    default: break;
    }
    bool multiRow = field.height > 1;
    if (multiRow) {
        r.bottom += (field.height - 1) * vorlan::g_nRowHeightUnit;
        RaiseLayout(r.right, r.bottom);
    }
    HWND label = vorlan::IsOwnLabelKind(field.kind) ? nullptr : CreateFieldLabel(k, field, r);
    HWND control = CreateFieldControl(k, field, r);
    if (!control) return;
    FieldWindows& windows = m_fieldWindows[static_cast<size_t>(k)];
    windows.control = control;
    windows.label = label;
    windows.kind = KindOfControl(control);
    switch (field.kind) {
    case FieldKind::Edit:
    case FieldKind::EditOpen:
    case FieldKind::EditSave:
    case FieldKind::EditFolder: windows.edit = 1; break;
    case FieldKind::TabEdit: windows.edit = 2; break;
    default: break;
    }
    // A text box or letter of several lines grows with the frame and shows no tip over its text.
    const bool textArea = multiRow && (field.kind == FieldKind::Edit || field.kind == FieldKind::RichText);
    if (textArea)
        m_stretch.push_back({static_cast<UINT>(0x1000 | k), RECT{r.left, r.top, r.right, r.bottom}});

    // (One-line text fields were made with their values.)
    switch (field.kind) {
    case FieldKind::Edit:
        if (multiRow) VisitField(control);
        break;
    case FieldKind::Check3:
    case FieldKind::Check:
    case FieldKind::Radio:
    case FieldKind::RadioRight:
    case FieldKind::Check3Right: ShowCheck(control, field.value); break;
    case FieldKind::RichText:
        // Its text comes from the array its focus entry names, as a text box's does.
        VisitField(control);
        break;
    case FieldKind::Chart:
    case FieldKind::ListField:
        // The array's name: the field reads its entries from there.
        ::SetWindowTextA(control, vorlan::UnescapeFromServer(field.value).c_str());
        break;
    default: break;
    }
    if (!textArea) m_pendingToolTips.emplace_back(control, vorlan::UnescapeFromServer(field.tooltip));
    SetEditExtra(k, field.extras);
}

// The record explorer (kind 0) and the data explorer (kind 1) of an explorer field.
void CChildDialog::CreateExplorerField(int k, const vorlan::FieldRecord& field, const vorlan::Rect& rect) {
    CreateFieldLabel(k, field, rect);
    CRect r(rect.left, rect.top, rect.right, rect.bottom + (field.height - 1) * vorlan::g_nRowHeightUnit);
    RaiseLayout(r.right, r.bottom);
    const bool record = field.kind == FieldKind::Explorer;
    const UINT id = record ? kRecordExplorerId : static_cast<UINT>(0x1000 | k);
    HWND window = record ? InsertExplorer(0, r, id, nullptr)
                         : InsertExplorer(1, r, id, vorlan::UnescapeFromServer(field.value).c_str());
    if (!window || !m_hWnd) return;
    if (!record) {
        m_fieldWindows[static_cast<size_t>(k)].control = window;
        m_fieldWindows[static_cast<size_t>(k)].kind = KindOfControl(window);
    } else if (auto* explorer = dynamic_cast<CExplorer*>(CWnd::FromHandlePermanent(window))) {
        // The explorer knows no forms: its menus' sub-dialogs are opened through the form.
        explorer->SetSubDialogCall([this](const char* name) { return CallSubDialog(name, 0, 0); });
    }
    // Counted together: one explorer of either kind grows with the frame.
    m_stretchCandidates.push_back({FieldKind::DataExplorer, {id, RECT{r.left, r.top, r.right, r.bottom}}});
    m_pendingToolTips.emplace_back(window, vorlan::UnescapeFromServer(field.tooltip));
    SetEditExtra(k, field.extras);
}

HWND CChildDialog::CreateFieldControl(int k, const vorlan::FieldRecord& field, const vorlan::Rect& rect) {
    const UINT id = static_cast<UINT>(0x1000 | k);
    const int h = vorlan::g_nRowHeightUnit;
    CRect r(rect.left, rect.top, rect.right, rect.bottom);
    DWORD editExStyle = m_bNoClientEdge ? 0 : WS_EX_CLIENTEDGE;
    DWORD editStyle = field.password ? ES_PASSWORD : 0;
    bool multiRow = field.height > 1;
    HWND control = nullptr;
    // Text fields are made with their values (a multi-row one of kind 1 gets its text when it
    // is entered), multi-row ones in the fixed font: neither is set again once they stand.
    const std::string value = vorlan::UnescapeFromServer(field.value);
    HFONT font = multiRow ? FixedFont() : nullptr;
    auto limit = [&](HWND edit) {
        if (edit && field.maxChars > 0)
            ::SendMessageA(edit, EM_LIMITTEXT, static_cast<WPARAM>(field.maxChars), 0);
        return edit;
    };
    // Check boxes and radio buttons sit with their box at the field's place, their label left.
    auto checkRect = [&](const std::string& label) {
        SIZE text = TextSize(m_hFont, label);
        CRect c = r;
        c.left = r.left - (text.cx + 5);
        c.right = c.left + text.cx + ::GetSystemMetrics(SM_CXMENUCHECK) + 5;
        c.OffsetRect(0, 2);
        return c;
    };
    std::string label = vorlan::UnescapeFromServer(field.label);
    switch (field.kind) {
    case FieldKind::Button: {
        std::string caption = label.empty() ? vorlan::UnescapeFromServer(field.value) : label;
        CRect b = r;
        b.top -= 1;
        b.bottom = b.top + field.buttonHeight * h;
        int width =
            std::max<int>({r.Width(), kButtonMinWidth, static_cast<int>(TextSize(m_hFont, caption).cx)});
        b.right = b.left + width;
        RaiseLayout(b.right, b.bottom);
        control = InsertButton(id, b, BS_PUSHBUTTON | BS_NOTIFY | BS_VCENTER | WS_TABSTOP, caption.c_str());
        if (control && m_session.Settings().pics) {
            // The picture file named by the label, scaled to the button.
            HANDLE picture = ::LoadImageA(nullptr, field.label.c_str(), IMAGE_BITMAP, b.Width(), b.Height(),
                                          LR_LOADFROMFILE);
            if (picture) {
                m_buttonPictures.emplace_back();
                m_buttonPictures.back().Attach(picture);
                ::SetWindowLongPtrA(control, GWL_STYLE, ::GetWindowLongPtrA(control, GWL_STYLE) | BS_BITMAP);
                ::SendMessageA(control, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture));
            }
        }
        break;
    }
    case FieldKind::Edit:
        editStyle |= multiRow ? (ES_MULTILINE | WS_VSCROLL | ES_WANTRETURN | ES_AUTOVSCROLL) : ES_AUTOHSCROLL;
        control = limit(InsertEdit(id, r, editExStyle, editStyle, multiRow ? "" : value.c_str(), font));
        break;
    case FieldKind::TabEdit:
        r.right += 2 * vorlan::g_nCharWidthUnit;
        RaiseLayout(r.right, r.bottom);
        control = limit(InsertTabEdit(id, r, editExStyle, editStyle, value.c_str(), font));
        break;
    case FieldKind::EditOpen:
    case FieldKind::EditSave:
    case FieldKind::EditFolder: {
        control = limit(InsertEdit(id, r, editExStyle, editStyle | ES_AUTOHSCROLL,
                                   field.kind == FieldKind::EditFolder ? "" : value.c_str(), font));
        CRect b(r.right + 6, r.top, r.right + 6 + kBrowseButtonWidth, r.bottom);
        RaiseLayout(b.right, b.bottom);
        m_fieldWindows[static_cast<size_t>(k)].browse =
            InsertButton(vorlan::BrowseButtonId(field.kind, k), b, BS_PUSHBUTTON | WS_TABSTOP,
                         LoadText(IDS_BROWSE_BUTTON).c_str());
        break;
    }
    case FieldKind::Check3:
    case FieldKind::Check3Right:
    case FieldKind::Check:
    case FieldKind::Radio:
    case FieldKind::RadioRight:
        control = InsertButton(id, checkRect(label), CheckButtonStyle(field.kind), label.c_str());
        break;
    case FieldKind::Chart:
        control = InsertDiagramm(id, r);
        if (control) {
            ++m_nDiagrams;
            m_stretchCandidates.push_back({field.kind, {id, r}});
        }
        break;
    case FieldKind::RichText:
        control = InsertRichEdit(id, r);
        if (control && !m_session.Execute(line::kFontDisabled).IsEmpty())
            ::SendMessageA(control, WM_RICH_ENABLEFONT, 0, 0);
        break;
    case FieldKind::ListField:
        control = InsertListField(id, r);
        if (control) m_stretchCandidates.push_back({field.kind, {id, r}});
        break;
    default: break;
    }
    return control;
}

void CChildDialog::AddSingleStretchControl() {
    // A chart, an explorer or a list field grows with the frame when it is the only one of
    // its kind.
    for (FieldKind kind : {FieldKind::Chart, FieldKind::DataExplorer, FieldKind::ListField}) {
        int count = 0;
        const StretchEntry* entry = nullptr;
        for (const auto& candidate : m_stretchCandidates)
            if (candidate.first == kind) {
                ++count;
                entry = &candidate.second;
            }
        if (count == 1) m_stretch.push_back(*entry);
    }
    m_stretchCandidates.clear();
}

HWND CChildDialog::CreateFieldLabel(int, const vorlan::FieldRecord& field, const vorlan::Rect& r) {
    std::string text = vorlan::UnescapeFromServer(field.label);
    // Markup measured as characters would be far too wide and one line high: the label
    // knows how large it draws. It ends 5 pixels left of the field.
    return InsertFittedStatic(r.left - 5, r.top + 2, kLabelId, text.c_str(), SS_RIGHT, m_hFont, nullptr, " ");
}

void CChildDialog::PostNcDestroy() {
    TraceFunction("CChildDialog::PostNcDestroy");
    if (vorlan::g_nOpenForms > 0) --vorlan::g_nOpenForms;
    if (HWND list = KeptPopupList()) ::DestroyWindow(list);
    MDestroy();
    if (m_nCallDepth > 0)
        m_bDeletePending = true;
    else
        delete this;
}
