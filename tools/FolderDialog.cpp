#include "tools/FolderDialog.h"
#include "resources/ServiceIds.h"
#include "tools/FolderPaths.h"

CFolderDialog::CFolderDialog(const char* initialFolder, UINT flags, HWND owner, UINT titleId)
    : CFolderBrowser(initialFolder, flags, owner, Title(titleId)) {}

CString CFolderDialog::Title(UINT titleId) {
    CString title;
    title.LoadString(titleId ? titleId : IDS_FOLDER_CHOOSER_TITLE);
    return title;
}

std::string CFolderDialog::ShortenPath(const char* path) {
    return vorlan::ShortenPath(path ? path : "");
}

void CFolderDialog::OnInitialized() {
    CFolderBrowser::OnInitialized();
    SetStatusText(ShortenPath(GetInitialFolder()).c_str());
}

void CFolderDialog::OnSelChanged(LPCITEMIDLIST item) {
    CString path;
    if (PathOf(item, path)) SetStatusText(ShortenPath(path).c_str());
}
