#include "tools/FileDropTarget.h"
#include "framework/App.h"
#include "tools/FileCopy.h"
#include "tools/FolderPaths.h"

#include <cstring>
#include <string>

int CFileDropTarget::MakeDirectory(const char* path) {
    if (!path || !*path || std::strlen(path) >= vorlan::kPathCapacity) {
        ::SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return 0;
    }
    std::vector<std::string> levels = vorlan::DirectoryLevels(path);
    for (size_t i = 0; i + 1 < levels.size(); ++i) {
        DWORD attributes = ::GetFileAttributesA(levels[i].c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
            ::CreateDirectoryA(levels[i].c_str(), nullptr);
    }
    return ::CreateDirectoryA(levels.back().c_str(), nullptr) ? 1 : 0;
}

bool CFileDropTarget::TranslateDirectory(const char* source, char* destination) {
    std::string out;
    bool fits = vorlan::TranslatePlaceholders(source ? source : "", fw::ProgramPath(), out);
    std::memcpy(destination, out.c_str(), out.size() + 1);
    return fits;
}

bool CFileDropTarget::NameTaken(const std::string& path) {
    bool found = ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    return vorlan::NameTaken(found, found ? 0 : ::GetLastError());
}

DROPEFFECT CFileDropTarget::OnDragEnter(CWnd* wnd, COleDataObject* data, DWORD, CPoint) {
    return IsMine(wnd) ? m_pFileCopy->OnDragEnter(data) : DROPEFFECT_NONE;
}

DROPEFFECT CFileDropTarget::OnDragOver(CWnd* wnd, COleDataObject*, DWORD, CPoint) {
    return IsMine(wnd) ? m_pFileCopy->OnDragOver() : DROPEFFECT_NONE;
}

void CFileDropTarget::OnDragLeave(CWnd* wnd) {
    if (IsMine(wnd)) m_pFileCopy->OnDragLeave();
}

bool CFileDropTarget::OnDrop(CWnd* wnd, COleDataObject*, DROPEFFECT, CPoint) {
    return IsMine(wnd) && m_pFileCopy->OnDrop();
}
