#include "tools/FileCopy.h"
#include "framework/App.h"
#include "framework/Clipboard.h"
#include "framework/PathParts.h"
#include "framework/ShellFiles.h"
#include "framework/Wnd.h"
#include "resources/ServiceIds.h"

#include <shellapi.h>

namespace {

// Standard controls of the explorer-style open dialog.
constexpr int kFileNameEdit = 1152, kFileNameCombo = 1148, kFileNameLabel = 1090, kTypeCombo = 1136,
              kTypeLabel = 1089, kLookInCombo = 1137, kLookInLabel = 1091, kShellList = 1120;
// Posted to the child dialog once the dialog stands, to run the test script.
constexpr UINT kRunScript = WM_APP + 1;
constexpr int kMargin = 7, kTextHeight = 20, kButtonGap = 10;

CLIPFORMAT FileNameFormat() {
    static const auto format = static_cast<CLIPFORMAT>(::RegisterClipboardFormatA("FileName"));
    return format;
}

// A control's rectangle in another window's client coordinates; false without the control.
bool ControlRect(HWND dialog, int id, HWND in, RECT& rect) {
    HWND control = ::GetDlgItem(dialog, id);
    if (!control) return false;
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, in, reinterpret_cast<POINT*>(&rect), 2);
    return true;
}

} // namespace

CFileCopy::CFileCopy(HWND owner, const char* caption, const char* source, const char* destination,
                     const char* text, const char* filter)
    : CFileDialog(true, nullptr, nullptr,
                  OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_LONGNAMES |
                      (destination && *destination ? 0 : OFN_PATHMUSTEXIST),
                  destination && *destination ? nullptr : filter, owner),
      m_destination(destination ? destination : ""), m_text(text ? text : ""),
      m_bCopy(!m_destination.empty()) {
    SetTitle(caption);
    // The dialog opens over the source without making it the process's current folder.
    SetInitialFolder(source);
    if (m_bCopy) {
        m_ofn.Flags |= OFN_ENABLETEMPLATE;
        m_ofn.hInstance = AfxGetResourceHandle();
        m_ofn.lpTemplateName = MAKEINTRESOURCEA(IDD_FILECOPY);
    }
    CFileDropTarget::MakeDirectory(m_bCopy ? m_destination.c_str() : source);
}

int CFileCopy::RunScripted() {
    m_script = fw::TestMode::DialogScript(ScriptName());
    m_bScripted = true;
    int result = RunModal();
    m_bScripted = false;
    fw::TestMode::RecordItem(fw::ShownItem{ScriptName(), 0, GetTitle(), m_record, m_nResultFlag});
    return result;
}

UINT_PTR CFileCopy::OnHookMessage(HWND hook, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG:
        if (m_bCopy) OnRegister(::GetDlgItem(hook, IDC_FILECOPY_LIST));
        return TRUE;
    case WM_SIZE:
        if (m_bCopy && m_list.m_hWnd) Layout();
        return 0;
    case WM_NOTIFY: return OnNotify(reinterpret_cast<const NMHDR*>(lParam));
    case WM_COMMAND:
        if (LOWORD(wParam) != IDC_FILECOPY_COPY || HIWORD(wParam) != BN_CLICKED) return 0;
        OnCopy();
        return TRUE;
    case WM_MOUSEMOVE: OnDragOutMove(); return 0;
    case WM_LBUTTONUP: OnDragOutEnd(); return 0;
    case WM_CAPTURECHANGED: m_nDragItem = -1; return 0;
    case kRunScript: RunScript(); return TRUE;
    case WM_DESTROY:
        m_record = RecordText();
        m_dropTarget.Revoke();
        m_list.UnsubclassWindow();
        return 0;
    default: return 0;
    }
}

UINT_PTR CFileCopy::OnNotify(const NMHDR* header) {
    bool fromList = m_list.m_hWnd && header->hwndFrom == m_list.m_hWnd;
    switch (header->code) {
    case CDN_INITDONE:
        if (m_bCopy)
            Layout();
        else
            LayoutViewer();
        if (m_bScripted) ::PostMessageA(m_hHook, kRunScript, 0, 0);
        return 0;
    case CDN_FILEOK: return OnFileOk(reinterpret_cast<const OFNOTIFYA*>(header));
    case LVN_KEYDOWN:
        if (fromList && reinterpret_cast<const NMLVKEYDOWN*>(header)->wVKey == VK_DELETE) DeleteSelected();
        return 0;
    case LVN_BEGINDRAG:
        if (!fromList) return 0;
        m_nDragItem = reinterpret_cast<const NMLISTVIEW*>(header)->iItem;
        ::SetCapture(m_hHook);
        return 0;
    case NM_DBLCLK: {
        int item = reinterpret_cast<const NMITEMACTIVATE*>(header)->iItem;
        if (fromList && item >= 0) fw::ShellOpenFile(DialogWindow(), EntryPath(item));
        return 0;
    }
    default: return 0;
    }
}

// The chosen file opens with its program and the dialog stays.
UINT_PTR CFileCopy::OnFileOk(const OFNOTIFYA* note) {
    fw::ShellOpenFile(DialogWindow(), note->lpOFN->lpstrFile);
    ::SetWindowLongPtrA(m_hHook, DWLP_MSGRESULT, 1);
    return 1;
}

// The list and its text take the place of the file name and type rows, from the shell
// list's left edge to the OK button; the copy button takes OK's place.
void CFileCopy::Layout() {
    HWND dialog = DialogWindow();
    for (int id : {kFileNameEdit, kFileNameCombo, kFileNameLabel, kTypeCombo, kTypeLabel, IDOK})
        if (HWND control = ::GetDlgItem(dialog, id)) ::ShowWindow(control, SW_HIDE);
    RECT ok{}, shell{}, label{}, client{};
    if (!ControlRect(dialog, IDOK, m_hHook, ok)) return;
    if (!ControlRect(dialog, kShellList, m_hHook, shell)) shell.left = kMargin;
    if (!ControlRect(dialog, kFileNameLabel, m_hHook, label)) label.top = ok.top;
    ::GetClientRect(m_hHook, &client);
    int left = shell.left, width = ok.left - kButtonGap - shell.left;
    int listTop = label.top + kTextHeight;
    int listHeight = client.bottom - kMargin - listTop;
    ::MoveWindow(::GetDlgItem(m_hHook, IDC_FILECOPY_TEXT), left, label.top, width, kTextHeight, TRUE);
    ::MoveWindow(m_list, left, listTop, width, listHeight > kTextHeight ? listHeight : kTextHeight, TRUE);
    ListView_SetColumnWidth(m_list, 1, LVSCW_AUTOSIZE_USEHEADER); // the folder takes the rest
    ::MoveWindow(::GetDlgItem(m_hHook, IDC_FILECOPY_COPY), ok.left, ok.top, ok.right - ok.left,
                 ok.bottom - ok.top, TRUE);
    ::SetDlgItemTextA(m_hHook, IDC_FILECOPY_TEXT, m_text.c_str());
}

// A viewer of the source folder: the text stands where the look-in box was.
void CFileCopy::LayoutViewer() {
    HWND dialog = DialogWindow();
    RECT label{}, combo{};
    bool placed =
        ControlRect(dialog, kLookInLabel, dialog, label) && ControlRect(dialog, kLookInCombo, dialog, combo);
    if (HWND lookIn = ::GetDlgItem(dialog, kLookInCombo)) ::ShowWindow(lookIn, SW_HIDE);
    if (HWND toolbar = ::FindWindowExA(dialog, nullptr, TOOLBARCLASSNAMEA, nullptr))
        ::ShowWindow(toolbar, SW_HIDE);
    HWND text = ::GetDlgItem(dialog, kLookInLabel);
    ::SetWindowTextA(text, m_text.c_str());
    if (placed)
        ::MoveWindow(text, label.left, label.top, combo.right - label.left, label.bottom - label.top, TRUE);
}

void CFileCopy::OnRegister(HWND list) {
    if (!list || !m_list.SubclassWindow(list)) return;
    // The system's image list is shared: the list must not destroy it.
    LONG_PTR style = ::GetWindowLongPtrA(list, GWL_STYLE);
    ::SetWindowLongPtrA(list, GWL_STYLE, (style & ~LVS_TYPEMASK) | LVS_REPORT | LVS_SHAREIMAGELISTS);
    m_list.InsertColumn(0, "Datei", 140);
    m_list.InsertColumn(1, "Pfad", 220);
    m_dropTarget.Register(&m_list);
}

// Only files are taken, each once: two of the same name would meet in the destination.
DROPEFFECT CFileCopy::OnDragEnter(COleDataObject* data) {
    m_bAccept = false;
    HGLOBAL block = data ? data->GetGlobalData(FileNameFormat()) : nullptr;
    if (!block) return DROPEFFECT_NONE;
    std::string path = fw::ReadGlobalText(block);
    ::GlobalFree(block);
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (path.empty() || attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return DROPEFFECT_NONE;
    SHFILEINFOA info{};
    auto images = reinterpret_cast<HIMAGELIST>(::SHGetFileInfoA(
        path.c_str(), 0, &info, sizeof info, SHGFI_DISPLAYNAME | SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    if (images && !m_bImages) {
        m_list.SetImageList(images, LVSIL_SMALL);
        m_bImages = true;
    }
    m_dragged.path = path;
    m_dragged.displayName = info.szDisplayName[0] ? info.szDisplayName : fw::FileNameOf(path);
    m_dragged.icon = images ? info.iIcon : -1;
    if (IsListed(path)) return DROPEFFECT_NONE;
    m_bAccept = true;
    return DROPEFFECT_COPY;
}

// The file is only listed: it moves with the copy button, so the source keeps it now.
bool CFileCopy::OnDrop() {
    if (!m_bAccept) return false;
    m_bAccept = false;
    int item = m_list.InsertItem(m_list.GetItemCount(), m_dragged.displayName.c_str(), m_dragged.icon);
    if (item < 0) return false;
    m_list.SetItemText(item, 1, fw::FolderOf(m_dragged.path).c_str());
    m_list.SetItemData(item, static_cast<LPARAM>(m_paths.size()));
    m_paths.push_back(m_dragged.path);
    return true;
}

std::string CFileCopy::EntryPath(int item) const {
    auto index = static_cast<size_t>(m_list.GetItemData(item));
    return index < m_paths.size() ? m_paths[index] : std::string();
}

bool CFileCopy::IsListed(const std::string& path) const {
    std::string name = fw::FileNameOf(path);
    for (int i = 0; i < m_list.GetItemCount(); ++i)
        if (::lstrcmpiA(fw::FileNameOf(EntryPath(i)).c_str(), name.c_str()) == 0) return true;
    return false;
}

void CFileCopy::DeleteSelected() {
    for (int item; (item = m_list.GetNextItem(-1, LVNI_SELECTED)) >= 0;)
        m_list.DeleteItem(item);
}

bool CFileCopy::IsOverList() const {
    POINT cursor{};
    ::GetCursorPos(&cursor);
    RECT list = m_list.GetWindowRect();
    return ::PtInRect(&list, cursor) != 0;
}

void CFileCopy::OnDragOutMove() {
    if (m_nDragItem < 0) return;
    UINT cursor = IsOverList() ? IDC_CURSOR_DRAG_IN : IDC_CURSOR_DRAG_OUT;
    ::SetCursor(::LoadCursorA(AfxGetResourceHandle(), MAKEINTRESOURCEA(cursor)));
}

// An entry let go outside the list leaves it.
void CFileCopy::OnDragOutEnd() {
    if (m_nDragItem < 0) return;
    int item = m_nDragItem;
    bool outside = !IsOverList();
    ::ReleaseCapture();
    m_nDragItem = -1;
    if (outside) m_list.DeleteItem(item);
}

void CFileCopy::OnCopy() {
    std::vector<std::string> paths;
    for (int i = 0; i < m_list.GetItemCount(); ++i)
        paths.push_back(EntryPath(i));
    if (paths.empty()) return;
    m_nResultFlag = fw::ShellMoveFiles(DialogWindow(), paths, m_destination) ? 1 : 0;
    ::PostMessageA(DialogWindow(), WM_CLOSE, 0, 0);
}

void CFileCopy::RunScript() {
    HWND dialog = DialogWindow();
    for (const fw::DialogStep& step : m_script) {
        if (!m_hHook) break;
        // The template's controls first, then the dialog's own.
        HWND owner = ::GetDlgItem(m_hHook, step.control) ? m_hHook : dialog;
        switch (step.kind) {
        case fw::DialogStep::Verb:
            if (step.verb == "drop") DropFile(step.text);
            break;
        case fw::DialogStep::SetText: ::SetDlgItemTextA(owner, step.control, step.text.c_str()); break;
        case fw::DialogStep::Command:
            ::SendMessageA(owner, WM_COMMAND, MAKEWPARAM(step.control, BN_CLICKED),
                           reinterpret_cast<LPARAM>(::GetDlgItem(owner, step.control)));
            break;
        }
    }
    ::PostMessageA(dialog, WM_CLOSE, 0, 0);
}

void CFileCopy::DropFile(const std::string& path) {
    if (!m_list.m_hWnd) return;
    COleDataSource source;
    source.CacheGlobalData(FileNameFormat(), fw::MakeGlobalText(path));
    RECT list = m_list.GetWindowRect();
    fw::DropInProcess(m_dropTarget, source.GetInterface(), POINT{list.left + 4, list.top + 4},
                      DROPEFFECT_COPY | DROPEFFECT_MOVE);
}

std::string CFileCopy::RecordText() const {
    std::string text = m_bCopy ? "1085=" + fw::WindowText(::GetDlgItem(m_hHook, IDC_FILECOPY_TEXT))
                               : "1091=" + fw::WindowText(::GetDlgItem(DialogWindow(), kLookInLabel));
    text += "|1103=";
    for (int i = 0; i < m_list.GetItemCount(); ++i)
        text += (i ? ";" : "") + EntryPath(i);
    return text;
}
