#include "framework/FolderBrowser.h"
#include "framework/OleDragDrop.h"

CFolderBrowser::CFolderBrowser(const char* initialFolder, UINT flags, HWND owner, const char* title)
    : m_bi{}, m_strTitle(title) {
    if (initialFolder) {
        m_strInitial = initialFolder;
    } else {
        char current[MAX_PATH] = {};
        ::GetCurrentDirectoryA(MAX_PATH, current);
        m_strInitial = current;
    }
    m_strFolder = m_strInitial;
    m_bi.hwndOwner = owner;
    m_bi.pszDisplayName = m_displayName;
    m_bi.lpszTitle = m_strTitle.c_str();
    m_bi.ulFlags = flags;
    m_bi.lpfn = &CFolderBrowser::BrowseCallback;
    m_bi.lParam = reinterpret_cast<LPARAM>(this);
}

int CFolderBrowser::RunModal() {
    AfxOleInit();
    m_strFolder = m_strInitial;
    LPITEMIDLIST item = ::SHBrowseForFolderA(&m_bi);
    m_hWndBrowser = nullptr;
    if (!item) return IDCANCEL;
    CString path;
    bool chosen = PathOf(item, path);
    ::CoTaskMemFree(item);
    if (!chosen) return IDCANCEL;
    m_strFolder = path;
    return IDOK;
}

int CFolderBrowser::RunScripted() {
    std::string chosen = m_strInitial.str();
    int result = ChooseScriptedPath("folder", m_strTitle.str(), chosen);
    m_strFolder = chosen.c_str();
    return result;
}

void CFolderBrowser::OnInitialized() {
    SetSelection(m_strInitial);
}

void CFolderBrowser::OnSelChanged(LPCITEMIDLIST) {}

int CFolderBrowser::OnBrowseMessage(HWND, UINT msg, LPARAM param) {
    switch (msg) {
    case BFFM_INITIALIZED: OnInitialized(); break;
    case BFFM_SELCHANGED: OnSelChanged(reinterpret_cast<LPCITEMIDLIST>(param)); break;
    default: break;
    }
    return 0;
}

void CFolderBrowser::SetSelection(const char* path) {
    if (m_hWndBrowser)
        ::SendMessageA(m_hWndBrowser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(path));
}

void CFolderBrowser::SetStatusText(const char* text) {
    if (m_hWndBrowser) ::SendMessageA(m_hWndBrowser, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(text));
}

bool CFolderBrowser::PathOf(LPCITEMIDLIST item, CString& path) {
    char buffer[MAX_PATH] = {};
    if (!item || !::SHGetPathFromIDListA(item, buffer)) return false;
    path = buffer;
    return true;
}

int CALLBACK CFolderBrowser::BrowseCallback(HWND browser, UINT msg, LPARAM param, LPARAM data) {
    auto* self = reinterpret_cast<CFolderBrowser*>(data);
    if (!self) return 0;
    self->m_hWndBrowser = browser;
    try {
        return self->OnBrowseMessage(browser, msg, param);
    } catch (...) {
        return 0;
    }
}
