#include "framework/FileDialog.h"
#include "framework/OleDragDrop.h"

#include <algorithm>
#include <cstring>

namespace {

const char* const kHookProperty = "FwFileDialog";
constexpr size_t kFileBuffer = 4096;

} // namespace

namespace fw {

std::string FileDialogFilter(const char* filter) {
    std::string list(filter ? filter : "");
    for (char& c : list)
        if (c == '|') c = '\0';
    while (list.size() < 2 || list[list.size() - 1] != '\0' || list[list.size() - 2] != '\0')
        list += '\0';
    return list;
}

} // namespace fw

CFileDialog::CFileDialog(bool openDialog, const char* defaultExt, const char* fileName, DWORD flags,
                         const char* filter, HWND owner)
    : m_ofn{}, m_bOpenFileDialog(openDialog), m_file(kFileBuffer, '\0') {
    if (filter && *filter) m_filter = fw::FileDialogFilter(filter);
    if (defaultExt) m_defaultExt = defaultExt;
    if (fileName) std::strncpy(m_file.data(), fileName, kFileBuffer - 1);
    m_ofn.lStructSize = sizeof m_ofn;
    m_ofn.hwndOwner = owner;
    m_ofn.lpstrFilter = m_filter.empty() ? nullptr : m_filter.c_str();
    m_ofn.lpstrFile = m_file.data();
    m_ofn.nMaxFile = static_cast<DWORD>(kFileBuffer);
    m_ofn.lpstrDefExt = m_defaultExt.empty() ? nullptr : m_defaultExt.c_str();
    m_ofn.Flags = flags | OFN_EXPLORER | OFN_ENABLEHOOK;
    m_ofn.lpfnHook = &CFileDialog::HookProc;
    m_ofn.lCustData = reinterpret_cast<LPARAM>(this);
}

void CFileDialog::SetTitle(const char* title) {
    m_title = title ? title : "";
    m_ofn.lpstrTitle = m_title.empty() ? nullptr : m_title.c_str();
}

void CFileDialog::SetInitialFolder(const char* folder) {
    m_folder = folder ? folder : "";
    m_ofn.lpstrInitialDir = m_folder.empty() ? nullptr : m_folder.c_str();
}

void CFileDialog::SetFileBufferSize(size_t chars) {
    if (chars < 2) chars = 2;
    m_file.resize(chars, '\0');
    m_file.back() = '\0';
    m_ofn.lpstrFile = m_file.data();
    m_ofn.nMaxFile = static_cast<DWORD>(chars);
}

// A multiple choice comes as the folder and the names, each ended by a NUL and the whole by
// one more; a single file as its full path alone.
std::vector<std::string> CFileDialog::GetSelectedPaths() const {
    std::vector<std::string> names;
    size_t at = 0;
    while (at < m_file.size() && m_file[at]) {
        size_t end = at;
        while (end < m_file.size() && m_file[end])
            ++end;
        names.emplace_back(m_file.data() + at, end - at);
        if (!(m_ofn.Flags & OFN_ALLOWMULTISELECT)) break;
        at = end + 1;
    }
    if (names.size() <= 1) return names;
    std::string folder = names.front();
    if (folder.back() != '\\') folder += '\\';
    std::vector<std::string> paths;
    for (size_t i = 1; i < names.size(); ++i)
        paths.push_back(folder + names[i]);
    return paths;
}

// The dialog moves the current folder while the user browses; the process keeps its own.
int CFileDialog::RunModal() {
    AfxOleInit(); // the shell's file view is a COM object
    char current[MAX_PATH] = {};
    DWORD kept = ::GetCurrentDirectoryA(MAX_PATH, current);
    BOOL chosen = m_bOpenFileDialog ? ::GetOpenFileNameA(&m_ofn) : ::GetSaveFileNameA(&m_ofn);
    if (kept && kept < MAX_PATH) ::SetCurrentDirectoryA(current);
    return chosen ? IDOK : IDCANCEL;
}

int CFileDialog::RunScripted() {
    std::string chosen;
    int result = ChooseScriptedPath(ScriptName(), m_title, chosen);
    if (result == IDOK) {
        std::fill(m_file.begin(), m_file.end(), '\0');
        std::strncpy(m_file.data(), chosen.c_str(), m_file.size() - 1);
    }
    return result;
}

UINT_PTR CFileDialog::OnHookMessage(HWND, UINT, WPARAM, LPARAM) {
    return 0;
}

UINT_PTR CALLBACK CFileDialog::HookProc(HWND hook, UINT msg, WPARAM wParam, LPARAM lParam) {
    CFileDialog* self;
    if (msg == WM_INITDIALOG) {
        self = reinterpret_cast<CFileDialog*>(reinterpret_cast<const OPENFILENAMEA*>(lParam)->lCustData);
        ::SetPropA(hook, kHookProperty, self);
        self->m_hHook = hook;
    } else {
        self = static_cast<CFileDialog*>(::GetPropA(hook, kHookProperty));
    }
    if (!self) return 0;
    UINT_PTR result = 0;
    try {
        result = self->OnHookMessage(hook, msg, wParam, lParam);
    } catch (...) {
        result = 0; // nothing may cross the dialog manager
    }
    if (msg == WM_DESTROY) {
        ::RemovePropA(hook, kHookProperty);
        self->m_hHook = nullptr;
    }
    return result;
}
